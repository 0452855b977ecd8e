#pragma once
// The engine services the program entry takes once the engine exists, for the game's parts to reach
// without going through the engine: the frame timer, the voice scheduler and input device 0.
namespace engine {
class Engine;
class FrameTimer;
class InputDevice;
class VoiceScheduler;
}  // namespace engine

namespace game {

struct EngineServices {
    engine::FrameTimer* timer = nullptr;
    engine::VoiceScheduler* voiceScheduler = nullptr;
    engine::InputDevice* input = nullptr;
};

const EngineServices& GetEngineServices();
// Takes the services from the engine; a null engine clears them.
void TakeEngineServices(const engine::Engine* engine);

}  // namespace game
