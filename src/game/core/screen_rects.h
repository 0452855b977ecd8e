#pragma once
// Rectangles by screen class. The game runs every screen in the large layout, so the small and medium
// branches are kept for the layout flags only.
#include "engine/core/int_rect.h"

namespace game {

enum class ScreenClass { kSmall, kMedium, kLarge };

// Small screens halve every value, medium ones take 0.75 of it (truncated), large ones keep it.
void ScaleRect(engine::IntRect& rect, ScreenClass screen = ScreenClass::kLarge);
void ScaleRectSize(engine::IntRect& rect, ScreenClass screen = ScreenClass::kLarge);
void ScaleRectPos(engine::IntRect& rect, ScreenClass screen = ScreenClass::kLarge);
// The comic overlay's button; largeClass moves it up on screens the game reports as large.
void ComicOverlayButtonRect(engine::IntRect& rect, int screenWidth, int screenHeight,
                            ScreenClass screen = ScreenClass::kLarge, bool largeClass = false);

}  // namespace game
