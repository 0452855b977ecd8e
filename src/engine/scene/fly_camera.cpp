#include "engine/scene/fly_camera.h"

#include <algorithm>

#include "engine/core/frame_timer.h"
#include "engine/core/matrix.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/input_device.h"
#include "engine/scene/view_transform.h"

namespace engine {
namespace {

constexpr int kMaxFrameMs = 100;
constexpr float kMouseTurnScale = 0.1f;

bool Down(InputDevice& input, std::uint32_t code) { return input.ReadKey(static_cast<int>(code)).down != 0; }

// -1, 0 or +1: which of two opposite keys is held alone.
int Direction(InputDevice& input, std::uint32_t negative, std::uint32_t positive) {
    const bool minus = Down(input, negative);
    const bool plus = Down(input, positive);
    return minus == plus ? 0 : (plus ? 1 : -1);
}

// Turns the orientation by the rotation; the position stays where it is.
void TurnOrientation(Matrix44& m, const Matrix44& rotation) {
    const Vec3 position = m.GetTranslation();
    m.SetRow(3, Vec3{0.0f, 0.0f, 0.0f});
    Matrix44::MultiplyAffine(rotation, m, m);
    m.SetRow(3, position);
}

void TurnAboutAxis(Matrix44& m, const Vec3& axis, float degrees) {
    Matrix44 rotation;
    rotation.InitRotationAxis(axis, degrees);
    TurnOrientation(m, rotation);
}

void Move(Matrix44& m, const Vec3& direction, float distance) {
    m.TranslateWorld(direction.x * distance, direction.y * distance, direction.z * distance);
}

}  // namespace

int FlyCameraControl(ViewTransform& placement, const FlyCameraBindings& bindings, InputDevice& input,
                     int frameMs) {
    const float dt = static_cast<float>(std::clamp(frameMs, 0, kMaxFrameMs)) * 0.001f;

    float moveSpeed = bindings.moveSpeed;
    float turnSpeed = bindings.turnSpeed;
    const bool modifierA = Down(input, bindings.modifierA);
    const bool modifierB = Down(input, bindings.modifierB);
    if (modifierA && !modifierB) {
        moveSpeed = bindings.moveSpeedA;
        turnSpeed = bindings.turnSpeedA;
    } else if (modifierB && !modifierA) {
        moveSpeed = bindings.moveSpeedB;
        turnSpeed = bindings.turnSpeedB;
    }
    const float moveStep = dt * moveSpeed;
    const float turnStep = dt * turnSpeed;

    Matrix44 m = placement.GetMatrix();
    bool changed = false;
    const int sideways = Direction(input, bindings.left, bindings.right);
    const int upwards = Direction(input, bindings.down, bindings.up);
    if (Down(input, bindings.strafe)) {
        if (sideways != 0) Move(m, m.Row(0), static_cast<float>(sideways) * moveStep);
        if (upwards != 0) Move(m, m.Row(1), static_cast<float>(upwards) * moveStep);
    } else {
        if (sideways != 0) {
            Matrix44 turn;
            turn.InitRotationY(static_cast<float>(sideways) * turnStep);
            TurnOrientation(m, turn);
        }
        if (upwards != 0) TurnAboutAxis(m, m.Row(0), static_cast<float>(upwards) * turnStep);
    }
    changed = sideways != 0 || upwards != 0;

    // Mouse buttons 1 and 2 (key slots 1 and 2) fly forward and back while the mouse looks.
    const bool mouseLook = bindings.mouseLook != 0;
    const bool ahead = Down(input, bindings.forward) || (mouseLook && Down(input, kKeyMouseLeft));
    const bool back = Down(input, bindings.backward) || (mouseLook && Down(input, kKeyMouseRight));
    if (ahead != back) {
        Move(m, m.Row(2), ahead ? moveStep : -moveStep);
        changed = true;
    }

    if (mouseLook) {
        int dx = 0;
        int dy = 0;
        input.GetMousePosition(dx, dy, true);
        if (dx != 0) m.RotateYLocal(static_cast<float>(dx) * turnStep * kMouseTurnScale);
        if (dy != 0) TurnAboutAxis(m, m.Row(0), static_cast<float>(dy) * turnStep * -kMouseTurnScale);
        changed = changed || dx != 0 || dy != 0;
    }

    if (!changed) return 0;
    placement.SetMatrix(m);
    return 1;
}

int FlyCameraControl(ViewTransform& placement, const FlyCameraBindings& bindings) {
    Engine* engine = GetEngine();
    InputDevice* input = engine != nullptr ? engine->GetInputDevice(0) : nullptr;
    const FrameTimer* timer = engine != nullptr ? engine->GetTimer() : nullptr;
    if (input == nullptr || timer == nullptr) return 0;
    return FlyCameraControl(placement, bindings, *input, timer->GetDeltaMs(true));
}

}  // namespace engine
