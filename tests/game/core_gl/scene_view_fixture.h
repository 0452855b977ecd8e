#pragma once
// The game over a real engine on the offscreen window with the game's view: a data folder with the unit
// tables, fakes for the other parts, and a level presenter that stands a box before the starting eye.
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
#include "engine/platform/engine_hooks.h"
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


namespace core_test {

inline constexpr int kWidth = 96;
inline constexpr int kHeight = 64;
// The battle frame's clear colour as RGBA bytes.
inline constexpr std::uint8_t kClear[3] = {0x00, 0x3F, 0x7F};

// The level model as a box 2 across, 8 ahead of the scene view's starting eye, hung under the world.
class BoxLevelPresenter final : public LevelPresenter {
public:
    explicit BoxLevelPresenter(SceneGameView& view) : view_(view) {}
    bool LoadModel(const std::string&) override {
        model_ = engine::SceneNode::Init(engine::kNodeMesh, "Map");
        if (model_ == nullptr) return false;
        model_->SetPayload(engine::CreateBoxModel({{-1, -1, -1}, {1, 1, 1}}, engine::WideString("Map"), 1));
        engine::Matrix44 place;
        place.SetRow(3, {0.0f, 0.0f, 8.0f});
        model_->SetLocalMatrix(place);
        view_.GetWorldNode()->AddChild(model_);
        model_->UpdateWorldMatrix();
        return model_->GetModelIndex() != 0;
    }
    void SetMapTopTreeVisible(bool) override {}
    void ShowReachMarker(HexCoord, const engine::Vec3&) override {}
    void Release() override {
        if (model_ != nullptr) model_->Destroy();
        model_ = nullptr;
    }
    engine::SceneNode* GetModelNode() const override { return model_; }

private:
    SceneGameView& view_;
    engine::SceneNode* model_ = nullptr;
};

class SceneGameViewTest : public rendertest::EngineServiceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EngineServiceTest::SetUp());
        engine::InstallShaderManagerHooks();
        engine::InstallRenderTargetHooks();
        engine::InstallTextureTableHooks();
        engine::InstallMaterialLibraryHooks();
        engine::InstallMaterialManagerHooks();
        engine::InstallModelTableHooks();
        engine::InstallDialogHooks();
        engine::InstallDebugOverlayHooks();
        sys::GpuHooks().keepPresentedImage = true;
        engine::StartupParams record = WindowedRecord("Tinmarch game view", windowWidth, windowHeight);
        engine::InstallClockHook(engineClock);
        made = engine::CreateEngine(record);
        ASSERT_NE(made, nullptr);
        data = std::make_unique<units_test::DataFolder>();
        platform = std::make_unique<EnginePlatform>(*made, [this](int frame) {
            if (afterFrame) afterFrame(frame);
            if (quitAfterFrame && game) game->RequestQuit();
        });
        view = std::make_unique<SceneGameView>(*made, *platform);
        presenter = std::make_unique<BoxLevelPresenter>(*view);
        parts.platform = platform.get();
        parts.view = view.get();
        parts.profile = &profile;
        parts.achievements = &achievements;
        parts.sound = &sound;
        parts.announcer = &announcer;
        parts.camera = &camera;
        parts.screens = &screens;
        parts.scripts = &scripts;
        parts.random = &random;
        parts.timer = made->GetTimer();
        parts.levelPresenter =
            useSceneLevel ? static_cast<LevelPresenter*>(&view->GetSceneLevel()) : presenter.get();
        InitTeamColours();
        ASSERT_TRUE(data->Write("Units/BasicParams.TXT", units_test::ProjectTable("BasicParams.TXT")));
        ASSERT_TRUE(data->Write("Units/Damage.TXT", units_test::ProjectTable("Damage.TXT")));
        game = std::make_unique<Game>(parts);
        ASSERT_EQ(LoadUnitAssets(*game, nullptr), 1);
    }
    void TearDown() override {
        game.reset();
        FreeUnitAssets();
        presenter.reset();
        view.reset();
        platform.reset();
        data.reset();
        EngineServiceTest::TearDown();
        engine::InstallClockHook({});
        DrainEvents();
    }

    testsupport::TempFolder folder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path().c_str()};
    platformtest::ScopedEnv cacheHome_{"XDG_CACHE_HOME", folder_.Path().c_str()};
    engine::Engine* made = nullptr;
    std::unique_ptr<units_test::DataFolder> data;
    bool quitAfterFrame = false;
    // The game takes the view's own level scene instead of the box (set before SetUp).
    bool useSceneLevel = false;
    // The window's size (set before SetUp); IsClear reads pictures of the default size.
    int windowWidth = kWidth;
    int windowHeight = kHeight;
    // Called after each frame step, before quitAfterFrame is looked at.
    std::function<void(int frame)> afterFrame;
    // The engine timer's clock (set before SetUp); null: the steady clock.
    std::function<std::chrono::nanoseconds()> engineClock;
    Log log;
    FakeProfile profile{log};
    FakeAchievements achievements{log};
    FakeSound sound{log};
    FakeAnnouncer announcer{log};
    FakeCamera camera{log};
    FakeScreens screens{log};
    FakeScripts scripts{log};
    engine::RandomStreams random{[] { return 1u; }};
    std::unique_ptr<EnginePlatform> platform;
    std::unique_ptr<SceneGameView> view;
    std::unique_ptr<BoxLevelPresenter> presenter;
    GameParts parts;
    std::unique_ptr<Game> game;

    void LoadLevel() {
        level_test::WriteLevel(*data, "Map",
                               level_test::LandSource(10, "structure C2 6 owner 1\nunit A3 17 owner 1\n"), nullptr);
        profile.mapFolder = "Levels/Map";
        game->SetState(kGameLoadSkirmish);
        quitAfterFrame = true;
        game->RunMainLoop();
    }
};

inline bool IsClear(const std::vector<std::uint8_t>& image, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)) * 4;
    return image[at] == kClear[0] && image[at + 1] == kClear[1] && image[at + 2] == kClear[2];
}

}  // namespace core_test
