#pragma once
// Where screens put things, in pixels of the 960 by 640 base (every base rectangle passes through ScaleRect
// of screen_rects.h, which keeps it as it is in the one layout this game has), and the source cells of the
// icon sheets.
#include <cstdint>

#include "engine/core/int_rect.h"
#include "game/screens/screen_services.h"

namespace game {

// A rectangle of the base as the screen uses it (ScaleRect).
engine::IntRect BaseRect(engine::IntRect rect);
// x += n / 2, y += n / 2, width and height shrink by n.
engine::IntRect InsetRect(engine::IntRect rect, int n);
// The two-column button grid: 430 by 110 at x 40 (even) or 490 (odd), y 100 + (index / 2) x 130.
engine::IntRect MenuButtonRect(int index);
// The narrow grid: 320 by 110 at x 150 (even) or 490 (odd).
engine::IntRect NarrowButtonRect(int index);
// A side panel at x 40 (left) or 490, y 100, 426 wide, 233 / 372 / 500 high for kinds 2 / 3 / 4; any other
// kind keeps the given rectangle.
engine::IntRect SidePanelRect(int kind, bool left, engine::IntRect given = {});
// The 70 by 70 icon cell i of "GUI/ButtonBits".
engine::IntRect ButtonIconRect(int icon);
// The 64 by 64 unit icon of the type in "GUI/ingameUi" (types 0 and 1 share the first cell).
engine::IntRect UnitIconRect(int unitType);
engine::IntRect CampaignMapButtonRect(int index);
// The picture at 0.6 of its size, centred on (panel x + w - 200, panel y + 300).
void DrawPanelPicture(const ScreenServices& services, std::uint32_t texture, const engine::IntRect& panel);

}  // namespace game
