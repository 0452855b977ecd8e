#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <vector>

#include "support/gl_test_environment.h"
#include "sys/app_window.h"
#include "sys/key_table.h"
#include "sys/present_blit.h"

namespace {

using sys::WindowEventKind;

class AppWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys::AppWindowDesc desc;
        desc.title = "app window";
        desc.width = 64;
        desc.height = 32;
        ASSERT_TRUE(window.Create(desc)) << window.LastError();
    }

    void TearDown() override {
        window.Close();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        EXPECT_TRUE(testsupport::GlEnvironment().MakeCurrent());
    }

    std::vector<sys::WindowEvent> Pump() {
        std::vector<sys::WindowEvent> events;
        window.Pump([&](const sys::WindowEvent& event) { events.push_back(event); });
        return events;
    }

    void PushWindowEvent(Uint8 kind, Uint32 windowId, int data1 = 0, int data2 = 0) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = kind;
        event.window.windowID = windowId;
        event.window.data1 = data1;
        event.window.data2 = data2;
        SDL_PushEvent(&event);
    }

    sys::AppWindow window;
};

// Fills the back buffer's top rows red and its bottom rows blue (row 0 is the top row).
void FillTopRedBottomBlue(sys::BackBuffer& buffer) {
    buffer.Bind();
    glViewport(0, 0, buffer.Width(), buffer.Height());
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, buffer.Width(), buffer.Height() / 2);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, buffer.Height() / 2, buffer.Width(), buffer.Height() - buffer.Height() / 2);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

TEST_F(AppWindowTest, BackBufferReachesTheWindowTheRightWayUpAndScaled) {
    window.ResizeAndCentre(64, 32);
    // Half the window's size: the present stretches it over the drawable.
    ASSERT_TRUE(window.SetBackBufferSize(32, 16));
    FillTopRedBottomBlue(window.GetBackBuffer());
    ASSERT_TRUE(window.Present());

    int width = 0;
    int height = 0;
    window.GetDrawableSize(width, height);
    ASSERT_EQ(width, 64);
    ASSERT_EQ(height, 32);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    sys::ReadWindowPixelsRgba8(0, 0, width, height, pixels.data());
    // GL rows count from the bottom: the window's top rows are the last ones read.
    for (int row = 0; row < height; ++row) {
        const bool top = row >= height / 2;
        for (int x : {0, width - 1}) {
            const std::uint8_t* p = &pixels[(static_cast<std::size_t>(row) * width + x) * 4];
            EXPECT_EQ(p[0], top ? 255 : 0) << "row " << row << " x " << x;
            EXPECT_EQ(p[2], top ? 0 : 255) << "row " << row << " x " << x;
        }
    }
}

TEST_F(AppWindowTest, CreatedHiddenShownCentredByTheFirstResizeHiddenForGoodAfterClose) {
    EXPECT_FALSE(window.IsShown());
    window.ResizeAndCentre(960, 640);
    EXPECT_TRUE(window.IsShown());
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    window.GetPosition(x, y);
    window.GetClientSize(width, height);
    EXPECT_EQ(std::vector<int>({x, y, width, height}), std::vector<int>({32, 64, 960, 640}));

    window.HideAfterClose();
    EXPECT_FALSE(window.IsShown());
    window.ResizeAndCentre(800, 600);
    EXPECT_FALSE(window.IsShown());
    window.GetClientSize(width, height);
    EXPECT_EQ(width, 800);
    EXPECT_TRUE(window.Present()) << "frames may still be presented into the closed window";
}

TEST_F(AppWindowTest, PumpTranslatesWindowEventsAndFeedsInput) {
    const Uint32 id = window.WindowId();
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE, id);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE, id + 100);  // another window's
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED, id);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST, id);
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, id, 300, 200);
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    event = SDL_Event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = 0;
    SDL_PushEvent(&event);
    event.wheel.y = 2;
    event.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    SDL_PushEvent(&event);
    event = SDL_Event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.scancode = SDL_SCANCODE_F4;
    event.key.keysym.sym = SDLK_F4;
    SDL_PushEvent(&event);

    const std::vector<sys::WindowEvent> events = Pump();
    ASSERT_EQ(events.size(), 9u);
    const WindowEventKind expected[9] = {
        WindowEventKind::kClose,     WindowEventKind::kOther, WindowEventKind::kFocusGained,
        WindowEventKind::kFocusLost, WindowEventKind::kSizeChanged, WindowEventKind::kClose,
        WindowEventKind::kOther,     WindowEventKind::kWheel, WindowEventKind::kOther,
    };
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].kind, expected[i]) << "event " << i;
        EXPECT_NE(events[i].native, nullptr);
    }
    EXPECT_EQ(events[4].param1, 300);
    EXPECT_EQ(events[4].param2, 200);
    EXPECT_EQ(events[7].param1, -1);
    EXPECT_TRUE(sys::PollKeyDown(115)) << "the key event reached the key table";
    sys::ReleaseAllKeys();
}

TEST(AppWindowDesktop, DesktopSizeBeforeAnyWindow) {
    EXPECT_EQ(sys::GetDesktopWidth(), 1024);
    EXPECT_EQ(sys::GetDesktopHeight(), 768);
}

TEST(AppWindowAdopt, AdoptedWindowIsNotDestroyed) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_Window* host = SDL_CreateWindow("host", 0, 0, 40, 30, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(host, nullptr) << SDL_GetError();
    const Uint32 id = SDL_GetWindowID(host);
    {
        sys::AppWindow adopted;
        ASSERT_TRUE(adopted.Adopt(host));
        EXPECT_TRUE(adopted.IsAdopted());
        EXPECT_TRUE(adopted.HasContext());
        adopted.ResizeAndCentre(400, 300);
        int width = 0;
        int height = 0;
        adopted.GetClientSize(width, height);
        EXPECT_EQ(width, 40) << "the host's window is the host's to size";
        EXPECT_TRUE(adopted.SetBackBufferSize(40, 30));
        EXPECT_TRUE(adopted.Present());
    }
    EXPECT_EQ(SDL_GetWindowFromID(id), host);
    SDL_DestroyWindow(host);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    EXPECT_TRUE(testsupport::GlEnvironment().MakeCurrent());
}

}  // namespace
