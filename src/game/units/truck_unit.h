#pragma once
// The supply truck: it refills fuel and ammunition of the own side's grounded units beside it, and after
// each completed move it resupplies a neighbour that needs it. It moves with the wheeled sounds.
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"

namespace game {

class TruckUnit final : public CatalogueUnit {
public:
    TruckUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_TRUCK, battle, team, presentation) {}

    // True when a unit on a neighbouring hex of the map can be resupplied.
    bool AfterMove() override;
    // The unit is of the own side, not airborne, and short of fuel or ammunition.
    bool CanResupply(const Unit* unit) const override;
};

}  // namespace game
