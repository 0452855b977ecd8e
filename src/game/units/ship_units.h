#pragma once
// The warships: the submarine, which keeps the base behaviour, and the destroyer, cruiser and air-defence
// ship, which aim with a turret like the armed vehicles (turreted_unit.h).
#include "game/battle/battle_types.h"
#include "game/units/turreted_unit.h"
#include "game/units/unit_catalogue.h"

namespace game {

class SubmarineUnit final : public CatalogueUnit {
public:
    SubmarineUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_SUBMARINE, battle, team, presentation) {}
};

class DestroyerUnit final : public TurretedUnit {
public:
    DestroyerUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_DESTROYER, battle, team, presentation) {}
};

class CruiserUnit final : public TurretedUnit {
public:
    CruiserUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_CRUISER, battle, team, presentation) {}
};

class AegisUnit final : public TurretedUnit {
public:
    AegisUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_AEGIS, battle, team, presentation) {}
};

}  // namespace game
