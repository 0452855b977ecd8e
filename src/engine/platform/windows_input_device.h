#pragma once
// The input device of the desktop platform: keyboard and mouse buttons from the platform layer's key
// table, the pointer of the game window, game pad 0, and UK character tables for typed text.
#include <array>
#include <cstdint>

#include "engine/platform/input_device.h"

namespace engine {

class WindowsInputDevice final : public InputDevice {
public:
    // Enables the keys the engine uses, applies the cursor setting, centres the pointer and starts the pad.
    WindowsInputDevice(InputHost& host, int deviceId);
    ~WindowsInputDevice() override;

    void GetMousePosition(int& x, int& y, bool relative) override;
    // Moves the pointer to the centre of the back buffer in the window and remembers the centre and how far
    // from it the pointer really went.
    void CentreMouse() override;
    bool Poll(RawKeyValues& raw) override;
    void ReadPadSticks(PadSticks& sticks) override;
    bool HasPointer() const override { return true; }
    // Shows the system cursor when asked and no cursor texture is set; hides it otherwise.
    void ShowSystemCursor(bool show) override;
    void UpdateVibration() override;

    // The character a key types, with or without shift, for enabled virtual keys (0 for keys that type
    // nothing); the bits of the code above its low byte are kept.
    int KeyToChar(int code, bool shift) const;

    // With the keyboard disabled every virtual key reads up.
    void EnableKeyboard(bool enabled) { keyboardEnabled_ = enabled; }
    bool IsKeyboardEnabled() const { return keyboardEnabled_; }

private:
    void BuildCharacterTables();
    void EnableEngineKeys();

    std::array<std::uint8_t, 256> plainChars_{};
    std::array<std::uint8_t, 256> shiftedChars_{};
    int centreX_ = 0;
    int centreY_ = 0;
    int centreOffsetX_ = 0;
    int centreOffsetY_ = 0;
    int lastMouseX_ = 0;
    int lastMouseY_ = 0;
    bool keyboardEnabled_ = false;
};

}  // namespace engine
