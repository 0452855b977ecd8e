#include <gtest/gtest.h>

#include <vector>

#include "engine/platform/input_device_list.h"
#include "engine/platform/key_codes.h"
#include "engine/platform/windows_input_device.h"
#include "support/fake_input_host.h"
#include "sys/key_table.h"

namespace {

using engine::KeyState;
using engine::WindowsInputDevice;

// Keys come from the platform layer's key table, set directly as the window's events would set it.
class KeySlots : public ::testing::Test {
protected:
    void SetUp() override { sys::ReleaseAllKeys(); }

    // One frame: the clock moves on by ms, then the device updates.
    void Frame(double ms) {
        host.Advance(ms);
        device.Update();
    }

    testsupport::FakeInputHost host;
    WindowsInputDevice device{host, 0};
};

TEST_F(KeySlots, HeldKeyRepeatsAfter300MsThenEvery100MsCarryingTheRemainder) {
    sys::SetKeyDown(engine::kKeySpace, true);
    std::vector<int> fired;
    device.Update();  // pressed at 0 ms
    if (device.ReadKey(engine::kKeySpace).fire != 0) fired.push_back(0);
    while (host.nowMs + 16.0 < 1000.0) {
        Frame(16.0);
        if (device.ReadKey(engine::kKeySpace).fire != 0) fired.push_back(static_cast<int>(host.nowMs));
    }
    EXPECT_EQ(fired, (std::vector<int>{0, 304, 416, 512, 608, 704, 816, 912}));
}

TEST_F(KeySlots, FrameDeltasAboveOneHundredMsCountAsOneHundred) {
    sys::SetKeyDown(engine::kKeySpace, true);
    device.Update();
    Frame(250.0);  // countdown 300 - 100
    Frame(250.0);  // 200 - 100
    EXPECT_EQ(device.ReadKey(engine::kKeySpace).fire, 0);
    Frame(250.0);  // 100 - 100 = 0: not yet below 0
    EXPECT_EQ(device.ReadKey(engine::kKeySpace).fire, 0);
    Frame(1.0);
    EXPECT_EQ(device.ReadKey(engine::kKeySpace).fire, 1);
}

TEST_F(KeySlots, DoublePressNeedsAReleaseToPressGapBelow200Ms) {
    struct Case {
        double gapMs;
        int doublePress;
    };
    for (const Case c : {Case{150.0, 1}, Case{199.0, 1}, Case{200.0, 0}, Case{400.0, 0}}) {
        SCOPED_TRACE(c.gapMs);
        sys::SetKeyDown(engine::kKeyA, true);
        Frame(1000.0);
        EXPECT_EQ(device.ReadKey(engine::kKeyA).doublePress, 0);
        sys::SetKeyDown(engine::kKeyA, false);
        Frame(50.0);
        sys::SetKeyDown(engine::kKeyA, true);
        Frame(c.gapMs);
        const KeyState state = device.ReadKey(engine::kKeyA);
        EXPECT_EQ(state.pressed, 1);
        EXPECT_EQ(state.doublePress, c.doublePress);
        sys::SetKeyDown(engine::kKeyA, false);
        Frame(1000.0);
    }
}

TEST_F(KeySlots, NoDoublePressWithoutAnEarlierReleaseOrAfterTheClockWasSetBack) {
    // The very first press, moments after the clock started.
    sys::SetKeyDown(engine::kKeyA, true);
    Frame(10.0);
    EXPECT_EQ(device.ReadKey(engine::kKeyA).doublePress, 0);
    // Released late in a long game, then the game clock restarts from 0.
    host.nowMs = 600000.0;
    sys::SetKeyDown(engine::kKeyA, false);
    Frame(16.0);
    host.nowMs = 0.0;
    sys::SetKeyDown(engine::kKeyA, true);
    Frame(16.0);
    const KeyState state = device.ReadKey(engine::kKeyA);
    EXPECT_EQ(state.pressed, 1);
    EXPECT_EQ(state.doublePress, 0);
}

TEST_F(KeySlots, EdgesAreSeenByTheFirstReadOnly) {
    sys::SetKeyDown(engine::kKeyReturn, true);
    Frame(16.0);
    KeyState first = device.ReadKey(engine::kKeyReturn);
    KeyState second = device.ReadKey(engine::kKeyReturn);
    EXPECT_EQ(first.pressed, 1);
    EXPECT_EQ(first.fire, 1);
    EXPECT_EQ(second.pressed, 0);
    EXPECT_EQ(second.down, 1);
    EXPECT_EQ(second.fire, 1);  // fire is this frame's, not an edge

    sys::SetKeyDown(engine::kKeyReturn, false);
    Frame(16.0);
    first = device.ReadKey(engine::kKeyReturn);
    second = device.ReadKey(engine::kKeyReturn);
    EXPECT_EQ(first.released, 1);
    EXPECT_EQ(second.released, 0);
    EXPECT_EQ(second.down, 0);
}

TEST_F(KeySlots, AnEdgeNotReadInItsFrameIsSeenByTheFirstLaterRead) {
    sys::SetKeyDown(engine::kKeyEscape, true);
    Frame(16.0);
    Frame(16.0);
    Frame(16.0);
    KeyState state = device.ReadKey(engine::kKeyEscape);
    EXPECT_EQ(state.pressed, 1);
    EXPECT_EQ(state.fire, 0);
    EXPECT_EQ(state.heldTime, 32);
    Frame(16.0);
    EXPECT_EQ(device.ReadKey(engine::kKeyEscape).pressed, 0);

    sys::SetKeyDown(engine::kKeyEscape, false);
    Frame(16.0);
    Frame(16.0);
    state = device.ReadKey(engine::kKeyEscape);
    EXPECT_EQ(state.released, 1);
    Frame(16.0);
    EXPECT_EQ(device.ReadKey(engine::kKeyEscape).released, 0);
}

TEST_F(KeySlots, ATapWithinOnePumpReadsDownForOneFrame) {
    sys::SetKeyDown(engine::kKeyMouseLeft, true);
    sys::SetKeyDown(engine::kKeyMouseLeft, false);
    Frame(16.0);
    KeyState state = device.ReadKey(engine::kKeyMouseLeft);
    EXPECT_EQ(state.down, 1);
    EXPECT_EQ(state.pressed, 1);
    Frame(16.0);
    state = device.ReadKey(engine::kKeyMouseLeft);
    EXPECT_EQ(state.down, 0);
    EXPECT_EQ(state.released, 1);
}

TEST_F(KeySlots, DigitalValueCountsHeldMillisecondsUpTo255AndIsZeroWhenUp) {
    sys::SetKeyDown(engine::kKeyUp, true);
    Frame(16.0);
    EXPECT_EQ(device.ReadKey(engine::kKeyUp).value, 1);
    Frame(50.0);
    KeyState state = device.ReadKey(engine::kKeyUp);
    EXPECT_EQ(state.heldTime, 50);
    EXPECT_EQ(state.value, 51);
    EXPECT_EQ(state.analogue, 0);
    Frame(400.0);
    EXPECT_EQ(device.ReadKey(engine::kKeyUp).value, 255);
    sys::SetKeyDown(engine::kKeyUp, false);
    Frame(16.0);
    state = device.ReadKey(engine::kKeyUp);
    EXPECT_EQ(state.value, 0);
    EXPECT_EQ(state.heldTime, 0);
}

TEST_F(KeySlots, HeldTimeStopsAtItsLargestValue) {
    sys::SetKeyDown(engine::kKeyUp, true);
    Frame(16.0);
    host.nowMs += 70000.0;
    Frame(16.0);
    EXPECT_EQ(device.ReadKey(engine::kKeyUp).heldTime, 0xFFFF);
}

TEST_F(KeySlots, KeysOutsideTheEngineListNeverReadDown) {
    for (int code : {int{engine::kKeyF16}, int{engine::kKeyHash}, 17, 0, 255}) {
        sys::SetKeyDown(code, true);
    }
    engine::RawKeyValues raw{};
    device.Poll(raw);
    Frame(16.0);
    for (int code : {int{engine::kKeyF16}, int{engine::kKeyHash}, 17, 0, 255}) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(device.IsKeyEnabled(code));
        EXPECT_EQ(raw[code], 0);
        EXPECT_EQ(device.ReadKey(code).down, 0);
    }
    int code = -1;
    EXPECT_FALSE(device.FirstPressedKey(code));
}

TEST_F(KeySlots, PollMarksDigitalKeysAndHonoursTheKeyboardFlag) {
    sys::SetKeyDown(engine::kKeyF4, true);
    engine::RawKeyValues raw{};
    device.Poll(raw);
    EXPECT_EQ(raw[engine::kKeyF4], 0x80FF);
    EXPECT_EQ(raw[engine::kKeyF5], 0x8000);
    EXPECT_EQ(raw[engine::kKeyPadA], 0);

    device.EnableKeyboard(false);
    device.Poll(raw);
    EXPECT_EQ(raw[engine::kKeyF4], 0x8000);
    EXPECT_EQ(raw[engine::kKeyMouseLeft], 0x8000);
}

TEST_F(KeySlots, LosingActivationReadsEveryKeyUp) {
    sys::SetKeyDown(engine::kKeyLeft, true);
    Frame(16.0);
    Frame(100.0);
    ASSERT_EQ(device.ReadKey(engine::kKeyLeft).down, 1);

    host.active = false;
    Frame(16.0);
    KeyState state = device.ReadKey(engine::kKeyLeft);
    EXPECT_EQ(state.down, 0);
    EXPECT_EQ(state.heldTime, 0);
    EXPECT_EQ(state.value, 0);
    EXPECT_EQ(state.fire, 0);
    int code = -1;
    EXPECT_FALSE(device.FirstPressedKey(code));

    // Back in front with the key still held: a fresh press.
    host.active = true;
    Frame(16.0);
    state = device.ReadKey(engine::kKeyLeft);
    EXPECT_EQ(state.down, 1);
    EXPECT_EQ(state.pressed, 1);
}

TEST_F(KeySlots, FirstPressedKeyIsTheLowestFiringCode) {
    int code = -1;
    EXPECT_FALSE(device.FirstPressedKey(code));
    sys::SetKeyDown(engine::kKeyA + 1, true);  // B
    sys::SetKeyDown(engine::kKeyDown, true);
    Frame(16.0);
    ASSERT_TRUE(device.FirstPressedKey(code));
    EXPECT_EQ(code, engine::kKeyDown);
    Frame(16.0);  // held, not repeating yet
    EXPECT_FALSE(device.FirstPressedKey(code));
}

TEST_F(KeySlots, ADisabledDeviceReadsNothing) {
    sys::SetKeyDown(engine::kKeyA, true);
    Frame(16.0);
    device.SetEnabled(false);
    const KeyState state = device.ReadKey(engine::kKeyA);
    EXPECT_EQ(state.down, 0);
    EXPECT_EQ(state.pressed, 0);
    int code = -1;
    EXPECT_FALSE(device.FirstPressedKey(code));
    device.SetEnabled(true);
    EXPECT_EQ(device.ReadKey(engine::kKeyA).pressed, 1);
    EXPECT_EQ(device.ReadKey(-1).down, 0);
    EXPECT_EQ(device.ReadKey(engine::kKeyCodeCount).down, 0);
}

TEST_F(KeySlots, PeekingLeavesTheEdgesToTheFirstRead) {
    sys::SetKeyDown(engine::kKeyA, true);
    Frame(16.0);
    EXPECT_EQ(device.PeekKey(engine::kKeyA).pressed, 1);
    EXPECT_EQ(device.PeekKey(engine::kKeyA).pressed, 1);
    EXPECT_EQ(device.ReadKey(engine::kKeyA).pressed, 1);
    const KeyState after = device.PeekKey(engine::kKeyA);
    EXPECT_EQ(after.pressed, 0);
    EXPECT_EQ(after.down, 1);
    sys::SetKeyDown(engine::kKeyA, false);
    Frame(16.0);
    EXPECT_EQ(device.PeekKey(engine::kKeyA).released, 1);
    EXPECT_EQ(device.ReadKey(engine::kKeyA).released, 1);
    EXPECT_EQ(device.PeekKey(engine::kKeyCodeCount).down, 0);
    device.SetEnabled(false);
    EXPECT_EQ(device.PeekKey(engine::kKeyA).released, 0);
}

TEST(InputDeviceList, HoldsTheDeviceAtIndexZero) {
    testsupport::FakeInputHost host;
    auto device = std::make_unique<WindowsInputDevice>(host, 0);
    engine::InputDevice* raw = device.get();
    const engine::InputDeviceList list(std::move(device));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Get(0), raw);
    EXPECT_EQ(list.Get(1), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
}

}  // namespace
