#include "game/core/display_mode.h"

#include <array>
#include <cstdio>
#include <string>

#include "engine/platform/engine_root.h"
#include "game/core/settings_file.h"

namespace game {

namespace {

ScreenSize g_screen;

std::array<RelayoutCallback, static_cast<int>(RelayoutSlot::kCount)>& Callbacks() {
    static std::array<RelayoutCallback, static_cast<int>(RelayoutSlot::kCount)> callbacks;
    return callbacks;
}

}  // namespace

const ScreenSize& GetScreenSize() { return g_screen; }

void SetScreenSize(int width, int height) {
    g_screen.width = width;
    g_screen.height = height;
    g_screen.halfWidth = width / 2;
    g_screen.halfHeight = height / 2;
}

void SetRelayoutCallback(RelayoutSlot slot, RelayoutCallback callback) {
    const int index = static_cast<int>(slot);
    if (index < 0 || index >= static_cast<int>(RelayoutSlot::kCount)) return;
    Callbacks()[index] = std::move(callback);
}

bool SwitchDisplayModeAndSave() {
    engine::Engine* engine = engine::GetEngine();
    if (engine == nullptr) {
        std::fprintf(stderr, "tinmarch: the display mode cannot be switched without the engine\n");
        return false;
    }
    engine->ToggleFullScreen();
    SetScreenSize(engine->GetBackBufferWidth(), engine->GetBackBufferHeight());
    for (const RelayoutCallback& callback : Callbacks()) {
        if (callback) callback(g_screen.width, g_screen.height);
    }
    if (!WriteSettings(engine->IsFullScreen() ? 1 : 0)) {
        std::fprintf(stderr, "tinmarch: cannot write %s; the display mode is not saved\n", SettingsPath().c_str());
        return false;
    }
    return true;
}

}  // namespace game
