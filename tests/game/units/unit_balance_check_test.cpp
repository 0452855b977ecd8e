// The balance rules of the unit tables: the project's tables keep them, and tables that break one rule once
// are refused with the row and column to blame.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "game/units/unit_balance_check.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

UnitTableText Text(const char* name, const std::string& text) { return {name, {text.begin(), text.end()}}; }

std::string Seed(const std::string& text, const std::string& pattern, const std::string& replacement) {
    const std::string seeded =
        std::regex_replace(text, std::regex(pattern), replacement, std::regex_constants::format_first_only);
    EXPECT_NE(seeded, text) << pattern;
    return seeded;
}

std::vector<UnitTableFault> Check(const std::string& basic, const std::string& damage) {
    std::vector<UnitTableFault> faults;
    const bool ok = CheckUnitBalance(Text("BasicParams.TXT", basic), Text("Damage.TXT", damage), faults);
    EXPECT_EQ(ok, faults.empty());
    return faults;
}

std::string Describe(const std::vector<UnitTableFault>& faults) {
    std::string text;
    for (const UnitTableFault& fault : faults) text += fault.Describe() + "\n";
    return text;
}

TEST(UnitBalanceCheck, TheProjectTablesKeepEveryRule) {
    const auto faults = Check(ProjectTable("BasicParams.TXT"), ProjectTable("Damage.TXT"));
    EXPECT_TRUE(faults.empty()) << Describe(faults);
}

TEST(UnitBalanceCheck, EachBrokenRuleIsNamedOnce) {
    const std::string basic = ProjectTable("BasicParams.TXT");
    const std::string damage = ProjectTable("Damage.TXT");
    // Cell n of a BasicParams row: "(UT_X(, +[0-9]+){n-1}, +)value".
    struct Case {
        const char* name;
        std::string basic;
        std::string damage;
        const char* fault;  // the one fault expected, from the file name on
    };
    const Case cases[] = {
        {"a trooper at a grunt's price outclasses it", Seed(basic, "(UT_TROOPER(, +[0-9]+){8}, +)100", "$0150"), damage,
         "BasicParams.TXT: row 1, column 9: UT_TROOPER is at least as good as UT_GRUNT"},
        {"a grunt too cheap for any counter", Seed(basic, "(UT_GRUNT(, +[0-9]+){8}, +)50", "$0110"), damage,
         "Damage.TXT: row 17, column 0: UT_GRUNT has no counter"},
        {"a light tank rated below weaker infantry killers", Seed(basic, "(UT_LIGHT_TANK(, +[0-9]+){15}, +)4", "$013"),
         damage, "BasicParams.TXT: row 3, column 16: UT_LIGHT_TANK is rated 3 below UT_MLRS's 4"},
        {"a grunt above the computer's threshold", Seed(basic, "(UT_GRUNT(, +[0-9]+){8}, +)50", "$0160"), damage,
         "BasicParams.TXT: row 17, column 9: UT_GRUNT costs 60, above the computer player's threshold of 50"},
        {"a general cheaper than a super soldier", Seed(basic, "(UT_GENERAL(, +[0-9]+){8}, +)500", "$01400"), damage,
         "BasicParams.TXT: row 22, column 9: UT_GENERAL costs 400, not more than UT_SUPERSOLDIER's 400"},
        {"a road no faster than land", Seed(basic, "(UT_TROOPER(, +[0-9]+){3}, +)4", "$015"), damage,
         "BasicParams.TXT: row 1, column 4: UT_TROOPER: a road costs 5, not less than plain land's 5"},
        {"a ford as easy as land", Seed(basic, "(UT_GRUNT(, +[0-9]+){7}, +)8", "$015"), damage,
         "BasicParams.TXT: row 17, column 8: UT_GRUNT: a ford costs 5, not more than plain land's 5"},
        {"a sniper too slow to leave a ferry", Seed(basic, "(UT_SNIPER, +)20", "$0115"), damage,
         "BasicParams.TXT: row 14, column 1: UT_SNIPER: an allowance of 15, under the 20"},
    };
    for (const Case& c : cases) {
        const auto faults = Check(c.basic, c.damage);
        ASSERT_EQ(faults.size(), 1u) << c.name << ":\n" << Describe(faults);
        EXPECT_NE(faults[0].Describe().find(c.fault), std::string::npos) << c.name << ": " << faults[0].Describe();
    }
}

}  // namespace
}  // namespace units_test
