#pragma once
// The program's computer player: the enemy side of a loaded level plans its turns on a worker thread through
// the level's and the team manager's ports.
#include <memory>

#include "game/teams/ai_player.h"

namespace game {

class Level;
class Team;
class TeamManager;

std::unique_ptr<AIPlayer> CreateComputerPlayer(Team& team, Level& level, TeamManager& teams);

}  // namespace game
