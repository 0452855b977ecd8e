#include <gtest/gtest.h>

#include <set>

#include "engine/gui/dialog.h"
#include "game/screens/hud_zones.h"
#include "game/screens/main_menu_zones.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;
using testsupport::ZoneDriver;

class MainMenuTest : public ScreenTest {
protected:
    void SetUp() override {
        game::RegisterMainMenuZones(registry);
        registry.Register(ZoneId::kTopBar, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<game::TopBarZone>(s);
        });
        registry.Register(ZoneId::kTurnButton, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<game::TurnButtonZone>(s);
        });
        for (const ZoneId id : {ZoneId::kCampaignMap, ZoneId::kSaveLoad, ZoneId::kSettings, ZoneId::kAchievements,
                                ZoneId::kCredits, ZoneId::kPassAndPlaySetup, ZoneId::kSkirmishSetup}) {
            RegisterRecording(id);
        }
        ASSERT_TRUE(registry.CreateZones());
        menu = &ZoneOf<game::MainMenuZone>(ZoneId::kMainMenu);
        types = &ZoneOf<game::GameTypeZone>(ZoneId::kGameType);
    }
    bool HudSlidingOut() {
        return ZoneOf<game::TopBarZone>(ZoneId::kTopBar).IsSlidingOut() &&
               ZoneOf<game::TurnButtonZone>(ZoneId::kTurnButton).IsSlidingOut();
    }
    void ShowHud() {
        for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) registry.Get(id)->SetShown(true, false);
    }

    game::MainMenuZone* menu = nullptr;
    game::GameTypeZone* types = nullptr;
};

TEST_F(MainMenuTest, EachButtonOpensItsZoneWithItsTypeFromThePointer) {
    struct Case {
        int button;
        ZoneId zone;
        int type;
    };
    const Case cases[] = {
        {game::kMainLoad, ZoneId::kSaveLoad, 30},          {game::kMainPlay, ZoneId::kGameType, 23},
        {game::kMainSettings, ZoneId::kSettings, 0},       {game::kMainAchievements, ZoneId::kAchievements, 32},
        {game::kMainCredits, ZoneId::kCredits, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        OpenFully(*menu, 8);
        const engine::IntPoint pointer = ZoneDriver::CentreOf(*menu, c.button);
        driver.Click(*menu, c.button);
        EXPECT_FALSE(menu->IsShown());
        auto* next = registry.GetTitled(c.zone);
        ASSERT_NE(next, nullptr);
        EXPECT_TRUE(next->IsShown());
        EXPECT_EQ(next->GetType(), c.type);
        EXPECT_EQ(next->GetOrigin().x, static_cast<float>(pointer.x));
        EXPECT_EQ(next->GetOrigin().y, static_cast<float>(pointer.y));
        game::CloseZone(*next);
    }
    OpenFully(*menu, 8);
    driver.Click(*menu, game::kMainQuit);
    EXPECT_TRUE(game.quit);
    EXPECT_FALSE(menu->IsShown());
}

TEST_F(MainMenuTest, PressesAndReleasesDuringTheZoomDoNothingAndBackIsNotTheMenus) {
    game::OpenZone(*menu, 8, 0, 0);
    driver.Click(*menu, game::kMainQuit);
    EXPECT_FALSE(game.quit);
    EXPECT_TRUE(menu->IsShown());
    driver.Run(0.25f);
    EXPECT_EQ(ZoneDriver::Send(*menu, engine::kEventPressed, game::kMainQuit), 0);
    EXPECT_FALSE(game.quit);
    EXPECT_EQ(ZoneDriver::Send(*menu, engine::kEventNavigate, engine::kNoticeBack), 0);
    EXPECT_TRUE(menu->IsShown());
}

TEST_F(MainMenuTest, TheHudSlidesOutOnShowAndHideAndTheVersionSitsBottomRight) {
    ShowHud();
    game::OpenZone(*menu, 8, 0, 0);
    EXPECT_TRUE(HudSlidingOut());
    driver.Run(0.4f);
    EXPECT_FALSE(registry.Get(ZoneId::kTopBar)->IsShown());
    const DrawEntry* version = recorder.FindText("v1.0");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->font, game::FontId::kTiny);
    EXPECT_EQ(version->x, 958);
    EXPECT_EQ(version->y, 640);
    EXPECT_EQ(version->alignment, 0x42);

    ShowHud();
    EXPECT_FALSE(HudSlidingOut());
    game::CloseZone(*menu);
    EXPECT_TRUE(HudSlidingOut());
}

TEST_F(MainMenuTest, GameTypeRestoresTheStoredChoiceAndReadsAnUnknownOneAsCampaign) {
    strings.texts["DESC_SKIRMISH"] = "One map\\nno campaign";
    profile.gameType = 2;
    OpenFully(*types, 23);
    EXPECT_EQ(types->GetSelection(), 2);
    ASSERT_EQ(types->GetDescription().GetLineCount(), 2);
    EXPECT_TRUE(types->GetDescription().GetLine(0).EqualsNarrow("@C[4]One map"));
    EXPECT_TRUE(types->GetDescription().GetLine(1).EqualsNarrow("no campaign"));
    // The chosen type's label has the highlight colour, the others not.
    driver.Run(0.25f);
    recorder.Clear();
    driver.Frame();
    EXPECT_NE(recorder.FindText("One map"), nullptr);
    ASSERT_NE(recorder.FindText("[MM_SINGLEGAMETYPE_SKIRMISH]"), nullptr);
    EXPECT_EQ(recorder.FindText("[MM_SINGLEGAMETYPE_SKIRMISH]")->colourEntry, 4);
    EXPECT_EQ(recorder.FindText("[MM_SINGLEGAMETYPE_CAMPAIGN]")->colourEntry, 0);

    driver.Click(*types, game::kTypePassAndPlay);
    EXPECT_EQ(profile.gameType, 1);
    // Back keeps the stored choice.
    driver.TapBack();
    EXPECT_EQ(profile.gameType, 1);
    EXPECT_TRUE(registry.Get(ZoneId::kMainMenu)->IsShown());
    EXPECT_EQ(registry.GetTitled(ZoneId::kMainMenu)->GetOrigin().x, 0.0f);

    profile.gameType = 5;
    OpenFully(*types, 23);
    EXPECT_EQ(types->GetSelection(), 0);
    EXPECT_EQ(profile.gameType, 0);
}

TEST_F(MainMenuTest, StartOpensTheSetupOfTheType) {
    for (const auto& [type, zone, zoneType] : {std::tuple{1, ZoneId::kPassAndPlaySetup, 24},
                                               std::tuple{2, ZoneId::kSkirmishSetup, 25}}) {
        profile.gameType = type;
        OpenFully(*types, 23);
        driver.Click(*types, game::kTypeStart);
        EXPECT_FALSE(types->IsShown());
        EXPECT_TRUE(registry.Get(zone)->IsShown());
        EXPECT_EQ(registry.GetTitled(zone)->GetType(), zoneType);
        game::CloseZone(*registry.Get(zone));
    }
}

TEST_F(MainMenuTest, StartingACampaignFallsBackToTheStandardOneOrStays) {
    struct Case {
        std::vector<std::string> campaigns;
        std::string stored;
        std::vector<std::string> tries;
        std::string kept;
        bool mapShown;
    };
    const Case cases[] = {
        {{"Desert", "standard"}, "Desert", {"Desert"}, "Desert", true},
        {{"standard"}, "Gone", {"Gone", "standard"}, "standard", true},
        {{}, "Gone", {"Gone", "standard"}, "Gone", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        game.loadableCampaigns = std::set<std::string>(c.campaigns.begin(), c.campaigns.end());
        game.selectedCampaigns.clear();
        profile.campaignName = c.stored;
        profile.gameType = 0;
        OpenFully(*types, 23);
        sound.uiSounds.clear();
        driver.Click(*types, game::kTypeStart);
        EXPECT_EQ(game.selectedCampaigns, c.tries);
        EXPECT_EQ(profile.campaignName, c.kept);
        auto* map = registry.GetTitled(ZoneId::kCampaignMap);
        EXPECT_EQ(map->IsShown(), c.mapShown);
        EXPECT_EQ(types->IsShown(), !c.mapShown);
        if (c.mapShown) {
            // Shown directly, without the zoom (no zoom sound).
            EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiClick}));
        } else {
            EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiClick, game::kUiFail}));
        }
        game::CloseZone(*map);
        game::CloseZone(*types);
    }
}

}  // namespace
}  // namespace screens_test
