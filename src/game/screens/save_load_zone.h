#pragma once
// Saving the running battle into one of the profile's three game slots (type 31, from the pause menu) and
// loading one (type 30, from the main menu). The autosave slot is never offered. In save mode a slot is
// tapped first and Overwrite then saves into it, replacing what was there.
#include <array>

#include "engine/core/wide_string.h"
#include "game/screens/menu_zone.h"

namespace game {

class SaveLoadZone final : public MenuZone {
public:
    static constexpr int kBackId = 96;
    static constexpr int kFirstSlotId = 97;
    static constexpr int kOverwriteId = 100;
    static constexpr int kSlotCount = 3;
    static constexpr int kLoadType = 30;
    static constexpr int kSaveType = 31;

    explicit SaveLoadZone(ScreenServices& services);

    int OnShow(bool shown) override;
    int OnControl(bool pressed, int controlId) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;

    bool IsLoadMode() const { return loadMode_; }
    int GetSelectedSlot() const { return selected_; }

protected:
    void DrawMenuContents(ZoneWindow& window) override;

private:
    // Icons and states of the buttons for the mode, the slots in use and the selection.
    void Refresh();
    void OnSlot(int slot);
    void OnOverwrite();
    // Closes and opens the main menu (load mode) or the pause menu.
    void Leave(int originX, int originY);
    bool SlotInUse(int slot) const;

    int selected_ = -1;
    bool loadMode_ = false;
    // Slots whose load failed during this visit: offered no more until the next show.
    std::array<bool, kSlotCount> refused_{};
    engine::WideString help_;
};

}  // namespace game
