// Skirmish walks through the real program: from the main menu into a battle on the smallest map against the
// computer player.
#include <gtest/gtest.h>

#include <string>

#include "e2e/program_driver.h"
#include "game/core/game.h"
#include "game/screens/main_menu_zones.h"

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
        {
            const engine::IntRect r = d.ControlRect(ZoneId::kMainMenu, game::kMainPlay);
            int w = 0, h = 0;
            SDL_GetWindowSize(SDL_GetMouseFocus(), &w, &h);
            std::printf("rect %d %d %d %d window %d %d\n", r.x, r.y, r.width, r.height, w, h);
        }
        ASSERT_TRUE(d.Click(ZoneId::kMainMenu, game::kMainPlay));
        for (int i = 0; i < 10; ++i) { d.Frames(10); std::printf("st %d menu %d type %d\n", d.State(), d.IsShown(ZoneId::kMainMenu), d.IsShown(ZoneId::kGameType)); }
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kGameType); }, 120));
        ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeSkirmish));
        ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeStart));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSkirmishSetup); }, 120));
        EXPECT_TRUE(d.DumpPng(Png("skirmish_setup")));
    });
    EXPECT_EQ(code, 0);
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
