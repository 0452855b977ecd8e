#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data_folder_fixture.h"
#include "engine/platform/loose_file_resolver.h"
#include "engine/image/image.h"
#include "png_fixture.h"
#include "tga_fixture.h"

namespace {

using namespace engine;
using Bytes = std::vector<std::uint8_t>;

// A 1 x 1 PNG or TGA whose one pixel carries a mark in its blue byte.
Bytes PngMarked(std::uint8_t mark) {
    pngtest::Picture p;
    p.width = p.height = 1;
    p.colourType = 6;
    p.samples = {10, 20, mark, 255};
    return pngtest::Encode(p);
}
Bytes TgaMarked(std::uint8_t mark) { return tgatest::TrueColour(1, 1, 32, {mark, 20, 10, 255}); }

class ImageLoad : public rendertest::DataFolderTest {
protected:
    // The mark of the pixel loaded, 0 when nothing loaded.
    int LoadMark(const char* name) {
        Image image;
        if (image.Load(name) != 1) {
            EXPECT_EQ(image.Pixels(), nullptr) << name;
            EXPECT_EQ(image.Width(), 0u) << name;
            return 0;
        }
        EXPECT_TRUE(image.Name().EqualsNarrow(name));
        EXPECT_EQ(image.Width(), 1u) << name;
        return image.Pixels()[0];
    }
};

TEST_F(ImageLoad, OrderOverEveryMixOfFiles) {
    // PNG of the name, its TGA, then both under "Common/": the first present wins.
    struct File {
        const char* path;
        bool png;
        std::uint8_t mark;
    };
    const File files[] = {{"Units/Tank.png", true, 1},
                          {"Units/Tank.TGA", false, 2},
                          {"Common/Units/Tank.png", true, 3},
                          {"Common/Units/Tank.TGA", false, 4}};
    for (unsigned mask = 0; mask < 16; ++mask) {
        std::filesystem::remove_all(DataPath());
        ForgetLooseFileNames();
        int expected = 0;
        for (int i = 0; i < 4; ++i) {
            if ((mask & (1u << i)) == 0) continue;
            Put(files[i].path, files[i].png ? PngMarked(files[i].mark) : TgaMarked(files[i].mark));
            if (expected == 0) expected = files[i].mark;
        }
        EXPECT_EQ(LoadMark("Units/Tank"), expected) << "files " << mask;
    }
}

TEST_F(ImageLoad, ExtensionIsReplacedAndCaseIgnored) {
    Put("units/tank.PNG", PngMarked(7));
    EXPECT_EQ(LoadMark("Units/Tank.dds"), 7);
    EXPECT_EQ(LoadMark("UNITS/TANK"), 7);
    Put("Common/Flag.tga", TgaMarked(8));
    EXPECT_EQ(LoadMark("Flag.bmp"), 8);
}

TEST_F(ImageLoad, BrokenPngLeavesNoSizeWithoutPixels) {
    Bytes broken = PngMarked(1);
    broken.resize(broken.size() - 20);
    Put("Hull.png", broken);

    Image image;
    ASSERT_TRUE(image.Create(4, 4, WideString("old")));
    EXPECT_EQ(image.LoadPng(WideString("Hull")), 0);
    EXPECT_EQ(image.Width(), 0u);
    EXPECT_EQ(image.Height(), 0u);
    EXPECT_EQ(image.Pixels(), nullptr);
    EXPECT_EQ(image.GetAlphaKind(), kAlphaOpaque);

    // A missing file leaves the image as it was.
    ASSERT_TRUE(image.Create(4, 4, WideString("old")));
    EXPECT_EQ(image.LoadPng(WideString("Nothing")), 0);
    EXPECT_EQ(image.Width(), 4u);
    EXPECT_NE(image.Pixels(), nullptr);

    // The TGA beside a broken PNG still loads.
    Put("Hull.tga", TgaMarked(5));
    EXPECT_EQ(LoadMark("Hull"), 5);
}

TEST(Image, CreateResizeAndLimits) {
    Image image;
    ASSERT_TRUE(image.Create(3, 2, WideString("Pic")));
    EXPECT_EQ(image.Pitch(), 12u);
    EXPECT_TRUE(image.Name().EqualsNarrow("pic"));
    for (std::size_t i = 0; i < 24; ++i) EXPECT_EQ(image.Pixels()[i], 0);
    image.Pixels()[5] = 9;
    ASSERT_TRUE(image.Resize(3, 2));  // same size: zero-filled again
    EXPECT_EQ(image.Pixels()[5], 0);
    ASSERT_TRUE(image.UseDibSection(5, 5));
    EXPECT_EQ(image.Width(), 5u);
    EXPECT_FALSE(image.IsDibBacked());
    ASSERT_TRUE(image.Create(0, 7, WideString("Empty")));
    EXPECT_EQ(image.Width(), 0u);
    EXPECT_EQ(image.Height(), 0u);
    EXPECT_EQ(image.Pixels(), nullptr);
    EXPECT_FALSE(image.Create(16385, 1, WideString("Wide")));
    EXPECT_FALSE(image.Create(8192, 8193, WideString("Big")));
    EXPECT_EQ(image.Pixels(), nullptr);
    EXPECT_EQ(image.Width(), 0u);
    image.Destroy();
    EXPECT_TRUE(image.Name().IsEmpty());
}

}  // namespace
