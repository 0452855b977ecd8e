#pragma once
// A virtual game controller for input tests: attached through SDL's virtual joystick driver, its buttons
// and axes set by the test, its rumble requests recorded.
#include <SDL.h>

#include <vector>

namespace testsupport {

// Keeps SDL's controller subsystem up for a test, with controller input taken while no window has focus
// (hidden test windows never get it).
class ControllerSubsystem {
public:
    ControllerSubsystem();
    ~ControllerSubsystem();
    ControllerSubsystem(const ControllerSubsystem&) = delete;
    ControllerSubsystem& operator=(const ControllerSubsystem&) = delete;

    bool Ready() const { return ready_; }

private:
    bool ready_ = false;
};

class VirtualPad {
public:
    struct Rumble {
        Uint16 low;
        Uint16 high;
    };

    // Attaches the pad with both triggers released and everything else centred.
    VirtualPad();
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool Attached() const { return joystick_ != nullptr; }
    SDL_JoystickID InstanceId() const { return instanceId_; }
    void SetButton(SDL_GameControllerButton button, bool down);
    // Sticks -32768 to 32767 (y positive down); triggers -32768 (released) to 32767 (full).
    void SetAxis(SDL_GameControllerAxis axis, Sint16 value);
    // Unplugs the pad (also done by the destructor).
    void Detach();

    const std::vector<Rumble>& RumbleRequests() const { return rumble_; }

private:
    static int OnRumble(void* userdata, Uint16 low, Uint16 high);

    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID instanceId_ = -1;
    std::vector<Rumble> rumble_;
};

// Hands every waiting SDL event to the platform layer's input handling.
void PumpInputEvents();

}  // namespace testsupport
