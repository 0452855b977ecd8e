// The display switch in a battle through the real program: started full screen on a 1600 x 1200 display,
// switched to a window on the settings screen of the pause menu, the battle is drawn and picked at the
// window's size and the turn buttons stay on the screen and work.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "e2e/battle_walks.h"
#include "engine/platform/engine_root.h"
#include "engine/scene/scene_view.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/display_mode.h"
#include "game/core/game.h"
#include "game/core/scene_game_view.h"
#include "game/core/settings_file.h"
#include "game/level/level.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/hud_zones.h"
#include "game/screens/settings_zone.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"
#include "sys/gpu_test_hooks.h"

namespace e2e {
namespace {

using game::ZoneId;

// The offscreen video driver has one display mode, its desktop's; the adapter's mode list stands in for a
// larger display, so that the full-screen back buffer and the window differ in size.
constexpr int kDisplayWidth = 1600;
constexpr int kDisplayHeight = 1200;

engine::IntRect BackBuffer() {
    const engine::Engine* engine = engine::GetEngine();
    return {0, 0, engine->GetBackBufferWidth(), engine->GetBackBufferHeight()};
}

bool Same(const engine::IntRect& a, const engine::IntRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool Inside(const engine::IntRect& inner, const engine::IntRect& outer) {
    return inner.width > 0 && inner.height > 0 && inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width && inner.y + inner.height <= outer.y + outer.height;
}

// Pause menu, settings, the full-screen row, done, resume: true once the battle has the pointer again.
bool SwitchOnTheSettingsScreen(ProgramDriver& d) {
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kTopBar); }, 5 * kSeconds)) return false;
    if (!d.Click(ZoneId::kTopBar, game::kHudPause)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kPause); }, 2 * kSeconds)) return false;
    if (!d.Click(ZoneId::kPause, game::kPauseSettings)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kSettings); }, 2 * kSeconds)) return false;
    auto* settings = dynamic_cast<game::SettingsZone*>(d.Zones().Get(ZoneId::kSettings));
    if (settings == nullptr || !settings->GetFullScreenChoice()) return false;
    if (!d.ClickListRow(ZoneId::kSettings, game::SettingsZone::kListId, game::SettingsZone::kFullScreenRow)) return false;
    if (settings->GetFullScreenChoice()) return false;
    if (!d.Click(ZoneId::kSettings, game::SettingsZone::kDoneId)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kPause); }, 2 * kSeconds)) return false;
    if (!d.Click(ZoneId::kPause, game::kPauseResume)) return false;
    return d.WaitFor([&d] { return d.IsHumanTurn() && d.IsShown(ZoneId::kTurnButton); }, 5 * kSeconds);
}

// A live unit of the side.
game::Unit* OwnUnit(game::Team& team) {
    for (int index = 0; index < game::kMaxTeamUnits; ++index) {
        game::Unit* u = team.GetUnit(index);
        if (u != nullptr && u->GetState() != game::kUnitGone && u->CanStillAct()) return u;
    }
    return nullptr;
}

// The hex of a structure another side holds: somewhere to march to.
bool ForeignStructure(ProgramDriver& d, int human, game::HexCoord& hex) {
    game::StructureManager& structures = d.GetGame().GetLevel()->GetStructureManager();
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        const game::Structure* s = structures.GetStructure(slot);
        if (s != nullptr && s->GetTeam() != human) {
            hex = s->GetHex();
            return true;
        }
    }
    return false;
}

TEST(DisplaySwitchWalk, FromFullScreenToAWindowTheBattleIsDrawnPickedAndLaidOutAtTheWindowsSize) {
    sys::GpuHooks().displayModes =
        std::vector<sys::GpuDisplayMode>{{kDisplayWidth, kDisplayHeight, 60, sys::kFmtX8R8G8B8}};
    ProgramDriver driver;
    ASSERT_TRUE(game::WriteSettings(1));
    const int code = driver.Run([](ProgramDriver& d) {
        ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
        ASSERT_EQ(BackBuffer().width, kDisplayWidth) << "not started full screen";
        ASSERT_EQ(BackBuffer().height, kDisplayHeight);
        d.DumpPng(Png("display_full_screen"));

        ASSERT_TRUE(SwitchOnTheSettingsScreen(d));
        EXPECT_FALSE(engine::GetEngine()->IsFullScreen());
        EXPECT_EQ(game::ReadSettings(), 0);
        const engine::IntRect screen = BackBuffer();
        ASSERT_LT(screen.width, kDisplayWidth) << "the window is as large as the display";
        EXPECT_EQ(game::GetScreenSize().width, screen.width);
        EXPECT_EQ(game::GetScreenSize().height, screen.height);
        auto* view = dynamic_cast<game::SceneGameView*>(d.GetGame().GetView());
        ASSERT_NE(view, nullptr);
        ASSERT_NE(view->GetSceneView(), nullptr);
        EXPECT_TRUE(Same(view->GetSceneView()->GetViewport(), screen));
        EXPECT_FLOAT_EQ(view->GetSceneView()->GetAspect(),
                        static_cast<float>(screen.width) / static_cast<float>(screen.height));
        for (const int id : {game::kHudEndTurn, game::kHudUndo}) {
            EXPECT_TRUE(Inside(d.ControlRect(ZoneId::kTurnButton, id), screen)) << "turn button " << id;
        }
        // The panels slide back in once the menu has gone.
        d.Frames(kSeconds);
        d.DumpPng(Png("display_window"));

        // A tap on a unit picks it; its move is taken back with Undo.
        const int human = d.CurrentSide();
        game::Team* team = d.GetGame().GetTeamManager()->GetCurrentTeam();
        ASSERT_NE(team, nullptr);
        game::Unit* unit = OwnUnit(*team);
        ASSERT_NE(unit, nullptr) << "the side has no unit";
        ASSERT_TRUE(BringOnScreen(d, unit->GetHexPos()));
        ASSERT_TRUE(Select(d, *unit)) << "a tap on the unit did not pick it";
        LetGo(d, *unit);
        game::HexCoord goal{};
        ASSERT_TRUE(ForeignStructure(d, human, goal));
        const game::HexCoord start = unit->GetHexPos();
        ASSERT_TRUE(MoveToward(d, *unit, goal)) << "the unit did not move";
        ASSERT_FALSE(unit->GetHexPos() == start);
        ASSERT_TRUE(d.IsEnabled(ZoneId::kTurnButton, game::kHudUndo));
        ASSERT_TRUE(d.Click(ZoneId::kTurnButton, game::kHudUndo));
        EXPECT_TRUE(d.WaitFor([&] { return unit->GetHexPos() == start; }, 5 * kSeconds)) << "Undo took nothing back";
        Settle(d);

        EXPECT_TRUE(EndTurnAndWaitForComputer(d)) << "End turn did not hand the turn over and back";
    });
    sys::ResetGpuHooks();
    EXPECT_EQ(code, 0);
    for (const std::string& finding : driver.PictureFindings()) ADD_FAILURE() << finding;
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
