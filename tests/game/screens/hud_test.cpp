#include <gtest/gtest.h>

#include "engine/gui/dialog_control.h"
#include "game/level/turn_start_queue.h"
#include "game/screens/game_screens.h"
#include "game/screens/hud_zones.h"
#include "game/screens/message_banner.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"
#include "game/units/unit_factory.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;
using testsupport::ZoneDriver;

class HudTest : public BattleScreenTest {
protected:
    void SetUp() override {
        BattleScreenTest::SetUp();
        game::RegisterHudAndShopZones(registry);
        RegisterRecording(ZoneId::kEndTurnConfirm);
        RegisterRecording(ZoneId::kPause);
        ASSERT_TRUE(registry.CreateZones());
        buttons = &ZoneOf<game::TurnButtonZone>(ZoneId::kTurnButton);
        bar = &ZoneOf<game::TopBarZone>(ZoneId::kTopBar);
        teamServices.panel = &panel;
    }
    int StateOf(int id) const { return buttons->GetWindow()->FindControl(id)->GetDisabled(); }
    // Both panels shown and slid fully in.
    void ShowPanels() {
        buttons->SetShown(true, false);
        bar->SetShown(true, false);
        driver.Run(0.3f);
    }

    game::TurnButtonZone* buttons = nullptr;
    game::TopBarZone* bar = nullptr;
    game::MessageBanner banner{ui};
    game::UnitPanel panel{ui};
};

TEST_F(HudTest, TurnButtonsFollowTheSideAndFastForward) {
    struct Case {
        int kind;  // 0: no current side
        bool fastForward;
        int endTurn, undo, fastButton;
    };
    const Case cases[] = {
        {0, false, 2, 2, 2},
        {game::kTeamBlue, false, 0, 0, 2},
        {game::kTeamBlue, true, 0, 0, 2},
        {game::kTeamEnemy, false, 2, 2, 0},
        {game::kTeamEnemy, true, 2, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "side " << c.kind << " fast-forward " << c.fastForward);
        if (c.kind != 0) TakeTurn(c.kind, 0);
        game.fastForward = c.fastForward;
        ZoneDriver::Send(*buttons, engine::kEventDrawDialog);
        EXPECT_EQ(StateOf(game::kHudEndTurn), c.endTurn);
        EXPECT_EQ(StateOf(game::kHudUndo), c.undo);
        EXPECT_EQ(StateOf(game::kHudFastForward), c.fastButton);
    }
}

TEST_F(HudTest, EndTurnThroughTheInputOpensTheTurnMenuAndSlidesBothPanelsOut) {
    TakeTurn(game::kTeamBlue, 0);
    ShowPanels();
    ASSERT_EQ(buttons->GetOffset(), 0.0f);
    sound.uiSounds.clear();
    driver.Press(*buttons, game::kHudEndTurn);
    const engine::IntPoint pointer = ZoneDriver::CentreOf(*buttons, game::kHudEndTurn);
    driver.Release();

    auto& menu = ZoneOf<RecordingZone>(ZoneId::kEndTurnConfirm);
    EXPECT_TRUE(menu.IsShown());
    EXPECT_EQ(menu.GetType(), game::kZoneTurnMenu);
    EXPECT_EQ(menu.GetOrigin().x, static_cast<float>(pointer.x));
    EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiClick, game::kUiZoomOpen}));
    EXPECT_TRUE(buttons->IsSlidingOut());
    EXPECT_TRUE(bar->IsSlidingOut());
    // At 500 px/s both are still out of sight only after 112 px, 0.224 s.
    driver.Run(0.2f);
    EXPECT_TRUE(buttons->IsShown());
    EXPECT_TRUE(bar->IsShown());
    driver.Run(0.05f);
    EXPECT_FALSE(buttons->IsShown());
    EXPECT_FALSE(bar->IsShown());
    EXPECT_EQ(bar->GetOffset(), -112.0f);
}

TEST_F(HudTest, BusyAndEmptyRecordsRefuseTheTurnButtons) {
    game::Team& blue = TakeTurn(game::kTeamBlue, 0);
    teamServices.projectileBusy = true;
    ASSERT_TRUE(manager.IsBusy());
    ZoneDriver::Send(*buttons, engine::kEventReleased, game::kHudEndTurn);
    ZoneDriver::Send(*buttons, engine::kEventReleased, game::kHudUndo);
    EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiFail, game::kUiFail}));
    EXPECT_FALSE(ZoneOf<RecordingZone>(ZoneId::kEndTurnConfirm).IsShown());

    // Idle: undo without a record is ignored; with one it clicks and undoes.
    teamServices.projectileBusy = false;
    sound.uiSounds.clear();
    ZoneDriver::Send(*buttons, engine::kEventReleased, game::kHudUndo);
    EXPECT_TRUE(sound.uiSounds.empty());
    manager.SaveUndo(blue.GetUnit(0));
    ASSERT_TRUE(manager.CanUndo());
    EXPECT_EQ(ZoneDriver::Send(*buttons, engine::kEventReleased, game::kHudUndo), 1);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});
    EXPECT_FALSE(manager.CanUndo());
    // A press is passed on.
    EXPECT_EQ(ZoneDriver::Send(*buttons, engine::kEventPressed, game::kHudEndTurn), 0);
}

TEST_F(HudTest, UndoAndBusyButtonsAreDrawnFaint) {
    ui.art[game::kArtIngameUi] = loader.Load("GUI/ingameUi");
    game::Team& blue = TakeTurn(game::kTeamBlue, 0);
    ShowPanels();
    recorder.Clear();
    driver.Frame();
    // End turn in the team colour, undo faint: nothing to undo.
    auto plates = recorder.ImagesOf("GUI/ingameUi", {256, 0, 112, 112});
    ASSERT_EQ(plates.size(), 3u);  // the top bar's pause and the two turn buttons
    std::map<int, std::uint32_t> byX;
    for (const DrawEntry& p : plates) byX[p.destination.x] = p.colour;
    EXPECT_EQ(byX[960 - 224], (blue.GetColour() & 0x00FFFFFFu) | 0x40000000u);
    EXPECT_EQ(byX[960 - 112], blue.GetColour());
    teamServices.projectileBusy = true;
    recorder.Clear();
    driver.Frame();
    for (const DrawEntry& p : recorder.ImagesOf("GUI/ingameUi", {256, 0, 112, 112})) byX[p.destination.x] = p.colour;
    EXPECT_EQ(byX[960 - 112], (blue.GetColour() & 0x00FFFFFFu) | 0x40000000u);
}

TEST_F(HudTest, PauseIsRefusedWhileBusyOnlyOnAHumanTurn) {
    TakeTurn(game::kTeamBlue, 0);
    teamServices.projectileBusy = true;
    ZoneDriver::Send(*bar, engine::kEventReleased, game::kHudPause);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiFail});
    EXPECT_FALSE(ZoneOf<RecordingZone>(ZoneId::kPause).IsShown());

    TakeTurn(game::kTeamEnemy, 0);
    sound.uiSounds.clear();
    ZoneDriver::Send(*bar, engine::kEventReleased, game::kHudPause);
    EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiClick, game::kUiZoomOpen}));
    EXPECT_TRUE(ZoneOf<RecordingZone>(ZoneId::kPause).IsShown());
    EXPECT_EQ(ZoneOf<RecordingZone>(ZoneId::kPause).GetType(), game::kZonePause);
    EXPECT_TRUE(bar->IsSlidingOut());
    EXPECT_TRUE(buttons->IsSlidingOut());
}

TEST_F(HudTest, FastForwardHidesItsButtonOnce) {
    TakeTurn(game::kTeamEnemy, 0);
    ShowPanels();
    ASSERT_EQ(StateOf(game::kHudFastForward), 0);
    sound.uiSounds.clear();
    driver.Click(*buttons, game::kHudFastForward);
    EXPECT_TRUE(game.fastForward);
    EXPECT_EQ(StateOf(game::kHudFastForward), 2);
    EXPECT_TRUE(buttons->IsSlidingOut());
    EXPECT_FALSE(bar->IsSlidingOut());
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});
    ZoneDriver::Send(*buttons, engine::kEventReleased, game::kHudFastForward);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});
}

TEST_F(HudTest, ToggleSlidesOutWhenShownAndShowsWhenHidden) {
    TakeTurn(game::kTeamBlue, 0);
    game::GameScreens screens(registry);
    screens.ToggleTurnPanels();
    EXPECT_TRUE(buttons->IsShown());
    EXPECT_TRUE(bar->IsShown());
    driver.Run(0.1f);
    EXPECT_LT(bar->GetOffset(), 0.0f);
    EXPECT_GT(bar->GetOffset(), -112.0f);
    screens.ToggleTurnPanels();
    EXPECT_TRUE(bar->IsSlidingOut());
    driver.Run(0.3f);
    EXPECT_FALSE(bar->IsShown());
}

TEST_F(HudTest, TopBarCountsTheCashUpWithUpkeepsAndNeverPastIt) {
    game::Team& blue = TakeTurn(game::kTeamBlue, 1000);
    ShowPanels();
    profile.options = game::kOptionUpkeeps;
    bar->RefreshCash();
    blue.SetCash(1500);
    driver.Frame();
    driver.Frame();
    EXPECT_EQ(bar->GetShownCash(), 1002);
    recorder.Clear();
    driver.Frame();
    ASSERT_NE(recorder.FindText("[X000]1003"), nullptr);
    EXPECT_EQ(recorder.FindText("[X000]1003")->x, 132);
    EXPECT_EQ(recorder.FindText("[X000]1003")->y, 82);

    // A long frame steps by 10 but stops at the cash.
    blue.SetCash(1005);
    driver.Frame(100);
    EXPECT_EQ(bar->GetShownCash(), 1005);
    // A drop shows at once.
    blue.SetCash(40);
    driver.Frame();
    EXPECT_EQ(bar->GetShownCash(), 40);
    // Without upkeeps the cash shows as it is.
    profile.options = 0;
    blue.SetCash(900);
    driver.Frame();
    EXPECT_EQ(bar->GetShownCash(), 900);
}

TEST_F(HudTest, TopBarShowsTheDayOrTheSurvivalCountAndTheMedal) {
    ui.art[game::kArtIngameUi] = loader.Load("GUI/ingameUi");
    TakeTurn(game::kTeamBlue, 0);
    ShowPanels();
    game.mode = game::kGameModeCampaign;
    game.medal = 2;
    game.medalTurnsLeft = 3;
    recorder.Clear();
    driver.Frame();
    const DrawEntry* day = recorder.FindText("[GEN_DAY]");
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->colourEntry, 4);
    EXPECT_EQ(day->y, 28);
    ASSERT_NE(recorder.FindText(std::to_string(manager.GetDay())), nullptr);
    const auto medal = recorder.ImagesOf("GUI/ingameUi", {50, 416, 50, 50});
    ASSERT_EQ(medal.size(), 1u);
    EXPECT_EQ(medal[0].destination, (engine::IntRect{272, 41, 50, 50}));
    ASSERT_NE(recorder.FindText("3"), nullptr);
    EXPECT_EQ(recorder.FindText("3")->alignment, game::kAlignRight);

    game.survival = true;
    game.survivorTurns = 10;
    recorder.Clear();
    driver.Frame();
    const DrawEntry* survival = recorder.FindText("[GEN_DAYP]");
    ASSERT_NE(survival, nullptr);
    const DrawEntry* count = recorder.FindText(std::to_string(10 - manager.GetDay() + 1));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->font, game::FontId::kLarge);
    EXPECT_TRUE(recorder.ImagesOf("GUI/ingameUi", {50, 416, 50, 50}).empty());

    // Outside the campaign a survival mission counts days and shows no medal.
    game.mode = game::kGameModeSkirmish;
    recorder.Clear();
    driver.Frame();
    EXPECT_NE(recorder.FindText("[GEN_DAY]"), nullptr);
    EXPECT_TRUE(recorder.ImagesOf("GUI/ingameUi", {50, 416, 50, 50}).empty());
}

TEST(BannerScale, OpensOvershootsHoldsAndCloses) {
    const std::pair<float, float> cases[] = {{0.0f, 0.0f},   {0.1f, 0.8485f}, {0.199f, 1.2f}, {0.2f, 1.0f},
                                             {1.0f, 1.0f},   {1.9f, 1.0f},    {1.95f, 0.7071f}, {2.0f, 0.0f}};
    for (const auto& [elapsed, scale] : cases) {
        EXPECT_NEAR(game::MessageBanner::ScaleAt(elapsed, 2.0f), scale, 2e-3f) << elapsed;
    }
}

TEST_F(HudTest, BannerShowsItsTextOnlyWhileFullyOpen) {
    ui.art[game::kArtZoomer] = loader.Load("GUI/Zoomer");
    banner.Show(engine::WideString("Hello there"), 2.0f);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiTextPopup});
    EXPECT_TRUE(banner.IsShowing());
    // The banner counts its time down by each frame it draws.
    clock.Step(0.05);
    banner.Draw();
    recorder.Clear();
    clock.Step(0.05);
    banner.Draw();
    EXPECT_TRUE(recorder.Texts().empty());
    const auto gradients = recorder.Of("gradient");
    ASSERT_EQ(gradients.size(), 2u);
    // Panel 12 + 20 high at 0.85: 13 up and down from 0.6 of the screen height; 0.4 of the screen wide.
    EXPECT_EQ(gradients[0].destination, (engine::IntRect{288, 384 - 13, 384, 13}));
    EXPECT_EQ(gradients[0].colour, 0x40000000u);
    EXPECT_EQ(gradients[0].bottomColour, static_cast<std::uint32_t>(128 + static_cast<int>(0.8485f * 127)) << 24);
    const auto edges = recorder.Of("image:GUI/Zoomer");
    ASSERT_EQ(edges.size(), 2u);
    // The edge line is cut from the middle of the 1024-wide sheet.
    EXPECT_EQ(edges[0].source, (engine::IntRect{320, 648, 384, 8}));
    EXPECT_EQ(edges[0].destination, (engine::IntRect{288, 384 - 13 - 4, 384, 8}));

    for (int i = 0; i < 4; ++i) {
        recorder.Clear();
        clock.Step(0.05);
        banner.Draw();
    }
    ASSERT_NE(recorder.FindText("Hello there"), nullptr);
    EXPECT_EQ(recorder.FindText("Hello there")->x, 480);
    EXPECT_EQ(recorder.FindText("Hello there")->y, 384);

    for (int i = 0; i < 40; ++i) {
        recorder.Clear();
        clock.Step(0.05);
        banner.Draw();
    }
    EXPECT_TRUE(recorder.log.empty());
    EXPECT_FALSE(banner.IsShowing());
}

TEST_F(HudTest, BannerEdgeStaysInsideTheSheetOnWideScreens) {
    game.width = 3000;
    game::MessageBanner wide(ui);
    ui.art[game::kArtZoomer] = loader.Load("GUI/Zoomer");
    wide.Show(engine::WideString("x"), 2.0f);
    clock.Step(0.1);
    wide.Draw();
    const auto edges = recorder.Of("image:GUI/Zoomer");
    ASSERT_EQ(edges.size(), 2u);
    EXPECT_EQ(edges[0].source, (engine::IntRect{0, 648, 1024, 8}));
    EXPECT_EQ(edges[0].destination.x, 1500 - 512);
}

TEST_F(HudTest, BannerIsIgnoredBetweenTurnsUnlessIntrosAreOnAndANewMessageReplacesTheOld) {
    game.state = 6;
    banner.Show(engine::WideString("skipped"), 2.0f);
    EXPECT_FALSE(banner.IsShowing());
    EXPECT_TRUE(sound.uiSounds.empty());
    profile.options = game::kOptionMissionIntros;
    banner.Show(engine::WideString("first"), 2.0f);
    EXPECT_TRUE(banner.IsShowing());
    banner.Show(engine::WideString("second"), 3.0f);
    ASSERT_EQ(banner.GetText().GetLineCount(), 1);
    EXPECT_STREQ(banner.GetText().GetLine(0).GetNarrow(), "second");
    banner.Hide();
    EXPECT_FALSE(banner.IsShowing());
}

class UnitPanelTest : public HudTest {
protected:
    void SetUp() override {
        HudTest::SetUp();
        ui.art[game::kArtIngameUi] = loader.Load("GUI/ingameUi");
        blue = &TakeTurn(game::kTeamBlue, 0);
    }
    // The colours of the pips of a cell in left-to-right order.
    std::vector<std::uint32_t> Pips(const engine::IntRect& cell) {
        std::vector<std::uint32_t> colours;
        for (const DrawEntry& e : recorder.ImagesOf("GUI/ingameUi", cell)) colours.push_back(e.colour);
        return colours;
    }
    void DrawPanel(game::Unit* unit) {
        recorder.Clear();
        panel.SetUnit(unit);
        panel.Draw();
    }

    game::Team* blue = nullptr;
    const engine::IntRect ammoPip{130, 120, 30, 32};
    const engine::IntRect fuelPip{98, 120, 30, 32};
    const engine::IntRect readyMark{352, 120, 32, 32};
};

TEST_F(UnitPanelTest, AmmunitionAndFuelPips) {
    game::Unit* tank = Spawn(*blue, game::UT_HEAVY_TANK, battle_test::H(3, 3));  // 5 shots, 180 fuel
    ASSERT_NE(tank, nullptr);
    tank->SetAmmo(3);
    tank->SetFuel(90.0f);
    DrawPanel(tank);
    EXPECT_EQ(Pips(ammoPip), (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF404040, 0xFF404040}));
    const auto ammo = recorder.ImagesOf("GUI/ingameUi", ammoPip);
    EXPECT_EQ(ammo[1].destination, (engine::IntRect{88, 562, 30, 32}));
    EXPECT_EQ(Pips(fuelPip), (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0xFF787878}));
    EXPECT_EQ(recorder.ImagesOf("GUI/ingameUi", fuelPip)[2].destination, (engine::IntRect{116, 594, 30, 32}));

    // Low fuel: one red pip, from the in-game sheet.
    tank->SetFuel(9.0f);
    DrawPanel(tank);
    EXPECT_EQ(Pips(fuelPip), std::vector<std::uint32_t>{0xFFFF0000});
    EXPECT_TRUE(recorder.Of("image:GUI/Zoomer").empty());
}

TEST_F(UnitPanelTest, AmmunitionPipsStopAtEight) {
    // A light tank whose table gives it 10 shots.
    game::FreeUnitAssets();
    std::string table = units_test::ProjectTable("BasicParams.TXT");
    const std::size_t row = table.find("UT_LIGHT_TANK");
    const std::size_t shots = table.find(",    8,", row);
    ASSERT_NE(shots, std::string::npos);
    table.replace(shots, 7, ",   10,");
    ASSERT_TRUE(data.Write("Units/BasicParams.TXT", table));
    ASSERT_EQ(game::LoadUnitAssets(battle, &views), 1);
    ASSERT_EQ(game::GetUnitParams(game::UT_LIGHT_TANK).ammoCapacity, 10);
    game::Unit* tank = Spawn(*blue, game::UT_LIGHT_TANK, battle_test::H(3, 3));
    ASSERT_NE(tank, nullptr);
    DrawPanel(tank);
    EXPECT_EQ(Pips(ammoPip).size(), 8u);
}

TEST_F(UnitPanelTest, ReadyMarkPassengerAndTheNameLine) {
    game::Unit* grunt = Spawn(*blue, game::UT_GRUNT, battle_test::H(4, 4));
    game::Unit* engineer = Spawn(*blue, game::UT_ENGINEER, battle_test::H(5, 5));
    ASSERT_TRUE(grunt != nullptr && engineer != nullptr);
    ASSERT_TRUE(engineer->CanStillAct());
    DrawPanel(grunt);
    EXPECT_EQ(recorder.ImagesOf("GUI/ingameUi", readyMark).size(), 1u);
    ASSERT_NE(recorder.FindText("text UT_GRUNT"), nullptr);
    EXPECT_EQ(recorder.FindText("text UT_GRUNT")->y, 528 + 24);
    // The name stands on its y (its glyphs above it), so it ends before the ammunition pips start at y0 + 34.
    EXPECT_EQ(recorder.FindText("text UT_GRUNT")->alignment, game::kAlignLeft | game::kAlignBottom);
    EXPECT_EQ(recorder.ImagesOf("GUI/ingameUi", game::UnitIconRect(game::UT_GRUNT)).size(), 1u);
    DrawPanel(engineer);
    EXPECT_TRUE(recorder.ImagesOf("GUI/ingameUi", readyMark).empty());

    // A carrier with a passenger names it instead of counting shots.
    game::Unit* apc = Spawn(*blue, game::UT_APC, battle_test::H(6, 6));
    ASSERT_TRUE(apc->LinkPassenger(*grunt));
    DrawPanel(apc);
    ASSERT_NE(recorder.FindText("+text UT_GRUNT"), nullptr);
    EXPECT_EQ(recorder.FindText("+text UT_GRUNT")->colourEntry, 4);
    EXPECT_EQ(recorder.FindText("+text UT_GRUNT")->y, 528 + 48);
    EXPECT_EQ(recorder.FindText("+text UT_GRUNT")->alignment, game::kAlignLeft | game::kAlignBottom);
}

TEST_F(UnitPanelTest, APassengerThatIsNoUnitShowsNoPassengerLine) {
    game::Unit* tank = Spawn(*blue, game::UT_HEAVY_TANK, battle_test::H(3, 3));
    // A unit of no team: no lookup of the battle finds it.
    std::unique_ptr<game::Unit> stray = game::CreateUnit(battle, game::UT_GRUNT, nullptr, 900);
    ASSERT_TRUE(tank->LinkPassenger(*stray));
    DrawPanel(tank);
    for (const std::string& text : recorder.Texts()) EXPECT_EQ(text.find('+'), std::string::npos) << text;
    EXPECT_EQ(Pips(ammoPip).size(), 5u);
}

TEST_F(UnitPanelTest, NothingWithoutAUnitATeamOrATeamManagerAndAUnitItsTeamRemovesIsLetGo) {
    game::Unit* grunt = Spawn(*blue, game::UT_GRUNT, battle_test::H(4, 4));
    game.teams = nullptr;
    DrawPanel(grunt);
    EXPECT_TRUE(recorder.log.empty());
    game.teams = &manager;
    std::unique_ptr<game::Unit> teamless = game::CreateUnit(battle, game::UT_GRUNT, nullptr, 901);
    DrawPanel(teamless.get());
    EXPECT_TRUE(recorder.log.empty());

    DrawPanel(grunt);
    EXPECT_FALSE(recorder.log.empty());
    grunt->SetState(game::kUnitGone);
    manager.RemoveGoneUnits();
    EXPECT_EQ(panel.GetUnit(), nullptr);
    recorder.Clear();
    panel.Draw();
    EXPECT_TRUE(recorder.log.empty());
}

}  // namespace
}  // namespace screens_test
