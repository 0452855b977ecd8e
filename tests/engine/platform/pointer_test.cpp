#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <vector>

#include "engine/platform/windows_input_device.h"
#include "support/fake_input_host.h"
#include "support/virtual_pad.h"

namespace {

using engine::WindowsInputDevice;

// A 200 x 100 window on the offscreen video driver with a back buffer of the same size.
class Pointer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("pointer", 0, 0, 200, 100, SDL_WINDOW_SHOWN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        host.window = window;
        device = std::make_unique<WindowsInputDevice>(host, 0);
        testsupport::PumpInputEvents();
    }

    void TearDown() override {
        device.reset();
        if (window != nullptr) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    static void PushMotion(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        SDL_PushEvent(&event);
        testsupport::PumpInputEvents();
    }

    std::vector<int> Read(bool relative) {
        int x = -1;
        int y = -1;
        device->GetMousePosition(x, y, relative);
        return {x, y};
    }

    testsupport::FakeInputHost host;
    SDL_Window* window = nullptr;
    std::unique_ptr<WindowsInputDevice> device;
};

TEST_F(Pointer, StartsCentredAndFollowsMotion) {
    EXPECT_EQ(Read(false), (std::vector<int>{100, 50}));
    PushMotion(30, 40);
    EXPECT_EQ(Read(false), (std::vector<int>{30, 40}));
}

TEST_F(Pointer, RelativeModeGivesTheOffsetFromTheCentreAndRecentres) {
    PushMotion(130, 20);
    EXPECT_EQ(Read(true), (std::vector<int>{30, -30}));
    EXPECT_EQ(Read(true), (std::vector<int>{0, 0}));
    testsupport::PumpInputEvents();  // the warp's own motion event
    EXPECT_EQ(Read(false), (std::vector<int>{100, 50}));
}

TEST_F(Pointer, RelativeModeLeavesThePointerAloneWhileInactive) {
    PushMotion(130, 20);
    host.active = false;
    EXPECT_EQ(Read(true), (std::vector<int>{30, -30}));
    EXPECT_EQ(Read(true), (std::vector<int>{30, -30}));
    EXPECT_EQ(Read(false), (std::vector<int>{130, 20}));
}

TEST_F(Pointer, CentringFollowsTheBackBufferSize) {
    host.width = 100;
    host.height = 60;
    PushMotion(5, 5);
    device->CentreMouse();
    EXPECT_EQ(Read(false), (std::vector<int>{50, 30}));
}

TEST_F(Pointer, SystemCursorShowsOnlyWhenVisibleWithoutATexture) {
    // Construction applies the initial setting: not visible.
    ASSERT_EQ(host.cursorRequests, (std::vector<bool>{false}));
    device->SetMouseCursor(0, true);
    device->SetMouseCursor(0, true);  // unchanged: no request
    device->SetMouseCursor(7, true);
    device->ShowSystemCursor(true);
    device->SetMouseCursor(0, false);
    EXPECT_EQ(host.cursorRequests, (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(device->GetCursorTexture(), 0);
    EXPECT_FALSE(device->IsCursorVisible());
}

}  // namespace
