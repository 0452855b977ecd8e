#include "game/ai/unit_goals.h"

#include "game/ai/computer_player.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/structure.h"
#include "game/battle/structure_types.h"

namespace game {
namespace {

BattleContext* BattleOf(ComputerPlayer& player) { return player.Battle(); }

Unit* FindUnit(ComputerPlayer& player, int unitId) {
    BattleContext* battle = BattleOf(player);
    return battle != nullptr && unitId != 0 ? battle->FindUnitById(unitId) : nullptr;
}

}  // namespace

bool IsUnitBusyForGoal(const Unit& unit, ComputerPlayer& player) {
    return (unit.GetState() != kUnitIdle && unit.GetState() != kUnitGone) || player.Ports().IsProjectileInFlight();
}

bool StandsOnOwnBuildPad(const BattleContext& battle, const Unit& unit, int teamKind) {
    const Structure* pad = battle.FindStructureAt(unit.GetHexPos());
    return pad != nullptr && pad->GetType() == kStructureBuildPad && pad->GetTeam() == teamKind;
}

// --- Unit goal ------------------------------------------------------------------------------------------------

void AIUnitGoal::Plan() {
    if (AIUnitPlanner* planner = player_.FindUnitPlanner(unitId_)) player_.PlanFreeMove(*planner);
}

int AIUnitGoal::Execute(bool firstStep) {
    Unit* unit = FindUnit(player_, unitId_);
    if (score_ == -1.0f || unit == nullptr || unit->GetState() == kUnitGone) return kExecuteFinished;
    if (firstStep) {
        AIUnitPlanner* planner = player_.FindUnitPlanner(unitId_);
        if (planner != nullptr && player_.CommitOrders(*planner)) {
            unit->StartWaitTimer();
            return kExecutePauseAgain;
        }
    }
    return IsUnitBusyForGoal(*unit, player_) ? kExecuteAgain : kExecuteFinished;
}

// --- Target goal ----------------------------------------------------------------------------------------------

AITargetGoal::AITargetGoal(ComputerPlayer& player, int unitId, HexCoord hex) : player_(player) {
    if (const Unit* unit = FindUnit(player, unitId)) {
        unitId_ = unitId;
        hex_ = hex;
        teamKind_ = unit->GetTeamKind();
    }
}

void AITargetGoal::Plan() {
    Unit* unit = FindUnit(player_, unitId_);
    AIUnitPlanner* planner = player_.FindUnitPlanner(unitId_);
    BattleContext* battle = BattleOf(player_);
    if (unit == nullptr || planner == nullptr || battle == nullptr) {
        unitId_ = 0;
        score_ = 0.0f;
        return;
    }
    if (unit->GetState() != kUnitNotPlaced) {
        // A placed unit moves only to clear an own build pad.
        if (!StandsOnOwnBuildPad(*battle, *unit, teamKind_)) return;
        planner->RequestMakeWay();
        player_.PlanFreeMove(*planner);
        return;
    }
    const Unit* other = battle->FindUnitAt(hex_);
    if (other != nullptr && other != unit) {
        // Its pad is taken: the bought unit goes before it was ever placed (the team deletes it).
        player_.RemoveBoughtUnit(*unit);
        unitId_ = 0;
        score_ = 0.0f;
        return;
    }
    planner->RequestMakeWay();
    if (!player_.PlanFreeMove(*planner)) player_.SetUnitPlannedTile(unitId_, hex_);
}

int AITargetGoal::Execute(bool firstStep) {
    if (score_ <= 0.0f || unitId_ == 0) return kExecuteFinished;
    Unit* unit = FindUnit(player_, unitId_);
    if (unit == nullptr || unit->GetState() == kUnitGone) return kExecuteFinished;
    if (firstStep) {
        AIUnitPlanner* planner = player_.FindUnitPlanner(unitId_);
        if (unit->GetState() == kUnitNotPlaced) {
            player_.Ports().LookAtHex(hex_);
            unit->Deploy();
            return planner != nullptr && planner->GetPendingCount() > 0 ? kExecutePauseRestart : kExecutePauseAgain;
        }
        if (IsAircraftType(unit->GetType()) && !unit->IsAirborne()) unit->SetAirborne(true);
        if (planner != nullptr) player_.CommitOrders(*planner);
        return kExecuteAgain;
    }
    return IsUnitBusyForGoal(*unit, player_) ? kExecuteAgain : kExecuteFinished;
}

}  // namespace game
