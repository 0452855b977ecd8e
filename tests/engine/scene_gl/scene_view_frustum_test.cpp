// The scene view culls with the camera it renders with: a view turned between frames draws what it now faces
// without its caller bringing the frustum up to date first.
#include <gtest/gtest.h>

#include "scene_render_fixture.h"

namespace {

using namespace engine;
using scenegl::LookFrom;
using scenegl::NearColour;
using scenegl::SceneRenderTest;

constexpr std::uint32_t kBoxColour = 0xFFD04020u;

using SceneViewFrustumTest = SceneRenderTest;

TEST_F(SceneViewFrustumTest, AViewTurnedSinceItsLastFrameDrawsWhatItNowFaces) {
    AddBox({{-1.0f, -1.0f, 9.0f}, {1.0f, 1.0f, 11.0f}}, kBoxColour, 0);
    // A first frame looking away from the box: nothing of it is drawn.
    const Matrix44 away = LookFrom({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -10.0f});
    std::vector<std::uint8_t> picture = Render(away);
    ASSERT_EQ(view.GetVisibleList(0)->Count(), 0);
    // Turned round to face it: the box's entry is visible and its pixels are drawn.
    picture = Render(LookFrom({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 10.0f}), false);
    EXPECT_EQ(view.GetVisibleList(0)->Count(), 1);
    EXPECT_TRUE(NearColour(PixelOf(picture, {0.0f, 0.0f, 9.0f}), kBoxColour));
}

}  // namespace
