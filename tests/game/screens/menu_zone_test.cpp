#include <gtest/gtest.h>

#include "engine/gui/dialog_system.h"
#include "engine/gui/list_box.h"
#include "game/screens/menu_zone.h"
#include "game/screens/screen_draw.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;
using testsupport::ZoneDriver;

constexpr int kPlay = 23;
constexpr int kQuit = 27;

// A sample menu: one button that goes on to the game type screen, one that quits, and the main menu as parent.
class MenuZoneTest : public ScreenTest {
protected:
    void SetUp() override {
        registry.Register(ZoneId::kCredits, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            std::vector<game::MenuEntry> entries = {
                {kPlay, "MM_PLAYGAME", 1, {}, 0, game::MenuZone::OpenAction(ZoneId::kGameType, 23)},
                {kQuit, "MM_QUITGAME", -1, {40, 490, 430, 110}, 5,
                 [](game::MenuZone& menu) { menu.Services().game->RequestQuit(); }},
            };
            return std::make_unique<game::MenuZone>(s, std::move(entries), game::MenuParent{ZoneId::kMainMenu, 8});
        });
        RegisterRecording(ZoneId::kGameType);
        RegisterRecording(ZoneId::kMainMenu);
        ASSERT_TRUE(registry.CreateZones());
        menu = &ZoneOf<game::MenuZone>(ZoneId::kCredits);
    }

    game::MenuZone* menu = nullptr;
};

TEST_F(MenuZoneTest, ButtonsActOnlyOnAReleaseOnceFullyOpen) {
    game::OpenZone(*menu, 14, 0, 0);
    sound.uiSounds.clear();
    // During the zoom a release does nothing.
    EXPECT_EQ(ZoneDriver::Send(*menu, engine::kEventReleased, kPlay), 1);
    EXPECT_TRUE(sound.uiSounds.empty());
    EXPECT_TRUE(menu->IsShown());

    driver.Run(0.25f);
    ASSERT_TRUE(menu->IsFullyOpen());
    // A press is passed on.
    EXPECT_EQ(ZoneDriver::Send(*menu, engine::kEventPressed, kPlay), 0);
    driver.Press(*menu, kPlay);
    EXPECT_TRUE(sound.uiSounds.empty());
    const engine::IntPoint pointer = ZoneDriver::CentreOf(*menu, kPlay);
    driver.Release();

    EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiClick, game::kUiZoomOpen}));
    EXPECT_FALSE(menu->IsShown());
    auto& next = ZoneOf<RecordingZone>(ZoneId::kGameType);
    EXPECT_TRUE(next.IsShown());
    EXPECT_EQ(next.GetType(), 23);
    EXPECT_EQ(next.GetOrigin().x, static_cast<float>(pointer.x));
    EXPECT_EQ(next.GetOrigin().y, static_cast<float>(pointer.y));
}

TEST_F(MenuZoneTest, AnActionRunsAfterTheClickAndBackOpensTheParentFromTheCorner) {
    OpenFully(*menu, 14, 300, 300);
    driver.Click(*menu, kQuit);
    EXPECT_TRUE(game.quit);
    EXPECT_EQ(sound.uiSounds.back(), game::kUiClick);

    driver.TapBack();
    EXPECT_FALSE(menu->IsShown());
    auto& parent = ZoneOf<RecordingZone>(ZoneId::kMainMenu);
    EXPECT_TRUE(parent.IsShown());
    EXPECT_EQ(parent.GetType(), 8);
    EXPECT_EQ(parent.GetOrigin().x, 0.0f);
    EXPECT_EQ(parent.GetOrigin().y, 0.0f);
    // Other keys are not the menu's.
    EXPECT_EQ(ZoneDriver::Send(*menu, engine::kEventNavigate, engine::kNoticePress), 0);
}

TEST_F(MenuZoneTest, DrawsThePictureTheBackdropAndButtonsThatShrinkIntoPlace) {
    game.menuPicture = loader.Add("Common/MenuPic", 1024, 768);
    game::OpenZone(*menu, 14, 0, 0);
    driver.Run(0.2f);
    recorder.Clear();
    driver.Frame();
    ASSERT_TRUE(menu->IsFullyOpen());
    ASSERT_GE(recorder.log.size(), 2u);
    EXPECT_EQ(recorder.log[0].texture, "Common/MenuPic");
    EXPECT_EQ(recorder.log[0].destination, (engine::IntRect{-32, -64, 1024, 768}));
    EXPECT_EQ(recorder.log[1].texture, "GUI/Zoomer");
    // Still opening: the plates are grown and no label is drawn.
    EXPECT_EQ(recorder.FindText("[MM_PLAYGAME]"), nullptr);
    const auto grown = recorder.ImagesOf("GUI/ButtonBits", {168, 0, 384, 112});
    ASSERT_FALSE(grown.empty());
    EXPECT_GT(grown[0].destination.height, 112);

    driver.Run(0.25f);
    recorder.Clear();
    driver.Frame();
    ASSERT_NE(recorder.FindText("[MM_PLAYGAME]"), nullptr);
    EXPECT_NE(recorder.FindText("[ZT_CREDITS]"), nullptr);
    EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", {168, 0, 384, 112})[0].destination.height, 112);
}

TEST_F(ScreenTest, StripListDrawsTheVisibleRowsClippedThenItsFrame) {
    ui.art[game::kArtButtonBits] = loader.Load("GUI/ButtonBits");
    ui.art[game::kArtUiBits] = loader.Load("GUI/uibits2");
    RecordingZone zone(ui);
    engine::ListBox* list = zone.GetWindow()->AddListBox(50, {490, 100, 426, 240});
    ASSERT_NE(list, nullptr);
    for (const char16_t* row : {u"one", u"two", u"three", u"four"}) list->AddRow(row, 0);
    list->SetVisibleRows(3);
    list->SetSelection(1);
    const engine::IntRect rect{490, 100, 426, 240};
    std::vector<std::pair<int, bool>> rows;
    game::DrawStripList(ui, *list, rect, {}, [&rows](int row, const engine::IntRect& strip, bool selected) {
        EXPECT_EQ(strip.x, 501);
        rows.emplace_back(row, selected);
    });
    // Rows whose top lies in the list: 0, 1 and 2 (the fourth starts below it).
    EXPECT_EQ(rows, (std::vector<std::pair<int, bool>>{{0, false}, {1, true}, {2, false}}));
    ASSERT_FALSE(recorder.log.empty());
    EXPECT_EQ(recorder.log.front().kind, "clip");
    EXPECT_EQ(recorder.log.front().destination, (engine::IntRect{500, 107, 408, 224}));
    EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", {0, 620, 406, 80}).size(), 4u);  // three strips, one lit again
    EXPECT_EQ(recorder.log[recorder.log.size() - 2].kind, "unclip");
    EXPECT_EQ(recorder.log.back().texture, "GUI/uibits2");
    EXPECT_EQ(recorder.log.back().source, (engine::IntRect{432, 0, 426, 240}));
}

}  // namespace
}  // namespace screens_test
