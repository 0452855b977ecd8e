#pragma once
// Whether two sides fight each other.
namespace game {

class Team;

// False for a missing team and for a team with itself. In pass-and-play and skirmish any two different
// teams are enemies; in a campaign only a player side and a side that is not player-controlled.
bool AreEnemies(int gameMode, const Team* a, const Team* b);

}  // namespace game
