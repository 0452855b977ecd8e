#include "engine/gui/bitmap_font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/wide_string.h"
#include "engine/render/vertex_packing.h"
#include "gui_fixtures.h"

namespace {

using engine::BitmapFont;
using guitest::RecordingFont;
using guitest::RecordingTarget;
using guitest::SyntheticAdvance;
using guitest::SyntheticCellWidth;

// The synthetic font's width of a plain text: each character's advance before the next, the last one's cell.
int PlainWidth(const std::u16string& text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        width += i + 1 < text.size() ? SyntheticAdvance(text[i], text[i + 1]) : SyntheticCellWidth(text[i]);
    }
    return width;
}

struct IconLog {
    struct Call {
        int x, y;
        std::uint32_t colour;
        int icon, mode;
        void* user;
    };
    std::vector<Call> calls;
};
IconLog* g_icons = nullptr;

int RecordIcon(BitmapFont&, int x, int y, std::uint32_t colour, int icon, int mode, void* user) {
    if (g_icons != nullptr) g_icons->calls.push_back({x, y, colour, icon, mode, user});
    return 20;
}

class BitmapFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(font.loaded);
        g_icons = &icons;
    }
    void TearDown() override { g_icons = nullptr; }

    RecordingFont font;
    RecordingTarget target;
    IconLog icons;
};

TEST_F(BitmapFontTest, MarkupMeasuresAsItsEffect) {
    font.SetIconCallback(RecordIcon);
    const int a = SyntheticCellWidth('A');
    struct Case {
        const char16_t* text;
        int width;
    };
    const Case cases[] = {
        {u"Total", PlainWidth(u"Total")},
        {u"@C[4]Total", PlainWidth(u"Total")},
        {u"@J[80]A", 80 + a},
        {u"AB@J[5]A", 5 + a},
        {u"@@", SyntheticCellWidth('@')},
        {u"@@A", SyntheticAdvance('@', 'A') + a},
        {u"@X[12]", 20},
        {u"A@X[000]", SyntheticAdvance('A', '@') + 20},
        // Malformed: the whole text measures 0.
        {u"@q", 0},
        {u"Total@q", 0},
        {u"@C[12]A", 0},
        {u"@C[]A", 0},
        {u"@J[1234]", 0},
        {u"@X[1", 0},
        {u"@", 0},
        {u"A@", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(font.MeasureWidth(c.text), c.width) << std::string(c.text, c.text + 3);
    ASSERT_FALSE(icons.calls.empty());
    EXPECT_EQ(icons.calls[0].icon, 12);
    EXPECT_EQ(icons.calls[0].mode, BitmapFont::kIconMeasure);
}

TEST_F(BitmapFontTest, TabsLinesAndCodesOutsideTheFont) {
    RecordingFont wide(guitest::SyntheticFont(255));
    ASSERT_TRUE(wide.loaded);
    // "AB" is 7 + 5 = 12 wide before the tab, which jumps to the next multiple of 64.
    EXPECT_EQ(font.MeasureWidth(u"AB\t"), 64);
    EXPECT_EQ(font.MeasureWidth(u"\t"), 64);
    EXPECT_EQ(font.MeasureWidth(u"\t\t"), 128);
    // The widest line counts; the last glyph before a break measures as at the end of a text.
    EXPECT_EQ(font.MeasureWidth(u"A\nABC\r\nB"), PlainWidth(u"ABC"));
    EXPECT_EQ(font.MeasureWidth(u"ABC\nA"), PlainWidth(u"ABC"));
    // Control codes, codes past the last code (126 here) and code 300 add nothing.
    EXPECT_EQ(font.MeasureWidth(u"\x01\x7F"), 0);
    EXPECT_EQ(font.MeasureWidth(u"\xFF"), 0);
    EXPECT_EQ(wide.MeasureWidth(u"\xFF"), SyntheticCellWidth(255));
    EXPECT_EQ(font.MeasureWidth(u"\u012C"), 0);
    // "A" before a code past the table ends like the end of the text.
    EXPECT_EQ(font.MeasureWidth(u"A\u4E00"), SyntheticCellWidth('A'));
    font.SetLetterSpacing(2);
    EXPECT_EQ(font.MeasureWidth(u"AB"), PlainWidth(u"AB") + 4);
}

TEST_F(BitmapFontTest, PrefixWidthsAndTheCaretByTheMiddleOfACharacter) {
    const std::u16string_view text = u"ABC";
    EXPECT_EQ(font.MeasurePrefix(text, 0), 0);
    EXPECT_EQ(font.MeasurePrefix(text, -4), 0);
    EXPECT_EQ(font.MeasurePrefix(text, 1), SyntheticCellWidth('A'));
    EXPECT_EQ(font.MeasurePrefix(text, 2), SyntheticAdvance('A', 'B') + SyntheticCellWidth('B'));
    EXPECT_EQ(font.MeasurePrefix(text, 9), font.MeasureWidth(text));
    // Prefix widths: A 5, AB 13 (7 + 6), ABC 19 (7 + 5 + 7).
    struct Case {
        int x;
        int index;
    };
    for (const Case c : {Case{-1, 0}, Case{0, 0}, Case{2, 0}, Case{3, 1}, Case{8, 1}, Case{9, 1}, Case{10, 2},
                         Case{15, 2}, Case{16, 2}, Case{17, 3}, Case{19, 3}, Case{400, 3}}) {
        EXPECT_EQ(font.CharIndexAt(text, c.x), c.index) << c.x;
    }
}

TEST_F(BitmapFontTest, GlyphQuadsSitAtThePenWithKerningColourCodesAndJumps) {
    font.SetColour(4, 0xFF00FF00u);
    font.Draw(target, u"AV @C[4]B@J[80]C", 100, 50, 0x80);
    ASSERT_EQ(font.quads.size(), 4u);
    const int v = 100 + 4;
    const int space = v + SyntheticAdvance('V', ' ');
    const int b = space + SyntheticAdvance(' ', '@');
    EXPECT_EQ(font.QuadXs(), (std::vector<int>{100, v, b, 180}));
    for (const auto& q : font.quads) EXPECT_EQ(q.y, 50);
    EXPECT_EQ(font.quads[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(font.quads[1].colour, 0xFFFFFFFFu);
    EXPECT_EQ(font.quads[2].colour, 0xFF00FF00u);
    EXPECT_EQ(font.quads[3].colour, 0xFF00FF00u);
    EXPECT_EQ(font.quads[0].cell.x, ('A' % 16) * 16);
    EXPECT_EQ(font.quads[0].cell.width, SyntheticCellWidth('A'));
    // The next draw starts in colour 0 again.
    font.quads.clear();
    font.Draw(target, u"B", 0, 0, 0x80);
    EXPECT_EQ(font.quads[0].colour, 0xFFFFFFFFu);
}

TEST_F(BitmapFontTest, LiteralAtMalformedCodesAndLineBreaksWhileDrawing) {
    font.Draw(target, u"@@A", 0, 0, 0x80);
    ASSERT_EQ(font.quads.size(), 2u);
    EXPECT_EQ(font.quads[0].cell.x, ('@' % 16) * 16);
    EXPECT_EQ(font.quads[1].x, SyntheticAdvance('@', 'A'));

    font.quads.clear();
    font.Draw(target, u"AB@qCD", 0, 0, 0x80);
    EXPECT_EQ(font.quads.size(), 2u);

    font.quads.clear();
    font.Draw(target, u"AB\nC", 10, 20, 0x80);
    ASSERT_EQ(font.quads.size(), 3u);
    EXPECT_EQ(font.quads[2].x, 10);
    EXPECT_EQ(font.quads[2].y, 20 + font.GetLineSpacing());

    // Tabs, control codes and codes past the font draw nothing and leave the pen.
    font.quads.clear();
    font.Draw(target, u"A\t\x01\xFF\u012CB", 0, 0, 0x80);
    ASSERT_EQ(font.quads.size(), 2u);
    EXPECT_EQ(font.quads[1].x, SyntheticCellWidth('A'));
}

TEST_F(BitmapFontTest, CodeTwoFiftyFiveDrawsInAFontThatHasItAndWideCodesReadNoTable) {
    RecordingFont wide(guitest::SyntheticFont(255));
    wide.Draw(target, u"\xFF" u"A\u4E00\u012C", 0, 0, 0x80);
    ASSERT_EQ(wide.quads.size(), 2u);
    EXPECT_EQ(wide.quads[0].cell.x, (255 % 16) * 16);
    EXPECT_EQ(wide.quads[1].x, SyntheticAdvance(255, 'A'));
}

TEST_F(BitmapFontTest, AlignmentFlags) {
    const int width = font.MeasureWidth(u"AB");
    const int height = font.GetGlyphHeight();
    const int offset = font.GetVerticalOffset();
    struct Case {
        std::uint32_t flags;
        int x;
        int y;
    };
    const Case cases[] = {
        {0x00, 100, 50 - offset},
        {0x02, 100 - width, 50 - offset},
        {0x06, 100 - width / 2, 50 - offset},
        {0x01, 100, 50 - offset},
        {0x22, 100 - width, 50 - height / 2},  // 34: right, half up
        {0x20, 100, 50 - height / 2},
        {0x3F, 100, 50 - height / 2},
        {0x40, 100, 50 - height},
        {0x5F, 100, 50 - height},
        {0x60, 100, 50 - offset},
        {0x80, 100, 50},
        {0x86, 100 - width / 2, 50},
        {0x9F, 100, 50},
        {0xA0, 100, 50 - offset},
        {0xFF, 100, 50 - offset},
        {0x126, 100 - width / 2, 50 - height / 2},  // only the low byte counts vertically
    };
    for (const Case& c : cases) {
        font.quads.clear();
        font.Draw(target, u"AB", 100, 50, c.flags);
        ASSERT_FALSE(font.quads.empty());
        EXPECT_EQ(font.quads[0].x, c.x) << std::hex << c.flags;
        EXPECT_EQ(font.quads[0].y, c.y) << std::hex << c.flags;
    }
}

TEST_F(BitmapFontTest, CentredJumpsMoveWithTheOrigin) {
    const int width = font.MeasureWidth(u"@J[40]A");
    font.Draw(target, u"@J[40]A", 100, 0, 0x86);
    ASSERT_EQ(font.quads.size(), 1u);
    EXPECT_EQ(font.quads[0].x, 100 - width / 2 + 40);
}

TEST_F(BitmapFontTest, InlineIconsAreQueuedAtThePenAndDrawnAfterTheGlyphs) {
    font.SetIconCallback(RecordIcon);
    font.SetColour(2, 0xFF0000FFu);
    font.Draw(target, u"A@C[2]@X[7]B", 10, 30, 0x80);
    ASSERT_EQ(font.quads.size(), 2u);
    const int iconX = 10 + SyntheticAdvance('A', '@');
    EXPECT_EQ(font.quads[1].x, iconX + 20);
    std::vector<IconLog::Call> draws;
    for (const auto& call : icons.calls) {
        if (call.mode == BitmapFont::kIconDraw) draws.push_back(call);
    }
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].x, iconX);
    EXPECT_EQ(draws[0].y, 30);
    EXPECT_EQ(draws[0].icon, 7);
    EXPECT_EQ(draws[0].colour, 0xFF0000FFu);
    EXPECT_EQ(draws[0].user, static_cast<void*>(&target));
    EXPECT_EQ(font.QueuedIconCount(), 0u);
}

TEST_F(BitmapFontTest, MoreThanThirtyTwoIconsAreAllDrawn) {
    font.SetIconCallback(RecordIcon);
    std::u16string text;
    for (int i = 0; i < 50; ++i) text += u"@X[" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"]";
    font.Draw(target, text, 0, 0, 0x80);
    int draws = 0;
    for (const auto& call : icons.calls) draws += call.mode == BitmapFont::kIconDraw ? 1 : 0;
    EXPECT_EQ(draws, 50);
}

TEST_F(BitmapFontTest, OverrideColourTintsEveryGlyph) {
    font.SetColour(3, 0xFF112233u);
    font.Draw(target, u"A@C[3]B", 0, 0, 0x80, 0xFF445566u);
    ASSERT_EQ(font.quads.size(), 2u);
    EXPECT_EQ(font.quads[0].colour, 0xFF445566u);
    EXPECT_EQ(font.quads[1].colour, 0xFF445566u);
}

TEST_F(BitmapFontTest, MeasuringAllocatesNothing) {
    std::u16string text;
    for (int i = 0; i < 500; ++i) text += u"Word @C[1]x@J[3]\t";
    const auto before = engine::EngineAllocCount();
    EXPECT_GT(font.MeasureWidth(text), 0);
    font.CharIndexAt(u"Some caret text", 30);
    EXPECT_EQ(engine::EngineAllocCount(), before);
}

TEST_F(BitmapFontTest, TheDeviceReceivesOneDrawOfTheGlyphQuadsMappedToTheTarget) {
    font.SetTexture(5, 256, 256);
    font.Draw(target, u"AB", 64, 32, 0x80);
    ASSERT_EQ(font.device.draws.size(), 1u);
    EXPECT_EQ(font.device.draws[0].primitiveCount, 4u);
    std::vector<engine::SpriteVertex> v(font.buffer.bytes.size() / sizeof(engine::SpriteVertex));
    ASSERT_EQ(v.size(), 12u);
    std::memcpy(v.data(), font.buffer.bytes.data(), v.size() * sizeof(engine::SpriteVertex));
    EXPECT_FLOAT_EQ(v[0].x, (64.0f - 0.35f) * 2.0f / 640.0f - 1.0f);
    EXPECT_FLOAT_EQ(v[0].y, 1.0f - (32.0f - 0.35f) * 2.0f / 480.0f);
    const float bx = 64.0f + static_cast<float>(SyntheticAdvance('A', 'B'));
    EXPECT_FLOAT_EQ(v[6].x, (bx - 0.35f) * 2.0f / 640.0f - 1.0f);
    EXPECT_EQ(v[0].uv0, engine::PackUV(('A' % 16) * 16 / 256.0f, ('A' / 16) * 16 / 256.0f));
    EXPECT_EQ(v[0].colour, 0xFFFFFFFFu);
}

// The watch sees each text once per draw, whatever route it takes (a single draw, a wrapped line), and
// nothing once it is cleared.
TEST_F(BitmapFontTest, TheDrawnTextHookSeesEveryTextDrawnUntilCleared) {
    std::vector<std::u16string> seen;
    BitmapFont::SetDrawnTextHook(
        [](std::u16string_view text, void* user) {
            static_cast<std::vector<std::u16string>*>(user)->emplace_back(text);
        },
        &seen);
    font.Draw(target, u"AB", 0, 0, 0x80);
    font.Draw(target, engine::WideString("C@1D"), 0, 0, 0x80);
    BitmapFont::SetDrawnTextHook(nullptr, nullptr);
    font.Draw(target, u"EF", 0, 0, 0x80);
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"AB", u"C@1D"}));
}

TEST(BitmapFontDefault, AFontWithoutMetricsDrawsAndMeasuresNothing) {
    RecordingFont font(guitest::SyntheticFont());
    const std::vector<std::uint8_t> junk = {2, 0, 0};
    EXPECT_FALSE(font.ReadMetrics(junk.data(), junk.size()));
    EXPECT_FALSE(font.HasMetrics());
    RecordingTarget target;
    font.Draw(target, u"Hello", 0, 0, 0);
    EXPECT_TRUE(font.quads.empty());
    EXPECT_EQ(font.MeasureWidth(u"Hello"), 0);
}

}  // namespace
