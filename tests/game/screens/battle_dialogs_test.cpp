#include <gtest/gtest.h>

#include "engine/gui/dialog_control.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/hud_zones.h"
#include "game/screens/screen_draw.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;
using testsupport::ZoneDriver;

class BattleDialogTest : public BattleScreenTest {
protected:
    void SetUp() override {
        BattleScreenTest::SetUp();
        game::RegisterBattleDialogs(registry, general);
        registry.Register(ZoneId::kTopBar, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<game::TopBarZone>(s);
        });
        registry.Register(ZoneId::kTurnButton, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<game::TurnButtonZone>(s);
        });
        for (const ZoneId id : {ZoneId::kSettings, ZoneId::kSaveLoad}) RegisterRecording(id);
        ASSERT_TRUE(registry.CreateZones());
        endTurn = &ZoneOf<game::EndTurnZone>(ZoneId::kEndTurnConfirm);
        pause = &ZoneOf<game::PauseZone>(ZoneId::kPause);
        surrender = &ZoneOf<game::SurrenderZone>(ZoneId::kSurrenderConfirm);
        objective = &ZoneOf<game::ObjectiveZone>(ZoneId::kObjective);
        TakeTurn(game::kTeamBlue, 100);
    }
    // The HUD as the HUD's own buttons leave it when they open a dialog: slid out and hidden.
    void HideHud() {
        for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) registry.Get(id)->SetShown(false, false);
    }
    bool HudShown() {
        return registry.Get(ZoneId::kTopBar)->IsShown() && registry.Get(ZoneId::kTurnButton)->IsShown();
    }
    void ExpectOpenFromPointer(game::TitledZone& zone, int type, engine::IntPoint pointer) {
        EXPECT_TRUE(zone.IsShown());
        EXPECT_EQ(zone.GetType(), type);
        EXPECT_EQ(zone.GetOrigin().x, static_cast<float>(pointer.x));
        EXPECT_EQ(zone.GetOrigin().y, static_cast<float>(pointer.y));
    }

    std::shared_ptr<game::SharedPicture> general = std::make_shared<game::SharedPicture>(game::kGeneralPicture);
    game::EndTurnZone* endTurn = nullptr;
    game::PauseZone* pause = nullptr;
    game::SurrenderZone* surrender = nullptr;
    game::ObjectiveZone* objective = nullptr;
};

TEST_F(BattleDialogTest, EndTurnYesEndsTheTurnBeforeResumingAndNoOnlyResumes) {
    for (const int button : {game::kEndTurnYes, game::kEndTurnNo}) {
        SCOPED_TRACE(button);
        game.states.clear();
        HideHud();
        OpenFully(*endTurn, game::kZoneEndTurnConfirm, 900, 40);
        EXPECT_TRUE(game.modal);
        // The state is set while the dialog is still up.
        bool shownWhenSet = false;
        game.onState = [this, &shownWhenSet](int) { shownWhenSet = endTurn->IsShown() && game.modal; };
        driver.Click(*endTurn, button);
        game.onState = nullptr;
        EXPECT_EQ(game.states, button == game::kEndTurnYes ? std::vector<int>{6} : std::vector<int>{});
        EXPECT_EQ(shownWhenSet, button == game::kEndTurnYes);
        EXPECT_FALSE(endTurn->IsShown());
        EXPECT_FALSE(game.modal);
        EXPECT_TRUE(HudShown());
        // Back does nothing here.
        OpenFully(*endTurn, game::kZoneEndTurnConfirm);
        EXPECT_EQ(ZoneDriver::Send(*endTurn, engine::kEventNavigate, engine::kNoticeBack), 0);
        EXPECT_TRUE(endTurn->IsShown());
        game::CloseZone(*endTurn);
    }
}

TEST_F(BattleDialogTest, PauseHasNoSaveButtonOnAComputerTurnAndBackResumesSilently) {
    struct Case {
        int kind;
        int saveState;
    };
    for (const Case c : {Case{game::kTeamBlue, 0}, Case{game::kTeamEnemy, 2}}) {
        SCOPED_TRACE(c.kind);
        TakeTurn(c.kind, 100);
        HideHud();
        OpenFully(*pause, game::kZonePause);
        EXPECT_TRUE(game.modal);
        EXPECT_EQ(pause->GetWindow()->FindControl(game::kPauseSave)->GetDisabled(), c.saveState);
        EXPECT_EQ(pause->GetWindow()->FindControl(game::kPauseObjective)->GetDisabled(), 0);
        sound.uiSounds.clear();
        driver.TapBack();
        EXPECT_TRUE(sound.uiSounds.empty());
        EXPECT_FALSE(pause->IsShown());
        EXPECT_FALSE(game.modal);
        EXPECT_TRUE(HudShown());
        EXPECT_FALSE(ZoneOf<game::TopBarZone>(ZoneId::kTopBar).IsSlidingOut());
    }
}

TEST_F(BattleDialogTest, PauseButtonsOpenTheirZonesFromThePointerAndKeepTheModalFlag) {
    struct Case {
        int button;
        ZoneId zone;
        int type;
    };
    const Case cases[] = {{game::kPauseSettings, ZoneId::kSettings, 1},
                          {game::kPauseObjective, ZoneId::kObjective, 15},
                          {game::kPauseSave, ZoneId::kSaveLoad, 31},
                          {game::kPauseSurrender, ZoneId::kSurrenderConfirm, 33}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        OpenFully(*pause, game::kZonePause);
        const engine::IntPoint pointer = ZoneDriver::CentreOf(*pause, c.button);
        driver.Click(*pause, c.button);
        EXPECT_FALSE(pause->IsShown());
        EXPECT_TRUE(game.modal);
        auto* next = registry.GetTitled(c.zone);
        ExpectOpenFromPointer(*next, c.type, pointer);
        game::CloseZone(*next);
    }
}

TEST_F(BattleDialogTest, SurrenderNoReopensPauseFromThePointerAndYesLeavesTheLevel) {
    OpenFully(*surrender, game::kZoneSurrender);
    const engine::IntPoint pointer = ZoneDriver::CentreOf(*surrender, game::kSurrenderNo);
    driver.Click(*surrender, game::kSurrenderNo);
    EXPECT_FALSE(surrender->IsShown());
    ExpectOpenFromPointer(*pause, game::kZonePause, pointer);
    game::CloseZone(*pause);

    OpenFully(*surrender, game::kZoneSurrender);
    ASSERT_GT(surrender->GetText().GetLineCount(), 0);
    EXPECT_TRUE(surrender->GetText().GetLine(0).EqualsNarrow("@C[4][CONFIRM_SURRENDER]"));
    driver.Click(*surrender, game::kSurrenderYes);
    EXPECT_EQ(game.states, std::vector<int>{13});
    EXPECT_FALSE(surrender->IsShown());
    EXPECT_FALSE(pause->IsShown());
}

TEST_F(BattleDialogTest, ObjectiveDoneAndBackReturnToPause) {
    OpenFully(*objective, game::kZoneObjective);
    const engine::IntPoint pointer = ZoneDriver::CentreOf(*objective, game::kObjectiveDone);
    driver.Click(*objective, game::kObjectiveDone);
    ExpectOpenFromPointer(*pause, game::kZonePause, pointer);
    game::CloseZone(*pause);

    OpenFully(*objective, game::kZoneObjective);
    driver.MoveTo(500, 500);
    driver.TapBack();
    EXPECT_FALSE(objective->IsShown());
    ExpectOpenFromPointer(*pause, game::kZonePause, {0, 0});
}

TEST_F(BattleDialogTest, NoButtonReactsUntilTheZoomEnds) {
    for (game::TitledZone* zone : std::initializer_list<game::TitledZone*>{endTurn, pause, surrender, objective}) {
        game::OpenZone(*zone, 9, 0, 0);
        for (const int id : {game::kEndTurnYes, game::kEndTurnNo, game::kPauseResume, game::kPauseSurrender,
                             game::kSurrenderYes, game::kSurrenderNo, game::kObjectiveDone}) {
            ZoneDriver::Send(*zone, engine::kEventReleased, id);
        }
        EXPECT_TRUE(zone->IsShown());
        game::CloseZone(*zone);
    }
    EXPECT_TRUE(game.states.empty());
    EXPECT_FALSE(pause->IsShown());
}

TEST_F(BattleDialogTest, TheObjectiveFollowsTheGameMode) {
    strings.texts["PP_OBJECTIVE"] = "Beat\\nthe others";
    strings.texts["SKM_OBJECTIVE"] = "Beat the enemy";
    game.missionDescription = "Hold the bridge";
    struct Case {
        int mode;
        const char* text;
    };
    const Case cases[] = {{game::kGameModePassAndPlay, "Beat\nthe others"},
                          {game::kGameModeSkirmish, "Beat the enemy"},
                          {game::kGameModeCampaign, "Hold the bridge"}};
    for (const Case& c : cases) {
        game.mode = c.mode;
        EXPECT_TRUE(objective->GetObjective().EqualsNarrow(c.text)) << c.mode;
    }
    OpenFully(*objective, game::kZoneObjective);
    driver.Frame();
    const DrawEntry* line = recorder.FindText("Hold the bridge");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->colourEntry, 4);
    EXPECT_EQ(line->x, 270);
    EXPECT_EQ(line->y, 154);
    EXPECT_EQ(line->alignment, game::kAlignCentre);
}

TEST_F(BattleDialogTest, TheGeneralIsLoadedOncePerShowAndReleasedAfterTheLastHide) {
    loader.Add(game::kGeneralPicture, 256, 256);
    for (game::TitledZone* zone : std::initializer_list<game::TitledZone*>{endTurn, surrender, objective}) {
        const int loads = loader.loads[game::kGeneralPicture];
        const int releases = loader.releases[game::kGeneralPicture];
        OpenFully(*zone, 9);
        EXPECT_EQ(loader.loads[game::kGeneralPicture], loads + 1);
        recorder.Clear();
        driver.Frame();
        EXPECT_FALSE(recorder.ImagesOf(game::kGeneralPicture, {0, 0, 256, 256}).empty());
        zone->SetShown(false, false);
        zone->SetShown(false, false);
        EXPECT_EQ(loader.releases[game::kGeneralPicture], releases + 1);
    }
    // Two holders at once: one load, one release after both hide.
    OpenFully(*endTurn, 16);
    OpenFully(*objective, 15);
    EXPECT_EQ(loader.loads[game::kGeneralPicture], 4);
    game::CloseZone(*endTurn);
    EXPECT_EQ(loader.releases[game::kGeneralPicture], 3);
    game::CloseZone(*objective);
    EXPECT_EQ(loader.releases[game::kGeneralPicture], 4);
}

}  // namespace
}  // namespace screens_test
