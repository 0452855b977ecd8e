// An achievement earned on the main menu of the real program, with the fonts its start-up hands the popup:
// the popup near the bottom of the screen shows its heading and, below it, the achievement's title, where
// the popup's layout places them. Without the fonts the popup draws only its panel and icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "e2e/battle_walks.h"
#include "e2e/picture_check.h"
#include "game/core/game.h"

namespace e2e {
namespace {

// "Seasoned", earned at 100 kills.
constexpr int kSeasoned = 8;

TEST(AchievementPopupWalk, ThePopupShowsItsHeadingAndTheTitle) {
    ProgramDriver driver;
    Picture picture;
    const std::string path = Png("achievement_popup");
    const int code = driver.Run([&](ProgramDriver& d) {
        ASSERT_TRUE(d.WaitForState(game::kGameMainMenu, 60 * kSeconds));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(game::ZoneId::kMainMenu); }, 10 * kSeconds));
        d.GetGame().UnlockAchievement(kSeasoned);
        // Past the flash of the popup's first 0.2 s, well inside its 5 s.
        d.Frames(8);
        ASSERT_TRUE(d.DumpPng(path));
        ASSERT_TRUE(ReadPicture(path, picture));
    });
    EXPECT_EQ(code, 0);
    ASSERT_EQ(picture.width, 960);
    ASSERT_EQ(picture.height, 640);

    // The 512 by 80 panel centred at the bottom, its top 180 px above the screen's bottom edge: x 224 to 736,
    // y 460 to 540. The heading is centred on x 514 (34 right of the screen's middle) from y 485, the title
    // on the same x from y 513; the icon stands at x 233 to 297, left of both.
    const int top = 640 - 180;
    const engine::IntRect heading{514 - 130, top + 25, 260, 24};
    const engine::IntRect title{514 - 130, top + 53, 260, 14};
    const engine::IntRect aboveHeading{514 - 130, top + 4, 260, 14};
    const int headingPixels = TextPixels(picture, heading);
    const int titlePixels = TextPixels(picture, title);
    const int abovePixels = TextPixels(picture, aboveHeading);
    std::printf("text pixels: heading %d, title %d, panel above the heading %d\n", headingPixels, titlePixels,
                abovePixels);
    EXPECT_GE(headingPixels, 200) << "no heading in the popup";
    EXPECT_GE(titlePixels, 80) << "no title in the popup";
    // Both texts are centred on x 514: about as much of each stands left of it as right.
    for (const engine::IntRect& text : {heading, title}) {
        const int left = TextPixels(picture, {text.x, text.y, text.width / 2, text.height});
        const int all = std::max(TextPixels(picture, text), 1);
        EXPECT_NEAR(static_cast<double>(left) / all, 0.5, 0.15) << "text from y " << text.y;
    }
    // The panel's art above the heading holds no text: what was counted is the texts.
    EXPECT_LT(abovePixels, 10);
}

}  // namespace
}  // namespace e2e
