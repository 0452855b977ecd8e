#pragma once
// The mouse pointer as the window's events report it: position in the window's client area (origin 0, 0
// at its top-left corner) and the wheel's steps.

namespace sys {

// The last position reported by a motion or button event, or set by a warp.
void GetPointerPosition(int& x, int& y);
void SetPointerPosition(int x, int y);

// Moves the pointer to (x, y) in the window (an SDL_Window), clamped to its client area, records that
// position and returns it in actualX, actualY. Returns false and moves nothing without a window or
// while the window is hidden.
bool WarpPointer(void* window, int x, int y, int& actualX, int& actualY);

// Counts one wheel step: +1 when y is above 0, -1 below; flipped reverses the sign; y = 0 (a purely
// sideways scroll) is ignored.
void AddWheelStep(int y, bool flipped);
// The steps counted since the last call; the count starts again at 0.
int TakeWheelSteps();

// Position 0, 0 and no wheel steps.
void ResetPointer();

}  // namespace sys
