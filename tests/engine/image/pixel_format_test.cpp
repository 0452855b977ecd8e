#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/core/colour.h"
#include "engine/image/colour_gradient.h"
#include "engine/image/pixel_format.h"

namespace {

using namespace engine;

TEST(PixelFormat, BytesPerPixel) {
    const int expected[] = {0, 4, 2, 2, 0, 0, 2, 4, 2, 1, 0, 0};
    for (int code = -1; code <= 10; ++code) EXPECT_EQ(BytesPerPixel(code), expected[code + 1]) << code;
}

TEST(PixelFormat, ReadPixelTable) {
    struct Row {
        const char* what;
        int code;
        std::uint8_t bytes[4];
        PixelArgb argb;
    };
    const Row rows[] = {
        {"8888 reads B, G, R, A", kPixelFormat8888, {1, 2, 3, 4}, {4, 3, 2, 1}},
        {"1555 key 0x7C1F is transparent black", kPixelFormat1555, {0x1F, 0x7C}, {0, 0, 0, 0}},
        {"1555 0xFC1F is opaque magenta", kPixelFormat1555, {0x1F, 0xFC}, {255, 255, 0, 255}},
        {"1555 0x7C1E keeps its colour, alpha 0", kPixelFormat1555, {0x1E, 0x7C}, {0, 255, 0, 0xF7}},
        {"1555 channels widen as (c << 3) | (c >> 2)", kPixelFormat1555, {0x41, 0x88}, {255, 0x10, 0x10, 0x08}},
        {"4444 key 0x0F0F is transparent black", kPixelFormat4444, {0x0F, 0x0F}, {0, 0, 0, 0}},
        {"4444 channels times 17", kPixelFormat4444, {0xA3, 0xF8}, {255, 136, 170, 51}},
        {"4444 0x1F0F is not the key", kPixelFormat4444, {0x0F, 0x1F}, {17, 255, 0, 255}},
        {"DXT1 reads nothing", kPixelFormatDxt1, {9, 9, 9, 9}, {0, 0, 0, 0}},
        {"8-bit reads nothing", kPixelFormat8, {9, 9, 9, 9}, {0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        const PixelArgb p = ReadPixel(row.bytes, row.code);
        EXPECT_EQ(p.a, row.argb.a) << row.what;
        EXPECT_EQ(p.r, row.argb.r) << row.what;
        EXPECT_EQ(p.g, row.argb.g) << row.what;
        EXPECT_EQ(p.b, row.argb.b) << row.what;
    }
}

TEST(PixelFormat, WritePixelTable) {
    struct Row {
        int code;
        PixelArgb argb;
        std::uint8_t bytes[4];
    };
    const Row rows[] = {
        {kPixelFormat8888, {4, 3, 2, 1}, {1, 2, 3, 4}},
        {kPixelFormat1555, {255, 255, 0, 255}, {0x1F, 0xFC, 0xEE, 0xEE}},
        {kPixelFormat1555, {127, 8, 16, 7}, {0x40, 0x04, 0xEE, 0xEE}},
        {kPixelFormat4444, {255, 136, 170, 51}, {0xA3, 0xF8, 0xEE, 0xEE}},
        {kPixelFormat4444, {15, 31, 47, 63}, {0x23, 0x01, 0xEE, 0xEE}},
        {kPixelFormatDxt3, {1, 2, 3, 4}, {0xEE, 0xEE, 0xEE, 0xEE}},
    };
    for (const Row& row : rows) {
        std::uint8_t out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        WritePixel(row.argb.a, row.argb.r, row.argb.g, row.argb.b, out, row.code);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], row.bytes[i]) << row.code << " byte " << i;
    }
}

TEST(PixelFormat, CopyPixelRowsHonoursBothPitches) {
    std::uint8_t source[3 * 12];
    for (int i = 0; i < 36; ++i) source[i] = static_cast<std::uint8_t>(i);
    std::uint8_t dest[3 * 10] = {};
    CopyPixelRows(source + 4, 2, dest, 10, 12, 3);
    for (int y = 0; y < 3; ++y) {
        for (int i = 0; i < 8; ++i) EXPECT_EQ(dest[y * 10 + i], source[y * 12 + 4 + i]);
        EXPECT_EQ(dest[y * 10 + 8], 0);
    }
}

TEST(Colour, FloatToArgbClampsEachChannel) {
    ColourF c;
    c.Set(1.5f, -0.2f, 0.5f, 1.0f);
    EXPECT_EQ(ColourFToArgb(c), 0xFFFF007Fu);
    EXPECT_EQ(c.ToArgb(), 0xFFFF007Fu);
    c.Set(std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f, 0.0f);
    EXPECT_EQ(c.ToArgb(), 0x0000FF00u);
    c.Set(0.2f, 0.4f, 0.6f, 0.8f);
    EXPECT_EQ(c.ToArgb(), MakeArgbF(0.2f, 0.4f, 0.6f, 0.8f));  // in range: as the truncating pack
}

TEST(Colour, ArgbToFloat) {
    const ColourF c = ArgbToColourF(0x80FF3300u);
    EXPECT_FLOAT_EQ(c.a, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 51.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 0.0f);
    EXPECT_EQ(ColourFToArgb(c), 0x80FF3300u);
}

TEST(Colour, ScaleColourRgb) {
    EXPECT_EQ(ScaleColourRgb(0x80C8C8C8u, 512), 0x80FFFFFFu);
    EXPECT_EQ(ScaleColourRgb(0x80C8C8C8u, 0), 0x80000000u);
    EXPECT_EQ(ScaleColourRgb(0x12345678u, 256), 0x12345678u);
    EXPECT_EQ(ScaleColourRgb(0xFF804020u, 128), 0xFF402010u);
    EXPECT_EQ(ScaleColourRgb(0xFF804020u, -300), 0xFF000000u);
    EXPECT_EQ(ScaleColourRgb(0xFF010101u, std::numeric_limits<int>::max()), 0xFFFFFFFFu);
}

TEST(ColourGradient, Sampling) {
    ColourGradient g(4);
    EXPECT_EQ(g.Sample(0.5f), 0u);  // no keys
    ASSERT_TRUE(g.AddKey(0x00204060u));
    EXPECT_EQ(g.Sample(0.7f), 0x00204060u);  // one key
    ASSERT_TRUE(g.AddKey(0xFF6080A0u));
    EXPECT_EQ(g.Sample(0.5f), 0x7F406080u);  // each channel's mean (alpha 127.5 truncated)
    EXPECT_EQ(g.Sample(1.0f), 0xFF6080A0u);
    EXPECT_EQ(g.Sample(0.0f), 0x00204060u);
    EXPECT_EQ(g.Sample(-3.0f), 0x00204060u);  // clamped
    EXPECT_EQ(g.Sample(7.0f), 0xFF6080A0u);
    EXPECT_EQ(g.Sample(std::nanf("")), 0x00204060u);
    ASSERT_TRUE(g.AddKey(0xFF000000u));
    EXPECT_EQ(g.Sample(0.75f), 0xFF304050u);  // halfway between the second and third keys
    EXPECT_EQ(g.Sample(1.0f), 0xFF000000u);
    EXPECT_EQ(g.GetKey(1), 0xFF6080A0u);
}

TEST(ColourGradient, CapacityIsFixed) {
    ColourGradient g(2);
    EXPECT_TRUE(g.AddKey(1));
    EXPECT_TRUE(g.AddKey(2));
    EXPECT_FALSE(g.AddKey(3));
    EXPECT_EQ(g.KeyCount(), 2u);
    EXPECT_EQ(g.GetKey(2), 0u);
    g.Clear();
    EXPECT_EQ(g.KeyCount(), 0u);
    EXPECT_TRUE(g.AddKey(3));
    ColourGradient none(0);
    EXPECT_FALSE(none.AddKey(1));
    EXPECT_EQ(none.Sample(0.5f), 0u);
}

}  // namespace
