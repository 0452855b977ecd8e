#include <gtest/gtest.h>

#include "game/screens/game_screens.h"
#include "game/screens/hud_zones.h"
#include "game/screens/shop_zone.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;

TEST(ZoneTypes, EachTypeOpensItsScreen) {
    const std::pair<int, ZoneId> cases[] = {
        {0, ZoneId::kSettings},        {1, ZoneId::kSettings},         {4, ZoneId::kShop},
        {7, ZoneId::kShop},            {8, ZoneId::kMainMenu},         {9, ZoneId::kPause},
        {10, ZoneId::kMissionWon},     {11, ZoneId::kMissionLost},     {14, ZoneId::kCredits},
        {15, ZoneId::kObjective},      {16, ZoneId::kEndTurnConfirm},  {23, ZoneId::kGameType},
        {24, ZoneId::kPassAndPlaySetup}, {25, ZoneId::kSkirmishSetup}, {27, ZoneId::kMapPicker},
        {29, ZoneId::kMatchOptions},   {31, ZoneId::kSaveLoad},        {32, ZoneId::kAchievements},
        {35, ZoneId::kDifficulty},     {2, ZoneId::kCount},            {33, ZoneId::kCount},
    };
    for (const auto& [type, id] : cases) EXPECT_EQ(game::ZoneForType(type), id) << type;
}

class GameScreensTest : public BattleScreenTest {
protected:
    void SetUp() override {
        BattleScreenTest::SetUp();
        game::RegisterHudAndShopZones(registry);
        RegisterRecording(ZoneId::kMainMenu);
        ASSERT_TRUE(registry.CreateZones());
    }
    game::GameScreens screens{registry};
};

TEST_F(GameScreensTest, OpensZonesByTypeAndReportsTheOnesThatDoNotExist) {
    screens.OpenZone(8, 10, 20);
    auto& menu = ZoneOf<RecordingZone>(ZoneId::kMainMenu);
    EXPECT_TRUE(menu.IsShown());
    EXPECT_EQ(menu.GetType(), 8);

    expectErrors = true;
    screens.OpenZone(14, 0, 0);
    screens.OpenLose();
    screens.SelectMap("Campaigns\\Skirmish\\CloseQuarters");
    EXPECT_EQ(errors, (std::vector<std::string>{"zone 18 does not exist", "zone 15 does not exist",
                                                "zone 24 does not exist"}));
}

TEST_F(GameScreensTest, DrivesTheHudPanelsTheBannerAndTheUnitPanel) {
    game::Team& blue = TakeTurn(game::kTeamBlue, 700);
    auto& bar = ZoneOf<game::TopBarZone>(ZoneId::kTopBar);
    auto& buttons = ZoneOf<game::TurnButtonZone>(ZoneId::kTurnButton);
    screens.ShowTurnPanels();
    EXPECT_TRUE(bar.IsShown());
    EXPECT_TRUE(buttons.IsShown());
    screens.SlideOutTurnPanels();
    EXPECT_TRUE(bar.IsSlidingOut());
    EXPECT_TRUE(buttons.IsSlidingOut());
    screens.RefreshCash();
    EXPECT_EQ(bar.GetShownCash(), 700);
    screens.OnTurnStart();

    screens.ShowBanner(engine::WideString("note"), 1.0f);
    EXPECT_TRUE(screens.IsBannerShowing());
    screens.HideBanner();
    EXPECT_FALSE(screens.IsBannerShowing());

    game::Unit* grunt = blue.GetUnit(0);
    screens.SetPanelUnit(grunt);
    EXPECT_EQ(screens.GetPanelUnit(), grunt);
    EXPECT_NE(screens.GetMoveChoice(), nullptr);
}

}  // namespace
}  // namespace screens_test
