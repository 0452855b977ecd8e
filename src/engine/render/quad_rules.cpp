#include "engine/render/quad_rules.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "engine/render/render_device.h"

namespace engine {

namespace {

constexpr std::uint32_t kReference = 254;
constexpr int kAlphaTestAgainstOne = 2;
constexpr std::uint32_t kMaskAll = 15;
constexpr std::uint32_t kMaskColour = 7;

bool Opaque(std::uint32_t colour) { return (colour >> 24) == 0xFFu; }

}  // namespace

QuadAlphaStates TextureQuadAlphaStates(int blend, std::uint32_t colour, int textureAlphaMode) {
    if (blend == kBlendOff) return {textureAlphaMode, kReference, kMaskAll};
    if (blend == kBlendAlpha || blend == kBlendPremultiplied) return {kAlphaTestAgainstOne, kReference, kMaskColour};
    return {Opaque(colour) ? textureAlphaMode : kAlphaTestAgainstOne, kReference, kMaskColour};
}

QuadAlphaStates TextureRectAlphaStates(int blend, std::uint32_t colour, int textureAlphaMode) {
    if (blend == kBlendOff) return {Opaque(colour) ? textureAlphaMode : kAlphaTestAgainstOne, kReference, kMaskAll};
    return TextureQuadAlphaStates(blend, colour, textureAlphaMode);
}

std::array<Vec2, 4> TextureQuadCorners(int tw, int th, float px, float py, float sx, float sy, float angleDegrees,
                                       float x, float y) {
    const bool pivot = px != 0.0f || py != 0.0f;
    const float farX = pivot ? static_cast<float>(tw) - 1.0f - px : static_cast<float>(tw);
    const float farY = pivot ? static_cast<float>(th) - 1.0f - py : static_cast<float>(th);
    const float x0 = -px * sx, x1 = farX * sx;
    const float y0 = -py * sy, y1 = farY * sy;
    std::array<Vec2, 4> corners = {Vec2{x0, y0}, Vec2{x1, y0}, Vec2{x0, y1}, Vec2{x1, y1}};
    if (angleDegrees != 0.0f) {
        const float radians = angleDegrees * 3.14159265358979f / 180.0f;
        const float c = std::cos(radians), s = std::sin(radians);
        for (Vec2& p : corners) p = Vec2{p.x * c - p.y * s, p.x * s + p.y * c};
    }
    for (Vec2& p : corners) p = Vec2{p.x + x, p.y + y};
    return corners;
}

float TextureQuadOffset(float sx, float sy) { return (sx != 1.0f || sy != 1.0f) ? 0.5f : 0.35f; }

bool TextureQuadFiltersLinear(float sx, float sy, bool targetPointSampling) {
    return (sx != 1.0f || sy != 1.0f) && !targetPointSampling;
}

TextureRectMapping MapTextureRect(const IntRect& destination, const IntRect& source, int tw, int th,
                                  bool targetPointSampling) {
    TextureRectMapping m;
    const float invW = tw > 0 ? 1.0f / static_cast<float>(tw) : 0.0f;
    const float invH = th > 0 ? 1.0f / static_cast<float>(th) : 0.0f;
    m.u0 = static_cast<float>(source.x) * invW;
    m.u1 = static_cast<float>(source.x + source.width) * invW;
    m.v0 = static_cast<float>(source.y) * invH;
    m.v1 = static_cast<float>(source.y + source.height) * invH;
    const int width = std::abs(destination.width);
    if (destination.width < 0) std::swap(m.u0, m.u1);
    m.left = static_cast<float>(destination.x);
    m.top = static_cast<float>(destination.y);
    m.right = static_cast<float>(destination.x + width);
    m.bottom = static_cast<float>(destination.y + destination.height);
    const bool oneToOne = width == source.width && destination.height == source.height;
    m.linear = !targetPointSampling && !oneToOne;
    return m;
}

}  // namespace engine
