#pragma once
// How a picture uses its alpha channel; decides a texture's format and how it is blended.
#include <cstddef>
#include <cstdint>

namespace engine {

using AlphaKind = std::int32_t;

constexpr AlphaKind kAlphaOpaque = 0;   // every texel has alpha 255
constexpr AlphaKind kAlphaKeyed = 1;    // texels are fully opaque or fully transparent
constexpr AlphaKind kAlphaBlended = 2;  // some texel has an alpha strictly between 0 and 255

// Gathers the alphas of a picture one at a time and names its kind: blended when an alpha lies strictly
// between 0 and 255, else keyed when an alpha is 0, else opaque.
class AlphaKindScan {
public:
    void Add(std::uint8_t alpha) {
        if (alpha == 0) {
            sawZero_ = true;
        } else if (alpha != 255) {
            sawPartial_ = true;
        }
    }
    AlphaKind Kind() const { return sawPartial_ ? kAlphaBlended : (sawZero_ ? kAlphaKeyed : kAlphaOpaque); }

private:
    bool sawZero_ = false;
    bool sawPartial_ = false;
};

// The kind of `count` pixels stored as B, G, R, A bytes.
AlphaKind AlphaKindOfPixels(const std::uint8_t* bgra, std::size_t count);

}  // namespace engine
