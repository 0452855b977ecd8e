#include "engine/image/dds_writer.h"

#include <algorithm>
#include <cstring>

#include "engine/image/dds_file.h"
#include "engine/image/mip_filter.h"

namespace engine {

namespace {

constexpr std::uint32_t kFlagsRequired = 0x1u | 0x2u | 0x4u | 0x1000u;  // caps, height, width, pixel format
constexpr std::uint32_t kFlagPitch = 0x8u;
constexpr std::uint32_t kFlagMipMapCount = 0x20000u;
constexpr std::uint32_t kFlagLinearSize = 0x80000u;
constexpr std::uint32_t kCapsComplex = 0x8u;
constexpr std::uint32_t kCapsTexture = 0x1000u;
constexpr std::uint32_t kCapsMipMap = 0x400000u;
constexpr std::uint32_t kPixelAlpha = 0x1u;
constexpr std::uint32_t kPixelFourCc = 0x4u;
constexpr std::uint32_t kPixelRgb = 0x40u;

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Pixel-format block (file offset 76): flags, FourCC, bit count and the four masks.
bool PutPixelFormat(std::vector<std::uint8_t>& out, SurfaceFormat format) {
    struct Row {
        SurfaceFormat format;
        std::uint32_t flags, bits, r, g, b, a;
    };
    static constexpr Row kRows[] = {
        {SurfaceFormat::kA8R8G8B8, kPixelRgb | kPixelAlpha, 32, 0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u},
        {SurfaceFormat::kX8R8G8B8, kPixelRgb, 32, 0xFF0000u, 0xFF00u, 0xFFu, 0},
        {SurfaceFormat::kR5G6B5, kPixelRgb, 16, 0xF800u, 0x7E0u, 0x1Fu, 0},
        {SurfaceFormat::kA1R5G5B5, kPixelRgb | kPixelAlpha, 16, 0x7C00u, 0x3E0u, 0x1Fu, 0x8000u},
        {SurfaceFormat::kA4R4G4B4, kPixelRgb | kPixelAlpha, 16, 0xF00u, 0xF0u, 0xFu, 0xF000u},
    };
    PutU32(out, 76, 32);
    if (IsBlockCompressed(format)) {
        PutU32(out, 80, kPixelFourCc);
        PutU32(out, 84, static_cast<std::uint32_t>(format));
        return true;
    }
    for (const Row& row : kRows) {
        if (row.format != format) continue;
        PutU32(out, 80, row.flags);
        PutU32(out, 88, row.bits);
        PutU32(out, 92, row.r);
        PutU32(out, 96, row.g);
        PutU32(out, 100, row.b);
        PutU32(out, 104, row.a);
        return true;
    }
    return false;
}

}  // namespace

std::vector<std::uint8_t> EncodeDds(SurfaceFormat format, std::uint32_t width, std::uint32_t height,
                                    std::uint32_t levels, bool cube, std::span<const ConstSurfaceView> surfaces) {
    const std::uint32_t faces = cube ? 6 : 1;
    if (width == 0 || height == 0 || levels == 0 || levels > FullMipChainLength(width, height)) return {};
    if ((cube && width != height) || surfaces.size() != std::size_t{faces} * levels) return {};

    std::uint64_t total = 128;
    for (std::uint32_t level = 0; level < levels; ++level) {
        total += SurfaceLevelBytes(format, std::max(width >> level, 1u), std::max(height >> level, 1u)) * faces;
    }
    std::vector<std::uint8_t> out(128);
    std::memcpy(out.data(), "DDS ", 4);
    if (!PutPixelFormat(out, format)) return {};
    const bool compressed = IsBlockCompressed(format);
    PutU32(out, 4, 124);
    PutU32(out, 8, kFlagsRequired | (compressed ? kFlagLinearSize : kFlagPitch) | (levels > 1 ? kFlagMipMapCount : 0));
    PutU32(out, 12, height);
    PutU32(out, 16, width);
    PutU32(out, 20, static_cast<std::uint32_t>(compressed ? SurfaceLevelBytes(format, width, height)
                                                          : SurfaceRowBytes(format, width)));
    PutU32(out, 28, levels > 1 ? levels : 0);
    PutU32(out, 108, kCapsTexture | (levels > 1 || cube ? kCapsComplex : 0) | (levels > 1 ? kCapsMipMap : 0));
    PutU32(out, 112, cube ? kDdsCaps2CubeAllFaces : 0);

    out.reserve(static_cast<std::size_t>(total));
    for (std::uint32_t face = 0; face < faces; ++face) {
        for (std::uint32_t level = 0; level < levels; ++level) {
            const ConstSurfaceView& s = surfaces[face * levels + level];
            const std::uint32_t w = std::max(width >> level, 1u), h = std::max(height >> level, 1u);
            if (s.format != format || s.width != w || s.height != h || s.bits == nullptr) return {};
            const auto rowBytes = static_cast<std::size_t>(SurfaceRowBytes(format, w));
            const std::uint32_t rows = compressed ? (h + 3) / 4 : h;
            for (std::uint32_t r = 0; r < rows; ++r) {
                const std::uint8_t* row = s.bits + r * s.pitch;
                out.insert(out.end(), row, row + rowBytes);
            }
        }
    }
    return out;
}

void AppendDdsTrailer(std::vector<std::uint8_t>& file, AlphaKind alphaKind) {
    const std::size_t at = file.size();
    file.resize(at + kDdsTrailerSize);
    PutU32(file, at, kDdsTrailerMark0);
    PutU32(file, at + 4, kDdsTrailerMark1);
    PutU32(file, at + 8, static_cast<std::uint32_t>(alphaKind));
}

}  // namespace engine
