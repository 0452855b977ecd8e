#include <gtest/gtest.h>

#include "game/battle/battle_context.h"
#include "game/level/mission.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/game_screens.h"
#include "game/screens/hud_zones.h"
#include "game/screens/result_screens.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;

class ResultScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        const auto general = std::make_shared<game::SharedPicture>(game::kGeneralPicture);
        game::RegisterBattleDialogs(registry, general);
        game::RegisterResultScreens(registry, general);
        registry.Register(ZoneId::kTopBar, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<game::TopBarZone>(s);
        });
        registry.Register(ZoneId::kTurnButton, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<game::TurnButtonZone>(s);
        });
        ASSERT_TRUE(registry.CreateZones());
        win = &ZoneOf<game::WinZone>(ZoneId::kMissionWon);
        lose = &ZoneOf<game::LoseZone>(ZoneId::kMissionLost);
    }
    bool HudShown() {
        return registry.Get(ZoneId::kTopBar)->IsShown() && registry.Get(ZoneId::kTurnButton)->IsShown();
    }
    bool HudSlidingOut() {
        return ZoneOf<game::TopBarZone>(ZoneId::kTopBar).IsSlidingOut() &&
               ZoneOf<game::TurnButtonZone>(ZoneId::kTurnButton).IsSlidingOut();
    }
    void ShowHud() {
        for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) registry.Get(id)->SetShown(true, false);
    }

    game::WinZone* win = nullptr;
    game::LoseZone* lose = nullptr;
};

TEST_F(ResultScreenTest, TheSentenceHeadlineAndTrophyFollowTheMedalAndDays) {
    struct Case {
        int medal;
        int days;
        bool survival;
        const char* sentence;
        const char* headline;
        const char* trophy;
    };
    const Case cases[] = {
        {1, 1, false, "[WIN_OWNAGE_YOU] [WIN_GOLD] 1 [GEN_DAY1] [WIN_REMAINING]", "[WIN_CONGRATS_G]",
         "Trophies/Gold/Trophy"},
        {1, 3, false, "[WIN_OWNAGE_YOU] [WIN_GOLD] 3 [GEN_DAYS] [WIN_REMAINING]", "[WIN_CONGRATS_G]",
         "Trophies/Gold/Trophy"},
        {2, 1, false, "[WIN_OWNAGE_YOU] [WIN_SILVER] 1 [GEN_DAY1] [WIN_REMAINING]", "[WIN_CONGRATS_S]",
         "Trophies/Silver/Trophy"},
        {3, 3, false, "[WIN_OWNAGE_YOU] [WIN_BRONZE] 3 [GEN_DAYS] [WIN_REMAINING]", "[WIN_CONGRATS_B]",
         "Trophies/Bronze/Trophy"},
        {4, 1, false, "[WIN_OWNAGE_YOU] [WIN_WOOD]", "[WIN_CONGRATS_W]", "Trophies/Fail/Trophy"},
        {4, 3, false, "[WIN_OWNAGE_YOU] [WIN_WOOD]", "[WIN_CONGRATS_W]", "Trophies/Fail/Trophy"},
        {1, 3, true, "[WIN_OWNAGE_YOU] [WIN_SURVIVOR1] 3 [GEN_DAYS], [WIN_SURVIVOR2]", "[WIN_CONGRATS_G]",
         "Trophies/Gold/Trophy"},
        {1, 1, true, "[WIN_OWNAGE_YOU] [WIN_SURVIVOR1] 1 [GEN_DAY1], [WIN_SURVIVOR2]", "[WIN_CONGRATS_G]",
         "Trophies/Gold/Trophy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        game.survival = c.survival;
        win->Open(c.medal, c.days);
        EXPECT_EQ(win->GetResultText().GetNarrow(), std::string("@C[4]") + c.sentence);
        EXPECT_EQ(std::string(win->GetHeadline().GetNarrow()), c.headline);
        EXPECT_EQ(win->GetTrophyName(), c.trophy);
        game::CloseZone(*win);
    }
}

TEST_F(ResultScreenTest, TheNewRecordNeedsABetterResultThanTheStoredOne) {
    struct Case {
        const char* name;
        int storedMedal;
        int storedDays;
        bool newRecord;
    };
    // The new result is silver with 3 days left.
    const Case cases[] = {
        {"no stored result", 0, 0, false},          {"better medal", 3, 9, true},
        {"equal medal, more days", 2, 1, true},     {"equal medal, fewer days", 2, 5, false},
        {"worse medal, more days", 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        game.storedMedal = c.storedMedal;
        game.storedMargin = c.storedDays;
        win->Open(2, 3);
        EXPECT_EQ(win->IsNewRecord(), c.newRecord);
        // The line blinks: over two seconds it shows in some frames and not in others.
        int shown = 0;
        int frames = 0;
        for (; frames < 125; ++frames) {
            recorder.Clear();
            driver.Frame();
            if (recorder.FindText("[WIN_NEWHIGHSCORE]") != nullptr) ++shown;
        }
        if (c.newRecord) {
            EXPECT_GT(shown, 0);
            EXPECT_LT(shown, frames);
        } else {
            EXPECT_EQ(shown, 0);
        }
        game::CloseZone(*win);
    }
}

TEST_F(ResultScreenTest, TheTrophyTurnsHalfWayRoundInNineSeconds) {
    win->Open(1, 2);
    EXPECT_EQ(win->GetTrophyAngle(), 0.0f);
    driver.Run(9.0f);
    EXPECT_NEAR(win->GetTrophyAngle(), 180.0f, 1.0f);
    // A new result starts the turn again.
    win->Open(3, 1);
    EXPECT_EQ(win->GetTrophyAngle(), 0.0f);
}

TEST_F(ResultScreenTest, ScreensOpenFromTheCornerMoveTheHudAndLeadOn) {
    struct Case {
        bool won;
        int button;
        int state;
    };
    for (const Case c : {Case{true, game::kWinContinue, 15}, Case{false, game::kLoseBack, 16},
                         Case{false, game::kLoseRetry, 17}}) {
        SCOPED_TRACE(c.button);
        ShowHud();
        game.states.clear();
        game::TitledZone* zone = c.won ? static_cast<game::TitledZone*>(win) : lose;
        driver.MoveTo(300, 300);
        if (c.won) {
            win->Open(1, 1);
        } else {
            lose->Open();
        }
        EXPECT_TRUE(HudSlidingOut());
        EXPECT_EQ(zone->GetType(), c.won ? 10 : 11);
        EXPECT_EQ(zone->GetOrigin().x, 0.0f);
        EXPECT_EQ(zone->GetOrigin().y, 0.0f);
        // Nothing reacts during the zoom.
        testsupport::ZoneDriver::Send(*zone, engine::kEventReleased, c.button);
        EXPECT_TRUE(game.states.empty());
        driver.Run(0.25f);
        driver.Click(*zone, c.button);
        EXPECT_EQ(game.states, std::vector<int>{c.state});
        EXPECT_FALSE(zone->IsShown());
        EXPECT_TRUE(HudShown());
    }
}

TEST_F(ResultScreenTest, TheLoseScreenExplainsTheEndCondition) {
    struct Case {
        int mode;
        bool survival;
        int condition;
        const char* heading;
        const char* body;
    };
    const Case cases[] = {
        {game::kGameModeCampaign, true, game::WLC_SURVIVOR_FAIL, "[NOSURVIVE_TITLE]", "[LOSE_WLC_SURVIVOR_FAIL]"},
        {game::kGameModeSkirmish, true, game::WLC_NO_ALLIED_UNITS, "[LOSE_TITLE]", "[LOSE_WLC_NO_ALLIED_UNITS]"},
        {game::kGameModeCampaign, false, game::WLC_NO_ALLIED_HQ, "[LOSE_TITLE]", "[LOSE_WLC_NO_ALLIED_HQ]"},
        // An unknown condition forms a key the string table does not hold.
        {game::kGameModeCampaign, false, 99, "[LOSE_TITLE]", "[LOSE_]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        game.mode = c.mode;
        game.survival = c.survival;
        game.endCondition = c.condition;
        lose->Open();
        driver.Run(0.25f);
        recorder.Clear();
        driver.Frame();
        const DrawEntry* heading = recorder.FindText(c.heading);
        ASSERT_NE(heading, nullptr);
        EXPECT_EQ(heading->font, game::FontId::kLarge);
        EXPECT_EQ(heading->x, 270);
        EXPECT_EQ(heading->y, 149);
        const DrawEntry* body = recorder.FindText(c.body);
        ASSERT_NE(body, nullptr);
        EXPECT_EQ(body->y, 254);
        game::CloseZone(*lose);
    }
}

TEST_F(ResultScreenTest, PicturesAreLoadedOncePerShowAndTheGeneralIsSharedWithThePauseDialogs) {
    loader.Add(game::kGeneralPicture, 256, 256);
    lose->Open();
    lose->SetShown(false, false);
    lose->SetShown(false, false);
    EXPECT_EQ(loader.loads[game::kLosePicture], 1);
    EXPECT_EQ(loader.releases[game::kLosePicture], 1);

    auto& endTurn = ZoneOf<game::EndTurnZone>(ZoneId::kEndTurnConfirm);
    OpenFully(endTurn, game::kZoneEndTurnConfirm);
    win->Open(1, 1);
    driver.Run(0.25f);
    EXPECT_EQ(loader.loads[game::kGeneralPicture], 1);
    game::CloseZone(endTurn);
    EXPECT_EQ(loader.releases[game::kGeneralPicture], 0);
    recorder.Clear();
    driver.Frame();
    EXPECT_FALSE(recorder.ImagesOf(game::kGeneralPicture, {0, 0, 256, 256}).empty());
    game::CloseZone(*win);
    EXPECT_EQ(loader.releases[game::kGeneralPicture], 1);
}

TEST_F(ResultScreenTest, TheGameOpensTheScreensThroughItsSeams) {
    game::GameScreens screens(registry);
    game.endCondition = game::WLC_NO_ALLIED_HQ;
    screens.OpenWin(2, 4, "Mission1");
    EXPECT_TRUE(win->IsShown());
    EXPECT_EQ(win->GetMedal(), 2);
    EXPECT_EQ(win->GetDays(), 4);
    screens.OpenLose();
    EXPECT_TRUE(lose->IsShown());
    EXPECT_EQ(lose->GetEndCondition(), game::WLC_NO_ALLIED_HQ);
}

}  // namespace
}  // namespace screens_test
