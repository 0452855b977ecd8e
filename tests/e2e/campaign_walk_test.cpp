// The first campaign mission through the real program: the campaign map, the comic skipped, the mission
// loaded and its script's opening messages shown.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/battle_walks.h"
#include "game/core/game.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/comic_overlay_zone.h"
#include "game/screens/main_menu_zones.h"

namespace e2e {
namespace {

using game::ZoneId;

TEST(CampaignWalk, TheFirstMissionStartsAfterItsComicIsSkippedAndItsScriptSpeaks) {
    ProgramDriver driver;
    const int code = driver.Run([](ProgramDriver& d) {
        ASSERT_TRUE(d.WaitForState(game::kGameMainMenu, 60 * kSeconds));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 10 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kMainMenu, game::kMainPlay));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kGameType); }, 2 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeCampaign));
        ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeStart));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kCampaignMap); }, 5 * kSeconds));
        d.Frames(30);
        d.DumpPng(Png("campaign_map"));
        ASSERT_TRUE(d.Click(ZoneId::kCampaignMap, game::CampaignMapZone::kPlayId));

        // The comic plays until the player skips it; the mission then loads.
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kComicOverlay); }, 10 * kSeconds))
            << "no comic; state " << d.State();
        d.Frames(60);
        d.DumpPng(Png("comic"));
        ASSERT_TRUE(d.Click(ZoneId::kComicOverlay, game::ComicOverlayZone::kSkipId));
        ASSERT_TRUE(d.WaitFor([&d] { return !d.IsShown(ZoneId::kComicOverlay); }, 5 * kSeconds));
        ASSERT_TRUE(d.WaitFor([&d] { return d.GetGame().GetLevel() != nullptr; }, 30 * kSeconds))
            << "state " << d.State();
        // The mission's opening script blocks speak through the message banner before the player may act.
        bool banner = false;
        ASSERT_TRUE(d.WaitFor(
            [&] {
                banner = banner || d.IsBannerShowing();
                return banner;
            },
            20 * kSeconds))
            << "no script message; state " << d.State();
        d.DumpPng(Png("campaign_mission"));
        // The opening block ends and the player gets the first turn.
        EXPECT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds)) << "state " << d.State();
        EXPECT_EQ(d.Day(), 1);
    });
    EXPECT_EQ(code, 0);
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
