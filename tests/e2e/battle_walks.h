#pragma once
// Steps the battle walks share: into a skirmish from the main menu, the end of the human side's turn, and a
// snapshot of the battle's sides, units and structures.
#include <string>
#include <tuple>
#include <vector>

#include "e2e/program_driver.h"

namespace game {
class Unit;
}  // namespace game

namespace e2e {

inline constexpr int kSeconds = ProgramDriver::kFramesPerSecond;

// "<build folder>/e2e_pictures/<name>.png".
std::string Png(const std::string& name);

// Main menu, game type, skirmish setup with the profile's map, play: true once the human side may give orders.
bool StartSkirmish(ProgramDriver& d);
// The same in two steps: to the skirmish setup (true once it shows), and its play button.
bool OpenSkirmishSetup(ProgramDriver& d);
bool PlaySkirmish(ProgramDriver& d);
// Main menu, game type, campaign: true once the campaign map shows.
bool OpenCampaignMap(ProgramDriver& d);

// The turn button and its confirmation, then the computer's turn to its end: true once the human side may
// give orders again.
bool EndTurnAndWaitForComputer(ProgramDriver& d);

// The choice of the open move-choice dialog with the value (kChoice...): clicked; false when not offered.
bool Choose(ProgramDriver& d, int value);
// A tap on the unit: true once it is the selected one. With another unit selected the game asks whether the
// tapped one is meant; it is.
bool Select(ProgramDriver& d, game::Unit& unit);
// A tap on the selected unit lets it go.
void LetGo(ProgramDriver& d, game::Unit& unit);
// Lets an order play out: true once the human side may give orders again.
bool Settle(ProgramDriver& d);
// The arrow keys pan the battle camera until the hex shows well inside the screen, clear of the windows:
// true then.
bool BringOnScreen(ProgramDriver& d, game::HexCoord hex);
// The unit is selected and tapped into the hex of its movement range nearest the goal (beside it, for a
// goal the unit acts on from next door); true when it moved.
bool MoveToward(ProgramDriver& d, game::Unit& unit, game::HexCoord goal, bool beside = false);

// The state of a battle as a player sees it: day, side to move, each side's cash, units and structures.
struct BattleSnapshot {
    int day = -1;
    int side = -1;
    // (kind, cash) of each side.
    std::vector<std::tuple<int, int>> cash;
    // (side, type, column, row, health in hundredths) of each unit on the map.
    std::vector<std::tuple<int, int, int, int, int>> units;
    // (type, owner, column, row) of each structure.
    std::vector<std::tuple<int, int, int, int>> structures;

    bool operator==(const BattleSnapshot&) const = default;
};

BattleSnapshot TakeSnapshot(ProgramDriver& d);

}  // namespace e2e
