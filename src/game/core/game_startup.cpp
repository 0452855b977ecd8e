// Start-up loading: everything the whole run keeps in resource group 0, loaded once in the start-up state.
#include <cstdio>

#include "engine/core/frame_timer.h"
#include "game/core/game.h"

namespace game {

bool Game::LoadResources() {
    GameResources* resources = parts_.resources;
    if (resources != nullptr) {
        resources->LoadFonts();
        resources->LoadMenuPicture();
        resources->SetFontColours();
    }
    // The scene view, render queue with its skybox, world and explosion nodes and the movement marker.
    parts_.view->LoadResources();
    for (const StartupStep& step : parts_.startupSteps) {
        if (!step.load || step.load()) continue;
        std::fprintf(stderr, "tinmarch: %s did not load%s\n", step.name,
                     step.required ? "; the game cannot start without it" : "");
        if (step.required) return false;
    }
    // Start-up loading is over: the timer's start-up word goes back to 0.
    if (parts_.timer != nullptr) parts_.timer->ClearFlag();
    if (resources != nullptr) resources->LoadSpannerAssets();
    return true;
}

}  // namespace game
