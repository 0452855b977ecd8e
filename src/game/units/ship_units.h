#pragma once
// The warships: the submarine, which keeps the base behaviour, and the destroyer, cruiser and air-defence
// ship, whose turrets and weapons come with the vehicle rules; here they hold their catalogue constants.
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"

namespace game {

class SubmarineUnit final : public CatalogueUnit {
public:
    SubmarineUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_SUBMARINE, battle, team, presentation) {}
};

class DestroyerUnit final : public CatalogueUnit {
public:
    DestroyerUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_DESTROYER, battle, team, presentation) {}
};

class CruiserUnit final : public CatalogueUnit {
public:
    CruiserUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_CRUISER, battle, team, presentation) {}
};

class AegisUnit final : public CatalogueUnit {
public:
    AegisUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_AEGIS, battle, team, presentation) {}
};

}  // namespace game
