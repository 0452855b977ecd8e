#include <gtest/gtest.h>

#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/screens/hud_zones.h"
#include "game/screens/result_screens.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;

class MatchResultTest : public BattleScreenTest {
protected:
    void SetUp() override {
        BattleScreenTest::SetUp();
        game::RegisterResultScreens(registry, std::make_shared<game::SharedPicture>("Comic/general"));
        registry.Register(ZoneId::kTopBar, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<game::TopBarZone>(s);
        });
        registry.Register(ZoneId::kTurnButton, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<game::TurnButtonZone>(s);
        });
        ASSERT_TRUE(registry.CreateZones());
        // The neutral side holds the first slot, as a level's does.
        manager.GetOrCreateTeam(game::kTeamNeutral);
        result = &ZoneOf<game::PassAndPlayResultZone>(ZoneId::kPassAndPlayResult);
    }
    // Opens the result and draws one frame once it is open.
    void Show() {
        result->OpenResult();
        driver.Run(0.25f);
        recorder.Clear();
        driver.Frame();
    }

    game::PassAndPlayResultZone* result = nullptr;
};

TEST_F(MatchResultTest, HeadingsNameTheSidesByKindAndGameMode) {
    struct Case {
        int mode;
        int winner;
        int loser;
        const char* winHeading;
        const char* loseHeading;
    };
    const Case cases[] = {
        {game::kGameModeSkirmish, game::kTeamBlue, game::kTeamEnemy, "BLUE Wins", "ENEMY Loses"},
        {game::kGameModeSkirmish, game::kTeamEnemy, game::kTeamBlue, "ENEMY Wins", "BLUE Loses"},
        {game::kGameModeSkirmish, game::kTeamGreen, game::kTeamBlue, "ENEMY Wins", "BLUE Loses"},
        {game::kGameModePassAndPlay, game::kTeamYellow, game::kTeamBlue, "YELLOW Wins", "BLUE Loses"},
        {game::kGameModePassAndPlay, game::kTeamGreen, game::kTeamBlue, "GREEN Wins", "BLUE Loses"},
        {game::kGameModePassAndPlay, game::kTeamEnemy, game::kTeamBlue, "ENEMY Wins", "BLUE Loses"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.winHeading);
        game.mode = c.mode;
        game::Team& loser = TakeTurn(c.loser, 0);
        game::Team& winner = TakeTurn(c.winner, 0);
        EXPECT_EQ(result->Heading(winner, true), c.winHeading);
        EXPECT_EQ(result->Heading(loser, false), c.loseHeading);
    }
}

TEST_F(MatchResultTest, PanelsShowTheWinnerAndTheFirstOtherSideWithGroupedKills) {
    game.mode = game::kGameModeSkirmish;
    TakeTurn(game::kTeamEnemy, 0).SetKillCount(7);
    TakeTurn(game::kTeamBlue, 0).SetKillCount(1234);
    Show();
    const DrawEntry* winner = recorder.FindText("BLUE Wins");
    const DrawEntry* loser = recorder.FindText("ENEMY Loses");
    ASSERT_NE(winner, nullptr);
    ASSERT_NE(loser, nullptr);
    EXPECT_EQ(winner->x, 253);
    EXPECT_EQ(winner->y, 135);
    EXPECT_EQ(loser->y, 395);
    const DrawEntry* kills = recorder.FindText("Total Kills:  1,234");
    ASSERT_NE(kills, nullptr);
    EXPECT_EQ(kills->x, 80);
    EXPECT_EQ(kills->y, 200);
    EXPECT_NE(recorder.FindText("Total Kills:  7"), nullptr);
    EXPECT_EQ(recorder.ImagesOf("GUI/uibits2", {0, 400, 426, 233}).size(), 2u);
}

TEST_F(MatchResultTest, ASideAloneHasNoLoserPanel) {
    TakeTurn(game::kTeamBlue, 0);
    Show();
    EXPECT_NE(recorder.FindText("BLUE Wins"), nullptr);
    EXPECT_EQ(recorder.ImagesOf("GUI/uibits2", {0, 400, 426, 233}).size(), 1u);
}

TEST_F(MatchResultTest, ContinueLeadsBackToTheSetupOfTheGameMode) {
    struct Case {
        int mode;
        int state;
    };
    for (const Case c : {Case{game::kGameModeSkirmish, 19}, Case{game::kGameModePassAndPlay, 18}}) {
        game.mode = c.mode;
        game.states.clear();
        registry.Get(ZoneId::kTopBar)->SetShown(true, false);
        registry.Get(ZoneId::kTurnButton)->SetShown(true, false);
        result->OpenResult();
        EXPECT_TRUE(ZoneOf<game::TopBarZone>(ZoneId::kTopBar).IsSlidingOut());
        EXPECT_EQ(result->GetType(), 10);
        driver.Run(0.25f);
        // Keys are not this screen's.
        EXPECT_EQ(testsupport::ZoneDriver::Send(*result, engine::kEventNavigate, engine::kNoticeBack), 0);
        driver.Click(*result, game::kResultContinue);
        EXPECT_EQ(game.states, std::vector<int>{c.state});
        EXPECT_FALSE(result->IsShown());
        EXPECT_TRUE(registry.Get(ZoneId::kTopBar)->IsShown());
    }
    // The general's picture was taken once per show and let go once per hide.
    EXPECT_EQ(loader.loads["Comic/general"], 2);
    EXPECT_EQ(loader.releases["Comic/general"], 2);
}

}  // namespace
}  // namespace screens_test
