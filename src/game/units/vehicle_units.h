#pragma once
// The armed land vehicles: the three tanks, the rocket launcher, the artillery gun and the anti-aircraft
// vehicle, all aiming with a turret (turreted_unit.h); the rocket launcher and the gun move with the wheeled
// sounds.
#include "game/battle/battle_types.h"
#include "game/units/turreted_unit.h"
#include "game/units/unit_catalogue.h"

namespace game {

class LightTankUnit final : public TurretedUnit {
public:
    LightTankUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_LIGHT_TANK, battle, team, presentation) {}
};

class MedTankUnit final : public TurretedUnit {
public:
    MedTankUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_MED_TANK, battle, team, presentation) {}
};

class HeavyTankUnit final : public TurretedUnit {
public:
    HeavyTankUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_HEAVY_TANK, battle, team, presentation) {}
};

class MlrsUnit final : public TurretedUnit {
public:
    MlrsUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_MLRS, battle, team, presentation) {}
};

class ArtilleryUnit final : public TurretedUnit {
public:
    ArtilleryUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_ARTILLERY, battle, team, presentation) {}
};

class AntiAirUnit final : public TurretedUnit {
public:
    AntiAirUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : TurretedUnit(UT_ANTIAIR, battle, team, presentation) {}
};

}  // namespace game
