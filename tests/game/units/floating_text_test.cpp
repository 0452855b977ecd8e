// The floating-text pool: replacement of the oldest, the life of a text, its rise, and texts behind the
// camera.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/units/floating_text_pool.h"
#include "recording_target.h"

namespace units_test {
namespace {

using namespace game;

// Projects by dropping z; points with z below 0 are behind the camera.
class FlatProjector : public ScreenProjector {
public:
    bool Project(const engine::Vec3& world, engine::Vec2& screen) const override {
        if (world.z < 0.0f) return false;
        screen = {world.x, world.y};
        return true;
    }
};

engine::WideString W(const std::string& text) { return engine::WideString(text.c_str()); }

TEST(FloatingTextTest, TheNinthTextOfAFrameReplacesTheFirst) {
    FloatingTextPool pool;
    for (int i = 0; i < 9; ++i) pool.Add(W("t" + std::to_string(i)), {0, 0, 0});
    EXPECT_EQ(std::string(pool.Get(0).text.GetNarrow()), "t8");
    EXPECT_EQ(std::string(pool.Get(1).text.GetNarrow()), "t1");
    // Equal ages: the first entry goes; then the oldest does, not the text just added.
    pool.Update(0.05f);
    pool.Add(W("young"), {0, 0, 0});
    pool.Update(0.05f);
    pool.Add(W("newest"), {0, 0, 0});
    EXPECT_EQ(std::string(pool.Get(0).text.GetNarrow()), "young");
    EXPECT_EQ(std::string(pool.Get(1).text.GetNarrow()), "newest");
}

TEST(FloatingTextTest, ATextRisesFromJustAboveItsPointToTwoAndIsFreedAfterTwoSeconds) {
    FloatingTextPool pool;
    pool.Add(W("x"), {1, 5, 2});
    EXPECT_NEAR(FloatingTextPool::RisenPoint(pool.Get(0)).y - 5.0f, 2.0f * (1.0f - std::cos(10.0f * 3.14159265f / 180.0f)),
                1e-4f);
    EXPECT_NEAR(FloatingTextPool::RisenPoint(pool.Get(0)).y - 5.0f, 0.03f, 0.001f);
    int frames = 0;
    // Frames of 0.5 s are capped at 0.1 s: at least 20 frames of life.
    while (pool.Get(0).age != 0.0f && frames < 100) {
        pool.Update(0.5f);
        ++frames;
        if (pool.Get(0).age >= 2.0f && pool.Get(0).age < 2.05f) {
            EXPECT_NEAR(FloatingTextPool::RisenPoint(pool.Get(0)).y - 5.0f, 2.0f, 0.01f);
        }
    }
    EXPECT_GE(frames, 20);
    EXPECT_LE(frames, 22);
}

TEST(FloatingTextTest, ATextBehindTheCameraAgesButIsNotDrawn) {
    FloatingTextPool pool;
    pool.Add(W("front"), {3, 1, 4});
    pool.Add(W("behind"), {3, 1, -4});
    pool.Update(0.02f);
    RecordingPainter painter;
    FlatProjector projector;
    RecordingTarget target;
    pool.Draw(target, projector, painter);
    ASSERT_EQ(painter.painted.size(), 1u);
    EXPECT_EQ(painter.painted[0].text, "front");
    EXPECT_EQ(painter.painted[0].flags, 6);
    EXPECT_FLOAT_EQ(painter.painted[0].x, 3.0f);
    EXPECT_GT(pool.Get(1).age, 0.02f);
}

}  // namespace
}  // namespace units_test
