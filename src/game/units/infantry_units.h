#pragma once
// The infantry classes: soldiers on foot, soft targets. Their animations, weapons and deaths come with the
// infantry rules; here they hold their catalogue constants.
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"

namespace game {

class InfantryUnit : public CatalogueUnit {
public:
    using CatalogueUnit::CatalogueUnit;
    bool IsSoftTarget() const override { return true; }
};

class TrooperUnit final : public InfantryUnit {
public:
    TrooperUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_TROOPER, battle, team, presentation) {}
};

class EngineerUnit final : public InfantryUnit {
public:
    EngineerUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_ENGINEER, battle, team, presentation) {}
};

class SniperUnit final : public InfantryUnit {
public:
    SniperUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_SNIPER, battle, team, presentation) {}
};

class GrenadierUnit final : public InfantryUnit {
public:
    GrenadierUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_GRENADIER, battle, team, presentation) {}
};

class GruntUnit final : public InfantryUnit {
public:
    GruntUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_GRUNT, battle, team, presentation) {}
};

class GeneralUnit final : public InfantryUnit {
public:
    GeneralUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_GENERAL, battle, team, presentation) {}
};

class SuperSoldierUnit final : public InfantryUnit {
public:
    SuperSoldierUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_SUPERSOLDIER, battle, team, presentation) {}
};

}  // namespace game
