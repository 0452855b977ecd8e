#include "game/ai/computer_player.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

#include "game/ai/front_goal.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/structure_types.h"
#include "game/teams/team.h"

namespace game {
namespace {

constexpr int kEnemyTeamKind = 4;

// True on the thread that runs a plan, for the plan's duration.
thread_local bool t_inPlan = false;

struct InPlanScope {
    InPlanScope() { t_inPlan = true; }
    ~InPlanScope() { t_inPlan = false; }
    InPlanScope(const InPlanScope&) = delete;
    InPlanScope& operator=(const InPlanScope&) = delete;
};

}  // namespace

ComputerPlayer::ComputerPlayer(Team& team, ComputerPlayerPorts& ports, std::unique_ptr<AIGoalFactory> factory)
    : team_(team),
      ports_(ports),
      factory_(factory ? std::move(factory) : std::make_unique<AIGoalFactory>()),
      planRandom_(std::make_unique<engine::RandomStreams>([] { return 1u; })) {
    goals_.reserve(kMaxGoals);
}

ComputerPlayer::ComputerPlayer(Team& team, std::unique_ptr<ComputerPlayerPorts> ports,
                               std::unique_ptr<AIGoalFactory> factory)
    : ComputerPlayer(team, *ports, std::move(factory)) {
    ownedPorts_ = std::move(ports);
}

ComputerPlayer::~ComputerPlayer() {
    // The team manager stops the plan before the teams go; a plan still running here would read a dying object.
    StopPlanning();
    ClearGoals();
}

// --- Turn start and funds ----------------------------------------------------------------------------------

void ComputerPlayer::StartTurn() {
    dayAtTurnStart_ = ports_.GetDay();
    if (dayAtTurnStart_ == 1 || !structureGoalsMade_) {
        factory_->MakeStructureGoals(*this);
        structureGoalsMade_ = true;
        if (dayAtTurnStart_ == 1 && ports_.GetGameMode() == kGameModeSkirmish) {
            for (int i = 0; i < 2; ++i) AddBuildWishAnywhere(UT_ENGINEER, 10000.0f, 0);
        }
    }
    ClearUnitTable();
    SetState(kAIStateTurnStart);
}

void ComputerPlayer::AddFunds() {
    team_.AddCash(static_cast<int>(std::trunc(ports_.GetAIConfig(kAIConfigFundsDonation))));
    const int mode = ports_.GetGameMode();
    if (mode == kGameModeCampaign) {
        const int difficulty = std::clamp(ports_.GetDifficulty(), 0, 3);
        team_.AddCash(kDifficultyBonus[static_cast<std::size_t>(difficulty)]);
    }
    if (mode == kGameModeSkirmish) team_.AddCash(ports_.GetMatchOptions()[3]);
    team_.AddCash(kRefineryIncome * ports_.CountOwnedStructures(kEnemyTeamKind, kStructureRefinery));
}

// --- States and the driver ---------------------------------------------------------------------------------

void ComputerPlayer::SetState(int state) {
    state_ = state;
    switch (state) {
        case kAIStateTurnStart:
            AddFunds();
            break;
        case kAIStateRunGoals:
            if (goals_.empty()) SetState(kAIStateFinishing);
            break;
        case kAIStateGoalsFinished:
            SetState(kAIStateFinishing);
            break;
        case kAIStatePause:
            pauseLeft_ = ports_.IsQuickPause() ? kQuickPauseSeconds : kGoalPauseSeconds;
            break;
        case kAIStateTurnOver: {
            std::vector<AIUnitPlanner*> planners;
            {
                std::lock_guard<std::mutex> lock(plannerLock_);
                for (auto& planner : planners_) {
                    if (planner) planners.push_back(planner.get());
                }
            }
            for (AIUnitPlanner* planner : planners) TurnStep(*planner);
            ports_.UnreserveStructures();
            break;
        }
        default:
            break;
    }
}

void ComputerPlayer::Update() {
    switch (state_) {
        case kAIStateTurnStart:
            // Planning starts once the turn's scripts have run: a running block holds it a tick.
            if (ports_.IsAnyBlockRunning()) return;
            StartPlanning();
            SetState(kAIStatePlanning);
            if (runner_ && runner_->IsFinished()) FinishPlanning();
            break;
        case kAIStatePlanning:
            if (runner_ && runner_->IsFinished()) FinishPlanning();
            break;
        case kAIStateRunGoals:
            RunGoalStep();
            break;
        case kAIStatePause:
            if (ports_.IsTeamManagerBusy() || ports_.IsStructureEffectRunning()) return;
            pauseLeft_ -= kTickSeconds;
            if (pauseLeft_ <= 0.0f) {
                pauseLeft_ = 0.0f;
                state_ = kAIStateRunGoals;
            }
            break;
        case kAIStateFinishing:
            SetState(kAIStateTurnOver);
            break;
        default:
            break;
    }
}

void ComputerPlayer::StartPlanning() {
    currentGoal_ = 0;
    firstStep_ = true;
    funds_ = team_.GetCash();
    const std::uint32_t seed = ports_.DrawPlanSeed();
    planRandom_ = std::make_unique<engine::RandomStreams>([seed] { return seed; });
    RefreshPlanMap();
    ClearCancel();
    SetDone(false);
    planActive_ = true;
    runner_ = ports_.CreateRunner();
    if (!runner_) runner_ = std::make_unique<InlinePlanRunner>();
    runner_->Start(*this);
}

void ComputerPlayer::FinishPlanning() {
    runner_->Close();
    runner_.reset();
    planActive_ = false;
    for (int id : removals_) {
        Unit* unit = team_.FindUnitById(id);
        if (unit != nullptr && unit->GetState() == kUnitNotPlaced) unit->SetState(kUnitGone);
    }
    removals_.clear();
    // Bookkeeping that arrived while the worker planned, in its order.
    std::vector<QueuedCall> calls = std::move(queued_);
    queued_.clear();
    for (const QueuedCall& call : calls) {
        switch (call.kind) {
            case Bookkeeping::kAdd: ApplyAdd(call.unitId); break;
            case Bookkeeping::kRemove: ApplyRemove(call.unitId); break;
            case Bookkeeping::kImmobile: ApplyImmobilized(call.unitId, true); break;
            case Bookkeeping::kMobile: ApplyImmobilized(call.unitId, false); break;
        }
    }
    SetState(kAIStateRunGoals);
}

bool ComputerPlayer::IsPlanPending() const { return runner_ != nullptr && !runner_->IsFinished(); }

void ComputerPlayer::Run() {
    InPlanScope scope;
    CancelToken token(*this, &checkpointHook_);
    token_ = &token;
    factory_->RunPlanningPass(*this, token);
    token_ = nullptr;
    if (!token.IsCancelled()) SetDone(true);
}

void ComputerPlayer::RunGoalStep() {
    // Result 1 runs the next goal in the same tick; every other result ends the tick's work.
    while (state_ == kAIStateRunGoals && currentGoal_ < GetGoalCount()) {
        AIGoal& goal = *goals_[static_cast<std::size_t>(currentGoal_)];
        const int id = goal.GetId();
        const int result = goal.Execute(firstStep_);
        firstStep_ = false;
        if (currentGoal_ >= GetGoalCount() || goals_[static_cast<std::size_t>(currentGoal_)]->GetId() != id) {
            // The step emptied or rebuilt the goal list (the goal may be gone with it): its result no longer
            // applies. The goal now at the driver's place runs next tick, or the goals are done.
            firstStep_ = true;
            if (currentGoal_ >= GetGoalCount()) SetState(kAIStateGoalsFinished);
            return;
        }
        switch (result) {
            case kExecuteFinished:
                DeleteCurrentGoal();
                firstStep_ = true;
                ports_.EndBattleZoom();
                if (currentGoal_ >= GetGoalCount()) SetState(kAIStateGoalsFinished);
                return;
            case kExecuteNext:
            case kExecuteNextPaused:
                ++currentGoal_;
                firstStep_ = true;
                if (currentGoal_ >= GetGoalCount()) {
                    SetState(kAIStateGoalsFinished);
                } else if (result == kExecuteNextPaused) {
                    SetState(kAIStatePause);
                } else {
                    continue;
                }
                return;
            case kExecutePauseAgain:
                SetState(kAIStatePause);
                return;
            case kExecuteRestart:
                firstStep_ = true;
                return;
            case kExecutePauseRestart:
                firstStep_ = true;
                SetState(kAIStatePause);
                return;
            default:
                return;
        }
    }
    if (state_ == kAIStateRunGoals) SetState(kAIStateGoalsFinished);
}

void ComputerPlayer::DeleteCurrentGoal() {
    const auto at = goals_.begin() + currentGoal_;
    if ((*at)->GetKind() == kGoalTransport) --transportGoalCount_;
    goals_.erase(at);
}

void ComputerPlayer::StopPlanning() {
    if (!runner_) return;
    runner_->Stop();
    runner_->Close();
    runner_.reset();
    planActive_ = false;
    queued_.clear();
    removals_.clear();
}

// --- Goal list, wishes, purchases --------------------------------------------------------------------------

bool ComputerPlayer::AddGoal(std::unique_ptr<AIGoal> goal) {
    if (!goal || GetGoalCount() >= kMaxGoals) return false;
    if (goal->GetKind() == kGoalTransport) ++transportGoalCount_;
    goals_.push_back(std::move(goal));
    return true;
}

AIGoal* ComputerPlayer::FindGoalById(int id) const {
    for (const auto& goal : goals_) {
        if (goal->GetId() == id) return goal.get();
    }
    return nullptr;
}

AIGoal* ComputerPlayer::GetGoal(int i) const {
    if (i < 0 || i >= GetGoalCount()) return nullptr;
    return goals_[static_cast<std::size_t>(i)].get();
}

void ComputerPlayer::ClearGoals() {
    goals_.clear();
    transportGoalCount_ = 0;
    // The count held the carried units' reservations too: they are gone with it.
    std::lock_guard<std::mutex> lock(plannerLock_);
    for (auto& planner : planners_) {
        if (planner) planner->SetTransportReservation(false);
    }
    currentGoal_ = 0;
}

bool ComputerPlayer::AddBoughtUnit(const BoughtUnit& bought) {
    if (GetBoughtCount() >= kMaxBought) return false;
    bought_.push_back(bought);
    return true;
}

// --- Planners ----------------------------------------------------------------------------------------------

bool ComputerPlayer::MustQueue() const { return planActive_ && !t_inPlan; }

void ComputerPlayer::RemoveBoughtUnit(Unit& unit) {
    if (t_inPlan) {
        removals_.push_back(unit.GetId());
    } else {
        unit.SetState(kUnitGone);
    }
}

bool ComputerPlayer::PlanHidden() const { return planActive_ && !t_inPlan; }

void ComputerPlayer::AddUnitPlanner(int unitId) {
    if (MustQueue()) {
        queued_.push_back({Bookkeeping::kAdd, unitId});
        return;
    }
    ApplyAdd(unitId);
}

void ComputerPlayer::RemoveUnit(int unitId) {
    if (MustQueue()) {
        queued_.push_back({Bookkeeping::kRemove, unitId});
        return;
    }
    ApplyRemove(unitId);
}

void ComputerPlayer::SetUnitImmobilized(int unitId, bool immobilized) {
    if (MustQueue()) {
        queued_.push_back({immobilized ? Bookkeeping::kImmobile : Bookkeeping::kMobile, unitId});
        return;
    }
    ApplyImmobilized(unitId, immobilized);
}

void ComputerPlayer::ApplyAdd(int unitId) {
    const Unit* unit = team_.FindUnitById(unitId);
    if (unit == nullptr || FindUnitPlanner(unitId) != nullptr) return;
    std::lock_guard<std::mutex> lock(plannerLock_);
    for (std::size_t i = 0; i < planners_.size(); ++i) {
        if (!planners_[i]) {
            planners_[i] = std::make_unique<AIUnitPlanner>(unitId, unit->GetHexPos(), unit->IsAirborne());
            planners_[i]->AttachIndex(plannedTiles_, static_cast<int>(i));
            plannerUnitIds_[i] = unitId;
            return;
        }
    }
}

void ComputerPlayer::ApplyRemove(int unitId) {
    std::lock_guard<std::mutex> lock(plannerLock_);
    for (std::size_t i = 0; i < planners_.size(); ++i) {
        if (planners_[i] && planners_[i]->GetUnitId() == unitId) {
            planners_[i].reset();
            plannerUnitIds_[i] = 0;
            return;
        }
    }
}

void ComputerPlayer::ApplyImmobilized(int unitId, bool immobilized) {
    AIUnitPlanner* planner = FindUnitPlanner(unitId);
    if (planner == nullptr) return;
    planner->SetImmobilized(immobilized);
    if (!immobilized) return;
    // An immobilised unit leaves the first front goal that holds it, and whatever goal claimed it.
    for (const auto& goal : goals_) {
        auto* front = goal->GetKind() == kGoalFront ? dynamic_cast<AIFrontGoal*>(goal.get()) : nullptr;
        if (front != nullptr && front->HoldsUnit(unitId)) {
            front->DropUnit(unitId);
            break;
        }
    }
    if (Unit* unit = team_.FindUnitById(unitId)) unit->SetAIGoalId(0);
}

bool ComputerPlayer::IsUnitImmobilized(int unitId) const {
    const AIUnitPlanner* planner = FindUnitPlanner(unitId);
    return planner != nullptr && planner->IsImmobilized();
}

AIUnitPlanner* ComputerPlayer::FindUnitPlanner(int unitId) const {
    if (unitId == 0) return nullptr;
    std::lock_guard<std::mutex> lock(plannerLock_);
    for (std::size_t i = 0; i < plannerUnitIds_.size(); ++i) {
        if (plannerUnitIds_[i] == unitId) return planners_[i].get();
    }
    return nullptr;
}

AIUnitPlanner* ComputerPlayer::GetPlanner(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(planners_.size())) return nullptr;
    std::lock_guard<std::mutex> lock(plannerLock_);
    return planners_[static_cast<std::size_t>(slot)].get();
}

int ComputerPlayer::FindUnitTargetingTile(HexCoord hex, bool airborneOnly) const {
    if (PlanHidden()) return 0;
    int airborneMatch = 0;
    // Only the planners whose planned tile is the hex, in slot order (all of them for a hex off the map).
    std::uint64_t slots = IsValidHex(hex) ? plannedTiles_.At(hex) : (std::uint64_t{1} << planners_.size()) - 1;
    if (slots == 0) return 0;
    std::lock_guard<std::mutex> lock(plannerLock_);
    for (; slots != 0; slots &= slots - 1) {
        const auto& planner = planners_[static_cast<std::size_t>(std::countr_zero(slots))];
        HexCoord tile;
        if (!planner || !planner->GetTarget(tile) || !(tile == hex)) continue;
        const Unit* unit = team_.FindUnitById(planner->GetUnitId());
        const bool airborne = unit != nullptr && unit->IsAirborne();
        if (!airborne && !airborneOnly) return planner->GetUnitId();
        if (airborne) airborneMatch = planner->GetUnitId();
    }
    return airborneMatch;
}

bool ComputerPlayer::ListTargetedTiles(std::vector<HexCoord>& out) const {
    // While the worker plans, the other threads see no planned tile (FindUnitTargetingTile answers 0).
    if (PlanHidden()) return true;
    std::lock_guard<std::mutex> lock(plannerLock_);
    for (const auto& planner : planners_) {
        HexCoord tile;
        if (planner && planner->GetTarget(tile)) out.push_back(tile);
    }
    return true;
}

bool ComputerPlayer::GetUnitPlannedTile(int unitId, HexCoord& out) const {
    if (PlanHidden()) return false;
    const AIUnitPlanner* planner = FindUnitPlanner(unitId);
    return planner != nullptr && planner->GetTarget(out);
}

void ComputerPlayer::SetUnitPlannedTile(int unitId, HexCoord tile) {
    if (AIUnitPlanner* planner = FindUnitPlanner(unitId)) planner->SetPlannedTile(tile);
}

bool ComputerPlayer::IsUnitMakingWay(int unitId) const {
    const AIUnitPlanner* planner = FindUnitPlanner(unitId);
    return planner != nullptr && planner->IsMakingWay();
}

void ComputerPlayer::RequestMakeWay(int unitId) {
    if (AIUnitPlanner* planner = FindUnitPlanner(unitId)) planner->RequestMakeWay();
}

// --- Unit table --------------------------------------------------------------------------------------------

UnitTableEntry* ComputerPlayer::FindTableEntry(int unitId, bool create) {
    if (unitId == 0) return nullptr;
    for (auto& entry : unitTable_) {
        if (entry.unitId == unitId) return &entry;
        if (entry.unitId == 0) {
            // Entries fill from the front, so the first free one ends the used part.
            if (!create) return nullptr;
            entry = UnitTableEntry{unitId, 0.0f, 0};
            return &entry;
        }
    }
    return nullptr;
}

float ComputerPlayer::GetPlannedDamage(int unitId) const {
    if (PlanHidden() || !anyPlannedDamage_) return 0.0f;
    for (const auto& entry : unitTable_) {
        if (entry.unitId == 0) break;
        if (entry.unitId == unitId) return entry.plannedDamage;
    }
    return 0.0f;
}

void ComputerPlayer::AddPlannedDamage(int unitId, float amount) {
    if (UnitTableEntry* entry = FindTableEntry(unitId, true)) {
        entry->plannedDamage += amount;
        anyPlannedDamage_ = true;
    }
}

int ComputerPlayer::GetUnitClaim(int unitId) const {
    for (const auto& entry : unitTable_) {
        if (entry.unitId == 0) break;
        if (entry.unitId == unitId) return entry.claimGoalId;
    }
    return 0;
}

void ComputerPlayer::SetUnitClaim(int unitId, int goalId) {
    if (UnitTableEntry* entry = FindTableEntry(unitId, true)) entry->claimGoalId = goalId;
}

void ComputerPlayer::ClearUnitTable() {
    unitTable_.fill(UnitTableEntry{});
    anyPlannedDamage_ = false;
}

// --- Turn step and transport -------------------------------------------------------------------------------

void ComputerPlayer::RequestTransport(AIUnitPlanner& planner, HexCoord destination) {
    if (planner.GetTransportGoalId() != 0) return;
    const Unit* unit = team_.FindUnitById(planner.GetUnitId());
    if (unit != nullptr && unit->GetCarrier() != nullptr && !planner.HoldsTransportReservation()) {
        // A carried unit counts against the cap at once; its goal takes this count over.
        ReserveTransportGoal();
        planner.SetTransportReservation(true);
    }
    planner.SetWantsTransport(true, destination);
}

void ComputerPlayer::TurnStep(AIUnitPlanner& planner) {
    Unit* unit = team_.FindUnitById(planner.GetUnitId());
    if (unit == nullptr || unit->GetState() == kUnitDying || unit->GetState() == kUnitGone) return;
    planner.ClearPendingOrders();
    planner.ClearPlannedTile();
    if (planner.GetTransportGoalId() == 0 && planner.GetResupplyGoalId() == 0 && unit->NeedsResupply(0.6f, false)) {
        std::unique_ptr<AIGoal> goal = factory_->MakeResupplyGoal(*this, planner.GetUnitId());
        const int id = goal ? goal->GetId() : 0;
        if (AddGoal(std::move(goal))) planner.SetResupplyGoalId(id);
    }
    if (planner.WantsTransport() && IsShipType(unit->GetType())) {
        // A ship is never carried: its request ends here and leaves no count behind.
        planner.SetWantsTransport(false, planner.GetTransportDestination());
    } else if (planner.WantsTransport()) {
        const bool carried = unit->GetCarrier() != nullptr;
        // The carried unit's own reservation already counts against the cap.
        const int others = transportGoalCount_ - (planner.HoldsTransportReservation() ? 1 : 0);
        if (others < kMaxTransportGoals || carried) {
            std::unique_ptr<AIGoal> goal =
                factory_->MakeTransportGoal(*this, planner.GetUnitId(), planner.GetTransportDestination());
            const int id = goal ? goal->GetId() : 0;
            if (planner.HoldsTransportReservation()) {
                ReleaseTransportReservation();
                planner.SetTransportReservation(false);
            }
            if (AddGoal(std::move(goal))) planner.SetTransportGoalId(id);
            planner.SetWantsTransport(false, planner.GetTransportDestination());
        }
    }
    if (planner.HoldsTransportReservation() && !planner.WantsTransport()) {
        ReleaseTransportReservation();
        planner.SetTransportReservation(false);
    }
    if (planner.GetResupplyGoalId() != 0 && FindGoalById(planner.GetResupplyGoalId()) == nullptr) {
        planner.SetResupplyGoalId(0);
    }
    if (planner.GetTransportGoalId() != 0 && FindGoalById(planner.GetTransportGoalId()) == nullptr) {
        planner.SetTransportGoalId(0);
    }
    planner.SetPosition(unit->GetHexPos());
}

}  // namespace game
