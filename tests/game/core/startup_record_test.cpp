#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/core/program_icon.h"
#include "game/core/startup_record.h"

namespace {

TEST(StartupRecord, WindowSizeFollowsTheDesktopAndModeTheFlag) {
    struct Case {
        int desktop;
        int flag;
        int windowed, width, height;
    };
    const Case cases[] = {
        {1024, 0, 1, 960, 640}, {1025, 0, 1, 1024, 768}, {800, 1, 0, 960, 640},
        {1920, 1, 0, 1024, 768}, {0, 0, 1, 960, 640},    {1280, 7, 0, 1024, 768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.desktop) + " flag " + std::to_string(c.flag));
        const engine::StartupParams params = game::BuildStartupParams(c.desktop, c.flag);
        EXPECT_EQ(std::vector<int>({params.windowed, params.width, params.height}),
                  std::vector<int>({c.windowed, c.width, c.height}));
    }
}

TEST(StartupRecord, FixedValuesAndIcons) {
    const engine::StartupParams params = game::BuildStartupParams(1280, 1);
    EXPECT_EQ(params.title, "Tinmarch");
    EXPECT_EQ(params.makerName, "Ostrel");
    EXPECT_EQ(params.immediatePresent, 0);
    EXPECT_EQ(std::vector<int>({params.stringPoolSize, params.modelTableSize, params.materialTableSize,
                                params.textureTableSize, params.drawListCapacity}),
              std::vector<int>(5, 0));
    EXPECT_EQ(params.safeFrameBorder, 0.0f);
    EXPECT_EQ(params.animatedMeshPicking, 1);
    EXPECT_EQ(params.flaggedMaterialQueries, 0);
    EXPECT_EQ(params.cullMargin, 2.0f);
    EXPECT_EQ(params.captioned, 1);
    EXPECT_EQ(params.externalWindow, nullptr);
    EXPECT_EQ(params.menu, nullptr);
    EXPECT_FALSE(params.messageHook);

    ASSERT_TRUE(params.smallIcon.IsValid());
    ASSERT_TRUE(params.bigIcon.IsValid());
    EXPECT_EQ(std::vector<int>({params.smallIcon.width, params.smallIcon.height, params.bigIcon.width,
                                params.bigIcon.height}),
              std::vector<int>({16, 16, 64, 64}));
    // Each size is a drawing of its own: the big icon is not the small one blown up, so some 4 x 4 block of
    // it holds more than one colour. Both have opaque and transparent pixels.
    int mixedBlocks = 0;
    for (int by = 0; by < 16; ++by) {
        for (int bx = 0; bx < 16; ++bx) {
            const std::size_t first = (static_cast<std::size_t>(by * 4) * 64 + bx * 4) * 4;
            bool mixed = false;
            for (int y = by * 4; y < by * 4 + 4; ++y) {
                for (int x = bx * 4; x < bx * 4 + 4; ++x) {
                    const std::size_t at = (static_cast<std::size_t>(y) * 64 + x) * 4;
                    mixed = mixed || std::memcmp(&params.bigIcon.pixels[at], &params.bigIcon.pixels[first], 4) != 0;
                }
            }
            mixedBlocks += mixed;
        }
    }
    EXPECT_GT(mixedBlocks, 0);
    for (const sys::RgbaImage* icon : {&params.smallIcon, &params.bigIcon}) {
        int opaque = 0;
        int clear = 0;
        for (std::size_t at = 3; at < icon->pixels.size(); at += 4) {
            opaque += icon->pixels[at] == 0xFF;
            clear += icon->pixels[at] == 0;
        }
        EXPECT_GT(opaque, 0) << icon->width;
        EXPECT_GT(clear, 0) << icon->width;
    }
}

// Art of one colour: the legend, then a drawing for each side in `sides`, "==" and `rows` rows of `side` "a"
// (rows < 0: as many rows as the side).
std::string Art(const std::string& legend, std::initializer_list<int> sides, int rows = -1) {
    std::string art = legend;
    for (const int side : sides) {
        art += "==\n";
        for (int i = 0; i < (rows < 0 ? side : rows); ++i) art += std::string(static_cast<std::size_t>(side), 'a') + "\n";
    }
    return art;
}

TEST(ProgramIcon, EachSizeIsItsOwnDrawingAndArtThatDoesNotFitGivesNoIcon) {
    const std::string art = Art("a FF0000FF\n", {16, 64});
    for (const int size : {16, 64}) {
        const sys::RgbaImage red = game::DrawIconArt(art.c_str(), size);
        ASSERT_TRUE(red.IsValid()) << size;
        EXPECT_EQ(std::vector<int>({red.width, red.height}), std::vector<int>({size, size}));
        EXPECT_EQ(std::vector<std::uint8_t>(red.pixels.end() - 4, red.pixels.end()),
                  (std::vector<std::uint8_t>{0xFF, 0, 0, 0xFF}));
    }
    EXPECT_FALSE(game::DrawIconArt(art.c_str(), 32).IsValid());  // no drawing of that size

    const std::string bad[] = {
        Art("", {16}),                   // a character without a colour
        Art("a FF0000F\n", {16}),        // short colour
        Art("a GG0000FF\n", {16}),       // not hexadecimal
        Art("a FF0000FF\n", {16}, 15),   // too few rows
        Art("a FF0000FF\n", {16}, 17),   // too many rows
        Art("a FF0000FF\n", {16}) + Art("", {64}, 63),  // the other drawing is not square
    };
    for (const std::string& text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(game::DrawIconArt(text.c_str(), 16).IsValid());
    }
    std::string shortRow = Art("a FF0000FF\n", {16});
    shortRow.erase(shortRow.find("==\n") + 3, 1);
    EXPECT_FALSE(game::DrawIconArt(shortRow.c_str(), 16).IsValid());
    EXPECT_FALSE(game::DrawIconArt(game::ProgramIconArt(), 0).IsValid());
    EXPECT_FALSE(game::DrawIconArt(game::ProgramIconArt(), 257).IsValid());
    EXPECT_FALSE(game::DrawIconArt(nullptr, 16).IsValid());
}

}  // namespace
