// The sky box drawn by the scene view on the GL test context: the cube map's face in the view direction fills
// the background, scene objects cover it, and it stays put when the camera moves.
#include <gtest/gtest.h>

#include "scene_render_fixture.h"

namespace {

using namespace engine;
using scenegl::kFaceColours;
using scenegl::NearColour;
using scenegl::SceneRenderTest;

constexpr int kCentreX = 64;
constexpr int kCentreY = 48;

TEST_F(SceneRenderTest, TheSkyShowsTheFaceInTheViewDirectionBehindTheScene) {
    ASSERT_TRUE(queue->SetSkybox("sky"));
    Upload(queue->GetSkybox());
    struct Case {
        const char* name;
        Matrix44 camera;
        std::uint32_t sky;
    };
    Matrix44 turned;
    turned.InitRotationY(90.0f);
    Matrix44 up;
    up.InitRotationX(-90.0f);
    const Case cases[] = {
        {"along +Z", Matrix44(), kFaceColours[4]},
        {"along +Z, moved 100 units", scenegl::Translation(60.0f, -30.0f, 74.2f), kFaceColours[4]},
        {"turned to +X", turned, kFaceColours[0]},
        {"looking up", up, kFaceColours[2]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> picture = Render(c.camera);
        for (const auto& [x, y] : {std::pair{kCentreX, kCentreY}, {10, 10}, {118, 86}}) {
            EXPECT_TRUE(NearColour(At(picture, x, y), c.sky)) << "at (" << x << ", " << y << ")";
        }
    }
}

TEST_F(SceneRenderTest, ABoxInFrontCoversTheSky) {
    ASSERT_TRUE(queue->SetSkybox("sky"));
    Upload(queue->GetSkybox());
    constexpr std::uint32_t kBox = 0xFFFFFFFFu;
    // Far beyond the sky cube's own size: the sky is drawn at the greatest depth, not at its mesh's distance.
    AddBox({{-10, -10, 60}, {10, 10, 62}}, kBox, 0);
    const std::vector<std::uint8_t> picture = Render(Matrix44());
    EXPECT_TRUE(NearColour(At(picture, kCentreX, kCentreY), kBox));
    EXPECT_TRUE(NearColour(At(picture, 4, 4), kFaceColours[4]));
}

}  // namespace
