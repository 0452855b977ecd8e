#pragma once
// Numbers shared by the battle rules: unit types, terrain kinds, tile object classes, structure types,
// team control kinds and the tile mark bits.
#include <cstdint>

namespace game {

// Unit types 1..24 (0 = none).
enum UnitType : int {
    UT_NONE = 0,
    UT_TROOPER = 1,
    UT_ENGINEER = 2,
    UT_LIGHT_TANK = 3,
    UT_MED_TANK = 4,
    UT_HEAVY_TANK = 5,
    UT_MLRS = 6,
    UT_ARTILLERY = 7,
    UT_APC = 8,
    UT_TRUCK = 9,
    UT_FERRY = 10,
    UT_SKYHOOK = 11,
    UT_BOMBER = 12,
    UT_FIGHTER = 13,
    UT_SNIPER = 14,
    UT_ANTIAIR = 15,
    UT_GRENADIER = 16,
    UT_GRUNT = 17,
    UT_SUBMARINE = 18,
    UT_DESTROYER = 19,
    UT_CRUISER = 20,
    UT_AEGIS = 21,
    UT_GENERAL = 22,
    UT_SUPERSOLDIER = 23,
    UT_DOOR = 24,
};
inline constexpr int kUnitTypeCount = 25;  // types 0..24; type 0 is unused

inline bool IsAircraftType(int unitType) { return unitType >= UT_SKYHOOK && unitType <= UT_FIGHTER; }
// Soldiers on foot: trained in barracks and the only passengers an APC takes.
inline bool IsInfantryType(int unitType) {
    switch (unitType) {
        case UT_TROOPER:
        case UT_ENGINEER:
        case UT_SNIPER:
        case UT_GRENADIER:
        case UT_GRUNT:
        case UT_GENERAL:
        case UT_SUPERSOLDIER:
            return true;
        default:
            return false;
    }
}

// Terrain kinds of a tile.
enum Terrain : int {
    kTerrainNone = 0,  // no tile: outside the playable shape
    kTerrainWater = 1,
    kTerrainBlocked = 2,
    kTerrainLand = 3,
    kTerrainShore = 4,
    kTerrainLand2 = 5,  // a second land kind with its own movement cost
};
inline constexpr int kMaxTerrain = 5;

// What stands on a tile.
enum ObjectClass : int {
    kObjectNone = 0,
    kObjectFeature = 1,
    kObjectStructure = 3,
    kObjectUnitStart = 4,
};

// Feature sub-kinds that the rules name.
inline constexpr int kFeatureRaised = 2;  // half a level higher, its own movement cost
inline constexpr int kFeatureDoor = 6;
inline constexpr int kFeatureRemoved = 7;  // dropped when the map loads
inline constexpr int kMaxFeatureKind = 8;

// Structure types 1..11.
enum StructureType : int {
    kStructureBuildPad = 1,
    kStructureFactory = 2,
    kStructureAirport = 3,
    kStructureDockyard = 4,
    kStructureBarracks = 5,
    kStructureHQ = 6,
    kStructureRepairS = 7,
    kStructureRefinery = 8,
    kStructureRadio = 9,
    kStructureSilo = 10,
    kStructureSupplyShed = 11,
};
inline constexpr int kMaxStructureType = 11;

// Team kinds 0..4: neutral, blue, green, yellow, enemy.
inline constexpr int kTeamNeutral = 0;
inline constexpr int kTeamBlue = 1;
inline constexpr int kTeamGreen = 2;
inline constexpr int kTeamYellow = 3;
inline constexpr int kTeamEnemy = 4;
inline constexpr int kMaxTeamKind = 4;

// Who controls a team.
inline constexpr int kControlNone = 0;
inline constexpr int kControlHuman = 1;
inline constexpr int kControlComputer = 2;

// Run-time tile mark bits.
enum MarkBit : std::uint16_t {
    kMarkMove = 0x0001,          // reachable this turn
    kMarkAttack = 0x0002,        // inside attack range
    kMarkRoute = 0x0004,         // on the shown route
    kMarkLanding = 0x0008,       // landing zone
    kMarkEngineer = 0x0010,      // inside an engineer's action range
    kMarkEmbark = 0x0040,        // a unit can embark here
    kMarkDrop = 0x0080,          // a carried unit can be dropped here
    kMarkFerry = 0x0100,         // water tile holding an empty transport boat of the marked team
    kMarkThreatAttack = 0x0200,  // threat pass: attackable
    kMarkThreatEngineer = 0x0400,
    kMarkEngineerExt = 0x0800,  // engineer target beyond the move range
    kMarkAttackExt = 0x1000,    // attack target beyond the move range
    kMarkSightClear = 0x2000,   // line of sight to the tile tested clear
};
inline constexpr std::uint16_t kMarkAll = 0xFFFF;

}  // namespace game
