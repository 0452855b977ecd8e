#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/platform/engine_hooks.h"
#include "engine/core/frame_timer.h"
#include "engine/platform/input_device.h"
#include "engine/platform/key_codes.h"
#include "engine/platform/windows_engine.h"
#include "engine_fixture.h"
#include "sys/app_window.h"
#include "sys/instance_lock.h"
#include "sys/key_table.h"

namespace {

using engine::CreateEngine;
using engine::WindowsEngine;
using sys::WindowEventKind;
using testsupport::EngineTest;

using Log = std::vector<std::string>;

class WindowsEngineTest : public EngineTest {
protected:
    WindowsEngine* Create(const engine::StartupParams& record) {
        return static_cast<WindowsEngine*>(CreateEngine(record));
    }

    static void PushWindowEvent(WindowsEngine& e, Uint8 kind) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = kind;
        event.window.windowID = e.GetAppWindow().WindowId();
        SDL_PushEvent(&event);
    }

    static void PushWheel(int y, bool flipped) {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.y = y;
        event.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
        SDL_PushEvent(&event);
    }

    static void ExpectWindowAt(sys::AppWindow& window, int x, int y, int width, int height) {
        int px = 0;
        int py = 0;
        int w = 0;
        int h = 0;
        window.GetPosition(px, py);
        window.GetClientSize(w, h);
        EXPECT_EQ(std::vector<int>({px, py, w, h}), std::vector<int>({x, y, width, height}));
    }
};

TEST_F(WindowsEngineTest, WindowIsHiddenUntilTheFirstResizeRequestThenCentred) {
    EXPECT_EQ(engine::GetDesktopWidth(), 1024);
    fakes.resizeOnCreate = false;
    fakes.Install();
    WindowsEngine* made = Create(WindowedRecord());
    ASSERT_NE(made, nullptr);
    sys::AppWindow& window = made->GetAppWindow();
    EXPECT_FALSE(window.IsShown());

    made->RequestResizeAndCentre(960, 640);
    EXPECT_TRUE(window.IsShown());
    // Centred in the 1024 x 768 desktop: 512 - 480, 384 - 320.
    ExpectWindowAt(window, 32, 64, 960, 640);
    EXPECT_EQ(made->GetClientOriginX(), 32);
    EXPECT_EQ(made->GetClientOriginY(), 64);
}

TEST_F(WindowsEngineTest, WithoutADeviceTheEngineSizesTheBackBufferAndShowsTheWindow) {
    WindowsEngine* made = Create(WindowedRecord());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetBackBufferWidth(), 960);
    EXPECT_EQ(made->GetBackBufferHeight(), 640);
    EXPECT_TRUE(made->GetAppWindow().IsShown());
    ExpectWindowAt(made->GetAppWindow(), 32, 64, 960, 640);
    EXPECT_FALSE(made->IsFullScreen());
    EXPECT_FALSE(made->IsActive()) << "offscreen windows never get the focus";
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_EQ(made->GetPresentedFrameCount(), 1u);
}

TEST_F(WindowsEngineTest, FullScreenRecordUsesTheDesktopSize) {
    engine::StartupParams record = WindowedRecord();
    record.windowed = 0;
    WindowsEngine* made = Create(record);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsFullScreen());
    EXPECT_NE(SDL_GetWindowFlags(made->GetAppWindow().Handle()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(made->GetBackBufferWidth(), 1024);
    EXPECT_EQ(made->GetBackBufferHeight(), 768);
}

TEST_F(WindowsEngineTest, CloseGivesOneQuitEventAndHidesTheWindow) {
    WindowsEngine* made = Create(WindowedRecord());
    ASSERT_NE(made, nullptr);
    PushWindowEvent(*made, SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_EQ(DrainEngineEvents(), std::vector<int>{engine::kEventQuit});
    EXPECT_FALSE(made->GetAppWindow().IsShown());

    // Later passes still present into the hidden window; a later resize does not show it again.
    EXPECT_EQ(made->FrameStep(), 1);
    made->RequestResizeAndCentre(800, 600);
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_FALSE(made->GetAppWindow().IsShown());
    EXPECT_TRUE(DrainEngineEvents().empty());

    // A request to end the program (SIGTERM) is a close request of its own.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_EQ(DrainEngineEvents(), std::vector<int>{engine::kEventQuit});
}

TEST_F(WindowsEngineTest, MessageHookSeesEventsFirstAndCanSwallowTheClose) {
    std::vector<WindowEventKind> seen;
    std::vector<int> cursorRequests;
    engine::StartupParams record = WindowedRecord();
    record.messageHook = [&](SDL_Window* window, const sys::WindowEvent& event) {
        EXPECT_NE(window, nullptr);
        seen.push_back(event.kind);
        if (event.kind == WindowEventKind::kShowCursor) cursorRequests.push_back(event.param1);
        return event.kind == WindowEventKind::kClose ? 1 : 0;
    };
    WindowsEngine* made = Create(record);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(std::find(seen.begin(), seen.end(), WindowEventKind::kResizeAndCentre), seen.end());
    EXPECT_EQ(cursorRequests, std::vector<int>{0}) << "the input device hides the cursor at start";

    PushWindowEvent(*made, SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_EQ(seen.back(), WindowEventKind::kClose);
    EXPECT_TRUE(DrainEngineEvents().empty());
    EXPECT_TRUE(made->GetAppWindow().IsShown());
    delete made;  // before the hook's captures go
}

TEST_F(WindowsEngineTest, FrameStepUpdatesOnlyAfterASuccessfulPresent) {
    fakes.Install();
    WindowsEngine* made = Create(WindowedRecord());
    ASSERT_NE(made, nullptr);
    PushWindowEvent(*made, SDL_WINDOWEVENT_FOCUS_GAINED);
    made->FrameStep();
    ASSERT_TRUE(made->IsActive());
    engine::FrameTimer& timer = *made->GetTimer();
    engine::InputDevice& input = *made->GetInputDevice(0);

    sys::SetKeyDown(engine::kKeyA, true);
    made->FrameCounters()[2] = 5;
    std::uint32_t presented = made->GetPresentedFrameCount();
    float time = timer.GetTimeSeconds(true);
    fakes.log.clear();
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_EQ(fakes.log, (Log{"device.isLost", "renderTargets.drawMain", "device.endScene", "device.presentResult",
                              "device.beginScene", "audio.update", "gui.update", "models.clearFrameCounters"}));
    EXPECT_EQ(made->GetPresentedFrameCount(), presented + 1);
    EXPECT_EQ(made->FrameCounters()[2], 0u);
    EXPECT_GT(timer.GetTimeSeconds(true), time);
    EXPECT_EQ(input.ReadKey(engine::kKeyA).down, 1);

    // A lost device: the timer still ticks, nothing else moves on (the key released since stays down).
    sys::SetKeyDown(engine::kKeyA, false);
    fakes.deviceLost = true;
    made->FrameCounters()[2] = 5;
    presented = made->GetPresentedFrameCount();
    time = timer.GetTimeSeconds(true);
    fakes.log.clear();
    EXPECT_EQ(made->FrameStep(), 0);
    EXPECT_EQ(fakes.log, (Log{"device.isLost", "device.recoverLostDevice"}));
    EXPECT_GT(timer.GetTimeSeconds(true), time);
    EXPECT_EQ(made->GetPresentedFrameCount(), presented);
    EXPECT_EQ(made->FrameCounters()[2], 5u);
    EXPECT_EQ(input.ReadKey(engine::kKeyA).down, 1);

    // Lost while presenting, and not recovered.
    fakes.deviceLost = false;
    fakes.presentResult = engine::kDeviceLost;
    fakes.recoverSucceeds = false;
    fakes.log.clear();
    EXPECT_EQ(made->FrameStep(), 0);
    EXPECT_EQ(fakes.log, (Log{"device.isLost", "renderTargets.drawMain", "device.endScene", "device.presentResult",
                              "device.recoverLostDevice"}));
    EXPECT_EQ(made->GetPresentedFrameCount(), presented);

    // Recovered: the frame counts as presented.
    fakes.presentResult = engine::kDeviceNotReset;
    fakes.recoverSucceeds = true;
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_EQ(made->GetPresentedFrameCount(), presented + 1);
    EXPECT_EQ(input.ReadKey(engine::kKeyA).down, 0);
}

TEST_F(WindowsEngineTest, TheTimerReadsTheRecordsClock) {
    fakes.Install();
    std::chrono::nanoseconds now{5'000'000'000};
    engine::StartupParams record = WindowedRecord();
    engine::InstallClockHook([&now] { return now; });
    WindowsEngine* made = Create(record);
    ASSERT_NE(made, nullptr);
    made->FrameStep();
    now += std::chrono::milliseconds(20);
    made->FrameStep();
    EXPECT_FLOAT_EQ(made->GetTimer()->GetDeltaSeconds(false), 0.02f);
    made->FrameStep();
    EXPECT_FLOAT_EQ(made->GetTimer()->GetDeltaSeconds(false), 0.0f) << "a clock standing still gives no time";
    engine::InstallClockHook({});
}

TEST_F(WindowsEngineTest, FocusEventsDriveIsActive) {
    WindowsEngine* made = Create(WindowedRecord());
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(made->IsActive());
    PushWindowEvent(*made, SDL_WINDOWEVENT_FOCUS_GAINED);
    made->FrameStep();
    EXPECT_TRUE(made->IsActive());
    PushWindowEvent(*made, SDL_WINDOWEVENT_FOCUS_LOST);
    made->FrameStep();
    EXPECT_FALSE(made->IsActive());
}

TEST_F(WindowsEngineTest, WheelCountsOneStepPerEventBySign) {
    WindowsEngine* made = Create(WindowedRecord());
    ASSERT_NE(made, nullptr);
    PushWheel(3, false);
    PushWheel(2, false);
    PushWheel(0, false);  // sideways scroll
    PushWheel(-1, true);
    made->FrameStep();
    EXPECT_EQ(made->TakeMouseWheel(), 3);
    EXPECT_EQ(made->TakeMouseWheel(), 0);
    PushWheel(-4, false);
    made->FrameStep();
    EXPECT_EQ(made->TakeMouseWheel(), -1);
}

TEST_F(WindowsEngineTest, ToggleFullScreenTwiceRestoresTheWindow) {
    fakes.Install();
    WindowsEngine* made = Create(WindowedRecord());
    ASSERT_NE(made, nullptr);
    SDL_Window* window = made->GetAppWindow().Handle();
    const Uint32 styleFlags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    const Uint32 before = SDL_GetWindowFlags(window) & styleFlags;
    fakes.log.clear();

    made->ToggleFullScreen();
    EXPECT_TRUE(made->IsFullScreen());
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(made->GetClientOriginX(), 0);
    EXPECT_EQ(made->GetClientOriginY(), 0);

    made->ToggleFullScreen();
    EXPECT_FALSE(made->IsFullScreen());
    EXPECT_EQ(SDL_GetWindowFlags(window) & styleFlags, before);
    ExpectWindowAt(made->GetAppWindow(), 32, 64, 960, 640);
    EXPECT_EQ(fakes.log, (Log{"device.setDisplayMode full 1024x768", "device.setDisplayMode windowed 960x640"}));
}

TEST_F(WindowsEngineTest, ToggleWithoutADeviceResizesTheBackBuffer) {
    WindowsEngine* made = Create(WindowedRecord());
    ASSERT_NE(made, nullptr);
    made->ToggleFullScreen();
    EXPECT_EQ(made->GetBackBufferWidth(), 1024);
    EXPECT_EQ(made->GetBackBufferHeight(), 768);
    EXPECT_EQ(made->FrameStep(), 1);
    made->ToggleFullScreen();
    EXPECT_EQ(made->GetBackBufferWidth(), 960);
    EXPECT_EQ(made->GetBackBufferHeight(), 640);
    EXPECT_EQ(made->FrameStep(), 1);
}

TEST_F(WindowsEngineTest, ExternalWindowIsNeitherPumpedNorLockedAndActiveFromTheStart) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* host = SDL_CreateWindow("host", 0, 0, 320, 200, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(host, nullptr) << SDL_GetError();
    std::filesystem::create_directories(folder.Path() / "Tinmarch");
    sys::InstanceLock other;
    ASSERT_EQ(other.Acquire(LockPath()), sys::InstanceLock::Result::kAcquired);

    engine::StartupParams record = WindowedRecord();
    record.externalWindow = host;
    WindowsEngine* made = Create(record);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->HasExternalWindow());
    EXPECT_FALSE(made->HoldsInstanceLock());
    EXPECT_TRUE(made->IsActive());
    EXPECT_EQ(made->GetBackBufferWidth(), 320);
    EXPECT_EQ(made->GetBackBufferHeight(), 200);
    EXPECT_EQ(made->GetWindow(), host);

    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(host);
    SDL_PushEvent(&close);
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_TRUE(DrainEngineEvents().empty());
    SDL_Event waiting{};
    EXPECT_EQ(SDL_PeepEvents(&waiting, 1, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT), 1) << "it was pumped";
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);

    delete made;
    EXPECT_EQ(SDL_GetWindowID(host), close.window.windowID) << "the host's window was destroyed";
    SDL_DestroyWindow(host);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
