#pragma once
// The CPU side of 2D textured quads: where the corners of a scaled, rotated quad land, which pixel offset and
// filtering they use, how a source rectangle maps to texture coordinates, and which alpha test and colour
// mask each blend mode takes.
#include <array>
#include <cstdint>

#include "engine/core/int_rect.h"
#include "engine/core/vector.h"

namespace engine {

struct QuadAlphaStates {
    int alphaTestMode = 0;
    std::uint32_t reference = 0;
    std::uint32_t colourMask = 15;

    bool operator==(const QuadAlphaStates&) const = default;
};

// A whole texture drawn with a scale: blend 0 keeps the texture's own alpha-test mode (reference 254) and
// writes alpha; blends 3 and 4 test against 1 and leave alpha; any other blend keeps the texture's mode only
// for an opaque colour.
QuadAlphaStates TextureQuadAlphaStates(int blend, std::uint32_t colour, int textureAlphaMode);
// A source rectangle: as above, except that blend 0 too keeps the texture's mode only for an opaque colour.
QuadAlphaStates TextureRectAlphaStates(int blend, std::uint32_t colour, int textureAlphaMode);

// Pixel positions of a texture of tw x th texels drawn with its pivot (px, py) at (x, y), scaled and turned
// by angleDegrees about the pivot. With a pivot the far edge is one texel in. Order: top-left, top-right,
// bottom-left, bottom-right of the texture.
std::array<Vec2, 4> TextureQuadCorners(int tw, int th, float px, float py, float sx, float sy, float angleDegrees,
                                       float x, float y);
// 0.5 for a scaled quad (it filters), else 0.35.
float TextureQuadOffset(float sx, float sy);
bool TextureQuadFiltersLinear(float sx, float sy, bool targetPointSampling);

// A source rectangle drawn into a destination; a negative destination width mirrors left to right.
struct TextureRectMapping {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;  // pixels
    float u0 = 0.0f, v0 = 0.0f, u1 = 0.0f, v1 = 0.0f;            // at left/top and right/bottom
    bool linear = false;
};
TextureRectMapping MapTextureRect(const IntRect& destination, const IntRect& source, int tw, int th,
                                  bool targetPointSampling);

}  // namespace engine
