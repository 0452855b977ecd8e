#include "engine/scene/scene_view.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "engine/scene/light_desc.h"
#include "engine/scene/render_queue.h"
#include "render_queue_support.h"
#include "sys/hlsl_compiler.h"

namespace {

using namespace engine;

class SceneViewTest : public scenetest::QueueTest {
protected:
    DrawEntry* Add(DrawList& list, const Vec3& centre, float depth, std::uint32_t flags = kEntryActive) {
        DrawEntry* e = list.NewEntry();
        e->kind = kEntryMesh, e->radius = 1.0f, e->flags = flags, e->depth = depth;
        e->centre = {centre.x, centre.y, centre.z, 1.0f};
        return e;
    }
};

TEST_F(SceneViewTest, SpotCastersOutsideTheConeAreLeftOutUnlessTheFlagWordIsSet) {
    DrawList list(8, 0);
    DrawEntry* inside = Add(list, {0, 0, 10}, 10);
    Add(list, {0, 0, -10}, 10);  // behind the light
    Add(list, {30, 0, 5}, 10);   // far off the axis
    DrawPointerList& visible = list.Visible();
    for (int i = 0; i < list.Count(); ++i) visible.Append(&list.Get(i));
    LightDesc spot(1);
    spot.SetConeAngle(40.0f);
    spot.SetRange(50.0f);
    SceneView shadow;
    SceneView::SelectShadowCasters(1, spot, shadow, visible);
    ASSERT_NE(shadow.GetVisibleList(0), nullptr);
    ASSERT_EQ(shadow.GetVisibleList(0)->Count(), 1);
    EXPECT_EQ(shadow.GetVisibleList(0)->Get(0), inside);
    spot.SetFlagWord(1);
    SceneView::SelectShadowCasters(1, spot, shadow, visible);
    EXPECT_EQ(shadow.GetVisibleList(0)->Count(), 3);
    // The directional slot takes every entry.
    spot.SetFlagWord(0);
    SceneView::SelectShadowCasters(0, spot, shadow, visible);
    EXPECT_EQ(shadow.GetVisibleList(0)->Count(), 3);
    EXPECT_EQ(shadow.GetVisibleList(1), nullptr);
}

TEST_F(SceneViewTest, DepthRangeSpansTheShadowCastingEntries) {
    DrawList list(8, 0);
    Add(list, {}, 10);
    Add(list, {}, 40);
    Add(list, {}, 400, kEntryActive | kEntryNoShadow);
    DrawPointerList& visible = list.Visible();
    for (int i = 0; i < list.Count(); ++i) visible.Append(&list.Get(i));
    float nearDistance = 1e30f, farDistance = -1e30f;
    SceneView::GetDepthRange(nearDistance, farDistance, visible);
    EXPECT_FLOAT_EQ(nearDistance, 9.0f);
    EXPECT_FLOAT_EQ(farDistance, 41.0f);
}

TEST_F(SceneViewTest, TheShadowRangeIsFittedToBothListsCastersWithinTheViewsPlanes) {
    constexpr float kNear = 0.5f, kFar = 100.0f;
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    struct Entry {
        int blended;
        float depth;
        std::uint32_t flags;
    };
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        float nearDistance;
        float farDistance;
    };
    const Case cases[] = {
        {"both lists inside the planes", {{0, 10, kEntryActive}, {1, 40, kEntryActive}}, 9.0f, 41.0f},
        {"reaching past both planes", {{0, 1, kEntryActive}, {1, 99.5f, kEntryActive}}, kNear, kFar},
        {"no casting entry", {{0, 30, kEntryActive | kEntryNoShadow}}, kNear, kFar},
        {"nothing visible", {}, kNear, kFar},
        {"everything beyond the far plane", {{0, 150, kEntryActive}}, 149.0f, 149.0f},
        {"a depth that is not a number", {{0, kNaN, kEntryActive}, {1, 20, kEntryActive}}, 19.0f, 21.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawList opaque(8, 0), blended(8, 1);
        for (const Entry& e : c.entries) {
            DrawList& list = e.blended != 0 ? blended : opaque;
            list.Visible().Append(Add(list, {}, e.depth, e.flags));
        }
        float nearDistance = -1.0f, farDistance = -1.0f;
        SceneView::FitShadowRange(&opaque.Visible(), &blended.Visible(), kNear, kFar, nearDistance, farDistance);
        EXPECT_FLOAT_EQ(nearDistance, c.nearDistance);
        EXPECT_FLOAT_EQ(farDistance, c.farDistance);
    }
    float nearDistance = -1.0f, farDistance = -1.0f;
    SceneView::FitShadowRange(nullptr, nullptr, kNear, kFar, nearDistance, farDistance);
    EXPECT_FLOAT_EQ(nearDistance, kNear);
    EXPECT_FLOAT_EQ(farDistance, kFar);
}

TEST_F(SceneViewTest, ANewViewHasNoShadowViewAndAnEvenGeometricBlend) {
    SceneView view;
    view.Init({0, 0, 64, 64}, 1.0f, 0.5f, 100.0f, {nullptr, &constants, nullptr, nullptr});
    EXPECT_EQ(view.GetShadowView(), nullptr);
    EXPECT_FLOAT_EQ(view.GetSplitLambda(), 0.5f);
    EXPECT_EQ(view.RenderShadowMaps(), 0);  // no queue, no device: nothing rendered
}

TEST(SkyboxShader, TheSkyTextCompiles) {
    const sys::HlslCompileResult result = sys::CompileHlsl(kSkyboxPixelShaderText, sys::ShaderStage::Pixel);
    EXPECT_TRUE(result.Ok()) << result.error;
}

}  // namespace
