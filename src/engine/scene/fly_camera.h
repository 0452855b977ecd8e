#pragma once
// Free flight for a camera: keys move and turn its placement, the mouse buttons fly forward and back and the
// mouse turns it, all scaled by the real frame time so that the camera flies at the same speed at any frame
// rate. Reads input device 0 and the engine's timer.
#include <cstdint>

namespace engine {

class InputDevice;
class ViewTransform;

struct FlyCameraBindings {
    // Key codes of the input device.
    std::uint32_t left = 0;      // move left / turn left
    std::uint32_t right = 0;     // move right / turn right
    std::uint32_t up = 0;        // move up / pitch up
    std::uint32_t down = 0;      // move down / pitch down
    std::uint32_t forward = 0;
    std::uint32_t backward = 0;
    std::uint32_t strafe = 0;    // held: left, right, up and down move instead of turning
    std::uint32_t modifierA = 0;
    std::uint32_t modifierB = 0;
    // Units and degrees per second: normal, with modifier A alone, with modifier B alone.
    float moveSpeed = 0.0f;
    float moveSpeedA = 0.0f;
    float moveSpeedB = 0.0f;
    float turnSpeed = 0.0f;
    float turnSpeedA = 0.0f;
    float turnSpeedB = 0.0f;
    // Non-zero: the mouse turns the camera, and mouse buttons 1 and 2 fly forward and back.
    std::uint32_t mouseLook = 0;
};

// One frame of free flight on the engine's input device 0 and real frame time. 1 when the placement moved
// or turned; 0, with the placement untouched, when nothing moved or there is no input device.
int FlyCameraControl(ViewTransform& placement, const FlyCameraBindings& bindings);
// The same with the device and the frame time (ms, at most 100 counts) given.
int FlyCameraControl(ViewTransform& placement, const FlyCameraBindings& bindings, InputDevice& input,
                     int frameMs);

}  // namespace engine
