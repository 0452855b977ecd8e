// Every screen the player can reach opened once through the real program, with a picture of each in the
// build folder: the main menu and its screens, the setups with the map picker and match options, the
// campaign map with the campaign picker and the difficulty, the comic, and in the mission the pause menu
// with its objective, settings, save and quit screens; then a skirmish's shop. The walk fails on any text
// drawn as "No String", any checkerboard of a missing texture, any GL error and any report of something
// missing on stderr.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/frame_audit.h"
#include "e2e/screen_tour.h"

namespace e2e {
namespace {

TEST(ScreensWalk, EveryScreenOpensAndLeavesAPicture) {
    ProgramDriver driver;
    FrameAudit audit(driver);
    const int code = driver.Run([](ProgramDriver& d) { TourEveryScreen(d, true); });
    EXPECT_EQ(code, 0);
    audit.ExpectClean();
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
