#include "game/core/engine_platform.h"

#include "engine/core/event_queue.h"
#include "engine/core/frame_timer.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/input_device.h"
#include "engine/platform/windows_engine.h"
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

void ClientToBackBuffer(int& x, int& y, int clientWidth, int clientHeight, int bufferWidth, int bufferHeight) {
    auto scale = [](int value, int client, int buffer) {
        if (client <= 0 || buffer <= 0 || client == buffer) return value;
        return static_cast<int>(static_cast<long long>(value) * buffer / client);
    };
    x = scale(x, clientWidth, bufferWidth);
    y = scale(y, clientHeight, bufferHeight);
}

void EnginePlatform::GetPointerPosition(int& x, int& y) {
    x = y = 0;
    engine::InputDevice* input = engine_.GetInputDevice(0);
    if (input == nullptr) return;
    input->GetMousePosition(x, y, false);
    auto* desktop = dynamic_cast<engine::WindowsEngine*>(&engine_);
    if (desktop == nullptr) return;
    int clientWidth = 0;
    int clientHeight = 0;
    desktop->GetAppWindow().GetClientSize(clientWidth, clientHeight);
    ClientToBackBuffer(x, y, clientWidth, clientHeight, engine_.GetBackBufferWidth(), engine_.GetBackBufferHeight());
}

int EnginePlatform::TakeMouseWheel() { return engine_.TakeMouseWheel(); }

}  // namespace game
