#include "sys/input_events.h"

#include <SDL.h>

#include "sys/game_pad.h"
#include "sys/key_table.h"
#include "sys/pointer.h"

namespace sys {
namespace {

int g_openCount = 0;
bool g_controllerSubsystem = false;

}  // namespace

bool OpenInput() {
    if (g_openCount++ == 0) {
        g_controllerSubsystem = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
        if (g_controllerSubsystem) ChooseFirstPad();
    }
    return g_controllerSubsystem;
}

void CloseInput() {
    if (g_openCount == 0 || --g_openCount > 0) return;
    ClosePad();
    ReleaseAllKeys();
    ResetPointer();
    if (g_controllerSubsystem) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    g_controllerSubsystem = false;
}

void HandleInputEvent(const void* sdlEvent) {
    if (sdlEvent == nullptr) return;
    const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        SetKeyDown(VirtualKeyFromKey(event.key.keysym.scancode, event.key.keysym.sym), event.type == SDL_KEYDOWN);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        SetPointerPosition(event.button.x, event.button.y);
        SetKeyDown(VirtualKeyFromMouseButton(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEMOTION:
        SetPointerPosition(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEWHEEL:
        AddWheelStep(event.wheel.y, event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED);
        break;
    case SDL_CONTROLLERDEVICEADDED:
        OnPadAdded(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        OnPadRemoved(event.cdevice.which);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys();
        break;
    default:
        break;
    }
}

}  // namespace sys
