#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/platform/script_reader.h"
#include "game/core/string_table.h"
#include "textkeys/locale_source.h"

namespace {

using textkeys::EncodeLocaleFile;
using textkeys::LocaleEntry;
using textkeys::LocaleFault;
using textkeys::ParseLocaleSource;

std::vector<std::uint8_t> Build(const std::string& source) {
    std::vector<LocaleEntry> entries;
    LocaleFault fault;
    EXPECT_TRUE(ParseLocaleSource(source, entries, fault)) << fault.line << ": " << fault.message;
    return EncodeLocaleFile(entries);
}

TEST(LocaleSource, BecomesUtf16WithAMarkThatTheStringTableReads) {
    // "é" is two UTF-8 bytes and one UTF-16 unit; comments and blank lines are the source's own.
    const std::vector<std::uint8_t> file =
        Build("// campaign texts\r\n[M1_TITLE]  Caf\xC3\xA9 d\xC3\xA9j\xC3\xA0  \r\n\n[M1_GOAL] Hold the bridge\n");
    const std::u16string expected = u"\xFEFF[M1_TITLE] Caf\u00E9 d\u00E9j\u00E0\r\n[M1_GOAL] Hold the bridge\r\n";
    ASSERT_EQ(file.size(), 2 * expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto unit = static_cast<char16_t>(file[2 * i] | (file[2 * i + 1] << 8));
        ASSERT_EQ(unit, expected[i]) << "unit " << i;
    }

    engine::ScriptReader reader;
    ASSERT_EQ(reader.LoadFromImage(file.data(), file.size(), "Locale/eng.txt"), 1);
    game::StringTable table;
    table.Init();
    EXPECT_EQ(table.ReadTable(1, reader), 2);
    EXPECT_EQ(std::u16string(table.LookupInTable("M1_TITLE", 1).Data()), u"Caf\u00E9 d\u00E9j\u00E0");
    EXPECT_EQ(std::u16string(table.LookupInTable("M1_GOAL", 1).Data()), u"Hold the bridge");
}

TEST(LocaleSource, RefusesWhatTheGameWouldMisreadNamingTheLine) {
    // Two keys of one CRC-32 key (the table keeps only the hash).
    ASSERT_EQ(engine::Crc32OfText("UEJGTCUO"), engine::Crc32OfText("IIWUCOUP"));
    std::string tooMany;
    for (int i = 0; i <= 1024; ++i) tooMany += "[K" + std::to_string(i) + "] text\n";
    struct Case {
        const char* name;
        std::string source;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"a character above 254", "[A] ok\n[B] \xC3\xBF\n", 2, "U+00FF"},
        {"a character the fonts lack", "[A] 5 \xE2\x82\xAC\n", 1, "U+20AC"},
        {"a control character", "[A] tab\x01here\n", 1, "U+0001"},
        {"a cut sequence", "[A] caf\xC3", 1, "not UTF-8"},
        {"a stray continuation byte", "[A] \x80\n", 1, "not UTF-8"},
        {"an overlong encoding", "[A] \xC0\xAF\n", 1, "not UTF-8"},
        {"a comment in a text", "[A] see http://x\n", 1, "\"//\""},
        {"an empty text", "[A] ok\n[B]   \n", 2, "empty text"},
        {"a lower-case key", "[Key] text\n", 1, "not made of A-Z"},
        {"no key", "text\n", 1, "not a \"[KEY] text\" line"},
        {"a key twice", "[A] one\n[B] two\n[A] three\n", 3, "already given on line 1"},
        {"two keys of one CRC key", "[UEJGTCUO] one\n[IIWUCOUP] two\n", 2, "same CRC-32 key"},
        {"a line over 1020 characters", "[A] " + std::string(1017, 'x') + "\n", 1, "longer than 1020"},
        {"more than 1024 entries", tooMany, 1025, "more than 1024 entries"},
    };
    for (const Case& c : cases) {
        std::vector<LocaleEntry> entries;
        LocaleFault fault;
        EXPECT_FALSE(ParseLocaleSource(c.source, entries, fault)) << c.name;
        EXPECT_EQ(fault.line, c.line) << c.name;
        EXPECT_NE(fault.message.find(c.message), std::string::npos) << c.name << ": " << fault.message;
    }
    // Exactly 1020 characters is still a line.
    std::vector<LocaleEntry> entries;
    LocaleFault fault;
    EXPECT_TRUE(ParseLocaleSource("[A] " + std::string(1016, 'x') + "\n", entries, fault)) << fault.message;
}

}  // namespace
