// Skirmish walks through the real program: from the main menu into a battle on the smallest map against the
// computer player.
#include <gtest/gtest.h>

#include <string>

#include "e2e/program_driver.h"
#include "game/core/game.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/match_setup_zones.h"

namespace e2e {
namespace {

using game::ZoneId;

std::string Png(const std::string& name) { return std::string(TINMARCH_E2E_PICTURES) + "/" + name + ".png"; }

TEST(SkirmishWalk, MainMenuToSkirmishSetup) {
    ProgramDriver driver;
    const int code = driver.Run([](ProgramDriver& d) {
        ASSERT_TRUE(d.WaitForState(game::kGameMainMenu, 60 * 60)) << "state " << d.State();
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 600));
        EXPECT_TRUE(d.DumpPng(Png("main_menu")));
        ASSERT_TRUE(d.Click(ZoneId::kMainMenu, game::kMainPlay));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kGameType); }, 120));
        ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeSkirmish));
        ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeStart));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSkirmishSetup); }, 120));
        EXPECT_TRUE(d.DumpPng(Png("skirmish_setup")));
        ASSERT_TRUE(d.Click(ZoneId::kSkirmishSetup, game::kSkirmishSetupStyle.playId));
        for (int i = 0; i < 40; ++i) {
            d.Frames(30);
            std::printf("st %d side %d day %d cash %d %d\n", d.State(), d.CurrentSide(), d.Day(), d.Cash(0), d.Cash(1));
        }
        EXPECT_TRUE(d.DumpPng(Png("skirmish_battle")));
    });
    EXPECT_EQ(code, 0);
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
