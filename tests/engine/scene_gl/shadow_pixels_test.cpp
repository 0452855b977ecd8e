// Shadows drawn by the scene view on the GL test context: a box above a lit grid darkens the ground where the
// light's ray through the box meets it (computed on the CPU), for the directional light and for a spot light;
// a disabled light makes no shadow map; boxes in each of the four slices of the directional map all cast.
// The frame's pass marks split the view's drawing into the shadow maps, the opaque entries and the sorted ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/render/frame_pass_probe.h"
#include "engine/render/graphics_device.h"
#include "scene_render_fixture.h"
#include "sys/gpu_device.h"

namespace {

using namespace engine;
using scenegl::LookFrom;
using scenegl::SceneRenderTest;

constexpr std::uint32_t kGround = 0xFFC8C8C8u;
constexpr std::uint32_t kBoxColour = 0xFF8090A0u;
// The way the light travels: down, a little to +X and towards the camera.
const Vec3 kLightDirection = Vec3{0.3f, -1.0f, -0.6f}.Normalised();
constexpr int kDarker = 20;

// Where the ray along the light through a point meets the ground (y = 0).
Vec3 OnGround(const Vec3& point, const Vec3& direction) {
    const float t = point.y / -direction.y;
    return {point.x + direction.x * t, 0.0f, point.z + direction.z * t};
}

int Brightness(const std::array<int, 4>& pixel) { return std::max({pixel[0], pixel[1], pixel[2]}); }

class ShadowPixelsTest : public SceneRenderTest {
protected:
    // The grid with a box floating above it at the origin; the camera looks down at them from -Z.
    void BuildScene() {
        AddMesh(Ground(30.0f, 30.0f), Material(kGround, 1));
        AddBox({{-1.0f, 1.5f, -1.0f}, {1.0f, 2.5f, 1.0f}}, kBoxColour, 1);
        camera_ = LookFrom({0.0f, 8.0f, -8.0f}, {0.0f, 0.0f, 0.0f});
    }
    // The light of the slot enabled along kLightDirection, standing `back` units behind the box's centre.
    LightDesc& Light(int slot, float back) {
        LightDesc& light = queue->GetLight(slot);
        const Vec3 eye = kBoxCentre - kLightDirection * back;
        light.SetMatrix(LookFrom(eye, eye + kLightDirection));
        light.SetEnabled(1);
        light.SetRange(40.0f);
        light.SetConeAngle(60.0f);
        return light;
    }
    // The ground under the box's centre along the light, and a ground point beside the shadow that the camera
    // sees and the spot light's cone reaches.
    std::pair<std::array<int, 4>, std::array<int, 4>> ShadowAndLit(const std::vector<std::uint8_t>& picture) {
        return {PixelOf(picture, OnGround(kBoxCentre, kLightDirection)), PixelOf(picture, {-1.8f, 0.0f, -1.2f})};
    }

    const Vec3 kBoxCentre{0.0f, 2.0f, 0.0f};
    Matrix44 camera_;
};

TEST_F(ShadowPixelsTest, ABoxShadowsTheGroundUnderEachShadowCastingLight) {
    BuildScene();
    struct Case {
        const char* name;
        int slot;
        float back;
    };
    const Case cases[] = {{"directional light", 0, 30.0f}, {"spot light", 1, 8.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int slot = 0; slot < RenderQueue::kLightCount; ++slot) queue->GetLight(slot).SetEnabled(0);
        LightDesc& light = Light(c.slot, c.back);

        const auto [shadow, lit] = ShadowAndLit(Render(camera_));
        EXPECT_NE(light.shadowTarget, nullptr);
        EXPECT_EQ(view.ShadowMapsRendered(), 1);
        EXPECT_LE(Brightness(shadow) + kDarker, Brightness(lit))
            << "shadow " << Brightness(shadow) << ", lit " << Brightness(lit);

        // Without the light both points have the ambient light only, and no shadow map is drawn.
        light.SetEnabled(0);
        const std::uint64_t targetsBefore = Gpu().CallCount(sys::GpuCall::SetRenderTarget);
        const auto [unlitShadow, unlitLit] = ShadowAndLit(Render(camera_));
        EXPECT_EQ(view.ShadowMapsRendered(), 0);
        // The one target switch is the scene target's own begin.
        EXPECT_LE(Gpu().CallCount(sys::GpuCall::SetRenderTarget) - targetsBefore, 1u);
        EXPECT_NEAR(Brightness(unlitShadow), Brightness(unlitLit), 2);
        EXPECT_LT(Brightness(unlitLit), Brightness(lit));
    }
}

TEST_F(ShadowPixelsTest, TheSplitsSpanTheDepthRangeFittedToTheVisibleCasters) {
    BuildScene();
    Light(0, 30.0f);
    Render(camera_);
    float nearDistance = 0.0f, farDistance = 0.0f;
    SceneView::FitShadowRange(view.GetVisibleList(0), view.GetVisibleList(1), view.GetNear(), view.GetFar(),
                              nearDistance, farDistance);
    // The small scene ends well before the far plane, so the splits are drawn over its depth only.
    EXPECT_LT(farDistance, view.GetFar() * 0.5f);
    const ShadowSplit(&splits)[kShadowSplitCount] = device_->ShadowSplits();
    EXPECT_FLOAT_EQ(splits[0].startDistance, nearDistance);
    EXPECT_FLOAT_EQ(splits[kShadowSplitCount - 1].endDistance, farDistance);
}

TEST_F(ShadowPixelsTest, ADisabledLightMakesNoShadowTarget) {
    BuildScene();
    Light(0, 30.0f).SetEnabled(0);
    Render(camera_);
    EXPECT_EQ(queue->GetLight(0).shadowTarget, nullptr);
    EXPECT_EQ(view.ShadowMapsRendered(), 0);
}

TEST_F(ShadowPixelsTest, BoxesInEachOfTheFourSlicesCastTheirShadows) {
    // A long grid seen from a camera looking along +Z and a little down; the light falls from the left, so
    // each box's shadow lies on the ground to its right. The boxes are long in Z so that their shadows
    // cover several rows of pixels even far away.
    AddMesh(Ground(80.0f, 320.0f), Material(kGround, 1));
    const Vec3 direction = Vec3{1.0f, -1.0f, 0.0f}.Normalised();
    LightDesc& light = queue->GetLight(0);
    light.SetMatrix(LookFrom({0.0f, 50.0f, 0.0f}, Vec3{0.0f, 50.0f, 0.0f} + direction));
    light.SetEnabled(1);
    const float depths[4] = {16.0f, 31.0f, 58.0f, 110.0f};
    for (const float z : depths) {
        const float half = z * 0.06f;
        AddBox({{-half, 0.0f, z * 0.75f}, {half, 2.0f * half, z * 1.25f}}, kBoxColour, 1);
    }
    const Matrix44 camera = LookFrom({0.0f, 10.0f, 0.0f}, {0.0f, 0.0f, 60.0f});
    const std::vector<std::uint8_t> picture = Render(camera);

    const ShadowSplit(&splits)[kShadowSplitCount] = device_->ShadowSplits();
    for (int k = 0; k < kShadowSplitCount; ++k) {
        SCOPED_TRACE(::testing::Message() << "slice " << k);
        // The middle of the shadow, two half-widths right of the box's centre; as far left is lit.
        const float half = depths[k] * 0.06f;
        const Vec3 inShadow{2.0f * half, 0.0f, depths[k]};
        const Vec3 lit{-2.0f * half, 0.0f, depths[k]};
        // Each shadow is looked up in a slice of its own.
        const float depth = view.GetViewTransform().GetInverse().TransformPoint(inShadow).z;
        EXPECT_GT(depth, splits[k].startDistance);
        EXPECT_LT(depth, splits[k].endDistance);
        const std::array<int, 4> shadow = PixelOf(picture, inShadow);
        EXPECT_LE(Brightness(shadow) + kDarker, Brightness(PixelOf(picture, lit)))
            << "shadow " << Brightness(shadow) << ", lit " << Brightness(PixelOf(picture, lit));
    }
}

// A frame's passes as a measurement sees them: the shadow map's draws fall between the shadow and opaque marks,
// the ground's and the box's between the opaque and sorted marks, and once the view is done the pass it was
// drawn within is marked again (here the 2D pass, as for a model view inside a window).
TEST_F(ShadowPixelsTest, ThePassMarksSplitTheViewsDrawsIntoShadowOpaqueAndSorted) {
    BuildScene();
    for (int slot = 0; slot < RenderQueue::kLightCount; ++slot) queue->GetLight(slot).SetEnabled(0);
    Light(0, 30.0f);
    const auto draws = [this] {
        return Gpu().CallCount(sys::GpuCall::DrawPrimitive) + Gpu().CallCount(sys::GpuCall::DrawIndexedPrimitive) +
               Gpu().CallCount(sys::GpuCall::DrawPrimitiveUP);
    };
    std::vector<std::pair<FramePass, std::uint64_t>> marks;
    MarkFramePass(FramePass::kGui);
    SetFramePassProbe([&](FramePass pass) { marks.emplace_back(pass, draws()); });
    Render(camera_);
    SetFramePassProbe({});
    MarkFramePass(FramePass::kOther);

    ASSERT_EQ(marks.size(), 4u);
    EXPECT_EQ(marks[0].first, FramePass::kShadow);
    EXPECT_EQ(marks[1].first, FramePass::kOpaque);
    EXPECT_EQ(marks[2].first, FramePass::kSorted);
    EXPECT_EQ(marks[3].first, FramePass::kGui);
    EXPECT_EQ(view.ShadowMapsRendered(), 1);
    EXPECT_GE(marks[1].second - marks[0].second, 1u) << "the box's shadow map is drawn in the shadow pass";
    EXPECT_GE(marks[2].second - marks[1].second, 2u) << "the ground and the box are drawn in the opaque pass";
    EXPECT_EQ(marks[3].second, marks[2].second) << "nothing of this scene is blended";
    EXPECT_EQ(CurrentFramePass(), FramePass::kOther);
}

}  // namespace
