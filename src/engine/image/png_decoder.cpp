#include "engine/image/png_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "engine/image/image_limits.h"
#include "engine/image/inflate.h"
#include "engine/image/png_rows.h"

namespace engine {

namespace {

using png::Header;

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// IHDR: length at 8, type at 12, data from 16 to 28, CRC to 32.
constexpr std::size_t kFirstChunkAfterHeader = 33;

// Adam7 passes: first column, first row, column step, row step.
constexpr std::uint32_t kAdam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                        {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

std::uint32_t LoadBe32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::uint16_t LoadBe16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

bool DepthAllowed(int colourType, int depth) {
    switch (colourType) {
        case png::kGrey:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case png::kPalette:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        default:
            return depth == 8 || depth == 16;
    }
}

bool ColourTypeKnown(int colourType) {
    return colourType == png::kGrey || colourType == png::kTruecolour || colourType == png::kPalette ||
           colourType == png::kGreyAlpha || colourType == png::kTruecolourAlpha;
}

// One Adam7 pass (or the whole picture for pass 0 of a plain image): its size in pixels.
struct Pass {
    std::uint32_t x0 = 0, y0 = 0, dx = 1, dy = 1;
    std::uint32_t width = 0, height = 0;
};

int PassList(const Header& header, Pass* passes) {
    if (header.interlace == 0) {
        passes[0] = Pass{0, 0, 1, 1, header.width, header.height};
        return 1;
    }
    for (int p = 0; p < 7; ++p) {
        const auto& a = kAdam7[p];
        Pass& pass = passes[p];
        pass = Pass{a[0], a[1], a[2], a[3], 0, 0};
        if (header.width > a[0]) pass.width = (header.width - a[0] + a[2] - 1) / a[2];
        if (header.height > a[1]) pass.height = (header.height - a[1] + a[3] - 1) / a[3];
        if (pass.width == 0) pass.height = 0;  // an empty pass holds no rows at all
    }
    return 7;
}

// The chunks the reader keeps, gathered in one walk.
struct Chunks {
    png::Palette palette;
    png::Transparency transparency;
    std::vector<std::pair<const std::uint8_t*, std::size_t>> idat;
};

int ReadHeader(const std::uint8_t* data, Header& header) {
    if (std::memcmp(data, kSignature, 8) != 0) return kPngBadSignature;
    // The chunk walk starts behind a 13-byte IHDR, so no other length can be taken.
    if (std::memcmp(data + 12, "IHDR", 4) != 0 || LoadBe32(data + 8) != 13) return kPngNoHeader;
    header.width = LoadBe32(data + 16);
    header.height = LoadBe32(data + 20);
    header.depth = data[24];
    header.colourType = data[25];
    header.interlace = data[28];
    if (data[26] != 0) return kPngBadCompression;
    if (data[27] != 0) return kPngBadFilterMethod;
    if (header.interlace > 1) return kPngBadInterlace;
    if (!ColourTypeKnown(header.colourType)) return kPngBadColourType;
    if (!DepthAllowed(header.colourType, header.depth)) return kPngBadBitDepth;
    if (!ImageSizeAllowed(header.width, header.height)) return kPngSizeOutOfRange;
    return kPngOk;
}

int ReadTransparency(const Header& header, const std::uint8_t* p, std::uint32_t length, Chunks& chunks) {
    png::Transparency& t = chunks.transparency;
    switch (header.colourType) {
        case png::kPalette:
            if (length > static_cast<std::uint32_t>(chunks.palette.size)) return kPngTransparencyTooLong;
            for (std::uint32_t i = 0; i < length; ++i) chunks.palette.rgba[i * 4 + 3] = p[i];
            return kPngOk;
        case png::kGrey:
            if (length != 2) return kPngBadGreyKey;
            t.hasKey = true;
            t.key[0] = LoadBe16(p);
            return kPngOk;
        case png::kTruecolour:
            if (length != 6) return kPngBadColourKey;
            t.hasKey = true;
            for (int c = 0; c < 3; ++c) t.key[c] = LoadBe16(p + 2 * c);
            return kPngOk;
        default:
            return kPngTransparencyNotAllowed;
    }
}

// Walks the chunks behind IHDR up to IEND. Every end is computed in 64 bits.
int ReadChunks(const std::uint8_t* data, std::size_t size, const Header& header, Chunks& chunks) {
    std::uint64_t pos = kFirstChunkAfterHeader;
    for (;;) {
        if (pos + 8 >= size) return kPngChunkHeaderPastEnd;
        const std::uint32_t length = LoadBe32(data + pos);
        const std::uint8_t* type = data + pos + 4;
        const std::uint8_t* body = data + pos + 8;
        if (pos + 12 + length > size) return kPngChunkPastEnd;
        if (std::memcmp(type, "IEND", 4) == 0) return kPngOk;
        if (std::memcmp(type, "IDAT", 4) == 0) {
            chunks.idat.emplace_back(body, length);
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            const std::uint32_t entries = length / 3;
            if (entries > 256) return kPngPaletteTooLarge;
            chunks.palette.size = static_cast<int>(entries);
            for (std::uint32_t i = 0; i < entries; ++i) {
                std::uint8_t* entry = chunks.palette.rgba + i * 4;
                entry[0] = body[i * 3];
                entry[1] = body[i * 3 + 1];
                entry[2] = body[i * 3 + 2];
                entry[3] = 255;
            }
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            const int result = ReadTransparency(header, body, length, chunks);
            if (result != kPngOk) return result;
        } else if ((type[0] & 0x20u) == 0) {
            return kPngUnknownCriticalChunk;  // upper-case first letter: needed to read the picture
        }
        pos += 12 + std::uint64_t{length};
    }
}

// Inflates the image data into `out`, which must receive exactly `expected` bytes.
int InflateImageData(const Chunks& chunks, std::uint64_t expected, std::unique_ptr<std::uint8_t[]>& out) {
    std::vector<std::uint8_t> joined;
    const std::uint8_t* stream = nullptr;
    std::size_t streamSize = 0;
    if (chunks.idat.size() == 1) {
        stream = chunks.idat[0].first;
        streamSize = chunks.idat[0].second;
    } else {
        std::size_t total = 0;
        for (const auto& [p, n] : chunks.idat) total += n;
        joined.reserve(total);
        for (const auto& [p, n] : chunks.idat) joined.insert(joined.end(), p, p + n);
        stream = joined.data();
        streamSize = joined.size();
    }
    // No stream can inflate past its ratio bound, so a short stream never gets a large buffer.
    const std::uint64_t capacity = std::min(expected, MaxInflatedSize(streamSize));
    out.reset(new (std::nothrow) std::uint8_t[capacity == 0 ? 1 : capacity]);
    if (!out) return kPngOutOfMemory;
    std::size_t produced = 0;
    const int result = InflateZlib(stream, streamSize, out.get(), static_cast<std::size_t>(capacity), produced);
    if (result != kInflateOk) return result;
    if (produced != expected) return kPngImageDataShort;
    return kPngOk;
}

int Decode(const std::uint8_t* data, std::size_t size, DecodedPng& result) {
    if (data == nullptr || size == 0) return kPngNoData;
    if (size <= 28) return kPngTooShort;
    Header header;
    int error = ReadHeader(data, header);
    if (error != kPngOk) return error;
    Chunks chunks;
    error = ReadChunks(data, size, header, chunks);
    if (error != kPngOk) return error;

    Pass passes[7];
    const int passCount = PassList(header, passes);
    std::uint64_t expected = 0;
    for (int p = 0; p < passCount; ++p) {
        expected += std::uint64_t{passes[p].height} * (1 + png::RowBytes(header, passes[p].width));
    }
    std::unique_ptr<std::uint8_t[]> filtered;
    error = InflateImageData(chunks, expected, filtered);
    if (error != kPngOk) return error;

    const std::size_t pixelBytes = std::size_t{header.width} * header.height * 4;
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[pixelBytes]());
    if (!pixels) return kPngOutOfMemory;
    png::RowConverter converter(header, chunks.palette, chunks.transparency, pixels.get());
    std::uint8_t* passData = filtered.get();
    for (int p = 0; p < passCount; ++p) {
        const Pass& pass = passes[p];
        const auto rowBytes = static_cast<std::size_t>(png::RowBytes(header, pass.width));
        if (!png::Unfilter(passData, pass.height, rowBytes, png::FilterStep(header))) return kPngBadFilterType;
        for (std::uint32_t r = 0; r < pass.height; ++r) {
            const std::uint8_t* row = passData + std::size_t{r} * (rowBytes + 1) + 1;
            if (!converter.Convert(row, pass.width, pass.y0 + r * pass.dy, pass.x0, pass.dx)) {
                return kPngPaletteIndexRange;
            }
        }
        passData += std::size_t{pass.height} * (rowBytes + 1);
    }
    result.pixels = std::move(pixels);
    result.width = header.width;
    result.height = header.height;
    result.alphaKind = converter.Kind();
    return kPngOk;
}

}  // namespace

DecodedPng DecodePng(const std::uint8_t* data, std::size_t size) {
    DecodedPng result;
    result.error = Decode(data, size, result);
    if (result.error != kPngOk) result = DecodedPng{nullptr, 0, 0, kAlphaOpaque, result.error};
    return result;
}

}  // namespace engine
