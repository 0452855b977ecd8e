// Pass-and-play through the real program: two human sides on one machine; ending a turn passes it to the
// other side with the turn announcer, and the top bar shows the cash of the side to move.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "e2e/battle_walks.h"
#include "e2e/frame_audit.h"
#include "game/core/game.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/hud_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/match_setup_zones.h"
#include "game/teams/team.h"

namespace e2e {
namespace {

using game::ZoneId;

int ShownCash(ProgramDriver& d) {
    const auto* bar = dynamic_cast<const game::TopBarZone*>(d.Zones().Get(ZoneId::kTopBar));
    return bar != nullptr ? bar->GetShownCash() : -1;
}

TEST(PassAndPlayWalk, TheTurnPassesWithItsAnnouncerAndEachSideSeesItsOwnCash) {
    ProgramDriver driver;
    FrameAudit audit(driver);
    const int code = driver.Run([](ProgramDriver& d) {
        ASSERT_TRUE(d.WaitForState(game::kGameMainMenu, 60 * kSeconds));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 10 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kMainMenu, game::kMainPlay));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kGameType); }, 2 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypePassAndPlay));
        ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeStart));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kPassAndPlaySetup); }, 2 * kSeconds));
        d.DumpPng(Png("pass_and_play_setup"));
        ASSERT_TRUE(d.Click(ZoneId::kPassAndPlaySetup, game::kPassAndPlaySetupStyle.playId));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds)) << "state " << d.State();

        for (int turn = 0; turn < 2; ++turn) {
            const int side = d.CurrentSide();
            ASSERT_TRUE(d.WaitFor([&] { return ShownCash(d) == d.Cash(side); }, 5 * kSeconds))
                << "side " << side << " sees " << ShownCash(d) << " of " << d.Cash(side);
            d.DumpPng(Png("pass_and_play_side" + std::to_string(side)));
            ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kTurnButton); }, 5 * kSeconds));
            ASSERT_TRUE(d.Click(ZoneId::kTurnButton, game::kHudEndTurn));
            ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kEndTurnConfirm); }, 2 * kSeconds));
            ASSERT_TRUE(d.Click(ZoneId::kEndTurnConfirm, game::kEndTurnYes));
            // The other human side's turn comes with the announcer.
            bool announced = false;
            ASSERT_TRUE(d.WaitFor(
                [&] {
                    announced = announced || d.GetGame().GetAnnouncer()->IsShowing();
                    return d.IsHumanTurn() && d.CurrentSide() != side;
                },
                30 * kSeconds))
                << "state " << d.State() << " side " << d.CurrentSide();
            EXPECT_TRUE(announced) << "no announcer before side " << d.CurrentSide();
        }
        EXPECT_EQ(d.Day(), 2);
    });
    EXPECT_EQ(code, 0);
    audit.ExpectClean();
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
