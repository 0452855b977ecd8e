#include "engine/platform/engine_hooks.h"

#include <utility>

namespace engine {
namespace {

EngineHooks& Hooks() {
    static EngineHooks hooks;
    return hooks;
}

}  // namespace

const EngineHooks& GetEngineHooks() { return Hooks(); }

void InstallDeviceHooks(DeviceHooks hooks) { Hooks().device = std::move(hooks); }
void InstallRenderTargetHooks(RenderTargetHooks hooks) { Hooks().renderTargets = std::move(hooks); }
void InstallOverlayHooks(OverlayHooks hooks) { Hooks().overlay = std::move(hooks); }
void InstallShaderHooks(ShaderHooks hooks) { Hooks().shaders = std::move(hooks); }
void InstallTextureHooks(TextureHooks hooks) { Hooks().textures = std::move(hooks); }
void InstallMaterialHooks(MaterialHooks hooks) { Hooks().materials = std::move(hooks); }
void InstallModelHooks(ModelHooks hooks) { Hooks().models = std::move(hooks); }
void InstallGuiHooks(GuiHooks hooks) { Hooks().gui = std::move(hooks); }
void InstallAudioHooks(AudioHooks hooks) { Hooks().audio = std::move(hooks); }
void InstallClockHook(ClockHook clock) { Hooks().clock = std::move(clock); }

void ClearEngineHooks() { Hooks() = EngineHooks{}; }

}  // namespace engine
