// Floating texts drawn through the bitmap font: the glyphs are centred on the projected point at whole pixels,
// the icon markup is taken as markup, and texts behind the camera add no glyphs.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/gui/gui_fixtures.h"
#include "game/units/floating_text_pool.h"
#include "game/units/font_text_painter.h"

namespace {

using namespace game;

class DropZ : public ScreenProjector {
public:
    bool Project(const engine::Vec3& world, engine::Vec2& screen) const override {
        if (world.z < 0.0f) return false;
        screen = {world.x, world.y};
        return true;
    }
};

TEST(FontTextPainterTest, TextsAreCentredOnTheirPointAndMarkupIsNotDrawn) {
    guitest::RecordingFont font;
    ASSERT_TRUE(font.loaded);
    guitest::RecordingTarget target;
    FontTextPainter painter(font);

    const engine::WideString plain("-30%");
    painter.DrawText(target, plain, 100.4f, 50.6f, kTextCentred);
    ASSERT_EQ(font.quads.size(), 4u);
    const int width = font.MeasureWidth(plain);
    EXPECT_EQ(font.quads.front().x, 100 - width / 2);

    font.quads.clear();
    FloatingTextPool pool;
    pool.Add(engine::WideString("@C[2]-30%"), {200, 80, 0});
    pool.Add(engine::WideString("behind"), {200, 80, -1});
    pool.Update(0.02f);
    DropZ projector;
    pool.Draw(target, projector, painter);
    // Only the text in front of the camera draws, its colour code as no glyph of its own.
    EXPECT_EQ(font.quads.size(), 4u);
}

}  // namespace
