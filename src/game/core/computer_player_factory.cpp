#include "game/core/computer_player_factory.h"

#include "game/ai/computer_player.h"
#include "game/ai/level_computer_ports.h"

namespace game {

std::unique_ptr<AIPlayer> CreateComputerPlayer(Team& team, Level& level, TeamManager& teams) {
    return std::make_unique<ComputerPlayer>(team, std::make_unique<LevelComputerPorts>(level, teams));
}

}  // namespace game
