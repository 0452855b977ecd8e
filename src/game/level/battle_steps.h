#pragma once
// The battle's part of the game's fixed tick and of the between-turns state: the updates, the start-of-turn
// step and the win and lose checks by game mode. They report what happened; the game changes its state.
#include <functional>

namespace game {

class Level;
class TeamManager;
class TurnStartQueue;

// Game states the battle steps read.
inline constexpr int kStateWon = 1;
inline constexpr int kStateLost = 2;
inline constexpr int kStateBetweenTurns = 6;
inline constexpr int kStateSideTurn = 7;
inline constexpr int kStateTurnStart = 14;

struct BattleStepResult {
    enum Outcome {
        kNothing,      // go on
        kQueueDone,    // the start-of-turn queue has finished: the side's turn begins
        kWon,          // mission won with endCondition
        kLost,         // mission lost with endCondition
        kSkirmish,     // skirmish: the game's own win and loss checks decide
    };
    Outcome outcome = kNothing;
    int endCondition = 0;
};

// One 0.02 s tick from the level update on: level and team updates, the caller's steps (projectiles,
// markers), the queue step in state 14, then, unless there is no level, the teams are busy, the mission is
// already decided or a script block runs, the win and lose checks of the game mode.
BattleStepResult RunBattleTick(Level* level, TeamManager* teams, TurnStartQueue& queue, int gameState,
                               const std::function<void()>& callerSteps = nullptr);

// On entering the between-turns state: when the team manager reports a new day, the script's day start.
void FireScriptDayStart(Level* level, TeamManager& teams);

// Between turns, campaign only: lost with 14 when no player side can act outside survivor mode; in survivor
// mode won once the survivor turns are over.
BattleStepResult CheckBetweenTurns(const Level* level, const TeamManager& teams, int gameMode);

}  // namespace game
