#pragma once
// The desktop engine: owns the program's window (or the host's window it was handed), dispatches the
// window's events, switches between windowed and full-screen display, and performs the frame step that ends
// every pass of the main loop. It is also the host of its input devices.
#include <cstdint>
#include <string>

#include "engine/platform/engine_root.h"
#include "engine/platform/input_host.h"
#include "sys/app_window.h"
#include "sys/instance_lock.h"
#include "sys/window_event.h"

namespace engine {

// Bones per batch by platform id: 2 gives 8, 3 gives 10, 5, 6 and 8 give 9, other ids up to 8 give 40, ids
// above 8 give 0.
int MaxBonesPerBatch(int platformId);

// The desktop's width in pixels, from which the program entry chooses the window size; works before
// CreateEngine.
inline int GetDesktopWidth() { return sys::GetDesktopWidth(); }

class WindowsEngine final : public Engine, public InputHost {
public:
    static constexpr int kPlatformPc = 1;

    WindowsEngine();
    // Releases the mouse capture, shuts the services down, then destroys the window and its context and
    // releases the instance lock.
    ~WindowsEngine() override;

    int FrameStep(const IntRect* rects = nullptr, int count = 0) override;
    // The presentation step of FrameStep: the main render target into the back buffer, the back buffer to
    // the window. 1 when a frame was presented (the presented-frame count goes up by 1), 0 when the device
    // is lost.
    int Present(const IntRect* rects = nullptr, int count = 0);
    void ToggleFullScreen() override;
    int GetPlatform() const override { return platformId_ != 0 ? platformId_ : kPlatformPc; }
    int GetMaxBonesPerBatch() const override { return MaxBonesPerBatch(GetPlatform()); }
    bool IsActive() const override { return active_; }
    int TakeMouseWheel() override;
    void SetMouseCapture(bool capture) override;
    // Adopts the record's external window, or makes the window (hidden until the first resize request)
    // after taking the instance lock. False when another copy holds the lock or the window cannot be made.
    bool CreateMainWindow() override;
    void SetBackBufferSize(int width, int height) override;
    // The full-screen flag as the graphics device decides it at start-up (a full-screen start without a usable
    // display mode runs windowed); the window takes the matching style.
    void SetFullScreenFlag(bool fullScreen);

    // InputHost.
    int GetBackBufferWidth() const override { return Engine::GetBackBufferWidth(); }
    int GetBackBufferHeight() const override { return Engine::GetBackBufferHeight(); }
    void* GetWindow() const override { return window_.Handle(); }
    // Sends the window the cursor request.
    void ShowSystemCursor(bool show) override;
    double GetGameMilliseconds() const override;
    double GetGameDeltaMilliseconds() const override;

    // Handles one window event as the window's own procedure: the record's message hook sees it first, and
    // a non-zero hook result ends its handling (the result is then 1); otherwise the engine acts on it and
    // the result is 0.
    int SendWindowEvent(const sys::WindowEvent& event);
    // The window request the graphics device sends after every mode change or reset: client size set,
    // centred in the desktop's work area, shown, and the pointer centred.
    void RequestResizeAndCentre(int width, int height);

    void SetPlatformId(int id) { platformId_ = id; }
    bool IsFullScreen() const override { return fullScreen_; }
    bool HasExternalWindow() const { return window_.IsAdopted(); }
    bool HasMouseCapture() const { return mouseCapture_; }
    bool HoldsInstanceLock() const { return lock_.IsHeld(); }
    // The client size last reported by the window system (0 x 0 before any report).
    int GetReportedClientWidth() const { return reportedWidth_; }
    int GetReportedClientHeight() const { return reportedHeight_; }
    // Screen position of the client area's top-left corner; 0, 0 in full screen.
    int GetClientOriginX() const { return originX_; }
    int GetClientOriginY() const { return originY_; }
    // The window layer (position, size, mouse grab, back buffer).
    sys::AppWindow& GetAppWindow() { return window_; }

private:
    // CreateEngine's steps after the engine object exists; false at the first failure.
    bool CreateServices();
    void RefreshClientOrigin();

    sys::AppWindow window_;
    sys::InstanceLock lock_;
    std::string userFolder_;
    bool fullScreen_ = false;
    bool active_ = false;
    bool shownOnce_ = false;
    bool mouseCapture_ = false;
    // Why CreateMainWindow failed (kNone while it has not).
    CreateEngineFailure windowFailure_ = CreateEngineFailure::kNone;
    int wheelCount_ = 0;
    int platformId_ = 0;
    int originX_ = 0;
    int originY_ = 0;
    int reportedWidth_ = 0;
    int reportedHeight_ = 0;

    friend Engine* CreateEngine(const StartupParams& params);
};

}  // namespace engine
