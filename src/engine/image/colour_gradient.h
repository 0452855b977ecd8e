#pragma once
// Colour services: a gradient of evenly spaced ARGB keys sampled by a fraction, brightness scaling of an ARGB
// colour, and conversions between ARGB words and float colours.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/colour.h"

namespace engine {

class ColourGradient {
public:
    // Room for `capacity` keys, fixed for the gradient's life.
    explicit ColourGradient(std::size_t capacity);

    void Clear() { count_ = 0; }
    // Appends a key; false (and nothing added) when the gradient is full.
    bool AddKey(std::uint32_t argb);
    // The key at the index; 0 for an index beyond the keys.
    std::uint32_t GetKey(std::size_t index) const;
    std::size_t KeyCount() const { return count_; }
    std::size_t Capacity() const { return capacity_; }

    // The colour at x, the keys lying evenly from 0 (first) to 1 (last), each channel blended linearly
    // between the two keys around x and truncated. x is clamped to 0..1; a gradient without keys gives 0.
    std::uint32_t Sample(float x) const;

private:
    std::unique_ptr<std::uint32_t[]> keys_;
    std::size_t capacity_ = 0;
    std::size_t count_ = 0;
};

// Red, green and blue each times factor, shifted right by 8 (256 keeps the colour) and clamped to 0..255;
// alpha is kept.
std::uint32_t ScaleColourRgb(std::uint32_t argb, int factor);

// Each byte divided by 255.
ColourF ArgbToColourF(std::uint32_t argb);
// As ColourF::ToArgb: each channel times 255, truncated, clamped to 0..255.
std::uint32_t ColourFToArgb(const ColourF& colour);

}  // namespace engine
