#include "game/screens/zone_layout.h"

#include <algorithm>

#include "game/core/screen_rects.h"
#include "game/screens/screen_draw.h"

namespace game {
engine::IntRect BaseRect(engine::IntRect rect) {
    ScaleRect(rect);
    return rect;
}

engine::IntRect InsetRect(engine::IntRect rect, int n) {
    rect.x += n / 2;
    rect.y += n / 2;
    rect.width -= n;
    rect.height -= n;
    return rect;
}

engine::IntRect MenuButtonRect(int index) {
    return BaseRect({index % 2 == 0 ? 40 : 490, 100 + (index / 2) * 130, 430, 110});
}

engine::IntRect NarrowButtonRect(int index) {
    return BaseRect({index % 2 == 0 ? 150 : 490, 100 + (index / 2) * 130, 320, 110});
}

engine::IntRect SidePanelRect(int kind, bool left, engine::IntRect given) {
    int height = 0;
    switch (kind) {
        case 2: height = 233; break;
        case 3: height = 372; break;
        case 4: height = 500; break;
        default: return given;
    }
    return BaseRect({left ? 40 : 490, 100, 426, height});
}

engine::IntRect ButtonIconRect(int icon) {
    icon = std::max(icon, 0);
    const int y = icon < 28 ? 354 + 70 * (icon / 14) : 284;
    return BaseRect({(icon % 14) * 70, y, 70, 70});
}

engine::IntRect UnitIconRect(int unitType) {
    const int k = std::max(unitType - 1, 0);
    return BaseRect({(k % 7) * 72, 152 + (k / 7) * 64, 64, 64});
}

engine::IntRect CampaignMapButtonRect(int index) { return BaseRect({40 + index * 290, 490, 300, 110}); }

void DrawPanelPicture(const ScreenServices& services, std::uint32_t texture, const engine::IntRect& panel) {
    DrawImageCentred(services, texture, panel.x + panel.width - 200, panel.y + 300, 0.6f);
}

}  // namespace game
