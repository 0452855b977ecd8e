// A campaign mission played without orders: every side ends its turn as soon as no script block runs, day
// after day, while the mission's own script runs as in the game. The day blocks must finish, no command may
// fail and nothing may be left running; a turn that never ends means a block waits for ever.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "datacheck/data_check.h"
#include "datacheck/headless_game.h"
#include "game/level/level.h"
#include "game/level/script_block.h"
#include "game/level/script_manager.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace datacheck {

namespace {

constexpr float kFrameSeconds = 0.02f;
// Game time one side's turn may take while blocks run (pauses, scrolls, walking units) before it has hung.
constexpr int kTurnLimitFrames = 300 * 50;

// The day of a "DAYn_START" block; 0 for any other name.
int DayOfBlock(const std::string& name) {
    int day = 0;
    char tail = 0;
    return std::sscanf(name.c_str(), "DAY%d_STAR%c", &day, &tail) == 2 && tail == 'T' ? day : 0;
}

}  // namespace

void DataCheck::PassMissionDays(HeadlessGame& headless, const std::string& scriptName, int days,
                                const std::map<std::string, std::vector<int>>& commandLines) {
    game::Game& g = headless.Game();
    game::TeamManager& teams = *g.GetTeamManager();
    game::ScriptManager& scripts = g.GetLevel()->GetScriptManager();
    int lastTurn = -1;
    int turnFrames = 0;
    bool ended = false;
    while (teams.GetDay() <= days) {
        headless.RunFrames(1, kFrameSeconds);
        const int state = g.GetState();
        if (state == game::kGameWon || state == game::kGameLost) {
            ended = true;
            break;
        }
        const int turn = teams.GetDay() * game::kTeamKindCount + teams.GetCurrentSlot();
        turnFrames = turn == lastTurn ? turnFrames + 1 : 0;
        lastTurn = turn;
        if (turnFrames > kTurnLimitFrames) {
            const game::Team* team = teams.GetCurrentTeam();
            Fault(scriptName, "", "day " + std::to_string(teams.GetDay()) + ": the turn of side " +
                                      std::to_string(team != nullptr ? team->GetKind() : -1) +
                                      " does not end without orders (state " + std::to_string(state) + ")");
            break;
        }
        if (state == game::kGameSideTurn && !g.IsAnyBlockRunning()) g.SetState(game::kGameBetweenTurns);
    }
    // The day blocks of the days that were played out; the day the battle ended may stop its block.
    const int lastFullDay = ended ? teams.GetDay() - 1 : days;
    for (int b = 0; b < scripts.GetBlockCount(); ++b) {
        const game::ScriptBlock& block = *scripts.GetBlock(b);
        const std::string name = Upper(block.GetName().GetNarrow());
        const auto lines = commandLines.find(name);
        const auto lineOf = [&](int command) {
            const bool known = lines != commandLines.end() && command < static_cast<int>(lines->second.size());
            return known ? "line " + std::to_string(lines->second[static_cast<std::size_t>(command)]) : std::string();
        };
        for (int command : block.GetFailedCommands()) {
            Fault(scriptName, lineOf(command), "block [" + name + "]: the command failed while the mission was played");
        }
        const int day = DayOfBlock(name);
        if (day > lastFullDay) continue;
        if (block.IsRunning()) {
            Fault(scriptName, lineOf(block.GetCurrentCommand()),
                  "block [" + name + "] is still running after day " + std::to_string(lastFullDay) + ", at this command");
        } else if (day != 0 && !block.IsDone()) {
            Fault(scriptName, "", "block [" + name + "] did not run to its end on its day");
        }
    }
}

}  // namespace datacheck
