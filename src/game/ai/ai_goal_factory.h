#pragma once
// Where a computer turn gets its structure goals, the goals a unit planner's turn step asks for, and its
// planning pass. The standard factory makes the real goals and runs the real pass; tests put recording fakes
// in its place to drive the turn on its own.
#include <memory>

#include "game/ai/ai_goal.h"
#include "game/ai/worker_job.h"
#include "game/battle/hex_coord.h"

namespace game {

class ComputerPlayer;

class AIGoalFactory {
public:
    virtual ~AIGoalFactory() = default;
    // The turn start's structure goals (the goal list is rebuilt).
    virtual void MakeStructureGoals(ComputerPlayer& player);
    // A resupply goal for the unit, or null.
    virtual std::unique_ptr<AIGoal> MakeResupplyGoal(ComputerPlayer& player, int unitId);
    // A transport goal carrying the unit to the destination, or null.
    virtual std::unique_ptr<AIGoal> MakeTransportGoal(ComputerPlayer& player, int unitId, HexCoord destination);
    // The planning pass, on the planning thread; it polls the token between its steps.
    virtual void RunPlanningPass(ComputerPlayer& player, CancelToken& token);
};

}  // namespace game
