#pragma once
// One tile of the battle grid: what the map file gives it and the values the computer player and the
// mission script keep on it. The marks that the range fills sweep are held apart, in TileMarks.
#include <cstdint>

#include "game/battle/battle_types.h"

namespace game {

class ScriptBlock;

struct HexTile {
    float height = 0.0f;  // world height of the ground surface
    std::int32_t terrain = kTerrainNone;
    std::int32_t objectClass = kObjectNone;
    std::int32_t objectOwner = 0;  // team kind owning the structure, unit start or door
    // Feature sub-kind (class 1), structure type 1..11 (class 3) or unit type 1..24 (class 4).
    std::int32_t objectType = 0;
    std::int32_t level = 0;  // height in half-level steps; world height = level x 0.25
    std::int32_t overlay = 0;  // 0 or 1; on terrain 3 and 4 it selects the overlay movement cost
    std::uint8_t mirrored = 0;  // which side a three-hex building extends to
    std::uint8_t immobile = 0;  // a computer unit created here stays where it stands
    ScriptBlock* trigger = nullptr;  // the script block a unit ending a step here starts
    float unitWeight = 0.0f;  // the computer player's sum of unit weights
    std::int32_t regionId = 0;  // equal values: one region
    std::int32_t hotspot = 0;
    std::int32_t dropReservation = 0;  // unit id reserved by the script, 0 = none
    std::uint16_t threat[kUnitTypeCount] = {};  // per unit type, in hundredths

    // Adds to the threat of a unit type 0..24, held within 0..65535; other types change nothing.
    void AddThreat(int unitType, int amount) {
        if (unitType < 0 || unitType >= kUnitTypeCount) return;
        long sum = static_cast<long>(threat[unitType]) + amount;
        if (sum < 0) sum = 0;
        if (sum > 0xFFFF) sum = 0xFFFF;
        threat[unitType] = static_cast<std::uint16_t>(sum);
    }
};

// The per-tile results of the range fills, kept compact so that whole-grid clears stay cheap.
struct TileMarks {
    float moveLeft = 0.0f;  // most movement left on reaching the tile in the last movement fill; 0 = not reached
    std::uint16_t markBits = 0;
    std::uint8_t rangeStep = 0;  // step written by the range fills; 0 = outside the fill
};

}  // namespace game
