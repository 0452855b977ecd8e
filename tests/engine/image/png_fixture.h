#pragma once
// Builds PNG files for the reader's tests: any colour type and depth from plain sample values, interlaced or
// not, every filter type in turn, compressed with zlib; plus raw chunks for broken files.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace pngtest {

using Bytes = std::vector<std::uint8_t>;

inline void AppendBe32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline std::uint32_t LoadBe32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

inline void StoreBe32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

inline Bytes Chunk(const std::string& type, const Bytes& data) {
    Bytes out;
    AppendBe32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(type.data()), 4);
    if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    AppendBe32(out, static_cast<std::uint32_t>(crc));
    return out;
}

inline Bytes Ihdr(std::uint32_t width, std::uint32_t height, int depth, int colourType, int interlace = 0) {
    Bytes data;
    AppendBe32(data, width);
    AppendBe32(data, height);
    data.push_back(static_cast<std::uint8_t>(depth));
    data.push_back(static_cast<std::uint8_t>(colourType));
    data.push_back(0);
    data.push_back(0);
    data.push_back(static_cast<std::uint8_t>(interlace));
    return Chunk("IHDR", data);
}

inline Bytes Signature() { return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}; }

inline Bytes File(const std::vector<Bytes>& chunks) {
    Bytes out = Signature();
    for (const Bytes& c : chunks) out.insert(out.end(), c.begin(), c.end());
    return out;
}

inline Bytes Zlib(const Bytes& raw, int level = 6) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level);
    out.resize(size);
    return out;
}

inline int Channels(int colourType) {
    switch (colourType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int depth = 8;
    int colourType = 6;
    std::vector<std::uint32_t> samples;  // width x height x channels, rows top first
    Bytes palette;                       // R, G, B triples (PLTE)
    Bytes transparency;                  // tRNS data, when not empty
};

inline std::uint8_t PaethPredictor(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Packs the samples of the pixels (x0 + i dx, y) into one row at the picture's depth.
inline Bytes PackRow(const Picture& p, std::uint32_t y, std::uint32_t x0, std::uint32_t dx, std::uint32_t count) {
    const int channels = Channels(p.colourType);
    const std::size_t bits = std::size_t{count} * channels * p.depth;
    Bytes row((bits + 7) / 8, 0);
    std::size_t bit = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t pixel = std::size_t{y} * p.width + x0 + i * dx;
        for (int c = 0; c < channels; ++c, bit += p.depth) {
            const std::uint32_t v = p.samples[pixel * channels + c];
            if (p.depth == 16) {
                row[bit / 8] = static_cast<std::uint8_t>(v >> 8);
                row[bit / 8 + 1] = static_cast<std::uint8_t>(v);
            } else if (p.depth == 8) {
                row[bit / 8] = static_cast<std::uint8_t>(v);
            } else {
                row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - p.depth - bit % 8));
            }
        }
    }
    return row;
}

// Appends rows filtered with the filter types 0 to 4 in turn, starting at `firstFilter`.
inline void AppendFilteredRows(const std::vector<Bytes>& rows, int step, int firstFilter, Bytes& out) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int type = static_cast<int>((firstFilter + r) % 5);
        out.push_back(static_cast<std::uint8_t>(type));
        const Bytes& row = rows[r];
        for (std::size_t i = 0; i < row.size(); ++i) {
            const int a = i >= static_cast<std::size_t>(step) ? row[i - step] : 0;
            const int b = r > 0 ? rows[r - 1][i] : 0;
            const int c = r > 0 && i >= static_cast<std::size_t>(step) ? rows[r - 1][i - step] : 0;
            int predictor = 0;
            if (type == 1) predictor = a;
            if (type == 2) predictor = b;
            if (type == 3) predictor = (a + b) / 2;
            if (type == 4) predictor = PaethPredictor(a, b, c);
            out.push_back(static_cast<std::uint8_t>(row[i] - predictor));
        }
    }
}

// The filtered image data: one pass, or the seven Adam7 passes.
inline Bytes RawImageData(const Picture& p, bool interlace, int firstFilter = 0) {
    static constexpr std::uint32_t kAdam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const int bitsPerPixel = Channels(p.colourType) * p.depth;
    const int step = bitsPerPixel >= 8 ? bitsPerPixel / 8 : 1;
    Bytes out;
    const int passes = interlace ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const std::uint32_t x0 = interlace ? kAdam7[pass][0] : 0, y0 = interlace ? kAdam7[pass][1] : 0;
        const std::uint32_t dx = interlace ? kAdam7[pass][2] : 1, dy = interlace ? kAdam7[pass][3] : 1;
        if (p.width <= x0 || p.height <= y0) continue;
        const std::uint32_t count = (p.width - x0 + dx - 1) / dx;
        std::vector<Bytes> rows;
        for (std::uint32_t y = y0; y < p.height; y += dy) rows.push_back(PackRow(p, y, x0, dx, count));
        AppendFilteredRows(rows, step, firstFilter + pass, out);
    }
    return out;
}

inline Bytes Encode(const Picture& p, bool interlace = false, int level = 6) {
    std::vector<Bytes> chunks = {Ihdr(p.width, p.height, p.depth, p.colourType, interlace ? 1 : 0)};
    if (!p.palette.empty()) chunks.push_back(Chunk("PLTE", p.palette));
    if (!p.transparency.empty()) chunks.push_back(Chunk("tRNS", p.transparency));
    chunks.push_back(Chunk("IDAT", Zlib(RawImageData(p, interlace), level)));
    chunks.push_back(Chunk("IEND", {}));
    return File(chunks);
}

// A picture whose samples run through the depth's whole range.
inline Picture Pattern(std::uint32_t width, std::uint32_t height, int depth, int colourType, std::uint32_t seed = 1) {
    Picture p;
    p.width = width;
    p.height = height;
    p.depth = depth;
    p.colourType = colourType;
    const std::uint32_t max = depth == 16 ? 0xFFFFu : (1u << depth) - 1u;
    const std::size_t n = std::size_t{width} * height * Channels(colourType);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (std::size_t i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        p.samples.push_back((state >> 8) % (max + 1));
    }
    return p;
}

}  // namespace pngtest
