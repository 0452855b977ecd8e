#include <gtest/gtest.h>

#include <string>

#include "engine/core/crc32.h"
#include "engine/core/language_info.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/scoped_env.h"
#include "game/core/string_table.h"
#include "support/temp_folder.h"

namespace {

using game::StringTable;

enum class Encoding { kEightBit, kUtf16LittleEndian };

std::u16string Text(const engine::WideString& text) { return std::u16string(text.Data()); }

// Locale files in a temporary data folder, written in the test's encoding: 8-bit (each character one byte,
// so the text must stay below 256) or UTF-16LE with its byte-order mark.
class StringTableTest : public ::testing::TestWithParam<Encoding> {
protected:
    StringTableTest() {
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(folder_.Path().c_str());
    }
    ~StringTableTest() override { engine::SetBaseFolderNarrow(""); }

    void Put(const std::string& name, const std::u16string& text) {
        std::string bytes;
        if (GetParam() == Encoding::kUtf16LittleEndian) {
            bytes = "\xFF\xFE";
            for (char16_t c : text) {
                bytes += static_cast<char>(c & 0xFF);
                bytes += static_cast<char>(c >> 8);
            }
        } else {
            for (char16_t c : text) {
                ASSERT_LT(c, 256) << "not an 8-bit text";
                bytes += static_cast<char>(c);
            }
        }
        ASSERT_TRUE(folder_.Write("Data/PC/" + name, bytes.data(), bytes.size())) << name;
    }
    void PutGlobal(const std::u16string& text) { Put("Locale/eng.txt", text); }

    // Loads table 0 as an English system does.
    void Load() { table.Load(engine::LanguageInfo::FromLocaleName("en_GB")); }

    testsupport::TempFolder folder_;
    StringTable table;
};

INSTANTIATE_TEST_SUITE_P(Encodings, StringTableTest,
                         ::testing::Values(Encoding::kEightBit, Encoding::kUtf16LittleEndian),
                         [](const auto& info) { return info.param == Encoding::kEightBit ? "EightBit" : "Utf16"; });

TEST_P(StringTableTest, GlobalTextsComeFirstAndKeysMatchWithCase) {
    PutGlobal(u"// global texts\n[GEN_BACK] Back   // the back button\n\n[GEN_OK]\tOK\n");
    Put("Camp/Locale/eng.txt", u"[GEN_BACK] Retreat\r\n[CAMP_NAME] First campaign\r\n");
    Load();
    EXPECT_EQ(table.GetLanguageBits(), 1);
    ASSERT_TRUE(table.LoadCampaignTexts(1, "Camp"));
    EXPECT_EQ(table.GetRowCount(0), 2);
    EXPECT_EQ(table.GetRowCount(1), 2);

    EXPECT_EQ(Text(table.Lookup("GEN_BACK")), u"Back");
    EXPECT_EQ(Text(table.Lookup("GEN_OK")), u"OK");
    EXPECT_EQ(Text(table.Lookup("CAMP_NAME")), u"First campaign");
    EXPECT_EQ(Text(table.LookupInTable("GEN_BACK", 1)), u"Retreat");
    EXPECT_EQ(Text(table.LookupInTable("CAMP_NAME", 0)), u"No String");
    EXPECT_EQ(Text(table.Lookup("gen_back")), u"No String");
    EXPECT_EQ(Text(table.Lookup("GEN_MISSING")), u"No String");
    EXPECT_EQ(Text(table.Lookup(nullptr)), u"No String");
    EXPECT_EQ(Text(table.LookupInTable("GEN_BACK", 2)), u"No String");
}

TEST_P(StringTableTest, KeysWithTheSameCrcKeyAreAnsweredByTheFirstRow) {
    ASSERT_EQ(engine::Crc32OfText("GEN_PIRLYMUEC"), 0x3FB21813u);
    ASSERT_EQ(engine::Crc32OfText("GEN_JSDBRQFKG"), 0x3FB21813u);
    PutGlobal(u"[GEN_PIRLYMUEC] first\n[GEN_JSDBRQFKG] second\n");
    Load();
    EXPECT_EQ(table.GetRowCount(0), 2);
    EXPECT_EQ(Text(table.Lookup("GEN_PIRLYMUEC")), u"first");
    EXPECT_EQ(Text(table.Lookup("GEN_JSDBRQFKG")), u"first");
}

TEST_P(StringTableTest, ACampaignsTextsReplaceTheLastOnes) {
    PutGlobal(u"[GEN_BACK] Back\n");
    Put("One/Locale/eng.txt", u"[CAMP_A] a\n[CAMP_ONLY_ONE] one\n");
    Put("Two/Locale/eng.txt", u"[CAMP_A] b\n");
    Load();
    ASSERT_TRUE(table.LoadCampaignTexts(1, "One"));
    const engine::WideString held = table.Lookup("CAMP_A");

    ASSERT_TRUE(table.LoadCampaignTexts(1, "Two"));
    EXPECT_EQ(table.GetRowCount(1), 1);
    EXPECT_EQ(Text(table.Lookup("CAMP_A")), u"b");
    EXPECT_EQ(Text(table.Lookup("CAMP_ONLY_ONE")), u"No String");
    EXPECT_EQ(Text(held), u"a") << "a text looked up before the switch is the caller's own copy";

    // A campaign without texts leaves table 1 empty; table 0 belongs to the global load.
    EXPECT_FALSE(table.LoadCampaignTexts(1, "Three"));
    EXPECT_EQ(table.GetRowCount(1), 0);
    EXPECT_EQ(Text(table.Lookup("CAMP_A")), u"No String");
    EXPECT_FALSE(table.LoadCampaignTexts(0, "Two"));
    EXPECT_EQ(Text(table.Lookup("GEN_BACK")), u"Back");
}

TEST_P(StringTableTest, AnEmptyKeyOrTextEndsTheFile) {
    const std::u16string longLine(1023, u'x');
    struct Case {
        const char* what;
        std::u16string text;
    };
    const Case cases[] = {
        {"key alone on its line", u"[A] a\n[B] b\n[C]\n[D] d\n"},
        {"key followed by a comment", u"[A] a\n[B] b\n[C]   // none yet\n[D] d\n"},
        {"key at the end", u"[A] a\n[B] b\n[C]"},
        {"empty key", u"[A] a\n[B] b\n[] c\n[D] d\n"},
        {"line too long", u"[A] a\n[B] b\n[C] " + longLine + u"\n[D] d\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutGlobal(c.text);
        Load();
        EXPECT_EQ(table.GetRowCount(0), 2);
        EXPECT_EQ(Text(table.Lookup("B")), u"b");
        EXPECT_EQ(Text(table.Lookup("D")), u"No String");
    }
}

TEST_P(StringTableTest, AMissingGlobalFileLeavesEveryKeyUnknown) {
    Load();
    EXPECT_EQ(table.GetLanguageBits(), 0);
    EXPECT_EQ(table.GetRowCount(0), 0);
    EXPECT_EQ(Text(table.Lookup("GEN_BACK")), u"No String");
}

TEST_P(StringTableTest, AccentsAndMarkupSurvive) {
    PutGlobal(u"[GEN_CAFE] Caf\u00e9 @C[4]open@C[0] @X[000] \\n@J[80]end\n");
    Load();
    const engine::WideString text = table.Lookup("GEN_CAFE");
    EXPECT_EQ(Text(text), u"Caf\u00e9 @C[4]open@C[0] @X[000] \\n@J[80]end");
    EXPECT_EQ(text.Data()[3], u'\u00e9') << "one character, not two bytes";
}

TEST_P(StringTableTest, EntriesBeyondTheLastRowAreLeftOut) {
    std::u16string text;
    for (int i = 0; i < 1030; ++i) {
        const std::string line = "[K" + std::to_string(i) + "] text " + std::to_string(i) + "\n";
        text.append(line.begin(), line.end());
    }
    PutGlobal(text);
    Load();
    EXPECT_EQ(table.GetRowCount(0), StringTable::kRowCount);
    EXPECT_EQ(Text(table.Lookup("K1023")), u"text 1023");
    EXPECT_EQ(Text(table.Lookup("K1024")), u"No String");
    EXPECT_EQ(Text(table.Lookup("K1029")), u"No String");
}

TEST_P(StringTableTest, LanguageBitsKeepOnlyTheTranslatedLanguages) {
    PutGlobal(u"[GEN_BACK] Back\n");
    platformtest::ScopedEnv all("LC_ALL", nullptr);
    platformtest::ScopedEnv messages("LC_MESSAGES", nullptr);
    const std::pair<const char*, int> cases[] = {
        {"de_DE.UTF-8", 8}, {"fr_FR", 32}, {"es_ES", 64}, {"it_IT", 128},
        {"en_US", 1},       {"ja_JP", 1},  {"nl_NL", 1},  {"C", 1},
    };
    for (const auto& [locale, bits] : cases) {
        SCOPED_TRACE(locale);
        platformtest::ScopedEnv lang("LANG", locale);
        table.Load();
        EXPECT_EQ(table.GetLanguageBits(), bits);
        EXPECT_EQ(Text(table.Lookup("GEN_BACK")), u"Back") << "every language reads the same file";
    }
}

}  // namespace
