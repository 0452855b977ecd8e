#include "engine/render/render_target_registry.h"

#include <algorithm>

#include "engine/platform/engine_root.h"
#include "engine/render/render_target.h"

namespace engine {
namespace {

std::vector<RenderTarget*>& Registry() {
    static std::vector<RenderTarget*> targets;
    return targets;
}

}  // namespace

void RegisterRenderTarget(RenderTarget* target) {
    if (target != nullptr) Registry().push_back(target);
}

void UnregisterRenderTarget(RenderTarget* target) { std::erase(Registry(), target); }

const std::vector<RenderTarget*>& RegisteredRenderTargets() { return Registry(); }

void ClearRenderTargetRegistry() { Registry().clear(); }

void DeleteAllRenderTargets() {
    // Each deletion leaves the table; delete from the end so that nothing moves.
    while (!Registry().empty()) delete Registry().back();
}

void ResizeRenderTargets(bool release) {
    Engine* engine = GetEngine();
    RenderTarget* main = nullptr;
    if (engine != nullptr) {
        // Made here when nothing asked for it yet, so that it takes part like every other target.
        main = engine->GetMainRenderTarget();
    }
    const auto followBackBuffer = [engine, main] {
        if (main == nullptr) return;
        const int width = engine->GetBackBufferWidth();
        const int height = engine->GetBackBufferHeight();
        if (width > 0 && height > 0 && (width != main->Width() || height != main->Height())) {
            main->SetSize(width, height);
        }
    };
    if (!release) followBackBuffer();
    // A reset hook makes and deletes no targets, so the table stays as it is while it runs.
    for (RenderTarget* target : Registry()) target->OnDeviceReset(release);
    if (release) followBackBuffer();
}

}  // namespace engine
