// The frame's overlays against a recording target and font: the statistics lines, their smoothing and
// separators, the debug lines, the cursor, the safe-frame border and the order of the four steps.
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/gui/debug_overlay.h"
#include "engine/gui/frame_overlays.h"
#include "engine/gui/stats_overlay.h"
#include "engine/render/graphics_device.h"
#include "gui_fixtures.h"

namespace {

using engine::DebugOverlay;
using engine::IntRect;
using engine::StatsOverlay;
using engine::StatsSample;
using guitest::RecordingFont;
using guitest::RecordingTarget;

std::string Narrow(const engine::WideString& text) { return text.GetNarrow(); }

StatsSample Sample(float deltaMs, std::uint32_t vertices, std::uint32_t triangles, std::uint32_t batches,
                   std::uint32_t objects) {
    StatsSample sample;
    sample.smoothedDeltaMs = deltaMs;
    sample.counts = {vertices, triangles, batches, objects};
    sample.materials = 7;
    sample.textures = 12;
    sample.models = 3;
    return sample;
}

class SeparatorTest : public ::testing::Test {
protected:
    void TearDown() override { engine::SetThousandsSeparator(nullptr); }
};

TEST_F(SeparatorTest, TheFiveLinesCarryTheirLabelsColumnsAndValuesInEnglishAndGerman) {
    StatsOverlay overlay;
    auto lines = overlay.Update(Sample(16.0f, 12346, 4100, 37, 9));
    EXPECT_EQ(Narrow(lines[0]), "FPS:@J[80]62.50");
    EXPECT_EQ(Narrow(lines[1]), "VERTS:@J[80]12,346");
    EXPECT_EQ(Narrow(lines[2]), "TRIS:@J[80]4,100");
    EXPECT_EQ(Narrow(lines[3]), "BATCHES:@J[80]37@J[120](9)");
    EXPECT_EQ(Narrow(lines[4]), "RES:@J[80]7/12/3");

    engine::SetThousandsSeparator(".");
    StatsOverlay german;
    lines = german.Update(Sample(16.0f, 12346, 4100, 37, 9));
    EXPECT_EQ(Narrow(lines[1]), "VERTS:@J[80]12.346");
    EXPECT_EQ(Narrow(lines[2]), "TRIS:@J[80]4.100");
}

TEST_F(SeparatorTest, SmoothedCountsAreRoundedUpWithSeparators) {
    struct Case {
        float value;
        const char* english;
        const char* german;
    };
    for (const Case& c : {Case{10.2f, "11", "11"}, Case{10.0f, "10", "10"}, Case{0.0f, "0", "0"},
                          Case{1234567.2f, "1,234,568", "1.234.568"}, Case{5e9f, "2,147,483,647", "2.147.483.647"}}) {
        engine::SetThousandsSeparator(nullptr);
        engine::WideString english;
        engine::AppendSmoothedCount(english, c.value);
        EXPECT_EQ(Narrow(english), c.english) << c.value;
        engine::SetThousandsSeparator(".");
        engine::WideString german;
        engine::AppendSmoothedCount(german, c.value);
        EXPECT_EQ(Narrow(german), c.german) << c.value;
    }
}

TEST(StatsOverlayTest, TheFirstFrameShowsTheRawCountsAndLaterFramesMoveATenthOfTheWay) {
    StatsOverlay overlay;
    auto lines = overlay.Update(Sample(16.0f, 10, 1000, 1234567, 0));
    EXPECT_EQ(Narrow(lines[1]), "VERTS:@J[80]10");
    EXPECT_FLOAT_EQ(overlay.Smoothed(engine::kFrameTriangles), 1000.0f);
    EXPECT_FLOAT_EQ(overlay.Smoothed(engine::kFrameObjects), 0.0f);

    lines = overlay.Update(Sample(16.0f, 12, 2000, 1234569, 50));
    EXPECT_EQ(Narrow(lines[1]), "VERTS:@J[80]11");  // 10.2 rounds up
    EXPECT_FLOAT_EQ(overlay.Smoothed(engine::kFrameTriangles), 1100.0f);
    EXPECT_EQ(Narrow(lines[3]), "BATCHES:@J[80]1,234,568@J[120](50)");  // an old 0 takes the count at once

    lines = overlay.Update(Sample(16.0f, 12, 2000, 1234569, 0));
    EXPECT_FLOAT_EQ(overlay.Smoothed(engine::kFrameObjects), 45.0f);
}

TEST(StatsOverlayTest, TheFrameRateHasTwoDecimalsUnlessIntegralAndIsZeroWithoutAFrameTime) {
    for (const auto& [ms, text] : {std::pair{16.0f, "FPS:@J[80]62.50"}, std::pair{20.0f, "FPS:@J[80]50"},
                                   std::pair{0.0f, "FPS:@J[80]0"}}) {
        StatsOverlay overlay;
        EXPECT_EQ(Narrow(overlay.Update(Sample(ms, 0, 0, 0, 0))[0]), text) << ms;
    }
}

TEST(StatsOverlayTest, DrawsTheBoxAtTheRightEdgeAndTheFiveLinesBelowEachOther) {
    RecordingTarget target;
    RecordingFont font;
    ASSERT_TRUE(font.loaded);
    font.SetColour(0, 0xFF00FF00u);
    StatsOverlay overlay;
    overlay.Draw(target, &font, Sample(16.0f, 1, 2, 3, 4));

    ASSERT_EQ(target.fills.size(), 1u);
    const int b = font.GetGlyphHeight();
    EXPECT_EQ(target.fills[0].rect.x, 640 - 180);
    EXPECT_EQ(target.fills[0].rect.y, 0);
    EXPECT_EQ(target.fills[0].rect.width, 180);
    EXPECT_EQ(target.fills[0].rect.height, 7 * b + 14);
    EXPECT_EQ(target.fills[0].colour, 0x80000000u);
    EXPECT_EQ(target.fills[0].blend, 3);

    // Colour 0 is opaque white again; the lines start at x + 2 and step down by b + 2 from y = 2.
    EXPECT_EQ(font.GetColour(0), 0xFFFFFFFFu);
    std::set<int> tops;
    int left = 1 << 30;
    for (const guitest::Quad& q : font.quads) {
        tops.insert(q.y + font.GetVerticalOffset());
        left = std::min(left, q.x);
        EXPECT_EQ(q.colour, 0xFFFFFFFFu);
    }
    EXPECT_EQ(tops, (std::set<int>{2, b + 4, 2 * b + 6, 3 * b + 8, 4 * b + 10}));
    EXPECT_EQ(left, 640 - 180 + 2);
}

TEST(StatsOverlayTest, WithoutAFontNothingIsDrawnAndNothingIsSmoothed) {
    RecordingTarget target;
    StatsOverlay overlay;
    overlay.Draw(target, nullptr, Sample(16.0f, 100, 0, 0, 0));
    EXPECT_TRUE(target.fills.empty());
    EXPECT_FLOAT_EQ(overlay.Smoothed(engine::kFrameVertices), 0.0f);
}

class DebugOverlayTest : public ::testing::Test {
protected:
    void TearDown() override { DebugOverlay::Clear(); }
};

TEST_F(DebugOverlayTest, SlotsDrawSixteenPixelsApartAndEmptySlotsKeepTheirPlace) {
    DebugOverlay::SetLine(0, "AB");
    DebugOverlay::SetLine(3, "CD");
    EXPECT_EQ(DebugOverlay::LineCount(), 2);
    RecordingTarget target;
    RecordingFont font;
    DebugOverlay::Draw(target, &font);
    std::set<int> tops;
    for (const guitest::Quad& q : font.quads) tops.insert(q.y + font.GetVerticalOffset());
    EXPECT_EQ(tops, (std::set<int>{0, 48}));
    EXPECT_EQ(font.quads.size(), 4u);
    EXPECT_EQ(font.quads.front().x, 0);
}

TEST_F(DebugOverlayTest, SlotsOutsideTheRangeAreIgnoredEmptyTextFreesASlotAndClearFreesAll) {
    DebugOverlay::SetLine(40, "no");
    DebugOverlay::SetLine(-1, "no");
    EXPECT_EQ(DebugOverlay::LineCount(), 0);
    EXPECT_EQ(DebugOverlay::GetLine(40), "");

    for (int i = 0; i < DebugOverlay::kSlotCount; ++i) {
        DebugOverlay::SetLine(i, "a line long enough to live on the heap, not inside the string");
    }
    DebugOverlay::SetLine(5, "replaced");
    EXPECT_EQ(DebugOverlay::LineCount(), 32);
    DebugOverlay::SetLine(5, "");
    DebugOverlay::SetLine(6, nullptr);
    DebugOverlay::SetLine(6, nullptr);
    EXPECT_EQ(DebugOverlay::LineCount(), 30);
    EXPECT_EQ(DebugOverlay::GetLine(7), "a line long enough to live on the heap, not inside the string");

    DebugOverlay::Clear();
    EXPECT_EQ(DebugOverlay::LineCount(), 0);
    for (int i = 0; i < DebugOverlay::kSlotCount; ++i) EXPECT_EQ(DebugOverlay::GetLine(i), "");
    RecordingTarget target;
    RecordingFont font;
    DebugOverlay::Draw(target, &font);
    EXPECT_TRUE(font.quads.empty());
}

// 5 % of 480 and 640 are whole pixels (24 and 32): a product taken in float falls just short of them.
TEST(ScreenBorderTest, FourBandsOfThePercentDarkenTheEdges) {
    guitest::RecordingTarget target;  // 640 x 480
    engine::DrawScreenBorder(target, 5.0f);
    ASSERT_EQ(target.fills.size(), 4u);
    const std::vector<IntRect> expected{{0, 0, 640, 24}, {0, 24, 32, 432}, {608, 24, 32, 432}, {0, 456, 640, 24}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const IntRect& r = target.fills[i].rect;
        EXPECT_EQ((std::vector<int>{r.x, r.y, r.width, r.height}),
                  (std::vector<int>{expected[i].x, expected[i].y, expected[i].width, expected[i].height}))
            << i;
        EXPECT_EQ(target.fills[i].colour, 0x00404040u);
        EXPECT_EQ(target.fills[i].blend, 2);
    }
}

TEST(ScreenBorderTest, ZeroDrawsNothingAndOddPercentagesStayInsideTheTarget) {
    guitest::RecordingTarget none;
    engine::DrawScreenBorder(none, 0.0f);
    EXPECT_TRUE(none.fills.empty());

    guitest::RecordingTarget wide;
    engine::DrawScreenBorder(wide, 60.0f);
    for (const guitest::Fill& fill : wide.fills) {
        EXPECT_GT(fill.rect.width, 0);
        EXPECT_GT(fill.rect.height, 0);
    }
    EXPECT_EQ(wide.fills.size(), 2u);  // top and bottom; the side bands would have no height

    for (const float odd : {-5.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f}) {
        guitest::RecordingTarget target;
        engine::DrawScreenBorder(target, odd);
        for (const guitest::Fill& fill : target.fills) {
            EXPECT_LE(fill.rect.x + fill.rect.width, 640) << odd;
            EXPECT_LE(fill.rect.y + fill.rect.height, 480) << odd;
            EXPECT_GE(fill.rect.x, 0) << odd;
            EXPECT_GE(fill.rect.y, 0) << odd;
        }
    }
}

}  // namespace
