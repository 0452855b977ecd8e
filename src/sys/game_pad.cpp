#include "sys/game_pad.h"

#include <SDL.h>

#include <algorithm>

namespace sys {
namespace {

// A controller's rumble stops by itself after its duration, while the engine's levels stand until changed:
// levels are sent with the longest duration the library accepts and sent again on every read.
constexpr Uint32 kRumbleDurationMs = 0xFFFF;

struct PadSlot {
    SDL_GameController* controller = nullptr;
    std::uint16_t rumbleLow = 0;
    std::uint16_t rumbleHigh = 0;
};

PadSlot& Pad() {
    static PadSlot pad;
    return pad;
}

bool Open(int deviceIndex) {
    if (SDL_IsGameController(deviceIndex) == SDL_FALSE) return false;
    Pad().controller = SDL_GameControllerOpen(deviceIndex);
    return Pad().controller != nullptr;
}

// Axes in -32767..32767: the lowest reading is taken as -32767 so that negating it stays in range.
std::int16_t Symmetric(Sint16 value) { return static_cast<std::int16_t>(std::max<int>(value, -32767)); }

std::uint8_t TriggerLevel(Sint16 value) {
    return static_cast<std::uint8_t>(std::max<int>(value, 0) * 255 / 32767);
}

bool SendRumble(std::uint16_t low, std::uint16_t high) {
    SDL_GameController* controller = Pad().controller;
    if (controller == nullptr) return false;
    const Uint32 duration = (low != 0 || high != 0) ? kRumbleDurationMs : 0;
    return SDL_GameControllerRumble(controller, low, high, duration) == 0;
}

}  // namespace

void OnPadAdded(int sdlDeviceIndex) {
    if (Pad().controller == nullptr) Open(sdlDeviceIndex);
}

void OnPadRemoved(int sdlInstanceId) {
    SDL_GameController* controller = Pad().controller;
    if (controller == nullptr) return;
    if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) != sdlInstanceId) return;
    SDL_GameControllerClose(controller);
    Pad().controller = nullptr;
    ChooseFirstPad();
}

void ChooseFirstPad() {
    if (Pad().controller != nullptr) return;
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        if (Open(index)) return;
    }
}

void ClosePad() {
    if (Pad().controller != nullptr) SDL_GameControllerClose(Pad().controller);
    Pad() = PadSlot{};
}

PadState ReadPad() {
    PadState state;
    SDL_GameController* controller = Pad().controller;
    if (controller == nullptr) return state;
    SDL_GameControllerUpdate();
    if (SDL_GameControllerGetAttached(controller) == SDL_FALSE) return state;
    state.connected = true;

    struct ButtonBit {
        SDL_GameControllerButton button;
        PadButton bit;
    };
    static constexpr ButtonBit kButtons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadDpadUp},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDpadDown},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadDpadLeft},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadDpadRight},
        {SDL_CONTROLLER_BUTTON_A, kPadA},
        {SDL_CONTROLLER_BUTTON_B, kPadB},
        {SDL_CONTROLLER_BUTTON_X, kPadX},
        {SDL_CONTROLLER_BUTTON_Y, kPadY},
        {SDL_CONTROLLER_BUTTON_START, kPadStart},
        {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadLeftShoulder},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadRightShoulder},
    };
    for (const ButtonBit& entry : kButtons) {
        if (SDL_GameControllerGetButton(controller, entry.button) != 0) state.buttons |= entry.bit;
    }

    // The controller's y axes grow downwards; the pad's grow upwards.
    auto axis = [controller](SDL_GameControllerAxis which) {
        return SDL_GameControllerGetAxis(controller, which);
    };
    state.leftX = Symmetric(axis(SDL_CONTROLLER_AXIS_LEFTX));
    state.leftY = static_cast<std::int16_t>(-Symmetric(axis(SDL_CONTROLLER_AXIS_LEFTY)));
    state.rightX = Symmetric(axis(SDL_CONTROLLER_AXIS_RIGHTX));
    state.rightY = static_cast<std::int16_t>(-Symmetric(axis(SDL_CONTROLLER_AXIS_RIGHTY)));
    state.leftTrigger = TriggerLevel(axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    state.rightTrigger = TriggerLevel(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT));

    // Sending the same levels again only extends them; a controller chosen since gets them for the first time.
    if (Pad().rumbleLow != 0 || Pad().rumbleHigh != 0) SendRumble(Pad().rumbleLow, Pad().rumbleHigh);
    return state;
}

bool SetPadRumble(std::uint16_t lowFrequency, std::uint16_t highFrequency) {
    if (!SendRumble(lowFrequency, highFrequency)) return false;
    Pad().rumbleLow = lowFrequency;
    Pad().rumbleHigh = highFrequency;
    return true;
}

}  // namespace sys
