#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dds_fixture.h"
#include "engine/image/dds_file.h"
#include "engine/image/dds_writer.h"
#include "engine/image/dxt_codec.h"

namespace {

using namespace engine;
using ddstest::Bytes;

Bytes Decoded(const DdsImage& dds, std::uint32_t face, std::uint32_t level) {
    const DdsSurface& s = dds.Surface(face, level);
    Bytes out(std::size_t{s.width} * s.height * 4);
    EXPECT_TRUE(DecodeDdsSurface(dds, s, out.data(), std::size_t{s.width} * 4));
    return out;
}

// One 2 x 1 level per format: its texels as stored and as decoded (B, G, R, A).
TEST(DdsFile, FormatsAlphaKindsAndColourKey) {
    const Bytes dxt1Block = {0x1F, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};  // magenta, all index 0
    Bytes dxt3Block = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    dxt3Block.insert(dxt3Block.end(), dxt1Block.begin(), dxt1Block.end());
    struct Row {
        const char* what;
        ddstest::PixelFormat format;
        SurfaceFormat expected;
        AlphaKind kind;
        Bytes data;
        Bytes texels;  // the first two decoded texels
    };
    const Row rows[] = {
        {"A8R8G8B8, magenta keyed, half-alpha magenta kept", ddstest::A8R8G8B8(), SurfaceFormat::kA8R8G8B8,
         kAlphaBlended, {0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0x80}, {0, 0, 0, 0, 0xFF, 0x00, 0xFF, 0x80}},
        {"X8R8G8B8 keyed whatever its unused byte", ddstest::X8R8G8B8(), SurfaceFormat::kX8R8G8B8, kAlphaOpaque,
         {0xFF, 0x00, 0xFF, 0x00, 0x10, 0x20, 0x30, 0x00}, {0, 0, 0, 0, 0x10, 0x20, 0x30, 0xFF}},
        {"R5G6B5", ddstest::R5G6B5(), SurfaceFormat::kR5G6B5, kAlphaOpaque, {0x1F, 0xF8, 0x02, 0x31},
         {0, 0, 0, 0, 0x10, 0x20, 0x31, 0xFF}},
        {"A1R5G5B5: opaque magenta keyed, transparent magenta kept", ddstest::A1R5G5B5(), SurfaceFormat::kA1R5G5B5,
         kAlphaKeyed, {0x1F, 0xFC, 0x1F, 0x7C}, {0, 0, 0, 0, 0xFF, 0x00, 0xFF, 0x00}},
        {"A4R4G4B4", ddstest::A4R4G4B4(), SurfaceFormat::kA4R4G4B4, kAlphaBlended, {0x0F, 0xFF, 0x21, 0x43},
         {0, 0, 0, 0, 0x11, 0x22, 0x33, 0x44}},
        {"DXT1 blocks are not keyed", ddstest::FourCc("DXT1"), SurfaceFormat::kDxt1, kAlphaOpaque, dxt1Block,
         {0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF}},
        {"DXT3", ddstest::FourCc("DXT3"), SurfaceFormat::kDxt3, kAlphaBlended, dxt3Block,
         {0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF}},
    };
    for (const Row& row : rows) {
        const Bytes file = ddstest::Join(ddstest::Head(2, 1, row.format), row.data);
        DdsImage dds;
        ASSERT_TRUE(ParseDds(file.data(), file.size(), dds)) << row.what;
        EXPECT_EQ(dds.format, row.expected) << row.what;
        EXPECT_EQ(dds.alphaKind, row.kind) << row.what;
        EXPECT_FALSE(dds.hasTrailer) << row.what;
        EXPECT_EQ(dds.width, 2u);
        EXPECT_EQ(dds.height, 1u);
        EXPECT_EQ(dds.levels, 1u);
        EXPECT_EQ(dds.faces, 1u);
        ASSERT_EQ(dds.surfaces.size(), 1u);
        EXPECT_EQ(dds.surfaces[0].data, file.data() + 128) << row.what;
        EXPECT_EQ(dds.surfaces[0].size, row.data.size()) << row.what;
        EXPECT_EQ(Decoded(dds, 0, 0), row.texels) << row.what;
    }
}

TEST(DdsFile, MipChainsAndCubes) {
    // 8 x 2 DXT1 with four levels: 2 blocks, then 1, 1, 1.
    Bytes chain = ddstest::Head(8, 2, ddstest::FourCc("DXT1"), 4);
    chain.resize(128 + 8 * 5, 0x55);
    DdsImage dds;
    ASSERT_TRUE(ParseDds(chain.data(), chain.size(), dds));
    ASSERT_EQ(dds.levels, 4u);
    const std::uint32_t sizes[4][2] = {{8, 2}, {4, 1}, {2, 1}, {1, 1}};
    std::size_t offset = 128;
    for (std::uint32_t l = 0; l < 4; ++l) {
        EXPECT_EQ(dds.Surface(0, l).width, sizes[l][0]);
        EXPECT_EQ(dds.Surface(0, l).height, sizes[l][1]);
        EXPECT_EQ(dds.Surface(0, l).data, chain.data() + offset);
        offset += dds.Surface(0, l).size;
    }
    EXPECT_EQ(offset, chain.size());
    chain.pop_back();
    EXPECT_FALSE(ParseDds(chain.data(), chain.size(), dds)) << "last level cut short";

    // A cube of 2 x 2 A8R8G8B8 faces with two levels each, face by face.
    Bytes cube = ddstest::Head(2, 2, ddstest::A8R8G8B8(), 2, 0xFE00);
    for (int face = 0; face < 6; ++face) {
        for (int i = 0; i < 5; ++i) cube.insert(cube.end(), {std::uint8_t(face), 0, std::uint8_t(i), 255});
    }
    ASSERT_TRUE(ParseDds(cube.data(), cube.size(), dds));
    EXPECT_TRUE(dds.cube);
    EXPECT_EQ(dds.faces, 6u);
    for (std::uint32_t face = 0; face < 6; ++face) {
        EXPECT_EQ(dds.Surface(face, 0).data[0], face);
        EXPECT_EQ(dds.Surface(face, 1).data[2], 4);
        EXPECT_EQ(dds.Surface(face, 1).width, 1u);
    }
}

TEST(DdsFile, TrailerGivesTheAlphaKindAndIsNotData) {
    const Bytes data(16 * 4, 0x40);
    for (std::uint32_t kind : {0u, 1u, 2u}) {
        const Bytes file = ddstest::Join(ddstest::Join(ddstest::Head(4, 4, ddstest::A8R8G8B8()), data),
                                         ddstest::Trailer(kind));
        DdsImage dds;
        ASSERT_TRUE(ParseDds(file.data(), file.size(), dds));
        EXPECT_TRUE(dds.hasTrailer);
        EXPECT_EQ(dds.alphaKind, static_cast<AlphaKind>(kind));  // beats the format's kind 2
    }
    // The surfaces may not reach into the trailer.
    const Bytes cut = ddstest::Join(ddstest::Join(ddstest::Head(4, 4, ddstest::A8R8G8B8()), Bytes(60, 1)),
                                    ddstest::Trailer(1));
    DdsImage dds;
    EXPECT_FALSE(ParseDds(cut.data(), cut.size(), dds));
    for (std::uint32_t kind : {3u, 0xFFFFFFFFu}) {
        const Bytes bad = ddstest::Join(ddstest::Join(ddstest::Head(4, 4, ddstest::A8R8G8B8()), data),
                                        ddstest::Trailer(kind));
        EXPECT_FALSE(ParseDds(bad.data(), bad.size(), dds)) << kind;
        EXPECT_TRUE(dds.surfaces.empty());
    }
}

TEST(DdsFile, RefusedFiles) {
    auto file = [](std::uint32_t w, std::uint32_t h, const ddstest::PixelFormat& f, std::uint32_t mips = 0,
                   std::uint32_t caps2 = 0) {
        Bytes b = ddstest::Head(w, h, f, mips, caps2);
        b.resize(b.size() + 4096, 0);
        return b;
    };
    struct Case {
        const char* what;
        Bytes bytes;
    };
    std::vector<Case> cases = {
        {"DXT5", file(4, 4, ddstest::FourCc("DXT5"))},
        {"luminance", file(4, 4, {0x20000, 0, 8, 0xFF, 0, 0, 0})},
        {"X1R5G5B5", file(4, 4, {0x40, 0, 16, 0x7C00, 0x3E0, 0x1F, 0})},
        {"R8G8B8", file(4, 4, {0x40, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0})},
        {"A8B8G8R8", file(4, 4, {0x41, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u})},
        {"width 0", file(0, 4, ddstest::A8R8G8B8())},
        {"height 0", file(4, 0, ddstest::A8R8G8B8())},
        {"width above 16384", file(16385, 1, ddstest::FourCc("DXT1"))},
        {"more levels than the chain has", file(4, 4, ddstest::A8R8G8B8(), 4)},
        {"a cube with five faces", file(4, 4, ddstest::A8R8G8B8(), 0, 0xFA00)},
        {"a cube that is not square", file(4, 2, ddstest::A8R8G8B8(), 0, 0xFE00)},
        {"a volume", file(4, 4, ddstest::A8R8G8B8(), 0, 0x200000)},
        {"too short for its data", Bytes(ddstest::Head(64, 64, ddstest::A8R8G8B8()))},
        {"only a head", Bytes(127, 0)},
    };
    Bytes magic = file(4, 4, ddstest::A8R8G8B8());
    magic[3] = 'X';
    cases.push_back({"magic", magic});
    Bytes headerSize = file(4, 4, ddstest::A8R8G8B8());
    ddstest::Put32(headerSize, 4, 128);
    cases.push_back({"header size", headerSize});
    Bytes formatSize = file(4, 4, ddstest::A8R8G8B8());
    ddstest::Put32(formatSize, 76, 24);
    cases.push_back({"pixel-format size", formatSize});
    for (const Case& c : cases) {
        DdsImage dds;
        EXPECT_FALSE(ParseDds(c.bytes.data(), c.bytes.size(), dds)) << c.what;
        EXPECT_TRUE(dds.surfaces.empty()) << c.what;
        EXPECT_EQ(dds.width, 0u) << c.what;
    }
}

TEST(DdsWriter, WritesWhatTheReaderReads) {
    // Two levels of a 4 x 2 A8R8G8B8 picture, and a DXT3 cube of 4 x 4 faces, through the writer and back.
    Bytes level0(4 * 2 * 4), level1(2 * 1 * 4);
    for (std::size_t i = 0; i < level0.size(); ++i) level0[i] = static_cast<std::uint8_t>(i * 7);
    for (std::size_t i = 0; i < level1.size(); ++i) level1[i] = static_cast<std::uint8_t>(i * 3 + 1);
    const ConstSurfaceView views[] = {PackedSurface(SurfaceFormat::kA8R8G8B8, 4, 2, level0.data()),
                                      PackedSurface(SurfaceFormat::kA8R8G8B8, 2, 1, level1.data())};
    Bytes file = EncodeDds(SurfaceFormat::kA8R8G8B8, 4, 2, 2, false, views);
    ASSERT_EQ(file.size(), 128 + level0.size() + level1.size());
    // The head agrees with the hand-built one in every field the reader uses.
    const Bytes expected = ddstest::Head(4, 2, ddstest::A8R8G8B8(), 2);
    for (std::size_t at : {0, 4, 12, 16, 28, 76, 80, 84, 88, 92, 96, 100, 104, 112}) {
        EXPECT_EQ(ddstest::Get32(file, at), ddstest::Get32(expected, at)) << at;
    }
    DdsImage dds;
    ASSERT_TRUE(ParseDds(file.data(), file.size(), dds));
    EXPECT_EQ(Bytes(dds.Surface(0, 0).data, dds.Surface(0, 0).data + level0.size()), level0);
    EXPECT_EQ(Bytes(dds.Surface(0, 1).data, dds.Surface(0, 1).data + level1.size()), level1);

    std::vector<Bytes> faces;
    std::vector<ConstSurfaceView> faceViews;
    for (int f = 0; f < 6; ++f) faces.push_back(Bytes(16, static_cast<std::uint8_t>(0x11 * f)));
    for (const Bytes& f : faces) faceViews.push_back(PackedSurface(SurfaceFormat::kDxt3, 4, 4, f.data()));
    file = EncodeDds(SurfaceFormat::kDxt3, 4, 4, 1, true, faceViews);
    AppendDdsTrailer(file, kAlphaKeyed);
    ASSERT_TRUE(ParseDds(file.data(), file.size(), dds));
    EXPECT_TRUE(dds.cube);
    EXPECT_TRUE(dds.hasTrailer);
    EXPECT_EQ(dds.alphaKind, kAlphaKeyed);
    for (std::uint32_t f = 0; f < 6; ++f) {
        EXPECT_EQ(Bytes(dds.Surface(f, 0).data, dds.Surface(f, 0).data + 16), faces[f]);
    }

    // Views that do not match the file are refused.
    EXPECT_TRUE(EncodeDds(SurfaceFormat::kA8R8G8B8, 4, 2, 1, false, views).empty()) << "two views, one level";
    EXPECT_TRUE(EncodeDds(SurfaceFormat::kX8R8G8B8, 4, 2, 2, false, views).empty()) << "format differs";
    EXPECT_TRUE(EncodeDds(SurfaceFormat::kA8R8G8B8, 4, 2, 3, false, views).empty());
    EXPECT_TRUE(EncodeDds(SurfaceFormat::kA8R8G8B8, 4, 2, 2, true, views).empty());
}

}  // namespace
