#include "engine/image/dds_file.h"

#include "engine/core/little_endian.h"
#include "engine/image/image_limits.h"
#include "engine/image/mip_filter.h"

namespace engine {

namespace {

constexpr std::uint32_t kMagic = 0x20534444u;  // "DDS "
constexpr std::size_t kHeaderEnd = 128;        // magic + 124-byte header
constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;
constexpr std::uint32_t kFlagMipMapCount = 0x20000u;
constexpr std::uint32_t kPixelAlpha = 0x1u;
constexpr std::uint32_t kPixelFourCc = 0x4u;
constexpr std::uint32_t kPixelRgb = 0x40u;
constexpr std::uint32_t kCaps2Cube = 0x200u;
constexpr std::uint32_t kCaps2Volume = 0x200000u;

struct Masks {
    std::uint32_t bits, r, g, b, a;
};

SurfaceFormat FormatOf(const std::uint8_t* pf) {
    const std::uint32_t flags = LoadU32(pf + 4);
    if ((flags & kPixelFourCc) != 0) {
        const auto fourCc = static_cast<SurfaceFormat>(LoadU32(pf + 8));
        return fourCc == SurfaceFormat::kDxt1 || fourCc == SurfaceFormat::kDxt3 ? fourCc : SurfaceFormat::kUnknown;
    }
    if ((flags & kPixelRgb) == 0) return SurfaceFormat::kUnknown;
    const bool alpha = (flags & kPixelAlpha) != 0;
    const Masks m{LoadU32(pf + 12), LoadU32(pf + 16), LoadU32(pf + 20), LoadU32(pf + 24),
                  alpha ? LoadU32(pf + 28) : 0};
    if (m.bits == 32 && m.r == 0xFF0000u && m.g == 0xFF00u && m.b == 0xFFu) {
        if (m.a == 0xFF000000u) return SurfaceFormat::kA8R8G8B8;
        if (m.a == 0) return SurfaceFormat::kX8R8G8B8;
    }
    if (m.bits == 16) {
        if (m.r == 0xF800u && m.g == 0x7E0u && m.b == 0x1Fu && m.a == 0) return SurfaceFormat::kR5G6B5;
        if (m.r == 0x7C00u && m.g == 0x3E0u && m.b == 0x1Fu && m.a == 0x8000u) return SurfaceFormat::kA1R5G5B5;
        if (m.r == 0xF00u && m.g == 0xF0u && m.b == 0xFu && m.a == 0xF000u) return SurfaceFormat::kA4R4G4B4;
    }
    return SurfaceFormat::kUnknown;
}

bool Parse(const std::uint8_t* data, std::size_t size, DdsImage& out) {
    if (data == nullptr || size < kHeaderEnd || LoadU32(data) != kMagic) return false;
    if (size >= kHeaderEnd + kDdsTrailerSize) {
        const std::uint8_t* trailer = data + size - kDdsTrailerSize;
        if (LoadU32(trailer) == kDdsTrailerMark0 && LoadU32(trailer + 4) == kDdsTrailerMark1) {
            const std::uint32_t kind = LoadU32(trailer + 8);
            if (kind > static_cast<std::uint32_t>(kAlphaBlended)) return false;
            out.hasTrailer = true;
            out.alphaKind = static_cast<AlphaKind>(kind);
            size -= kDdsTrailerSize;
        }
    }
    const std::uint8_t* header = data + 4;
    if (LoadU32(header) != kHeaderSize || LoadU32(header + 72) != kPixelFormatSize) return false;
    const std::uint32_t flags = LoadU32(header + 4);
    out.height = LoadU32(header + 8);
    out.width = LoadU32(header + 12);
    const std::uint32_t mipCount = LoadU32(header + 24);
    const std::uint32_t caps2 = LoadU32(data + 112);
    if (!ImageSizeAllowed(out.width, out.height)) return false;
    out.format = FormatOf(header + 72);
    if (out.format == SurfaceFormat::kUnknown) return false;
    if ((caps2 & kCaps2Volume) != 0) return false;
    out.cube = (caps2 & kDdsCaps2CubeAllFaces) == kDdsCaps2CubeAllFaces;
    if (!out.cube && (caps2 & kCaps2Cube) != 0) return false;  // a cube without all six faces
    if (out.cube && out.width != out.height) return false;
    out.faces = out.cube ? 6 : 1;
    out.levels = (flags & kFlagMipMapCount) != 0 && mipCount > 0 ? mipCount : 1;
    if (out.levels > FullMipChainLength(out.width, out.height)) return false;
    if (!out.hasTrailer) out.alphaKind = DdsFormatAlphaKind(out.format);

    std::uint64_t offset = kHeaderEnd;
    out.surfaces.reserve(std::size_t{out.faces} * out.levels);
    for (std::uint32_t face = 0; face < out.faces; ++face) {
        for (std::uint32_t level = 0; level < out.levels; ++level) {
            DdsSurface s;
            s.width = out.width >> level > 0 ? out.width >> level : 1;
            s.height = out.height >> level > 0 ? out.height >> level : 1;
            const std::uint64_t bytes = SurfaceLevelBytes(out.format, s.width, s.height);
            if (bytes > size - offset) return false;
            s.data = data + offset;
            s.size = static_cast<std::size_t>(bytes);
            out.surfaces.push_back(s);
            offset += bytes;
        }
    }
    return true;
}

}  // namespace

ConstSurfaceView DdsImage::View(std::uint32_t face, std::uint32_t level) const {
    const DdsSurface& s = Surface(face, level);
    return PackedSurface(format, s.width, s.height, s.data);
}

bool ParseDds(const std::uint8_t* data, std::size_t size, DdsImage& out) {
    out = DdsImage();
    if (Parse(data, size, out)) return true;
    out = DdsImage();
    return false;
}

bool DecodeDdsSurface(const DdsImage& dds, const DdsSurface& surface, std::uint8_t* pixels, std::size_t pitch) {
    const ConstSurfaceView view = PackedSurface(dds.format, surface.width, surface.height, surface.data);
    if (!SurfaceToArgb8888(view, pixels, pitch)) return false;
    if (!IsBlockCompressed(dds.format)) ApplyColourKey(pixels, surface.width, surface.height, pitch, false);
    return true;
}

AlphaKind DdsFormatAlphaKind(SurfaceFormat format) {
    switch (format) {
        case SurfaceFormat::kA8R8G8B8:
        case SurfaceFormat::kA4R4G4B4:
        case SurfaceFormat::kDxt3:
            return kAlphaBlended;
        case SurfaceFormat::kA1R5G5B5:
            return kAlphaKeyed;
        default:
            return kAlphaOpaque;
    }
}

}  // namespace engine
