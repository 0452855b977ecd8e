#pragma once
// DDS texture files: the reader's parse of a whole file in memory, and the decoding of one of its
// surfaces into 32-bit pixels.
//
// Formats read: A8R8G8B8, X8R8G8B8, R5G6B5, A1R5G5B5, A4R4G4B4 (by their channel masks) and DXT1, DXT3 (by
// FourCC); anything else is refused. A file is a cube map when caps2 has all of 0xFE00 (the cube bit and the
// six face bits); a cube with only some faces, and volume textures, are refused. The level count comes from
// the mip-map count when its header flag is set, else 1. Every surface's byte range is checked against the
// file.
//
// Files written by the engine may end in a 12-byte trailer (0x0000BEEF, 0x00000B0E, alpha kind); the parse
// strips it and takes its alpha kind, refusing a kind other than 0, 1 or 2. Without it the kind follows the
// format: 2 for A8R8G8B8, A4R4G4B4 and DXT3, 1 for A1R5G5B5, else 0.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/image/alpha_kind.h"
#include "engine/image/pixel_format.h"
#include "engine/image/surface_copy.h"

namespace engine {

constexpr std::uint32_t kDdsTrailerMark0 = 0x0000BEEFu;
constexpr std::uint32_t kDdsTrailerMark1 = 0x00000B0Eu;
constexpr std::size_t kDdsTrailerSize = 12;
constexpr std::uint32_t kDdsCaps2CubeAllFaces = 0xFE00u;

// One face's level: tightly packed rows (of pixels, or of 4 x 4 blocks) inside the parsed file.
struct DdsSurface {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

struct DdsImage {
    SurfaceFormat format = SurfaceFormat::kUnknown;  // as stored in the file
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t levels = 0;  // per face
    std::uint32_t faces = 0;   // 1, or 6 for a cube (+X, -X, +Y, -Y, +Z, -Z)
    bool cube = false;
    bool hasTrailer = false;
    AlphaKind alphaKind = kAlphaOpaque;
    std::vector<DdsSurface> surfaces;  // faces x levels, face by face

    // face < faces, level < levels.
    const DdsSurface& Surface(std::uint32_t face, std::uint32_t level) const { return surfaces[face * levels + level]; }
    ConstSurfaceView View(std::uint32_t face, std::uint32_t level) const;
};

// Parses a whole file; the surfaces point into `data`, which must outlive the result. False, with the
// result emptied, when the file is refused.
bool ParseDds(const std::uint8_t* data, std::size_t size, DdsImage& out);

// Decodes one surface into 32-bit B, G, R, A rows of `pitch` bytes: DXT blocks are decoded as stored;
// uncompressed texels are widened to 8 bits per channel and the colour key applied (a texel that reads as
// opaque magenta becomes 0x00000000).
bool DecodeDdsSurface(const DdsImage& dds, const DdsSurface& surface, std::uint8_t* pixels, std::size_t pitch);

// The alpha kind a DDS file without a trailer has in this format.
AlphaKind DdsFormatAlphaKind(SurfaceFormat format);

}  // namespace engine
