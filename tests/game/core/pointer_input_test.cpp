// The human side's pointer step: picks only while the button is held, the drag threshold and the camera
// drag, the wheel zoom, which presses the order step sees, the threat-range inspection, the kept pointer
// hex, the back-buffer scaling of the pointer, presses made while the camera moves by itself and presses a
// window has taken.
#include "../../engine/scene/scene_test_support.h"
#include "engine/gui/dialog.h"
#include "engine/gui/dialog_system.h"
#include "engine/scene/camera.h"
#include "engine/scene/model_table.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "game/core/engine_platform.h"
#include "player_fixture.h"
#include "support/scripted_input.h"

namespace core_test {
namespace {

const char* const kMap = "structure H2 6 owner 1\nstructure H8 6 owner 2\n";

class PointerTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        Start(kMap);
    }
    void UnderPoint(const engine::Vec3& point) {
        hitPoint = point;
        hitNode = nullptr;
        hitting = true;
    }
};

TEST_F(PointerTest, NoPickWhileTheButtonIsUpAndOneRouteSearchPerPress) {
    Unit* grunt = Spawn(UT_GRUNT, "C3");
    ASSERT_NE(grunt, nullptr);
    Under("C3");
    for (int x = 0; x < 40; x += 8) {
        PointerAt(x, 2 * x);
        Frame();
    }
    EXPECT_EQ(view.picks, 0);

    Select(*grunt);
    Map().SetMarkBits(Hex("C6"), 0x001);
    Under("C6");
    Press();
    ASSERT_NE(Map().GetMarkBits(Hex("C6")) & 0x004, 0) << "the press previews the route";
    // Held frames reuse the route: marks taken away stay away.
    Map().ClearMarkBits(0x004);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(Map().GetMarkBits(Hex("C6")) & 0x004, 0);
    EXPECT_EQ(view.picks, 7) << "one pick per pass with the button held";
}

TEST_F(PointerTest, APressWithinFivePixelsIsATapBeyondItADrag) {
    struct Case {
        int dx, dy;
        bool drag;
    };
    const Case cases[] = {{3, 4, false}, {0, -5, false}, {-5, 0, false}, {5, 1, true}, {4, 4, true}, {0, 6, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
        Unit* grunt = Spawn(UT_GRUNT, "D4");
        ASSERT_NE(grunt, nullptr);
        Under("D4");
        PointerAt(200, 200);
        Press();
        PointerAt(200 + c.dx, 200 + c.dy);
        Frame();
        Release();
        EXPECT_EQ(game->GetSelectedUnit(), c.drag ? nullptr : grunt);
        EXPECT_EQ(camera.commits, c.drag ? 1 : 0);
        EXPECT_TRUE(orders.made.empty());
        EXPECT_EQ(grunt->GetHighlight(), c.drag ? 0 : 2);
        game->ClearSelectionAndRange();
        grunt->SetState(kUnitGone);
        blue->RemoveGoneUnits();
        camera.commits = 0;
    }
}

TEST_F(PointerTest, TheGrabbedGroundPointFollowsThePointerAndTheReleaseCommitsOnce) {
    Under("E5");
    PointerAt(100, 100);
    Press();
    const int path[][2] = {{110, 100}, {120, 105}, {90, 130}};
    for (const auto& at : path) {
        PointerAt(at[0], at[1]);
        Frame();
    }
    // A frame without a hit leaves the camera where it is.
    UnderNothing();
    PointerAt(300, 300);
    Frame();
    ASSERT_EQ(camera.drags.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        // Each offset is measured from the drag start: the rays fall straight down onto (x / 10, y / 10).
        EXPECT_NEAR(camera.drags[i].x, (path[i][0] - 100) * 0.1f, 1e-4f);
        EXPECT_NEAR(camera.drags[i].z, (path[i][1] - 100) * 0.1f, 1e-4f);
        EXPECT_EQ(camera.drags[i].y, 0.0f);
    }
    Release();
    Release();
    EXPECT_EQ(camera.commits, 1);
    EXPECT_TRUE(game->GetPointerState().dragReleased);
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
}

TEST_F(PointerTest, DragRaysThatMissThePlaneMoveNothing) {
    view.rays = [](int x, int y, engine::PickSegment& segment) {
        segment.Init(engine::Vec3(x * 0.1f, 5.0f, y * 0.1f), engine::Vec3(1.0f, 0.0f, 0.0f));
    };
    Under("E5");
    PointerAt(100, 100);
    Press();
    PointerAt(140, 100);
    Frame();
    Frame();
    EXPECT_TRUE(camera.drags.empty());
    Release();
    EXPECT_EQ(camera.commits, 1);
}

TEST_F(PointerTest, EachWheelNotchChangesTheZoomByTwoWithinTheCameraLimits) {
    struct Case {
        int notches;
        float zoom;
    };
    for (const Case& c : {Case{1, 18.0f}, Case{-1, 22.0f}, Case{3, 14.0f}, Case{5, 12.0f}, Case{-7, 32.0f}}) {
        camera.zoom = 20.0f;
        platform.wheel = c.notches;
        Frame();
        EXPECT_EQ(camera.zoom, c.zoom) << c.notches;
        Frame();
        EXPECT_EQ(camera.zoom, c.zoom) << "the notches are taken once";
    }
}

TEST_F(PointerTest, PressDecision) {
    struct Row {
        const char* name;
        std::function<void()> setup;
        bool consumed;
        const char* inspected;  // label of the inspected unit's hex, or null
    };
    const Row rows[] = {
        {"off the map", [&] { UnderPoint({-500.0f, 0.0f, -500.0f}); }, true, nullptr},
        {"movement mark", [&] { Map().SetMarkBits(Hex("F5"), 0x001); Under("F5"); }, false, nullptr},
        {"disembark mark", [&] { Map().SetMarkBits(Hex("F5"), 0x080); Under("F5"); }, false, nullptr},
        {"route mark", [&] { Map().SetMarkBits(Hex("F5"), 0x004); Under("F5"); }, true, nullptr},
        {"help icon", [&] { icons.at.insert(Hex("F5").Packed()); Under("F5"); }, false, nullptr},
        {"own unit", [&] { Spawn(UT_GRUNT, "F5"); Under("F5"); }, false, nullptr},
        {"enemy the selected unit cannot attack",
         [&] {
             game->SetSelectedUnit(Spawn(UT_GRUNT, "B2"));
             Spawn(UT_GRUNT, "F5", green);
             Under("F5");
         },
         true, "F5"},
        {"the same under an enemy aircraft it can attack",
         [&] {
             game->SetSelectedUnit(Spawn(UT_ANTIAIR, "B2"));
             Spawn(UT_GRUNT, "F5", green);
             Spawn(UT_FIGHTER, "F5", green)->SetAirborneFlag(true);
             Under("F5");
         },
         false, nullptr},
        {"enemy with nothing selected", [&] { Spawn(UT_GRUNT, "F5", green); Under("F5"); }, false, "F5"},
        {"enemy under an own aircraft",
         [&] {
             Spawn(UT_GRUNT, "F5", green);
             Spawn(UT_SKYHOOK, "F5")->SetAirborneFlag(true);
             Under("F5");
         },
         false, nullptr},
        {"foreign structure, engineer selected",
         [&] {
             game->SetSelectedUnit(Spawn(UT_ENGINEER, "B2"));
             Under("H8");
         },
         true, nullptr},
        {"own structure, engineer selected",
         [&] {
             game->SetSelectedUnit(Spawn(UT_ENGINEER, "B2"));
             Under("H2");
         },
         false, nullptr},
        {"foreign structure, nothing selected", [&] { Under("H8"); }, false, nullptr},
        {"structure tile", [&] { Map().EditTile(Hex("F5"))->objectClass = kObjectStructure; Under("F5"); }, false,
         nullptr},
        {"empty ground", [&] { Under("F5"); }, true, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.setup();
        platform.down[engine::kKeyMouseLeft] = 1;
        game->HandlePointerInput();
        EXPECT_EQ(game->GetPointerState().pressConsumed, row.consumed);
        Unit* inspected = game->GetInspectedUnit();
        if (row.inspected == nullptr) {
            EXPECT_EQ(inspected, nullptr);
        } else {
            ASSERT_NE(inspected, nullptr);
            EXPECT_EQ(inspected->GetHexPos(), Hex(row.inspected));
            EXPECT_EQ(inspected->GetHighlight(), 1);
            EXPECT_EQ(screens.panelUnit, inspected);
            EXPECT_EQ(game->GetSelectedUnit(), nullptr);
        }
        // Back to a bare map with the button up.
        Release();
        game->ClearSelectionAndRange();
        icons.at.clear();
        Map().EditTile(Hex("F5"))->objectClass = kObjectNone;
        for (Team* team : {blue, green}) {
            for (int i = 0; i < kMaxTeamUnits; ++i) {
                if (team->GetUnit(i) != nullptr) team->GetUnit(i)->SetState(kUnitGone);
            }
            team->RemoveGoneUnits();
        }
    }
}

TEST_F(PointerTest, TheThreatRangeShowsWhileHeldAndGoesOnReleaseOrDrag) {
    Unit* enemy = Spawn(UT_GRUNT, "F5", green);
    ASSERT_NE(enemy, nullptr);
    auto marked = [&] {
        int count = 0;
        for (int row = 0; row < 10; ++row) {
            for (int column = 0; column < 10; ++column) {
                const HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
                if (IsValidHex(hex) && (Map().GetMarkBits(hex) & 0x002) != 0) ++count;
            }
        }
        return count;
    };
    Under("F5");
    PointerAt(100, 100);
    Press();
    ASSERT_EQ(game->GetInspectedUnit(), enemy);
    const int shown = marked();
    EXPECT_GT(shown, 0);
    Frame();
    Frame();
    EXPECT_EQ(marked(), shown) << "held";
    Release();
    EXPECT_EQ(game->GetInspectedUnit(), nullptr);
    EXPECT_EQ(enemy->GetHighlight(), 0);
    EXPECT_EQ(screens.panelUnit, nullptr);
    EXPECT_EQ(marked(), 0);

    Frame();
    Press();
    ASSERT_EQ(game->GetInspectedUnit(), enemy);
    PointerAt(120, 100);
    Frame();
    EXPECT_EQ(game->GetInspectedUnit(), nullptr) << "a drag start ends it at once";
    EXPECT_EQ(enemy->GetHighlight(), 0);
    EXPECT_EQ(marked(), 0);
}

// A press on a window (the HUD's pause button, say) is the window's. The engine's input device and dialog
// system run as the frame step runs them, before the pointer step: a shown window under the pointer reads the
// button's press first. The pointer step keeps the hex of its last hit, here an enemy tapped just before, and
// the pick finds nothing under the window: the press must not inspect that enemy again.
TEST_F(PointerTest, APressAWindowHasTakenNeverReachesTheMap) {
    Unit* enemy = Spawn(UT_GRUNT, "F5", green);
    ASSERT_NE(enemy, nullptr);
    testsupport::ScriptedInput input;
    input.host.width = 1024;
    input.host.height = 768;
    platform.device = &input;
    engine::SetDialogInput(&input);
    engine::InitDialogSystem();
    engine::Dialog window;
    ASSERT_TRUE(window.Init(u"", 900, 0, 124, 112, [](engine::Dialog&, int, int, int, const engine::IntRect*) { return 0; },
                            false, false));
    window.Show(true);
    struct Restore {
        ~Restore() {
            engine::SetDialogInput(nullptr);
            engine::InitDialogSystem();
        }
    } restore;
    // One frame of the program: the device and the windows take the button, then the side's turn runs.
    auto button = [&](bool down, int x, int y) {
        input.pointerX = x;
        input.pointerY = y;
        PointerAt(x, y);
        if (down) {
            input.down.insert(engine::kKeyMouseLeft);
        } else {
            input.down.erase(engine::kKeyMouseLeft);
        }
        input.host.Advance(16);
        input.Update();
        engine::UpdateDialogs();
        Frame();
    };
    auto marks = [&] {
        int count = 0;
        for (int row = 0; row < 10; ++row) {
            for (int column = 0; column < 10; ++column) {
                const HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
                if (IsValidHex(hex) && Map().GetMarkBits(hex) != 0) ++count;
            }
        }
        return count;
    };

    Under("F5");
    button(true, 300, 300);
    ASSERT_EQ(game->GetInspectedUnit(), enemy) << "a press on the map inspects the enemy";
    button(false, 300, 300);
    ASSERT_EQ(game->GetInspectedUnit(), nullptr);

    UnderNothing();
    button(true, 960, 50);
    EXPECT_EQ(game->GetInspectedUnit(), nullptr);
    EXPECT_EQ(screens.panelUnit, nullptr);
    EXPECT_EQ(enemy->GetHighlight(), 0);
    EXPECT_EQ(marks(), 0);
    button(true, 960, 50);
    button(false, 960, 50);
    EXPECT_EQ(game->GetInspectedUnit(), nullptr);
    EXPECT_EQ(game->GetSelectedUnit(), nullptr) << "the release is no tap";
    EXPECT_TRUE(orders.made.empty());

    // The same press beside the window is the map's: the kept hex inspects the enemy.
    button(true, 700, 50);
    EXPECT_EQ(game->GetInspectedUnit(), enemy);
    button(false, 700, 50);
}

TEST_F(PointerTest, AFrameWithoutAHitKeepsThePointerHexOfTheLastHit) {
    Under("G6");
    Press();
    EXPECT_EQ(game->GetPointerHex(), Hex("G6"));
    UnderNothing();
    Frame();
    EXPECT_EQ(game->GetPointerHex(), Hex("G6"));
    Under("G7");
    Frame();
    EXPECT_EQ(game->GetPointerHex(), Hex("G7"));
}

// The unit's hex counts, not where on its model the pick hit.
TEST_F(PointerTest, APickOfAUnitsModelGivesTheUnitsHex) {
    Unit* grunt = Spawn(UT_GRUNT, "C3");
    ASSERT_NE(grunt, nullptr);
    scenetest::NodePtr node = scenetest::MakeNode(engine::kNodeGroup, "model");
    GiveNode(*grunt, node.get());
    Under("C4", node.get());
    Press();
    EXPECT_EQ(game->GetPointerHex(), Hex("C3"));
    Release();
    EXPECT_EQ(game->GetSelectedUnit(), grunt);
    EXPECT_TRUE(game->IsPickedByNode());
}

// A release made while the camera follows a unit is not seen later as a tap.
TEST_F(PointerTest, ButtonChangesWhileTheCameraMovesByItselfGiveNoTap) {
    Unit* grunt = Spawn(UT_GRUNT, "C3");
    ASSERT_NE(grunt, nullptr);
    for (int script = 0; script < 2; ++script) {
        SCOPED_TRACE(script);
        Select(*grunt);
        const std::uint16_t before = Map().GetMarkBits(Hex("C5"));
        Map().SetMarkBits(Hex("C5"), 0x001);
        Under("C5");
        platform.delta = 0.3f;
        if (script == 0) {
            // Pressed, the camera goes off, the button comes up, the camera comes back.
            Press();
            camera.mode = kCameraFollowing;
            Frame();
            Release();
            camera.mode = kCameraFree;
            Frame();
            Frame();
        } else {
            // Pressed while the camera is away, held past the long press after it is back, released.
            camera.mode = kCameraBattleZoom;
            Press();
            camera.mode = kCameraFree;
            Frame();
            Frame();
            Frame();
            Release();
            Frame();
        }
        EXPECT_TRUE(orders.made.empty());
        EXPECT_EQ(grunt->GetOrderCount(), 0);
        EXPECT_EQ(game->GetSelectedUnit(), grunt);
        EXPECT_EQ(grunt->GetHighlight(), 2);
        Map().SetMarkBits(Hex("C5"), before);
        platform.delta = 0.0f;
        game->ClearSelectionAndRange();
    }
    // The next press acts again.
    Select(*grunt);
    Map().SetMarkBits(Hex("C5"), 0x001);
    Tap("C5");
    EXPECT_EQ(Queued(*grunt), std::vector<int>{kOrderFollowPath});
}

TEST_F(PointerTest, ATapPicksThroughTheCameraOnASceneOfUnitModels) {
    ASSERT_TRUE(engine::GetMaterialLib().Init(64, nullptr));
    ASSERT_TRUE(engine::ModelTable::Init(64));
    {
        class SceneCamera final : public engine::Camera {
        public:
            void Render(engine::RenderQueue*, engine::RenderTarget&) override {}
            void DrawSkybox() override {}
            void SetWorldMatrix(const engine::Matrix44&) override {}
        } sceneCamera;
        sceneCamera.Init({0, 0, 100, 100}, 1.0f, 0.5f, 100.0f);
        sceneCamera.GetViewTransform().SetFov(90.0f);
        sceneCamera.UpdateFrustum();
        // Two unit cubes straight ahead, the nearer one in front of the pointer.
        scenetest::NodePtr world = scenetest::MakeNode(engine::kNodeGroup, "world");
        Unit* near = Spawn(UT_GRUNT, "C3");
        Unit* far = Spawn(UT_GRUNT, "E6");
        ASSERT_NE(near, nullptr);
        ASSERT_NE(far, nullptr);
        float depth = 5.0f;
        for (Unit* unit : {near, far}) {
            engine::SceneNode* cube = scenetest::AddNode(world.get(), "unit");
            cube->SetFlags(cube->GetFlags() | engine::kNodePickAsCube);
            engine::Matrix44 at;
            at.m[3][2] = depth;
            cube->SetLocalMatrix(at);
            GiveNode(*unit, cube);
            depth += 5.0f;
        }
        world->UpdateWorldMatrix();
        view.picker = [&](int x, int y, engine::PickHit& hit, engine::Vec3& point) {
            return sceneCamera.PickAtScreen(nullptr, x, y, hit, point, world.get()) != 0;
        };
        PointerAt(50, 50);
        Press();
        Release();
        EXPECT_EQ(game->GetSelectedUnit(), near);
        EXPECT_EQ(game->GetPointerHex(), Hex("C3"));
        view.picker = nullptr;
    }
    engine::ModelTable::Free();
    engine::GetMaterialLib().Free();
}

TEST_F(PointerTest, TheSidesTurnRunsThePointerStepOnlyForAPlayerSide) {
    Under("C3");
    platform.down[engine::kKeyMouseLeft] = 1;
    platform.onFrame = [this](int) { game->RequestQuit(); };
    game->RunMainLoop();
    EXPECT_EQ(view.picks, 1);
    TeamManager& teams = *game->GetTeamManager();
    Team* enemy = teams.GetOrCreateTeam(4);
    ASSERT_NE(enemy, nullptr);
    for (int slot = 0; slot < 5; ++slot) {
        if (teams.GetTeam(slot) == enemy) teams.RestoreTurnOrder(1, 1, slot);
    }
    game->RunMainLoop();
    EXPECT_EQ(view.picks, 1);
}

TEST(PointerScaling, ClientPixelsBecomeBackBufferPixels) {
    struct Case {
        int x, y, clientW, clientH, bufferW, bufferH, wantX, wantY;
    };
    const Case cases[] = {
        {100, 50, 1280, 720, 1280, 720, 100, 50},   // same size
        {100, 50, 640, 360, 1280, 720, 200, 100},   // HiDPI: the client is counted in larger pixels
        {1919, 1079, 1920, 1080, 1280, 720, 1279, 719},  // a window larger than the back buffer
        {100, 50, 0, 0, 1280, 720, 100, 50},        // no size reported yet
    };
    for (const Case& c : cases) {
        int x = c.x;
        int y = c.y;
        ClientToBackBuffer(x, y, c.clientW, c.clientH, c.bufferW, c.bufferH);
        EXPECT_EQ(x, c.wantX);
        EXPECT_EQ(y, c.wantY);
    }
}

}  // namespace
}  // namespace core_test
