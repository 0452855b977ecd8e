#pragma once
// Inner pieces of the PNG reader: the header fields, palette and transparency key it gathers, scanline
// unfiltering and the conversion of unfiltered rows into B, G, R, A pixels.
#include <cstddef>
#include <cstdint>

#include "engine/image/alpha_kind.h"

namespace engine::png {

constexpr int kGrey = 0;
constexpr int kTruecolour = 2;
constexpr int kPalette = 3;
constexpr int kGreyAlpha = 4;
constexpr int kTruecolourAlpha = 6;

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int depth = 0;
    int colourType = 0;
    int interlace = 0;
};

// Samples per pixel of a colour type (1 to 4).
int Channels(int colourType);
// Bits per pixel, and the bytes that the filters step back by (at least 1).
int BitsPerPixel(const Header& header);
int FilterStep(const Header& header);
// Bytes of one row of `width` pixels, without the filter-type byte.
std::uint64_t RowBytes(const Header& header, std::uint32_t width);

struct Palette {
    std::uint8_t rgba[256 * 4] = {};
    int size = 0;
};

struct Transparency {
    bool hasKey = false;
    std::uint16_t key[3] = {};  // grey in key[0], or red, green, blue
};

// Undoes the filters of `rows` rows of 1 + rowBytes bytes each, in place (the filter-type bytes stay).
// False when a row's filter type is above 4.
bool Unfilter(std::uint8_t* data, std::uint64_t rows, std::size_t rowBytes, int step);

// Writes converted rows into a picture of the header's size and keeps what the alpha kind needs.
class RowConverter {
public:
    RowConverter(const Header& header, const Palette& palette, const Transparency& transparency,
                 std::uint8_t* pixels);

    // Converts `count` pixels of an unfiltered row (without its filter byte) to the picture's pixels
    // (x0 + i x dx, y). False when a palette index lies beyond the palette.
    bool Convert(const std::uint8_t* row, std::uint32_t count, std::uint32_t y, std::uint32_t x0, std::uint32_t dx);

    AlphaKind Kind() const;

private:
    std::uint32_t Sample(const std::uint8_t* row, std::uint32_t index) const;
    std::uint8_t ToByte(std::uint32_t sample) const;

    const Header& header_;
    const Palette& palette_;
    const Transparency& transparency_;
    std::uint8_t* pixels_;
    AlphaKindScan scan_;
    bool keyMatched_ = false;
    bool indexZeroSeen_ = false;
};

}  // namespace engine::png
