#include "engine/core/colour.h"

#include <cmath>

namespace engine {

namespace {

// Truncates toward zero and keeps the low 8 bits, going through a signed integer so that negative
// products wrap the way a two's-complement cut does. Values no integer can hold give 0.
std::uint32_t LowByteOfTruncated(float v) {
    if (!(std::fabs(v) < 2147483648.0f)) return 0;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(v)) & 0xFFu;
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// v x 255 truncated into 0..255; NaN gives 0.
std::uint32_t ClampedByte(float v) {
    const float scaled = v * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return static_cast<std::uint32_t>(scaled);
}

}  // namespace

std::uint32_t MakeRgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return MakeArgb(r, g, b, 255); }

std::uint32_t MakeArgb(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}

std::uint32_t PackArgb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return MakeArgb(r, g, b, a);
}

std::uint32_t MakeArgbF(float r, float g, float b, float a) {
    return MakeArgb(LowByteOfTruncated(r * 255.0f), LowByteOfTruncated(g * 255.0f), LowByteOfTruncated(b * 255.0f),
                    LowByteOfTruncated(a * 255.0f));
}

std::uint32_t ColourF::ToArgb() const {
    return MakeArgb(ClampedByte(r), ClampedByte(g), ClampedByte(b), ClampedByte(a));
}

void ColourF::Clamp() {
    r = Clamp01(r);
    g = Clamp01(g);
    b = Clamp01(b);
    a = Clamp01(a);
}

}  // namespace engine
