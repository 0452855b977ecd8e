#include "engine/platform/input_device.h"

#include <algorithm>
#include <cmath>

namespace engine {
namespace {

constexpr std::int64_t kFirstRepeatMs = 300;
constexpr std::int64_t kRepeatIntervalMs = 100;
constexpr std::int64_t kDoublePressGapMs = 200;
constexpr std::int64_t kMaxDeltaMs = 100;

}  // namespace

float ScaleStickAxis(int value, int deadZone) {
    const float range = static_cast<float>(32767 - deadZone);
    float scaled = 0.0f;
    if (value > deadZone) {
        scaled = static_cast<float>(value - deadZone) / range;
    } else if (value < -deadZone) {
        scaled = static_cast<float>(value + deadZone) / range;
    }
    // -32768 lies one step beyond the range.
    return std::clamp(scaled, -1.0f, 1.0f);
}

InputDevice::InputDevice(InputHost& host, int deviceId) : host_(host), deviceId_(deviceId) {}

void InputDevice::GetMousePosition(int& x, int& y, bool /*relative*/) {
    x = 0;
    y = 0;
}

void InputDevice::ReadPadSticks(PadSticks& sticks) { sticks = PadSticks{}; }

bool InputDevice::IsKeyEnabled(int code) const {
    return code >= 0 && code < kKeyCodeCount && !slots_[code].disabled;
}

void InputDevice::SetKeyEnabled(int code, bool enabled) {
    if (code >= 0 && code < kKeyCodeCount) slots_[code].disabled = !enabled;
}

void InputDevice::ClearForInactive() {
    for (KeySlot& slot : slots_) {
        KeyState& state = slot.state;
        state.heldTime = 0;
        state.down = 0;
        state.fire = 0;
        state.pressed = 0;
        state.released = 0;
        state.doublePress = 0;
        state.value = 0;
        slot.previous = state;
    }
    sticks_ = PadSticks{};
}

void InputDevice::Update() {
    if (!host_.IsActive()) {
        ClearForInactive();
        return;
    }
    RawKeyValues raw{};
    Poll(raw);
    ReadPadSticks(sticks_);
    const auto now = static_cast<std::int64_t>(std::floor(host_.GetGameMilliseconds()));
    const auto delta = std::clamp(static_cast<std::int64_t>(host_.GetGameDeltaMilliseconds()), std::int64_t{0},
                                  kMaxDeltaMs);
    for (int code = 0; code < kKeyCodeCount; ++code) {
        if (!slots_[code].disabled) UpdateSlot(slots_[code], raw[code], now, delta);
    }
    UpdateVibration();
}

void InputDevice::UpdateSlot(KeySlot& slot, std::uint16_t raw, std::int64_t now, std::int64_t delta) {
    KeyState& state = slot.state;
    slot.previous = state;
    state.fire = 0;
    state.analogue = (raw & kDigitalMark) == 0 ? 1 : 0;
    const auto level = static_cast<std::uint8_t>(raw & 0xFF);
    if (state.analogue != 0) state.value = level;

    if (slot.readThisFrame) {
        state.pressed = 0;
        state.released = 0;
        state.doublePress = 0;
        slot.readThisFrame = false;
    }

    if (level != 0) {
        state.down = 1;
        state.released = 0;
        if (slot.previous.down == 0) {
            state.pressed = 1;
            state.fire = 1;
            slot.pressTime = now;
            slot.repeatCountdown = kFirstRepeatMs;
            // A clock set back (a reset game clock) gives no double press.
            const std::int64_t gap = now - slot.releaseTime;
            if (gap >= 0 && gap < kDoublePressGapMs) state.doublePress = 1;
        } else {
            slot.repeatCountdown -= delta;
            if (slot.repeatCountdown < 0) {
                slot.repeatCountdown += kRepeatIntervalMs;
                state.fire = 1;
            }
        }
        // Held for over a minute stays at the largest held time rather than wrapping to a short one.
        state.heldTime = static_cast<std::uint16_t>(std::clamp<std::int64_t>(now - slot.pressTime, 0, 0xFFFF));
    } else {
        state.down = 0;
        state.pressed = 0;
        if (slot.previous.down != 0) {
            state.released = 1;
            slot.releaseTime = now;
        }
        state.heldTime = 0;
        slot.pressTime = 0;
        slot.repeatCountdown = 0;
    }

    if (state.analogue == 0) {
        state.value = state.down != 0 ? static_cast<std::uint8_t>(std::min<int>(state.heldTime + 1, 255)) : 0;
    }
}

KeyState InputDevice::ReadKey(int code) {
    if (!enabled_ || code < 0 || code >= kKeyCodeCount) return KeyState{};
    KeySlot& slot = slots_[code];
    if (slot.readThisFrame) {
        slot.state.pressed = 0;
        slot.state.released = 0;
        slot.state.doublePress = 0;
    }
    slot.readThisFrame = true;
    return slot.state;
}

KeyState InputDevice::PeekKey(int code) const {
    if (!enabled_ || code < 0 || code >= kKeyCodeCount) return KeyState{};
    const KeySlot& slot = slots_[code];
    KeyState state = slot.state;
    if (slot.readThisFrame) {
        state.pressed = 0;
        state.released = 0;
        state.doublePress = 0;
    }
    return state;
}

bool InputDevice::FirstPressedKey(int& code) const {
    if (!enabled_) return false;
    for (int candidate = 0; candidate < kKeyCodeCount; ++candidate) {
        const KeySlot& slot = slots_[candidate];
        if (!slot.disabled && slot.state.fire != 0) {
            code = candidate;
            return true;
        }
    }
    return false;
}

void InputDevice::SetMouseCursor(int texture, bool visible) {
    if (!HasPointer()) return;
    if (texture == cursorTexture_ && visible == cursorVisible_) return;
    cursorTexture_ = texture;
    cursorVisible_ = visible;
    ShowSystemCursor(visible);
}

void InputDevice::StartVibration(int motor, float strength, float seconds) {
    if (motor < 0 || motor >= static_cast<int>(rumble_.size())) return;
    RumbleRecord& record = rumble_[motor];
    record.startSeconds = host_.GetGameMilliseconds() * 0.001;
    record.durationSeconds = seconds;
    record.strength = strength > 0.0f ? std::min(strength, 1.0f) : 0.0f;  // NaN gives 0 too
}

}  // namespace engine
