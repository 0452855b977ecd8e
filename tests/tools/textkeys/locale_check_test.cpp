#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/script_reader.h"
#include "game/core/string_table.h"
#include "textkeys/key_inventory.h"
#include "textkeys/locale_check.h"
#include "textkeys/locale_source.h"
#include "textkeys/text_rules.h"

namespace {

using textkeys::CheckTextRules;
using textkeys::LocaleEntry;
using textkeys::TextTable;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kGlobalSource = std::string(TINMARCH_SOURCE_DIR) + "/data/Locale/eng.txt";

std::vector<LocaleEntry> Parse(const std::string& source) {
    std::vector<LocaleEntry> entries;
    textkeys::LocaleFault fault;
    EXPECT_TRUE(textkeys::ParseLocaleSource(source, entries, fault)) << fault.line << ": " << fault.message;
    return entries;
}

// Table 0 read from the file the data build would write for these entries.
void LoadGlobal(game::StringTable& table, const std::vector<LocaleEntry>& entries) {
    const std::vector<std::uint8_t> file = textkeys::EncodeLocaleFile(entries);
    engine::ScriptReader reader;
    ASSERT_EQ(reader.LoadFromImage(file.data(), file.size(), "Locale/eng.txt"), 1);
    table.Init();
    table.ReadTable(0, reader);
}

std::string Narrow(const game::StringTable& table, const char* key) { return table.Lookup(key).GetNarrow(); }

TEST(TextRules, MarkupPercentTabsAndLineBreaksAreRefusedWhereTheyWouldMisdraw) {
    struct Case {
        const char* key;
        std::u16string text;
        TextTable table;
        bool passes;
    };
    const Case cases[] = {
        {"GEN_BACK", u"@C[5]Back", TextTable::kGlobal, false},
        {"GEN_BACK", u"@C[4]Back", TextTable::kGlobal, true},
        {"GEN_BUY", u"Buy @X[99]", TextTable::kGlobal, false},
        {"GEN_BUY", u"Buy @X[15]", TextTable::kGlobal, true},
        {"WIN_CONGRATS_G", u"Great @X[1]", TextTable::kGlobal, false},
        {"WIN_CONGRATS_G", u"Great @X[0]", TextTable::kGlobal, true},
        {"GEN_BACK", u"Back @ home", TextTable::kGlobal, false},
        {"GEN_BACK", u"Back @", TextTable::kGlobal, false},
        {"GEN_BACK", u"100% back", TextTable::kGlobal, false},
        {"GEN_BACK", u"Go\tback", TextTable::kGlobal, false},
        {"GEN_BACK", u"Go\\nback", TextTable::kGlobal, false},
        {"GEN_BACK", u"Mail @@ home", TextTable::kGlobal, true},
        {"GEN_BACK", u"Name@J[80]Cost", TextTable::kGlobal, true},
        {"DESC_SKIRMISH", u"Pick a map\\nand fight", TextTable::kGlobal, true},
        {"DESC_DIFF_HARD", u"Sharp\\nenemy", TextTable::kGlobal, true},
        {"M01_MAP", u"Training ground\\nMarch", TextTable::kCampaign, true},
        {"M01_C1", u"Welcome\\nrecruit", TextTable::kCampaign, false},
    };
    for (const Case& c : cases) {
        const std::string reason = CheckTextRules(c.key, c.text, c.table);
        EXPECT_EQ(reason.empty(), c.passes) << c.key << ": " << std::string(c.text.begin(), c.text.end()) << ": " << reason;
    }
}

TEST(LocaleCheck, TheRoundTripCatchesTextsTheTableReadsDifferently) {
    // Written past the source parser, as a hand-edited file would be: trailing blanks and a comment cut.
    const std::vector<LocaleEntry> entries = {
        {"GEN_YES", u"Yes", 1}, {"GEN_NO", u"No  ", 2}, {"GEN_DONE", u"See a//b", 3}};
    game::StringTable table;
    LoadGlobal(table, entries);
    std::vector<std::string> faults;
    textkeys::CheckRoundTrip(table, 0, entries, TextTable::kGlobal, "eng.txt", faults);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_NE(faults[0].find("eng.txt:2: GEN_NO"), std::string::npos) << faults[0];
    EXPECT_NE(faults[1].find("eng.txt:3: GEN_DONE"), std::string::npos) << faults[1];
}

TEST(LocaleCheck, RemovingOneTextFailsNamingItsKey) {
    const textkeys::Inventory inventory = textkeys::ScanProject(TINMARCH_SOURCE_DIR);
    ASSERT_TRUE(inventory.faults.empty()) << inventory.faults.front();
    std::set<std::string> keys;
    for (const auto& [key, where] : inventory.keys) keys.insert(key);
    const std::vector<LocaleEntry> all = Parse(ReadFile(kGlobalSource));

    // One key of each family in the code, and plain keys.
    for (const std::string removed : {"UT_GRUNT", "UTL_SNIPER", "UTD_DOOR", "ACH_KILLS_100_TITLE",
                                      "ACH_MILLIONAIRE_DESC_EARNED", "ANN_ALLY2TURN", "MC_ATTACK", "GEN_CANCEL"}) {
        ASSERT_EQ(keys.count(removed), 1u) << removed;
        std::vector<LocaleEntry> copy;
        for (const LocaleEntry& entry : all) {
            if (entry.key != removed) copy.push_back(entry);
        }
        ASSERT_EQ(copy.size() + 1, all.size()) << removed;
        game::StringTable table;
        LoadGlobal(table, copy);
        std::vector<std::string> faults;
        textkeys::CheckResolved(table, keys, faults);
        ASSERT_EQ(faults.size(), 1u) << removed;
        EXPECT_EQ(faults[0], removed + ": no text in Locale/eng.txt");
    }
}

TEST(LocaleCheck, EveryShippedTextIsAskedForAndALeftoverTextFailsNamingItsLine) {
    const textkeys::Inventory inventory = textkeys::ScanProject(TINMARCH_SOURCE_DIR);
    std::set<std::string> keys;
    for (const auto& [key, where] : inventory.keys) keys.insert(key);
    std::vector<LocaleEntry> entries = Parse(ReadFile(kGlobalSource));
    std::vector<std::string> faults;
    textkeys::CheckUsed(entries, keys, faults);
    EXPECT_TRUE(faults.empty()) << faults.front();

    // A text whose key left the code, and a unit text of a keyword the catalogue does not have.
    entries.push_back({"MM_OLDBUTTON", u"Old", 900});
    entries.push_back({"UT_DRAGON", u"Dragon", 901});
    faults.clear();
    textkeys::CheckUsed(entries, keys, faults);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0], "data/Locale/eng.txt:900: MM_OLDBUTTON: no code asks for this text");
    EXPECT_NE(faults[1].find(":901: UT_DRAGON"), std::string::npos) << faults[1];
}

// The sentences the result screens build from several texts read as English.
TEST(LocaleTexts, JoinedTextsMakeTheResultSentences) {
    game::StringTable table;
    LoadGlobal(table, Parse(ReadFile(kGlobalSource)));
    const auto win = [&](const char* medal, int days) {
        std::string sentence = Narrow(table, "WIN_OWNAGE_YOU") + " " + Narrow(table, medal);
        if (std::string(medal) != "WIN_WOOD") {
            sentence += " " + std::to_string(days) + " " + Narrow(table, days == 1 ? "GEN_DAY1" : "GEN_DAYS") + " " +
                        Narrow(table, "WIN_REMAINING");
        }
        return sentence;
    };
    EXPECT_EQ(win("WIN_GOLD", 1), "You won the battle and earned a gold medal with 1 day to spare.");
    EXPECT_EQ(win("WIN_GOLD", 3), "You won the battle and earned a gold medal with 3 days to spare.");
    EXPECT_EQ(win("WIN_SILVER", 1), "You won the battle and earned a silver medal with 1 day to spare.");
    EXPECT_EQ(win("WIN_SILVER", 3), "You won the battle and earned a silver medal with 3 days to spare.");
    EXPECT_EQ(win("WIN_BRONZE", 1), "You won the battle and earned a bronze medal with 1 day to spare.");
    EXPECT_EQ(win("WIN_BRONZE", 3), "You won the battle and earned a bronze medal with 3 days to spare.");
    EXPECT_EQ(win("WIN_WOOD", 1), "You won the battle and earned a wooden medal.");
    EXPECT_EQ(win("WIN_WOOD", 3), "You won the battle and earned a wooden medal.");

    const std::string survival = Narrow(table, "WIN_SURVIVOR1") + " " + std::to_string(5) + " " +
                                 Narrow(table, "GEN_DAYS") + ", " + Narrow(table, "WIN_SURVIVOR2");
    EXPECT_EQ(survival, "You held out for 5 days, and the line still stands.");
    EXPECT_EQ(Narrow(table, "GEN_BUY") + " @X[000]" + "450", "Buy @X[000]450");
    EXPECT_EQ("@C[3]50 " + Narrow(table, "ACH_POINTS"), "@C[3]50 points");
}

}  // namespace
