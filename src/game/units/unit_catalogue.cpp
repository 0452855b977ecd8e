#include "game/units/unit_catalogue.h"

#include <array>

#include "game/battle/battle_types.h"

namespace game {

namespace {

// type, keyword, class, prototype, composite root, tint material, domain, moves on land, crosses rough
// terrain, crosses water, land flag, aircraft, air or warship, hits landed aircraft, hits aircraft, armed,
// category, move sound, stop sound.
const std::array<UnitDescriptor, kUnitTypeCount - 1> kCatalogue = {{
    {1, "UT_TROOPER", "TrooperUnit", "Units/Trooper/Unit", nullptr, "standardmaterial",
     0, true, true, false, true, false, false, true, false, true, 5, kBaseSound, kBaseSound},
    {2, "UT_ENGINEER", "EngineerUnit", "Units/Engineer/Unit", nullptr, "standardmaterial",
     0, true, true, false, true, false, false, true, false, false, 5, kBaseSound, kBaseSound},
    {3, "UT_LIGHT_TANK", "LightTankUnit", "Units/LightTank/Unit", "LightTank", "standardmaterial",
     0, true, false, false, true, false, false, true, false, true, 2, kBaseSound, kBaseSound},
    {4, "UT_MED_TANK", "MedTankUnit", "Units/MedTank/Unit", "MedTank", "Material",
     0, true, false, false, true, false, false, true, false, true, 2, kBaseSound, kBaseSound},
    {5, "UT_HEAVY_TANK", "HeavyTankUnit", "Units/HeavyTank/Unit", "HeavyTank", "Material",
     0, true, false, false, true, false, false, true, false, true, 2, kBaseSound, kBaseSound},
    {6, "UT_MLRS", "MlrsUnit", "Units/MLRS/Unit", "MLRS", "standardmaterial",
     0, true, false, false, true, false, false, true, false, true, 2, kSoundWheeledMove, kSoundWheeledStop},
    {7, "UT_ARTILLERY", "ArtilleryUnit", "Units/Artillery/Unit", "Artillery", "standardmaterial",
     0, true, false, false, true, false, false, true, false, true, 2, kSoundWheeledMove, kSoundWheeledStop},
    {8, "UT_APC", "ApcUnit", "Units/APC/Unit", nullptr, "apc",
     0, true, false, false, true, false, false, false, false, false, 2, kSoundWheeledMove, kSoundWheeledStop},
    {9, "UT_TRUCK", "TruckUnit", "Units/Truck/Unit", nullptr, "standardmaterial",
     0, true, false, false, true, false, false, true, false, false, 2, kSoundWheeledMove, kSoundWheeledStop},
    {10, "UT_FERRY", "FerryUnit", "Units/TransportBoat/Unit", nullptr, "Material",
     2, false, false, true, false, false, false, false, false, false, 4, kBaseSound, kBaseSound},
    {11, "UT_SKYHOOK", "SkyhookUnit", "Units/TransportChopper/Unit", nullptr, "body",
     1, true, true, true, true, true, true, true, false, false, 3, kBaseSound, kBaseSound},
    {12, "UT_BOMBER", "BomberUnit", "Units/Bomber/Unit", nullptr, "bomber_helicopter",
     1, true, true, true, true, true, true, true, false, true, 3, kBaseSound, kBaseSound},
    {13, "UT_FIGHTER", "FighterUnit", "Units/Fighter/Unit", nullptr, "fighter_helicopter",
     1, true, true, true, true, true, true, true, true, true, 3, kBaseSound, kBaseSound},
    {14, "UT_SNIPER", "SniperUnit", "Units/Sniper/Unit", nullptr, "standardmaterial",
     0, true, true, false, true, false, false, true, false, true, 5, kBaseSound, kBaseSound},
    {15, "UT_ANTIAIR", "AntiAirUnit", "Units/AntiAir/Unit", "AntiAir", "standardmaterial",
     0, true, false, false, true, false, false, false, true, true, 2, kBaseSound, kBaseSound},
    {16, "UT_GRENADIER", "GrenadierUnit", "Units/Grenadier/Unit", nullptr, "grenadier",
     0, true, true, false, true, false, false, true, false, true, 5, kBaseSound, kBaseSound},
    {17, "UT_GRUNT", "GruntUnit", "Units/Grunt/Unit", nullptr, "standardmaterial",
     0, true, true, false, true, false, false, true, false, true, 5, kBaseSound, kBaseSound},
    {18, "UT_SUBMARINE", "SubmarineUnit", "Units/Submarine/Unit", nullptr, "submarine",
     2, false, false, true, false, false, true, false, false, true, 4, kBaseSound, kBaseSound},
    {19, "UT_DESTROYER", "DestroyerUnit", "Units/Destroyer/Unit", "Destroyer", "destoyer",
     2, false, false, true, false, false, true, false, false, true, 4, kBaseSound, kBaseSound},
    {20, "UT_CRUISER", "CruiserUnit", "Units/Cruiser/Unit", "Cruiser", "cruiser",
     2, false, false, true, false, false, true, true, false, true, 4, kBaseSound, kBaseSound},
    {21, "UT_AEGIS", "AegisUnit", "Units/Aegis/Unit", "Aegis", "anitair boat",
     2, false, false, true, false, false, true, false, true, true, 4, kBaseSound, kBaseSound},
    {22, "UT_GENERAL", "GeneralUnit", "Units/Generalisimo/Unit", nullptr, "genralisimo",
     0, true, true, false, true, false, false, true, false, true, 5, kBaseSound, kBaseSound},
    {23, "UT_SUPERSOLDIER", "SuperSoldierUnit", "Units/SuperSoldier/Unit", nullptr, "standardmaterial",
     0, true, true, false, true, false, false, true, false, true, 5, kBaseSound, kBaseSound},
    {24, "UT_DOOR", "DoorUnit", "Structures/Wall_Closed/Wall_Closed", "Door", "ru_wall_gate",
     0, false, false, false, false, false, false, false, false, false, 0, kBaseSound, kBaseSound},
}};

}  // namespace

std::span<const UnitDescriptor> UnitCatalogue() { return kCatalogue; }

const UnitDescriptor* FindUnitDescriptor(int unitType) {
    if (unitType < 1 || unitType >= kUnitTypeCount) return nullptr;
    return &kCatalogue[static_cast<std::size_t>(unitType - 1)];
}

CatalogueUnit::CatalogueUnit(int unitType, BattleContext& battle, UnitTeam* team, Presentation presentation)
    : Unit(battle, team, presentation), row_(*FindUnitDescriptor(unitType)) {}

int CatalogueUnit::GetMoveLoopSound() const {
    return row_.moveSound != kBaseSound ? row_.moveSound : Unit::GetMoveLoopSound();
}

int CatalogueUnit::GetStopSound() const {
    return row_.stopSound != kBaseSound ? row_.stopSound : Unit::GetStopSound();
}

}  // namespace game
