#include "engine/platform/windows_engine.h"

#include "engine/core/event_queue.h"
#include "engine/core/frame_timer.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/input_device.h"

namespace engine {

int MaxBonesPerBatch(int platformId) {
    switch (platformId) {
    case 2:
        return 8;
    case 3:
        return 10;
    case 5:
    case 6:
    case 8:
        return 9;
    default:
        return platformId > 8 ? 0 : 40;
    }
}

WindowsEngine::WindowsEngine() = default;

WindowsEngine::~WindowsEngine() {
    if (mouseCapture_) window_.CaptureMouse(false);
    mouseCapture_ = false;
    ShutdownServices();
    // The window outlives every service, which may still use its GL context; then the lock, then video.
    window_.Destroy();
    lock_.Release();
    window_.Close();
}

int WindowsEngine::FrameStep(const IntRect* rects, int count) {
    const EngineHooks& hooks = GetEngineHooks();
    if (!window_.IsAdopted()) {
        window_.Pump([this](const sys::WindowEvent& event) { SendWindowEvent(event); });
    }
    const int presented = Present(rects, count);
    if (timer_ != nullptr) timer_->Tick();
    if (presented == 0) return 0;
    if (made_.audio) CallHook(hooks.audio.update);
    if (InputDevice* input = GetInputDevice(0)) input->Update();
    if (made_.gui) CallHook(hooks.gui.update);
    frameCounters_.fill(0);
    if (made_.models) CallHook(hooks.models.clearFrameCounters);
    return 1;
}

int WindowsEngine::Present(const IntRect* /*rects*/, int /*count*/) {
    // Dirty rectangles are accepted and ignored: the whole frame is presented every time.
    const DeviceHooks& device = GetEngineHooks().device;
    if (device.isLost && device.isLost()) {
        CallHook(device.recoverLostDevice);
        return 0;
    }
    CallHook(GetEngineHooks().renderTargets.drawMainIntoBackBuffer, *this);
    CallHook(device.endScene);
    std::uint32_t result = 0;
    if (device.present) {
        result = device.present();
    } else {
        window_.Present();
        result = device.presentResult ? device.presentResult() : 0;
    }
    if (result == kDeviceLost || result == kDeviceNotReset) {
        if (!device.recoverLostDevice || !device.recoverLostDevice()) return 0;
    }
    CallHook(device.beginScene);
    ++presentedFrames_;
    return 1;
}

void WindowsEngine::ToggleFullScreen() {
    const StartupParams& params = GetStartupParams();
    const DeviceHooks& device = GetEngineHooks().device;
    fullScreen_ = !fullScreen_;
    window_.SetFullScreen(fullScreen_, params.captioned != 0, params.width, params.height);
    RefreshClientOrigin();
    const int width = fullScreen_ ? sys::GetDesktopWidth() : params.width;
    const int height = fullScreen_ ? sys::GetDesktopHeight() : params.height;
    if (device.setDisplayMode) {
        device.setDisplayMode(fullScreen_, width, height);
    } else {
        SetBackBufferSize(width, height);
    }
}

int WindowsEngine::TakeMouseWheel() {
    const int count = wheelCount_;
    wheelCount_ = 0;
    return count;
}

void WindowsEngine::SetMouseCapture(bool capture) {
    window_.CaptureMouse(capture);
    mouseCapture_ = capture;
}

void WindowsEngine::SetBackBufferSize(int width, int height) {
    Engine::SetBackBufferSize(width, height);
    // A graphics device has a back buffer of its own.
    if (window_.HasContext() && !GetEngineHooks().device.create) window_.SetBackBufferSize(width, height);
}

void WindowsEngine::SetFullScreenFlag(bool fullScreen) {
    if (fullScreen == fullScreen_) return;
    const StartupParams& params = GetStartupParams();
    fullScreen_ = fullScreen;
    if (!window_.IsAdopted()) window_.SetFullScreen(fullScreen_, params.captioned != 0, params.width, params.height);
    RefreshClientOrigin();
}

void WindowsEngine::ShowSystemCursor(bool show) {
    sys::WindowEvent event;
    event.kind = sys::WindowEventKind::kShowCursor;
    event.param1 = show ? 1 : 0;
    SendWindowEvent(event);
}

double WindowsEngine::GetGameMilliseconds() const { return timer_ != nullptr ? timer_->GetGameMilliseconds() : 0.0; }

double WindowsEngine::GetGameDeltaMilliseconds() const {
    return timer_ != nullptr ? timer_->GetGameDeltaMilliseconds() : 0.0;
}

void WindowsEngine::RequestResizeAndCentre(int width, int height) {
    sys::WindowEvent event;
    event.kind = sys::WindowEventKind::kResizeAndCentre;
    event.param1 = width;
    event.param2 = height;
    SendWindowEvent(event);
}

int WindowsEngine::SendWindowEvent(const sys::WindowEvent& event) {
    // A host's window has the host's own event handling; the engine neither pumps nor handles it.
    if (window_.IsAdopted()) return 0;
    const MessageHook& hook = GetStartupParams().messageHook;
    if (hook && hook(window_.Handle(), event) != 0) return 1;
    switch (event.kind) {
    case sys::WindowEventKind::kClose:
        // The window stays alive (hidden) until shutdown: this pass and later ones still present into it.
        EventQueue::Instance().Push(kEventQuit);
        window_.HideAfterClose();
        break;
    case sys::WindowEventKind::kFocusGained:
        active_ = true;
        break;
    case sys::WindowEventKind::kFocusLost:
        active_ = false;
        break;
    case sys::WindowEventKind::kWheel:
        wheelCount_ += event.param1;
        break;
    case sys::WindowEventKind::kSizeChanged:
        reportedWidth_ = event.param1;
        reportedHeight_ = event.param2;
        if (!fullScreen_ && GetEngineHooks().device.windowSizeChanged) {
            int width = 0;
            int height = 0;
            window_.GetDrawableSize(width, height);
            GetEngineHooks().device.windowSizeChanged(width, height);
        }
        break;
    case sys::WindowEventKind::kMoved:
        RefreshClientOrigin();
        break;
    case sys::WindowEventKind::kResizeAndCentre:
        window_.ResizeAndCentre(event.param1, event.param2);
        RefreshClientOrigin();
        if (!shownOnce_ && window_.IsShown()) {
            shownOnce_ = true;
            active_ = window_.HasInputFocus();
        }
        if (InputDevice* input = GetInputDevice(0)) input->CentreMouse();
        break;
    case sys::WindowEventKind::kShowCursor:
        window_.ShowCursor(event.param1 != 0);
        break;
    case sys::WindowEventKind::kOther:
        break;
    }
    return 0;
}

void WindowsEngine::RefreshClientOrigin() {
    originX_ = originY_ = 0;
    if (!fullScreen_) window_.GetPosition(originX_, originY_);
}

}  // namespace engine
