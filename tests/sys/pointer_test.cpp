#include <gtest/gtest.h>

#include <SDL.h>

#include <utility>

#include "sys/input_events.h"
#include "sys/pointer.h"

namespace {

std::pair<int, int> Position() {
    int x = 0;
    int y = 0;
    sys::GetPointerPosition(x, y);
    return {x, y};
}

class PointerEvents : public ::testing::Test {
protected:
    void SetUp() override { sys::ResetPointer(); }
    void TearDown() override { sys::ResetPointer(); }
};

TEST_F(PointerEvents, MotionAndButtonsSetThePosition) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 12;
    event.motion.y = 34;
    sys::HandleInputEvent(&event);
    EXPECT_EQ(Position(), std::make_pair(12, 34));

    event = SDL_Event{};
    event.type = SDL_MOUSEBUTTONUP;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = 56;
    event.button.y = 78;
    sys::HandleInputEvent(&event);
    EXPECT_EQ(Position(), std::make_pair(56, 78));
}

TEST_F(PointerEvents, WheelCountsOneStepPerEventBySign) {
    struct Case {
        Sint32 y;
        Uint32 direction;
    };
    const Case events[] = {
        {3, SDL_MOUSEWHEEL_NORMAL},  {1, SDL_MOUSEWHEEL_NORMAL}, {-2, SDL_MOUSEWHEEL_NORMAL},
        {0, SDL_MOUSEWHEEL_NORMAL},  // sideways only
        {1, SDL_MOUSEWHEEL_FLIPPED}, {-1, SDL_MOUSEWHEEL_FLIPPED}, {-1, SDL_MOUSEWHEEL_FLIPPED},
    };
    for (const Case& c : events) {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.x = 5;
        event.wheel.y = c.y;
        event.wheel.direction = c.direction;
        sys::HandleInputEvent(&event);
    }
    EXPECT_EQ(sys::TakeWheelSteps(), 2);  // +1 +1 -1, then -1 +1 +1
    EXPECT_EQ(sys::TakeWheelSteps(), 0);
}

TEST_F(PointerEvents, WarpClampsToTheClientAreaOfAShownWindow) {
    SDL_Window* window = SDL_CreateWindow("warp", 0, 0, 200, 100, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    int x = -1;
    int y = -1;
    EXPECT_TRUE(sys::WarpPointer(window, 50, 60, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(50, 60));
    EXPECT_EQ(Position(), std::make_pair(50, 60));
    EXPECT_TRUE(sys::WarpPointer(window, 500, -3, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(199, 0));
    EXPECT_EQ(Position(), std::make_pair(199, 0));

    SDL_HideWindow(window);
    EXPECT_FALSE(sys::WarpPointer(window, 10, 10, x, y));
    EXPECT_FALSE(sys::WarpPointer(nullptr, 10, 10, x, y));
    EXPECT_EQ(Position(), std::make_pair(199, 0));
    SDL_DestroyWindow(window);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace
