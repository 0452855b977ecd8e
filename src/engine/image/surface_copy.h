#pragma once
// Views of one texture level in memory and the copy of one level into another of the same size with format
// conversion, going through 32-bit B, G, R, A pixels: uncompressed formats expand their channels bit by bit
// (X8R8G8B8 and R5G6B5 read alpha 255), DXT levels are decoded, and the destination format is written by
// truncating each channel (X8R8G8B8 stores alpha 255) or by encoding DXT blocks.
#include <cstddef>
#include <cstdint>

#include "engine/image/pixel_format.h"

namespace engine {

// `height` rows of pixels (or (height + 3) / 4 rows of 4 x 4 blocks) `pitch` bytes apart.
struct ConstSurfaceView {
    SurfaceFormat format = SurfaceFormat::kUnknown;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t pitch = 0;
    const std::uint8_t* bits = nullptr;
};

struct SurfaceView {
    SurfaceFormat format = SurfaceFormat::kUnknown;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t pitch = 0;
    std::uint8_t* bits = nullptr;

    operator ConstSurfaceView() const { return ConstSurfaceView{format, width, height, pitch, bits}; }
};

// A view of a tightly packed level (pitch = SurfaceRowBytes).
ConstSurfaceView PackedSurface(SurfaceFormat format, std::uint32_t width, std::uint32_t height,
                               const std::uint8_t* bits);

// Converts the source into 32-bit B, G, R, A rows of `pitch` bytes. False for an unknown format or an
// empty or missing source.
bool SurfaceToArgb8888(const ConstSurfaceView& source, std::uint8_t* out, std::size_t pitch);
// Writes 32-bit B, G, R, A rows into the destination's format. False for an unknown format.
bool Argb8888ToSurface(const std::uint8_t* pixels, std::size_t pitch, const SurfaceView& destination);

// Copies one level into another, converting the format (filter none). False when the sizes differ, a format
// is unknown or memory runs out; the destination is then unchanged.
bool CopySurface(const ConstSurfaceView& source, const SurfaceView& destination);

// The load-time colour key: every texel that reads as opaque magenta (0xFFFF00FF) becomes 0x00000000.
// `opaque` treats the alpha bytes as 255 (X8R8G8B8 data).
void ApplyColourKey(std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, std::size_t pitch, bool opaque);

}  // namespace engine
