#pragma once
// The PNG reader: every colour type and bit depth of the format, interlaced or not, decoded with the
// program's own inflate into B, G, R, A pixels (rows top first) with the picture's alpha kind.
//
// Conversion: 16-bit samples keep their high byte (a 16-bit transparency key is compared at full 16 bits
// first); grey samples below 8 bits are scaled to 0..255. Alpha and the kind reported, by colour type:
// grey: 0 where the sample equals the tRNS key, else 255, kind 0; truecolour: 0 where the pixel equals the
// key, else 255, kind 1 when a pixel matched, else 0; palette of 8 bits: 0 for index 0 and 255 for every
// other (tRNS unused), kind 1 when index 0 occurs; palette below 8 bits: the entry's alpha with tRNS
// applied, kind 0; grey with alpha: the stored alpha, kind 0; truecolour with alpha: the stored alpha, kind 2
// when an alpha lies strictly between 0 and 255, else 1 when one is 0, else 0.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/image/alpha_kind.h"

namespace engine {

// Error codes of DecodePng (0 is success). The inflate codes of inflate.h come through as they are.
constexpr int kPngOk = 0;
constexpr int kPngTooShort = 27;            // 28 bytes or fewer
constexpr int kPngBadSignature = 28;
constexpr int kPngNoHeader = 29;            // the first chunk is not IHDR (of 13 bytes)
constexpr int kPngChunkHeaderPastEnd = 30;  // also: the data ends without IEND
constexpr int kPngBadColourType = 31;
constexpr int kPngBadCompression = 32;
constexpr int kPngBadFilterMethod = 33;
constexpr int kPngBadInterlace = 34;
constexpr int kPngChunkPastEnd = 35;
constexpr int kPngBadFilterType = 36;
constexpr int kPngBadBitDepth = 37;         // a depth the colour type does not allow
constexpr int kPngPaletteTooLarge = 38;
constexpr int kPngTransparencyTooLong = 39;  // more tRNS entries than the palette has
constexpr int kPngBadGreyKey = 40;
constexpr int kPngBadColourKey = 41;
constexpr int kPngTransparencyNotAllowed = 42;
constexpr int kPngNoData = 48;
constexpr int kPngUnknownCriticalChunk = 69;
constexpr int kPngImageDataShort = 55;    // the image data inflates to fewer bytes than the size needs
constexpr int kPngPaletteIndexRange = 56;  // a palette index beyond the palette
constexpr int kPngSizeOutOfRange = 57;     // width or height 0 or above 16384, or more than 2^26 pixels
constexpr int kPngOutOfMemory = 58;

struct DecodedPng {
    std::unique_ptr<std::uint8_t[]> pixels;  // width x height x 4 bytes; null on failure
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    AlphaKind alphaKind = kAlphaOpaque;
    int error = kPngOk;
};

// Decodes a whole PNG file. On failure: no pixels, size 0, alpha kind 0 and the error code.
DecodedPng DecodePng(const std::uint8_t* data, std::size_t size);

}  // namespace engine
