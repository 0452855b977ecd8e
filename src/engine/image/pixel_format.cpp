#include "engine/image/pixel_format.h"

#include <cstring>

#include "engine/core/little_endian.h"
#include "engine/image/alpha_kind.h"

namespace engine {

namespace {

constexpr std::uint16_t kKey1555 = 0x7C1F;
constexpr std::uint16_t kKey4444 = 0x0F0F;

std::uint8_t Expand5(unsigned c) { return static_cast<std::uint8_t>((c << 3) | (c >> 2)); }

}  // namespace

AlphaKind AlphaKindOfPixels(const std::uint8_t* bgra, std::size_t count) {
    AlphaKindScan scan;
    for (std::size_t i = 0; i < count; ++i) scan.Add(bgra[i * 4 + 3]);
    return scan.Kind();
}

int BytesPerPixel(int code) {
    static constexpr int kBytes[] = {4, 2, 2, 0, 0, 2, 4, 2, 1};
    return code >= 0 && code <= kPixelFormat8 ? kBytes[code] : 0;
}

PixelArgb ReadPixel(const std::uint8_t* pixel, int code) {
    PixelArgb out;
    switch (code) {
        case kPixelFormat8888:
            out.b = pixel[0];
            out.g = pixel[1];
            out.r = pixel[2];
            out.a = pixel[3];
            break;
        case kPixelFormat1555: {
            const unsigned v = LoadU16(pixel);
            if (v == kKey1555) break;
            out.a = (v & 0x8000u) != 0 ? 255 : 0;
            out.r = Expand5((v >> 10) & 0x1Fu);
            out.g = Expand5((v >> 5) & 0x1Fu);
            out.b = Expand5(v & 0x1Fu);
            break;
        }
        case kPixelFormat4444: {
            const unsigned v = LoadU16(pixel);
            if (v == kKey4444) break;
            out.a = static_cast<std::uint8_t>(((v >> 12) & 0xFu) * 17);
            out.r = static_cast<std::uint8_t>(((v >> 8) & 0xFu) * 17);
            out.g = static_cast<std::uint8_t>(((v >> 4) & 0xFu) * 17);
            out.b = static_cast<std::uint8_t>((v & 0xFu) * 17);
            break;
        }
        default:
            break;
    }
    return out;
}

void WritePixel(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t* pixel, int code) {
    switch (code) {
        case kPixelFormat8888:
            pixel[0] = b;
            pixel[1] = g;
            pixel[2] = r;
            pixel[3] = a;
            break;
        case kPixelFormat1555:
            StoreU16(pixel, ((a >> 7u) << 15) | ((r >> 3u) << 10) | ((g >> 3u) << 5) | (b >> 3u));
            break;
        case kPixelFormat4444:
            StoreU16(pixel, ((a >> 4u) << 12) | ((r >> 4u) << 8) | ((g >> 4u) << 4) | (b >> 4u));
            break;
        default:
            break;
    }
}

void CopyPixelRows(const std::uint8_t* source, std::uint32_t width, std::uint8_t* destination,
                   std::size_t destinationPitch, std::size_t sourcePitch, std::uint32_t rows) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (rowBytes == 0) return;
    for (std::uint32_t y = 0; y < rows; ++y) {
        std::memcpy(destination + y * destinationPitch, source + y * sourcePitch, rowBytes);
    }
}

bool IsBlockCompressed(SurfaceFormat format) {
    return format == SurfaceFormat::kDxt1 || format == SurfaceFormat::kDxt3;
}

int SurfaceBytesPerPixel(SurfaceFormat format) {
    switch (format) {
        case SurfaceFormat::kA8R8G8B8:
        case SurfaceFormat::kX8R8G8B8:
            return 4;
        case SurfaceFormat::kR5G6B5:
        case SurfaceFormat::kA1R5G5B5:
        case SurfaceFormat::kA4R4G4B4:
            return 2;
        default:
            return 0;
    }
}

int SurfaceBlockBytes(SurfaceFormat format) {
    if (format == SurfaceFormat::kDxt1) return 8;
    if (format == SurfaceFormat::kDxt3) return 16;
    return 0;
}

int PixelFormatCodeOf(SurfaceFormat format) {
    if (format == SurfaceFormat::kDxt1) return kPixelFormatDxt1;
    if (format == SurfaceFormat::kDxt3) return kPixelFormatDxt3;
    return kPixelFormat8888;
}

std::uint64_t SurfaceRowBytes(SurfaceFormat format, std::uint32_t width) {
    if (IsBlockCompressed(format)) {
        const std::uint64_t blocks = width == 0 ? 0 : (std::uint64_t{width} + 3) / 4;
        return blocks * static_cast<std::uint64_t>(SurfaceBlockBytes(format));
    }
    return std::uint64_t{width} * static_cast<std::uint64_t>(SurfaceBytesPerPixel(format));
}

std::uint64_t SurfaceLevelBytes(SurfaceFormat format, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t rows = IsBlockCompressed(format) ? (std::uint64_t{height} + 3) / 4 : height;
    return SurfaceRowBytes(format, width) * rows;
}

}  // namespace engine
