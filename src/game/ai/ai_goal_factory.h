#pragma once
// The parts of a computer turn that come from the planning pass and the structure, transport and resupply
// goals: the turn start's structure goals, the goals a unit planner's turn step asks for, and the planning
// pass itself. The default plans nothing, so that a computer side ends its turn at once.
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
    virtual void MakeStructureGoals(ComputerPlayer& /*player*/) {}
    // A resupply goal for the unit, or null.
    virtual std::unique_ptr<AIGoal> MakeResupplyGoal(ComputerPlayer& /*player*/, int /*unitId*/) { return nullptr; }
    // A transport goal carrying the unit to the destination, or null (for instance a ship on a ferry).
    virtual std::unique_ptr<AIGoal> MakeTransportGoal(ComputerPlayer& /*player*/, int /*unitId*/,
                                                      HexCoord /*destination*/) {
        return nullptr;
    }
    // The planning pass, on the planning thread; it polls the token between its steps.
    virtual void RunPlanningPass(ComputerPlayer& /*player*/, CancelToken& /*token*/) {}
};

}  // namespace game
