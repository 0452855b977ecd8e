#include "engine/image/surface_copy.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/core/little_endian.h"
#include "engine/image/dxt_codec.h"

namespace engine {

namespace {

// Widens a channel of `bits` bits to 8 by repeating its high bits.
std::uint8_t Widen(unsigned c, int bits) {
    unsigned v = c << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) v |= v >> bits;
    return static_cast<std::uint8_t>(v);
}

void ExpandRow(SurfaceFormat format, const std::uint8_t* in, std::uint32_t width, std::uint8_t* out) {
    for (std::uint32_t x = 0; x < width; ++x, out += 4) {
        switch (format) {
            case SurfaceFormat::kA8R8G8B8:
                std::memcpy(out, in + x * 4, 4);
                break;
            case SurfaceFormat::kX8R8G8B8:
                std::memcpy(out, in + x * 4, 3);
                out[3] = 255;
                break;
            case SurfaceFormat::kR5G6B5: {
                const unsigned v = LoadU16(in + x * 2);
                out[0] = Widen(v & 0x1Fu, 5);
                out[1] = Widen((v >> 5) & 0x3Fu, 6);
                out[2] = Widen(v >> 11, 5);
                out[3] = 255;
                break;
            }
            case SurfaceFormat::kA1R5G5B5: {
                const unsigned v = LoadU16(in + x * 2);
                out[0] = Widen(v & 0x1Fu, 5);
                out[1] = Widen((v >> 5) & 0x1Fu, 5);
                out[2] = Widen((v >> 10) & 0x1Fu, 5);
                out[3] = (v & 0x8000u) != 0 ? 255 : 0;
                break;
            }
            default: {  // A4R4G4B4
                const unsigned v = LoadU16(in + x * 2);
                out[0] = static_cast<std::uint8_t>((v & 0xFu) * 17);
                out[1] = static_cast<std::uint8_t>(((v >> 4) & 0xFu) * 17);
                out[2] = static_cast<std::uint8_t>(((v >> 8) & 0xFu) * 17);
                out[3] = static_cast<std::uint8_t>((v >> 12) * 17);
                break;
            }
        }
    }
}

void PackRow(const std::uint8_t* in, std::uint32_t width, SurfaceFormat format, std::uint8_t* out) {
    for (std::uint32_t x = 0; x < width; ++x, in += 4) {
        const unsigned b = in[0], g = in[1], r = in[2], a = in[3];
        switch (format) {
            case SurfaceFormat::kA8R8G8B8:
                std::memcpy(out + x * 4, in, 4);
                break;
            case SurfaceFormat::kX8R8G8B8:
                std::memcpy(out + x * 4, in, 3);
                out[x * 4 + 3] = 255;
                break;
            case SurfaceFormat::kR5G6B5:
                StoreU16(out + x * 2, ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                break;
            case SurfaceFormat::kA1R5G5B5:
                StoreU16(out + x * 2, ((a >> 7) << 15) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                break;
            default:  // A4R4G4B4
                StoreU16(out + x * 2, ((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
                break;
        }
    }
}

}  // namespace

ConstSurfaceView PackedSurface(SurfaceFormat format, std::uint32_t width, std::uint32_t height,
                               const std::uint8_t* bits) {
    return ConstSurfaceView{format, width, height, static_cast<std::size_t>(SurfaceRowBytes(format, width)), bits};
}

bool SurfaceToArgb8888(const ConstSurfaceView& source, std::uint8_t* out, std::size_t pitch) {
    if (source.bits == nullptr || out == nullptr || source.width == 0 || source.height == 0) return false;
    if (IsBlockCompressed(source.format)) {
        return DecodeDxtBlocks(source.format, source.bits, source.pitch, source.width, source.height, out, pitch);
    }
    if (SurfaceBytesPerPixel(source.format) == 0) return false;
    for (std::uint32_t y = 0; y < source.height; ++y) {
        ExpandRow(source.format, source.bits + y * source.pitch, source.width, out + y * pitch);
    }
    return true;
}

bool Argb8888ToSurface(const std::uint8_t* pixels, std::size_t pitch, const SurfaceView& destination) {
    if (destination.bits == nullptr || pixels == nullptr || destination.width == 0 || destination.height == 0) {
        return false;
    }
    if (IsBlockCompressed(destination.format)) {
        return EncodeDxtBlocks(destination.format, pixels, pitch, destination.width, destination.height,
                               destination.bits, destination.pitch);
    }
    if (SurfaceBytesPerPixel(destination.format) == 0) return false;
    for (std::uint32_t y = 0; y < destination.height; ++y) {
        PackRow(pixels + y * pitch, destination.width, destination.format, destination.bits + y * destination.pitch);
    }
    return true;
}

bool CopySurface(const ConstSurfaceView& source, const SurfaceView& destination) {
    if (source.width != destination.width || source.height != destination.height) return false;
    if (source.width == 0 || source.height == 0) return false;
    if (SurfaceRowBytes(destination.format, 1) == 0) return false;
    const std::size_t pitch = std::size_t{source.width} * 4;
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[pitch * source.height]);
    if (!pixels || !SurfaceToArgb8888(source, pixels.get(), pitch)) return false;
    return Argb8888ToSurface(pixels.get(), pitch, destination);
}

void ApplyColourKey(std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, std::size_t pitch, bool opaque) {
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* p = pixels + y * pitch;
        for (std::uint32_t x = 0; x < width; ++x, p += 4) {
            if (p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF && (opaque || p[3] == 0xFF)) std::memset(p, 0, 4);
        }
    }
}

}  // namespace engine
