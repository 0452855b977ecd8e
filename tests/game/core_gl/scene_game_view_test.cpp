// The game's view over a real engine on the offscreen window: start-up makes the scene, a battle frame of a
// loaded level renders the world through the render queue without a GL error, effects are cloned under the
// explosions node, leaving the level leaves a fresh one, the light rig follows the quality bit, and one frame of
// rain and one of snow queue their lists without a GL error; structures stand in their owners' colours.
#include "scene_view_fixture.h"
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "../core/game_fakes.h"
#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/frame_overlays.h"
#include "engine/platform/scoped_env.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_manager_hooks.h"
#include "engine/render/render_target_hooks.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/texture_table_hooks.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
#include "game/core/scene_game_view.h"
#include "game/core/engine_platform.h"
#include "game/units/unit_assets.h"
#include "render_gl/engine_service_fixture.h"
#include "support/temp_folder.h"
#include "sys/gpu_test_hooks.h"
#include "cnt_writer.h"
#include "engine/image/image.h"
#include "engine/image/image_writers.h"
#include "game/battle/hex_coord.h"
#include "game/units/projectile_manager.h"
#include "game/units/scene_unit_view.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/skeleton.h"
#include "game/battle/team_colours.h"
#include "engine/platform/posix_zip_archive.h"
#include <cctype>
#include <map>
#include <cmath>

namespace core_test {
namespace {

TEST_F(SceneGameViewTest, ABattleFrameOfALoadedLevelRendersTheWorldWithoutAGlError) {
    game->SetState(kGameStartup);
    ASSERT_EQ(game->GetState(), kGameMainMenu);
    engine::SceneView* sceneView = view->GetSceneView();
    engine::RenderQueue* queue = view->GetRenderQueue();
    ASSERT_NE(sceneView, nullptr);
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(sceneView->GetViewport().width, kWidth);
    EXPECT_EQ(sceneView->GetViewport().height, kHeight);
    EXPECT_FLOAT_EQ(sceneView->GetNear(), 0.1f);
    EXPECT_FLOAT_EQ(sceneView->GetFar(), 80.0f);
    engine::SceneNode* world = view->GetWorldNode();
    ASSERT_NE(world, nullptr);
    EXPECT_TRUE(world->GetName().EqualsNarrow("MainWorld"));
    EXPECT_EQ(queue->GetScene(), world);
    ASSERT_TRUE(view->HasExplosionsNode());
    EXPECT_EQ(view->GetExplosionsNode()->GetParent(), world);

    while (glGetError() != GL_NO_ERROR) {
    }
    LoadLevel();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ASSERT_NE(game->GetLevel(), nullptr) << "the level loaded and a battle frame followed";
    ASSERT_NE(presenter->GetModelNode(), nullptr);
    EXPECT_EQ(presenter->GetModelNode()->GetParent(), world);

    const sys::GpuTestHooks& hooks = sys::GpuHooks();
    ASSERT_EQ(hooks.presentedWidth, kWidth);
    ASSERT_EQ(hooks.presentedImage.size(), static_cast<std::size_t>(kWidth * kHeight * 4));
    EXPECT_TRUE(IsClear(hooks.presentedImage, 1, 1)) << "the battle's clear colour around the scene";
    EXPECT_FALSE(IsClear(hooks.presentedImage, kWidth / 2, kHeight / 2)) << "the level model drawn in the middle";
}

TEST_F(SceneGameViewTest, APickThroughTheMiddlePixelHitsTheLevelModelsFrontFace) {
    engine::PickHit hit;
    engine::Vec3 point;
    EXPECT_FALSE(view->PickAtScreen(kWidth / 2, kHeight / 2, hit, point)) << "nothing before the scene exists";
    view->LoadResources();
    LoadLevel();
    ASSERT_NE(presenter->GetModelNode(), nullptr);
    ASSERT_TRUE(view->PickAtScreen(kWidth / 2, kHeight / 2, hit, point));
    EXPECT_NEAR(point.z, 7.0f, 0.05f) << "the box's front face, 8 ahead less its half size";
    EXPECT_FALSE(view->PickAtScreen(1, 1, hit, point)) << "the corner sees only the clear colour";
    engine::PickSegment segment;
    view->ScreenToRay(kWidth / 2, kHeight / 2, segment);
    EXPECT_GT(segment.delta.z, 7.0f) << "the ray leaves the eye forward, past the model";
}

TEST_F(SceneGameViewTest, TheFadeTintsTheFrameGreyAndOutsideAFrameDoesNothing) {
    view->LoadResources();
    view->ApplyMonochrome(1.0f, 0xFFFFFFFFu);  // no frame begun: nothing to tint, no crash
    view->ApplyBlurBloom();
    view->BeginFrame(0xFF003F7Fu);
    view->ApplyMonochrome(1.0f, 0xFFFFFFFFu);
    view->EndFrame();
    ASSERT_TRUE(platform->FrameStep());
    const std::vector<std::uint8_t>& image = sys::GpuHooks().presentedImage;
    ASSERT_EQ(image.size(), static_cast<std::size_t>(kWidth * kHeight * 4));
    const std::size_t at = (static_cast<std::size_t>(kHeight / 2) * kWidth + kWidth / 2) * 4;
    EXPECT_NEAR(image[at], image[at + 1], 2) << "a full white tint leaves no colour";
    EXPECT_NEAR(image[at + 1], image[at + 2], 2);
    EXPECT_GT(image[at], 0) << "the blue clear keeps some brightness";
}

TEST_F(SceneGameViewTest, TheBoxTestFindsTheLevelModelsTriangles) {
    view->LoadResources();
    const engine::Vec3 half{0.05f, 0.05f, 0.5f};
    engine::Matrix44 through;  // across the model's front face
    through.SetRow(3, {0.0f, 0.0f, 7.0f});
    engine::Matrix44 inside;  // wholly inside the box, away from every face
    inside.SetRow(3, {0.0f, 0.0f, 8.0f});
    engine::Matrix44 aside;
    aside.SetRow(3, {5.0f, 0.0f, 8.0f});
    EXPECT_FALSE(game->BoxTouchesLevel(through, half)) << "no level, no model";
    LoadLevel();
    ASSERT_NE(presenter->GetModelNode(), nullptr);
    EXPECT_TRUE(game->BoxTouchesLevel(through, half));
    EXPECT_FALSE(game->BoxTouchesLevel(inside, half));
    EXPECT_FALSE(game->BoxTouchesLevel(aside, half));
    // Turned a quarter about Y, the long axis runs along X and reaches the side face from the middle.
    engine::Matrix44 turned;
    turned.InitRotationY(90.0f);
    turned.SetRow(3, {0.6f, 0.0f, 8.0f});
    EXPECT_TRUE(game->BoxTouchesLevel(turned, half));
    game->EndLevel();
    EXPECT_FALSE(game->BoxTouchesLevel(through, half));
}

TEST_F(SceneGameViewTest, EffectsAreClonedUnderTheExplosionsNodeAndLeavingTheLevelEmptiesIt) {
    view->LoadResources();
    engine::SceneNode* prototype = engine::SceneNode::Init(engine::kNodeGroup, "Coins");
    ASSERT_NE(prototype, nullptr);
    ASSERT_TRUE(prototype->AddChild(engine::SceneNode::Init(engine::kNodeGroup, "spark")));
    view->SetEffectPrototype("Particles/Coins", prototype);
    engine::Matrix44 at;
    at.SetRow(3, {3.0f, 0.5f, -2.0f});

    game->AddEffect("Particles/Coins", at);
    game->AddEffect("Particles/Unknown", at);
    engine::SceneNode* explosions = view->GetExplosionsNode();
    ASSERT_EQ(explosions->GetChildCount(), 1) << "the unknown effect adds nothing";
    const engine::SceneNode* clone = explosions->GetChild(0);
    EXPECT_NE(clone, prototype);
    EXPECT_TRUE(clone->GetName().EqualsNarrow("Coins"));
    EXPECT_EQ(clone->GetChildCount(), 1);
    EXPECT_FLOAT_EQ(clone->GetWorldMatrix().m[3][0], 3.0f);
    EXPECT_FLOAT_EQ(clone->GetWorldMatrix().m[3][2], -2.0f);
    EXPECT_FALSE(view->IsExplosionsNodeEmpty());

    game->EndLevel();
    ASSERT_TRUE(view->HasExplosionsNode());
    EXPECT_TRUE(view->IsExplosionsNodeEmpty());
    EXPECT_NE(view->GetExplosionsNode(), nullptr);
    EXPECT_TRUE(view->GetExplosionsNode()->GetName().EqualsNarrow("MainExplosions"));
    EXPECT_EQ(view->GetExplosionsNode()->GetParent(), view->GetWorldNode());
    EXPECT_EQ(view->GetWorldNode()->GetChildCount(), 1);
    // The prototype stays for the next level.
    game->AddEffect("Particles/Coins", at);
    EXPECT_FALSE(view->IsExplosionsNodeEmpty());
}

TEST_F(SceneGameViewTest, TheQualityBitPicksWhichOfTheFirstTwoLightsShines) {
    view->LoadResources();
    engine::RenderQueue& queue = *view->GetRenderQueue();
    struct Case {
        std::uint32_t options;
        int lit;
        std::uint32_t colour;
        float distance;
    };
    // The plain spot stands ten times as far back, so that its cone holds the whole map.
    for (const Case& c : {Case{kOptionQuality, 0, 0x80FFFFE6u, 60.0f}, Case{0, 1, 0xFFFFFFE6u, 600.0f}}) {
        SCOPED_TRACE(c.lit);
        profile.options = c.options;
        game->ApplyLightingQuality();
        const engine::LightDesc& lit = queue.GetLight(c.lit);
        EXPECT_EQ(queue.GetLight(1 - c.lit).enabled, 0);
        EXPECT_EQ(lit.enabled, 1);
        EXPECT_EQ(lit.colour, c.colour);
        EXPECT_EQ(lit.flagWord, 1u);
        EXPECT_FLOAT_EQ(lit.range, 5000.0f);
        EXPECT_FLOAT_EQ(lit.coneAngle, 35.0f);
        EXPECT_FLOAT_EQ(lit.intensity, 0.5f);
        // Pitched 70 degrees down, turned 135 degrees about Y and drawn back along its own axis.
        const engine::Vec3 forward{lit.matrix.m[2][0], lit.matrix.m[2][1], lit.matrix.m[2][2]};
        const engine::Vec3 position{lit.matrix.m[3][0], lit.matrix.m[3][1], lit.matrix.m[3][2]};
        EXPECT_NEAR(position.x, -c.distance * forward.x, 1e-2f);
        EXPECT_NEAR(position.y, -c.distance * forward.y, 1e-2f);
        EXPECT_NEAR(position.z, -c.distance * forward.z, 1e-2f);
        EXPECT_NEAR(forward.y, -0.9397f, 1e-3f);
    }
}


// --- Units in the scene ---------------------------------------------------------------------------------------

// The units' view factory of the game's scene over generated containers: every unit model a mesh node of one
// box, every effect an emitter that shows nothing. A small battle of two sides stands in the scene.
class UnitSceneTest : public SceneGameViewTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SceneGameViewTest::SetUp());
        FreeUnitAssets();
        ASSERT_NE(engine::CreateBoxModel({{-0.3f, 0, -0.3f}, {0.3f, 0.5f, 0.3f}}, engine::WideString("StandIn/Box"), 0),
                  0);
        // Shots are drawn scaled down to a twentieth: their box is large enough to be seen then.
        ASSERT_NE(engine::CreateBoxModel({{-2, -2, -2}, {2, 2, 2}}, engine::WideString("StandIn/Shot"), 0), 0);
        for (const std::string& path : SceneUnitViewFactory::PrototypePaths()) {
            cntbuild::AuthorNode root;
            root.depth = -1;
            root.name = path;
            std::vector<cntbuild::AuthorNode> nodes;
            if (path.rfind("Particles/", 0) == 0) {
                // An emitter whose particles never live: effects show nothing, so frames do not depend on
                // the clock.
                root.type = engine::kNodeEmitter;
                nodes = {root};
            } else {
                cntbuild::AuthorNode body;
                body.type = engine::kNodeMesh;
                body.name = "body";
                body.mesh = path.rfind("Projectiles/", 0) == 0 ? "StandIn/Shot" : "StandIn/Box";
                nodes = {root, body};
            }
            const std::vector<std::uint8_t> bytes = cntbuild::EncodeContainer(nodes, {});
            ASSERT_TRUE(data->Write(path + ".CNT", std::string(bytes.begin(), bytes.end())));
        }
        ASSERT_EQ(LoadUnitAssets(*game, view->GetUnitViews()), 1);
        view->LoadResources();
        level_test::WriteLevel(*data, "Map",
                               level_test::LandSource(10, "unit C3 3 owner 1\nunit E3 17 owner 1\n"
                                                          "unit C6 3 owner 2\nunit E6 17 owner 2\n"),
                               nullptr);
        profile.mapFolder = "Levels/Map";
        game->SetState(kGameLoadSkirmish);
        quitAfterFrame = true;
        game->RunMainLoop();
        ASSERT_NE(game->GetTeamManager(), nullptr);
        for (const char* label : {"C3", "E3", "C6", "E6"}) {
            Unit* unit = game->GetTeamManager()->FindUnitAt(level_test::L(label));
            ASSERT_NE(unit, nullptr) << label;
            units.push_back(unit);
        }
        // The camera above and behind the battle, looking down at its middle.
        const engine::Vec2 a = HexToWorld(level_test::L("C3"));
        const engine::Vec2 b = HexToWorld(level_test::L("E6"));
        const engine::Vec3 middle{(a.x + b.x) * 0.5f, 0.0f, (a.y + b.y) * 0.5f};
        const engine::Vec3 eye = middle.Add(engine::Vec3{0.0f, 6.0f, -5.0f});
        const engine::Vec3 forward = middle.Sub(eye).NormalisedSafe();
        const engine::Vec3 right = engine::Vec3{0, 1, 0}.Cross(forward).NormalisedSafe();
        engine::Matrix44 camera;
        camera.SetRow(0, right);
        camera.SetRow(1, forward.Cross(right));
        camera.SetRow(2, forward);
        camera.SetRow(3, eye);
        view->GetSceneView()->GetViewTransform().SetMatrix(camera);
        view->BuildRenderQueue();  // the camera's matrices for this placement
    }

    // One battle frame of the scene through the view's own steps, presented; the picture as RGBA bytes.
    const std::vector<std::uint8_t>& DrawFrame() {
        view->BeginFrame(0xFF003F7Fu);
        view->BuildRenderQueue();
        view->RenderQueue();
        view->EndFrame();
        made->FrameStep();
        return sys::GpuHooks().presentedImage;
    }

    std::vector<Unit*> units;
};

TEST_F(UnitSceneTest, EachUnitsModelStandsUnderTheWorldAndIsPickedThroughTheCamera) {
    for (Unit* unit : units) {
        SCOPED_TRACE(unit->GetType());
        const auto* scene = dynamic_cast<const SceneUnitView*>(&unit->GetView());
        ASSERT_NE(scene, nullptr);
        EXPECT_EQ(scene->GetModel()->GetParent(), view->GetWorldNode());
        engine::Vec3 at = scene->GetWorldMatrix().GetTranslation();
        at.y += 0.25f;
        int x = 0;
        int y = 0;
        view->ProjectToScreen(at, x, y);
        engine::PickHit hit;
        engine::Vec3 point;
        ASSERT_TRUE(view->PickAtScreen(x, y, hit, point)) << x << "," << y;
        EXPECT_EQ(game->GetTeamManager()->FindUnitByNode(hit.node), unit);
    }
}

TEST_F(UnitSceneTest, ASmallBattleWithAShotInFlightMatchesTheStoredPicture) {
    // The tank on C3 shoots at the tank on C6; the shot is drawn a few ticks into its flight.
    Unit& tank = *units[0];
    Unit& target = *units[2];
    for (int i = 0; i < 500 && !tank.AimAtTarget(&target); ++i) tank.UpdateAnimation();
    tank.UpdateAnimation();
    tank.Fire(&target);
    ProjectileManager& projectiles = game->GetProjectileManager();
    ASSERT_GT(projectiles.CountInFlight(), 0);
    for (int i = 0; i < 6; ++i) projectiles.Update();
    ASSERT_GT(projectiles.CountInFlight(), 0);
    projectiles.DrawAll();
    const std::vector<std::uint8_t> picture = DrawFrame();
    ASSERT_EQ(picture.size(), static_cast<std::size_t>(kWidth * kHeight * 4));

    const std::string path = std::string(TINMARCH_SOURCE_DIR) + "/tests/data/core/small_battle.png";
    if (std::getenv("TINMARCH_WRITE_GOLDEN") != nullptr) {
        std::vector<std::uint8_t> bgra(picture.size());
        for (std::size_t i = 0; i < picture.size(); i += 4) {
            bgra[i] = picture[i + 2];
            bgra[i + 1] = picture[i + 1];
            bgra[i + 2] = picture[i];
            bgra[i + 3] = 255;
        }
        const engine::ConstSurfaceView surface{engine::SurfaceFormat::kA8R8G8B8, kWidth, kHeight, kWidth * 4u,
                                               bgra.data()};
        const std::vector<std::uint8_t> png = engine::EncodePng(surface);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                    static_cast<std::streamsize>(png.size()));
        GTEST_SKIP() << "wrote " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    engine::Image golden;
    ASSERT_EQ(golden.DecodePngFile(file.data(), file.size()), 1);
    ASSERT_EQ(golden.Width(), static_cast<std::uint32_t>(kWidth));
    ASSERT_EQ(golden.Height(), static_cast<std::uint32_t>(kHeight));
    // Rasterisation may move an edge by a pixel: a few pixels may differ, none by much elsewhere.
    int off = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* want = golden.Pixels() + (static_cast<std::size_t>(y) * kWidth + x) * 4;
            const std::uint8_t* got = picture.data() + (static_cast<std::size_t>(y) * kWidth + x) * 4;
            const int worst = std::max({std::abs(got[0] - want[2]), std::abs(got[1] - want[1]), std::abs(got[2] - want[0])});
            if (worst > 4) ++off;
        }
    }
    EXPECT_LE(off, kWidth * kHeight / 200) << "pixels that differ from " << path;
    // The picture is not empty: the battle stands in it.
    int drawn = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) drawn += IsClear(picture, x, y) ? 0 : 1;
    }
    EXPECT_GT(drawn, 50);
}

// --- The data set's unit models --------------------------------------------------------------------------------

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The generated unit models (from the data set's archive) in a level: every type but the door twice, for team
// kinds 1 and 4, two hexes apart.
class DataSetUnitsTest : public SceneGameViewTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SceneGameViewTest::SetUp());
        FreeUnitAssets();
        // The generated entries of the built archive (a sanitizer build copies it without staging files).
        std::ifstream list(std::string(TINMARCH_SOURCE_DIR) + "/tools/src/modelgen_entries.txt");
        std::map<std::string, std::string> wanted;  // upper-cased -> as written
        for (std::string entry; std::getline(list, entry);) wanted[Upper(entry)] = entry;
        engine::PosixZipArchive archive;
        ASSERT_EQ(archive.Open(TINMARCH_DATASET_ARCHIVE), 1);
        std::size_t written = 0;
        for (std::uint32_t i = 0; i < archive.EntryCount(); ++i) {
            const auto found = wanted.find(Upper(std::string(archive.EntryName(i))));
            if (found == wanted.end()) continue;
            const std::string& name = found->second;
            std::uint32_t size = 0;
            const std::unique_ptr<std::uint8_t[]> bytes = archive.ExtractEntry(i, size);
            ASSERT_NE(bytes, nullptr) << name;
            ASSERT_TRUE(data->Write(name, std::string(reinterpret_cast<const char*>(bytes.get()), size)));
            ++written;
        }
        ASSERT_EQ(written, wanted.size());
        ASSERT_EQ(LoadUnitAssets(*game, view->GetUnitViews()), 1);
        view->LoadResources();
        std::string lines;
        for (int type = 1; type <= 23; ++type) {
            for (int kind : {1, 4}) {
                const char column = static_cast<char>('A' + 2 * ((type - 1) % 8));
                const int row = 1 + 2 * ((type - 1) / 8) + (kind == 4 ? 7 : 0);
                // The enemy's side stays out of a skirmish without its match options: its units stand for the
                // second side and take the enemy's colour below.
                lines += "unit " + std::string(1, column) + std::to_string(row) + " " + std::to_string(type) +
                         " owner " + std::to_string(kind == 4 ? 2 : 1) + "\n";
            }
        }
        level_test::WriteLevel(*data, "Map", level_test::LandSource(16, lines), nullptr);
        profile.mapFolder = "Levels/Map";
        game->SetState(kGameLoadSkirmish);
        quitAfterFrame = true;
        game->RunMainLoop();
        ASSERT_NE(game->GetTeamManager(), nullptr);
    }

    // A frame with the camera close above and behind the point, looking at it.
    const std::vector<std::uint8_t>& DrawLookingAt(const engine::Vec3& at) {
        const engine::Vec3 eye = at.Add(engine::Vec3{0.0f, 1.1f, -1.3f});
        const engine::Vec3 forward = at.Sub(eye).NormalisedSafe();
        const engine::Vec3 right = engine::Vec3{0, 1, 0}.Cross(forward).NormalisedSafe();
        engine::Matrix44 camera;
        camera.SetRow(0, right);
        camera.SetRow(1, forward.Cross(right));
        camera.SetRow(2, forward);
        camera.SetRow(3, eye);
        view->GetSceneView()->GetViewTransform().SetMatrix(camera);
        view->BeginFrame(0xFF003F7Fu);
        view->BuildRenderQueue();
        view->RenderQueue();
        view->EndFrame();
        made->FrameStep();
        return sys::GpuHooks().presentedImage;
    }
};

// Hue in degrees and saturation of an RGB colour.
void HueOf(float r, float g, float b, float& hue, float& saturation) {
    const float hi = std::max({r, g, b});
    const float lo = std::min({r, g, b});
    saturation = hi > 0 ? (hi - lo) / hi : 0.0f;
    if (hi == lo) {
        hue = 0;
    } else if (hi == r) {
        hue = 60.0f * std::fmod((g - b) / (hi - lo) + 6.0f, 6.0f);
    } else if (hi == g) {
        hue = 60.0f * ((b - r) / (hi - lo) + 2.0f);
    } else {
        hue = 60.0f * ((r - g) / (hi - lo) + 4.0f);
    }
}

TEST_F(DataSetUnitsTest, TintedSurfacesShowTheTeamColourAndModelsFaceTheirHeading) {
    for (int type = 1; type <= 23; ++type) {
        for (int kind : {1, 4}) {
            SCOPED_TRACE("type " + std::to_string(type) + " kind " + std::to_string(kind));
            const char column = static_cast<char>('A' + 2 * ((type - 1) % 8));
            const int row = 1 + 2 * ((type - 1) / 8) + (kind == 4 ? 7 : 0);
            const std::string label = std::string(1, column) + std::to_string(row);
            Unit* unit = game->GetTeamManager()->FindUnitAt(level_test::L(label.c_str()));
            ASSERT_NE(unit, nullptr);
            const auto* scene = dynamic_cast<const SceneUnitView*>(&unit->GetView());
            ASSERT_NE(scene, nullptr);
            unit->GetView().SetTeamMaterial(unit->GetTeamMaterialName(), GetTeamColour(kind));
            // The model's forward (-z) points at the neighbour in the unit's facing.
            const HexCoord next = HexStep(unit->GetHexPos(), unit->GetFacing());
            const engine::Vec2 from = HexToWorld(unit->GetHexPos());
            const engine::Vec2 to = HexToWorld(next);
            const engine::Vec3 forward = scene->GetWorldMatrix().TransformVector({0, 0, -1});
            const engine::Vec3 wanted = engine::Vec3{to.x - from.x, 0, to.y - from.y}.NormalisedSafe();
            const engine::Vec3 flat{forward.x, 0, forward.z};
            EXPECT_GT(flat.NormalisedSafe().Dot(wanted), 0.985f);

            float teamHue = 0, teamSaturation = 0;
            const std::uint32_t colour = GetTeamColour(kind);
            HueOf(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f, (colour & 0xFF) / 255.0f, teamHue,
                  teamSaturation);
            engine::Vec3 at = scene->GetWorldMatrix().GetTranslation();
            at.y += 0.2f;
            const std::vector<std::uint8_t>& picture = DrawLookingAt(at);
            int tinted = 0;
            for (std::size_t i = 0; i + 3 < picture.size(); i += 4) {
                float hue = 0, saturation = 0;
                HueOf(picture[i] / 255.0f, picture[i + 1] / 255.0f, picture[i + 2] / 255.0f, hue, saturation);
                const float off = std::fabs(std::fmod(hue - teamHue + 540.0f, 360.0f) - 180.0f);
                if (saturation > 0.3f && off < 10.0f && !IsClear(picture, static_cast<int>(i / 4) % kWidth, static_cast<int>(i / 4) / kWidth)) ++tinted;
            }
            EXPECT_GT(tinted, 40) << "pixels in the team colour";
        }
    }
}

// The soldiers' "run" moves their bones from frame to frame.
TEST_F(DataSetUnitsTest, ASoldiersRunMovesItsBones) {
    Unit* unit = game->GetTeamManager()->FindUnitAt(level_test::L("A1"));
    ASSERT_NE(unit, nullptr);
    const auto* scene = dynamic_cast<const SceneUnitView*>(&unit->GetView());
    engine::SceneNode* model = scene->GetModel();
    ASSERT_EQ(model->GetType(), engine::kNodeAnimatedMesh);
    engine::AnimationRecord* run = model->GetModel()->skeleton->animationSet->Find("run");
    ASSERT_NE(run, nullptr);
    ASSERT_GT(run->EntryCount(), 6);
    model->SetFixedFrame(run->entries[0].frame);
    const std::vector<engine::Matrix44> first = model->GetSkinMatrices()->matrices;
    model->SetFixedFrame(run->entries[5].frame);
    const std::vector<engine::Matrix44> later = model->GetSkinMatrices()->matrices;
    float moved = 0;
    for (std::size_t b = 0; b < first.size(); ++b) moved = std::max(moved, first[b].GetTranslation().Distance(later[b].GetTranslation()));
    EXPECT_GT(moved, 0.01f);
    model->SetFixedFrame(-1);
}

}  // namespace
}  // namespace core_test

namespace core_test {
namespace {

// The weather's list among the blended entries of the frame's queue: its quad count, or -1 when none is queued.
int QueuedWeatherQuads(engine::RenderQueue& queue, std::uint32_t kind) {
    engine::DrawList& blended = queue.GetDrawList(1);
    for (int i = 0; i < blended.Count(); ++i) {
        const engine::DrawEntry& entry = blended.Get(i);
        if (entry.kind != kind) continue;
        return static_cast<const engine::BillboardListBase*>(entry.object)->GetCount();
    }
    return -1;
}

TEST_F(SceneGameViewTest, OneFrameOfRainAndOfSnowRendersWithoutAGlError) {
    struct Case {
        int weather;
        std::uint32_t kind;
        int quads;  // a shower starts dry; snow falls at once
    };
    for (const Case& c : {Case{kWeatherRain, engine::kEntryBillboards, 0},
                          Case{kWeatherSnow, engine::kEntrySortedBillboards, kSnowFlakes}}) {
        SCOPED_TRACE(c.weather);
        game->SetState(kGameStartup);
        while (glGetError() != GL_NO_ERROR) {
        }
        level_test::WriteLevel(*data, "Map", level_test::LandSource(10, "weather " + std::to_string(c.weather) + "\n"),
                               nullptr);
        profile.mapFolder = "Levels/Map";
        game->SetState(kGameLoadSkirmish);
        quitAfterFrame = true;
        game->RunMainLoop();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        ASSERT_NE(game->GetLevel(), nullptr);
        const WeatherManager* weather = game->GetLevel()->GetWeather();
        ASSERT_NE(weather, nullptr) << "the effect pass drew the weather";
        EXPECT_EQ(weather->GetType(), c.weather);
        EXPECT_EQ(QueuedWeatherQuads(*view->GetRenderQueue(), c.kind), c.quads);
        game->EndLevel();
    }
}

}  // namespace
}  // namespace core_test

namespace core_test {
namespace {

// --- Structures in the scene ------------------------------------------------------------------------------

// The game's structures over in-memory models: every type a box in a plain-colour "buildings" material, the
// capture marker a box as well. A blue HQ and a red Factory stand on the skirmish map; the camera looks down
// at the HQ.
class StructureSceneTest : public SceneGameViewTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SceneGameViewTest::SetUp());
        view->LoadResources();
        box = engine::CreateBoxModel({{-0.4f, 0, -0.4f}, {0.4f, 0.8f, 0.4f}}, engine::WideString("StandIn/Block"), 0);
        ASSERT_NE(box, 0);
        const int walls = engine::GetMaterialLib().Create("Walls_buildings", 0, 0, 0, 0);
        ASSERT_NE(walls, 0);
        SceneStructurePresenter& structures = view->GetSceneStructures();
        for (int type = 1; type <= kMaxStructureType; ++type) {
            engine::SceneNode* root = engine::SceneNode::Init(engine::kNodeGroup, "Structure");
            engine::SceneNode* body = engine::SceneNode::Init(engine::kNodeMesh, "body");
            body->SetPayload(box);
            body->SetMaterial(walls);
            root->AddChild(body);
            structures.SetStructureModel(type, root);
        }
        structures.SetMarkerAssets([this] { return box; }, [] { return 0; });
        level_test::WriteLevel(*data, "Map",
                               level_test::LandSource(12, "structure C3 6 owner 1\nstructure C8 2 owner 4\n"
                                                          "unit J3 17 owner 1\nunit J8 17 owner 4\n"),
                               nullptr);
        profile.mapFolder = "Levels/Map";
        game->SetState(kGameLoadSkirmish);
        quitAfterFrame = true;
        game->RunMainLoop();
        ASSERT_NE(game->GetLevel(), nullptr);
        hq = game->GetLevel()->GetStructureManager().FindAtHex(level_test::L("C3"));
        factory = game->GetLevel()->GetStructureManager().FindAtHex(level_test::L("C8"));
        ASSERT_NE(hq, nullptr);
        ASSERT_NE(factory, nullptr);
        // Straight down from above the HQ's model.
        const engine::Vec3 at = structures.Find(*hq)->placement.GetTranslation();
        engine::Matrix44 camera;
        camera.SetRow(0, {1, 0, 0});
        camera.SetRow(1, {0, 0, 1});
        camera.SetRow(2, {0, -1, 0});
        camera.SetRow(3, {at.x, at.y + 4.0f, at.z});
        view->GetSceneView()->GetViewTransform().SetMatrix(camera);
    }

    // One battle frame through the game's own order of the view's steps; the picture as RGBA bytes.
    const std::vector<std::uint8_t>& DrawFrame() {
        Level& level = *game->GetLevel();
        view->RefreshStructureModels(level);
        view->BuildRenderQueue();
        view->DrawCaptureMarkers(level);
        view->BeginFrame(0xFF003F7Fu);
        view->RenderQueue();
        view->EndFrame();
        made->FrameStep();
        return sys::GpuHooks().presentedImage;
    }
    static const std::uint8_t* Middle(const std::vector<std::uint8_t>& image) {
        return image.data() + (static_cast<std::size_t>(kHeight / 2) * kWidth + kWidth / 2) * 4;
    }

    int box = 0;
    Structure* hq = nullptr;
    Structure* factory = nullptr;
};

TEST_F(StructureSceneTest, TheBuildingStandsInItsOwnersColourAndChangesWithACapture) {
    SceneStructurePresenter& structures = view->GetSceneStructures();
    ASSERT_NE(structures.Find(*hq)->model, nullptr);
    EXPECT_EQ(structures.Find(*hq)->model->GetParent(), view->GetWorldNode());
    while (glGetError() != GL_NO_ERROR) {
    }
    const std::uint8_t* blue = Middle(DrawFrame());
    EXPECT_GT(blue[2], blue[0] + 40) << "blue over red: " << int(blue[0]) << "," << int(blue[1]) << "," << int(blue[2]);

    hq->AddCaptureProgress(2.0f, 4);
    ASSERT_EQ(hq->GetTeam(), 4);
    for (int i = 0; i < 10; ++i) game->GetLevel()->Update();  // the pop runs out
    const std::uint8_t* red = Middle(DrawFrame());
    EXPECT_GT(red[0], red[2] + 40) << "red over blue: " << int(red[0]) << "," << int(red[1]) << "," << int(red[2]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StructureSceneTest, AHalfCapturedBuildingShowsItsMarkerInTheCapturersColour) {
    engine::RenderQueue& queue = *view->GetRenderQueue();
    const auto markers = [&queue, this] {
        const int marker = view->GetSceneStructures().Find(*factory)->marker.handle;
        int count = 0;
        engine::DrawList& opaque = queue.GetDrawList(0);
        for (int i = 0; i < opaque.Count(); ++i) count += opaque.Get(i).material->GetIndex() == marker ? 1 : 0;
        return count;
    };
    DrawFrame();
    EXPECT_EQ(markers(), 0);
    factory->AddCaptureProgress(1.0f, 1);
    while (glGetError() != GL_NO_ERROR) {
    }
    DrawFrame();
    EXPECT_EQ(markers(), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const int marker = view->GetSceneStructures().Find(*factory)->marker.handle;
    EXPECT_TRUE(engine::GetMaterialLib().Get(marker)->GetName().EqualsNarrow("Suck"));
}

TEST_F(StructureSceneTest, LeavingTheLevelTakesTheModelsAndAFireworkIsAnEffectOfTheView) {
    engine::SceneNode* prototype = engine::SceneNode::Init(engine::kNodeGroup, "Sparks");
    view->SetEffectPrototype("Particles/Combo_fireworks_yellow", prototype);
    view->GetSceneStructures().LaunchFirework(*hq, 2, {0.0f, 1.5f, 0.0f});
    ASSERT_EQ(view->GetExplosionsNode()->GetChildCount(), 1);
    EXPECT_TRUE(view->GetExplosionsNode()->GetChild(0)->GetName().EqualsNarrow("Sparks"));
    game->EndLevel();
    EXPECT_EQ(view->GetSceneStructures().GetShownCount(), 0);
    EXPECT_EQ(view->GetWorldNode()->GetChildCount(), 1) << "only the explosions node stays";
}

}  // namespace
}  // namespace core_test
