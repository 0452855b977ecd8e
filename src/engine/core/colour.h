#pragma once
// Colours: 32-bit ARGB words (alpha in the top byte) and float colours for interpolation.
#include <cstdint>

namespace engine {

// ARGB with alpha 255; each argument is cut to its low 8 bits.
std::uint32_t MakeRgb(std::uint32_t r, std::uint32_t g, std::uint32_t b);
// ARGB from four bytes.
std::uint32_t MakeArgb(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a);
std::uint32_t PackArgb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b);
// ARGB from four floats in 0..1: each times 255, truncated to an integer and cut to its low 8 bits; values
// outside 0..1 wrap rather than clamp.
std::uint32_t MakeArgbF(float r, float g, float b, float a);
inline std::uint32_t ArgbAlpha(std::uint32_t argb) { return argb >> 24; }

struct ColourF {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    void Copy(const ColourF& other) { *this = other; }
    void Set(float red, float green, float blue, float alpha) {
        r = red;
        g = green;
        b = blue;
        a = alpha;
    }
    // Clamps each channel to [0, 1].
    void Clamp();
    // ARGB: each channel times 255, truncated and clamped to 0..255 (NaN gives 0), so a value out of range
    // saturates its own channel instead of spilling into the next.
    std::uint32_t ToArgb() const;
};

}  // namespace engine
