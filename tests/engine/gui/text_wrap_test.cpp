#include "engine/gui/text_wrap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/language_info.h"
#include "engine/core/memory.h"
#include "gui_fixtures.h"

namespace {

using engine::TextWrap;

// Every character advances 10 and ends 10 wide, so widths are 10 per character.
guitest::RfnDescription MonoFont() {
    guitest::RfnDescription d = guitest::SyntheticFont(126);
    d.cell = [](int c) { return engine::IntRect{(c % 16) * 16, (c / 16) * 16, c == 'W' ? 40 : 10, 10}; };
    d.advance = [](int c, int) { return c == 'W' ? 40 : 10; };
    return d;
}

std::vector<std::u16string> Lines(const TextWrap& wrap) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < wrap.GetLineCount(); ++i) {
        const engine::WideString& line = wrap.GetLine(i);
        lines.emplace_back(line.Data(), line.Length());
    }
    return lines;
}

class TextWrapTest : public ::testing::Test {
protected:
    std::vector<std::u16string> Wrap(std::u16string_view text, int width, int language = engine::kLanguageOther) {
        wrap.WrapForLanguage(font, text, width, language);
        return Lines(wrap);
    }

    guitest::RecordingFont font{MonoFont()};
    TextWrap wrap;
};

using Lines_ = std::vector<std::u16string>;

TEST_F(TextWrapTest, LineBreaksInTheText) {
    EXPECT_EQ(Wrap(u"A\r\nB", 1000), (Lines_{u"A", u"B"}));
    EXPECT_EQ(Wrap(u"A\n\rB", 1000), (Lines_{u"A", u"B"}));
    EXPECT_EQ(Wrap(u"A\nB\n", 1000), (Lines_{u"A", u"B"}));
    // Blanks and further breaks at the start of a line are skipped.
    EXPECT_EQ(Wrap(u"A\n\n  B", 1000), (Lines_{u"A", u"B"}));
    EXPECT_EQ(Wrap(u"", 1000), Lines_{});
}

TEST_F(TextWrapTest, WordsBreakAfterSpacesHyphensColonsAndQuestionMarks) {
    // 80 pixels hold 7 characters: a line breaks when it reaches the width.
    EXPECT_EQ(Wrap(u"one two three", 80), (Lines_{u"one two ", u"three"}));
    EXPECT_EQ(Wrap(u"well-known fact", 80), (Lines_{u"well-", u"known ", u"fact"}));
    EXPECT_EQ(Wrap(u"why?because", 80), (Lines_{u"why?", u"because"}));
    EXPECT_EQ(Wrap(u"note:abcdefg", 80), (Lines_{u"note:", u"abcdefg"}));
}

TEST_F(TextWrapTest, LeadingBlanksOfALineAreDroppedButNotOfTheText) {
    EXPECT_EQ(Wrap(u"abcdefg   hi", 80), (Lines_{u"abcdefg ", u"hi"}));
    EXPECT_EQ(Wrap(u"abcdefg-:hi", 80), (Lines_{u"abcdefg-", u"hi"}));
    EXPECT_EQ(Wrap(u" ab", 80), (Lines_{u" ab"}));
    EXPECT_EQ(Wrap(u"-ab", 80), (Lines_{u"-ab"}));
}

TEST_F(TextWrapTest, AWordLongerThanTheLineBreaksAtTheOverflowingCharacter) {
    EXPECT_EQ(Wrap(u"abcdefghij", 50), (Lines_{u"abcd", u"efgh", u"ij"}));
    // The last character of the text is measured like any other.
    EXPECT_EQ(Wrap(u"abcde", 50), (Lines_{u"abcd", u"e"}));
    EXPECT_EQ(Wrap(u"abc de", 50), (Lines_{u"abc ", u"de"}));
}

TEST_F(TextWrapTest, LanguagesWithoutSpacesBreakMidWord) {
    for (const int language : {engine::kLanguageJapanese, engine::kLanguageKorean, engine::kLanguageChinese,
                               engine::kLanguageChineseTaiwan}) {
        EXPECT_EQ(Wrap(u"ab cdefgh", 70, language), (Lines_{u"ab cde", u"fgh"})) << language;
    }
    EXPECT_EQ(Wrap(u"ab cdefgh", 70, engine::kLanguageGerman), (Lines_{u"ab ", u"cdefgh"}));
}

TEST_F(TextWrapTest, ACharacterWiderThanTheWidthGoesAloneOnItsLine) {
    EXPECT_EQ(Wrap(u"WW", 30), (Lines_{u"W", u"W"}));
    EXPECT_EQ(Wrap(u"aWb", 30), (Lines_{u"a", u"W", u"b"}));
    EXPECT_EQ(Wrap(u"abc", 0), (Lines_{u"a", u"b", u"c"}));
}

TEST_F(TextWrapTest, CharactersOutsideLatinOneAndControlCodesAreDropped) {
    EXPECT_EQ(Wrap(u"a\u4E00b\x01" u"c\td", 1000), (Lines_{u"abcd"}));
}

TEST_F(TextWrapTest, ManyLinesAreAllKeptWithTheirValues) {
    std::u16string text;
    for (int i = 0; i < 1500; ++i) text += u"ab\n";
    EXPECT_EQ(Wrap(text, 1000).size(), 1500u);
    wrap.SetLineValue(1499, 0xFF00FF00u);
    wrap.SetLineValue(1500, 1);
    wrap.SetLineValue(-1, 1);
    EXPECT_EQ(wrap.GetLineValue(1499), 0xFF00FF00u);
    EXPECT_EQ(wrap.GetLineValue(0), 0u);
    EXPECT_EQ(wrap.GetLineValue(1500), 0u);
    EXPECT_TRUE(wrap.GetLine(1500).IsEmpty());
    wrap.Clear();
    EXPECT_EQ(wrap.GetLineCount(), 0);
}

TEST_F(TextWrapTest, ALineLongerThanTheWorkStringIsCutRatherThanOverrun) {
    const std::u16string text(5000, u'a');
    const auto lines = Wrap(text, 1 << 30);
    ASSERT_GE(lines.size(), 2u);
    std::size_t total = 0;
    for (const auto& line : lines) total += line.size();
    EXPECT_EQ(total, text.size());
}

TEST_F(TextWrapTest, WrappingAllocatesPerLineNotPerCharacter) {
    std::u16string text;
    for (int i = 0; i < 40; ++i) text += u"lorem ipsum dolor ";
    Wrap(text, 1000);  // the work string's buffer is made once
    const auto before = engine::EngineAllocCount();
    const auto lines = Wrap(text, 200);
    const auto allocations = engine::EngineAllocCount() - before;
    EXPECT_GE(lines.size(), 30u);
    EXPECT_LE(allocations, lines.size());
}

TEST_F(TextWrapTest, DrawLinesDrawsEveryNonEmptyLineOneSpacingApartInItsColour) {
    guitest::RecordingTarget target;
    wrap.WrapForLanguage(font, u"ab cd", 30, engine::kLanguageOther);
    ASSERT_EQ(wrap.GetLineCount(), 2);
    wrap.SetLineValue(1, 0xFF123456u);
    font.DrawLines(target, 100, wrap, 0x80, 5);
    ASSERT_EQ(font.quads.size(), 4u);
    EXPECT_EQ(font.quads[0].y, 100);
    EXPECT_EQ(font.quads[2].y, 100 + font.GetLineSpacing());
    EXPECT_EQ(font.quads[2].x, 5);
    EXPECT_EQ(font.quads[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(font.quads[2].colour, 0xFF123456u);
}

}  // namespace
