#pragma once
// What the battle's screen-space overlays draw with: the camera's projection of world points and a painter
// of marked-up text. The floating texts and the units' information overlays draw through them onto a
// render target, in the same pass.
#include <cstdint>

#include "engine/core/vector.h"
#include "engine/core/wide_string.h"

namespace engine {
class RenderTargetBase;
}  // namespace engine

namespace game {

class ScreenProjector {
public:
    virtual ~ScreenProjector() = default;
    // The screen point of a world point; false when it is behind the camera.
    virtual bool Project(const engine::Vec3& world, engine::Vec2& screen) const = 0;
};

// Alignment flags of the text painter, as the bitmap font takes them: 6 centres the text on the point.
inline constexpr int kTextCentred = 6;

class TextPainter {
public:
    virtual ~TextPainter() = default;
    // Draws the text with its icon and colour markup at the point, aligned by the flags.
    virtual void DrawText(engine::RenderTargetBase& target, const engine::WideString& text, float x, float y,
                          int alignFlags) = 0;
};

}  // namespace game
