#pragma once
// The battle half of a saved game: what the level writes into a game slot and reads back from it.
#include "game/level/game_slot.h"

namespace game {

class Level;
class TeamManager;

// Fills the slot's turn order, teams, units, structures, focus hex and marked tiles from the running battle
// (the other fields are the profile's). Units that are not placed, gone or at health 0 or less are left out.
void SaveBattle(GameSlot& slot, const Level& level, const TeamManager& teams, int nextUnitId);

}  // namespace game
