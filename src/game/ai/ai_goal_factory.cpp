#include "game/ai/ai_goal_factory.h"

#include "game/ai/computer_player.h"
#include "game/ai/resupply_goal.h"
#include "game/ai/transport_goal.h"
#include "game/teams/team.h"

namespace game {

void AIGoalFactory::MakeStructureGoals(ComputerPlayer& player) { player.MakeStructureGoals(); }

std::unique_ptr<AIGoal> AIGoalFactory::MakeResupplyGoal(ComputerPlayer& player, int unitId) {
    const Unit* unit = player.GetTeam().FindUnitById(unitId);
    if (unit == nullptr) return nullptr;
    return std::make_unique<AIResupplyGoal>(player, *unit);
}

std::unique_ptr<AIGoal> AIGoalFactory::MakeTransportGoal(ComputerPlayer& player, int unitId, HexCoord destination) {
    const Unit* unit = player.GetTeam().FindUnitById(unitId);
    if (unit == nullptr) return nullptr;
    return std::make_unique<AITransportGoal>(player, *unit, destination);
}

void AIGoalFactory::RunPlanningPass(ComputerPlayer& player, CancelToken& /*token*/) { player.RunPlanningPass(); }

}  // namespace game
