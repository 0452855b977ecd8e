#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image/inflate.h"
#include "engine/image/png_decoder.h"
#include "png_fixture.h"

namespace {

using namespace engine;
using pngtest::Bytes;
using pngtest::Picture;

struct Expected {
    Bytes bgra;
    AlphaKind kind = kAlphaOpaque;
};

std::uint32_t KeyOf(const Bytes& trns, int i) { return (std::uint32_t{trns[2 * i]} << 8) | trns[2 * i + 1]; }

// What the reader must make of a picture, written out channel by channel from the conversion rules.
Expected Convert(const Picture& p) {
    Expected e;
    const int channels = pngtest::Channels(p.colourType);
    const std::uint32_t max = p.depth == 16 ? 0xFFFFu : (1u << p.depth) - 1;
    auto byte = [&](std::uint32_t s) -> std::uint8_t {
        if (p.depth == 16) return static_cast<std::uint8_t>(s >> 8);
        return static_cast<std::uint8_t>(s * 255 / max);
    };
    const bool key = !p.transparency.empty();
    bool sawPartial = false, sawZero = false, matched = false, indexZero = false;
    for (std::size_t i = 0; i < std::size_t{p.width} * p.height; ++i) {
        const std::uint32_t* s = &p.samples[i * channels];
        std::uint8_t r = 0, g = 0, b = 0, a = 255;
        switch (p.colourType) {
            case 0:
                r = g = b = byte(s[0]);
                if (key && s[0] == KeyOf(p.transparency, 0)) a = 0;
                break;
            case 2:
                r = byte(s[0]);
                g = byte(s[1]);
                b = byte(s[2]);
                if (key && s[0] == KeyOf(p.transparency, 0) && s[1] == KeyOf(p.transparency, 1) &&
                    s[2] == KeyOf(p.transparency, 2)) {
                    a = 0;
                    matched = true;
                }
                break;
            case 3:
                r = p.palette[s[0] * 3];
                g = p.palette[s[0] * 3 + 1];
                b = p.palette[s[0] * 3 + 2];
                if (p.depth == 8) {
                    a = s[0] == 0 ? 0 : 255;
                    indexZero |= s[0] == 0;
                } else if (s[0] < p.transparency.size()) {
                    a = p.transparency[s[0]];
                }
                break;
            case 4:
                r = g = b = byte(s[0]);
                a = byte(s[1]);
                break;
            default:
                r = byte(s[0]);
                g = byte(s[1]);
                b = byte(s[2]);
                a = byte(s[3]);
                sawPartial |= a != 0 && a != 255;
                sawZero |= a == 0;
                break;
        }
        e.bgra.insert(e.bgra.end(), {b, g, r, a});
    }
    if (p.colourType == 2) e.kind = matched ? kAlphaKeyed : kAlphaOpaque;
    if (p.colourType == 3 && p.depth == 8) e.kind = indexZero ? kAlphaKeyed : kAlphaOpaque;
    if (p.colourType == 6) e.kind = sawPartial ? kAlphaBlended : (sawZero ? kAlphaKeyed : kAlphaOpaque);
    return e;
}

Bytes Pixels(const DecodedPng& png) {
    return Bytes(png.pixels.get(), png.pixels.get() + std::size_t{png.width} * png.height * 4);
}

struct Format {
    int colourType;
    int depth;
};

const Format kFormats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1}, {3, 2},
                           {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

// A palette of 2^depth entries (at most 256) and a picture that uses them all.
Picture PaletteCase(std::uint32_t w, std::uint32_t h, int depth, std::uint32_t seed) {
    Picture p = pngtest::Pattern(w, h, depth, 3, seed);
    const int entries = 1 << depth;
    for (int i = 0; i < entries; ++i) {
        p.palette.insert(p.palette.end(), {static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(255 - i),
                                           static_cast<std::uint8_t>(i * 11 + 5)});
    }
    return p;
}

Picture Case(const Format& f, std::uint32_t w, std::uint32_t h, bool withKey, std::uint32_t seed = 5) {
    Picture p = f.colourType == 3 ? PaletteCase(w, h, f.depth, seed)
                                  : pngtest::Pattern(w, h, f.depth, f.colourType, seed);
    if (!withKey) return p;
    auto be16 = [](std::uint32_t v) { return Bytes{static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)}; };
    if (f.colourType == 0) {
        p.transparency = be16(p.samples[0]);  // the first pixel's value
    } else if (f.colourType == 2) {
        for (int c = 0; c < 3; ++c) {
            const Bytes k = be16(p.samples[c]);
            p.transparency.insert(p.transparency.end(), k.begin(), k.end());
        }
    } else if (f.colourType == 3) {
        for (int i = 0; i < (1 << f.depth) / 2; ++i) p.transparency.push_back(static_cast<std::uint8_t>(i * 40));
    }
    return p;
}

TEST(PngDecoder, EveryColourTypeAndDepthWithAndWithoutTransparency) {
    for (const Format& f : kFormats) {
        for (bool withKey : {false, true}) {
            if (withKey && (f.colourType == 4 || f.colourType == 6)) continue;  // tRNS is not allowed there
            const Picture p = Case(f, 19, 11, withKey);
            const Bytes file = pngtest::Encode(p);
            const DecodedPng png = DecodePng(file.data(), file.size());
            const std::string what = "type " + std::to_string(f.colourType) + " depth " + std::to_string(f.depth) +
                                     (withKey ? " with tRNS" : "");
            ASSERT_EQ(png.error, kPngOk) << what;
            ASSERT_EQ(png.width, 19u) << what;
            ASSERT_EQ(png.height, 11u) << what;
            const Expected e = Convert(p);
            EXPECT_EQ(Pixels(png), e.bgra) << what;
            EXPECT_EQ(png.alphaKind, e.kind) << what;
        }
    }
}

TEST(PngDecoder, AlphaKindsAsTabled) {
    struct Row {
        const char* what;
        Picture picture;
        AlphaKind kind;
    };
    auto picture = [](int type, int depth, std::vector<std::uint32_t> samples, Bytes palette = {},
                      Bytes trns = {}) {
        Picture p;
        p.width = static_cast<std::uint32_t>(samples.size() / pngtest::Channels(type));
        p.height = 1;
        p.depth = depth;
        p.colourType = type;
        p.samples = std::move(samples);
        p.palette = std::move(palette);
        p.transparency = std::move(trns);
        return p;
    };
    const Bytes twoEntries = {10, 20, 30, 40, 50, 60};
    std::vector<Row> rows = {
        {"grey 8 with a matching key stays kind 0", picture(0, 8, {7, 9}, {}, {0, 7}), kAlphaOpaque},
        {"truecolour key matched", picture(2, 8, {1, 2, 3, 4, 5, 6}, {}, {0, 1, 0, 2, 0, 3}), kAlphaKeyed},
        {"truecolour key not present", picture(2, 8, {1, 2, 3, 4, 5, 6}, {}, {0, 1, 0, 2, 0, 4}), kAlphaOpaque},
        // The key's low byte differs: 16-bit samples compare at full precision before keeping the high byte.
        {"16-bit truecolour key compared at 16 bits", picture(2, 16, {0x1234, 0x5678, 0x9ABC}, {},
                                                              {0x12, 0x35, 0x56, 0x78, 0x9A, 0xBC}),
         kAlphaOpaque},
        {"16-bit truecolour key matched", picture(2, 16, {0x1234, 0x5678, 0x9ABC}, {},
                                                  {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}),
         kAlphaKeyed},
        {"palette 8 without index 0", picture(3, 8, {1, 1}, twoEntries), kAlphaOpaque},
        {"palette 8 with index 0, tRNS saying opaque", picture(3, 8, {0, 1}, twoEntries, {255, 255}), kAlphaKeyed},
        {"palette 4 with transparent entries stays kind 0", picture(3, 4, {0, 1}, twoEntries, {0, 128}), kAlphaOpaque},
        {"grey with alpha stays kind 0", picture(4, 8, {5, 0, 6, 128}), kAlphaOpaque},
        {"truecolour with alpha, all opaque", picture(6, 8, {1, 2, 3, 255}), kAlphaOpaque},
        {"truecolour with alpha, 0 and 255", picture(6, 8, {1, 2, 3, 255, 1, 2, 3, 0}), kAlphaKeyed},
        {"truecolour with alpha, partial", picture(6, 8, {1, 2, 3, 0, 1, 2, 3, 254}), kAlphaBlended},
    };
    for (const Row& row : rows) {
        const Bytes file = pngtest::Encode(row.picture);
        const DecodedPng png = DecodePng(file.data(), file.size());
        ASSERT_EQ(png.error, kPngOk) << row.what;
        EXPECT_EQ(png.alphaKind, row.kind) << row.what;
        EXPECT_EQ(Pixels(png), Convert(row.picture).bgra) << row.what;
    }
}

TEST(PngDecoder, PaletteIndexZeroIsTransparentRegardlessOfTransparencyChunk) {
    Picture p;
    p.width = 2;
    p.height = 1;
    p.colourType = 3;
    p.samples = {0, 1};
    p.palette = {10, 20, 30, 40, 50, 60};
    p.transparency = {255, 0};  // says the opposite
    const Bytes file = pngtest::Encode(p);
    const DecodedPng png = DecodePng(file.data(), file.size());
    ASSERT_EQ(png.error, kPngOk);
    EXPECT_EQ(Pixels(png), (Bytes{30, 20, 10, 0, 60, 50, 40, 255}));
}

TEST(PngDecoder, InterlacedEqualsPlainTwin) {
    const std::uint32_t sizes[][2] = {{1, 1}, {2, 3}, {5, 1}, {8, 8}, {9, 9}, {13, 7}, {33, 17}};
    for (const Format& f : kFormats) {
        for (const auto& size : sizes) {
            const Picture p = Case(f, size[0], size[1], false, size[0] * 31 + size[1]);
            const Bytes plain = pngtest::Encode(p, false);
            const Bytes laced = pngtest::Encode(p, true);
            const DecodedPng a = DecodePng(plain.data(), plain.size());
            const DecodedPng b = DecodePng(laced.data(), laced.size());
            const std::string what = "type " + std::to_string(f.colourType) + " depth " + std::to_string(f.depth) +
                                     " " + std::to_string(size[0]) + "x" + std::to_string(size[1]);
            ASSERT_EQ(a.error, kPngOk) << what;
            ASSERT_EQ(b.error, kPngOk) << what;
            EXPECT_EQ(Pixels(a), Pixels(b)) << what;
            EXPECT_EQ(Pixels(a), Convert(p).bgra) << what;
            EXPECT_EQ(a.alphaKind, b.alphaKind) << what;
        }
    }
}

TEST(PngDecoder, ChunksSplitAndAncillary) {
    const Picture p = pngtest::Pattern(16, 16, 8, 6, 3);
    const Bytes stream = pngtest::Zlib(pngtest::RawImageData(p, false));
    const std::size_t third = stream.size() / 3;
    const Bytes file = pngtest::File({pngtest::Ihdr(16, 16, 8, 6), pngtest::Chunk("teXt", {'a', 0, 'b'}),
                                      pngtest::Chunk("IDAT", Bytes(stream.begin(), stream.begin() + third)),
                                      pngtest::Chunk("IDAT", Bytes(stream.begin() + third, stream.end() - 1)),
                                      pngtest::Chunk("zzZz", {1, 2, 3}),
                                      pngtest::Chunk("IDAT", Bytes(stream.end() - 1, stream.end())),
                                      pngtest::Chunk("IEND", {})});
    const DecodedPng png = DecodePng(file.data(), file.size());
    ASSERT_EQ(png.error, kPngOk);
    EXPECT_EQ(Pixels(png), Convert(p).bgra);
}

TEST(PngDecoder, SizeLimits) {
    struct Row {
        std::uint32_t width, height;
        int error;
    };
    const Row rows[] = {{16384, 1, kPngOk},
                        {1, 16384, kPngOk},
                        {16385, 1, kPngSizeOutOfRange},
                        {1, 16385, kPngSizeOutOfRange},
                        {8192, 8193, kPngSizeOutOfRange},
                        {0, 5, kPngSizeOutOfRange},
                        {5, 0, kPngSizeOutOfRange},
                        {0xFFFFFFFFu, 0xFFFFFFFFu, kPngSizeOutOfRange}};
    for (const Row& row : rows) {
        Picture p;
        p.width = row.error == kPngOk ? row.width : 1;
        p.height = row.error == kPngOk ? row.height : 1;
        p.depth = 1;
        p.colourType = 0;
        p.samples.assign(std::size_t{p.width} * p.height, 1);
        const Bytes data = pngtest::Zlib(pngtest::RawImageData(p, false));
        const Bytes file = pngtest::File({pngtest::Ihdr(row.width, row.height, 1, 0), pngtest::Chunk("IDAT", data),
                                          pngtest::Chunk("IEND", {})});
        const DecodedPng png = DecodePng(file.data(), file.size());
        EXPECT_EQ(png.error, row.error) << row.width << "x" << row.height;
    }
}

// Each error code from a file made to cause it.
TEST(PngDecoder, ErrorCodes) {
    const Picture small = pngtest::Pattern(4, 4, 8, 6, 9);
    const Bytes good = pngtest::Encode(small);
    const Bytes rawData = pngtest::RawImageData(small, false);
    const Bytes ihdr = pngtest::Ihdr(4, 4, 8, 6);
    const Bytes idat = pngtest::Chunk("IDAT", pngtest::Zlib(rawData));
    const Bytes iend = pngtest::Chunk("IEND", {});
    auto with = [&](std::vector<Bytes> middle, Bytes header = {}) {
        std::vector<Bytes> chunks = {header.empty() ? pngtest::Ihdr(4, 4, 8, 6) : header};
        chunks.insert(chunks.end(), middle.begin(), middle.end());
        return pngtest::File(chunks);
    };
    auto ihdrByte = [&](std::size_t offset, std::uint8_t value) {
        Bytes file = good;
        file[offset] = value;
        return file;
    };
    auto grey = [](int depth) { return pngtest::Ihdr(4, 4, depth, 0); };
    auto paletteHeader = [] { return pngtest::Ihdr(4, 4, 8, 3); };
    Bytes extra = rawData;
    extra.push_back(0);
    Bytes shortData(rawData.begin(), rawData.end() - 1);
    Bytes badFilter = rawData;
    badFilter[0] = 5;
    const Bytes paletteData = pngtest::Zlib(Bytes(4 * 5, 0));  // every index 0, filter 0
    Bytes paletteBeyond = Bytes(4 * 5, 0);
    paletteBeyond[3] = 2;  // two entries in the palette

    struct Case {
        const char* what;
        Bytes file;
        int error;
    };
    const std::vector<Case> cases = {
        {"no data", {}, kPngNoData},
        {"28 bytes", Bytes(good.begin(), good.begin() + 28), kPngTooShort},
        {"signature", ihdrByte(1, 'p'), kPngBadSignature},
        {"first chunk not IHDR", ihdrByte(12, 'i'), kPngNoHeader},
        {"IHDR of 14 bytes", ihdrByte(11, 14), kPngNoHeader},
        {"compression method", ihdrByte(26, 1), kPngBadCompression},
        {"filter method", ihdrByte(27, 1), kPngBadFilterMethod},
        {"interlace method", ihdrByte(28, 2), kPngBadInterlace},
        {"colour type 5", ihdrByte(25, 5), kPngBadColourType},
        {"colour type 7", ihdrByte(25, 7), kPngBadColourType},
        {"truecolour of 4 bits", ihdrByte(24, 4), kPngBadBitDepth},
        {"grey of 3 bits", with({idat, iend}, grey(3)), kPngBadBitDepth},
        {"palette of 16 bits", with({idat, iend}, pngtest::Ihdr(4, 4, 16, 3)), kPngBadBitDepth},
        {"no IEND", with({idat}), kPngChunkHeaderPastEnd},
        {"chunk longer than the file", Bytes(good.begin(), good.end() - 13), kPngChunkPastEnd},
        {"filter type 5", with({pngtest::Chunk("IDAT", pngtest::Zlib(badFilter)), iend}), kPngBadFilterType},
        {"palette of 257 entries",
         with({pngtest::Chunk("PLTE", Bytes(257 * 3, 1)), pngtest::Chunk("IDAT", paletteData), iend},
              paletteHeader()),
         kPngPaletteTooLarge},
        {"tRNS longer than the palette",
         with({pngtest::Chunk("PLTE", Bytes(6, 1)), pngtest::Chunk("tRNS", {1, 2, 3}),
               pngtest::Chunk("IDAT", paletteData), iend},
              paletteHeader()),
         kPngTransparencyTooLong},
        {"grey key of 3 bytes", with({pngtest::Chunk("tRNS", {0, 1, 2}), idat, iend}, grey(8)), kPngBadGreyKey},
        {"colour key of 4 bytes",
         with({pngtest::Chunk("tRNS", {0, 1, 2, 3}), idat, iend}, pngtest::Ihdr(4, 4, 8, 2)), kPngBadColourKey},
        {"tRNS with alpha", with({pngtest::Chunk("tRNS", {0, 1}), idat, iend}), kPngTransparencyNotAllowed},
        {"unknown critical chunk", with({pngtest::Chunk("ABCD", {1}), idat, iend}), kPngUnknownCriticalChunk},
        {"palette index beyond the palette",
         with({pngtest::Chunk("PLTE", Bytes(6, 1)), pngtest::Chunk("IDAT", pngtest::Zlib(paletteBeyond)), iend},
              paletteHeader()),
         kPngPaletteIndexRange},
        {"palette image without palette", with({pngtest::Chunk("IDAT", paletteData), iend}, paletteHeader()),
         kPngPaletteIndexRange},
        {"no image data", with({iend}), kZlibTooShort},
        {"zlib stream of 1 byte", with({pngtest::Chunk("IDAT", {0x78}), iend}), kZlibTooShort},
        {"zlib header check", with({pngtest::Chunk("IDAT", {0x78, 0x9D, 3, 0}), iend}), kZlibBadHeaderCheck},
        {"zlib method", with({pngtest::Chunk("IDAT", {0x77, 0x85, 3, 0}), iend}), kZlibBadMethod},
        {"zlib dictionary", with({pngtest::Chunk("IDAT", {0x78, 0xBB, 0, 0, 0, 0, 3, 0}), iend}),
         kZlibPresetDictionary},
        {"deflate block type 3", with({pngtest::Chunk("IDAT", {0x78, 0x9C, 0x07}), iend}), kInflateBadBlockType},
        {"deflate data cut short",
         with({pngtest::Chunk("IDAT", Bytes(idat.begin() + 8, idat.begin() + 8 + 10)), iend}), kInflateOutOfData},
        {"more image data than the size needs", with({pngtest::Chunk("IDAT", pngtest::Zlib(extra)), iend}),
         kInflateOutputFull},
        {"less image data than the size needs", with({pngtest::Chunk("IDAT", pngtest::Zlib(shortData)), iend}),
         kPngImageDataShort},
    };
    for (const Case& c : cases) {
        const DecodedPng png = DecodePng(c.file.empty() ? nullptr : c.file.data(), c.file.size());
        EXPECT_EQ(png.error, c.error) << c.what;
        EXPECT_EQ(png.pixels, nullptr) << c.what;
        EXPECT_EQ(png.width, 0u) << c.what;
        EXPECT_EQ(png.height, 0u) << c.what;
    }
    const DecodedPng png = DecodePng(good.data(), good.size());
    EXPECT_EQ(png.error, kPngOk);
    EXPECT_EQ(Pixels(png), Convert(small).bgra);
}

}  // namespace
