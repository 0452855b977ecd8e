#pragma once
// A door in a wall: a unit that never moves, aims or fires and cannot be captured. Its model hangs under the
// level model, turned along its wall, and pulses slightly.
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"

namespace game {

class DoorUnit final : public CatalogueUnit {
public:
    DoorUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_DOOR, battle, team, presentation) {}

    // Turns the model along the wall of its hex and scales it by (1 + v, 1, 1 - v) along its own axes, v
    // swinging within +-1.5 % every 0.3 s; then the base update.
    void UpdateAnimation() override;
    bool IsDoor() const override { return true; }
    bool IsCapturable() const override { return false; }
    void StepAlongPath() override {}
    bool AimAtTarget(Unit*) override { return true; }
    void IdleUpdate() override {}
    bool IsFiringFinished() override { return true; }
};

}  // namespace game
