#pragma once
// The largest pictures the image readers accept. Larger sizes are refused before anything is allocated, and
// every size computed from them fits comfortably in 64 bits.
#include <cstdint>

namespace engine {

constexpr std::uint32_t kMaxImageSide = 16384;
constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 26;

// True for sides of 1 to kMaxImageSide with at most kMaxImagePixels pixels.
constexpr bool ImageSizeAllowed(std::uint64_t width, std::uint64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

}  // namespace engine
