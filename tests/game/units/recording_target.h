#pragma once
// A render target that keeps the filled rectangles and scaled sprites drawn on it, and a text painter that
// keeps the texts; everything else a target does is ignored.
#include <string>
#include <vector>

#include "engine/render/quad_queue.h"
#include "engine/render/render_target.h"
#include "support/null_render_target.h"
#include "game/units/overlay_canvas.h"

namespace units_test {

struct FilledRect {
    engine::IntRect rect;
    std::uint32_t colour = 0;
};

struct DrawnSprite {
    int x = 0;
    int y = 0;
    std::uint32_t handle = 0;
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    engine::IntRect source;
};

struct TintedCell {
    engine::IntRect destination;
    engine::IntRect source;
    std::uint32_t handle = 0;
    std::uint32_t colour = 0;
};

class RecordingTarget final : public testsupport::NullRenderTarget {
public:
    RecordingTarget() : NullRenderTarget(960, 640) {}
    void DrawTextureRect(const engine::IntRect& destination, const engine::IntRect& source, std::uint32_t handle,
                         std::uint32_t colour, int, int) override {
        tinted.push_back({destination, source, handle, colour});
    }
    void DrawSpriteScaled(int x, int y, std::uint32_t handle, float scaleX, float scaleY,
                          const engine::IntRect& source) override {
        sprites.push_back({x, y, handle, scaleX, scaleY, source});
    }
    void FillRect(const engine::IntRect& rect, std::uint32_t colour, int) override { rects.push_back({rect, colour}); }

    std::vector<FilledRect> rects;
    std::vector<DrawnSprite> sprites;
    std::vector<TintedCell> tinted;
};

struct PaintedText {
    std::string text;
    float x = 0.0f;
    float y = 0.0f;
    int flags = 0;
};

class RecordingPainter : public game::TextPainter {
public:
    void DrawText(engine::RenderTargetBase&, const engine::WideString& text, float x, float y, int flags) override {
        painted.push_back({text.GetNarrow(), x, y, flags});
    }
    std::vector<PaintedText> painted;
};

}  // namespace units_test
