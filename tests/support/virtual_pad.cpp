#include "support/virtual_pad.h"

#include "sys/input_events.h"

namespace testsupport {

ControllerSubsystem::ControllerSubsystem() {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ready_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

ControllerSubsystem::~ControllerSubsystem() {
    if (ready_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

VirtualPad::VirtualPad() {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.userdata = this;
    desc.Rumble = &VirtualPad::OnRumble;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return;
    instanceId_ = SDL_JoystickGetDeviceInstanceID(index);
    joystick_ = SDL_JoystickOpen(index);
    SetAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
    SetAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
}

VirtualPad::~VirtualPad() { Detach(); }

void VirtualPad::SetButton(SDL_GameControllerButton button, bool down) {
    if (joystick_ != nullptr) SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
}

void VirtualPad::SetAxis(SDL_GameControllerAxis axis, Sint16 value) {
    if (joystick_ != nullptr) SDL_JoystickSetVirtualAxis(joystick_, axis, value);
}

void VirtualPad::Detach() {
    if (joystick_ == nullptr) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == instanceId_) {
            SDL_JoystickDetachVirtual(index);
            break;
        }
    }
}

int VirtualPad::OnRumble(void* userdata, Uint16 low, Uint16 high) {
    static_cast<VirtualPad*>(userdata)->rumble_.push_back({low, high});
    return 0;
}

void PumpInputEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) sys::HandleInputEvent(&event);
}

}  // namespace testsupport
