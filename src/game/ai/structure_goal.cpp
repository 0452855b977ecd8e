#include "game/ai/structure_goal.h"

#include <cmath>

#include "game/ai/computer_player.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/path_finder.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/battle/structure_types.h"
#include "game/teams/team.h"
#include "game/units/action_orders.h"
#include "game/units/move_orders.h"

namespace game {
namespace {

constexpr float kNoRoute = 1000000.0f;
constexpr int kNearbyCaptureReach = 6;
constexpr float kPlanThreshold = 0.001f;

float BaseScore(int structureType) {
    switch (structureType) {
        case kStructureFactory: return 1.1f;
        case kStructureAirport:
        case kStructureDockyard: return 0.9f;
        case kStructureBarracks: return 1.2f;
        case kStructureHQ: return 2.0f;
        case kStructureRefinery: return 1.3f;
        default: return 0.8f;
    }
}

}  // namespace

AIStructureGoal::AIStructureGoal(ComputerPlayer& player, int teamKind, Structure& structure)
    : player_(player), teamKind_(teamKind), firstOwner_(structure.GetTeam()), structure_(structure) {}

AIStructureGoal::~AIStructureGoal() { Release(); }

void AIStructureGoal::Release() {
    if (Unit* engineer = player_.GetTeam().FindUnitById(engineerId_)) {
        if (engineer->GetAIGoalId() == GetId()) engineer->SetAIGoalId(0);
    }
    pathOrder_.reset();
    captureOrder_.reset();
    engineerId_ = 0;
}

void AIStructureGoal::ClaimEngineer(Unit& engineer) {
    engineer.SetAIGoalId(GetId());
    engineerId_ = engineer.GetId();
}

void AIStructureGoal::AssignUnit(int unitId) {
    Release();
    if (Unit* unit = player_.GetTeam().FindUnitById(unitId)) ClaimEngineer(*unit);
}

bool AIStructureGoal::OwnedAndUnchallenged(const Structure& structure) const {
    const int capturer = structure_.GetCapturingTeam();
    return structure.GetTeam() == teamKind_ && (capturer == 0 || capturer == teamKind_);
}

// --- Score ---------------------------------------------------------------------------------------------------

void AIStructureGoal::Score() {
    const int type = structure_.GetType();
    score_ = BaseScore(type);
    HexMap& map = player_.PlanMap();
    const Team& team = player_.GetTeam();
    StructureManager* structures = player_.GetStructures();

    float cost = kNoRoute;
    int engineers = 0;
    HexPath route;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        const Unit* unit = team.GetUnit(slot);
        if (unit == nullptr || unit->GetType() != UT_ENGINEER || unit->GetState() == kUnitGone) continue;
        ++engineers;
        if (map.FindRoute(unit->GetHexPos(), structure_.GetHex(), route, UT_ENGINEER, 0, true)) {
            cost = std::min(cost, route.cost);
        }
    }
    if (engineers == 0 && structures != nullptr) {
        // An engineer yet to be bought walks from a barracks pad.
        for (int slot = 0; slot < kMaxStructures; ++slot) {
            const Structure* barracks = structures->GetStructure(slot);
            if (barracks == nullptr || barracks == &structure_ || barracks->GetType() != kStructureBarracks ||
                barracks->GetTeam() != teamKind_) {
                continue;
            }
            const Structure* pad = barracks->GetFirstPad();
            if (pad == nullptr) {
                score_ = 0.0f;
                structure_.SetAITag(0);
                return;
            }
            if (map.FindRouteAllowBlocked(pad->GetHex(), structure_.GetHex(), route, UT_ENGINEER, 0, true)) {
                cost = std::min(cost, route.cost);
            }
        }
    }

    const float agro = player_.Ports().GetAIConfig(kAIConfigEngineerAgro);
    const float range = std::trunc((agro <= 0.0f ? 10.0f : agro) * 600.0f);
    if (type != kStructureHQ) {
        // Beyond the range a building is worth nothing; nearer ones are worth more the nearer they are.
        if (range <= 0.0f || cost >= range || cost >= kNoRoute) {
            score_ = 0.0f;
        } else {
            const float share = 1.0f - cost / range;
            score_ *= share * share;
        }
    }

    const auto owned = [&](int structureType) {
        return structures != nullptr && structures->CountOwned(teamKind_, structureType) > 0;
    };
    if (type == kStructureBarracks && !owned(kStructureBarracks) && engineers > 0) {
        score_ += 10.0f;
        wishCooldown_ = 0;
    }
    if (type == kStructureFactory && !owned(kStructureFactory) && engineers > 0) {
        score_ += 5.0f;
        wishCooldown_ = 0;
    }
    if (firstOwner_ == teamKind_ && structure_.GetTeam() != teamKind_) {
        score_ += 8.0f;
        wishCooldown_ = 0;
    }
    if (firstOwner_ == teamKind_) {
        const int capturer = structure_.GetCapturingTeam();
        if (capturer != 0 && capturer != teamKind_) {
            score_ += 100.0f;
            wishCooldown_ = 0;
        } else if (capturer == 0) {
            score_ = 0.0f;
        }
    }
    if (agro > 10.0f) score_ += 5.0f;
    structure_.SetAITag(static_cast<int>(score_));
    if (wishCooldown_ > 0) --wishCooldown_;
}

// --- Plan ----------------------------------------------------------------------------------------------------

int AIStructureGoal::CountRouteThisTurn(Unit& engineer, const HexPath& route, bool mayPass) {
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    map.SetTileScratch(0.0f);
    map.ClearMarkBits(kMarkAll);
    map.FloodMoveBudget(engineer.GetHexPos(), engineer, engineer.GetMovementLeft());
    HexList hexes;
    map.PathToHexList(hexes, route);
    int counted = 0;
    for (int i = 1; i < hexes.count; ++i) {
        const HexCoord hex = hexes.hexes[static_cast<std::size_t>(i)];
        if (mayPass && battle != nullptr) {
            const Unit* other = battle->FindUnitAt(hex);
            if (other != nullptr && other != &engineer && !other->IsAirborne()) break;
        }
        ++counted;
        if (map.GetMoveLeft(hex) <= 1.0f) break;
    }
    return counted;
}

void AIStructureGoal::TakeRouteThisTurn(Unit& engineer, const HexPath& route, int counted) {
    HexPath cut = route;
    cut.count = counted;
    pathOrder_ = std::make_unique<FollowPathOrder>(cut);
    HexList hexes;
    player_.PlanMap().PathToHexList(hexes, route);
    endHex_ = hexes.hexes[static_cast<std::size_t>(counted)];
    player_.SetUnitPlannedTile(engineer.GetId(), endHex_);
}

void AIStructureGoal::Plan() {
    if (score_ <= kPlanThreshold || OwnedAndUnchallenged(structure_)) return;
    Team& team = player_.GetTeam();
    pathOrder_.reset();
    captureOrder_.reset();
    nearbyTarget_ = nullptr;

    Unit* engineer = team.FindUnitById(engineerId_);
    if (engineerId_ != 0 && (engineer == nullptr || engineer->GetState() == kUnitGone ||
                             engineer->GetAIGoalId() != GetId())) {
        // The engineer was lost: new wishes wait a few turns, except for an HQ.
        engineerId_ = 0;
        engineer = nullptr;
        if (structure_.GetType() != kStructureHQ) wishCooldown_ = player_.PlanRandom().NextInt(2, 4, 0);
    }
    if (engineer == nullptr) {
        HexPath route;
        engineer = player_.FindNearestIdleUnit(structure_.GetHex(), UT_ENGINEER, route, 0, true, true);
        if (engineer != nullptr) ClaimEngineer(*engineer);
        const float agro = player_.Ports().GetAIConfig(kAIConfigEngineerAgro);
        if (engineer == nullptr && agro != 0.0f && !(wishCooldown_ > 0 && agro < 10.0f)) {
            player_.AddBuildWish(UT_ENGINEER, score_, GetId(), structure_.GetHex());
        }
        if (engineer == nullptr) return;
    }
    if (structure_.IsReserved()) {
        Release();
        return;
    }
    BattleContext* battle = player_.PlanMap().GetBattleContext();
    if (engineer->GetState() == kUnitNotPlaced && battle != nullptr) {
        const Unit* other = battle->FindUnitAt(engineer->GetHexPos());
        if (other != nullptr && other != engineer) {
            // Its pad is taken: the bought engineer goes before it was ever placed (the team deletes it).
            player_.RemoveBoughtUnit(*engineer);
            Release();
            return;
        }
    }
    if (PlanNearbyCapture(*engineer)) return;

    HexMap& map = player_.PlanMap();
    bool mayPass = false;
    PathFinder::SetTileWeighting(true);
    bool found = map.FindRoute(engineer->GetHexPos(), structure_.GetHex(), route_, UT_ENGINEER, 2, true);
    if (!found) {
        found = map.FindRoute(engineer->GetHexPos(), structure_.GetHex(), route_, UT_ENGINEER, 1, true);
        mayPass = found;
    }
    PathFinder::SetTileWeighting(false);
    if (!found) {
        Release();
        return;
    }
    endHex_ = engineer->GetHexPos();
    if (route_.count > 0) {
        const int counted = CountRouteThisTurn(*engineer, route_, mayPass);
        if (counted == 0) {
            player_.SetUnitPlannedTile(engineer->GetId(), endHex_);
            return;
        }
        TakeRouteThisTurn(*engineer, route_, counted);
        // The capture is ordered only on the turn the engineer arrives.
        if (counted < route_.count) return;
    }
    captureOrder_ = std::make_unique<CaptureStructureOrder>(structure_);
}

bool AIStructureGoal::PlanNearbyCapture(Unit& engineer) {
    nearbyTarget_ = nullptr;
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    StructureManager* structures = player_.GetStructures();
    if (battle == nullptr || structures == nullptr) return false;
    map.ClearMarkBits(kMarkAll);
    map.ClearRangeSteps();
    map.MarkReach(engineer.GetHexPos(), 0, kNearbyCaptureReach);
    bool threatened = false;
    for (int r = 0; r < kMapRows && !threatened; ++r) {
        for (int c = 0; c < kMapColumns && !threatened; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (!IsValidHex(hex) || (map.GetMarkBits(hex) & kMarkAttack) == 0) continue;
            const Unit* unit = battle->FindUnitAt(hex);
            threatened = unit != nullptr && unit->GetTeamKind() != 0 && unit->GetTeamKind() != teamKind_ &&
                         unit->IsArmed();
        }
    }
    if (!threatened) return false;

    Structure* best = nullptr;
    HexPath bestRoute;
    HexPath route;
    for (int slot = 0; slot < kMaxStructures; ++slot) {
        Structure* s = structures->GetStructure(slot);
        if (s == nullptr || s->GetTeam() == engineer.GetTeamKind() || s->IsReserved() ||
            s->GetType() == kStructureBuildPad) {
            continue;
        }
        if (!map.FindRoute(engineer.GetHexPos(), s->GetHex(), route, UT_ENGINEER, 2, true)) continue;
        if (best == nullptr || route.cost < bestRoute.cost) {
            best = s;
            bestRoute = route;
        }
    }
    if (best == nullptr) return false;
    // Only a building reached this turn is worth the detour: a rejected one leaves no order, planned tile or
    // end hex behind.
    const int counted = bestRoute.count > 0 ? CountRouteThisTurn(engineer, bestRoute, false) : 0;
    if (counted < bestRoute.count) return false;
    if (counted > 0) TakeRouteThisTurn(engineer, bestRoute, counted);
    nearbyTarget_ = best;
    captureOrder_ = std::make_unique<CaptureStructureOrder>(*best);
    best->Reserve();
    return true;
}

// --- Execute -------------------------------------------------------------------------------------------------

int AIStructureGoal::Execute(bool firstStep) {
    if (score_ < kPlanThreshold) return kExecuteNext;
    if (firstStep) {
        const Structure& looked = nearbyTarget_ != nullptr ? *nearbyTarget_ : structure_;
        if (OwnedAndUnchallenged(looked)) {
            Release();
            return kExecuteNext;
        }
    }
    Unit* engineer = player_.GetTeam().FindUnitById(engineerId_);
    if (engineer == nullptr || engineer->GetState() == kUnitGone) return kExecuteNext;
    if (firstStep) {
        const bool prepared = pathOrder_ != nullptr || captureOrder_ != nullptr;
        if (engineer->GetState() == kUnitNotPlaced) {
            player_.Ports().LookAtHex(engineer->GetHexPos());
            engineer->Deploy();
            return prepared ? kExecutePauseRestart : kExecutePauseAgain;
        }
        AIUnitPlanner* planner = player_.FindUnitPlanner(engineerId_);
        if (prepared && planner != nullptr) {
            player_.Ports().LookAtHex(engineer->GetHexPos());
            engineer->StartWaitTimer();
            planner->ClearPendingOrders();
            if (pathOrder_) planner->AddPendingOrder(std::move(pathOrder_));
            if (captureOrder_) planner->AddPendingOrder(std::move(captureOrder_));
            player_.CommitOrders(*planner);
        }
        pathOrder_.reset();
        captureOrder_.reset();
    }
    if (engineer->GetState() != kUnitIdle && engineer->GetState() != kUnitGone) return kExecuteAgain;
    return kExecuteNextPaused;
}

}  // namespace game
