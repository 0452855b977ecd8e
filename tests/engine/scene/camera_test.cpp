#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/render/shader_constant_cache.h"
#include "engine/scene/camera.h"
#include "recording_shader_device.h"
#include "scene_test_support.h"

using namespace engine;

namespace {

class TestCamera final : public Camera {
public:
    void Render(RenderQueue*, RenderTarget&) override {}
    void DrawSkybox() override {}
    void SetWorldMatrix(const Matrix44&) override {}
};

struct CameraFixture : ::testing::Test {
    CameraFixture() : constants(device, counters) {}

    // A camera at (3, 2, -5) turned 30 degrees about Y and tilted down 20 degrees.
    void Place(TestCamera& camera, int width, int height, float aspect, float orthoSize) {
        camera.Init({10, 20, width, height}, aspect, 1.0f, 100.0f, &constants);
        Matrix44 placement;
        placement.InitRotationX(20.0f);
        placement.RotateYWorld(30.0f);
        placement.m[3][0] = 3.0f, placement.m[3][1] = 2.0f, placement.m[3][2] = -5.0f;
        camera.GetViewTransform().SetMatrix(placement);
        camera.GetViewTransform().SetFov(60.0f);
        camera.GetViewTransform().SetOrthoSize(orthoSize);
        camera.UpdateFrustum();
    }
    // A point given in the camera's own axes (right, up, forward) in world space.
    static Vec3 FromView(const Camera& camera, float x, float y, float z) {
        return camera.GetViewTransform().GetMatrix().TransformPoint({x, y, z});
    }

    rendertest::RecordingShaderDevice device;
    ShaderBindCounters counters;
    ShaderConstantCache constants;
};

TEST(ViewTransform, FieldOfViewIsClamped) {
    ViewTransform view;
    view.Init();
    EXPECT_EQ(view.GetFov(), 30.0f);
    view.SetFov(0.0f);
    EXPECT_EQ(view.GetFov(), 0.001f);
    view.SetFov(200.0f);
    EXPECT_EQ(view.GetFov(), 179.999f);
    view.SetFov(NAN);
    EXPECT_EQ(view.GetFov(), 0.001f);
}

TEST(ViewTransform, InverseFollowsTheLastMatrix) {
    ViewTransform view;
    view.Init();
    Matrix44 m = scenetest::RotateThenMove(40, 1, 2, 3);
    view.SetMatrix(m);
    Matrix44 product;
    Matrix44::Multiply(m, view.GetInverse(), product);
    scenetest::ExpectMatrixNear(product, IdentityMatrix());
    m.m[3][0] = 9.0f;
    view.SetMatrix(m);
    EXPECT_NEAR(view.GetInverse().TransformPoint({9, 2, 3}).x, 0.0f, 1e-5f);
}

TEST_F(CameraFixture, InitDefaults) {
    TestCamera camera;
    camera.Init({0, 0, 960, 640}, 0.0f, 0.0f, 50.0f, &constants);
    EXPECT_FLOAT_EQ(camera.GetAspect(), 1.5f);
    EXPECT_FLOAT_EQ(camera.GetNear(), 0.001f);
    const ColourF scale = camera.ColourScale();
    EXPECT_EQ(scale.r, 1.0f);
    EXPECT_EQ(scale.g, 1.0f);
    EXPECT_EQ(scale.b, 1.0f);
    const ColourF offset = camera.ColourOffset();
    EXPECT_EQ(offset.r + offset.g + offset.b, 0.0f);
    EXPECT_EQ(camera.ViewportRect().width, 960);
    EXPECT_EQ(camera.MinDepth(), 0.0f);
    EXPECT_EQ(camera.MaxDepth(), 1.0f);
    camera.SetAspect(2.0f);
    EXPECT_FLOAT_EQ(camera.GetAspect(), 2.0f);
    float width = 0, height = 0;
    Camera::FrustumSize(10.0f, 90.0f, 2.0f, width, height);
    EXPECT_NEAR(height, 20.0f, 1e-4f);
    EXPECT_NEAR(width, 40.0f, 1e-4f);
}

TEST_F(CameraFixture, UpdateFrustumUploadsTheTransposedViewProjection) {
    TestCamera camera;
    Place(camera, 900, 600, 0.0f, 0.0f);
    const Matrix44& vp = camera.GetViewProjection();
    for (int reg = 0; reg < 4; ++reg) {
        ASSERT_TRUE(device.VertexRegisterWritten(reg));
        const auto value = device.VertexRegister(reg);
        for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(value[c], vp.m[c][reg]) << "c" << reg << "[" << c << "]";
    }
    // view x projection: a point ahead at the near distance lands on clip z 0, at the far one on 1.
    for (const float depth : {1.0f, 100.0f}) {
        const Vec3 p = FromView(camera, 0, 0, depth);
        const Vec4 c = vp.TransformVec4({p.x, p.y, p.z, 1.0f});
        EXPECT_NEAR(c.z / c.w, depth == 1.0f ? 0.0f : 1.0f, 1e-4f);
    }
}

TEST_F(CameraFixture, PlanesBoundTheViewVolume) {
    // View-space points and the one plane each lies outside (-1: inside all six).
    struct Case {
        float x, y, z;
        int outside;
    };
    const float k = std::tan(30.0f * 3.14159265f / 180.0f);  // half of the 60 degree field of view
    const float aspect = 1.5f;
    const Case perspective[] = {
        {0, 0, 50, -1},
        {0, 0, -0.9f, -2},  // behind the eye but within the near distance: only the sides reject it
        {0, 0, 101, 1},
        {-k * aspect * 20 * 1.05f, 0, 20, 2},
        {k * aspect * 20 * 1.05f, 0, 20, 3},
        {0, -k * 20 * 1.05f, 20, 4},
        {0, k * 20 * 1.05f, 20, 5},
        {k * aspect * 20 * 0.95f, k * 20 * 0.95f, 20, -1},
    };
    TestCamera camera;
    Place(camera, 900, 600, 0.0f, 0.0f);
    for (const Case& c : perspective) {
        const Vec3 p = FromView(camera, c.x, c.y, c.z);
        for (int i = 0; i < 6; ++i) {
            const Plane& plane = camera.GetPlane(i);
            const bool inside = plane.normal.Dot(p) - plane.d >= 0.0f;
            if (c.outside == -2) {
                EXPECT_EQ(inside, i < 2) << "plane " << i;
            } else {
                EXPECT_EQ(inside, i != c.outside) << "point " << c.x << "," << c.y << "," << c.z << " plane " << i;
            }
        }
    }
    // Orthographic: the sides sit at the size on either side (plane 2 facing -x, 4 facing -y), the near plane
    // the near distance behind.
    const Case orthographic[] = {
        {0, 0, 50, -1}, {0, 0, -0.9f, -1}, {0, 0, -1.1f, 0}, {0, 0, 101, 1},
        {8.1f, 0, 5, 2}, {-8.1f, 0, 5, 3}, {0, 8.1f, 5, 4}, {0, -8.1f, 5, 5}, {7.9f, -7.9f, 5, -1},
    };
    Place(camera, 900, 600, 0.0f, 8.0f);
    for (const Case& c : orthographic) {
        const Vec3 p = FromView(camera, c.x, c.y, c.z);
        for (int i = 0; i < 6; ++i) {
            const Plane& plane = camera.GetPlane(i);
            EXPECT_EQ(plane.normal.Dot(p) - plane.d >= 0.0f, i != c.outside)
                << "point " << c.x << "," << c.y << "," << c.z << " plane " << i;
        }
    }
}

TEST_F(CameraFixture, SphereAndBoxVisibility) {
    TestCamera camera;
    camera.Init({0, 0, 600, 600}, 1.0f, 1.0f, 100.0f, &constants);
    camera.UpdateFrustum();  // at the origin looking along +z
    EXPECT_EQ(camera.SphereVisible({0, 0, 50}, 1.0f), 1);
    EXPECT_EQ(camera.SphereVisible({0, 0, 102}, 1.0f), 0);
    EXPECT_EQ(camera.SphereVisible({0, 0, 100.5f}, 1.0f), 1);
    // The near plane lies the near distance behind the eye: a sphere of radius 2 behind the camera by less
    // than near + radius still counts.
    EXPECT_EQ(camera.SphereVisible({0, 0, -2.9f}, 2.0f), 1);
    EXPECT_EQ(camera.SphereVisible({0, 0, -3.1f}, 2.0f), 0);

    struct BoxCase {
        Vec3 min, max;
        int visible;
    };
    const BoxCase boxes[] = {
        {{-1, -1, 10}, {1, 1, 12}, 1},
        {{-100, -1, 10}, {-20, 1, 12}, 0},  // wholly beyond the -x side
        {{-100, -1, 10}, {0, 1, 12}, 1},    // straddles it: its max x corner is inside
        {{-1, -1, 99}, {1, 1, 150}, 1},     // straddles the far plane: its min z corner is inside
        {{-1, -1, 101}, {1, 1, 150}, 0},
        {{-1, 20, 10}, {1, 30, 12}, 0},     // above the +y side
    };
    for (const BoxCase& b : boxes) {
        Aabb box;
        box.Init(b.min, b.max);
        EXPECT_EQ(camera.BoxVisible(box), b.visible) << b.min.x << "," << b.min.y << "," << b.min.z;
    }
}

TEST_F(CameraFixture, ScreenToRayAndBackReturnsThePixel) {
    struct Setup {
        int width, height;
        float aspect, orthoSize;
    };
    const Setup setups[] = {
        {600, 600, 0.0f, 0.0f}, {900, 600, 0.0f, 0.0f}, {600, 600, 1.5f, 0.0f},
        {600, 600, 0.0f, 8.0f}, {900, 600, 0.0f, 8.0f}, {600, 600, 1.5f, 8.0f},
    };
    for (const Setup& s : setups) {
        SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + " aspect " + std::to_string(s.aspect) +
                     " size " + std::to_string(s.orthoSize));
        TestCamera camera;
        Place(camera, s.width, s.height, s.aspect, s.orthoSize);
        for (int py = 1; py < s.height; py += 53) {
            for (int px = 1; px < s.width; px += 61) {
                PickSegment segment;
                camera.ScreenToRay(px, py, segment);
                for (const float along : {0.05f, 0.5f, 0.9f}) {
                    const Vec3 point = segment.start.Add(segment.delta.Scale(along));
                    int x = -1, y = -1;
                    ASSERT_EQ(camera.ProjectToScreen(point, x, y), 1);
                    EXPECT_LE(std::abs(x - px), 1) << px << "," << py << " at " << along;
                    EXPECT_LE(std::abs(y - py), 1) << px << "," << py << " at " << along;
                }
            }
        }
    }
}

TEST_F(CameraFixture, StraightAheadAtFarDistanceIsTheViewportCentre) {
    TestCamera camera;
    Place(camera, 900, 600, 0.0f, 0.0f);
    int x = 0, y = 0;
    EXPECT_EQ(camera.ProjectToScreen(FromView(camera, 0, 0, 100.0f), x, y), 1);
    EXPECT_LE(std::abs(x - 450), 1);
    EXPECT_LE(std::abs(y - 300), 1);
    PickSegment segment;
    camera.ScreenToRay(450, 300, segment);
    const Vec3 end = segment.start.Add(segment.delta);
    const Vec3 expected = FromView(camera, 0, 0, 100.0f);
    EXPECT_NEAR(end.x, expected.x, 1e-3f);
    EXPECT_NEAR(end.z, expected.z, 1e-3f);
    EXPECT_NEAR(segment.halfLength, 50.0f, 1e-3f);
}

TEST_F(CameraFixture, PointsLevelWithOrBehindTheEyeGiveNoPixel) {
    TestCamera camera;
    Place(camera, 900, 600, 0.0f, 0.0f);
    for (const Vec3 view : {Vec3(5, 1, 0), Vec3(0, 0, 0), Vec3(1e-30f, 0, 1e-30f), Vec3(2, 3, -4)}) {
        int x = 7, y = 7;
        EXPECT_EQ(camera.ProjectToScreen(FromView(camera, view.x, view.y, view.z), x, y), 0);
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
    }
    // Just in front of the eye, far to the side: a huge pixel is clamped rather than overflowing.
    int x = 0, y = 0;
    EXPECT_EQ(camera.ProjectToScreen(FromView(camera, 1e6f, 0, 1.0f), x, y), 1);
    EXPECT_GT(x, 900);
}

TEST_F(CameraFixture, DeleteFreesTheCamera) {
    auto* camera = new TestCamera;
    camera->Init({0, 0, 64, 64}, 0.0f, 1.0f, 10.0f, &constants);
    camera->Delete();  // ASan reports a leak or a bad free otherwise
}

}  // namespace
