// Program entry: reads the display mode, has the engine built with every service, loads the player's texts,
// runs until the quit event and shuts down in a fixed order.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "engine/core/event_queue.h"
#include "engine/platform/audio_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/user_folder.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_manager_hooks.h"
#include "engine/render/render_target_hooks.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/texture_table_hooks.h"
#include "game/core/engine_services.h"
#include "game/core/settings_file.h"
#include "game/core/startup_record.h"
#include "game/core/string_table.h"
#include "sys/crash_handler.h"

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

// Until the game object runs its own loop: one event per pass, then the frame step, until quit. There is
// nothing to draw yet, so each pass also gives the processor back for a while.
void RunUntilQuit(engine::Engine& engine) {
    for (;;) {
        engine::EngineEvent event;
        if (engine::EventQueue::Instance().Pop(event) && event.code == engine::kEventQuit) return;
        engine.FrameStep();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

int main() {
    const std::string userFolder = engine::UserFolder();
    if (!userFolder.empty()) sys::InstallCrashHandler(userFolder, kProgramName);
    InstallServiceHooks();

    const int fullScreen = game::ReadSettings();
    const engine::StartupParams params = game::BuildStartupParams(engine::GetDesktopWidth(), fullScreen);
    engine::Engine* engine = engine::CreateEngine(params);
    if (engine == nullptr) {
        // A running copy is the one expected refusal; anything else is a failure to start.
        const bool locked = engine::GetCreateEngineFailure() == engine::CreateEngineFailure::kInstanceLocked;
        ReportCreateFailure();
        return locked ? 0 : 1;
    }
    game::TakeEngineServices(engine);

    auto strings = std::make_unique<game::StringTable>();
    strings->Load();
    game::SetStringTable(strings.get());

    RunUntilQuit(*engine);

    game::SetStringTable(nullptr);
    strings.reset();
    game::TakeEngineServices(nullptr);
    delete engine;
    return 0;
}
