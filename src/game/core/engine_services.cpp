#include "game/core/engine_services.h"

#include "engine/platform/engine_root.h"
#include "engine/platform/voice_scheduler.h"

namespace game {

namespace {

EngineServices g_services;

}  // namespace

const EngineServices& GetEngineServices() { return g_services; }

void TakeEngineServices(const engine::Engine* engine) {
    g_services = EngineServices{};
    if (engine == nullptr) return;
    g_services.timer = engine->GetTimer();
    g_services.voiceScheduler = engine::GetVoiceScheduler();
    g_services.input = engine->GetInputDevice(0);
}

}  // namespace game
