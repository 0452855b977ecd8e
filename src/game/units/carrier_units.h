#pragma once
// The surface carriers: the APC, which takes one soldier (the seven infantry types) and moves with the
// wheeled sounds, and the FERRY, which takes one unit of any type but the ferry and the aircraft.
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"

namespace game {

class ApcUnit final : public CatalogueUnit {
public:
    ApcUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_APC, battle, team, presentation) {}
    bool CanCarryType(int unitType) const override;
    bool IsCarrier() const override { return true; }
};

class FerryUnit final : public CatalogueUnit {
public:
    FerryUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_FERRY, battle, team, presentation) {}
    bool CanCarryType(int unitType) const override;
    bool IsCarrier() const override { return true; }
};

}  // namespace game
