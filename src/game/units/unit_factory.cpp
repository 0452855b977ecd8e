#include "game/units/unit_factory.h"

#include <mutex>

#include "game/battle/battle_context.h"
#include "game/units/aircraft_units.h"
#include "game/units/carrier_units.h"
#include "game/units/door_unit.h"
#include "game/units/infantry_units.h"
#include "game/units/ship_units.h"
#include "game/units/truck_unit.h"
#include "game/units/unit_tables.h"
#include "game/units/vehicle_units.h"

namespace game {

namespace {

std::mutex gFactoryLock;

std::unique_ptr<Unit> MakeClass(int unitType, BattleContext& battle, UnitTeam* team, Unit::Presentation p) {
    switch (unitType) {
        case UT_TROOPER: return std::make_unique<TrooperUnit>(battle, team, p);
        case UT_ENGINEER: return std::make_unique<EngineerUnit>(battle, team, p);
        case UT_MED_TANK: return std::make_unique<MedTankUnit>(battle, team, p);
        case UT_HEAVY_TANK: return std::make_unique<HeavyTankUnit>(battle, team, p);
        case UT_MLRS: return std::make_unique<MlrsUnit>(battle, team, p);
        case UT_ARTILLERY: return std::make_unique<ArtilleryUnit>(battle, team, p);
        case UT_APC: return std::make_unique<ApcUnit>(battle, team, p);
        case UT_TRUCK: return std::make_unique<TruckUnit>(battle, team, p);
        case UT_FERRY: return std::make_unique<FerryUnit>(battle, team, p);
        case UT_SKYHOOK: return std::make_unique<SkyhookUnit>(battle, team, p);
        case UT_BOMBER: return std::make_unique<BomberUnit>(battle, team, p);
        case UT_FIGHTER: return std::make_unique<FighterUnit>(battle, team, p);
        case UT_SNIPER: return std::make_unique<SniperUnit>(battle, team, p);
        case UT_ANTIAIR: return std::make_unique<AntiAirUnit>(battle, team, p);
        case UT_GRENADIER: return std::make_unique<GrenadierUnit>(battle, team, p);
        case UT_GRUNT: return std::make_unique<GruntUnit>(battle, team, p);
        case UT_SUBMARINE: return std::make_unique<SubmarineUnit>(battle, team, p);
        case UT_DESTROYER: return std::make_unique<DestroyerUnit>(battle, team, p);
        case UT_CRUISER: return std::make_unique<CruiserUnit>(battle, team, p);
        case UT_AEGIS: return std::make_unique<AegisUnit>(battle, team, p);
        case UT_GENERAL: return std::make_unique<GeneralUnit>(battle, team, p);
        case UT_SUPERSOLDIER: return std::make_unique<SuperSoldierUnit>(battle, team, p);
        case UT_DOOR: return std::make_unique<DoorUnit>(battle, team, p);
        case UT_LIGHT_TANK:
        default: return std::make_unique<LightTankUnit>(battle, team, p);
    }
}

}  // namespace

std::unique_ptr<Unit> CreateUnit(BattleContext& battle, int unitType, UnitTeam* team, int id,
                                 Unit::Presentation presentation) {
    const std::lock_guard<std::mutex> lock(gFactoryLock);
    std::unique_ptr<Unit> unit = MakeClass(unitType, battle, team, presentation);
    if (presentation == Unit::Presentation::kWithModel) unit->AttachPresentation();
    unit->SetId(id != 0 ? id : battle.NextUnitId());
    const UnitParams& params = unit->GetParams();
    unit->SetFuel(params.fuelCapacity);
    unit->SetAmmo(params.ammoCapacity);
    unit->StartTurn();
    return unit;
}

}  // namespace game
