#pragma once
// An input device: 272 key slots (keyboard, mouse buttons and pad, see key_codes.h) updated once per
// frame with press and release edges, held time, auto-repeat and double presses; the pad's sticks; the
// pointer; the cursor settings and the pad's two rumble motors.
#include <array>
#include <cstdint>

#include "engine/platform/input_host.h"
#include "engine/platform/key_codes.h"

namespace engine {

// One key as ReadKey returns it.
struct KeyState {
    std::uint16_t heldTime = 0;  // ms since the press, 0 while up
    std::uint8_t down = 0;
    // Analogue keys: the level 0 to 255. Digital keys: min(held time + 1, 255) while down, 0 while up.
    std::uint8_t value = 0;
    std::uint8_t fire = 0;      // pressed or auto-repeated this frame
    std::uint8_t pressed = 0;   // went down (kept until read)
    std::uint8_t released = 0;  // went up (kept until read)
    std::uint8_t analogue = 0;
    std::uint8_t doublePress = 0;  // pressed again soon after a release (kept until read)
};

// Raw levels of all key codes from one poll: 0 to 255 in the low byte, kDigitalMark on digital keys.
using RawKeyValues = std::array<std::uint16_t, kKeyCodeCount>;
constexpr std::uint16_t kDigitalMark = 0x8000;

// Stick deflections in -1 to 1, up and right positive.
struct PadSticks {
    float leftX = 0.0f;
    float leftY = 0.0f;
    float rightX = 0.0f;
    float rightY = 0.0f;
};

constexpr int kLeftStickDeadZone = 7849;
constexpr int kRightStickDeadZone = 8689;

// A pad axis (-32768 to 32767) outside its dead zone, scaled to -1 to 1; 0 inside the dead zone.
float ScaleStickAxis(int value, int deadZone);

class InputDevice {
public:
    static constexpr int kLowFrequencyMotor = 0;
    static constexpr int kHighFrequencyMotor = 1;

    InputDevice(InputHost& host, int deviceId);
    virtual ~InputDevice() = default;
    InputDevice(const InputDevice&) = delete;
    InputDevice& operator=(const InputDevice&) = delete;

    // Pointer position in the client area; with relative set, the offset from the client area's centre.
    virtual void GetMousePosition(int& x, int& y, bool relative);
    virtual void CentreMouse() {}
    // Reads every key code's raw level. Returns whether the pad is connected.
    virtual bool Poll(RawKeyValues& raw) = 0;
    virtual void ReadPadSticks(PadSticks& sticks);
    virtual bool HasPointer() const { return hasPointer_; }
    virtual void ShowSystemCursor(bool /*show*/) {}
    // Sends the motor levels of the rumble records to the pad.
    virtual void UpdateVibration() {}

    // Once per frame: poll, then move every enabled slot on by one frame.
    void Update();
    // The key's state. The first read in a frame sees the edges; later reads in that frame do not. All zero
    // for a disabled device or an unknown code.
    KeyState ReadKey(int code);
    // The key's state as ReadKey would give it, without taking its edges: a later ReadKey in the frame still
    // sees them.
    KeyState PeekKey(int code) const;
    // The lowest enabled code that fires this frame; false when none does or the device is disabled.
    bool FirstPressedKey(int& code) const;

    // Stores the cursor texture (0: none) and visibility of a device with a pointer; when either changed,
    // the system cursor shows only when visible and no texture is set.
    void SetMouseCursor(int texture, bool visible);
    int GetCursorTexture() const { return cursorTexture_; }
    bool IsCursorVisible() const { return cursorVisible_; }
    bool GetCentreCursorOnTexture() const { return centreCursorOnTexture_; }
    void SetCentreCursorOnTexture(bool centre) { centreCursorOnTexture_ = centre; }

    // Runs a motor at a strength of 0 to 1 for some seconds of game time.
    void StartVibration(int motor, float strength, float seconds);

    bool IsEnabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool IsKeyEnabled(int code) const;
    const PadSticks& GetSticks() const { return sticks_; }
    int GetDeviceId() const { return deviceId_; }

protected:
    struct RumbleRecord {
        double startSeconds = 0.0;
        double durationSeconds = 0.0;
        float strength = 0.0f;
        std::uint16_t lastLevel = 0;
    };

    void SetKeyEnabled(int code, bool enabled);
    InputHost& Host() const { return host_; }
    std::array<RumbleRecord, 2>& Rumble() { return rumble_; }

private:
    // Release time of a key never released: far enough back that no press counts as a double press.
    static constexpr std::int64_t kNeverReleased = -(std::int64_t{1} << 40);

    struct KeySlot {
        KeyState state;
        KeyState previous;
        std::int64_t pressTime = 0;
        std::int64_t releaseTime = kNeverReleased;
        std::int64_t repeatCountdown = 0;
        bool disabled = false;
        bool readThisFrame = false;
    };

    void ClearForInactive();
    static void UpdateSlot(KeySlot& slot, std::uint16_t raw, std::int64_t now, std::int64_t delta);

    InputHost& host_;
    std::array<KeySlot, kKeyCodeCount> slots_{};
    PadSticks sticks_;
    int deviceId_ = 0;
    int cursorTexture_ = 0;
    bool cursorVisible_ = false;
    bool enabled_ = true;
    bool hasPointer_ = true;
    bool centreCursorOnTexture_ = false;
    std::array<RumbleRecord, 2> rumble_{};
};

}  // namespace engine
