// A scripted mission played through the driver: the day-1 block spawns, names and moves units, a trigger
// block briefs, shows a help icon, pauses and ends the mission; the same seed gives the same log. Resumed
// from a turn start's snapshot, the script's state is gone as the README says, while hot spots and the day
// are kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "battle_driver.h"
#include "game/units/move_orders.h"

namespace level_test {
namespace {

int Named(BattleDriver& d, const char* name) {
    return d.GetLevel().GetScriptManager().GetUnitVariable(engine::WideString(name));
}

// Frames until no unit is busy and no block runs, within a limit.
void Settle(BattleDriver& d) {
    for (int frames = 0; frames < 5000; ++frames) {
        if (d.State() != kStateSideTurn) return;
        if (!d.Teams().IsBusy() && !d.ScriptRunning()) return;
        d.Frame(BattleDriver::kTick);
    }
    ADD_FAILURE() << "the battle never settled";
}

struct Played {
    int state = 0;
    int endCondition = 0;
    std::vector<std::string> log;
};

// Blue's first turn sends the runner onto the trigger hex.
Played PlayScripted(BattleDriver& d) {
    Played out;
    d.afterTick = [&] {
        for (int slot = 0; slot < kTeamKindCount; ++slot) {
            Team* team = d.Teams().GetTeam(slot);
            for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
                const Unit* u = team->GetUnit(i);
                if (u != nullptr) {
                    out.log.push_back(std::to_string(u->GetId()) + "@" + FormatHexLabel(u->GetHexPos()) + ":" +
                                      std::to_string(u->GetState()));
                }
            }
        }
    };
    out.state = d.PlayUntilResult(
        [&](BattleDriver& driver) {
            Team* team = driver.Current();
            if (team == nullptr || team->GetKind() != kTeamBlue) return;
            if (Unit* runner = driver.Teams().FindUnitById(Named(driver, "runner"))) {
                runner->QueueOrder(std::make_unique<MoveOrder>(H(5, 4)));
            }
            Settle(driver);
        },
        5);
    out.endCondition = d.EndCondition();
    d.afterTick = nullptr;
    return out;
}

TEST(ScriptedMissionTest, TheScriptTellsItsStoryToTheEndAndTheSameSeedGivesTheSameLog) {
    BattleDriver d("scripted", SetupOf(kGameModeCampaign, 0u, 11));
    ASSERT_TRUE(d.Loaded()) << (d.Diagnostics().lines.empty() ? "" : d.Diagnostics().lines.front().second);
    d.RunUntilIdle();
    ASSERT_EQ(d.State(), kStateSideTurn);
    EXPECT_EQ(d.Teams().GetDay(), 1);

    // Day 1: the APC and its runner, the guard, the boss named; the runner took a free hex beside the grunt.
    const int apc = Named(d, "apc");
    const int runner = Named(d, "runner");
    const int guard = Named(d, "guard");
    const int boss = Named(d, "boss");
    ASSERT_NE(apc, 0);
    ASSERT_NE(runner, 0);
    ASSERT_NE(guard, 0);
    ASSERT_NE(boss, 0);
    Unit* runnerUnit = d.Teams().FindUnitById(runner);
    EXPECT_EQ(runnerUnit->GetCarrierId(), 0);
    EXPECT_FALSE(runnerUnit->GetHexPos() == H(3, 3));
    EXPECT_FALSE(runnerUnit->GetHexPos() == H(3, 2));
    EXPECT_TRUE(runnerUnit->IsScripted());
    EXPECT_EQ(d.GetLevel().GetHexMap().GetTile(H(7, 7)).hotspot, 1);
    EXPECT_EQ(d.LevelLog().lookAts.front(), H(3, 2));

    const Played first = PlayScripted(d);
    EXPECT_EQ(first.state, kStateWon);
    EXPECT_EQ(first.endCondition, WLC_NO_ENEMY_UNITS);
    ASSERT_EQ(d.LevelLog().banners.size(), 1u);
    EXPECT_EQ(d.LevelLog().banners[0].second, 2.0f);
    ASSERT_EQ(d.LevelLog().helpIcons.size(), 1u);
    EXPECT_EQ(d.LevelLog().helpIcons[0].hex, H(5, 4));
    EXPECT_EQ(d.LevelLog().helpIcons[0].key, "Key_Help");
    EXPECT_FALSE(d.Teams().FindUnitById(runner)->IsScripted());
    EXPECT_EQ(d.Teams().FindUnitById(runner)->GetHexPos(), H(5, 4));
    EXPECT_TRUE(d.Diagnostics().lines.empty());

    BattleDriver again("scripted", SetupOf(kGameModeCampaign, 0u, 11));
    again.RunUntilIdle();
    const Played second = PlayScripted(again);
    EXPECT_EQ(second.state, first.state);
    EXPECT_EQ(second.log, first.log);
}

TEST(ScriptedMissionTest, AResumedMissionLosesTheScriptStateButKeepsHotSpotsAndTheDay) {
    BattleDriver d("scripted", SetupOf(kGameModeCampaign, 0u, 11));
    ASSERT_TRUE(d.Loaded());
    d.RunUntilIdle();
    ASSERT_EQ(d.State(), kStateSideTurn);
    ASSERT_NE(d.GetLevel().GetHexMap().GetTile(H(5, 4)).trigger, nullptr);
    const HexCoord runnerHex = d.Teams().FindUnitById(Named(d, "runner"))->GetHexPos();

    const GameSlot slot = d.Snapshot();
    ASSERT_TRUE(d.Resume(slot));
    EXPECT_EQ(d.Teams().GetDay(), 1);
    EXPECT_EQ(d.GetLevel().GetHexMap().GetTile(H(7, 7)).hotspot, 1);
    EXPECT_EQ(d.GetLevel().GetHexMap().GetTile(H(5, 4)).trigger, nullptr);
    EXPECT_EQ(Named(d, "runner"), 0);
    EXPECT_EQ(Named(d, "apc"), 0);
    EXPECT_EQ(d.GetLevel().GetScriptManager().GetBlockCount(), 2);  // the file is read again
    Unit* runner = d.Teams().FindUnitAt(runnerHex);
    ASSERT_NE(runner, nullptr);
    EXPECT_FALSE(runner->IsScripted());

    // The runner reaches the hex: nothing happens.
    runner->StartTurn();
    runner->SetScripted(true);
    runner->QueueOrder(std::make_unique<MoveOrder>(H(5, 4)));
    Settle(d);
    EXPECT_EQ(runner->GetHexPos(), H(5, 4));
    EXPECT_TRUE(d.LevelLog().banners.empty());
    EXPECT_EQ(d.State(), kStateSideTurn);
}

}  // namespace
}  // namespace level_test
