// The steps through the first campaign mission (see campaign_walks.h).
#include "e2e/campaign_walks.h"

#include <gtest/gtest.h>

#include "e2e/battle_walks.h"
#include "game/core/campaign.h"
#include "game/core/game.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/comic_overlay_zone.h"
#include "game/screens/result_screens.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace e2e {

using game::ZoneId;

game::Campaign* TheCampaign(ProgramDriver& d) { return dynamic_cast<game::Campaign*>(d.GetGame().GetCampaign()); }

void PlaySelectedMission(ProgramDriver& d, bool pictures) {
    ASSERT_TRUE(d.Click(ZoneId::kCampaignMap, game::CampaignMapZone::kPlayId));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kComicOverlay); }, 10 * kSeconds))
        << "no comic; state " << d.State();
    d.Frames(60);
    if (pictures) d.DumpPng(Png("comic"));
    ASSERT_TRUE(d.Click(ZoneId::kComicOverlay, game::ComicOverlayZone::kSkipId));
    ASSERT_TRUE(d.WaitFor([&d] { return !d.IsShown(ZoneId::kComicOverlay); }, 5 * kSeconds));
    ASSERT_TRUE(d.WaitFor([&d] { return d.GetGame().GetLevel() != nullptr; }, 30 * kSeconds)) << "state " << d.State();
    bool banner = false;
    ASSERT_TRUE(d.WaitFor(
        [&] {
            banner = banner || d.IsBannerShowing();
            return banner;
        },
        20 * kSeconds))
        << "no script message; state " << d.State();
    if (pictures) d.DumpPng(Png("campaign_mission"));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds)) << "state " << d.State();
    EXPECT_EQ(d.Day(), 1);
}

int MarchToTheGoal(ProgramDriver& d, int idleDays) {
    constexpr int kDays = 10;
    for (int day = 1; day <= kDays; ++day) {
        if (!d.WaitFor([&d] { return d.IsHumanTurn() || d.State() == game::kGameWon; }, 30 * kSeconds)) return 0;
        if (d.State() == game::kGameWon) return d.Day();
        game::Team* team = d.GetGame().GetTeamManager()->GetCurrentTeam();
        for (int slot = 0; day > idleDays && slot < game::kMaxTeamUnits && d.State() == game::kGameSideTurn; ++slot) {
            game::Unit* unit = team->GetUnit(slot);
            if (unit == nullptr || unit->GetState() == game::kUnitGone) continue;
            MoveToward(d, *unit, kFirstMissionGoal);
        }
        if (d.WaitFor([&d] { return d.State() == game::kGameWon; }, kSeconds)) return d.Day();
        if (!EndTurnAndWaitForComputer(d)) return 0;
    }
    return 0;
}

bool ContinueToTheMap(ProgramDriver& d) {
    if (!d.Click(ZoneId::kMissionWon, game::kWinContinue)) return false;
    return d.WaitFor([&d] { return d.IsShown(ZoneId::kCampaignMap); }, 30 * kSeconds);
}

}  // namespace e2e
