#pragma once
// Mip-level generation on the CPU copies of a texture's levels: each level below the top is filtered from
// the level above it, with a box filter or an alpha-weighted filter.
#include <cstddef>
#include <cstdint>
#include <span>

namespace engine {

// Mip kinds: one level only, a chain filled by the box filter, a chain filled by the alpha-weighted filter.
constexpr int kMipNone = 0;
constexpr int kMipBox = 1;
constexpr int kMipAlphaWeighted = 2;

// One level's pixels: `height` rows `pitch` bytes apart.
struct MipLevelView {
    std::uint8_t* bits = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t pitch = 0;
};

// Fills the destination from the source level, both in the `PixelFormat` code given (pixels are read and
// written for codes 0, 1 and 2; block-compressed and other levels are left as they are). With ratios
// rx = source width / destination width and ry likewise:
// - kind 1 (box): each channel is the mean, rounded up, of the rx x ry source block: (sum + n - 1) / n;
// - kind 2 (alpha-weighted): of the source pixels (rx x, ry y), one to the right and one below (clamped to the
//   source's last column and row), red, green and blue are the alpha-weighted means and alpha the largest.
// Any other kind changes nothing.
void FilterMipLevel(const MipLevelView& source, const MipLevelView& destination, int code, int kind);

// Filters levels[1..] each from the level before it.
void GenerateMipLevels(std::span<const MipLevelView> levels, int code, int kind);

// Levels of a full chain down to 1 x 1 for the size (1 for a size of 0).
std::uint32_t FullMipChainLength(std::uint32_t width, std::uint32_t height);

}  // namespace engine
