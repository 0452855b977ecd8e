#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/platform/script_reader.h"

namespace {

using namespace engine;

std::unique_ptr<ScriptReader> FromBytes(std::string_view bytes, const char* name = "Test") {
    auto reader = std::make_unique<ScriptReader>();
    EXPECT_EQ(reader->LoadFromImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), name), 1);
    return reader;
}

// UTF-16LE with its mark, each character of `text` one unit.
std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::u16string Str(const WideString& s) { return std::u16string(s.Data(), s.Length()); }
std::u16string Whole(const ScriptReader& r) { return std::u16string(r.Text(), r.Length()); }
std::u16string AtCursor(const ScriptReader& r) { return std::u16string(r.Text() + r.Cursor(), r.Length() - r.Cursor()); }

TEST(ScriptReader, DetectsEncodingsWithoutDecoding) {
    struct Case {
        std::string bytes;
        ScriptReader::Encoding encoding;
        std::u16string text;
        std::size_t cursor;
    };
    const Case cases[] = {
        // 8-bit: one unit per byte.
        {"caf\xE9\n", ScriptReader::kEightBit, u"caf\u00E9\n", 0},
        // UTF-8 is widened byte by byte, its mark included: é is two units.
        {"\xEF\xBB\xBF" "caf\xC3\xA9", ScriptReader::kUtf8Marked, u"\u00EF\u00BB\u00BF" u"caf\u00C3\u00A9", 0},
        {"caf\xC3\xA9", ScriptReader::kEightBit, u"caf\u00C3\u00A9", 0},
        // Little-endian: the mark stays at index 0 and the cursor starts after it.
        {Utf16Le(u"caf\u00E9\u4E2D"), ScriptReader::kUtf16LittleEndian, u"\uFEFFcaf\u00E9\u4E2D", 1},
        // An odd last byte is dropped.
        {Utf16Le(u"ab") + "c", ScriptReader::kUtf16LittleEndian, u"\uFEFFab", 1},
        // Big-endian: byte-swapped, and U+FEFF is the first character the cursor reads.
        {std::string("\xFE\xFF\x00\x61\x00\xE9\x4E\x2D", 8), ScriptReader::kUtf16BigEndian, u"\uFEFFa\u00E9\u4E2D", 0},
        // A mark needs a file longer than 2 bytes.
        {"\xFF\xFE", ScriptReader::kEightBit, u"\u00FF\u00FE", 0},
        {"", ScriptReader::kEightBit, u"", 0},
    };
    for (const Case& c : cases) {
        auto r = FromBytes(c.bytes);
        EXPECT_EQ(r->GetEncoding(), c.encoding) << c.bytes;
        EXPECT_EQ(Whole(*r), c.text) << c.bytes;
        EXPECT_EQ(r->Text()[r->Length()], 0) << c.bytes;
        EXPECT_EQ(r->Cursor(), c.cursor) << c.bytes;
    }
    // The little-endian mark is not part of the first line; the big-endian one is.
    EXPECT_EQ(Str(FromBytes(Utf16Le(u"caf\u00E9\r\nx"))->ReadLine()), u"caf\u00E9");
    EXPECT_EQ(Str(FromBytes(std::string("\xFE\xFF\x00\x61", 4))->ReadLine()), u"\uFEFFa");
}

TEST(ScriptReader, FindKeywordMatchesCaseAndSkipsComments) {
    struct Case {
        const char* text;
        const char* keyword;
        bool found;
        std::u16string rest;  // the text at the cursor afterwards
    };
    const Case cases[] = {
        {"// [END]\nx\n", "END", false, u""},
        {"a b // x [END]\n[ENDX]\n", "END", false, u""},
        {"[END]\n", "end", false, u""},
        {"[end] [END]  // note\n\n next\n", "END", true, u"next\n"},
        // A keyword at the very end of a file without a final line break.
        {"x\n[END]", "END", true, u""},
        {"[EN", "END", false, u""},
        {"[]x", "", true, u"x"},
    };
    for (const Case& c : cases) {
        auto r = FromBytes(c.text);
        EXPECT_EQ(r->FindKeyword(c.keyword, false), c.found ? 1 : 0) << c.text;
        EXPECT_EQ(AtCursor(*r), c.rest) << c.text;
    }

    // From the start or from the cursor.
    auto r = FromBytes("[A]\n1\n[B]\n2\n[A]\n3\n");
    ASSERT_EQ(r->FindKeyword("B", false), 1);
    ASSERT_EQ(r->FindKeyword("A", false), 1);
    EXPECT_EQ(Str(r->ReadLine()), u"3");
    ASSERT_EQ(r->FindKeyword("A", true), 1);
    EXPECT_EQ(Str(r->ReadLine()), u"1");
}

TEST(ScriptReader, NextKeywordReadsBracketsOnOneStretch) {
    auto r = FromBytes("  // [NOT]\n[ONE] x [BROKEN\n] [TWO][]y [THREE]");
    const std::u16string expected[] = {u"ONE", u"TWO", u"", u"THREE", u""};
    for (const std::u16string& name : expected) EXPECT_EQ(Str(r->NextKeyword()), name);
    EXPECT_EQ(r->Cursor(), r->Length());
}

TEST(ScriptReader, ReadLineEndsAtBreaksCommentsControlsAndTheEnd) {
    struct Case {
        std::string text;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {"12\n", {u"12"}},
        // The last line without a line break is read whole.
        {"12", {u"12"}},
        {"a\n[END]", {u"a", u"[END]"}},
        {"\n\n  a b \t\r\n\tnext  ", {u"a b", u"next"}},
        {"x // note\n// whole line\ny", {u"x", u"y"}},
        {"http://host\n", {u"http:"}},
        {"a\x01" "b\x7F" "c\td", {u"a", u"b\u007Fc\td"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        auto r = FromBytes(c.text);
        for (const std::u16string& line : c.lines) EXPECT_EQ(Str(r->ReadLine()), line) << c.text;
        EXPECT_TRUE(r->ReadLine().IsEmpty()) << c.text;
        EXPECT_EQ(r->Cursor(), r->Length()) << c.text;
    }
}

TEST(ScriptReader, LinesOverTheLimitReadEmptyAndStay) {
    const std::string longest(ScriptReader::kMaxLineLength, 'x');
    auto r = FromBytes("\n" + longest + "\n" + longest + "y\nz\n");
    EXPECT_EQ(r->ReadLine().Length(), ScriptReader::kMaxLineLength);
    const std::size_t lineStart = r->Cursor();
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(r->ReadLine().IsEmpty());
        EXPECT_EQ(r->Cursor(), lineStart);
    }
    int value = 0;
    EXPECT_EQ(r->ReadInt(value), 0);
    WideString a("keep");
    WideString b("keep");
    EXPECT_EQ(r->ReadPair(a, b), 0);
    EXPECT_EQ(r->Cursor(), lineStart);
}

TEST(ScriptReader, ReadIntsReadStrtolFieldsOrRollBack) {
    struct Case {
        const char* text;
        int count;
        bool ok;
        int values[3];
    };
    const Case cases[] = {
        {"12,7\n", 1, true, {12}},
        {"12\n", 2, false, {}},
        {"0x10\n", 1, true, {16}},
        {"010\n", 1, true, {8}},
        {"08\n", 1, true, {0}},
        {"-5 +6\t7", 3, true, {-5, 6, 7}},
        {"1,, \t2\n", 2, true, {1, 2}},
        {"3x,4\n", 2, true, {3, 4}},
        {"1,a\n", 2, false, {}},
        {"99999999999\n", 1, true, {2147483647}},
        {"// only a comment\n", 1, false, {}},
        {"", 1, false, {}},
    };
    for (const Case& c : cases) {
        auto r = FromBytes(c.text);
        int v[3] = {-1, -1, -1};
        const int result = c.count == 1   ? r->ReadInt(v[0])
                           : c.count == 2 ? r->ReadInt2(v[0], v[1])
                                          : r->ReadInt3(v[0], v[1], v[2]);
        EXPECT_EQ(result, c.ok ? 1 : 0) << c.text;
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(v[i], c.ok ? c.values[i] : -1) << c.text << " field " << i;
        if (!c.ok) {
            EXPECT_EQ(r->Cursor(), 0u) << c.text;
        }
    }

    // A failed read leaves the line for the next reader.
    auto r = FromBytes("  12\n13\n");
    int a = 0;
    int b = 0;
    EXPECT_EQ(r->ReadInt2(a, b), 0);
    EXPECT_EQ(r->Cursor(), 0u);
    EXPECT_EQ(Str(r->ReadLine()), u"12");
    EXPECT_EQ(r->ReadInt(a), 1);
    EXPECT_EQ(a, 13);
}

TEST(ScriptReader, ReadPairSplitsAtCommasAndTabs) {
    struct Case {
        std::string text;
        bool ok;
        std::u16string first;
        std::u16string second;
    };
    const Case cases[] = {
        {"a,,b\n", true, u"a", u"b"},
        {"a\n", true, u"a", u""},
        {",\ta, b,c\n", true, u"a", u" b"},
        {"caf\xE9\tx", true, u"caf\u00E9", u"x"},
        {",,\t,\n", false, u"", u""},
        {"", false, u"", u""},
    };
    for (const Case& c : cases) {
        auto r = FromBytes(c.text);
        WideString first("old");
        WideString second("old");
        EXPECT_EQ(r->ReadPair(first, second), c.ok ? 1 : 0) << c.text;
        EXPECT_EQ(Str(first), c.first) << c.text;
        EXPECT_EQ(Str(second), c.second) << c.text;
    }
    // The narrow form keeps the low byte of each character.
    auto r = FromBytes(Utf16Le(u"\u4E41,b"));
    WideString first;
    WideString second;
    EXPECT_EQ(r->ReadPair(first, second), 1);
    EXPECT_EQ(Str(first), u"A");
}

TEST(ScriptReader, ExtractSectionCopiesTheTextBetweenKeywords) {
    auto r = FromBytes("head\n[S] // start\n  first line\n\n2\ncaf\xE9 \t\n[E]\ntail\n", "Missions/One");
    auto section = r->ExtractSection(true, "S", "E");
    ASSERT_NE(section, nullptr);
    // Trailing blanks go, a final character above 127 stays.
    EXPECT_EQ(Whole(*section), u"first line\n\n2\ncaf\u00E9");
    EXPECT_EQ(section->Text()[section->Length()], 0);
    EXPECT_EQ(section->Cursor(), 0u);
    EXPECT_EQ(section->BaseLine(), 2u);
    EXPECT_EQ(Str(section->Name()), u"Missions/One");
    EXPECT_EQ(Str(section->ReadLine()), u"first line");
    EXPECT_EQ(Str(section->ReadLine()), u"2");
    EXPECT_EQ(section->CurrentLine(), 5u);
    EXPECT_EQ(Str(section->ReadLine()), u"caf\u00E9");
    EXPECT_TRUE(section->ReadLine().IsEmpty());
    // The parent's cursor is on the "[" of the end keyword.
    EXPECT_EQ(AtCursor(*r), u"[E]\ntail\n");
    EXPECT_EQ(Str(r->NextKeyword()), u"E");
}

TEST(ScriptReader, ExtractSectionNestsBaseLinesAndKeepsWideText) {
    auto r = FromBytes(Utf16Le(u"\n[OUT]\n\n[IN]\n\u4E2D\n[/IN]\n[/OUT]\n"));
    auto outer = r->ExtractSection(true, "OUT", "/OUT");
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->GetEncoding(), ScriptReader::kUtf16LittleEndian);
    EXPECT_EQ(outer->BaseLine(), 3u);
    auto inner = outer->ExtractSection(false, "IN", "/IN");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(Whole(*inner), u"\u4E2D");
    EXPECT_EQ(inner->BaseLine(), 4u);  // one more line feed inside the outer section

    // An empty section, and missing keywords.
    auto empty = FromBytes("[A][B]")->ExtractSection(true, "A", "B");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Length(), 0u);
    EXPECT_TRUE(empty->ReadLine().IsEmpty());
    auto noEnd = FromBytes("[A]\nx\n");
    EXPECT_EQ(noEnd->ExtractSection(true, "A", "B"), nullptr);
    EXPECT_EQ(noEnd->Cursor(), noEnd->Length());
    EXPECT_EQ(FromBytes("[B]\n[A]\n")->ExtractSection(true, "A", "B"), nullptr);
}

TEST(ScriptReader, GetTextCutsTrailingBlanksOnly) {
    EXPECT_EQ(Str(FromBytes(" a\n b \t\r\n\n")->GetText()), u" a\n b");
    EXPECT_EQ(Str(FromBytes("caf\xE9")->GetText()), u"caf\u00E9");
    EXPECT_TRUE(FromBytes(" \n")->GetText().IsEmpty());
}

TEST(ScriptReader, EmptyReaderAndReportError) {
    ScriptReader r;
    EXPECT_EQ(r.Length(), 0u);
    EXPECT_EQ(r.FindKeyword("A", true), 0);
    EXPECT_TRUE(r.NextKeyword().IsEmpty());
    EXPECT_TRUE(r.ReadLine().IsEmpty());
    int a = 0;
    EXPECT_EQ(r.ReadInt(a), 0);
    EXPECT_EQ(r.ExtractSection(true, "A", "B"), nullptr);
    EXPECT_TRUE(r.GetText().IsEmpty());
    r.ReportError("nothing loaded");

    // Messages of any length are cut to size, not written past it.
    auto loaded = FromBytes("a\nb\n", std::string(2000, 'n').c_str());
    loaded->ReadLine();
    EXPECT_EQ(loaded->CurrentLine(), 1u);
    loaded->ReportError("%s at %d", std::string(5000, 'x').c_str(), 7);

    // Loading again replaces the text and starts over; freeing keeps the name.
    ASSERT_EQ(loaded->LoadFromImage(reinterpret_cast<const std::uint8_t*>("[K]"), 3, "Other"), 1);
    EXPECT_EQ(loaded->Cursor(), 0u);
    EXPECT_EQ(loaded->FindKeyword("K", false), 1);
    loaded->FreeText();
    EXPECT_EQ(loaded->Length(), 0u);
    EXPECT_EQ(Str(loaded->Name()), u"Other");
}

TEST(ScriptReaderTest, SkipLinePassesALineTooLongToReadAndWhatFollows) {
    const auto reader = FromBytes(std::string(3000, 'x') + "\n// note\n  next\n");
    EXPECT_TRUE(reader->ReadLine().IsEmpty());
    EXPECT_EQ(reader->Cursor(), 0u);
    reader->SkipLine();
    EXPECT_EQ(Str(reader->ReadLine()), u"next");
    reader->SkipLine();
    EXPECT_EQ(reader->Cursor(), reader->Length());
}

}  // namespace
