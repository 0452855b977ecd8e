#pragma once
// The battle's text painter over a bitmap font: floating combat texts and overlay marks drawn with their icon
// and colour markup.
#include "game/units/overlay_canvas.h"

namespace engine {
class BitmapFont;
}  // namespace engine

namespace game {

class FontTextPainter final : public TextPainter {
public:
    explicit FontTextPainter(engine::BitmapFont& font) : font_(font) {}
    // Draws at the nearest whole pixel, aligned by the flags as the font takes them.
    void DrawText(engine::RenderTargetBase& target, const engine::WideString& text, float x, float y,
                  int alignFlags) override;

private:
    engine::BitmapFont& font_;
};

}  // namespace game
