#include "game/core/stand_in_ports.h"

#include "engine/core/event_queue.h"
#include "engine/core/frame_timer.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/input_device.h"
#include "engine/render/render_target.h"

#include <utility>

namespace game {

EnginePlatform::EnginePlatform(engine::Engine& engine, std::function<void(int)> afterFrame)
    : engine_(engine), afterFrame_(std::move(afterFrame)) {}

bool EnginePlatform::PopEvent(int& code) {
    engine::EngineEvent event;
    if (!engine::EventQueue::Instance().Pop(event)) return false;
    code = event.code;
    return true;
}

engine::KeyState EnginePlatform::ReadKey(int code) {
    engine::InputDevice* input = engine_.GetInputDevice(0);
    return input != nullptr ? input->ReadKey(code) : engine::KeyState{};
}

void EnginePlatform::ResetClock() {
    if (engine_.GetTimer() != nullptr) engine_.GetTimer()->Reset();
}

float EnginePlatform::GetFrameDelta() const {
    return engine_.GetTimer() != nullptr ? engine_.GetTimer()->GetDeltaSeconds(false) : 0.0f;
}

void EnginePlatform::ShowSystemPointer() {
    engine::InputDevice* input = engine_.GetInputDevice(0);
    if (input != nullptr) input->ShowSystemCursor(true);
}

void EnginePlatform::SelectResourceGroup(int group) { engine_.SetResourceGroup(group); }

void EnginePlatform::PurgeResourceGroup(int group) { engine::PurgeResourceGroup(group); }

int EnginePlatform::FrameStep() {
    const int result = engine_.FrameStep();
    ++frames_;
    if (afterFrame_) afterFrame_(frames_);
    return result;
}

int EnginePlatform::GetScreenWidth() const {
    const engine::RenderTarget* target = engine_.GetMainRenderTarget();
    return target != nullptr ? target->Width() : 0;
}

int EnginePlatform::GetScreenHeight() const {
    const engine::RenderTarget* target = engine_.GetMainRenderTarget();
    return target != nullptr ? target->Height() : 0;
}

}  // namespace game
