#pragma once
// The HUD panel of the selected unit at the bottom-left corner: its type icon and name, its passenger or its
// ammunition, its fuel gauge and a mark while it can still act. The game object owns it, sets its unit and
// draws it every frame; a unit that goes away clears it.
#include "game/screens/screen_services.h"

namespace game {

class Unit;

class UnitPanel {
public:
    explicit UnitPanel(ScreenServices& services) : services_(services) {}

    void SetUnit(Unit* unit) { unit_ = unit; }
    Unit* GetUnit() const { return unit_; }
    // Lets go of the unit when it is the one shown.
    void OnUnitDeleting(const Unit& unit) {
        if (unit_ == &unit) unit_ = nullptr;
    }
    // Nothing without a unit, a team manager, or a team of the unit.
    void Draw();

private:
    void DrawAmmo(const Unit& unit, int x0, int y0);
    void DrawFuel(const Unit& unit, int x0, int y0);

    ScreenServices& services_;
    Unit* unit_ = nullptr;
};

}  // namespace game
