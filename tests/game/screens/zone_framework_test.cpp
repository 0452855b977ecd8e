#include <gtest/gtest.h>

#include <cmath>

#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/slider.h"
#include "game/screens/button_drawers.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::OpenZone;
using testsupport::ZoneDriver;

TEST_F(ScreenTest, TitledZoneZoomsOpenFromItsOriginAndSettlesCentred) {
    game.width = 1280;
    game.height = 800;
    RecordingZone zone(ui);
    OpenZone(zone, 8, 0, 0);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiZoomOpen});
    EXPECT_TRUE(zone.IsShown());

    // First frame: the smallest panel, centred on the origin.
    ZoneDriver::Send(zone, engine::kEventDrawDialog);
    EXPECT_EQ(zone.GetWindow()->GetRect(), (engine::IntRect{-24, -16, 48, 32}));
    EXPECT_EQ(zone.GetState(), game::kZoneOpening);

    // Half way: 1 - cos 45 degrees of the size, sin 45 degrees of the way to the screen centre.
    clock.Step(0.1);
    ZoneDriver::Send(zone, engine::kEventDrawDialog);
    const engine::IntRect half = zone.GetWindow()->GetRect();
    EXPECT_EQ(half.width, 281);
    EXPECT_EQ(half.height, 187);
    EXPECT_NEAR(half.x + half.width / 2, 640 * 0.7071, 1.5);
    EXPECT_NEAR(half.y + half.height / 2, 400 * 0.7071, 1.5);

    clock.Step(0.1);
    ZoneDriver::Send(zone, engine::kEventDrawDialog);
    EXPECT_EQ(zone.GetState(), game::kZoneOpen);
    EXPECT_EQ(zone.GetWindow()->GetRect(), (engine::IntRect{160, 80, 960, 640}));
    clock.Step(0.5);
    ZoneDriver::Send(zone, engine::kEventDrawDialog);
    EXPECT_EQ(zone.GetWindow()->GetRect(), (engine::IntRect{160, 80, 960, 640}));

    // Opening again restarts the zoom from the new origin and plays the sound once more.
    OpenZone(zone, 8, 1280, 800);
    ZoneDriver::Send(zone, engine::kEventDrawDialog);
    EXPECT_EQ(zone.GetState(), game::kZoneOpening);
    EXPECT_EQ(zone.GetWindow()->GetRect(), (engine::IntRect{1256, 784, 48, 32}));
    EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiZoomOpen, game::kUiZoomOpen}));
}

TEST_F(ScreenTest, ThePanelCoversTheControlsWhileZoomingAndTheTitleShowsOnceOpen) {
    ui.art[game::kArtZoomer] = loader.Load("GUI/Zoomer");
    RecordingZone zone(ui);
    OpenZone(zone, 33, 0, 0);
    ZoneDriver::Send(zone, engine::kEventAfterDraw);
    ASSERT_EQ(recorder.Of("image:GUI/Zoomer").size(), 1u);
    EXPECT_EQ(recorder.Of("image:GUI/Zoomer")[0].source, (engine::IntRect{0, 0, 960, 640}));
    EXPECT_TRUE(recorder.Texts().empty());

    clock.Step(0.25);
    ZoneDriver::Send(zone, engine::kEventDrawDialog);
    ASSERT_TRUE(zone.IsFullyOpen());
    recorder.Clear();
    EXPECT_EQ(ZoneDriver::Send(zone, engine::kEventAfterDraw), 1);
    EXPECT_TRUE(recorder.log.empty());
    EXPECT_EQ(ZoneDriver::Send(zone, engine::kEventDrawDialog), 1);
    // Without contents of its own the zone gets the resolved target and the shared panel, then its title.
    ASSERT_EQ(recorder.log.size(), 3u);
    EXPECT_EQ(recorder.log[0].kind, "resolve");
    EXPECT_EQ(recorder.log[1].texture, "GUI/Zoomer");
    EXPECT_EQ(recorder.log[1].destination, (engine::IntRect{0, 0, 960, 640}));
    EXPECT_EQ(recorder.log[2].text, "[ZT_CONFIRM]");
    EXPECT_EQ(recorder.log[2].font, game::FontId::kTitle);
    EXPECT_EQ(recorder.log[2].x, 480);
    EXPECT_EQ(recorder.log[2].y, 320 - 276);
    EXPECT_EQ(recorder.log[2].alignment, game::kAlignCentre);
}

TEST_F(ScreenTest, TimeOpenCountsOnceAFrameAndDrivesTheOpeningGrow) {
    RecordingZone zone(ui);
    OpenZone(zone, 8, 0, 0);
    clock.Step(0.2);
    ZoneDriver::Send(zone, engine::kEventDrawDialog);
    ASSERT_TRUE(zone.IsFullyOpen());
    clock.Step(0.05);
    ZoneDriver::Send(zone, engine::kEventDrawDialog);
    ZoneDriver::Send(zone, engine::kEventAfterDraw);
    EXPECT_NEAR(zone.GetTimeOpen(), 0.05f, 1e-4f);
    EXPECT_EQ(zone.OpeningGrow(), 12);
    for (int i = 0; i < 2; ++i) {
        clock.Step(0.1);
        ZoneDriver::Send(zone, engine::kEventDrawDialog);
    }
    EXPECT_EQ(zone.OpeningGrow(), 0);
}

struct RoutingCase {
    int event;
    int a;
    int b;
    const char* call;  // empty: no call
    int result;        // what the engine gets back when the zone answers 7
};

TEST_F(ScreenTest, EveryEngineEventBecomesItsCallAndResult) {
    const RoutingCase cases[] = {
        {engine::kEventCreated, 0, 0, "", 0},
        {engine::kEventShown, 1, 0, "OnShow(1, 0)", 7},
        {engine::kEventDrawDialog, 0, 0, "Draw(0, 0)", 7},
        {engine::kEventDrawControl, 40, 0, "DrawControl(40, 0)", 7},
        {engine::kEventTooltip, 40, 0, "", 1},
        {engine::kEventFocus, 40, 0, "OnFocusChanged(40, 0)", 7},
        {engine::kEventAfterDraw, 0, 0, "Draw(1, 0)", 7},
        {engine::kEventNavigate, 5, 0, "OnKey(5, 0)", 7},
        {engine::kEventPressed, 40, 0, "OnControl(1, 40)", 7},
        {engine::kEventHover, 40, 0, "", 0},
        {engine::kEventReleased, 40, 0, "OnControl(0, 40)", 7},
        {engine::kEventHoverChanged, 40, 0, "", 0},
        {engine::kEventSliderMoved, 40, 3, "OnListSelect(40, 3)", 7},
        {99, 0, 0, "", 0},
    };
    RecordingZone zone(ui);
    zone.plainDraw = true;
    zone.result = 7;
    const engine::IntRect rect{1, 2, 3, 4};
    for (const RoutingCase& c : cases) {
        zone.calls.clear();
        EXPECT_EQ(ZoneDriver::Send(zone, c.event, c.a, c.b, &rect), c.result) << "event " << c.event;
        const std::vector<std::string> expected = *c.call != '\0' ? std::vector<std::string>{c.call}
                                                                  : std::vector<std::string>{};
        EXPECT_EQ(zone.calls, expected) << "event " << c.event;
    }
    // The creation event bound the zone being made to its window; a window of no zone answers 0.
    EXPECT_EQ(zone.GetWindow()->GetOwner(), &zone);
    game::ZoneWindow stray;
    EXPECT_EQ(game::ZoneWindowProc(stray, engine::kEventTooltip, 0, 0, nullptr), 0);
}

TEST(ZoneTitles, EveryTypeHasItsKeyOrNone) {
    const char* const expected[] = {
        "ZT_SETTINGS", "ZT_SETTINGS", "", "", "ZT_AIRPORT", "ZT_BARRACKS", "ZT_FACTORY", "ZT_SHIPYARD",
        "ZT_MAINMENU", "ZT_PAUSED", "ZT_MISSIONWIN", "ZT_MISSIONLOSE", "", "ZT_CHEATS", "ZT_CREDITS",
        "ZT_OBJECTIVE", "ZT_TURNMENU", "", "", "", "", "ZT_SPEECHPICKER", "ZT_CAMPAIGNPICKER", "ZT_GAMETYPE",
        "ZT_PASSANDPLAY", "ZT_SKIRMISH", "ZT_PICKMAP", "ZT_PICKMAP", "ZT_PPOPTIONS", "ZT_PPOPTIONS", "ZT_LOAD",
        "ZT_SAVE", "ZT_ACHIEVEMENTS", "ZT_CONFIRM", "", "ZT_DIFFICULTY"};
    for (int type = 0; type < 36; ++type) EXPECT_STREQ(game::ZoneTitleKey(type), expected[type]) << type;
    for (const int type : {-1, 36, 1000}) EXPECT_STREQ(game::ZoneTitleKey(type), "") << type;
}

TEST(ZoneLayout, RectanglesOfTheBase) {
    using engine::IntRect;
    EXPECT_EQ(game::ButtonIconRect(30), (IntRect{140, 284, 70, 70}));
    EXPECT_EQ(game::ButtonIconRect(0), (IntRect{0, 354, 70, 70}));
    EXPECT_EQ(game::ButtonIconRect(13), (IntRect{910, 354, 70, 70}));
    EXPECT_EQ(game::ButtonIconRect(14), (IntRect{0, 424, 70, 70}));
    EXPECT_EQ(game::ButtonIconRect(27), (IntRect{910, 424, 70, 70}));
    EXPECT_EQ(game::ButtonIconRect(28), (IntRect{0, 284, 70, 70}));
    EXPECT_EQ(game::UnitIconRect(0), game::UnitIconRect(1));
    EXPECT_EQ(game::UnitIconRect(1), (IntRect{0, 152, 64, 64}));
    EXPECT_EQ(game::UnitIconRect(8), (IntRect{0, 216, 64, 64}));
    EXPECT_EQ(game::UnitIconRect(24), (IntRect{144, 344, 64, 64}));
    EXPECT_EQ(game::MenuButtonRect(6), (IntRect{40, 490, 430, 110}));
    EXPECT_EQ(game::MenuButtonRect(7), (IntRect{490, 490, 430, 110}));
    EXPECT_EQ(game::NarrowButtonRect(3), (IntRect{490, 230, 320, 110}));
    EXPECT_EQ(game::NarrowButtonRect(0), (IntRect{150, 100, 320, 110}));
    EXPECT_EQ(game::SidePanelRect(2, true), (IntRect{40, 100, 426, 233}));
    EXPECT_EQ(game::SidePanelRect(3, false), (IntRect{490, 100, 426, 372}));
    EXPECT_EQ(game::SidePanelRect(4, true), (IntRect{40, 100, 426, 500}));
    EXPECT_EQ(game::SidePanelRect(7, true, {1, 2, 3, 4}), (IntRect{1, 2, 3, 4}));
    EXPECT_EQ(game::CampaignMapButtonRect(2), (IntRect{620, 490, 300, 110}));
    EXPECT_EQ(game::InsetRect({10, 20, 100, 50}, 4), (IntRect{12, 22, 96, 46}));
}

// A colour code keeps its colour on the lines the wrap broke off after it, until another code.
TEST_F(ScreenTest, WrappedLinesKeepTheColourInForce) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<int> entries;  // the colour entry of each drawn line
    };
    // The synthetic font sets glyphs 5 to 7 px apart: 60 px holds one of these words a line.
    const Case cases[] = {
        {"prefix on every line", "@C[4]alpha bravo charlie", {4, 4, 4}},
        {"code mid-text", "alpha @C[3]bravo charlie", {0, 3, 3}},
        {"later code wins", "@C[4]alpha bravo @C[1]charlie delta", {4, 4, 1, 1}},
        {"no code", "alpha bravo", {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine::TextWrap lines;
        lines.Wrap(*ui.Font(game::FontId::kMain), engine::WideString(c.text), 60);
        ASSERT_EQ(lines.GetLineCount(), static_cast<int>(c.entries.size()));
        recorder.Clear();
        game::DrawTextLines(ui, game::FontId::kMain, lines, 100, 50, game::kAlignLeft);
        const auto texts = recorder.Of("text");
        ASSERT_EQ(texts.size(), c.entries.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].colourEntry, c.entries[i]) << i;
            EXPECT_EQ(texts[i].x, 100);
            EXPECT_EQ(texts[i].y, 50 + 12 * static_cast<int>(i)) << "one line spacing apart";
        }
    }
    // A literal "@" is no colour code: the next line starts without one.
    engine::TextWrap literal;
    literal.Wrap(*ui.Font(game::FontId::kMain), engine::WideString("@@C[4]x bravo"), 60);
    ASSERT_EQ(literal.GetLineCount(), 2);
    recorder.Clear();
    game::DrawTextLines(ui, game::FontId::kMain, literal, 0, 0, game::kAlignLeft);
    ASSERT_EQ(recorder.Of("text").size(), 2u);
    EXPECT_EQ(recorder.Of("text")[1].raw, "bravo");
}

TEST_F(ScreenTest, PanelPictureIsDrawnAtSixTenthsCentredInThePanel) {
    const std::uint32_t picture = loader.Add("Maps/Thumb", 400, 200);
    game::DrawPanelPicture(ui, picture, {490, 100, 426, 372});
    ASSERT_EQ(recorder.log.size(), 1u);
    EXPECT_EQ(recorder.log[0].destination, (engine::IntRect{716 - 120, 400 - 60, 240, 120}));
    EXPECT_EQ(recorder.log[0].blend, game::kBlendAlpha);
}

// The look of a button: its plate passes, plate rectangle and colour, and its label.
struct MenuButtonCase {
    const char* name;
    bool pressed;
    bool hovered;
    int disabled;
    bool highlight;
    engine::IntRect rect;
    int grow;
    engine::IntRect plate;
    std::size_t platePasses;
    std::uint32_t plateColour;
    const char* label;  // null: none
    int labelX;
    int labelAlignment;
    int labelColour;
};

TEST_F(ScreenTest, MenuButtonLooksByState) {
    const engine::IntRect left{40, 100, 430, 110};
    const engine::IntRect right{490, 100, 430, 110};
    const MenuButtonCase cases[] = {
        {"normal", false, false, 0, false, left, 0, {86, 101, 384, 112}, 1, 0xFFFFFFFF, "Go", 160, 0x20, 0},
        {"hovered", false, true, 0, false, left, 0, {86, 101, 384, 112}, 2, 0xFFFFFFFF, "Go", 160, 0x20, 0},
        {"pressed", true, false, 0, false, left, 0, {88, 103, 380, 108}, 2, 0xFFFFFFFF, "Go", 160, 0x20, 4},
        {"highlighted", false, false, 0, true, left, 0, {88, 103, 380, 108}, 2, 0xFFFFFFFF, "Go", 160, 0x20, 4},
        {"disabled", false, true, 1, false, left, 0, {86, 101, 384, 112}, 1, 0xFF808080, "Go", 160, 0x20, 3},
        {"mirrored", false, false, 0, false, right, 0, {490, 101, -384, 112}, 1, 0xFFFFFFFF, "Go", 800, 0x22, 0},
        {"growing", false, false, 0, false, left, 9, {82, 97, 392, 120}, 1, 0xFFFFFFFF, nullptr, 0, 0, 0},
    };
    ui.art[game::kArtButtonBits] = loader.Load("GUI/ButtonBits");
    RecordingZone zone(ui);
    engine::DialogControl& button = *zone.GetWindow()->FindControl(40);
    for (const MenuButtonCase& c : cases) {
        SCOPED_TRACE(c.name);
        button.SetPressed(c.pressed);
        button.SetHovered(c.hovered);
        button.SetDisabled(c.disabled);
        recorder.Clear();
        game::DrawMenuButton(ui, button, c.rect, c.grow, c.highlight);
        const auto plates = recorder.ImagesOf("GUI/ButtonBits", {168, 0, 384, 112});
        ASSERT_EQ(plates.size(), c.platePasses);
        EXPECT_EQ(plates[0].destination, c.plate);
        EXPECT_EQ(plates[0].colour, c.plateColour);
        EXPECT_EQ(plates[0].blend, game::kBlendAlpha);
        if (c.platePasses == 2) {
            EXPECT_EQ(plates[1].blend, game::kBlendLit);
        }
        // The icon of the button's user value sits on its back, never lit.
        EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", game::ButtonIconRect(3)).size(), 1u);
        if (c.label == nullptr) {
            EXPECT_TRUE(recorder.Texts().empty());
            continue;
        }
        const DrawEntry* label = recorder.FindText(c.label);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->font, game::FontId::kLarge);
        EXPECT_EQ(label->x, c.labelX);
        EXPECT_EQ(label->y, 155);
        EXPECT_EQ(label->alignment, c.labelAlignment);
        EXPECT_EQ(label->colourEntry, c.labelColour);
    }
}

TEST_F(ScreenTest, HudAndChoiceButtonsTakeTheirColour) {
    ui.art[game::kArtIngameUi] = loader.Load("GUI/ingameUi");
    ui.art[game::kArtButtonBits] = loader.Load("GUI/ButtonBits");
    ui.art[game::kArtChoiceBack] = loader.Load("GUI/ChoiceBack");
    RecordingZone zone(ui);
    engine::DialogControl& button = *zone.GetWindow()->FindControl(40);
    button.SetPressed(true);
    game::DrawHudButton(ui, button, {100, 0, 112, 112}, 0x400000FF);
    const auto plates = recorder.ImagesOf("GUI/ingameUi", {256, 0, 112, 112});
    ASSERT_EQ(plates.size(), 2u);
    EXPECT_EQ(plates[0].destination, (engine::IntRect{100, 0, 112, 112}));
    EXPECT_EQ(plates[0].colour, 0x400000FFu);
    const auto icons = recorder.ImagesOf("GUI/ButtonBits", game::ButtonIconRect(3));
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].destination, (engine::IntRect{121, 21, 70, 70}));
    EXPECT_EQ(icons[0].colour, 0x40FFFFFFu);

    recorder.Clear();
    button.SetPressed(false);
    game::DrawChoiceButton(ui, button, {24, 56, 200, 112}, 4, 0xFFFFFFFF);
    const auto choice = recorder.ImagesOf("GUI/ChoiceBack", {0, 550, 200, 112});
    ASSERT_EQ(choice.size(), 1u);
    EXPECT_EQ(choice[0].destination, (engine::IntRect{22, 54, 204, 116}));
    ASSERT_NE(recorder.FindText("Go"), nullptr);
    EXPECT_EQ(recorder.FindText("Go")->x, 124);
}

TEST_F(ScreenTest, CampaignMapSliderAndComicButtons) {
    ui.art[game::kArtButtonBits] = loader.Load("GUI/ButtonBits");
    RecordingZone zone(ui);
    engine::DialogControl& button = *zone.GetWindow()->FindControl(40);

    // The campaign-map plate mirrors from half the screen width - 50 on, and shrinks when pressed.
    game::DrawCampaignMapButton(ui, button, {420, 490, 300, 110});
    EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", {682, 0, 300, 112})[0].destination,
              (engine::IntRect{420, 491, 300, 112}));
    EXPECT_EQ(recorder.FindText("Go")->alignment, game::kAlignLeft | game::kAlignMiddle);
    recorder.Clear();
    button.SetPressed(true);
    game::DrawCampaignMapButton(ui, button, {440, 490, 300, 110});
    const auto pressed = recorder.ImagesOf("GUI/ButtonBits", {682, 0, 300, 112});
    ASSERT_EQ(pressed.size(), 2u);
    EXPECT_EQ(pressed[0].destination, (engine::IntRect{442, 493, -296, 108}));
    EXPECT_EQ(recorder.FindText("Go")->colourEntry, 0);

    // The comic button: the back lit when pressed and the icon on it.
    recorder.Clear();
    game::DrawComicButton(ui, button, {806, 490, 114, 110});
    EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", {0, 0, 114, 110}).size(), 2u);
    EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", game::ButtonIconRect(3))[0].destination,
              (engine::IntRect{828, 510, 70, 70}));
    EXPECT_TRUE(recorder.Texts().empty());

    // The slider: its track from 108 px left of the rect, its value text and label at the track's far end.
    recorder.Clear();
    engine::Slider* slider = zone.GetWindow()->AddSlider(41, {150, 200, 300, 50}, u"Volume", u"80");
    ASSERT_NE(slider, nullptr);
    slider->SetDisabled(1);
    game::DrawSliderControl(ui, *slider, {150, 200, 300, 50}, 0);
    const auto track = recorder.ImagesOf("GUI/ButtonBits", {122, 502, 430, 50});
    ASSERT_EQ(track.size(), 1u);
    EXPECT_EQ(track[0].destination, (engine::IntRect{42, 200, 430, 50}));
    EXPECT_EQ(track[0].colour, game::kDisabledGrey);
    EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", game::ButtonIconRect(19)).size(), 1u);
    ASSERT_NE(recorder.FindText("Volume"), nullptr);
    EXPECT_EQ(recorder.FindText("Volume")->colourEntry, 4);
    EXPECT_EQ(recorder.FindText("Volume")->x, 472);
    EXPECT_EQ(recorder.FindText("Volume")->y, 190);
    ASSERT_NE(recorder.FindText("80"), nullptr);
    EXPECT_EQ(recorder.FindText("80")->y, 266);

    // A right-column slider (the settings screen's music volume): the track runs from the rect's left edge to
    // 430 px right of it, flipped, with the back and icon at its right end, inside the 960 px screen.
    recorder.Clear();
    slider->SetDisabled(0);
    game::DrawSliderControl(ui, *slider, {490, 100, 320, 110}, 0);
    const auto mirroredTrack = recorder.ImagesOf("GUI/ButtonBits", {122, 502, 430, 50});
    ASSERT_EQ(mirroredTrack.size(), 1u);
    EXPECT_EQ(mirroredTrack[0].destination, (engine::IntRect{490, 130, -430, 50}));
    const auto backs = recorder.ImagesOf("GUI/ButtonBits", {0, 0, 114, 110});
    ASSERT_EQ(backs.size(), 1u);
    EXPECT_EQ(backs[0].destination, (engine::IntRect{806, 100, 114, 110}));
    ASSERT_NE(recorder.FindText("80"), nullptr);
    EXPECT_EQ(recorder.FindText("80")->x, 490);
    EXPECT_EQ(recorder.FindText("80")->y, 196);
    EXPECT_EQ(recorder.FindText("80")->alignment, game::kAlignLeft) << "the value reads over the track";
}

TEST_F(ScreenTest, SaveSlotButtonReadsItsFieldsWithinTheirSizes) {
    ui.art[game::kArtButtonBits] = loader.Load("GUI/ButtonBits");
    const std::string description = "Campaign";  // fills its field: no terminating zero
    profile.slots[1] = {true, std::vector<char>(description.begin(), description.end()), {'M', 'a', 'p', '\0', 'x'},
                        {'1', '2', '-', '0', '1'}};
    RecordingZone zone(ui);
    const engine::DialogControl& button = *zone.GetWindow()->FindControl(40);
    const engine::IntRect rect{40, 100, 430, 110};

    game::DrawSaveSlotButton(ui, button, rect, 1, 1);
    EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", {168, 0, 384, 112}).size(), 2u);  // selected: lit
    const std::vector<std::pair<std::string, int>> lines = {{"Campaign", 134}, {"Map", 157}, {"12-01", 180}};
    for (const auto& [text, y] : lines) {
        const DrawEntry* entry = recorder.FindText(text);
        ASSERT_NE(entry, nullptr) << text;
        EXPECT_EQ(entry->x, 160);
        EXPECT_EQ(entry->y, y);
    }
    EXPECT_EQ(recorder.FindText("12-01")->colourEntry, 4);

    recorder.Clear();
    game::DrawSaveSlotButton(ui, button, rect, 2, 1);
    EXPECT_EQ(recorder.ImagesOf("GUI/ButtonBits", {168, 0, 384, 112}).size(), 1u);
    ASSERT_NE(recorder.FindText("Empty Slot"), nullptr);
    EXPECT_EQ(recorder.FindText("Empty Slot")->y, 155);
}

}  // namespace
}  // namespace screens_test
