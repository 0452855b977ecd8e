#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "engine/image/dxt_codec.h"
#include "engine/image/surface_copy.h"

namespace {

using namespace engine;
using Bytes = std::vector<std::uint8_t>;

Bytes Texel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) { return {b, g, r, a}; }

Bytes DecodeBlock(SurfaceFormat format, const Bytes& block) {
    Bytes texels(64);
    if (format == SurfaceFormat::kDxt1) {
        DecodeDxt1Block(block.data(), texels.data());
    } else {
        DecodeDxt3Block(block.data(), texels.data());
    }
    return texels;
}

Bytes At(const Bytes& texels, int i) { return Bytes(texels.begin() + i * 4, texels.begin() + i * 4 + 4); }

TEST(DxtCodec, DecodesFourColourAndThreeColourBlocks) {
    // Red over blue, indices 0, 1, 2, 3 repeated.
    const Bytes fourColour = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};
    const Bytes t = DecodeBlock(SurfaceFormat::kDxt1, fourColour);
    EXPECT_EQ(At(t, 0), Texel(255, 0, 0, 255));
    EXPECT_EQ(At(t, 1), Texel(0, 0, 255, 255));
    EXPECT_EQ(At(t, 2), Texel(170, 0, 85, 255));
    EXPECT_EQ(At(t, 3), Texel(85, 0, 170, 255));
    EXPECT_EQ(At(t, 15), Texel(85, 0, 170, 255));

    // colour0 <= colour1: the midpoint and transparent black.
    const Bytes threeColour = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4};
    const Bytes u = DecodeBlock(SurfaceFormat::kDxt1, threeColour);
    EXPECT_EQ(At(u, 0), Texel(0, 0, 255, 255));
    EXPECT_EQ(At(u, 1), Texel(255, 0, 0, 255));
    EXPECT_EQ(At(u, 2), Texel(127, 0, 127, 255));
    EXPECT_EQ(At(u, 3), Texel(0, 0, 0, 0));
}

TEST(DxtCodec, Dxt3UsesExplicitAlphaAndAlwaysFourColours) {
    Bytes block = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};  // alphas 0, 1, ..., 15
    block.insert(block.end(), {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4});  // colour0 < colour1
    const Bytes t = DecodeBlock(SurfaceFormat::kDxt3, block);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(t[i * 4 + 3], i * 17) << i;
    EXPECT_EQ(At(t, 2), Texel(85, 0, 170, 34));  // (2 c0 + c1) / 3, not the midpoint
    EXPECT_EQ(At(t, 3), Texel(170, 0, 85, 51));
}

// Smooth texture art: width x height texels of B, G, R, A changing a few steps per texel.
Bytes Gradient(std::uint32_t w, std::uint32_t h) {
    Bytes out;
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            out.insert(out.end(), {static_cast<std::uint8_t>(20 + x * 5), static_cast<std::uint8_t>(200 - y * 4),
                                   static_cast<std::uint8_t>(90 + x + y), static_cast<std::uint8_t>(x * 16 + y)});
        }
    }
    return out;
}

Bytes RoundTrip(SurfaceFormat format, const Bytes& pixels, std::uint32_t w, std::uint32_t h) {
    const std::size_t blockPitch = ((w + 3) / 4) * (format == SurfaceFormat::kDxt1 ? 8 : 16);
    Bytes blocks(blockPitch * ((h + 3) / 4));
    EXPECT_TRUE(EncodeDxtBlocks(format, pixels.data(), w * 4, w, h, blocks.data(), blockPitch));
    Bytes out(pixels.size());
    EXPECT_TRUE(DecodeDxtBlocks(format, blocks.data(), blockPitch, w, h, out.data(), w * 4));
    return out;
}

int MaxDifference(const Bytes& a, const Bytes& b, bool alpha) {
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!alpha && i % 4 == 3) continue;
        worst = std::max(worst, std::abs(a[i] - b[i]));
    }
    return worst;
}

TEST(DxtCodec, EncodedBlocksDecodeCloseToTheSource) {
    const std::uint32_t sizes[][2] = {{4, 4}, {16, 8}, {5, 3}, {1, 1}, {13, 17}};
    for (const auto& s : sizes) {
        const Bytes source = Gradient(s[0], s[1]);
        const Bytes dxt1 = RoundTrip(SurfaceFormat::kDxt1, source, s[0], s[1]);
        EXPECT_LE(MaxDifference(source, dxt1, false), 12) << s[0] << "x" << s[1];
        for (std::size_t i = 3; i < dxt1.size(); i += 4) ASSERT_EQ(dxt1[i], 255);  // DXT1 is written opaque
        const Bytes dxt3 = RoundTrip(SurfaceFormat::kDxt3, source, s[0], s[1]);
        EXPECT_LE(MaxDifference(source, dxt3, false), 12) << s[0] << "x" << s[1];
        for (std::size_t i = 3; i < dxt3.size(); i += 4) EXPECT_LE(std::abs(dxt3[i] - source[i]), 8);
    }
}

TEST(DxtCodec, ExactColoursSurviveExactly) {
    // Colours that 5:6:5 holds exactly, two to a block, and a solid block.
    Bytes pixels;
    for (int i = 0; i < 16; ++i) {
        const Bytes t = i % 3 == 0 ? Texel(255, 0, 255, 255) : Texel(0, 130, 66, 255);
        pixels.insert(pixels.end(), t.begin(), t.end());
    }
    EXPECT_EQ(RoundTrip(SurfaceFormat::kDxt1, pixels, 4, 4), pixels);
    Bytes solid;
    for (int i = 0; i < 16; ++i) solid.insert(solid.end(), {33, 65, 132, 255});
    EXPECT_EQ(RoundTrip(SurfaceFormat::kDxt1, solid, 4, 4), solid);
    EXPECT_EQ(RoundTrip(SurfaceFormat::kDxt3, solid, 4, 4), solid);
}

TEST(DxtCodec, RandomBlocksStayOpaqueAndOrdered) {
    std::mt19937 random(4);
    for (int n = 0; n < 500; ++n) {
        Bytes texels(64);
        for (auto& b : texels) b = static_cast<std::uint8_t>(random());
        std::uint8_t block[8];
        EncodeDxt1Block(texels.data(), block);
        const unsigned c0 = block[0] | (block[1] << 8), c1 = block[2] | (block[3] << 8);
        ASSERT_TRUE(c0 > c1 || (c0 == c1 && block[4] == 0 && block[5] == 0 && block[6] == 0 && block[7] == 0));
    }
}

TEST(DxtCodec, RefusesOtherFormatsAndEmptyLevels) {
    Bytes blocks(16), pixels(64);
    EXPECT_FALSE(DecodeDxtBlocks(SurfaceFormat::kA8R8G8B8, blocks.data(), 16, 4, 4, pixels.data(), 16));
    EXPECT_FALSE(DecodeDxtBlocks(SurfaceFormat::kDxt1, blocks.data(), 16, 0, 4, pixels.data(), 16));
    EXPECT_FALSE(EncodeDxtBlocks(SurfaceFormat::kR5G6B5, pixels.data(), 16, 4, 4, blocks.data(), 16));
}

TEST(SurfaceCopy, ConvertsBetweenFormats) {
    const Bytes source = {0x11, 0x22, 0x33, 0x44, 0xFF, 0x00, 0xFF, 0xFF};  // two texels
    const ConstSurfaceView view = PackedSurface(SurfaceFormat::kA8R8G8B8, 2, 1, source.data());
    struct Row {
        SurfaceFormat format;
        Bytes packed;
        Bytes back;
    };
    const Row rows[] = {
        {SurfaceFormat::kA8R8G8B8, source, source},
        {SurfaceFormat::kX8R8G8B8, {0x11, 0x22, 0x33, 0xFF, 0xFF, 0x00, 0xFF, 0xFF},
         {0x11, 0x22, 0x33, 0xFF, 0xFF, 0x00, 0xFF, 0xFF}},
        {SurfaceFormat::kR5G6B5, {0x02, 0x31, 0x1F, 0xF8}, {0x10, 0x20, 0x31, 0xFF, 0xFF, 0x00, 0xFF, 0xFF}},
        {SurfaceFormat::kA1R5G5B5, {0x82, 0x18, 0x1F, 0xFC}, {0x10, 0x21, 0x31, 0x00, 0xFF, 0x00, 0xFF, 0xFF}},
        {SurfaceFormat::kA4R4G4B4, {0x21, 0x43, 0x0F, 0xFF}, {0x11, 0x22, 0x33, 0x44, 0xFF, 0x00, 0xFF, 0xFF}},
    };
    for (const Row& row : rows) {
        Bytes packed(row.packed.size());
        const SurfaceView out{row.format, 2, 1, packed.size(), packed.data()};
        ASSERT_TRUE(CopySurface(view, out)) << static_cast<int>(row.format);
        EXPECT_EQ(packed, row.packed) << static_cast<int>(row.format);
        Bytes back(8);
        ASSERT_TRUE(CopySurface(out, SurfaceView{SurfaceFormat::kA8R8G8B8, 2, 1, 8, back.data()}));
        EXPECT_EQ(back, row.back) << static_cast<int>(row.format);
    }
}

TEST(SurfaceCopy, DxtLevelsAndRefusals) {
    const Bytes pixels = Gradient(8, 8);
    Bytes blocks(4 * 16);
    const SurfaceView dxt3{SurfaceFormat::kDxt3, 8, 8, 32, blocks.data()};
    ASSERT_TRUE(CopySurface(PackedSurface(SurfaceFormat::kA8R8G8B8, 8, 8, pixels.data()), dxt3));
    Bytes decoded(pixels.size()), copied(pixels.size());
    ASSERT_TRUE(DecodeDxtBlocks(SurfaceFormat::kDxt3, blocks.data(), 32, 8, 8, decoded.data(), 32));
    ASSERT_TRUE(CopySurface(dxt3, SurfaceView{SurfaceFormat::kA8R8G8B8, 8, 8, 32, copied.data()}));
    EXPECT_EQ(copied, decoded);

    Bytes small(4 * 4 * 4);
    EXPECT_FALSE(CopySurface(dxt3, SurfaceView{SurfaceFormat::kA8R8G8B8, 4, 4, 16, small.data()}));
    EXPECT_FALSE(CopySurface(dxt3, SurfaceView{SurfaceFormat::kUnknown, 8, 8, 32, copied.data()}));
}

}  // namespace
