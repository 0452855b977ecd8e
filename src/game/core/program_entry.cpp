#include "game/core/program_entry.h"

#include <cstdio>
#include <memory>

#include "engine/core/random_streams.h"
#include "engine/gui/dialog_system.h"
#include "engine/image/mip_filter.h"
#include "engine/gui/frame_overlays.h"
#include "engine/platform/audio_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_manager_hooks.h"
#include "engine/render/render_target_hooks.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/texture_table.h"
#include "engine/render/texture_table_hooks.h"
#include "engine/scene/model_table.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
#include "game/core/computer_player_factory.h"
#include "game/core/core_services.h"
#include "game/core/display_mode.h"
#include "game/core/engine_platform.h"
#include "game/core/engine_services.h"
#include "game/core/game.h"
#include "game/core/game_camera_context.h"
#include "game/core/headless_ports.h"
#include "game/core/scene_game_view.h"
#include "game/core/scene_weather_port.h"
#include "game/core/settings_file.h"
#include "game/core/startup_record.h"
#include "game/core/string_table.h"
#include "game/level/help_icons.h"
#include "game/level/turn_start_events.h"

namespace game {
namespace {

constexpr const char* kProgramName = "tinmarch";

void InstallServiceHooks() {
    engine::InstallGraphicsDeviceHooks();
    engine::InstallShaderManagerHooks();
    engine::InstallRenderTargetHooks();
    engine::InstallTextureTableHooks();
    engine::InstallMaterialLibraryHooks();
    engine::InstallMaterialManagerHooks();
    engine::InstallAudioDeviceHooks();
    engine::InstallModelTableHooks();
    engine::InstallDialogHooks();
    engine::InstallDebugOverlayHooks();
}

// One line on stderr naming why the engine could not be built.
void ReportCreateFailure() {
    switch (engine::GetCreateEngineFailure()) {
        case engine::CreateEngineFailure::kInstanceLocked:
            std::fprintf(stderr, "%s: another copy is already running\n", kProgramName);
            break;
        case engine::CreateEngineFailure::kWindow:
            std::fprintf(stderr, "%s: cannot make the window or its GL 3.3 context: %s\n", kProgramName,
                         engine::GetCreateEngineFailureDetail().c_str());
            break;
        default:
            std::fprintf(stderr, "%s: an engine service failed to start\n", kProgramName);
            break;
    }
}

}  // namespace

int RunProgram(const ProgramHooks& hooks) {
    InstallServiceHooks();
    const int fullScreen = ReadSettings();
    const engine::StartupParams params = BuildStartupParams(engine::GetDesktopWidth(), fullScreen);
    engine::Engine* engine = engine::CreateEngine(params);
    if (engine == nullptr) {
        // A running copy is the one expected refusal; anything else is a failure to start.
        const bool locked = engine::GetCreateEngineFailure() == engine::CreateEngineFailure::kInstanceLocked;
        ReportCreateFailure();
        return locked ? 0 : 1;
    }
    TakeEngineServices(engine);

    auto strings = std::make_unique<StringTable>();
    strings->Load();
    SetStringTable(strings.get());

    // The game core's own services.
    auto core = std::make_unique<CoreServices>(*engine, *strings);
    EnginePlatform platform(*engine, hooks.afterFrame);
    // The scene goes with the game, before the engine whose device its lights' shadow targets live on.
    auto view = std::make_unique<SceneGameView>(*engine, platform);
    SetRelayoutCallback(RelayoutSlot::kSceneViewCamera, [&view](int width, int height) { view->Relayout(width, height); });
    GameCameraContext cameraContext(platform);
    BattleCamera camera(cameraContext);
    NoScreens noScreens;
    std::unique_ptr<ProgramScreens> screens = hooks.makeScreens ? hooks.makeScreens(platform) : nullptr;
    GameParts parts;
    parts.platform = &platform;
    parts.view = view.get();
    parts.levelPresenter = &view->GetSceneLevel();
    parts.profile = hooks.profile;
    core->Fill(parts);
    // The units' build effect sounds through the sound bank, which outlives the scene.
    view->GetSceneUnitViews().SetLevelSoundHook([sound = parts.sound](int index) { sound->PlaySound(index); });
    // The battle camera places the scene view the start-up loading has just made.
    parts.startupSteps.push_back({"the battle camera", [&camera, &view] {
                                      engine::SceneView* scene = view->GetSceneView();
                                      camera.AttachCamera(scene != nullptr ? &scene->GetViewTransform() : nullptr);
                                      return true;
                                  }});
    parts.startupSteps.push_back({"the tile markers", [&view] { return view->GetTileMarkers().Create(); }});
    parts.startupSteps.push_back({"the snowflake texture", [] {
                                      return engine::TextureTable::Load(kSnowflakeTexture, engine::kMipBox) > 0;
                                  }});
    // The help icons' model hangs its clones under the world; the burst is an effect of the view.
    parts.startupSteps.push_back({"the help icons", [&view] {
                                      const bool burst = view->LoadEffectPrototype(kHelpIconEffect);
                                      return HelpIcons::LoadModels(view->GetWorldNode()) && burst;
                                  }});
    // The coins a refinery's income shows at a turn start.
    parts.startupSteps.push_back(
        {"the income coins", [&view] { return view->LoadEffectPrototype(kIncomeCoinsEffect); }});
    // The structures' models (a missing one leaves its buildings without a model) and the capture marker,
    // drawn with the spanner assets start-up loads last.
    view->GetSceneStructures().SetMarkerAssets(
        [&core] { return static_cast<int>(core->Resources().GetSpannerModel()); },
        [&core] { return static_cast<int>(core->Resources().GetCountdownTexture()); });
    parts.startupSteps.push_back(
        {"the structure models", [&view] { return view->GetSceneStructures().LoadStructureModels(); }});
    parts.camera = &camera;
    parts.screens = screens != nullptr ? static_cast<Screens*>(screens.get()) : &noScreens;
    parts.createAIPlayer = CreateComputerPlayer;
    if (screens != nullptr) parts.moveChoice = screens->GetMoveChoice();
    parts.strings = strings.get();
    parts.random = engine::RandomStreams::Get();
    parts.timer = engine->GetTimer();
    auto game = std::make_unique<Game>(parts);
    if (screens != nullptr) {
        screens->AttachCoreServices(*core);
        screens->AttachGame(*game);
    }
    cameraContext.AttachGame(game.get());
    core->AttachGame(game.get());

    game->SetState(kGameStartup);
    game->RunMainLoop();

    const auto step = [&hooks](const char* name) {
        if (hooks.onShutdownStep) hooks.onShutdownStep(name);
    };
    step("exit");
    game->OnExit();
    step("strings");
    SetStringTable(nullptr);
    strings.reset();
    step("game");
    const bool failed = game->HasStartupFailed();
    core->AttachGame(nullptr);
    cameraContext.AttachGame(nullptr);
    game.reset();
    HelpIcons::FreeModels();
    // The screens' windows and sheets, the scene, then the fonts, textures and sounds go while the engine
    // still holds their device.
    screens.reset();
    SetRelayoutCallback(RelayoutSlot::kSceneViewCamera, nullptr);
    view.reset();
    core.reset();
    step("engine");
    TakeEngineServices(nullptr);
    delete engine;
    return failed ? 1 : 0;
}

}  // namespace game
