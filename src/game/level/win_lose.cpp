// The win and lose conditions of the mission, evaluated over the teams and the structures.
#include <cstdint>

#include "game/battle/battle_types.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace game {
namespace {

bool IsHuman(const Team& team) { return team.GetControl() == kControlHuman; }

// True when some team of the wanted control (human or not) passes the test.
template <typename Test>
bool AnyTeam(const TeamManager& teams, bool human, Test test) {
    for (int kind = 0; kind < kTeamKindCount; ++kind) {
        const Team* team = teams.FindTeam(kind);
        if (team != nullptr && IsHuman(*team) == human && test(*team)) return true;
    }
    return false;
}

bool HasType(const Team& team, int unitType) {
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        const Unit* unit = team.GetUnit(slot);
        if (unit != nullptr && unit->GetState() != kUnitGone && unit->GetType() == unitType) return true;
    }
    return false;
}

// A unit of a human team, of the type (0: any), standing placed on the tile.
bool HumanUnitOnTile(const TeamManager& teams, HexCoord tile, int unitType) {
    return AnyTeam(teams, true, [&](const Team& team) {
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            const Unit* unit = team.GetUnit(slot);
            if (unit == nullptr || unit->GetState() == kUnitNotPlaced || unit->GetState() == kUnitGone) continue;
            if (unit->GetHexPos() == tile && (unitType == 0 || unit->GetType() == unitType)) return true;
        }
        return false;
    });
}

}  // namespace

bool Level::ConditionHolds(const MissionCondition& entry, const TeamManager& teams) const {
    const StructureManager& structures = *structures_;
    switch (entry.id) {
        case WLC_NO_ALLIED_ENGINEER:
            return !AnyTeam(teams, true, [](const Team& t) { return HasType(t, UT_ENGINEER); });
        case WLC_NO_ENEMY_HQ:
            return teams.FindTeam(kTeamEnemy) != nullptr && structures.CountOwned(kTeamEnemy, kStructureHQ) == 0;
        case WLC_NO_ALLIED_HQ:
            return AnyTeam(teams, true,
                           [&](const Team& t) { return structures.CountOwned(t.GetKind(), kStructureHQ) == 0; });
        case WLC_NO_ALLIED_SUPERSOLDIER:
            return !AnyTeam(teams, true, [](const Team& t) { return HasType(t, UT_SUPERSOLDIER); });
        case WLC_NO_ENEMY_SUPERSOLDIER:
            return !AnyTeam(teams, false, [](const Team& t) { return HasType(t, UT_SUPERSOLDIER); });
        case WLC_NO_ALLIED_GENERAL:
            return !AnyTeam(teams, true, [](const Team& t) { return HasType(t, UT_GENERAL); });
        case WLC_NO_ENEMY_GENERAL:
            return !AnyTeam(teams, false, [](const Team& t) { return HasType(t, UT_GENERAL); });
        case WLC_NO_ALLIED_UNITS:
            return !AnyTeam(teams, true, [](const Team& t) { return t.CountLiveUnits() > 0; });
        case WLC_NO_ENEMY_UNITS:
            return !AnyTeam(teams, false, [](const Team& t) { return t.CountLiveUnits() > 0; });
        case WLC_REACHTILE_GENERAL:
            return HumanUnitOnTile(teams, entry.tile, UT_GENERAL);
        case WLC_REACHTILE_SUPERSOLDIER:
            return HumanUnitOnTile(teams, entry.tile, UT_SUPERSOLDIER);
        case WLC_REACHTILE_ANY:
            return HumanUnitOnTile(teams, entry.tile, 0);
        case WLC_NO_ENEMY_STRUCTURES:
            return structures.CountBySide().enemy == 0;
        case WLC_NO_ALLIED_STRUCTURES:
            return structures.CountBySide().players == 0;
        case WLC_NO_ENEMY_SHOPS:
            return structures.CountProducersBySide().enemy == 0;
        case WLC_NO_ALLIED_SHOPS:
            return structures.CountProducersBySide().players == 0;
        case WLC_ALL_ENEMY_STRUCTURES: {
            const SideCounts counts = structures.CountBySide();
            return counts.players == 0 && counts.neutral == 0;
        }
        case WLC_ALL_ALLIED_STRUCTURES: {
            const SideCounts counts = structures.CountBySide();
            return counts.enemy == 0 && counts.neutral == 0;
        }
        case WLC_CASHGRAB: {
            std::int64_t cash = 0;
            for (int kind = 0; kind < kTeamKindCount; ++kind) {
                const Team* team = teams.FindTeam(kind);
                if (team != nullptr && IsHuman(*team)) cash += team->GetCash();
            }
            return cash >= entry.amount;
        }
        default:  // never tested here
            return false;
    }
}

int Level::CheckWinLose(bool win, const TeamManager& teams) const {
    if (!structures_) return WLC_NULL;
    for (const MissionCondition& entry : win ? mission_.win : mission_.lose) {
        if (ConditionHolds(entry, teams)) return entry.id;
    }
    return WLC_NULL;
}

int Level::CheckOpponentHQ(const TeamManager& teams) const {
    // The first other side in slot order. The neutral side is skipped by its kind rather than by its slot:
    // without neutral structures a player side holds slot 0.
    const Team* current = teams.GetCurrentTeam();
    const Team* other = nullptr;
    for (int slot = 0; slot < kTeamKindCount && other == nullptr; ++slot) {
        const Team* team = teams.GetTeam(slot);
        if (team != nullptr && team != current && team->GetKind() != kTeamNeutral) other = team;
    }
    if (other == nullptr || !structures_) return WLC_NULL;
    return structures_->CountOwned(other->GetKind(), kStructureHQ) == 0 ? WLC_NO_ENEMY_HQ : WLC_NULL;
}

}  // namespace game
