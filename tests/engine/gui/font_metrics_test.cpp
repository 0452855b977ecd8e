#include "engine/gui/font_metrics.h"

#include <gtest/gtest.h>

#include "rfn_writer.h"

namespace {

using engine::FontMetrics;
using engine::ParseFontMetrics;
using guitest::RfnDescription;
using guitest::SyntheticFont;
using guitest::WriteRfn;

bool Parse(const std::vector<std::uint8_t>& bytes, FontMetrics& out) {
    return ParseFontMetrics(bytes.data(), bytes.size(), out);
}

TEST(FontMetrics, HeaderCellsAndAdvancesReadBack) {
    RfnDescription d = SyntheticFont(126);
    d.skipped = {9, 9, 9};
    FontMetrics m;
    ASSERT_TRUE(Parse(WriteRfn(d), m));
    EXPECT_EQ(m.lastCode, 126);
    EXPECT_EQ(m.glyphHeight, 10);
    EXPECT_EQ(m.lineSpacing, 12);
    EXPECT_EQ(m.verticalOffset, 2);
    EXPECT_EQ(m.Cell('A').x, ('A' % 16) * 16);
    EXPECT_EQ(m.Cell('A').y, ('A' / 16) * 16);
    EXPECT_EQ(m.Cell('~').width, guitest::SyntheticCellWidth('~'));
    EXPECT_EQ(m.Advance('A', 'V'), 4);
    EXPECT_EQ(m.Advance('A', 'B'), guitest::SyntheticAdvance('A', 'B'));
}

TEST(FontMetrics, EndOfTextAdvanceIsTheCellWidthAndSpaceTakesItsOwnPair) {
    RfnDescription d = SyntheticFont(126);
    d.advance = [](int c, int n) { return c == 32 && n == 32 ? 9 : 6; };
    FontMetrics m;
    ASSERT_TRUE(Parse(WriteRfn(d), m));
    for (const int c : {'!', 'A', 'z', '~'}) EXPECT_EQ(m.Advance(c, 0), guitest::SyntheticCellWidth(c)) << c;
    EXPECT_EQ(m.Advance(' ', 0), 9);
    // Second codes outside the file's rows, and past the table, read as the end of the text.
    EXPECT_EQ(m.Advance('A', '\t'), m.Advance('A', 0));
    EXPECT_EQ(m.Advance('A', '\n'), m.Advance('A', 0));
    EXPECT_EQ(m.Advance('A', 0x4E00), m.Advance('A', 0));
    // Pairs whose second code lies past the last code are not in the file.
    EXPECT_EQ(m.Advance('A', 200), 0);
}

TEST(FontMetrics, SignedBytesUpToVersionOneAndSixteenBitsFromTwo) {
    struct Case {
        int version;
        int stored;
        int expected;
    };
    for (const Case c : {Case{0, -3, -3}, Case{1, -128, -128}, Case{1, 127, 127}, Case{2, -300, -300},
                         Case{2, 1000, 1000}, Case{3, -2, -2}}) {
        SCOPED_TRACE(c.version);
        RfnDescription d = SyntheticFont(90, c.version);
        d.advance = [&c](int a, int b) { return a == 'A' && b == 'V' ? c.stored : 5; };
        FontMetrics m;
        ASSERT_TRUE(Parse(WriteRfn(d), m));
        EXPECT_EQ(m.Advance('A', 'V'), c.expected);
        EXPECT_EQ(m.Advance('B', 'V'), 5);
        EXPECT_EQ(m.Cell('Z').width, guitest::SyntheticCellWidth('Z'));
    }
}

TEST(FontMetrics, LastCodeBelowTheFirstGlyphHasNoCells) {
    RfnDescription d = SyntheticFont(32);
    d.advance = [](int, int) { return 7; };
    FontMetrics m;
    ASSERT_TRUE(Parse(WriteRfn(d), m));
    EXPECT_FALSE(m.HasCell('!'));
    EXPECT_EQ(m.Advance(' ', ' '), 7);
    EXPECT_EQ(m.Advance(' ', 0), 7);
}

TEST(FontMetrics, EveryTruncationIsRefusedAndLeavesTheMetricsAlone) {
    for (const int version : {0, 1, 2, 3}) {
        RfnDescription d = SyntheticFont(45, version);
        d.skipped = {1, 2};
        const auto bytes = WriteRfn(d);
        FontMetrics m;
        m.lastCode = 77;
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            ASSERT_FALSE(ParseFontMetrics(bytes.data(), size, m)) << "version " << version << " size " << size;
            ASSERT_EQ(m.lastCode, 77);
        }
        EXPECT_TRUE(ParseFontMetrics(bytes.data(), bytes.size(), m));
    }
    FontMetrics m;
    EXPECT_FALSE(ParseFontMetrics(nullptr, 100, m));
}

TEST(FontMetrics, ASkippedBlockLongerThanTheFileIsRefused) {
    std::vector<std::uint8_t> bytes = {2, 0, 0xFF, 0xFF, 1, 2, 3};
    FontMetrics m;
    EXPECT_FALSE(Parse(bytes, m));
}

}  // namespace
