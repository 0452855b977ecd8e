#include "sys/pointer.h"

#include <SDL.h>

#include <algorithm>

namespace sys {
namespace {

struct PointerState {
    int x = 0;
    int y = 0;
    int wheelSteps = 0;
};

PointerState& State() {
    static PointerState state;
    return state;
}

}  // namespace

void GetPointerPosition(int& x, int& y) {
    x = State().x;
    y = State().y;
}

void SetPointerPosition(int x, int y) {
    State().x = x;
    State().y = y;
}

bool WarpPointer(void* window, int x, int y, int& actualX, int& actualY) {
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    if (sdlWindow == nullptr || (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_HIDDEN) != 0) return false;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(sdlWindow, &width, &height);
    actualX = std::clamp(x, 0, std::max(width - 1, 0));
    actualY = std::clamp(y, 0, std::max(height - 1, 0));
    SDL_WarpMouseInWindow(sdlWindow, actualX, actualY);
    SetPointerPosition(actualX, actualY);
    return true;
}

void AddWheelStep(int y, bool flipped) {
    if (y == 0) return;
    const int step = y > 0 ? 1 : -1;
    State().wheelSteps += flipped ? -step : step;
}

int TakeWheelSteps() {
    const int steps = State().wheelSteps;
    State().wheelSteps = 0;
    return steps;
}

void ResetPointer() { State() = PointerState{}; }

}  // namespace sys
