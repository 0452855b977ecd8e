// The computer player's walks along routes: advancing a unit towards a goal's destination and boarding its
// reserved carrier.
#include <algorithm>
#include <array>
#include <utility>

#include "game/ai/computer_player.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_path.h"
#include "game/battle/path_finder.h"
#include "game/teams/team.h"
#include "game/units/action_orders.h"
#include "game/units/move_orders.h"

namespace game {

bool ComputerPlayer::AdvanceTowards(AIUnitPlanner& planner, HexCoord destination, bool noAttack, bool stopShort,
                                    int searchMode) {
    Unit* unit = team_.FindUnitById(planner.GetUnitId());
    HexMap& map = PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (unit == nullptr || battle == nullptr) return false;
    const int type = unit->GetType();
    const HexCoord own = unit->GetHexPos();
    const float ownHalf = 0.5f * map.GetThreat(own, type);

    HexPath route;
    PathFinder::SetTileWeighting(true);
    const bool strict = map.GetTile(own).regionId == map.GetTile(destination).regionId || IsAircraftType(type);
    const bool found = strict ? map.FindRoute(own, destination, route, type, searchMode, stopShort)
                              : map.FindRouteAllowBlocked(own, destination, route, type, searchMode, stopShort);
    PathFinder::SetTileWeighting(false);
    if (!found) {
        // No route: only the start hex is looked at.
        route = HexPath{};
        route.start = own;
    }

    map.SetTileScratch(0.0f);
    map.ClearMarkBits(kMarkAll);
    map.FloodMoveBudget(own, *unit, unit->GetMovementLeft());
    HexList hexes;
    map.PathToHexList(hexes, route);
    if (hexes.count == 0) {
        hexes.hexes[0] = own;
        hexes.count = 1;
    }
    // The remaining movement on arrival, read before the attack fills reuse the map's scratch.
    std::array<float, kMaxPathSteps + 1> arrival{};
    for (int i = 0; i < hexes.count; ++i) arrival[static_cast<std::size_t>(i)] = map.GetMoveLeft(hexes.hexes[static_cast<std::size_t>(i)]);

    float bestTotal = 0.0f;
    Unit* bestTarget = nullptr;
    int bestIndex = 0;
    HexCoord bestHex = own;
    float stepBonus = 0.05f;
    for (int i = 0; i < hexes.count; ++i) {
        if (Checkpoint()) return false;
        const HexCoord hex = hexes.hexes[static_cast<std::size_t>(i)];
        Unit* other = battle->FindUnitAt(hex);
        if (other != nullptr && other != unit && unit->IsInSameLayer(*other)) {
            if (other->GetTeamKind() != unit->GetTeamKind()) break;
            const AIUnitPlanner* otherPlanner = FindUnitPlanner(other->GetId());
            const bool carrierForMe = i == 0 && otherPlanner != nullptr && GetTransportId(*otherPlanner) == unit->GetId();
            if (!carrierForMe) {
                // An own unit in the way is asked to leave its hex.
                RequestMakeWay(other->GetId());
                break;
            }
        }
        if (unit->IsAirborne()) {
            const MapUnit* air = battle->FindAirMapUnitAt(hex);
            if (air != nullptr && air != unit) break;
        }
        if (map.GetTile(hex).terrain == kTerrainWater && !unit->CrossesWater()) break;
        if (arrival[static_cast<std::size_t>(i)] <= 1.0f) break;
        float stepScore = std::max(0.0f, 0.5f * map.GetThreat(hex, type) - ownHalf) + static_cast<float>(i) * stepBonus;
        Unit* target = nullptr;
        if (unit->IsArmed() && !noAttack) {
            float attackScore = 0.0f;
            target = ChooseAttackTarget(planner, attackScore, &hex);
            if (target != nullptr) {
                stepScore += attackScore;
                stepBonus = 0.0f;
            }
        }
        if (i > 0 && IsUnitMakingWay(unit->GetId())) stepScore += 1.0f;
        if (stepScore > bestTotal) {
            bestTotal = stepScore;
            bestTarget = target;
            bestIndex = i;
            bestHex = hex;
        }
    }

    bool reached = false;
    if (bestIndex > 0) {
        reached = bestIndex == route.count;
        route.count = bestIndex;
        planner.AddPendingOrder(std::make_unique<FollowPathOrder>(route));
        SetUnitPlannedTile(unit->GetId(), bestHex);
    } else if (unit->GetState() == kUnitNotPlaced) {
        SetUnitPlannedTile(unit->GetId(), own);
    }
    if (bestTarget != nullptr) PendAttack(planner, *unit, *bestTarget);
    return reached;
}

int ComputerPlayer::GetTransportId(const AIUnitPlanner& planner) const {
    if (planner.GetTransportGoalId() == 0) return 0;
    const Unit* unit = team_.FindUnitById(planner.GetUnitId());
    if (unit != nullptr && unit->GetCarrier() != nullptr) return unit->GetCarrier()->GetId();
    const AIGoal* goal = FindGoalById(planner.GetTransportGoalId());
    return goal != nullptr ? goal->GetReservedCarrierId() : 0;
}

bool ComputerPlayer::PlanBoarding(AIUnitPlanner& planner) {
    const int carrierId = GetTransportId(planner);
    if (carrierId == 0) return false;
    const Unit* carrier = team_.FindUnitById(carrierId);
    const Unit* unit = team_.FindUnitById(planner.GetUnitId());
    if (carrier == nullptr || unit == nullptr) return false;
    if (unit->GetCarrier() != nullptr) return true;
    HexCoord meet = carrier->GetHexPos();
    HexCoord planned;
    if (GetUnitPlannedTile(carrierId, planned)) meet = planned;
    // Aircraft come to the unit; only land and sea carriers are walked to.
    if (carrier->GetType() != UT_APC && carrier->GetType() != UT_FERRY) return true;
    AdvanceTowards(planner, meet, true, true, 2);
    HexCoord end = unit->GetHexPos();
    planner.GetTarget(end);
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord next;
        if (HexNeighbour(end, d, next) && next == meet) {
            planner.AddPendingOrder(std::make_unique<EmbarkOrder>(carrierId));
            SetUnitPlannedTile(unit->GetId(), meet);
        }
    }
    return true;
}

}  // namespace game
