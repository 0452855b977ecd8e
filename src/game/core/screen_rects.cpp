#include "game/core/screen_rects.h"

namespace game {
namespace {

int Scale(int value, ScreenClass screen) {
    switch (screen) {
        case ScreenClass::kSmall:
            return value >> 1;
        case ScreenClass::kMedium:
            return static_cast<int>(static_cast<float>(value) * 0.75f);
        case ScreenClass::kLarge:
            break;
    }
    return value;
}

}  // namespace

void ScaleRectSize(engine::IntRect& rect, ScreenClass screen) {
    rect.width = Scale(rect.width, screen);
    rect.height = Scale(rect.height, screen);
}

void ScaleRectPos(engine::IntRect& rect, ScreenClass screen) {
    rect.x = Scale(rect.x, screen);
    rect.y = Scale(rect.y, screen);
}

void ScaleRect(engine::IntRect& rect, ScreenClass screen) {
    ScaleRectPos(rect, screen);
    ScaleRectSize(rect, screen);
}

void ComicOverlayButtonRect(engine::IntRect& rect, int screenWidth, int screenHeight, ScreenClass screen,
                            bool largeClass) {
    switch (screen) {
        case ScreenClass::kSmall:
            rect = {403, 245, 57, 55};
            return;
        case ScreenClass::kMedium:
            rect = {screenWidth - 85, screenHeight - 82, 85, 82};
            return;
        case ScreenClass::kLarge:
            break;
    }
    rect = {screenWidth / 2 + 326, screenHeight / 2 + (largeClass ? 99 : 170), 114, 110};
}

}  // namespace game
