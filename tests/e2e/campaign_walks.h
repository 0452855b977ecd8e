#pragma once
// Steps the walks through the first campaign mission share: from the campaign map into the mission, the
// march onto its goal that wins it, and the win screen's way back to the map.
#include "e2e/program_driver.h"

namespace game {
class Campaign;
}  // namespace game

namespace e2e {

// The first mission's goal: any unit of the player on this tile wins it.
inline constexpr game::HexCoord kFirstMissionGoal{15, 6};

game::Campaign* TheCampaign(ProgramDriver& d);

// Play on the campaign map: the comic plays until the player skips it, the mission loads and its opening
// script blocks speak through the message banner before the player gets the first turn. With pictures, the
// comic and the mission leave one each.
void PlaySelectedMission(ProgramDriver& d, bool pictures);

// The player's turns: after the idle days, every unit toward the first mission's goal each day until the
// mission is won. The day it was won on; 0 when it was not won within the days.
int MarchToTheGoal(ProgramDriver& d, int idleDays);

// The win screen's Continue: the result is recorded and the campaign map shows again.
bool ContinueToTheMap(ProgramDriver& d);

}  // namespace e2e
