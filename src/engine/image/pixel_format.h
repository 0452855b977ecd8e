#pragma once
// Pixel formats: the engine's small format codes with single-pixel reads and writes, the surface formats
// that texture files and texture levels carry (numbered as the graphics layer numbers them), and row copies
// between pictures of different pitch.
#include <cstddef>
#include <cstdint>

namespace engine {

// Codes of `PixelFormat`. Pixels are read and written for the first three only.
constexpr int kPixelFormat8888 = 0;  // 32-bit, bytes B, G, R, A
constexpr int kPixelFormat1555 = 1;  // A1R5G5B5
constexpr int kPixelFormat4444 = 2;  // A4R4G4B4
constexpr int kPixelFormatDxt1 = 3;
constexpr int kPixelFormatDxt3 = 4;
constexpr int kPixelFormatOther16 = 5;
constexpr int kPixelFormatOther32 = 6;
constexpr int kPixelFormatOther16b = 7;
constexpr int kPixelFormat8 = 8;

// 4, 2, 2, 0, 0, 2, 4, 2, 1 for codes 0 to 8; 0 for any other code.
int BytesPerPixel(int code);

struct PixelArgb {
    std::uint8_t a = 0;
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

// Code 0: B, G, R, A bytes. Code 1: 0x7C1F (the transparent colour key) reads as all zero, otherwise bit 15
// gives alpha 0 or 255 and each 5-bit channel c becomes (c << 3) | (c >> 2). Code 2: 0x0F0F (the key) reads
// as all zero, otherwise each 4-bit channel is multiplied by 17. Any other code reads all zero.
PixelArgb ReadPixel(const std::uint8_t* pixel, int code);
// Code 0 writes B, G, R, A; code 1 writes A >> 7 into bit 15 and each colour >> 3; code 2 writes each
// channel >> 4. Any other code writes nothing.
void WritePixel(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t* pixel, int code);

// Copies `rows` rows of width x 4 bytes from source to destination, each side stepping by its own pitch.
void CopyPixelRows(const std::uint8_t* source, std::uint32_t width, std::uint8_t* destination,
                   std::size_t destinationPitch, std::size_t sourcePitch, std::uint32_t rows);

// Surface formats of texture files and texture levels.
enum class SurfaceFormat : std::uint32_t {
    kUnknown = 0,
    kA8R8G8B8 = 21,
    kX8R8G8B8 = 22,  // as A8R8G8B8, the alpha byte unused (reads as 255)
    kR5G6B5 = 23,
    kA1R5G5B5 = 25,
    kA4R4G4B4 = 26,
    kDxt1 = 0x31545844,  // "DXT1"
    kDxt3 = 0x33545844,  // "DXT3"
};

bool IsBlockCompressed(SurfaceFormat format);
// Bytes per pixel of the uncompressed formats (4 or 2); 0 for block-compressed and unknown formats.
int SurfaceBytesPerPixel(SurfaceFormat format);
// Bytes per 4 x 4 block: 8 for DXT1, 16 for DXT3, 0 otherwise.
int SurfaceBlockBytes(SurfaceFormat format);
// The `PixelFormat` code a texture of this format carries: 3 for DXT1, 4 for DXT3, 0 for every other.
int PixelFormatCodeOf(SurfaceFormat format);
// Bytes of one row (of pixels, or of 4 x 4 blocks) and of a whole tightly packed level; 0 for an unknown
// format. Sizes up to 2^32 x 2^32 cannot overflow these 64-bit results.
std::uint64_t SurfaceRowBytes(SurfaceFormat format, std::uint32_t width);
std::uint64_t SurfaceLevelBytes(SurfaceFormat format, std::uint32_t width, std::uint32_t height);

}  // namespace engine
