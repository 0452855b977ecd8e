#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "textkeys/key_inventory.h"

namespace {

using textkeys::BuildInventory;
using textkeys::ExpandFamily;
using textkeys::FamilyRule;
using textkeys::Inventory;
using textkeys::NotKeys;

bool HasFault(const Inventory& inventory, const std::string& part) {
    return std::any_of(inventory.faults.begin(), inventory.faults.end(),
                       [&](const std::string& fault) { return fault.find(part) != std::string::npos; });
}

TEST(KeyInventory, TheScanFindsKeyLiteralsOutsideComments) {
    const std::string code = R"code(
        // "IN_A_COMMENT"
        /* "IN_A_BLOCK" */
        const char* a = "GEN_BACK";
        const char* b = "mixed Case";
        const char* c = R"(RAW_TEXT)";
        int d = 1'000;
        const char* e = "LOSE_%s";
        const char* f = "SAY \"QUOTED\"";
        char g = '"';
        const char* h = "DLC_SPEECH_PACK%i_TITLE";
    )code";
    const std::vector<std::string> expected = {"GEN_BACK", "LOSE_%s", "DLC_SPEECH_PACK%i_TITLE"};
    EXPECT_EQ(textkeys::ScanKeyLiterals(code), expected);
}

TEST(KeyInventory, FamiliesExpandFromTheGamesTables) {
    struct Case {
        FamilyRule rule;
        std::size_t count;
        std::string first;
        std::string last;
    };
    const Case cases[] = {
        {{"UT_", "UT_%s", "units"}, 24, "UT_TROOPER", "UT_DOOR"},
        {{"UTD_", "UTD_%s", "units"}, 24, "UTD_TROOPER", "UTD_DOOR"},
        {{"LOSE_%s", "LOSE_%s", "winlose"}, 24, "LOSE_WLC_NULL", "LOSE_WLC_NO_ALLIED_SKIRMISH"},
        {{"ACH_", "ACH_%s_TITLE", "achievements"}, 16, "ACH_VIEWCREDITS_TITLE", "ACH_BANK_5000_TITLE"},
        {{"ACH_", "ACH_%s_DESC_NOTEARNED", "achievements"}, 16, "ACH_VIEWCREDITS_DESC_NOTEARNED",
         "ACH_BANK_5000_DESC_NOTEARNED"},
        {{"ANN_ALLY%iTURN", "ANN_ALLY%iTURN", "1..3"}, 3, "ANN_ALLY1TURN", "ANN_ALLY3TURN"},
        {{"DLC_SPEECH_PACK%i_TITLE", "DLC_SPEECH_PACK%i_TITLE", "0..5"}, 6, "DLC_SPEECH_PACK0_TITLE",
         "DLC_SPEECH_PACK5_TITLE"},
        {{"SET_", "SET_%s_ON", "SPEECH,WEATHER"}, 2, "SET_SPEECH_ON", "SET_WEATHER_ON"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> keys;
        std::string error;
        ASSERT_TRUE(ExpandFamily(c.rule, keys, error)) << c.rule.pattern << ": " << error;
        ASSERT_EQ(keys.size(), c.count) << c.rule.pattern;
        EXPECT_EQ(keys.front(), c.first);
        EXPECT_EQ(keys.back(), c.last);
    }
}

TEST(KeyInventory, MalformedFamilyRulesAreRefused) {
    const FamilyRule rules[] = {
        {"X_", "X_%s", "weather"},        // unknown source
        {"X_", "X_%i", "units"},          // a number pattern with names
        {"X_", "X_%s", "1..3"},           // a name pattern with a range
        {"X_", "X_%s_%s", "units"},       // two blanks
        {"X_", "X_PLAIN", "units"},       // no blank
        {"X_", "X_%i", "5..2"},           // an empty range
    };
    for (const FamilyRule& rule : rules) {
        std::vector<std::string> keys;
        std::string error;
        EXPECT_FALSE(ExpandFamily(rule, keys, error)) << rule.pattern << " " << rule.source;
        EXPECT_FALSE(error.empty());
    }
}

TEST(KeyInventory, EachLiteralIsATextAFamilyOrANonKey) {
    NotKeys notKeys;
    notKeys.Parse("# file keywords\nWLC_* RIFF\n");
    const std::vector<FamilyRule> rules = {{"ANN_ALLY%iTURN", "ANN_ALLY%iTURN", "1..3"}};
    const std::set<std::string> locale = {"GEN_BACK", "ANN_ALLY1TURN"};
    const Inventory good = BuildInventory(
        {{"ANN_ALLY%iTURN", "a.cpp:1"}, {"GEN_BACK", "a.cpp:2"}, {"RIFF", "b.cpp:3"}, {"WLC_CHEAT", "b.cpp:4"}}, rules,
        notKeys, locale);
    EXPECT_TRUE(good.faults.empty());
    const std::vector<std::string> keys = {"ANN_ALLY1TURN", "ANN_ALLY2TURN", "ANN_ALLY3TURN", "GEN_BACK"};
    std::vector<std::string> found;
    for (const auto& [key, where] : good.keys) found.push_back(key);
    EXPECT_EQ(found, keys);
    EXPECT_EQ(good.keys.at("GEN_BACK"), "a.cpp:2");

    // A key with no text, and a format with no rule, fail naming the literal and its place.
    const Inventory bad = BuildInventory({{"GEN_FORWARD", "c.cpp:7"}, {"DAY%i_END", "d.cpp:9"}}, rules, notKeys, locale);
    ASSERT_EQ(bad.faults.size(), 2u);
    EXPECT_TRUE(HasFault(bad, "c.cpp:7: \"GEN_FORWARD\" has no text"));
    EXPECT_TRUE(HasFault(bad, "d.cpp:9: \"DAY%i_END\" is a key format with no family rule"));
}

// A small project tree: one source file, the rule files and the locale source.
class FixtureTree {
public:
    FixtureTree(const std::string& code, const std::string& notKeys) {
        Put("src/game/screens/new_zone.cpp", code);
        Put("tools/src/textkeys_families.txt", "UT_ UT_%s units\n");
        Put("tools/src/textkeys_not_keys.txt", notKeys);
        Put("data/Locale/eng.txt", "[GEN_BACK] Back\n");
    }
    std::string Root() const { return folder_.Path().string(); }

private:
    void Put(const std::string& name, const std::string& text) { ASSERT_TRUE(folder_.Write(name, text.data(), text.size())); }
    testsupport::TempFolder folder_;
};

TEST(KeyInventory, ANewKeyWithoutItsTextFailsTheScanUntilListedAsANonKey) {
    const std::string code = "const char* a = \"GEN_BACK\";\nconst char* b = \"NEW_BUTTON\";\n";
    const Inventory missing = textkeys::ScanProject(FixtureTree(code, "RIFF\n").Root());
    ASSERT_EQ(missing.faults.size(), 1u);
    EXPECT_TRUE(HasFault(missing, "src/game/screens/new_zone.cpp:2: \"NEW_BUTTON\" has no text"));

    const Inventory listed = textkeys::ScanProject(FixtureTree(code, "RIFF NEW_BUTTON\n").Root());
    EXPECT_TRUE(listed.faults.empty());
    EXPECT_EQ(listed.keys.size(), 1u);
}

}  // namespace
