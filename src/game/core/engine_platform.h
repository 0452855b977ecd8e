#pragma once
// The program's platform port over the engine root: its event queue, input device 0, timer, resource groups,
// frame step, main render target and mouse wheel, with the pointer in back-buffer pixels.
#include <functional>

#include "game/core/game_view.h"

namespace engine {
class Engine;
}  // namespace engine

namespace game {

// A client-area pointer position in back-buffer pixels: scaled by back-buffer size / client size on each
// axis where the two differ (a HiDPI window, a desktop larger than the back buffer). Sizes of 0 leave it.
void ClientToBackBuffer(int& x, int& y, int clientWidth, int clientHeight, int bufferWidth, int bufferHeight);

class EnginePlatform final : public GamePlatform {
public:
    // afterFrame: called after each frame step with the count of frames stepped.
    explicit EnginePlatform(engine::Engine& engine, std::function<void(int)> afterFrame = nullptr);
    bool PopEvent(int& code) override;
    engine::KeyState ReadKey(int code) override;
    void ResetClock() override;
    float GetFrameDelta() const override;
    void ShowSystemPointer() override;
    void SelectResourceGroup(int group) override;
    void PurgeResourceGroup(int group) override;
    int FrameStep() override;
    int GetScreenWidth() const override;
    int GetScreenHeight() const override;
    void GetPointerPosition(int& x, int& y) override;
    int TakeMouseWheel() override;

private:
    engine::Engine& engine_;
    std::function<void(int)> afterFrame_;
    int frames_ = 0;
};

}  // namespace game
