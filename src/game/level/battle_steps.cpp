#include "game/level/battle_steps.h"

#include "game/battle/battle_context.h"
#include "game/level/level.h"
#include "game/level/turn_start_queue.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"

namespace game {
namespace {

BattleStepResult Won(int condition) { return {BattleStepResult::kWon, condition}; }
BattleStepResult Lost(int condition) { return {BattleStepResult::kLost, condition}; }

}  // namespace

BattleStepResult RunBattleTick(Level* level, TeamManager* teams, TurnStartQueue& queue, int gameState,
                               const std::function<void()>& callerSteps) {
    if (level != nullptr) level->Update();
    if (teams != nullptr) teams->Update();
    // Trigger blocks start only now, with no unit in the middle of its step.
    if (level != nullptr) level->GetScriptManager().StartTriggeredBlocks();
    if (callerSteps) callerSteps();
    if (gameState == kStateTurnStart && queue.Step()) return {BattleStepResult::kQueueDone, 0};
    if (level == nullptr || teams == nullptr || teams->IsBusy() || gameState == kStateWon ||
        gameState == kStateLost || teams->Services().IsAnyBlockRunning()) {
        return {};
    }
    switch (level->Battle().GetGameMode()) {
        case kGameModePassAndPlay: {
            const int condition = level->CheckOpponentHQ(*teams);
            return condition != 0 ? Won(condition) : BattleStepResult{};
        }
        case kGameModeSkirmish:
            return {BattleStepResult::kSkirmish, 0};
        case kGameModeCampaign:
            break;
        default:
            return {};
    }
    if (level->GetMissionMode() == 0) {
        if (const int condition = level->CheckWinLose(true, *teams)) return Won(condition);
        if (const int condition = level->CheckWinLose(false, *teams)) return Lost(condition);
        return {};
    }
    if (level->GetMissionMode() == 1) {
        if (const int condition = level->CheckWinLose(false, *teams)) return Lost(condition);
        if (teams->CountPlayerLiveUnits() > 0) return {};
        return Lost(WLC_SURVIVOR_FAIL);
    }
    return {};
}

void FireScriptDayStart(Level* level, TeamManager& teams) {
    int day = 0;
    if (teams.IsNewDay(day) && level != nullptr) level->GetScriptManager().FireDayStart(day);
}

BattleStepResult CheckBetweenTurns(const Level* level, const TeamManager& teams, int gameMode) {
    if (gameMode != kGameModeCampaign) return {};
    const bool survivor = level != nullptr && level->GetMissionMode() == 1;
    if (!survivor && !teams.AnyPlayerCanTakeTurn()) return Lost(WLC_UNABLE_TO_TAKE_A_TURN);
    if (survivor && level->GetSurvivorTurns() - teams.GetDay() + 1 < 1) return Won(0);
    return {};
}

}  // namespace game
