#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <utility>

#include "engine/core/wide_string.h"

namespace {

using namespace engine;

std::u16string Text(const WideString& s) { return std::u16string(s.Data(), s.Length()); }

TEST(WideString, NewStringIsEmptyWithoutStorage) {
    WideString s;
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_EQ(s.Capacity(), 0u);
    EXPECT_EQ(s.Flags(), WideString::kNarrowStale);
    EXPECT_EQ(Text(s), u"");
    EXPECT_STREQ(s.GetNarrow(), "");
    EXPECT_TRUE(WideString(nullptr).IsEmpty());
}

TEST(WideString, ConstructionCopyMoveAndConcat) {
    const WideString a("Tank");
    const WideString b("_Heavy");
    EXPECT_EQ(Text(WideString(a)), u"Tank");
    EXPECT_EQ(Text(WideString(a, b)), u"Tank_Heavy");
    EXPECT_EQ(Text(WideString(a, "_Light")), u"Tank_Light");
    EXPECT_EQ(Text(WideString(WideString(), WideString())), u"");

    WideString moved("Source");
    WideString target(std::move(moved));
    EXPECT_EQ(Text(target), u"Source");
    EXPECT_TRUE(moved.IsEmpty());
    EXPECT_EQ(moved.Capacity(), 0u);

    WideString assigned;
    assigned = target;
    assigned = std::move(assigned);  // self-move keeps the text
    EXPECT_EQ(Text(assigned), u"Source");
    assigned = std::move(target);
    EXPECT_EQ(Text(assigned), u"Source");
}

TEST(WideString, AssignHandlesSelfEmptyAndOverlappingSources) {
    WideString s("Helicopter");
    EXPECT_TRUE(s.Assign(s));
    EXPECT_EQ(Text(s), u"Helicopter");

    // A tail of the string's own text.
    EXPECT_TRUE(s.AssignWide(s.Data() + 4));
    EXPECT_EQ(Text(s), u"copter");
    // Its own narrow copy.
    EXPECT_TRUE(s.AssignNarrow(s.GetNarrow()));
    EXPECT_EQ(Text(s), u"copter");
    // Appending itself, in place and with growth past the short capacity.
    EXPECT_TRUE(s.Append(s));
    EXPECT_EQ(Text(s), u"coptercopter");
    const std::u16string long40(40, u'x');
    s.AssignWide(long40.c_str());
    EXPECT_TRUE(s.Append(s));
    EXPECT_EQ(Text(s), long40 + long40);

    // An empty source frees the buffer.
    s.Assign(WideString());
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.Capacity(), 0u);
    EXPECT_TRUE(s.AssignWide(nullptr));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(WideString, AppendKeepsTextAcrossStorageChanges) {
    WideString s;
    std::u16string expected;
    // 200 pieces of 7 characters: from no buffer through the short block into growing heap buffers.
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(s.AppendNarrow("Piece-"));
        ASSERT_TRUE(s.Append(WideString(i % 2 ? "a" : "b")));
        expected += i % 2 ? u"Piece-a" : u"Piece-b";
        ASSERT_EQ(Text(s), expected);
        ASSERT_GE(s.Capacity(), s.Length());
        ASSERT_EQ(s.Data()[s.Length()], 0);
    }
}

TEST(WideString, NarrowingAndWideningNeverDecode) {
    WideString smiley;
    smiley.AssignWide(u"\u263A\u00E9A");
    EXPECT_STREQ(smiley.GetNarrow(), "\x3A\xE9"
                                     "A");
    WideString latin("\xE9");
    EXPECT_EQ(Text(latin), u"\u00E9");

    char16_t out[4];
    EXPECT_EQ(WidenInto("\xE9xyz", out, 4), 3u);  // cut to fit, terminated
    EXPECT_EQ(std::u16string(out), u"\u00E9xy");
    EXPECT_EQ(WidenInto(nullptr, out, 4), 0u);
    EXPECT_EQ(out[0], 0);
}

TEST(WideString, NarrowCopyIsRebuiltOnlyWhenStale) {
    WideString s("Map01");
    const char* first = s.GetNarrow();
    EXPECT_STREQ(first, "Map01");
    EXPECT_EQ(s.Flags() & WideString::kNarrowStale, 0);
    EXPECT_EQ(s.GetNarrow(), first);  // unchanged text: the same copy, not a new one
    s.AppendNarrow("b");
    EXPECT_NE(s.Flags() & WideString::kNarrowStale, 0);
    EXPECT_STREQ(s.GetNarrow(), "Map01b");
    s.MutableData()[0] = u'T';
    EXPECT_STREQ(s.GetNarrow(), "Tap01b");

    char small[4];
    EXPECT_FALSE(s.CopyNarrowTo(small, sizeof(small)));
    EXPECT_STREQ(small, "Tap");
    char big[16];
    EXPECT_TRUE(s.CopyNarrowTo(big, sizeof(big)));
    EXPECT_STREQ(big, "Tap01b");
    EXPECT_FALSE(s.CopyNarrowTo(big, 0));
}

TEST(WideString, AppendIntGroupsWithTheSeparator) {
    struct Case {
        int value;
        const char16_t* english;
        const char16_t* german;
        const char16_t* plain;
    };
    const Case cases[] = {
        {1234567, u"1,234,567", u"1.234.567", u"1234567"},
        {999, u"999", u"999", u"999"},
        {1000, u"1,000", u"1.000", u"1000"},
        {-1234, u"-1,234", u"-1.234", u"-1234"},
        {-999, u"-999", u"-999", u"-999"},
        {0, u"0", u"0", u"0"},
        {INT_MIN, u"-2,147,483,648", u"-2.147.483.648", u"-2147483648"},
        {INT_MAX, u"2,147,483,647", u"2.147.483.647", u"2147483647"},
    };
    for (const Case& c : cases) {
        WideString english("$");
        WideString german("$");
        WideString plain("$");
        SetThousandsSeparator(nullptr);
        english.AppendInt(c.value, true);
        plain.AppendInt(c.value, false);
        SetThousandsSeparator(".");
        german.AppendInt(c.value, true);
        SetThousandsSeparator("");
        EXPECT_EQ(Text(english), u"$" + std::u16string(c.english)) << c.value;
        EXPECT_EQ(Text(german), u"$" + std::u16string(c.german)) << c.value;
        EXPECT_EQ(Text(plain), u"$" + std::u16string(c.plain)) << c.value;
    }
}

TEST(WideString, AppendFloatWritesIntegersBareAndOthersWithTwoDecimals) {
    const std::pair<double, const char16_t*> cases[] = {
        {2.0, u"2"},       {2.5, u"2.50"},     {-0.5, u"-0.50"},  {-0.0, u"0"},
        {-3.0, u"-3"},     {1234.567, u"1234.57"}, {0.004, u"0.00"}, {3e9, u"3000000000"},
    };
    for (const auto& [value, expected] : cases) {
        WideString s;
        ASSERT_TRUE(s.AppendFloat(value));
        EXPECT_EQ(Text(s), expected) << value;
    }
}

TEST(WideString, ComparisonsIgnoreCaseThroughTheFixedFold) {
    struct Case {
        const char16_t* a;
        const char16_t* b;
        bool equal;
    };
    const Case cases[] = {
        {u"Unit", u"UNIT", true},
        {u"\u00E9", u"\u00C9", true},     // é, É
        {u"\u00FE", u"\u00DE", true},     // þ, Þ
        {u"\u00D7", u"\u00F7", false},    // ×, ÷: no case
        {u"\u00DF", u"\u00FF", false},    // ß, ÿ: ÿ has no upper case in Latin-1
        {u"@", u"`", false},              // neighbours of the ASCII letters
        {u"[", u"{", false},
        {u"\u0101", u"\u0100", false},    // beyond Latin-1: compared exactly
        {u"", u"", true},
        {u"", u"a", false},
        {u"Unit", u"Units", false},
    };
    int row = 0;
    for (const Case& c : cases) {
        ++row;
        WideString a;
        WideString b;
        a.AssignWide(c.a);
        b.AssignWide(c.b);
        EXPECT_EQ(a.Equals(b), c.equal) << "row " << row;
        EXPECT_EQ(b.Equals(a), c.equal) << "row " << row;
        EXPECT_EQ(a.NotEquals(b), !c.equal) << "row " << row;
        // The narrow forms see the same characters while they stay within Latin-1.
        if (std::u16string(c.b).find_first_of(u"\u0100\u0101") == std::u16string::npos) {
            EXPECT_EQ(a.EqualsNarrow(b.GetNarrow()), c.equal) << "row " << row;
            EXPECT_EQ(a.NotEqualsNarrow(b.GetNarrow()), !c.equal) << "row " << row;
            EXPECT_EQ(WideStringEqualsNarrow(a, b.GetNarrow()), c.equal) << "row " << row;
        }
        // Texts of one length contain each other exactly when they are equal.
        if (a.Length() == b.Length()) {
            EXPECT_EQ(a.ContainsNoCase(b), c.equal) << "row " << row;
        }
    }
    EXPECT_TRUE(WideString("").EqualsNarrow(nullptr));
    EXPECT_FALSE(WideString("a").EqualsNarrow(nullptr));
}

TEST(WideString, ContainsNoCaseFindsTextAnywhere) {
    const WideString heavy("HeavyTank_\xE9t\xE9");
    EXPECT_TRUE(heavy.ContainsNoCase(WideString("TANK")));
    EXPECT_TRUE(heavy.ContainsNoCase(WideString("heavy")));
    EXPECT_TRUE(heavy.ContainsNoCase(WideString("\xC9T\xC9")));
    EXPECT_TRUE(heavy.ContainsNoCase(WideString()));
    EXPECT_FALSE(heavy.ContainsNoCase(WideString("Tanks")));
    EXPECT_FALSE(WideString("Tank").ContainsNoCase(WideString("HeavyTank")));
    EXPECT_FALSE(WideString().ContainsNoCase(WideString("a")));
    EXPECT_TRUE(WideString().ContainsNoCase(WideString()));
}

TEST(WideString, Edits) {
    struct Case {
        const char* what;
        const char* input;
        std::function<void(WideString&)> edit;
        const char* expected;
    };
    const Case cases[] = {
        {"DropExtension", "a.b.c", [](WideString& s) { s.DropExtension(); }, "a.b"},
        {"DropExtension", "Levels/v1.2/Mission", [](WideString& s) { s.DropExtension(); }, "Levels/v1.2/Mission"},
        {"DropExtension", "Levels\\v1.2\\Mission", [](WideString& s) { s.DropExtension(); },
         "Levels\\v1.2\\Mission"},
        {"DropExtension", "Levels/v1.2/Mission.TXT", [](WideString& s) { s.DropExtension(); },
         "Levels/v1.2/Mission"},
        {"DropExtension", "NoExtension", [](WideString& s) { s.DropExtension(); }, "NoExtension"},
        {"StripFaceSuffix", "sky_NX.dds", [](WideString& s) { s.StripFaceSuffix(); }, "sky"},
        {"StripFaceSuffix", "sky_Z", [](WideString& s) { s.StripFaceSuffix(); }, "sky"},
        {"StripFaceSuffix", "sky_nx", [](WideString& s) { s.StripFaceSuffix(); }, "sky_nx"},
        {"StripFaceSuffix", "sky_NX_", [](WideString& s) { s.StripFaceSuffix(); }, "sky_NX_"},
        {"SetDollarNumber", "Tank_$$3", [](WideString& s) { s.SetDollarNumber(7); }, "Tank_$$7"},
        {"SetDollarNumber", "Tank", [](WideString& s) { s.SetDollarNumber(7); }, "Tank_$$7"},
        {"SetDollarNumber", "Tank_$$12_$$3", [](WideString& s) { s.SetDollarNumber(7); }, "Tank_$$7"},
        {"CutAtDollarTag", "Tank_$$3", [](WideString& s) { EXPECT_TRUE(s.CutAtDollarTag()); }, "Tank"},
        {"CutAtDollarTag", "Tank_$3", [](WideString& s) { EXPECT_FALSE(s.CutAtDollarTag()); }, "Tank_$3"},
        {"TrimRight", "ab \t\r\n", [](WideString& s) { s.TrimRight(); }, "ab"},
        {"TrimRight", " \x01 ", [](WideString& s) { s.TrimRight(); }, ""},
        {"BackslashesToSlashes", "a\\b\\c", [](WideString& s) { s.BackslashesToSlashes(); }, "a/b/c"},
        {"UnescapeNewlines", "a\\nb", [](WideString& s) { s.UnescapeNewlines(); }, "a\nb"},
        {"UnescapeNewlines", "\\r\\n", [](WideString& s) { s.UnescapeNewlines(); }, "\n\n"},
        {"UnescapeNewlines", "a\\tb\\", [](WideString& s) { s.UnescapeNewlines(); }, "a\\tb\\"},
    };
    for (const Case& c : cases) {
        WideString s(c.input);
        s.GetNarrow();  // an edit must make this copy stale
        c.edit(s);
        EXPECT_STREQ(s.GetNarrow(), c.expected) << c.what << " of " << c.input;
        EXPECT_EQ(s.Length(), std::char_traits<char>::length(c.expected)) << c.what << " of " << c.input;
    }
}

TEST(WideString, TextAfterMatchesWithCase) {
    const WideString line("Key=Value=More");
    EXPECT_EQ(Text(line.TextAfter(u"=")), u"Value=More");
    EXPECT_EQ(Text(line.TextAfterNarrow("Value")), u"=More");
    EXPECT_EQ(Text(line.TextAfterNarrow("VALUE")), u"");
    EXPECT_EQ(Text(line.TextAfter(u"More")), u"");
    EXPECT_EQ(Text(line.TextAfter(u"")), u"");
    EXPECT_EQ(Text(line.TextAfterNarrow(nullptr)), u"");
    EXPECT_EQ(Text(line.TextAfterNarrow("Key=Value=More!")), u"");
    EXPECT_EQ(Text(WideString().TextAfterNarrow("a")), u"");
}

TEST(WideString, HasPathSeparator) {
    EXPECT_TRUE(WideString("Units/Tank").HasPathSeparator());
    EXPECT_TRUE(WideString("Units\\Tank").HasPathSeparator());
    EXPECT_FALSE(WideString("Tank.mdl").HasPathSeparator());
    EXPECT_FALSE(WideString().HasPathSeparator());
}

}  // namespace
