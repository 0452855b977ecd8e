#include "game/ai/resupply_goal.h"

#include <cmath>

#include "game/ai/computer_player.h"
#include "game/ai/unit_goals.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_tile.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/battle/structure_types.h"
#include "game/battle/unit_params.h"
#include "game/teams/team.h"

namespace game {
namespace {

constexpr float kNoRoute = 100000.0f;
constexpr float kNeedShare = 0.6f;

bool IsOpenLand(const HexTile& tile) { return tile.terrain == kTerrainLand && tile.objectClass != kObjectFeature; }

}  // namespace

AIResupplyGoal::AIResupplyGoal(ComputerPlayer& player, const Unit& unit)
    : player_(player), unitId_(unit.GetId()), teamKind_(unit.GetTeamKind()) {}

AIResupplyGoal::~AIResupplyGoal() {
    ReleaseSupplier();
    if (Unit* unit = player_.GetTeam().FindUnitById(unitId_)) {
        if (unit->GetAIGoalId() == GetId()) unit->SetAIGoalId(0);
    }
}

void AIResupplyGoal::ReleaseSupplier() {
    if (Unit* truck = player_.GetTeam().FindUnitById(supplierId_)) {
        if (truck->GetAIGoalId() == GetId()) truck->SetAIGoalId(0);
    }
    supplierId_ = 0;
    wishMade_ = false;
}

void AIResupplyGoal::AssignSupplier(int unitId) {
    ReleaseSupplier();
    if (Unit* truck = player_.FindAnyUnit(unitId)) {
        truck->SetAIGoalId(GetId());
        supplierId_ = unitId;
    }
}

// --- Score ---------------------------------------------------------------------------------------------------

void AIResupplyGoal::Score() {
    score_ = 0.0f;
    danger_ = 0.0f;
    const Unit* unit = player_.GetTeam().FindUnitById(unitId_);
    if (unit == nullptr || !unit->NeedsResupply(kNeedShare, false)) return;
    HexMap& map = player_.PlanMap();
    const HexCoord hex = unit->GetHexPos();

    float threat = 0.0f;
    int valid = 0;
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord next;
        if (!HexNeighbour(hex, d, next) || map.GetTile(next).terrain == kTerrainNone) continue;
        threat += map.GetThreat(next, UT_TRUCK);
        ++valid;
    }
    const float danger = valid > 0 ? 0.1f * threat / static_cast<float>(valid) : 0.0f;
    danger_ = danger;

    const Team& team = player_.GetTeam();
    float cost = kNoRoute;
    bool anyTruck = false;
    HexPath route;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        const Unit* truck = team.GetUnit(slot);
        if (truck == nullptr || truck->GetType() != UT_TRUCK || truck->GetState() == kUnitGone) continue;
        anyTruck = true;
        if (map.FindRoute(hex, truck->GetHexPos(), route, UT_TRUCK, 0, true)) cost = std::min(cost, route.cost);
    }
    const float truckCost = cost;

    StructureManager* structures = player_.GetStructures();
    const Structure* bestPad = nullptr;
    for (int slot = 0; structures != nullptr && slot < kMaxStructures; ++slot) {
        const Structure* pad = structures->GetStructure(slot);
        if (pad == nullptr || pad->GetType() != kStructureBuildPad || pad->GetTeam() != teamKind_) continue;
        const Structure* building = pad->GetLinkedStructure();
        if (building == nullptr ||
            (building->GetType() != unit->GetCategory() && building->GetType() != kStructureRepairS)) {
            continue;
        }
        if (map.FindRoute(hex, pad->GetHex(), route, unit->GetType(), 0, false) && route.cost < cost) {
            cost = route.cost;
            bestPad = pad;
        }
    }

    const float fuel = unit->GetFuel();
    padMode_ = false;
    if (bestPad != nullptr && truckCost > cost && fuel > 30.0f &&
        static_cast<int>(fuel) / 15 > static_cast<int>(cost) / 15) {
        padMode_ = true;
        meeting_ = bestPad->GetHex();
    }
    if (!anyTruck && !padMode_) {
        // A truck yet to be bought drives from a factory pad.
        for (int slot = 0; structures != nullptr && slot < kMaxStructures; ++slot) {
            const Structure* factory = structures->GetStructure(slot);
            if (factory == nullptr || factory->GetType() != kStructureFactory || factory->GetTeam() != teamKind_ ||
                factory->GetFirstPad() == nullptr) {
                continue;
            }
            if (map.FindRoute(hex, factory->GetFirstPad()->GetHex(), route, UT_TRUCK, 0, true)) {
                cost = std::min(cost, route.cost);
            }
        }
    }

    // A hopeless case (nothing near enough) keeps a token score instead of squaring a negative base.
    const float base = 1.0f - danger + 0.5f * (1.0f - cost / 200.0f);
    score_ = base > 0.0f ? base * base : 0.01f;
    const float capacity = unit->GetParams().fuelCapacity;
    if (capacity > 0.0f) {
        const float share = fuel / capacity;
        if (share < 0.3f && IsAircraftType(unit->GetType())) {
            score_ += 3.0f;
        } else if (share < 0.2f) {
            score_ += 2.0f;
        }
    }
}

// --- Plan ----------------------------------------------------------------------------------------------------

void AIResupplyGoal::Plan() {
    flyingItself_ = false;
    if (score_ <= 0.0f || unitId_ == 0) return;
    Team& team = player_.GetTeam();
    Unit* unit = team.FindUnitById(unitId_);
    if (unit == nullptr) {
        score_ = 0.0f;
        return;
    }
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    Unit* truck = nullptr;
    if (!padMode_ && supplierId_ != 0) {
        wishMade_ = false;
        truck = team.FindUnitById(supplierId_);
        if (truck == nullptr || truck->GetState() == kUnitGone || truck->GetAIGoalId() != GetId()) {
            truck = nullptr;
            supplierId_ = 0;
        }
    }
    if (!padMode_ && truck == nullptr) {
        HexPath route;
        truck = player_.FindNearestIdleUnit(unit->GetHexPos(), UT_TRUCK, route, 0, true, true);
        if (truck != nullptr) {
            truck->SetAIGoalId(GetId());
            supplierId_ = truck->GetId();
            meeting_ = truck->GetHexPos();
            wishMade_ = false;
        } else if (!wishMade_) {
            player_.AddBuildWish(UT_TRUCK, score_, GetId(), unit->GetHexPos());
            wishMade_ = true;
            return;
        }
    }
    if (truck != nullptr && truck->GetState() == kUnitNotPlaced && battle != nullptr) {
        const Unit* other = battle->FindUnitAt(truck->GetHexPos());
        if (other != nullptr && other != truck) {
            // Its pad is taken: the bought truck goes before it was ever placed (the team deletes it).
            player_.RemoveBoughtUnit(*truck);
            ReleaseSupplier();
            return;
        }
    }
    AIUnitPlanner* planner = player_.FindUnitPlanner(unitId_);
    if (IsAircraftType(unit->GetType()) && planner != nullptr) {
        bool landable = true;
        if (map.GetTile(meeting_).regionId == map.GetTile(unit->GetHexPos()).regionId) {
            const Unit* below = battle != nullptr ? battle->FindUnitAt(unit->GetHexPos()) : nullptr;
            if (below != nullptr && below != unit && below->GetTeamKind() == teamKind_) {
                player_.RequestMakeWay(below->GetId());
            }
        } else {
            landable = false;
        }
        const HexTile& tile = map.GetTile(unit->GetHexPos());
        if (padMode_ || !landable || tile.terrain == kTerrainWater ||
            (tile.terrain == kTerrainLand && tile.objectClass == kObjectFeature)) {
            // The aircraft flies to the pad (or towards the truck) itself.
            unit->SetAIGoalId(GetId());
            planner->ClearPendingOrders();
            player_.AdvanceTowards(*planner, meeting_, true, !padMode_, 1);
            if (truck != nullptr && truck->GetAIGoalId() == GetId()) truck->SetAIGoalId(0);
            supplierId_ = 0;
            flyingItself_ = true;
            return;
        }
    }
    HexCoord meet = unit->GetHexPos();
    if (planner != nullptr) planner->GetTarget(meet);
    if (padMode_ || truck == nullptr) return;
    if (AIUnitPlanner* truckPlanner = player_.FindUnitPlanner(truck->GetId())) {
        player_.AdvanceTowards(*truckPlanner, meet, false, true, 1);
        meeting_ = truck->GetHexPos();
        truckPlanner->GetTarget(meeting_);
    }
}

// --- Execute -------------------------------------------------------------------------------------------------

bool AIResupplyGoal::IsBesideMeeting(HexCoord hex) const {
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord next;
        if (HexNeighbour(meeting_, d, next) && next == hex) return true;
    }
    return false;
}

bool AIResupplyGoal::SetAircraftBesideMeeting(bool airborne) {
    const HexMap& map = player_.Ports().GetHexMap();
    const Team& team = player_.GetTeam();
    bool changed = false;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        Unit* unit = team.GetUnit(slot);
        if (unit == nullptr || !IsAircraftType(unit->GetType()) || unit->GetState() != kUnitIdle) continue;
        if (unit->IsAirborne() == airborne || !IsBesideMeeting(unit->GetHexPos())) continue;
        if (!airborne && !IsOpenLand(map.GetTile(unit->GetHexPos()))) continue;
        unit->SetAirborne(airborne);
        changed = true;
    }
    return changed;
}

int AIResupplyGoal::Execute(bool firstStep) {
    if (score_ <= 0.0f) return kExecuteFinished;
    Team& team = player_.GetTeam();
    Unit* truck = team.FindUnitById(supplierId_);
    // Without a truck there is nothing to do, unless the unit itself goes (to a pad, or an aircraft towards a
    // truck it cannot land beside yet): its orders are still to be given.
    if (!padMode_ && !flyingItself_ && (truck == nullptr || truck->GetState() == kUnitGone)) {
        ReleaseSupplier();
        return kExecuteNext;
    }
    Unit* unit = team.FindUnitById(unitId_);
    if (firstStep) {
        AIUnitPlanner* planner = player_.FindUnitPlanner(unitId_);
        const bool committed = planner != nullptr && player_.CommitOrders(*planner);
        if (!committed && truck == nullptr) return kExecuteNext;
        if (truck != nullptr) {
            player_.Ports().LookAtHex(truck->GetHexPos());
            AIUnitPlanner* truckPlanner = player_.FindUnitPlanner(truck->GetId());
            if (truck->GetState() == kUnitNotPlaced) {
                truck->Deploy();
                return truckPlanner != nullptr && truckPlanner->GetPendingCount() > 0 ? kExecutePauseRestart
                                                                                      : kExecutePauseAgain;
            }
            truck->StartWaitTimer();
            if (truckPlanner != nullptr) player_.CommitOrders(*truckPlanner);
            if (SetAircraftBesideMeeting(false)) return kExecutePauseAgain;
        }
    }
    if (truck != nullptr && truck->GetState() == kUnitIdle) {
        SetAircraftBesideMeeting(true);
        if (unit != nullptr && IsBesideMeeting(unit->GetHexPos())) return kExecuteFinished;
        if (unit == nullptr || unit->GetState() == kUnitIdle || unit->GetState() == kUnitGone) return kExecuteNext;
    }
    if (unit == nullptr || unit->GetState() == kUnitGone) return kExecuteFinished;
    if (unit->GetState() != kUnitRunningOrders) {
        if (unit->GetHexPos() == meeting_) {
            if (unit->IsAirborne()) {
                unit->SetAirborne(false);
                return kExecutePauseAgain;
            }
            if (padMode_ && IsAircraftType(unit->GetType())) return kExecuteFinished;
        }
        if (truck == nullptr) return kExecuteNext;
    }
    return kExecuteAgain;
}

}  // namespace game
