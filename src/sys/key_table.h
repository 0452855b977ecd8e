#pragma once
// Keyboard and mouse-button state as Windows virtual-key numbers (0 to 255), fed by the window's events.
// The engine reads it instead of asking the system for the keyboard state: events pushed by tests change
// it exactly as real ones do.

namespace sys {

constexpr int kVirtualKeyCount = 256;

// Virtual key of a key event (SDL scancode and key code). Letters and digits follow the layout's key code,
// so the key that types "a" is 65 whatever its position; every other key maps by its position to the
// number it has on a UK keyboard. 0 for keys without one.
int VirtualKeyFromKey(int sdlScancode, int sdlKeycode);
// Virtual key of an SDL mouse button: 1 left, 2 right, 4 middle; 0 for other buttons.
int VirtualKeyFromMouseButton(int sdlButton);

// Records a key going down or up. Either shift key also moves the generic shift key (16). A key that goes
// down stays latched until its next poll. 0 (no virtual key) and numbers above 255 are ignored.
void SetKeyDown(int virtualKey, bool down);
// True while the key is down, or when it went down since its last poll, so that a press and release
// arriving between two polls still reads down once. Clears the latch. False for numbers outside 0 to 255.
bool PollKeyDown(int virtualKey);
// Every key up and every latch cleared (the window lost the keyboard, so releases may never arrive).
void ReleaseAllKeys();

}  // namespace sys
