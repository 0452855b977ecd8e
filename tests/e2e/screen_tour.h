#pragma once
// Every screen the player can reach, opened once through the real program from its start: the main menu
// and its screens, the setups with the map picker and match options, the campaign map with the campaign
// picker and the difficulty, the comic, and in the mission the pause menu with its objective, settings,
// save and quit screens, the surrender; then a skirmish's shop, and the surrender back to the main menu.
// With pictures, each screen leaves one in the build folder. A step that fails is a test failure and ends
// the tour.
#include "e2e/program_driver.h"

namespace e2e {

void TourEveryScreen(ProgramDriver& d, bool pictures);

}  // namespace e2e
