#include "game/ai/map_scan.h"

#include <algorithm>

#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/teams/ai_player.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit_tables.h"

namespace game {
namespace {

// Every valid hex, rows outer, columns inner.
template <typename Visit>
void ForEachHex(Visit visit) {
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (IsValidHex(hex)) visit(hex);
        }
    }
}

bool IsOnMap(const Unit& unit) {
    return unit.GetState() != kUnitNotPlaced && unit.GetState() != kUnitGone && IsValidHex(unit.GetHexPos());
}

void AddWeight(HexMap& map, HexCoord hex, float amount) {
    if (HexTile* tile = map.EditTile(hex)) tile->unitWeight += amount;
}

}  // namespace

void ApplyTileWeight(HexMap& map, const Unit& unit, bool add) {
    float w = static_cast<float>(unit.GetKills()) * 0.25f + 0.5f;
    if (!add) w = -w;
    const HexCoord own = unit.GetHexPos();
    AddWeight(map, own, w);
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord next;
        if (!HexNeighbour(own, d, next) || !IsValidHex(next)) continue;
        const HexTile& tile = map.GetTile(next);
        if (tile.terrain != kTerrainLand || tile.objectClass == kObjectFeature || tile.objectClass == kObjectStructure) {
            continue;
        }
        AddWeight(map, next, 0.75f * w);
    }
}

void ApplyThreat(HexMap& map, const Unit& unit, float budget) {
    const HexCoord own = unit.GetHexPos();
    if (!IsValidHex(own)) return;
    map.ClearMarkBits(kMarkAll);
    map.SetTileScratch(0.0f);
    map.FloodMoveBudget(own, unit, budget);
    HexCoord reachable[kMapTileCount];
    int count = 0;
    reachable[count++] = own;
    ForEachHex([&](HexCoord hex) {
        if (!(hex == own) && map.GetMoveLeft(hex) > 0.0f) reachable[count++] = hex;
    });
    int minimum = 0;
    int maximum = 0;
    unit.GetAttackRange(minimum, maximum);
    map.ClearMarkBits(kMarkAll);
    map.ClearRangeSteps();
    for (int i = 0; i < count; ++i) {
        // Each fill starts afresh: steps left by a fill from another tile would cut this one short. Levels
        // are never negative, so a fill reaches no further than its maximum and half its firing level.
        const int level = map.GetTile(reachable[i]).level;
        map.FloodAttackRange(reachable[i], 0, minimum, maximum, level, &unit);
        map.ClearRangeStepsNear(reachable[i], maximum + std::max(level, 0) / 2);
    }
    int gain[kUnitTypeCount] = {};
    for (int t = 1; t < kUnitTypeCount; ++t) {
        const float damage = std::min(DamageTableLookup(unit.GetType(), t, unit.GetRank()), 1.0f);
        gain[t] = static_cast<int>(unit.GetHealth() * damage * 100.0f);
    }
    ForEachHex([&](HexCoord hex) {
        if ((map.GetMarkBits(hex) & kMarkAttack) == 0) return;
        HexTile* tile = map.EditTile(hex);
        for (int t = 1; t < kUnitTypeCount; ++t) tile->AddThreat(t, gain[t]);
    });
    map.ClearMarkBits(kMarkAll);
    map.ClearRangeSteps();
    map.SetTileScratch(0.0f);
}

void ApplyUnitWeights(HexMap& map, const Team& team, bool own, const AIPlayer* computer) {
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        const Unit* unit = team.GetUnit(slot);
        if (unit == nullptr || !IsOnMap(*unit)) continue;
        if (own && computer != nullptr && computer->IsUnitImmobilized(unit->GetId())) continue;
        ApplyTileWeight(map, *unit, own);
    }
}

void ApplyTeamThreat(HexMap& map, const Team& team) {
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        const Unit* unit = team.GetUnit(slot);
        if (unit == nullptr || !IsOnMap(*unit)) continue;
        ApplyThreat(map, *unit, unit->GetMoveAllowance());
    }
}

void RebuildTileScratch(HexMap& map, const TeamManager& teams, int teamKind, const AIPlayer* computer) {
    ForEachHex([&](HexCoord hex) {
        HexTile* tile = map.EditTile(hex);
        tile->unitWeight = 0.0f;
        std::fill(std::begin(tile->threat), std::end(tile->threat), std::uint16_t{0});
    });
    for (int slot = 0; slot < kTeamKindCount; ++slot) {
        const Team* team = teams.GetTeam(slot);
        if (team == nullptr || team->GetControl() == kControlNone) continue;
        const bool own = team->GetKind() == teamKind;
        if (!own) ApplyTeamThreat(map, *team);
        ApplyUnitWeights(map, *team, own, computer);
    }
}

}  // namespace game
