#include <gtest/gtest.h>

#include "engine/gui/dialog_control.h"
#include "game/screens/game_screens.h"
#include "game/screens/move_choice_zone.h"
#include "game/screens/program_screens.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::MoveChoiceZone;
using game::ZoneId;
using testsupport::ZoneDriver;

// Choice values and their labels.
enum Choice : int {
    kCancel = 1,
    kMoveOver = 2,
    kMoveUnder = 3,
    kPickUp = 5,
    kEmbark = 6,
    kDisembark = 7,
    kMoveHere = 8,
    kAttack = 9,
};

class MoveChoiceTest : public ScreenTest {
protected:
    void SetUp() override {
        ui.art[game::kArtChoiceBack] = loader.Load("GUI/ChoiceBack");
        game::RegisterHudAndShopZones(registry);
        ASSERT_TRUE(registry.CreateZones());
        menu = &ZoneOf<MoveChoiceZone>(ZoneId::kMoveChoice);
    }
    engine::DialogControl& Button(int i) const { return *menu->GetWindow()->FindControl(game::kFirstChoiceButton + i); }
    engine::IntRect Rect() const { return menu->GetWindow()->GetRect(); }

    MoveChoiceZone* menu = nullptr;
};

TEST_F(MoveChoiceTest, PlacedBesideTheAnchorAndKeptOnScreen) {
    struct Case {
        int x, y, choices;
        engine::IntRect rect;
    };
    const Case cases[] = {
        {900, 600, 2, {704, 340, 256, 300}},  // pushed back from the bottom-right corner
        {100, 20, 1, {200, 112, 256, 300}},   // kept below the HUD panels
        {-300, 300, 2, {0, 150, 256, 300}},   // never left of the screen
        {300, 400, 2, {400, 250, 256, 300}},
        {300, 400, 3, {400, 190, 256, 420}},  // the third choice takes the taller art, centred again
        {300, 330, 4, {400, 100, 256, 540}},  // the screen bottom wins over the HUD margin
        {300, 330, 0, {400, 180, 256, 300}},  // before the first choice: the smallest art
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << " with " << c.choices);
        menu->OpenAt(c.x, c.y);
        for (int i = 0; i < c.choices; ++i) menu->AddChoice(kMoveHere);
        EXPECT_EQ(Rect(), c.rect);
    }
}

TEST_F(MoveChoiceTest, ChoicesFillTheButtonsTopDownAndAFifthIsIgnored) {
    menu->OpenAt(300, 300);
    EXPECT_TRUE(menu->IsShown());
    EXPECT_TRUE(menu->GetWindow()->IsExclusive());
    for (const int value : {kMoveHere, kAttack, kEmbark, kCancel,
                            kPickUp}) {
        menu->AddChoice(value);
    }
    EXPECT_EQ(menu->GetCount(), 4);
    const char* labels[] = {"[MC_MOVEHERE]", "[MC_ATTACK]", "[MC_EMBARK]", "[MC_CANCEL]"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Button(i).GetRect(), (engine::IntRect{24, 56 + 114 * i, 200, 112}));
        EXPECT_EQ(Button(i).GetDisabled(), 0);
        EXPECT_STREQ(Button(i).GetText().GetNarrow(), labels[i]);
    }
    // Opening again clears the choices; the buttons hide until choices come.
    menu->OpenAt(300, 300);
    EXPECT_EQ(menu->GetCount(), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Button(i).GetDisabled(), 2);
    menu->AddChoice(42);  // no such value: the label stays as it was
    EXPECT_STREQ(Button(0).GetText().GetNarrow(), "[MC_MOVEHERE]");
    EXPECT_EQ(Button(1).GetDisabled(), 2);
}

TEST_F(MoveChoiceTest, AReleasedChoiceIsRecordedAndAPressDraggedOffChoosesNothing) {
    menu->OpenAt(300, 300);
    menu->AddChoice(kMoveOver);
    menu->AddChoice(kMoveUnder);
    driver.Frame();
    driver.Press(*menu, game::kFirstChoiceButton + 1);
    const engine::IntRect rect = Rect();
    driver.MoveTo(rect.x + rect.width + 50, rect.y + rect.height + 50);
    driver.Release();
    EXPECT_EQ(menu->GetChoice(), 0);
    EXPECT_TRUE(sound.uiSounds.empty());

    driver.Click(*menu, game::kFirstChoiceButton + 1);
    EXPECT_EQ(menu->GetChoice(), kMoveUnder);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});
    // The caller hides the menu; opening again forgets the choice.
    menu->SetShown(false, false);
    menu->OpenAt(300, 300);
    EXPECT_EQ(menu->GetChoice(), 0);
}

TEST_F(MoveChoiceTest, TheOrderPortDrivesTheZoneAndAnswersNothingWithoutIt) {
    game::ZoneRegistry empty{ui};
    game::ZoneMoveChoice absent(empty);
    absent.OpenAt(300, 300);
    absent.AddChoice(kAttack);
    EXPECT_FALSE(absent.IsShown());
    EXPECT_EQ(absent.GetChoice(), game::kChoiceNone);

    game::ZoneMoveChoice port(registry);
    port.OpenAt(300, 300);
    port.AddChoice(kMoveHere);
    port.AddChoice(kAttack);
    EXPECT_TRUE(port.IsShown());
    EXPECT_EQ(menu->GetCount(), 2);
    driver.Frame();
    driver.Click(*menu, game::kFirstChoiceButton + 1);
    EXPECT_EQ(port.GetChoice(), kAttack);
    port.SetShown(false, false);
    EXPECT_FALSE(menu->IsShown());
}

TEST_F(MoveChoiceTest, DrawsTheArtOfItsCountTheTitleAndItsChoices) {
    menu->OpenAt(300, 400);
    for (int i = 0; i < 3; ++i) menu->AddChoice(kDisembark);
    recorder.Clear();
    driver.Frame();
    const auto back = recorder.ImagesOf("GUI/ChoiceBack", {265, 0, 256, 420});
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].destination, Rect());
    const DrawEntry* title = recorder.FindText("[MC_TITLE]");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, Rect().x + 122);
    EXPECT_EQ(title->y, Rect().y + 18);
    EXPECT_EQ(recorder.ImagesOf("GUI/ChoiceBack", {0, 550, 200, 112}).size(), 3u);
    EXPECT_EQ(recorder.Texts().size(), 4u);
}

}  // namespace
}  // namespace screens_test
