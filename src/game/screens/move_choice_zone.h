#pragma once
// The small menu beside the selected unit that offers up to four orders. It only records which choice was
// released; the game's order handling polls it every frame while it is shown, hides it and carries the order
// out.
#include <array>

#include "game/screens/zone.h"

namespace game {

// Choice values run from 1 (cancel) to 9 (attack); ChoiceKey names their labels. The game's order handling
// holds the names of the values.
inline constexpr int kMaxChoices = 4;
inline constexpr int kFirstChoiceButton = 19;

class MoveChoiceZone final : public Zone {
public:
    // Hidden at (screen width - 256, 0, 256, 256), titled with "MC_TITLE".
    explicit MoveChoiceZone(ScreenServices& services);

    // Clears the choices, anchors the menu beside the point, shows it as the exclusive window.
    void OpenAt(int x, int y);
    // The next button takes the value; a choice beyond the fourth is ignored.
    void AddChoice(int value);
    // The released choice's value; 0 until one is released.
    int GetChoice() const { return chosen_; }
    int GetCount() const { return count_; }

    int Draw(bool afterControls) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;
    // A release of a shown choice clicks and records its value.
    int OnControl(bool pressed, int controlId) override;

    // The label key of a choice value; null outside 1..9.
    static const char* ChoiceKey(int value);

private:
    void Layout();
    // The background cell of "GUI/ChoiceBack" for the current count.
    engine::IntRect BackgroundSource() const;

    int count_ = 0;
    int anchorX_ = 0;
    int anchorY_ = 0;
    int chosen_ = 0;
    std::array<int, kMaxChoices> values_{};
};

}  // namespace game
