#include "game/units/font_text_painter.h"

#include <cmath>

#include "engine/gui/bitmap_font.h"

namespace game {

void FontTextPainter::DrawText(engine::RenderTargetBase& target, const engine::WideString& text, float x, float y,
                               int alignFlags) {
    font_.Draw(target, text, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)),
               static_cast<std::uint32_t>(alignFlags));
}

}  // namespace game
