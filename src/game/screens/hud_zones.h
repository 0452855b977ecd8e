#pragma once
// The two HUD panels of a battle that are zones: the turn buttons at the top right (end turn, undo,
// fast-forward) and the top bar at the top left (pause, day or survival count, cash, the medal still
// reachable). Both slide in from above at 500 px/s when shown and slide out again before they hide. They
// take no keys: the arrows and the back key stay the map's during a turn.
#include <cstdint>

#include "engine/core/wide_string.h"
#include "game/screens/zone.h"

namespace game {

class Team;
class TeamManager;

// Control ids of the HUD panels.
inline constexpr int kHudPause = 0;
inline constexpr int kHudEndTurn = 1;
inline constexpr int kHudUndo = 2;
inline constexpr int kHudFastForward = 3;
inline constexpr int kHudSize = 112;
inline constexpr float kHudSlideSpeed = 500.0f;
// The zone types the HUD opens.
inline constexpr int kZonePause = 9;
inline constexpr int kZoneTurnMenu = 16;

// The slide shared by both panels.
class SlidingZone : public Zone {
public:
    using Zone::Zone;

    // Clears the slide-out flag; returns 1.
    int OnShow(bool shown) override;
    void SlideOut() { slidingOut_ = true; }
    // Slides out when shown, else shows the window (it slides in).
    void ToggleShown();
    float GetOffset() const { return offset_; }
    bool IsSlidingOut() const { return slidingOut_; }

protected:
    // One frame of the slide; hides the window once fully out.
    void Slide();
    // The rectangle moved down by the offset.
    engine::IntRect Slid(engine::IntRect rect) const;
    // The game's team manager and its current team; null when either is missing.
    TeamManager* Teams() const;
    Team* CurrentTeam() const;
    // The current team's colour, white without one.
    std::uint32_t TeamColour() const;
    // Slides both HUD panels out through the registry.
    void SlideOutBoth() const;

private:
    float offset_ = -static_cast<float>(kHudSize);
    bool slidingOut_ = false;
};

class TurnButtonZone final : public SlidingZone {
public:
    // Hidden, above the screen, at (screen width - 224, 0, 224, 112).
    explicit TurnButtonZone(ScreenServices& services);
    // The window at the top-right corner of a screen of the size (after a display switch).
    void Relayout(int width, int height);

    int Draw(bool afterControls) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;
    int OnControl(bool pressed, int controlId) override;
    // Called at the start of a human side's turn; nothing to do.
    void OnTurnStart() {}

private:
    void UpdateControlStates();
};

class TopBarZone final : public SlidingZone {
public:
    // Hidden, above the screen, at (0, 0, 364, 112).
    explicit TopBarZone(ScreenServices& services);

    int Draw(bool afterControls) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;
    int OnControl(bool pressed, int controlId) override;
    // The shown cash becomes the current team's cash.
    void RefreshCash();
    int GetShownCash() const { return shownCash_; }

private:
    // The day or survival count, then the cash, then the medal.
    void DrawCounts(const Team& team, int top);

    int shownCash_ = 0;
    engine::WideString dayLabel_;
    engine::WideString survivalLabel_;
};

}  // namespace game
