#include "engine/platform/windows_input_device.h"

#include "sys/game_pad.h"
#include "sys/input_events.h"
#include "sys/key_table.h"
#include "sys/pointer.h"

namespace engine {
namespace {

constexpr std::uint16_t kDigitalDown = kDigitalMark | 0xFF;

// Virtual keys the engine reads; all others stay disabled and read up.
constexpr int kEngineKeys[] = {
    kKeyMouseLeft, kKeyMouseRight, kKeyMouseMiddle, kKeyBackspace, kKeyTab, kKeyReturn, kKeyShift, kKeyCapsLock,
    kKeyEscape, kKeySpace, kKeyPageUp, kKeyPageDown, kKeyEnd, kKeyHome, kKeyLeft, kKeyUp, kKeyRight, kKeyDown,
    kKeyInsert, kKeyDelete, kKeyLeftWindows, kKeyRightWindows, kKeyApplications, kKeyKeypadMultiply,
    kKeyKeypadAdd, kKeyKeypadSubtract, kKeyKeypadDecimal, kKeyKeypadDivide, kKeyNumLock, kKeyScrollLock,
    kKeyLeftShift, kKeyRightShift, kKeyLeftControl, kKeyRightControl, kKeyLeftAlt, kKeyRightAlt, kKeySemicolon,
    kKeyEquals, kKeyComma, kKeyMinus, kKeyPeriod, kKeySlash, kKeyApostrophe, kKeyLeftBracket, kKeyBackslash,
    kKeyRightBracket, kKeyGrave,
};

struct PadButtonCode {
    std::uint16_t bit;
    int code;
};

constexpr PadButtonCode kPadButtons[] = {
    {sys::kPadDpadUp, kKeyPadUp},
    {sys::kPadDpadDown, kKeyPadDown},
    {sys::kPadDpadLeft, kKeyPadLeft},
    {sys::kPadDpadRight, kKeyPadRight},
    {sys::kPadA, kKeyPadA},
    {sys::kPadB, kKeyPadB},
    {sys::kPadX, kKeyPadX},
    {sys::kPadY, kKeyPadY},
    {sys::kPadStart, kKeyPadStart},
    {sys::kPadBack, kKeyPadBack},
    {sys::kPadLeftShoulder, kKeyPadLeftShoulder},
    {sys::kPadRightShoulder, kKeyPadRightShoulder},
};

}  // namespace

WindowsInputDevice::WindowsInputDevice(InputHost& host, int deviceId) : InputDevice(host, deviceId) {
    sys::OpenInput();
    BuildCharacterTables();
    EnableEngineKeys();
    Host().ShowSystemCursor(IsCursorVisible());
    CentreMouse();
    keyboardEnabled_ = true;
}

WindowsInputDevice::~WindowsInputDevice() { sys::CloseInput(); }

void WindowsInputDevice::EnableEngineKeys() {
    for (int code = 0; code < kVirtualKeyEnd + 1; ++code) SetKeyEnabled(code, false);
    for (int code : kEngineKeys) SetKeyEnabled(code, true);
    for (int code = kKey0; code <= kKey9; ++code) SetKeyEnabled(code, true);
    for (int code = kKeyA; code <= kKeyZ; ++code) SetKeyEnabled(code, true);
    for (int code = kKeyKeypad0; code <= kKeyKeypad9; ++code) SetKeyEnabled(code, true);
    for (int code = kKeyF1; code <= kKeyF15; ++code) SetKeyEnabled(code, true);
}

void WindowsInputDevice::BuildCharacterTables() {
    // A UK keyboard.
    for (int i = 0; i < 26; ++i) {
        plainChars_[kKeyA + i] = static_cast<std::uint8_t>('a' + i);
        shiftedChars_[kKeyA + i] = static_cast<std::uint8_t>('A' + i);
    }
    static constexpr std::uint8_t kShiftedDigits[10] = {')', '!', '"', 163, '$', '%', '^', '&', '*', '('};
    for (int i = 0; i < 10; ++i) {
        plainChars_[kKey0 + i] = static_cast<std::uint8_t>('0' + i);
        shiftedChars_[kKey0 + i] = kShiftedDigits[i];
        plainChars_[kKeyKeypad0 + i] = static_cast<std::uint8_t>('0' + i);
        shiftedChars_[kKeyKeypad0 + i] = static_cast<std::uint8_t>('0' + i);
    }
    struct Row {
        int code;
        std::uint8_t plain;
        std::uint8_t shifted;
    };
    static constexpr Row kRows[] = {
        {kKeySemicolon, ';', ':'},
        {kKeyEquals, '=', '+'},
        {kKeyComma, ',', '<'},
        {kKeyMinus, '-', '_'},
        {kKeyPeriod, '.', '>'},
        {kKeySlash, '/', '?'},
        {kKeyApostrophe, '\'', '@'},
        {kKeyLeftBracket, '[', '{'},
        {kKeyBackslash, '\\', '|'},
        {kKeyRightBracket, ']', '}'},
        {kKeySpace, ' ', ' '},
        {kKeyBackspace, 8, 8},
        {kKeyTab, 9, 9},
        {kKeyReturn, 10, 10},
        {kKeyDelete, 127, 127},
        {kKeyKeypadDecimal, '.', 127},
        {kKeyKeypadMultiply, '*', '*'},
        {kKeyKeypadAdd, '+', '+'},
        {kKeyKeypadSubtract, '-', '-'},
        {kKeyKeypadDivide, '/', '/'},
        // Caret keys give control codes.
        {kKeyLeft, 29, 29},
        {kKeyUp, 30, 30},
        {kKeyRight, 28, 28},
        {kKeyDown, 31, 31},
        {kKeyHome, 11, 11},
        {kKeyEnd, 12, 12},
    };
    for (const Row& row : kRows) {
        plainChars_[row.code] = row.plain;
        shiftedChars_[row.code] = row.shifted;
    }
}

int WindowsInputDevice::KeyToChar(int code, bool shift) const {
    const int high = code & ~0xFF;
    const int key = code & 0xFF;
    if (key >= kVirtualKeyEnd || !IsKeyEnabled(key)) return high;
    return high | (shift ? shiftedChars_[key] : plainChars_[key]);
}

bool WindowsInputDevice::Poll(RawKeyValues& raw) {
    raw.fill(0);
    for (int code = 0; code < kVirtualKeyEnd; ++code) {
        if (!IsKeyEnabled(code)) continue;
        if (!keyboardEnabled_) {
            raw[code] = kDigitalMark;
        } else {
            raw[code] = sys::PollKeyDown(code) ? kDigitalDown : kDigitalMark;
        }
    }
    const sys::PadState pad = sys::ReadPad();
    for (const PadButtonCode& entry : kPadButtons) {
        if ((pad.buttons & entry.bit) != 0) raw[entry.code] = kDigitalDown;
    }
    raw[kKeyPadLeftTrigger] = pad.leftTrigger;
    raw[kKeyPadRightTrigger] = pad.rightTrigger;
    return pad.connected;
}

void WindowsInputDevice::ReadPadSticks(PadSticks& sticks) {
    const sys::PadState pad = sys::ReadPad();
    if (!pad.connected) {
        sticks = PadSticks{};
        return;
    }
    sticks.leftX = ScaleStickAxis(pad.leftX, kLeftStickDeadZone);
    sticks.leftY = ScaleStickAxis(pad.leftY, kLeftStickDeadZone);
    sticks.rightX = ScaleStickAxis(pad.rightX, kRightStickDeadZone);
    sticks.rightY = ScaleStickAxis(pad.rightY, kRightStickDeadZone);
}

void WindowsInputDevice::GetMousePosition(int& x, int& y, bool relative) {
    int pointerX = 0;
    int pointerY = 0;
    sys::GetPointerPosition(pointerX, pointerY);
    if (!relative) {
        lastMouseX_ = pointerX;
        lastMouseY_ = pointerY;
        x = pointerX;
        y = pointerY;
        return;
    }
    const int centreX = Host().GetBackBufferWidth() / 2;
    const int centreY = Host().GetBackBufferHeight() / 2;
    x = pointerX - centreX;
    y = pointerY - centreY;
    if (Host().IsActive()) {
        int actualX = 0;
        int actualY = 0;
        sys::WarpPointer(Host().GetWindow(), centreX, centreY, actualX, actualY);
    }
}

void WindowsInputDevice::CentreMouse() {
    centreX_ = Host().GetBackBufferWidth() / 2;
    centreY_ = Host().GetBackBufferHeight() / 2;
    int actualX = centreX_;
    int actualY = centreY_;
    if (!sys::WarpPointer(Host().GetWindow(), centreX_, centreY_, actualX, actualY)) {
        actualX = centreX_;
        actualY = centreY_;
    }
    centreOffsetX_ = actualX - centreX_;
    centreOffsetY_ = actualY - centreY_;
}

void WindowsInputDevice::ShowSystemCursor(bool show) { Host().ShowSystemCursor(show && GetCursorTexture() == 0); }

void WindowsInputDevice::UpdateVibration() {
    const double seconds = Host().GetGameMilliseconds() * 0.001;
    std::array<std::uint16_t, 2> levels{};
    auto& records = Rumble();
    for (std::size_t motor = 0; motor < records.size(); ++motor) {
        RumbleRecord& record = records[motor];
        if (seconds - record.startSeconds < record.durationSeconds) {
            levels[motor] = static_cast<std::uint16_t>(record.strength * 65535.0f);
        } else {
            record.strength = 0.0f;
        }
    }
    if (levels[0] == records[0].lastLevel && levels[1] == records[1].lastLevel) return;
    if (sys::SetPadRumble(levels[0], levels[1])) {
        records[0].lastLevel = levels[0];
        records[1].lastLevel = levels[1];
    }
}

}  // namespace engine
