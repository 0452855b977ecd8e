#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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
    // The big icon is the small one at four times the size.
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::size_t big = (static_cast<std::size_t>(y) * 64 + x) * 4;
            const std::size_t small = (static_cast<std::size_t>(y / 4) * 16 + x / 4) * 4;
            ASSERT_EQ(0, std::memcmp(&params.bigIcon.pixels[big], &params.smallIcon.pixels[small], 4)) << x << "," << y;
        }
    }
}

// Art of one colour: the legend, "==" and `rows` rows of 16 "a".
std::string Art(const std::string& legend, int rows) {
    std::string art = legend + "==\n";
    for (int i = 0; i < rows; ++i) art += std::string(16, 'a') + "\n";
    return art;
}

TEST(ProgramIcon, ArtThatDoesNotFitGivesNoIcon) {
    const sys::RgbaImage red = game::DrawIconArt(Art("a FF0000FF\n", 16).c_str(), 2);
    ASSERT_TRUE(red.IsValid());
    EXPECT_EQ(red.width, 32);
    EXPECT_EQ(std::vector<std::uint8_t>(red.pixels.begin(), red.pixels.begin() + 4),
              (std::vector<std::uint8_t>{0xFF, 0, 0, 0xFF}));

    const std::string bad[] = {
        Art("", 16),              // a character without a colour
        Art("a FF0000F\n", 16),   // short colour
        Art("a GG0000FF\n", 16),  // not hexadecimal
        Art("a FF0000FF\n", 15),  // too few rows
        Art("a FF0000FF\n", 17),  // too many rows
    };
    for (const std::string& art : bad) {
        SCOPED_TRACE(art);
        EXPECT_FALSE(game::DrawIconArt(art.c_str(), 1).IsValid());
    }
    std::string shortRow = Art("a FF0000FF\n", 16);
    shortRow.erase(shortRow.find("==\n") + 3, 1);
    EXPECT_FALSE(game::DrawIconArt(shortRow.c_str(), 1).IsValid());
    EXPECT_FALSE(game::DrawIconArt(game::ProgramIconArt(), 0).IsValid());
    EXPECT_FALSE(game::DrawIconArt(game::ProgramIconArt(), 17).IsValid());
    EXPECT_FALSE(game::DrawIconArt(nullptr, 1).IsValid());
}

}  // namespace
