// The first campaign mission through the real program: the campaign map, the comic skipped, the mission's
// script speaking, the mission won by moving onto its goal, the medal kept in the profile and the next
// mission unlocked; a slower second win keeps the better medal.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "e2e/battle_walks.h"
#include "e2e/campaign_walks.h"
#include "e2e/frame_audit.h"
#include "engine/platform/engine_root.h"
#include "engine/render/render_target.h"
#include "game/core/campaign.h"
#include "game/core/game.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/main_menu_zones.h"

namespace e2e {
namespace {

using game::ZoneId;

// A tap on the mission's marker of the campaign map: true once it is the selected mission.
bool PickMission(ProgramDriver& d, int mission) {
    game::Campaign* campaign = TheCampaign(d);
    if (campaign == nullptr) return false;
    d.WaitFor([&] { return campaign->GetViewState() != 0; }, 5 * kSeconds);
    const engine::RenderTarget* target = engine::GetEngine()->GetMainRenderTarget();
    int viewX = 0;
    int viewY = 0;
    game::Campaign::ViewportRect(target->Width(), target->Height(), viewX, viewY);
    const game::CampaignMission& m = campaign->GetMission(mission);
    const int x = viewX + static_cast<int>(campaign->GetScrollX()) + m.markerX;
    const int y = viewY + static_cast<int>(campaign->GetScrollY()) + m.markerY;
    d.ClickAt(x, y);
    d.Frames(5);
    return campaign->GetSelectedMissionIndex() == mission;
}

TEST(CampaignWalk, TheFirstMissionIsWonItsMedalKeptTheNextUnlockedAndASlowerWinKeepsTheBetterMedal) {
    ProgramDriver driver;
    FrameAudit audit(driver);
    const int code = driver.Run(
        [](ProgramDriver& d) {
            ASSERT_TRUE(OpenCampaignMap(d));
            d.Frames(30);
            d.DumpPng(Png("campaign_map"));
            game::Campaign* campaign = TheCampaign(d);
            ASSERT_NE(campaign, nullptr);
            ASSERT_EQ(campaign->GetSelectedMissionIndex(), 0);
            ASSERT_EQ(campaign->GetHighestSelectable(), 0) << "a fresh profile has only the first mission open";
            PlaySelectedMission(d, true);

            const int wonOn = MarchToTheGoal(d, 0);
            ASSERT_GT(wonOn, 0) << "the mission was not won; day " << d.Day() << " state " << d.State();
            ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMissionWon); }, 20 * kSeconds))
                << "state " << d.State();
            d.DumpPng(Png("mission_won"));
            int medal = 0;
            int margin = 0;
            campaign->MedalFor(wonOn - 1, medal, margin);
            std::printf("first win on day %d: medal %d margin %d\n", wonOn, medal, margin);

            // Continue records the result and leads back to the campaign map with the second mission open.
            ASSERT_TRUE(ContinueToTheMap(d));
            EXPECT_GE(campaign->GetHighestSelectable(), 1) << "the next mission is not unlocked";
            EXPECT_EQ(campaign->GetSelectedMissionIndex(), 1);
            ASSERT_TRUE(PickMission(d, 0)) << "the first mission's marker cannot be tapped";
            int stored = 0;
            int storedMargin = 0;
            ASSERT_TRUE(campaign->GetStoredResult(stored, storedMargin)) << "no medal stored";
            EXPECT_EQ(stored, medal);
            EXPECT_EQ(storedMargin, margin);
            d.DumpPng(Png("campaign_map_medal"));

            // The first mission again, won a day or more later: a lesser medal, even one with more days to spare
            // under it, leaves the stored medal as it was.
            PlaySelectedMission(d, false);
            const int slowWin = MarchToTheGoal(d, 1);
            ASSERT_GT(slowWin, wonOn) << "the slower run was not won later";
            ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMissionWon); }, 20 * kSeconds));
            int slowMedal = 0;
            int slowMargin = 0;
            campaign->MedalFor(slowWin - 1, slowMedal, slowMargin);
            std::printf("second win on day %d: medal %d margin %d\n", slowWin, slowMedal, slowMargin);
            EXPECT_GT(slowMedal, medal) << "the slower win earns no lesser medal; the check proves nothing";
            ASSERT_TRUE(ContinueToTheMap(d));
            ASSERT_TRUE(PickMission(d, 0));
            int kept = 0;
            int keptMargin = 0;
            ASSERT_TRUE(campaign->GetStoredResult(kept, keptMargin));
            EXPECT_EQ(kept, medal);
            EXPECT_EQ(keptMargin, margin);
        },
        60 * 60 * 40);
    EXPECT_EQ(code, 0);
    audit.ExpectClean();
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
