// The lost-device protocol: release, reset, retry every 2 seconds of frame time, restore.
#include <algorithm>

#include "engine/core/event_queue.h"
#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/graphics_device.h"
#include "sys/gpu_device.h"

namespace engine {
namespace {

constexpr int kRetryMilliseconds = 2000;
constexpr int kMaxFrameMilliseconds = 100;

}  // namespace

int GraphicsDevice::AddResetHook(std::function<void(bool release)> hook) {
    resetHooks_.push_back({nextHookId_, std::move(hook)});
    return nextHookId_++;
}

void GraphicsDevice::RemoveResetHook(int id) {
    std::erase_if(resetHooks_, [id](const ResetHook& entry) { return entry.id == id; });
}

void GraphicsDevice::ReleaseForReset() {
    ReleaseDynamicVertexBuffers();
    for (const ResetHook& entry : resetHooks_) entry.hook(true);
    RefreshBackBufferSurfaces(true);
}

void GraphicsDevice::EnterLost() {
    lost_ = true;
    retryMilliseconds_ = kRetryMilliseconds;
}

bool GraphicsDevice::RecoverLostDevice(bool enterLostOnly) {
    if (!device_) return false;
    if (!lost_) {
        ReleaseForReset();
        if (enterLostOnly) {
            EnterLost();
            return false;
        }
        inScene_ = false;
        // A reset that reports the device lost leaves it lost; the later recovery restores once.
        if (device_->Reset(params_) != sys::kGpuOk) {
            EnterLost();
            return false;
        }
        RestoreAfterReset();
        return true;
    }
    if (retryMilliseconds_ > 0) {
        retryMilliseconds_ -= std::clamp(host_.FrameMilliseconds(), 0, kMaxFrameMilliseconds);
        if (retryMilliseconds_ > 0) return false;
    }
    retryMilliseconds_ = kRetryMilliseconds;
    const sys::GpuResult state = device_->TestCooperativeLevel();
    if (state == sys::kGpuDeviceLost) return false;
    if (state == sys::kGpuDeviceNotReset) {
        inScene_ = false;
        device_->Reset(params_);
        return false;
    }
    retryMilliseconds_ = 0;
    lost_ = false;
    RestoreAfterReset();
    return true;
}

void GraphicsDevice::RestoreAfterReset() {
    RefreshBackBufferSurfaces(false);
    // A reset binds the back buffer and its depth surface again.
    cachedTarget_ = backBuffer_;
    cachedDepth_ = backDepth_;
    cachedDepthKnown_ = true;
    for (const ResetHook& entry : resetHooks_) entry.hook(false);
    SendSizeMessage(static_cast<int>(params_.backBufferWidth), static_cast<int>(params_.backBufferHeight));
    if (host_.IsFullScreen()) host_.ClipCursor();
    ResetStateCache();
    if (!inScene_) BeginScene();
    EventQueue::Instance().Push(kEventDeviceReset);
}

}  // namespace engine
