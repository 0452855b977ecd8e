#pragma once
// The dialog system's globals, shared by the dialogs, their controls and the per-frame passes.
#include <array>
#include <cstdint>

#include "engine/gui/navigation_keys.h"

namespace engine {

class BitmapFont;
class Dialog;
class FrameTimer;
class InputDevice;

constexpr int kDialogSlotCount = 64;

// Opaque colours of the default look.
constexpr std::uint32_t GuiRgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}
constexpr std::uint32_t kGuiWhite = GuiRgb(255, 255, 255);

struct GuiState {
    std::array<Dialog*, kDialogSlotCount> slots{};
    // Bumped whenever a slot is freed, so that a pass can tell its dialog went away during a callback.
    std::array<std::uint32_t, kDialogSlotCount> generations{};
    Dialog* active = nullptr;
    BitmapFont* font = nullptr;
    NavigationKeys keys;
    // Injected services; null means the engine's.
    InputDevice* input = nullptr;
    FrameTimer* timer = nullptr;

    int pointerX = 0;
    int pointerY = 0;
    bool pressed = false;
    bool previousPressed = false;
    bool buttonWasDown = false;
    bool outside = false;
    bool suppressed = false;
    // The press began on this control of this dialog (id 0 for the dialog: none).
    int pressDialogId = 0;
    int pressControlId = 0;
};

GuiState& Gui();
// The injected or the engine's services; null when there are none.
InputDevice* GuiInput();
FrameTimer* GuiTimer();
// The real frame time in seconds (at most 0.1) and the millisecond clock of the hover blink.
float GuiFrameSeconds();
std::uint32_t GuiMilliseconds();

// A dialog as it was when a pass took it up: still there after a callback only when its slot holds it in the
// same generation.
struct DialogRef {
    int slot = -1;
    std::uint32_t generation = 0;
    bool Alive(const Dialog* dialog) const;
};

}  // namespace engine
