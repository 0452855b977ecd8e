#pragma once
// The armed land vehicles: the three tanks, the rocket launcher, the artillery gun and the anti-aircraft
// vehicle. Their turrets, weapons and standing pulse come with the vehicle rules; here they hold their
// catalogue constants (the rocket launcher and the gun move with the wheeled sounds).
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"

namespace game {

class LightTankUnit final : public CatalogueUnit {
public:
    LightTankUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_LIGHT_TANK, battle, team, presentation) {}
};

class MedTankUnit final : public CatalogueUnit {
public:
    MedTankUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_MED_TANK, battle, team, presentation) {}
};

class HeavyTankUnit final : public CatalogueUnit {
public:
    HeavyTankUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_HEAVY_TANK, battle, team, presentation) {}
};

class MlrsUnit final : public CatalogueUnit {
public:
    MlrsUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_MLRS, battle, team, presentation) {}
};

class ArtilleryUnit final : public CatalogueUnit {
public:
    ArtilleryUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_ARTILLERY, battle, team, presentation) {}
};

class AntiAirUnit final : public CatalogueUnit {
public:
    AntiAirUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_ANTIAIR, battle, team, presentation) {}
};

}  // namespace game
