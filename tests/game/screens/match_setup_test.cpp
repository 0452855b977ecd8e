#include <gtest/gtest.h>

#include "engine/gui/slider.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/match_setup_zones.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;
using testsupport::ZoneDriver;

// Both setups and the options over a one-map "Campaigns/Skirmish" folder.
class MatchSetupTest : public ScreenTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.Write("Campaigns/Skirmish/standardpassandplaymaps.TXT", "Hills\n"));
        ASSERT_TRUE(data.Write("Campaigns/Skirmish/Hills/details.TXT", "[NAMES]\nRolling Hills\nRiver\n1\n"));
        game::RegisterMapPicker(registry);
        game::RegisterMatchSetupZones(registry);
        RegisterRecording(ZoneId::kGameType);
        ASSERT_TRUE(registry.CreateZones());
        picker = &ZoneOf<game::MapPickerZone>(ZoneId::kMapPicker);
        options = &ZoneOf<game::MatchOptionsZone>(ZoneId::kMatchOptions);
    }
    game::MatchSetupZone& Setup(const game::SetupStyle& style) { return ZoneOf<game::MatchSetupZone>(style.self); }
    engine::Slider& Slider(int i) {
        return *dynamic_cast<engine::Slider*>(options->GetWindow()->FindControl(game::kOptionSliders[i]));
    }

    units_test::DataFolder data;
    game::MapPickerZone* picker = nullptr;
    game::MatchOptionsZone* options = nullptr;
};

TEST_F(MatchSetupTest, PlayNeedsAMapAndStoresTheShownOneBeforeTheLevelLoads) {
    const game::SetupStyle* styles[] = {&game::kPassAndPlaySetupStyle, &game::kSkirmishSetupStyle};
    for (const game::SetupStyle* style : styles) {
        SCOPED_TRACE(style->playState);
        auto& setup = Setup(*style);
        OpenFully(setup, style->self == ZoneId::kSkirmishSetup ? 25 : 24);
        sound.uiSounds.clear();
        driver.Click(setup, style->playId);
        EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiClick, game::kUiFail}));
        EXPECT_TRUE(game.states.empty());
        EXPECT_TRUE(setup.IsShown());
        game::CloseZone(setup);
    }
    picker->SelectMap("Campaigns/Skirmish/Hills");
    for (const game::SetupStyle* style : styles) {
        SCOPED_TRACE(style->playState);
        auto& setup = Setup(*style);
        OpenFully(setup, style->self == ZoneId::kSkirmishSetup ? 25 : 24);
        profile.defaultMap = "elsewhere";
        game.states.clear();
        std::string storedWhenLoading;
        game.onState = [this, &storedWhenLoading](int) { storedWhenLoading = profile.defaultMap; };
        driver.Click(setup, style->playId);
        game.onState = nullptr;
        EXPECT_EQ(game.states, std::vector<int>{style->playState});
        EXPECT_EQ(storedWhenLoading, "Campaigns/Skirmish/Hills");
        EXPECT_FALSE(setup.IsShown());
    }
}

TEST_F(MatchSetupTest, ButtonsAndBackLeadOnByTheSetupsTable) {
    for (const game::SetupStyle* style : {&game::kPassAndPlaySetupStyle, &game::kSkirmishSetupStyle}) {
        auto& setup = Setup(*style);
        struct Step {
            int button;
            ZoneId zone;
            int type;
        };
        for (const Step step : {Step{style->pickMapId, ZoneId::kMapPicker, style->pickMapType},
                                Step{style->optionsId, ZoneId::kMatchOptions, style->optionsType},
                                Step{style->backId, ZoneId::kGameType, 23}}) {
            SCOPED_TRACE(step.button);
            OpenFully(setup, 24);
            const engine::IntPoint pointer = ZoneDriver::CentreOf(setup, step.button);
            driver.Click(setup, step.button);
            auto* next = registry.GetTitled(step.zone);
            EXPECT_TRUE(next->IsShown());
            EXPECT_EQ(next->GetType(), step.type);
            EXPECT_EQ(next->GetOrigin().x, static_cast<float>(pointer.x));
            game::CloseZone(*next);
        }
        OpenFully(setup, 24);
        driver.MoveTo(400, 400);
        driver.TapBack();
        EXPECT_EQ(registry.GetTitled(ZoneId::kGameType)->GetOrigin().x, 0.0f);
        game::CloseZone(*registry.Get(ZoneId::kGameType));
    }
}

TEST_F(MatchSetupTest, WithoutAThumbnailOnlyTheBackdropAndButtonsAreDrawn) {
    auto& setup = Setup(game::kSkirmishSetupStyle);
    OpenFully(setup, 25);
    driver.Run(0.25f);
    recorder.Clear();
    driver.Frame();
    EXPECT_EQ(recorder.FindText("[SKM_STARTCASH_BLUE]"), nullptr);
    EXPECT_TRUE(recorder.ImagesOf("GUI/uibits2", {0, 400, 426, 233}).empty());
    EXPECT_NE(recorder.FindText("[GEN_PLAY]"), nullptr);
}

TEST_F(MatchSetupTest, TheCashPanelsDifferByTheSetupsTable) {
    loader.Add("Campaigns/Skirmish/Hills/thumbnail", 233, 197);
    picker->SelectMap("Campaigns/Skirmish/Hills");
    profile.matchOptions = {1000, 50, 25, 10};
    struct Case {
        const game::SetupStyle* style;
        int type;
        const char* secondKey;
        const char* secondRaw;
        const char* firstValueRaw;
    };
    const Case cases[] = {
        {&game::kPassAndPlaySetupStyle, 24, "[X000] [SKM_STARTCASH_GREEN]", "@C[4]@X[000] [SKM_STARTCASH_GREEN]",
         "1,000"},
        {&game::kSkirmishSetupStyle, 25, "[SKM_STARTCASH_ENEMY]", "@C[4][SKM_STARTCASH_ENEMY]",
         "@C[4]@X[000] 1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        auto& setup = Setup(*c.style);
        OpenFully(setup, c.type);
        recorder.Clear();
        driver.Frame();
        const DrawEntry* second = recorder.FindText(c.secondKey);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(second->raw, c.secondRaw);
        EXPECT_EQ(second->x, 505);
        EXPECT_EQ(second->y, 190);
        bool valueFound = false;
        for (const DrawEntry& e : recorder.log) {
            if (e.kind == "text" && e.raw == c.firstValueRaw) {
                valueFound = true;
                EXPECT_EQ(e.x, 901);
                EXPECT_EQ(e.y, 150);
            }
        }
        EXPECT_TRUE(valueFound);
        ASSERT_NE(recorder.FindText("Rolling Hills"), nullptr);
        EXPECT_EQ(recorder.FindText("Rolling Hills")->x, 255);
        EXPECT_EQ(recorder.ImagesOf("Campaigns/Skirmish/Hills/thumbnail", {0, 0, 228, 192}).size(), 1u);
        game::CloseZone(setup);
    }
}

TEST_F(MatchSetupTest, AStoredValueNotInTheTableStaysUntilItsSliderMoves) {
    profile.matchOptions = {75, 300, 25, 33};
    OpenFully(*options, game::kZoneMatchOptionsPassAndPlay);
    EXPECT_EQ(Slider(0).GetPosition(), 0);
    EXPECT_EQ(Slider(1).GetPosition(), 6);
    EXPECT_EQ(Slider(2).GetPosition(), 2);
    EXPECT_EQ(Slider(3).GetPosition(), 0);
    EXPECT_EQ(std::string(Slider(1).GetTooltip().GetNarrow()), "@X[000]300");
    EXPECT_EQ(profile.matchOptions, (std::array<int, 4>{75, 300, 25, 33}));
    EXPECT_FALSE(profile.dirty);

    ZoneDriver::Send(*options, engine::kEventSliderMoved, game::kOptionSliders[1], 8);
    EXPECT_EQ(profile.matchOptions, (std::array<int, 4>{75, 1000, 25, 33}));
    EXPECT_TRUE(profile.dirty);
    EXPECT_EQ(std::string(Slider(1).GetTooltip().GetNarrow()), "@X[000]1,000");
    ZoneDriver::Send(*options, engine::kEventSliderMoved, game::kOptionSliders[0], 3);
    EXPECT_EQ(profile.matchOptions, (std::array<int, 4>{150, 1000, 25, 33}));
    // A position outside the table changes nothing.
    ZoneDriver::Send(*options, engine::kEventSliderMoved, game::kOptionSliders[3], 9);
    EXPECT_EQ(profile.matchOptions[3], 33);

    game::CloseZone(*options);
    EXPECT_EQ(profile.saves, 1);
}

TEST_F(MatchSetupTest, TheOptionsLabelTheSecondSideAndReturnByType) {
    struct Case {
        int type;
        const char* startLabel;
        const char* bonusLabel;
        ZoneId setup;
        int setupType;
    };
    const Case cases[] = {
        {28, "[SKM_STARTCASH_GREEN]", "[SKM_BONUSCASH_GREEN]", ZoneId::kPassAndPlaySetup, 24},
        {29, "[SKM_STARTCASH_ENEMY]", "[SKM_BONUSCASH_ENEMY]", ZoneId::kSkirmishSetup, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        for (const bool byButton : {true, false}) {
            OpenFully(*options, c.type);
            EXPECT_EQ(std::string(Slider(1).GetText().GetNarrow()), c.startLabel);
            EXPECT_EQ(std::string(Slider(3).GetText().GetNarrow()), c.bonusLabel);
            engine::IntPoint pointer{0, 0};
            if (byButton) {
                pointer = ZoneDriver::CentreOf(*options, game::kOptionsDone);
                driver.Click(*options, game::kOptionsDone);
            } else {
                driver.TapBack();
            }
            auto* setup = registry.GetTitled(c.setup);
            EXPECT_TRUE(setup->IsShown());
            EXPECT_EQ(setup->GetType(), c.setupType);
            EXPECT_EQ(setup->GetOrigin().x, static_cast<float>(pointer.x));
            game::CloseZone(*setup);
        }
    }
}

}  // namespace
}  // namespace screens_test
