#include "engine/platform/audio_hooks.h"

#include <memory>

#include "engine/core/frame_timer.h"
#include "engine/platform/audio_device.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"

namespace engine {
namespace {

std::unique_ptr<AudioDevice>& Device() {
    static std::unique_ptr<AudioDevice> device;
    return device;
}

double EngineGameSeconds() {
    const Engine* engine = GetEngine();
    const FrameTimer* timer = engine != nullptr ? engine->GetTimer() : nullptr;
    return timer != nullptr ? timer->GetGameMilliseconds() * 0.001 : 0.0;
}

}  // namespace

void InstallAudioDeviceHooks() {
    AudioHooks hooks;
    // Without a sound device the device is made silent; the engine starts either way.
    hooks.create = [] {
        Device() = std::make_unique<AudioDevice>(EngineGameSeconds);
        return true;
    };
    hooks.update = [] {
        if (Device() != nullptr) Device()->Update();
    };
    hooks.destroy = [] { Device().reset(); };
    InstallAudioHooks(hooks);
}

}  // namespace engine
