// Saving through the real program: a skirmish saved to a slot from the pause menu, the program quit and
// started again on the same user folder (it comes back into the battle), the battle left for the main menu
// and the slot loaded from there; the battle is as saved and goes on.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/battle_walks.h"
#include "game/core/game.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/hud_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/save_load_zone.h"

namespace e2e {
namespace {

using game::SaveLoadZone;
using game::ZoneId;

constexpr int kSlot = 1;

TEST(SaveWalk, ASlotSavedMidBattleLoadsAfterARestartAsSaved) {
    ProgramDriver driver;
    BattleSnapshot saved;
    int code = driver.Run([&](ProgramDriver& d) {
        ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
        // A day played, so that the computer's side has moved and spent before the save.
        ASSERT_TRUE(EndTurnAndWaitForComputer(d)) << "state " << d.State() << " side " << d.CurrentSide();
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kTopBar); }, 5 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kTopBar, game::kHudPause));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kPause); }, 2 * kSeconds));
        d.DumpPng(Png("pause"));
        ASSERT_TRUE(d.Click(ZoneId::kPause, game::kPauseSave));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSaveLoad); }, 2 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kSaveLoad, SaveLoadZone::kFirstSlotId + kSlot));
        d.DumpPng(Png("save"));
        saved = TakeSnapshot(d);
        ASSERT_TRUE(d.Click(ZoneId::kSaveLoad, SaveLoadZone::kOverwriteId));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kPause); }, 2 * kSeconds)) << "the save did not close";
    });
    ASSERT_EQ(code, 0);
    ASSERT_GT(saved.units.size(), 0u);
    ASSERT_GT(saved.structures.size(), 0u);

    code = driver.Run([&](ProgramDriver& d) {
        // The program comes back into the battle it was quit in; the player leaves it for the main menu.
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 60 * kSeconds)) << "state " << d.State();
        EXPECT_EQ(TakeSnapshot(d), saved) << "the battle resumed at start-up is not the one quit";
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kTopBar); }, 5 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kTopBar, game::kHudPause));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kPause); }, 2 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kPause, game::kPauseSurrender));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSurrenderConfirm); }, 2 * kSeconds));
        d.DumpPng(Png("surrender_confirm"));
        ASSERT_TRUE(d.Click(ZoneId::kSurrenderConfirm, game::kSurrenderYes));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 20 * kSeconds)) << "state " << d.State();
        ASSERT_TRUE(d.Click(ZoneId::kMainMenu, game::kMainLoad));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSaveLoad); }, 2 * kSeconds));
        d.DumpPng(Png("load"));
        ASSERT_TRUE(d.Click(ZoneId::kSaveLoad, SaveLoadZone::kFirstSlotId + kSlot));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds)) << "state " << d.State();
        const BattleSnapshot loaded = TakeSnapshot(d);
        EXPECT_EQ(loaded.day, saved.day);
        EXPECT_EQ(loaded.side, saved.side);
        EXPECT_EQ(loaded.cash, saved.cash);
        EXPECT_EQ(loaded.units, saved.units);
        EXPECT_EQ(loaded.structures, saved.structures);

        // The battle goes on: the computer plays its turn and hands back on the next day.
        ASSERT_TRUE(EndTurnAndWaitForComputer(d)) << "state " << d.State() << " side " << d.CurrentSide();
        EXPECT_EQ(d.Day(), saved.day + 1);
    });
    EXPECT_EQ(code, 0);
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
