// Skirmishes on every listed map of the shipped data set, played by the game object with the program's
// computer player against a blue side that passes every turn. Each battle runs frame by frame at 50 frames a
// game second; no turn may hang and no unit may stay busy for more than 30 game seconds. Within 15 days the
// computer buys units and captures buildings, and on the maps whose bases are joined by land it wins within
// 40 days. The computer plans inline: on its worker thread, frames a few microseconds long would run on
// while it plans, so game time would follow the machine's speed and no two runs would match. With the plan
// inline, the same seed gives the same board.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "datacheck/data_check.h"
#include "datacheck/headless_game.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/script_reader.h"
#include "engine/platform/zip_archive.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_source.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace {

constexpr float kFrameSeconds = 0.02f;
constexpr int kFramesPerSecond = 50;
constexpr int kBusyLimitFrames = 30 * kFramesPerSecond;
// A side's turn that lasts this long in game time has hung.
constexpr int kTurnLimitFrames = 600 * kFramesPerSecond;
constexpr int kActiveDays = 15;
constexpr int kWinDays = 40;

// The shipped archive mounted as the game mounts it, with no loose files beside it.
class ShippedData {
public:
    ShippedData() {
        auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
        opened_ = archive != nullptr && archives_.Mount(std::move(archive), "MainWad");
        engine::SetActiveArchiveSet(&archives_);
        engine::SetBaseFolderNarrow("/nonexistent/autoplay-test");
    }
    ~ShippedData() { engine::SetActiveArchiveSet(nullptr); }
    bool Opened() const { return opened_; }

private:
    engine::ArchiveSet archives_;
    bool opened_ = false;
};

// The map folders of the skirmish list, as the map picker reads them.
std::vector<std::string> ListedMaps() {
    ShippedData data;
    engine::ScriptReader reader;
    std::vector<std::string> maps;
    if (!data.Opened() || reader.Load("Campaigns/Skirmish/standardpassandplaymaps") != 1) return maps;
    for (engine::WideString line = reader.ReadLine(); line.Length() != 0; line = reader.ReadLine()) {
        maps.push_back(line.GetNarrow());
    }
    return maps;
}

// Every unit (side, type, hex, health) and every structure's owner, one line each.
std::string Board(game::Game& g) {
    std::string board;
    char line[96];
    game::TeamManager& teams = *g.GetTeamManager();
    for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
        const game::Team* team = teams.GetTeam(slot);
        if (team == nullptr) continue;
        std::snprintf(line, sizeof line, "side %d cash %d\n", team->GetKind(), team->GetCash());
        board += line;
        for (int u = 0; u < game::kMaxTeamUnits; ++u) {
            const game::Unit* unit = team->GetUnit(u);
            if (unit == nullptr) continue;
            std::snprintf(line, sizeof line, "  unit %d type %d at %s health %.3f\n", unit->GetId(), unit->GetType(),
                          game::FormatHexLabel(unit->GetHexPos()).c_str(), static_cast<double>(unit->GetHealth()));
            board += line;
        }
    }
    const game::StructureManager& structures = g.GetLevel()->GetStructureManager();
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        if (const game::Structure* s = structures.GetStructure(slot)) {
            std::snprintf(line, sizeof line, "structure %d at %s owner %d\n", s->GetType(),
                          game::FormatHexLabel(s->GetHex()).c_str(), s->GetTeam());
            board += line;
        }
    }
    return board;
}

// True when an engineer can walk from a build pad of the enemy's barracks to a hex beside blue's HQ.
bool JoinedByLand(game::Game& g) {
    const game::StructureManager& structures = g.GetLevel()->GetStructureManager();
    const game::HexMap& map = g.GetHexMap();
    std::vector<game::HexCoord> starts;
    std::set<std::uint32_t> goal;
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        const game::Structure* s = structures.GetStructure(slot);
        if (s == nullptr) continue;
        const game::Structure* linked = s->GetLinkedStructure();
        if (s->GetType() == game::kStructureBuildPad && linked != nullptr &&
            linked->GetType() == game::kStructureBarracks && linked->GetTeam() == game::kTeamEnemy) {
            starts.push_back(s->GetHex());
        }
        if (s->GetType() == game::kStructureHQ && s->GetTeam() == game::kTeamBlue) {
            for (game::HexCoord hex : game::StructureFootprint(s->GetHex(), s->GetType(), s->IsMirrored())) {
                for (int d = 0; d < game::kDirectionCount; ++d) {
                    game::HexCoord next;
                    if (game::HexNeighbour(hex, d, next)) goal.insert(next.Packed());
                }
            }
        }
    }
    std::set<std::uint32_t> seen;
    std::deque<game::HexCoord> open(starts.begin(), starts.end());
    for (game::HexCoord hex : starts) seen.insert(hex.Packed());
    while (!open.empty()) {
        const game::HexCoord hex = open.front();
        open.pop_front();
        if (goal.count(hex.Packed()) != 0) return true;
        for (int d = 0; d < game::kDirectionCount; ++d) {
            game::HexCoord next;
            if (!game::HexNeighbour(hex, d, next) || map.GetStepCost(hex, next, game::UT_ENGINEER) <= 0.0f) continue;
            if (seen.insert(next.Packed()).second) open.push_back(next);
        }
    }
    return false;
}

struct Outcome {
    int day = 0;
    int state = 0;
    bool joinedByLand = false;
    int boughtByDay15 = 0;
    int capturedByDay15 = 0;
    std::vector<std::string> faults;
    std::string board;
};

// Plays a skirmish on the map until it ends or day `lastDay` is over (the board is taken at the start of
// the day after it); with lastDay 0, day 40 on maps joined by land and day 15 on the others. Blue ends each
// of its turns as it begins.
Outcome PlaySkirmish(const std::string& map, int lastDay) {
    Outcome out;
    ShippedData data;
    if (!data.Opened()) {
        out.faults.push_back("the archive does not open");
        return out;
    }
    datacheck::HeadlessGame headless(true, false);
    if (!headless.UnitAssetsLoaded() || !headless.LoadMap(game::kGameLoadSkirmish, "Campaigns/Skirmish/" + map)) {
        out.faults.push_back("the skirmish does not load");
        return out;
    }
    game::Game& g = headless.Game();
    game::TeamManager& teams = *g.GetTeamManager();
    const game::StructureManager& structures = g.GetLevel()->GetStructureManager();
    out.joinedByLand = JoinedByLand(g);
    if (lastDay == 0) lastDay = out.joinedByLand ? kWinDays : kActiveDays;

    std::set<int> startUnits;
    if (const game::Team* enemy = teams.FindTeam(game::kTeamEnemy)) {
        for (int u = 0; u < game::kMaxTeamUnits; ++u) {
            if (const game::Unit* unit = enemy->GetUnit(u)) startUnits.insert(unit->GetId());
        }
    }
    std::vector<int> startOwners(game::kMaxStructures, -1);
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        if (const game::Structure* s = structures.GetStructure(slot)) startOwners[slot] = s->GetTeam();
    }
    std::set<int> bought;
    std::set<int> captured;
    std::map<int, int> busyFrames;  // unit id -> frames busy in a row
    int turnFrames = 0;
    int lastTurn = -1;
    const auto wallDeadline = std::chrono::steady_clock::now() + std::chrono::minutes(9);

    for (;;) {
        headless.RunFrames(1, kFrameSeconds);
        const int state = g.GetState();
        out.day = teams.GetDay();
        if (state == game::kGameWon || state == game::kGameLost) {
            out.state = state;
            break;
        }
        if (out.day > lastDay) break;
        const game::Team* current = teams.GetCurrentTeam();
        const int kind = current != nullptr ? current->GetKind() : -1;
        if (state == game::kGameSideTurn && kind == game::kTeamBlue) {
            g.SetState(game::kGameBetweenTurns);
            continue;
        }

        const int turn = out.day * 8 + teams.GetCurrentSlot();
        turnFrames = turn == lastTurn ? turnFrames + 1 : 0;
        lastTurn = turn;
        if (turnFrames > kTurnLimitFrames || std::chrono::steady_clock::now() > wallDeadline) {
            out.faults.push_back("day " + std::to_string(out.day) + ": the turn of side " + std::to_string(kind) +
                                 " does not end (state " + std::to_string(state) + ")");
            break;
        }
        for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
            game::Team* team = teams.GetTeam(slot);
            if (team == nullptr) continue;
            for (int u = 0; u < game::kMaxTeamUnits; ++u) {
                game::Unit* unit = team->GetUnit(u);
                if (unit == nullptr) continue;
                if (!unit->IsBusy()) {
                    busyFrames.erase(unit->GetId());
                } else if (++busyFrames[unit->GetId()] == kBusyLimitFrames) {
                    out.faults.push_back("day " + std::to_string(out.day) + ": unit " + std::to_string(unit->GetId()) +
                                         " of type " + std::to_string(unit->GetType()) + " at " +
                                         game::FormatHexLabel(unit->GetHexPos()) + " busy for 30 s");
                }
                if (team->GetKind() == game::kTeamEnemy && startUnits.count(unit->GetId()) == 0) {
                    bought.insert(unit->GetId());
                }
            }
        }
        for (int slot = 0; slot < game::kMaxStructures; ++slot) {
            const game::Structure* s = structures.GetStructure(slot);
            if (s != nullptr && s->GetTeam() == game::kTeamEnemy && startOwners[slot] != game::kTeamEnemy) captured.insert(slot);
        }
        if (out.day <= kActiveDays) {
            out.boughtByDay15 = static_cast<int>(bought.size());
            out.capturedByDay15 = static_cast<int>(captured.size());
        }
    }
    out.board = Board(g);
    return out;
}

std::string Describe(const Outcome& outcome) {
    std::string text = "day " + std::to_string(outcome.day) + ", state " + std::to_string(outcome.state) + ", bought " +
                       std::to_string(outcome.boughtByDay15) + ", captured " + std::to_string(outcome.capturedByDay15);
    for (const std::string& fault : outcome.faults) text += "\n" + fault;
    return text;
}

class AutoplayTest : public ::testing::TestWithParam<std::string> {};

TEST_P(AutoplayTest, SlowTheComputerBuysCapturesAndWinsByLand) {
    const Outcome outcome = PlaySkirmish(GetParam(), 0);
    EXPECT_TRUE(outcome.faults.empty()) << Describe(outcome);
    EXPECT_GT(outcome.boughtByDay15, 0) << Describe(outcome);
    EXPECT_GT(outcome.capturedByDay15, 0) << Describe(outcome);
    if (outcome.joinedByLand) {
        // Blue is the player's side: the computer's win is blue's loss.
        EXPECT_EQ(outcome.state, game::kGameLost) << Describe(outcome);
    }
    EXPECT_NE(outcome.state, game::kGameWon) << "a blue side that never acts won: " << Describe(outcome);
}

INSTANTIATE_TEST_SUITE_P(ShippedMaps, AutoplayTest, ::testing::ValuesIn(ListedMaps()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(AutoplaySeedTest, SlowTheSameSeedGivesTheSameBoard) {
    const std::vector<std::string> maps = ListedMaps();
    ASSERT_FALSE(maps.empty());
    const Outcome first = PlaySkirmish(maps.back(), 8);
    const Outcome second = PlaySkirmish(maps.back(), 8);
    ASSERT_TRUE(first.faults.empty()) << Describe(first);
    EXPECT_EQ(first.day, second.day);
    EXPECT_EQ(first.board, second.board);
}

}  // namespace
