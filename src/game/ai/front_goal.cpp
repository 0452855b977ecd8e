#include "game/ai/front_goal.h"

#include <algorithm>

#include "game/ai/computer_player.h"
#include "game/ai/unit_goals.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_path.h"
#include "game/teams/team.h"

namespace game {
namespace {

constexpr float kNoRouteCost = 100000.0f;
constexpr int kCandidateSlots = 12;
constexpr float kCandidateStartCost = 10000.0f;

bool IsIdleFree(const Unit& unit) { return unit.GetState() == kUnitIdle && unit.GetAIGoalId() == 0; }

}  // namespace

AIFrontGoal::AIFrontGoal(ComputerPlayer& player, int teamKind, float weight, HexCoord hex)
    : player_(player), teamKind_(teamKind), centre_(hex), weight_(weight) {}

AIFrontGoal::~AIFrontGoal() { ReleaseSquad(); }

Unit* AIFrontGoal::FindUnit(int unitId) const {
    BattleContext* battle = player_.Ports().GetHexMap().GetBattleContext();
    return battle != nullptr && unitId != 0 ? battle->FindUnitById(unitId) : nullptr;
}

// --- Score -----------------------------------------------------------------------------------------------

void AIFrontGoal::Score() {
    score_ = 0.2f;
    SurveyArea();
    RefreshTargets();
    if (targetCount_ == 0) {
        score_ = 0.0f;
        ReleaseSquad();
        return;
    }
    bool general = false;
    bool engineer = false;
    for (int i = 0; i < targetCount_; ++i) {
        general = general || targets_[static_cast<std::size_t>(i)].unitType == UT_GENERAL;
        engineer = engineer || targets_[static_cast<std::size_t>(i)].unitType == UT_ENGINEER;
    }
    if (general) {
        score_ += 10.0f;
    } else if (engineer) {
        score_ += 1.0f;
    }
    UpdateSquad();
    score_ += squadCount_ == 0 ? 5.0f : weight_;
}

void AIFrontGoal::SurveyArea() {
    supporterCount_ = 0;
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (battle == nullptr) return;
    map.ClearMarkBits(kMarkAll);
    map.ClearRangeSteps();
    map.MarkReach(centre_, 0, kFrontRadius);
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (!IsValidHex(hex) || map.GetMarkBits(hex) == 0) continue;
            Unit* unit = battle->FindUnitAt(hex);
            if (unit == nullptr || battle->GetTeamControl(unit->GetTeamKind()) == kControlNone) continue;
            if (unit->GetTeamKind() == teamKind_) {
                if (unit->IsArmed() && IsIdleFree(*unit) && supporterCount_ < kMaxSupporters) {
                    supporters_[static_cast<std::size_t>(supporterCount_++)] = unit->GetId();
                }
                continue;
            }
            if (player_.GetUnitClaim(unit->GetId()) != 0) continue;
            if (targetCount_ >= kMaxFrontTargets) return;
            bool known = false;
            for (int i = 0; i < targetCount_; ++i) known = known || targets_[static_cast<std::size_t>(i)].unitId == unit->GetId();
            if (known) continue;
            targets_[static_cast<std::size_t>(targetCount_++)] = {unit->GetId(), unit->GetType()};
            ++targetsByType_[static_cast<std::size_t>(unit->GetType())];
            player_.SetUnitClaim(unit->GetId(), GetId());
        }
    }
}

void AIFrontGoal::RefreshTargets() {
    int columns = 0;
    int rows = 0;
    int kept = 0;
    float bonus = 0.0f;
    for (int i = 0; i < targetCount_; ++i) {
        const Target target = targets_[static_cast<std::size_t>(i)];
        const Unit* unit = FindUnit(target.unitId);
        if (unit != nullptr) player_.SetUnitClaim(target.unitId, GetId());
        if (unit == nullptr || HexDistance(unit->GetHexPos(), centre_) > kFrontRadius) {
            --targetsByType_[static_cast<std::size_t>(target.unitType)];
            continue;
        }
        columns += unit->GetHexPos().column;
        rows += unit->GetHexPos().row;
        bonus += target.unitType == UT_BOMBER ? 2.0f : 0.2f;
        targets_[static_cast<std::size_t>(kept++)] = target;
    }
    targetCount_ = kept;
    if (kept == 0) return;
    centre_ = MakeHexCoord(columns / kept, rows / kept);
    score_ += bonus;
}

void AIFrontGoal::ReleaseSquad() {
    for (int i = 0; i < squadCount_; ++i) {
        if (Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId)) unit->SetAIGoalId(0);
    }
    squadCount_ = 0;
    squadByType_.fill(0);
}

// --- Squad ----------------------------------------------------------------------------------------------

bool AIFrontGoal::InSquad(int unitId) const {
    for (int i = 0; i < squadCount_; ++i) {
        if (squad_[static_cast<std::size_t>(i)].unitId == unitId) return true;
    }
    return false;
}

void AIFrontGoal::AppendMember(const Unit& unit, float cost) {
    squad_[static_cast<std::size_t>(squadCount_++)] = {unit.GetId(), cost, unit.GetType()};
    ++squadByType_[static_cast<std::size_t>(unit.GetType())];
}

void AIFrontGoal::RemoveMember(int i) {
    --squadByType_[static_cast<std::size_t>(squad_[static_cast<std::size_t>(i)].unitType)];
    for (int j = i; j + 1 < squadCount_; ++j) squad_[static_cast<std::size_t>(j)] = squad_[static_cast<std::size_t>(j + 1)];
    --squadCount_;
}

float AIFrontGoal::RouteCost(const Unit& unit) const {
    HexPath route;
    if (!player_.PlanMap().FindRouteAllowBlocked(unit.GetHexPos(), centre_, route, unit.GetType(), 0, true)) {
        return kNoRouteCost;
    }
    return route.cost;
}

void AIFrontGoal::UpdateSquad() {
    for (int i = squadCount_ - 1; i >= 0; --i) {
        const Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId);
        if (unit == nullptr || unit->GetAIGoalId() != GetId()) RemoveMember(i);
    }
    const int oldCount = squadCount_;
    if (squadCount_ < kMaxSquad) Recruit();
    const int priced = oldCount == 0 ? squadCount_ : oldCount;
    for (int i = 0; i < squadCount_; ++i) {
        Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId);
        if (unit == nullptr) continue;
        unit->SetAIGoalId(GetId());
        if (i < priced) squad_[static_cast<std::size_t>(i)].cost = RouteCost(*unit);
    }
    for (int i = 0; i < squadCount_; ++i) {
        const Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId);
        if (unit == nullptr) continue;
        float sum = 0.0f;
        for (int j = 0; j < squadCount_; ++j) {
            const Unit* other = FindUnit(squad_[static_cast<std::size_t>(j)].unitId);
            if (other != nullptr) sum += HexToWorld(unit->GetHexPos()).Distance(HexToWorld(other->GetHexPos()));
        }
        squad_[static_cast<std::size_t>(i)].cost += sum / static_cast<float>(squadCount_);
    }
    std::stable_sort(squad_.begin(), squad_.begin() + squadCount_,
                     [](const SquadMember& a, const SquadMember& b) { return a.cost < b.cost; });
}

void AIFrontGoal::Recruit() {
    HexMap& map = player_.PlanMap();
    for (int i = 0; i < supporterCount_ && squadCount_ < kMaxSquad; ++i) {
        if (player_.Checkpoint()) return;
        const Unit* unit = FindUnit(supporters_[static_cast<std::size_t>(i)]);
        const AIUnitPlanner* planner = unit != nullptr ? player_.FindUnitPlanner(unit->GetId()) : nullptr;
        if (unit == nullptr || unit->GetAIGoalId() != 0 || planner == nullptr || planner->IsImmobilized()) continue;
        if (InSquad(unit->GetId())) continue;
        HexPath route;
        if (map.FindRoute(unit->GetHexPos(), centre_, route, unit->GetType(), 0, true)) AppendMember(*unit, route.cost);
    }
    struct Candidate {
        const Unit* unit = nullptr;
        float cost = kCandidateStartCost;
    };
    std::array<Candidate, kCandidateSlots> slots{};
    const Team& team = player_.GetTeam();
    for (int s = 0; s < kMaxTeamUnits; ++s) {
        const Unit* unit = team.GetUnit(s);
        if (unit == nullptr || !unit->IsArmed() || !IsIdleFree(*unit) || InSquad(unit->GetId())) continue;
        const AIUnitPlanner* planner = player_.FindUnitPlanner(unit->GetId());
        if (planner == nullptr || planner->IsImmobilized()) continue;
        if (player_.Checkpoint()) return;
        float cost = 1.0f;
        if (unit->GetCarrier() == nullptr) {
            HexPath route;
            if (!map.FindRouteAllowBlocked(unit->GetHexPos(), centre_, route, unit->GetType(), 0, true)) continue;
            cost = route.cost;
        }
        auto empty = std::find_if(slots.begin(), slots.end(), [](const Candidate& c) { return c.unit == nullptr; });
        if (empty != slots.end()) {
            *empty = {unit, cost};
            continue;
        }
        auto dearer = std::find_if(slots.begin(), slots.end(), [cost](const Candidate& c) { return c.cost > cost; });
        if (dearer != slots.end()) *dearer = {unit, cost};
    }
    for (const Candidate& c : slots) {
        if (c.unit != nullptr && squadCount_ < kMaxSquad) AppendMember(*c.unit, c.cost);
    }
    // Wishing for units to fill the squad comes with the planning pass and its purchases.
}

bool AIFrontGoal::TakeUnit(int unitId) {
    Unit* unit = FindUnit(unitId);
    if (unit == nullptr || squadCount_ >= kMaxSquad) return false;
    unit->SetAIGoalId(GetId());
    AppendMember(*unit, RouteCost(*unit));
    return true;
}

bool AIFrontGoal::HoldsUnit(int unitId) const { return InSquad(unitId); }

void AIFrontGoal::DropUnit(int unitId) {
    for (int i = 0; i < squadCount_; ++i) {
        if (squad_[static_cast<std::size_t>(i)].unitId != unitId) continue;
        if (Unit* unit = FindUnit(unitId)) unit->SetAIGoalId(0);
        RemoveMember(i);
        return;
    }
}

// --- Plan and execute -------------------------------------------------------------------------------------

bool AIFrontGoal::CanHitTargetFromHere(const Unit& unit) {
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (battle == nullptr) return false;
    map.ClearRangeSteps();
    map.ClearMarkBits(kMarkAll);
    map.MarkAttackRange(unit, nullptr, true);
    for (int i = 0; i < targetCount_; ++i) {
        const Unit* target = FindUnit(targets_[static_cast<std::size_t>(i)].unitId);
        if (target == nullptr || target->GetTeamKind() == unit.GetTeamKind()) continue;
        if ((map.GetMarkBits(target->GetHexPos()) & kMarkAttack) != 0 &&
            player_.GetPlannedDamage(target->GetId()) < 1.0f) {
            return true;
        }
    }
    return false;
}

void AIFrontGoal::Plan() {
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (battle == nullptr) return;
    for (int i = 0; i < squadCount_; ++i) {
        if (player_.Checkpoint()) return;
        Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId);
        AIUnitPlanner* planner = unit != nullptr ? player_.FindUnitPlanner(unit->GetId()) : nullptr;
        if (planner == nullptr) continue;
        if (unit->GetCarrier() != nullptr) {
            if (player_.GetTransportId(*planner) == 0) player_.RequestTransport(*planner, centre_);
            continue;
        }
        if (unit->GetState() == kUnitNotPlaced) {
            const Unit* other = battle->FindUnitAt(unit->GetHexPos());
            if (other != nullptr && other != unit) {
                unit->SetState(kUnitGone);
                continue;
            }
        }
        if (player_.GetTransportId(*planner) != 0 && player_.PlanBoarding(*planner)) continue;
        if (IsAircraftType(unit->GetType()) && !unit->IsAirborne()) {
            const MapUnit* air = battle->FindAirMapUnitAt(unit->GetHexPos());
            if (air != nullptr && air != unit) continue;
        }
        if (CanHitTargetFromHere(*unit)) {
            if (unit->GetState() != kUnitNotPlaced) {
                player_.AttackFromHere(*planner);
            } else {
                HexCoord tile = unit->GetHexPos();
                planner->GetTarget(tile);
                player_.SetUnitPlannedTile(unit->GetId(), tile);
            }
            continue;
        }
        player_.AdvanceTowards(*planner, centre_, false, true, 1);
        const HexTile& centreTile = map.GetTile(centre_);
        if (IsAircraftType(unit->GetType()) || centreTile.regionId == map.GetTile(unit->GetHexPos()).regionId) continue;
        const bool ship = unit->GetType() >= UT_SUBMARINE && unit->GetType() <= UT_AEGIS;
        if (centreTile.terrain != kTerrainWater || ship) {
            player_.RequestTransport(*planner, centre_);
            continue;
        }
        for (int t = 0; t < targetCount_; ++t) {
            const Unit* target = FindUnit(targets_[static_cast<std::size_t>(t)].unitId);
            const int type = targets_[static_cast<std::size_t>(t)].unitType;
            if (target == nullptr || IsAircraftType(type) || (type >= UT_SUBMARINE && type <= UT_AEGIS)) continue;
            player_.RequestTransport(*planner, target->GetHexPos());
            break;
        }
    }
}

int AIFrontGoal::Execute(bool firstStep) {
    if (score_ <= 0.0f) return kExecuteFinished;
    if (firstStep) {
        nextMember_ = 0;
        currentUnitId_ = 0;
    }
    Unit* current = FindUnit(currentUnitId_);
    if (currentUnitId_ == 0 || current == nullptr) {
        currentUnitId_ = 0;
        if (nextMember_ >= squadCount_) return kExecuteNext;
        Unit* unit = FindUnit(squad_[static_cast<std::size_t>(nextMember_)].unitId);
        if (unit != nullptr && unit->GetState() == kUnitNotPlaced) {
            player_.Ports().LookAtHex(unit->GetHexPos());
            unit->Deploy();
            return kExecutePauseAgain;
        }
        AIUnitPlanner* planner = unit != nullptr ? player_.FindUnitPlanner(unit->GetId()) : nullptr;
        if (unit == nullptr || unit->GetState() == kUnitGone || planner == nullptr || !player_.CommitOrders(*planner)) {
            ++nextMember_;
            return kExecuteAgain;
        }
        if (IsAircraftType(unit->GetType()) && !unit->IsAirborne()) {
            unit->SetAirborne(true);
            unit->StartWaitTimer();
        }
        currentUnitId_ = unit->GetId();
        return kExecuteAgain;
    }
    if (IsUnitBusyForGoal(*current, player_)) return kExecuteAgain;
    AIUnitPlanner* planner = player_.FindUnitPlanner(current->GetId());
    if (planner != nullptr && player_.ShouldLand(*planner)) current->SetAirborne(false);
    ++nextMember_;
    currentUnitId_ = 0;
    return kExecutePauseAgain;
}

}  // namespace game
