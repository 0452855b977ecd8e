#pragma once
// Pixel positions of a render target to clip space for 2D drawing: D3D9 pixel centres at integers, so a
// position is moved back by a small offset (0.35, or 0.5 for scaled quads that filter linearly) before the
// target's width and height map it to [-1, 1], y pointing down.
#include "engine/core/vector.h"

namespace engine {

constexpr float kPixelOffset = 0.35f;
constexpr float kScaledPixelOffset = 0.5f;

struct ScreenMapping {
    float invWidth = 1.0f;
    float invHeight = 1.0f;

    static ScreenMapping ForSize(int width, int height) {
        ScreenMapping mapping;
        mapping.invWidth = width > 0 ? 1.0f / static_cast<float>(width) : 0.0f;
        mapping.invHeight = height > 0 ? 1.0f / static_cast<float>(height) : 0.0f;
        return mapping;
    }

    Vec2 Map(float x, float y, float offset) const {
        return Vec2{(x - offset) * 2.0f * invWidth - 1.0f, 1.0f - (y - offset) * 2.0f * invHeight};
    }
};

}  // namespace engine
