// The units' overlays and the floating texts drawn in one frame on a real render target of the test
// context: no GL error, and the full health bar comes out green.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include "engine/render_targets/render_target_fixture.h"
#include "game/units/floating_text_pool.h"
#include "game/units/unit_overlay.h"

namespace {

using namespace game;

constexpr int kW = 160;
constexpr int kH = 120;

class Projector : public ScreenProjector {
public:
    bool Project(const engine::Vec3& world, engine::Vec2& screen) const override {
        screen = {world.x, world.y};
        return world.z >= 0.0f;
    }
};

// Counts the texts; the painter over a bitmap font is tested on its own.
class CountingPainter : public TextPainter {
public:
    void DrawText(engine::RenderTargetBase&, const engine::WideString&, float, float, int) override { ++texts; }
    int texts = 0;
};

class OverlayGlTest : public targettest::RenderTargetTest {};

TEST_F(OverlayGlTest, TwoOverlaysAndThreeTextsDrawAndAFullHealthBarIsGreen) {
    engine::RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
    ASSERT_NE(target, nullptr);
    OverlayInputs healthy;
    healthy.unitSidePlayer = true;
    healthy.unitSideCurrent = true;
    healthy.currentSidePlayer = true;
    healthy.anchor = {40.0f, 20.0f};
    OverlayInputs marked = healthy;
    marked.unitSidePlayer = false;
    marked.unitSideCurrent = false;
    marked.targetMarked = true;
    marked.predictedLossPercent = 40;
    marked.health = 0.3f;
    marked.rank = 1;
    marked.anchor = {110.0f, 60.0f};

    FloatingTextPool texts;
    texts.Add(engine::WideString("@X[001]-20%"), {20, 90, 0});
    texts.Add(engine::WideString("@X[005]SUPPLY"), {80, 90, 0});
    texts.Add(engine::WideString("behind"), {80, 90, -1});
    texts.Update(0.02f);

    CountingPainter painter;
    Projector projector;
    while (glGetError() != GL_NO_ERROR) {
    }
    target->Begin(0xFF000000u);
    DrawOverlay(LayoutInfoOverlay(healthy), *target, painter, 0);
    DrawOverlay(LayoutInfoOverlay(marked), *target, painter, 0);
    texts.Draw(*target, projector, painter);
    target->End();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(painter.texts, 3);  // the mark and two texts in front of the camera

    const auto picture = Read(*target);
    // The healthy unit's bar: x - 18 .. x + 18, y + 30 .. y + 32.
    EXPECT_EQ(At(picture, kW, 40, 51), rendertest::Rgba(kOverlayGreen));
    // Its shaded frame, half black over the black clear, stays black.
    EXPECT_EQ(At(picture, kW, 21, 48)[1], 0);
}

}  // namespace
