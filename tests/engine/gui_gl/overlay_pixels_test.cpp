// The overlays' fills on the test context: the safe-frame border on a white "Main RT" and the statistics box
// over a white target (its text goes to a recording font, so only the box reaches the pixels).
#include <gtest/gtest.h>

#include "engine/gui/frame_overlays.h"
#include "engine/gui/gui_fixtures.h"
#include "engine/gui/stats_overlay.h"
#include "engine/render_targets/render_target_fixture.h"

namespace {

using targettest::RenderTargetTest;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

::testing::AssertionResult Grey(const targettest::Rgba& pixel, int level, int tolerance) {
    for (int c = 0; c < 3; ++c) {
        if (std::abs(pixel[c] - level) > tolerance) {
            return ::testing::AssertionFailure()
                   << "(" << pixel[0] << ", " << pixel[1] << ", " << pixel[2] << ") is not grey " << level;
        }
    }
    return ::testing::AssertionSuccess();
}

using OverlayPixelsTest = RenderTargetTest;

TEST_F(OverlayPixelsTest, AFivePercentBorderKeepsThreeQuartersOfWhiteInBandsOf30And50Pixels) {
    constexpr int kW = 1000;
    constexpr int kH = 600;
    engine::RenderTarget* main = engine::CreateRenderTarget("Main RT", kW, kH, engine::kTargetPlain);
    ASSERT_NE(main, nullptr);
    main->Begin(kWhite);
    engine::DrawScreenBorder(*main, 5.0f);
    main->End();
    const auto picture = Read(*main);
    for (int y = 0; y < kH; y += 1) {
        for (int x = 0; x < kW; x += (y % 29 == 0 ? 1 : 7)) {
            const bool band = y < 30 || y >= 570 || x < 50 || x >= 950;
            const auto pixel = At(picture, kW, x, y);
            if (!Grey(pixel, band ? 191 : 255, 2)) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << Grey(pixel, band ? 191 : 255, 2).message();
                delete main;
                return;
            }
        }
    }
    EXPECT_TRUE(Grey(At(picture, kW, 500, 300), 255, 0));
    for (const auto& [x, y] : {std::pair{49, 300}, std::pair{50, 300}, std::pair{949, 300}, std::pair{950, 300},
                               std::pair{500, 29}, std::pair{500, 30}, std::pair{500, 569}, std::pair{500, 570}}) {
        const bool band = y < 30 || y >= 570 || x < 50 || x >= 950;
        EXPECT_TRUE(Grey(At(picture, kW, x, y), band ? 191 : 255, 2)) << x << ", " << y;
    }
    delete main;
}

TEST_F(OverlayPixelsTest, TheStatisticsBoxHalvesWhiteInsideAndLeavesTheRestAlone) {
    constexpr int kW = 320;
    constexpr int kH = 160;
    engine::RenderTarget* target = engine::CreateRenderTarget("Stats", kW, kH, engine::kTargetPlain);
    ASSERT_NE(target, nullptr);
    guitest::RecordingFont font;
    ASSERT_TRUE(font.loaded);
    const int boxHeight = 7 * font.GetGlyphHeight() + 14;
    engine::StatsOverlay overlay;
    target->Begin(kWhite);
    overlay.Draw(*target, &font, engine::StatsSample{});
    target->End();
    const auto picture = Read(*target);
    const engine::IntRect box{kW - 180, 0, 180, boxHeight};
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const int level = box.Contains(x, y) ? 127 : 255;
            if (!Grey(At(picture, kW, x, y), level, 2)) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << Grey(At(picture, kW, x, y), level, 2).message();
                delete target;
                return;
            }
        }
    }
    delete target;
}

}  // namespace
