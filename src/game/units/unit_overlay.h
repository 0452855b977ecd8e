#pragma once
// The information a unit shows over the map in screen space: the predicted loss of a target mark, the rank
// badge, the health bar and the fuel and ammunition warnings. The layout is a pure function of the unit's
// figures, the sides and the clock's pulse; drawing puts it on a render target with the GUI sheet's
// cells and the text painter.
#include <array>
#include <cstdint>
#include <string>

#include "engine/core/int_rect.h"
#include "engine/core/vector.h"

namespace engine {
class RenderTargetBase;
}  // namespace engine

namespace game {

class ScreenProjector;
class TextPainter;
class Unit;

struct OverlayInputs {
    int unitState = 1;
    bool targetMarked = false;
    int predictedLossPercent = 0;
    int rank = 0;
    float health = 1.0f;
    float fuelFraction = 1.0f;
    bool noFuel = true;  // the type has no fuel capacity
    float ammoFraction = 1.0f;
    bool noAmmo = true;
    bool unitSidePlayer = false;  // the unit's side is player-controlled
    bool unitSideCurrent = false;  // the unit's side has the turn
    bool currentSidePlayer = false;  // the side whose turn it is is player-controlled
    int gameMode = 0;
    engine::Vec2 anchor;  // the aim point on the screen
    float pulse = 0.0f;  // SmoothPingPong, period 0.5 s
};

struct OverlayBox {
    engine::IntRect rect;
    std::uint32_t colour = 0;
};

// A cell of the GUI sheet, drawn at its size times the scale with its centre (or, unscaled, its top left)
// at the point, tinted by the colour.
struct OverlayCell {
    engine::IntRect source;
    engine::Vec2 at;
    bool centred = false;
    float scale = 1.0f;
    std::uint32_t colour = 0xFFFFFFFFu;
};

struct OverlayText {
    std::string text;
    engine::Vec2 at;
    int alignFlags = 0;
};

struct InfoOverlay {
    std::array<OverlayBox, 3> boxes{};
    int boxCount = 0;
    std::array<OverlayCell, 3> cells{};
    int cellCount = 0;
    OverlayText text;
    bool hasText = false;
};

inline constexpr std::uint32_t kOverlayShade = 0x80000000u;
inline constexpr std::uint32_t kOverlayRed = 0xFFFF0000u;
inline constexpr std::uint32_t kOverlayGreen = 0xFF00FF00u;

// What a unit shows; empty when it shows nothing.
InfoOverlay LayoutInfoOverlay(const OverlayInputs& in);
// The health bar's colour, red at 0 to green at full health.
std::uint32_t HealthBarColour(float health);
// Draws a layout: boxes filled, cells from the sheet, the text through the painter.
void DrawOverlay(const InfoOverlay& overlay, engine::RenderTargetBase& target, TextPainter& painter,
                 std::uint32_t sheet);

}  // namespace game
