#include <gtest/gtest.h>

#include <memory>

#include "support/virtual_pad.h"
#include "sys/game_pad.h"
#include "sys/input_events.h"

namespace {

using testsupport::PumpInputEvents;
using testsupport::VirtualPad;

// Runs inside the GL test binary, whose hidden window never has focus.
class GamePad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(subsystem.Ready()) << SDL_GetError();
        ASSERT_TRUE(sys::OpenInput());
        PumpInputEvents();
    }
    void TearDown() override { sys::CloseInput(); }

    testsupport::ControllerSubsystem subsystem;
};

TEST_F(GamePad, NoPadReadsDisconnectedAndRefusesRumble) {
    const sys::PadState state = sys::ReadPad();
    EXPECT_FALSE(state.connected);
    EXPECT_EQ(state.buttons, 0);
    EXPECT_EQ(state.leftY, 0);
    EXPECT_FALSE(sys::SetPadRumble(100, 100));
}

TEST_F(GamePad, ReadsButtonsSticksAndTriggersInPadConventions) {
    VirtualPad pad;
    ASSERT_TRUE(pad.Attached()) << SDL_GetError();
    PumpInputEvents();  // the controller-added event opens it

    pad.SetButton(SDL_CONTROLLER_BUTTON_A, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_Y, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_BACK, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_LEFTSTICK, true);  // not a pad key
    pad.SetAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    pad.SetAxis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    pad.SetAxis(SDL_CONTROLLER_AXIS_RIGHTX, 1234);
    pad.SetAxis(SDL_CONTROLLER_AXIS_RIGHTY, 32767);
    pad.SetAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    sys::PadState state = sys::ReadPad();
    ASSERT_TRUE(state.connected);
    EXPECT_EQ(state.buttons, sys::kPadA | sys::kPadY | sys::kPadDpadDown | sys::kPadBack | sys::kPadLeftShoulder);
    EXPECT_EQ(state.leftX, -32767);
    EXPECT_EQ(state.leftY, 32767);  // pushed up
    EXPECT_EQ(state.rightX, 1234);
    EXPECT_EQ(state.rightY, -32767);
    EXPECT_EQ(state.leftTrigger, 0);
    EXPECT_EQ(state.rightTrigger, 255);

    pad.SetAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);  // half way: 16383 of 32767
    state = sys::ReadPad();
    EXPECT_EQ(state.rightTrigger, 127);
}

TEST_F(GamePad, TheFirstRemainingControllerTakesOverWhenPadZeroLeaves) {
    auto first = std::make_unique<VirtualPad>();
    auto second = std::make_unique<VirtualPad>();
    ASSERT_TRUE(first->Attached() && second->Attached()) << SDL_GetError();
    PumpInputEvents();
    first->SetButton(SDL_CONTROLLER_BUTTON_A, true);
    second->SetButton(SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_EQ(sys::ReadPad().buttons, sys::kPadA);

    first->Detach();
    PumpInputEvents();
    sys::PadState state = sys::ReadPad();
    EXPECT_TRUE(state.connected);
    EXPECT_EQ(state.buttons, sys::kPadB);

    // A controller leaving that is not pad 0 changes nothing.
    auto third = std::make_unique<VirtualPad>();
    PumpInputEvents();
    third->Detach();
    PumpInputEvents();
    EXPECT_EQ(sys::ReadPad().buttons, sys::kPadB);

    second->Detach();
    PumpInputEvents();
    EXPECT_FALSE(sys::ReadPad().connected);
}

TEST_F(GamePad, RumbleLevelsStandUntilChangedAndFollowANewPad) {
    auto first = std::make_unique<VirtualPad>();
    auto second = std::make_unique<VirtualPad>();
    PumpInputEvents();
    ASSERT_TRUE(sys::SetPadRumble(1000, 2000));
    ASSERT_EQ(first->RumbleRequests().size(), 1u);
    EXPECT_EQ(first->RumbleRequests()[0].low, 1000);
    EXPECT_EQ(first->RumbleRequests()[0].high, 2000);

    first->Detach();
    PumpInputEvents();
    sys::ReadPad();
    ASSERT_EQ(second->RumbleRequests().size(), 1u);
    EXPECT_EQ(second->RumbleRequests()[0].low, 1000);
    EXPECT_EQ(second->RumbleRequests()[0].high, 2000);

    ASSERT_TRUE(sys::SetPadRumble(0, 0));
    ASSERT_EQ(second->RumbleRequests().size(), 2u);
    EXPECT_EQ(second->RumbleRequests()[1].low, 0);
    sys::ReadPad();
    EXPECT_EQ(second->RumbleRequests().size(), 2u);
}

}  // namespace
