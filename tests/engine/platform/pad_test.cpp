#include <gtest/gtest.h>

#include <memory>

#include "engine/platform/key_codes.h"
#include "engine/platform/windows_input_device.h"
#include "support/fake_input_host.h"
#include "support/virtual_pad.h"

namespace {

using engine::KeyState;
using engine::ScaleStickAxis;
using engine::WindowsInputDevice;
using testsupport::VirtualPad;

TEST(ScaleStickAxis, DeadZonesAndFullDeflection) {
    struct Case {
        int value;
        int deadZone;
        float expected;
    };
    const Case cases[] = {
        {0, engine::kLeftStickDeadZone, 0.0f},
        {7849, engine::kLeftStickDeadZone, 0.0f},
        {-7849, engine::kLeftStickDeadZone, 0.0f},
        {7850, engine::kLeftStickDeadZone, 1.0f / 24918.0f},
        {-7850, engine::kLeftStickDeadZone, -1.0f / 24918.0f},
        {32767, engine::kLeftStickDeadZone, 1.0f},
        {-32767, engine::kLeftStickDeadZone, -1.0f},
        {-32768, engine::kLeftStickDeadZone, -1.0f},  // one step beyond the range: clamped
        {8689, engine::kRightStickDeadZone, 0.0f},
        {-8689, engine::kRightStickDeadZone, 0.0f},
        {8690, engine::kRightStickDeadZone, 1.0f / 24078.0f},
        {32767, engine::kRightStickDeadZone, 1.0f},
        {-32768, engine::kRightStickDeadZone, -1.0f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(ScaleStickAxis(c.value, c.deadZone), c.expected) << c.value << " in " << c.deadZone;
    }
}

// The pad is an SDL virtual controller; no window exists, so the pad is read whatever the focus.
class Pad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(subsystem.Ready()) << SDL_GetError(); }

    void Frame() {
        host.Advance(16.0);
        device->Update();
    }

    testsupport::ControllerSubsystem subsystem;
    std::unique_ptr<VirtualPad> pad = std::make_unique<VirtualPad>();
    testsupport::FakeInputHost host;
    std::unique_ptr<WindowsInputDevice> device = std::make_unique<WindowsInputDevice>(host, 0);
};

TEST_F(Pad, ButtonsAreDigitalKeysAndTriggersAnalogueKeys) {
    ASSERT_TRUE(pad->Attached()) << SDL_GetError();
    pad->SetButton(SDL_CONTROLLER_BUTTON_A, true);
    pad->SetButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    pad->SetButton(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    pad->SetAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    engine::RawKeyValues raw{};
    EXPECT_TRUE(device->Poll(raw));
    EXPECT_EQ(raw[engine::kKeyPadA], 0x80FF);
    EXPECT_EQ(raw[engine::kKeyPadLeft], 0x80FF);
    EXPECT_EQ(raw[engine::kKeyPadRightShoulder], 0x80FF);
    EXPECT_EQ(raw[engine::kKeyPadB], 0);
    EXPECT_EQ(raw[engine::kKeyPadLeftTrigger], 255);
    EXPECT_EQ(raw[engine::kKeyPadRightTrigger], 0);

    Frame();
    const KeyState a = device->ReadKey(engine::kKeyPadA);
    EXPECT_EQ(a.down, 1);
    EXPECT_EQ(a.pressed, 1);
    EXPECT_EQ(a.analogue, 0);
    const KeyState trigger = device->ReadKey(engine::kKeyPadLeftTrigger);
    EXPECT_EQ(trigger.down, 1);
    EXPECT_EQ(trigger.analogue, 1);
    EXPECT_EQ(trigger.value, 255);
    EXPECT_EQ(device->ReadKey(engine::kKeyPadRightTrigger).down, 0);
}

TEST_F(Pad, SticksReadUpAndRightAsPositive) {
    ASSERT_TRUE(pad->Attached()) << SDL_GetError();
    pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTY, -32768);  // pushed fully up
    pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTX, 7849);    // inside the left dead zone
    pad->SetAxis(SDL_CONTROLLER_AXIS_RIGHTX, -32768);
    pad->SetAxis(SDL_CONTROLLER_AXIS_RIGHTY, 32767);  // fully down
    Frame();
    const engine::PadSticks& sticks = device->GetSticks();
    EXPECT_FLOAT_EQ(sticks.leftY, 1.0f);
    EXPECT_FLOAT_EQ(sticks.leftX, 0.0f);
    EXPECT_FLOAT_EQ(sticks.rightX, -1.0f);
    EXPECT_FLOAT_EQ(sticks.rightY, -1.0f);

    // Losing activation zeroes the sticks while the pad is still pushed.
    host.active = false;
    Frame();
    EXPECT_FLOAT_EQ(device->GetSticks().leftY, 0.0f);
    EXPECT_FLOAT_EQ(device->GetSticks().rightX, 0.0f);
}

TEST_F(Pad, WithoutAPadSticksAndPadKeysReadZero) {
    pad->Detach();
    testsupport::PumpInputEvents();
    engine::RawKeyValues raw{};
    EXPECT_FALSE(device->Poll(raw));
    Frame();
    const engine::PadSticks& sticks = device->GetSticks();
    EXPECT_EQ(sticks.leftX, 0.0f);
    EXPECT_EQ(sticks.leftY, 0.0f);
    EXPECT_EQ(sticks.rightX, 0.0f);
    EXPECT_EQ(sticks.rightY, 0.0f);
    for (int code = engine::kKeyPadUp; code < engine::kKeyCodeCount; ++code) {
        EXPECT_EQ(device->ReadKey(code).down, 0) << code;
    }
}

TEST_F(Pad, APadPluggedInLaterIsRead) {
    auto later = std::make_unique<VirtualPad>();
    pad->Detach();
    testsupport::PumpInputEvents();
    later->SetButton(SDL_CONTROLLER_BUTTON_START, true);
    Frame();
    EXPECT_EQ(device->ReadKey(engine::kKeyPadStart).down, 1);
    device.reset();
}

TEST_F(Pad, VibrationRunsForItsDurationThenStops) {
    ASSERT_TRUE(pad->Attached()) << SDL_GetError();
    device->StartVibration(WindowsInputDevice::kLowFrequencyMotor, 0.5f, 1.0f);
    device->StartVibration(WindowsInputDevice::kHighFrequencyMotor, 1.0f, 0.5f);
    Frame();
    Frame();  // unchanged levels are not sent again
    host.Advance(500.0);
    device->Update();  // the high-frequency motor has run its time
    host.Advance(500.0);
    device->Update();
    const auto& requests = pad->RumbleRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].low, 32767);
    EXPECT_EQ(requests[0].high, 65535);
    EXPECT_EQ(requests[1].low, 32767);
    EXPECT_EQ(requests[1].high, 0);
    EXPECT_EQ(requests[2].low, 0);
    EXPECT_EQ(requests[2].high, 0);
}

TEST_F(Pad, VibrationLevelsRefusedWithoutAPadAreSentOnceOneArrives) {
    pad->Detach();
    testsupport::PumpInputEvents();
    device->StartVibration(WindowsInputDevice::kLowFrequencyMotor, 0.25f, 10.0f);
    Frame();
    VirtualPad later;
    testsupport::PumpInputEvents();
    Frame();
    ASSERT_FALSE(later.RumbleRequests().empty());
    EXPECT_EQ(later.RumbleRequests().front().low, 16383);
    device.reset();
}

}  // namespace
