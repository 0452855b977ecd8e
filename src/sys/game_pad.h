#pragma once
// Game pad 0: the first connected game controller, read in the conventions of the engine's pad: sticks
// with up and right positive in -32767 to 32767, triggers 0 to 255, motor levels 0 to 65535 that stay
// until changed.
#include <cstdint>

namespace sys {

// Button bits of PadState::buttons.
enum PadButton : std::uint16_t {
    kPadDpadUp = 1u << 0,
    kPadDpadDown = 1u << 1,
    kPadDpadLeft = 1u << 2,
    kPadDpadRight = 1u << 3,
    kPadA = 1u << 4,
    kPadB = 1u << 5,
    kPadX = 1u << 6,
    kPadY = 1u << 7,
    kPadStart = 1u << 8,
    kPadBack = 1u << 9,
    kPadLeftShoulder = 1u << 10,
    kPadRightShoulder = 1u << 11,
};

struct PadState {
    bool connected = false;
    std::uint16_t buttons = 0;
    std::uint8_t leftTrigger = 0;
    std::uint8_t rightTrigger = 0;
    std::int16_t leftX = 0;
    std::int16_t leftY = 0;
    std::int16_t rightX = 0;
    std::int16_t rightY = 0;
};

// Controller hot-plug, from the window's events: a controller that arrives becomes pad 0 when there is
// none; when pad 0 leaves, the first remaining controller takes its place.
void OnPadAdded(int sdlDeviceIndex);
void OnPadRemoved(int sdlInstanceId);
// Opens the first connected controller when no pad is open.
void ChooseFirstPad();
// Closes pad 0 and forgets the motor levels.
void ClosePad();

// The current state of pad 0; all zero and not connected when there is none. A running rumble is sent
// again, so that it lasts as long as its levels stand.
PadState ReadPad();

// Sets both motor levels of pad 0 until they are changed again. True when the pad took them; the levels
// are kept (and refreshed by ReadPad) only then.
bool SetPadRumble(std::uint16_t lowFrequency, std::uint16_t highFrequency);

}  // namespace sys
