#pragma once
// The colour a unit's model shows: the flash after a promotion or a supply, the pulse of a highlight or a
// target mark, the darkened look of a unit that has done its turn, or its team material. A pure function
// of the unit's state, the sides and the clock's pulses.
#include <cstdint>

namespace game {

struct TintInputs {
    std::uint32_t teamColour = 0;
    float waitTimer = 0.0f;
    int highlight = 0;  // 0 none, 1 unavailable, 2 selected
    bool targetMarked = false;
    bool currentSideComputer = false;
    // The unit belongs to the side whose turn it is, and that side is a player's.
    bool ownSideCurrentPlayer = false;
    bool armed = false;
    bool canAct = false;
    bool engineer = false;
    float markPulse = 0.0f;  // 0..1, period 0.5 s
    float highlightPulse = 0.0f;  // 0..1, period 0.25 s
};

enum class TintKind { kTeam, kFlash, kMarked, kUnavailable, kSelected, kDarkened };

struct TintChoice {
    TintKind kind = TintKind::kTeam;
    std::uint32_t colour = 0;
    // True: the colour goes on the private tint material; false: the shared team material is shown.
    bool useTintMaterial = false;
};

TintChoice ChooseTint(const TintInputs& in);

}  // namespace game
