#pragma once
// Plays one side of a battle by calls, deterministically, for whole-battle tests: each unit in slot order
// attacks the weakest enemy in range (lowest health, then lowest id); without one it moves to the reachable
// free hex nearest an enemy and then attacks if one is in range. After each order the caller's settle
// function runs the game until nothing is busy (false: the battle ended, the turn stops).
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/move_orders.h"

namespace testsupport {

class Commander {
public:
    Commander(game::TeamManager& teams, game::HexMap& map, std::function<bool()> settle)
        : teams_(teams), map_(map), settle_(std::move(settle)) {}

    // Plays the current team's turn; false when the battle ended during it.
    bool PlayTurn() {
        game::Team* team = teams_.GetCurrentTeam();
        if (team == nullptr) return true;
        std::vector<int> ids;
        for (int i = 0; i < game::kMaxTeamUnits; ++i) {
            if (game::Unit* unit = team->GetUnit(i)) ids.push_back(unit->GetId());
        }
        for (int id : ids) {
            game::Unit* unit = teams_.FindUnitById(id);
            if (unit == nullptr || unit->GetState() != game::kUnitIdle || !unit->IsArmed()) continue;
            if (game::Unit* target = WeakestInRange(*unit)) {
                if (!Attack(*unit, *target)) return false;
                continue;
            }
            const game::HexCoord destination = Approach(*unit);
            if (!(destination == unit->GetHexPos())) {
                unit->QueueOrder(std::make_unique<game::MoveOrder>(destination));
                ++moves;
                if (!settle_()) return false;
            }
            if (game::Unit* target = WeakestInRange(*unit)) {
                if (!Attack(*unit, *target)) return false;
            }
        }
        return true;
    }

    int moves = 0;
    int attacks = 0;

private:
    bool Attack(game::Unit& unit, game::Unit& target) {
        unit.QueueOrder(std::make_unique<game::AttackOrder>(target.GetId(), false));
        ++attacks;
        return settle_();
    }

    std::vector<game::Unit*> Enemies(const game::Unit& unit) const {
        std::vector<game::Unit*> enemies;
        for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
            game::Team* team = teams_.GetTeam(slot);
            if (team == nullptr || team->GetKind() == unit.GetTeamKind()) continue;
            for (int i = 0; i < game::kMaxTeamUnits; ++i) {
                game::Unit* other = team->GetUnit(i);
                if (other != nullptr && (other->GetState() == game::kUnitIdle ||
                                         other->GetState() == game::kUnitRunningOrders)) {
                    enemies.push_back(other);
                }
            }
        }
        return enemies;
    }

    game::Unit* WeakestInRange(game::Unit& unit) {
        if (unit.GetActionsUsed() > 0) return nullptr;
        const bool marking = map_.IsTargetMarking();
        map_.SetTargetMarking(false);
        map_.ClearMarkBits(game::kMarkAll);
        map_.ClearRangeSteps();
        map_.MarkAttackRangeFromHex(unit, unit.GetHexPos(), nullptr, false);
        game::Unit* best = nullptr;
        for (game::Unit* enemy : Enemies(unit)) {
            if ((map_.GetMarkBits(enemy->GetHexPos()) & game::kMarkAttack) == 0 || !unit.CanAttack(*enemy)) continue;
            if (best == nullptr || enemy->GetHealth() < best->GetHealth() ||
                (enemy->GetHealth() == best->GetHealth() && enemy->GetId() < best->GetId())) {
                best = enemy;
            }
        }
        map_.ClearMarkBits(game::kMarkAll);
        map_.ClearRangeSteps();
        map_.SetTargetMarking(marking);
        return best;
    }

    float DistanceToEnemies(const game::Unit& unit, game::HexCoord hex) const {
        engine::Vec3 from;
        map_.GetSurfacePoint(from, hex);
        float best = std::numeric_limits<float>::max();
        for (const game::Unit* enemy : Enemies(unit)) {
            engine::Vec3 to;
            map_.GetSurfacePoint(to, enemy->GetHexPos());
            const float dx = to.x - from.x;
            const float dz = to.z - from.z;
            best = std::min(best, dx * dx + dz * dz);
        }
        return best;
    }

    game::HexCoord Approach(game::Unit& unit) {
        map_.ClearMarkBits(game::kMarkAll);
        map_.MarkMoveRange(unit);
        game::HexCoord best = unit.GetHexPos();
        float bestDistance = DistanceToEnemies(unit, best);
        for (int r = 0; r < game::kMapRows; ++r) {
            for (int c = 0; c < game::kMapColumns; ++c) {
                const game::HexCoord hex = game::MakeHexCoord(c, r);
                if (!game::IsValidHex(hex) || (map_.GetMarkBits(hex) & game::kMarkMove) == 0) continue;
                if (teams_.FindUnitAt(hex) != nullptr) continue;
                const float distance = DistanceToEnemies(unit, hex);
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = hex;
                }
            }
        }
        map_.ClearMarkBits(game::kMarkAll);
        return best;
    }

    game::TeamManager& teams_;
    game::HexMap& map_;
    std::function<bool()> settle_;
};

}  // namespace testsupport
