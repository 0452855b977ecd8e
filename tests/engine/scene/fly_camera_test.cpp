// Free flight with a scripted input device and given frame times: speeds and modifiers, strafing and
// turning, flying with the mouse buttons, mouse look, and the frame-time cap.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "engine/core/matrix.h"
#include "support/fake_input_host.h"
#include "engine/platform/input_device.h"
#include "engine/platform/key_codes.h"
#include "engine/scene/fly_camera.h"
#include "engine/scene/view_transform.h"

namespace {

using engine::FlyCameraBindings;
using engine::FlyCameraControl;
using engine::Matrix44;
using engine::Vec3;
using engine::ViewTransform;

enum Key : std::uint32_t { kLeft = 'J', kRight = 'L', kUp = 'I', kDown = 'K', kForward = 'W', kBack = 'S',
                           kStrafe = 'Q', kModA = 'A', kModB = 'B' };

class FlightInput final : public engine::InputDevice {
public:
    FlightInput() : InputDevice(host, 0) {}
    void GetMousePosition(int& x, int& y, bool relative) override {
        x = relative ? dx : 0;
        y = relative ? dy : 0;
    }
    bool Poll(engine::RawKeyValues& raw) override {
        for (const int code : held) raw[static_cast<std::size_t>(code)] = engine::kDigitalMark | 0xFF;
        return true;
    }
    // The keys held from this frame on.
    void Hold(std::set<int> keys) {
        held = std::move(keys);
        host.Advance(16.0);
        Update();
    }

    testsupport::FakeInputHost host;
    std::set<int> held;
    int dx = 0;
    int dy = 0;
};

FlyCameraBindings Bindings(bool mouseLook = false) {
    FlyCameraBindings b;
    b.left = kLeft;
    b.right = kRight;
    b.up = kUp;
    b.down = kDown;
    b.forward = kForward;
    b.backward = kBack;
    b.strafe = kStrafe;
    b.modifierA = kModA;
    b.modifierB = kModB;
    b.moveSpeed = 10.0f;
    b.moveSpeedA = 40.0f;
    b.moveSpeedB = 2.0f;
    b.turnSpeed = 90.0f;
    b.turnSpeedA = 180.0f;
    b.turnSpeedB = 45.0f;
    b.mouseLook = mouseLook ? 1 : 0;
    return b;
}

// A camera at (1, 2, 3) whose axes are turned away from the world's, so that its own rows matter.
ViewTransform Tilted() {
    Matrix44 m;
    m.InitRotationAxis(Vec3{1.0f, 2.0f, 0.5f}, 35.0f);
    m.SetRow(3, Vec3{1.0f, 2.0f, 3.0f});
    ViewTransform placement;
    placement.Init();
    placement.SetMatrix(m);
    return placement;
}

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

Vec3 Plus(const Vec3& a, const Vec3& b, float scale) {
    return {a.x + b.x * scale, a.y + b.y * scale, a.z + b.z * scale};
}

void ExpectSameMatrix(const Matrix44& a, const Matrix44& b, float tolerance) {
    for (int r = 0; r < 4; ++r) ExpectNear(a.Row(r), b.Row(r), tolerance);
}

TEST(FlyCameraTest, OppositeKeysTogetherChangeNothingAndReturnZero) {
    FlightInput input;
    ViewTransform placement = Tilted();
    const Matrix44 before = placement.GetMatrix();
    for (const std::set<int>& keys : {std::set<int>{kLeft, kRight}, std::set<int>{kUp, kDown},
                                     std::set<int>{kForward, kBack}, std::set<int>{kStrafe, kLeft, kRight},
                                     std::set<int>{}}) {
        input.Hold(keys);
        EXPECT_EQ(FlyCameraControl(placement, Bindings(), input, 100), 0);
        ExpectSameMatrix(placement.GetMatrix(), before, 0.0f);
    }
}

TEST(FlyCameraTest, ForwardMovesAlongTheForwardRowBySpeedTimesTheFrameCappedAt100Ms) {
    FlightInput input;
    input.Hold({kForward});
    for (const auto& [ms, distance] : {std::pair{50, 0.5f}, std::pair{100, 1.0f}, std::pair{250, 1.0f}}) {
        ViewTransform placement = Tilted();
        const Matrix44 before = placement.GetMatrix();
        EXPECT_EQ(FlyCameraControl(placement, Bindings(), input, ms), 1);
        ExpectNear(placement.GetMatrix().GetTranslation(), Plus(before.Row(3), before.Row(2), distance));
        for (int r = 0; r < 3; ++r) ExpectNear(placement.GetMatrix().Row(r), before.Row(r), 0.0f);
    }
}

TEST(FlyCameraTest, ModifierAAloneAndBAloneSelectTheirSpeedsAndBothTogetherTheNormalOnes) {
    struct Case {
        std::set<int> modifiers;
        float distance;
    };
    FlightInput input;
    for (const Case& c : {Case{{}, 1.0f}, Case{{kModA}, 4.0f}, Case{{kModB}, 0.2f}, Case{{kModA, kModB}, 1.0f}}) {
        std::set<int> keys = c.modifiers;
        keys.insert(kBack);
        input.Hold(keys);
        ViewTransform placement = Tilted();
        const Matrix44 before = placement.GetMatrix();
        FlyCameraControl(placement, Bindings(), input, 100);
        ExpectNear(placement.GetMatrix().GetTranslation(), Plus(before.Row(3), before.Row(2), -c.distance));
    }
}

TEST(FlyCameraTest, StrafeMovesAlongTheRightAndUpRowsWithoutTurning) {
    struct Case {
        int key;
        int row;
        float sign;
    };
    FlightInput input;
    for (const Case& c : {Case{kLeft, 0, -1.0f}, Case{kRight, 0, 1.0f}, Case{kUp, 1, 1.0f}, Case{kDown, 1, -1.0f}}) {
        input.Hold({kStrafe, c.key});
        ViewTransform placement = Tilted();
        const Matrix44 before = placement.GetMatrix();
        EXPECT_EQ(FlyCameraControl(placement, Bindings(), input, 100), 1);
        ExpectNear(placement.GetMatrix().GetTranslation(), Plus(before.Row(3), before.Row(c.row), c.sign));
        for (int r = 0; r < 3; ++r) ExpectNear(placement.GetMatrix().Row(r), before.Row(r), 0.0f);
    }
}

TEST(FlyCameraTest, LeftHeldForTenFramesTurnsALevelCameraAQuarterWithoutMovingIt) {
    FlightInput input;
    ViewTransform placement;
    placement.Init();
    Matrix44 start;
    start.SetRow(3, Vec3{5.0f, 1.0f, -2.0f});
    placement.SetMatrix(start);
    input.Hold({kLeft});
    for (int frame = 0; frame < 10; ++frame) EXPECT_EQ(FlyCameraControl(placement, Bindings(), input, 100), 1);
    ExpectNear(placement.GetMatrix().Row(2), Vec3{-1.0f, 0.0f, 0.0f});
    ExpectNear(placement.GetMatrix().Row(1), Vec3{0.0f, 1.0f, 0.0f});
    ExpectNear(placement.GetMatrix().GetTranslation(), Vec3{5.0f, 1.0f, -2.0f});
}

TEST(FlyCameraTest, UpThenDownForEqualTimesRestoresThePlacement) {
    FlightInput input;
    ViewTransform placement = Tilted();
    const Matrix44 before = placement.GetMatrix();
    input.Hold({kUp});
    for (int frame = 0; frame < 7; ++frame) FlyCameraControl(placement, Bindings(), input, 100);
    // Pitching turns the forward row about the right row, which stays.
    ExpectNear(placement.GetMatrix().Row(0), before.Row(0));
    EXPECT_GT(std::fabs(placement.GetMatrix().Row(2).y - before.Row(2).y), 0.1f);
    input.Hold({kDown});
    for (int frame = 0; frame < 7; ++frame) FlyCameraControl(placement, Bindings(), input, 100);
    ExpectSameMatrix(placement.GetMatrix(), before, 1e-5f);
}

TEST(FlyCameraTest, WithMouseLookTheButtonsFlyForwardAndBackAndOnlyThen) {
    FlightInput input;
    for (const auto& [button, sign] : {std::pair{engine::kKeyMouseLeft, 1.0f}, std::pair{engine::kKeyMouseRight, -1.0f}}) {
        input.Hold({button});
        ViewTransform looking = Tilted();
        const Matrix44 before = looking.GetMatrix();
        EXPECT_EQ(FlyCameraControl(looking, Bindings(true), input, 100), 1);
        ExpectNear(looking.GetMatrix().GetTranslation(), Plus(before.Row(3), before.Row(2), sign));

        ViewTransform plain = Tilted();
        EXPECT_EQ(FlyCameraControl(plain, Bindings(false), input, 100), 0);
    }
}

TEST(FlyCameraTest, MouseMovementTurnsByTheMovementTimesTheTurnStepTimesATenth) {
    FlightInput input;
    input.Hold({});
    input.dx = 10;
    ViewTransform placement;
    placement.Init();
    EXPECT_EQ(FlyCameraControl(placement, Bindings(true), input, 100), 1);
    // 10 x (0.1 s x 90 degrees) x 0.1 = 9 degrees about Y.
    Matrix44 expected;
    expected.InitRotationY(9.0f);
    ExpectSameMatrix(placement.GetMatrix(), expected, 1e-5f);

    // Vertical movement pitches about the right row, against the movement, and leaves the position.
    input.dx = 0;
    input.dy = 10;
    ViewTransform pitched = Tilted();
    const Matrix44 before = pitched.GetMatrix();
    EXPECT_EQ(FlyCameraControl(pitched, Bindings(true), input, 100), 1);
    Matrix44 pitch;
    pitch.InitRotationAxis(before.Row(0), -9.0f);
    for (int r = 0; r < 3; ++r) ExpectNear(pitched.GetMatrix().Row(r), pitch.TransformVector(before.Row(r)));
    ExpectNear(pitched.GetMatrix().GetTranslation(), before.Row(3), 0.0f);
}

TEST(FlyCameraTest, WithoutAnEngineThereIsNoInputDeviceAndNothingMoves) {
    ViewTransform placement = Tilted();
    const Matrix44 before = placement.GetMatrix();
    EXPECT_EQ(FlyCameraControl(placement, Bindings()), 0);
    ExpectSameMatrix(placement.GetMatrix(), before, 0.0f);
}

}  // namespace
