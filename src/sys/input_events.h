#pragma once
// Input from the window's event pump: keys and mouse buttons into the key table, pointer motion and wheel
// steps into the pointer, controller hot-plug into pad 0.

namespace sys {

// Starts the controller subsystem (reference-counted, headless-safe) and opens the first controller.
// False when the subsystem cannot start; keyboard and mouse work regardless.
bool OpenInput();
// Ends one OpenInput. The last one closes the pad and clears the key table, the pointer and the wheel.
void CloseInput();

// Takes one event of the pump (an SDL_Event): key and mouse-button presses and releases, motion, wheel,
// controller added and removed, and the window losing the keyboard focus (every key is released then,
// since the releases go elsewhere). Other events are ignored.
void HandleInputEvent(const void* sdlEvent);

}  // namespace sys
