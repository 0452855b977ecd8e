#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/image/image.h"
#include "engine/image/tga_image.h"
#include "tga_fixture.h"

namespace {

using namespace engine;
using tgatest::Bytes;

struct Loaded {
    int result = 0;
    std::uint32_t width = 0, height = 0;
    AlphaKind kind = -1;
    Bytes pixels;
};

Loaded Load(const Bytes& file) {
    Image image;
    Loaded out;
    out.result = image.DecodeTgaFile(file.data(), file.size());
    out.width = image.Width();
    out.height = image.Height();
    out.kind = image.GetAlphaKind();
    if (image.Pixels() != nullptr) out.pixels.assign(image.Pixels(), image.Pixels() + image.Pitch() * image.Height());
    return out;
}

TEST(TgaImage, ThirtyTwoBitsAsStoredWithAlphaKinds) {
    struct Row {
        Bytes data;
        AlphaKind kind;
    };
    const Row rows[] = {{{1, 2, 3, 255, 4, 5, 6, 255}, kAlphaOpaque},
                        {{1, 2, 3, 255, 4, 5, 6, 0}, kAlphaKeyed},
                        {{1, 2, 3, 0, 4, 5, 6, 128}, kAlphaBlended}};
    for (const Row& row : rows) {
        const Loaded l = Load(tgatest::TrueColour(2, 1, 32, row.data));
        ASSERT_EQ(l.result, 1);
        EXPECT_EQ(l.pixels, row.data);
        EXPECT_EQ(l.kind, row.kind);
    }
}

TEST(TgaImage, BottomUpRowsComeOutTopFirst) {
    const Bytes rows = {1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255};  // bottom row first in the file
    const Loaded l = Load(tgatest::TrueColour(1, 3, 32, rows, false));
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.pixels, (Bytes{3, 3, 3, 255, 2, 2, 2, 255, 1, 1, 1, 255}));
}

TEST(TgaImage, OriginsShrinkThePicture) {
    tgatest::Header h;
    h.width = 5;
    h.height = 4;
    h.xOrigin = 2;
    h.yOrigin = 3;
    h.bits = 24;
    const Bytes data = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    const Loaded l = Load(tgatest::File(h, {}, data));
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.width, 3u);
    EXPECT_EQ(l.height, 1u);
    EXPECT_EQ(l.pixels, (Bytes{10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255}));
}

TEST(TgaImage, MagentaOf24BitsIsTransparent) {
    // B, G, R = (253, 2, 255) is near enough magenta; (251, 2, 255) and (253, 4, 255) are not.
    const Loaded keyed = Load(tgatest::TrueColour(3, 1, 24, {253, 2, 255, 251, 2, 255, 253, 4, 255}));
    ASSERT_EQ(keyed.result, 1);
    EXPECT_EQ(keyed.pixels, (Bytes{0, 0, 0, 0, 251, 2, 255, 255, 253, 4, 255, 255}));
    EXPECT_EQ(keyed.kind, kAlphaKeyed);
    const Loaded plain = Load(tgatest::TrueColour(1, 1, 24, {251, 2, 255}));
    EXPECT_EQ(plain.kind, kAlphaOpaque);
}

TEST(TgaImage, ColourMappedIndexZeroIsTransparent) {
    tgatest::Header h = tgatest::Mapped(1, 3, 1);
    h.idLength = 5;
    const Loaded l = Load(tgatest::File(h, tgatest::Palette(), {0, 1, 200}));
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.pixels, (Bytes{0, 255, 0, 0, 1, 254, 0, 255, 200, 55, 100, 255}));
    EXPECT_EQ(l.kind, kAlphaKeyed);
    EXPECT_EQ(Load(tgatest::File(h, tgatest::Palette(), {5, 1, 200})).kind, kAlphaOpaque);
}

TEST(TgaImage, RunLengthPacketsAcrossRowEnds) {
    tgatest::Header h;
    h.type = 10;
    h.width = 3;
    h.height = 2;
    h.bits = 24;
    // A run of 4 crosses the end of the first row, then two raw pixels.
    const Bytes data = {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9};
    const Loaded l = Load(tgatest::File(h, {}, data));
    ASSERT_EQ(l.result, 1);
    EXPECT_EQ(l.pixels, (Bytes{1, 2, 3, 255, 1, 2, 3, 255, 1, 2, 3, 255, 1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255}));

    tgatest::Header m = tgatest::Mapped(9, 4, 1);
    const Loaded mapped = Load(tgatest::File(m, tgatest::Palette(), {0x81, 7, 0x01, 0, 9}));
    ASSERT_EQ(mapped.result, 1);
    EXPECT_EQ(mapped.pixels, (Bytes{7, 248, 3, 255, 7, 248, 3, 255, 0, 255, 0, 0, 9, 246, 4, 255}));
}

TEST(TgaImage, RefusedFiles) {
    auto header = [] {
        tgatest::Header h;
        h.width = 2;
        h.height = 2;
        return h;
    };
    const Bytes pixels(16, 7);
    struct Case {
        const char* what;
        Bytes file;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, tgatest::Header h, const Bytes& palette, const Bytes& data) {
        cases.push_back({what, tgatest::File(h, palette, data)});
    };
    {
        tgatest::Header h = header();
        h.type = 10;
        h.bits = 24;
        add("a run past the picture", h, {}, {0x84, 1, 2, 3});
        add("raw pixels past the picture", h, {}, {0x04, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3});
        add("a packet past the file", h, {}, {0x03, 1, 2, 3, 1, 2});
        add("a run whose pixel is cut off", h, {}, {0x83, 1, 2});
        add("packets ending early", h, {}, {0x81, 1, 2, 3});
        h.width = 16384;
        h.height = 4096;
        h.bits = 32;
        add("more pixels than its packets could make", h, {}, Bytes(5 * 1000, 0xFF));
    }
    {
        tgatest::Header h = tgatest::Mapped(9, 2, 2);
        add("type 9 with its palette cut short", h, Bytes(700, 1), {});
        h.mapLength = 255;
        add("colour map of 255 entries", h, tgatest::Palette(), {0x83, 0});
        h = tgatest::Mapped(1, 2, 2);
        h.mapOrigin = 1;
        add("colour map starting at 1", h, tgatest::Palette(), {0, 0, 0, 0});
        h = tgatest::Mapped(1, 2, 2);
        h.mapEntryBits = 32;
        add("colour map of 32-bit entries", h, tgatest::Palette(), {0, 0, 0, 0});
        h = tgatest::Mapped(1, 2, 2);
        add("type 1 data cut short", h, tgatest::Palette(), {0, 0, 0});
        h.mapType = 0;
        add("type 1 without colour map", h, {}, {0, 0, 0, 0});
    }
    for (std::uint8_t type : {0, 3, 11, 12, 200}) {
        tgatest::Header h = header();
        h.type = type;
        add("other image types", h, {}, pixels);
    }
    {
        tgatest::Header h = header();
        h.mapType = 2;
        add("colour-map type 2", h, {}, pixels);
        h = header();
        h.mapType = 1;
        h.mapLength = 256;
        h.mapEntryBits = 24;
        add("type 2 with a colour map", h, tgatest::Palette(), pixels);
        h = header();
        add("type 2 data cut short", h, {}, Bytes(15, 7));
        h.xOrigin = 2;
        add("no width left after the origin", h, {}, pixels);
        h = header();
        h.yOrigin = 3;
        add("origin beyond the height", h, {}, pixels);
        h = header();
        h.width = 20000;
        h.height = 1;
        add("wider than 16384", h, {}, Bytes(80000, 1));
        h = header();
        h.bits = 16;
        add("16 bits per pixel", h, {}, Bytes(8, 1));
        h.bits = 4;
        add("4 bits per pixel", h, {}, Bytes(8, 1));
    }
    cases.push_back({"shorter than a header", Bytes(17, 0)});
    for (const Case& c : cases) {
        Image image;
        ASSERT_TRUE(image.Create(3, 3, WideString("before")));
        image.Pixels()[0] = 42;
        EXPECT_EQ(image.DecodeTgaFile(c.file.data(), c.file.size()), 0) << c.what;
        // A refused file leaves the image as it was.
        EXPECT_EQ(image.Width(), 3u) << c.what;
        EXPECT_EQ(image.Pixels()[0], 42) << c.what;
    }
}

TEST(TgaImage, WorkingRecord) {
    TgaImage tga;
    const Bytes file = tgatest::TrueColour(2, 1, 16, {1, 2, 3, 4}, false);
    ASSERT_EQ(tga.Load(file.data(), file.size()), 1);  // the record takes 16 bits; the image does not
    EXPECT_EQ(tga.Width(), 2u);
    EXPECT_EQ(tga.BitsPerPixel(), 16);
    EXPECT_EQ(tga.DataSize(), 4u);
    EXPECT_EQ(tga.ImageType(), 2);
    EXPECT_EQ(tga.Load(file.data(), 17), 0);
    EXPECT_EQ(tga.Pixels(), nullptr);
}

}  // namespace
