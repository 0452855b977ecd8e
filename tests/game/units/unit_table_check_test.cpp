// The strict check of the unit tables: the project's tables pass, and each seeded fault is named by file,
// row and column.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "game/units/unit_table_check.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

UnitTableText Text(const char* name, const std::string& text) { return {name, {text.begin(), text.end()}}; }

// The text with the first match of the pattern replaced.
std::string Seed(const std::string& text, const std::string& pattern, const std::string& replacement) {
    const std::string seeded =
        std::regex_replace(text, std::regex(pattern), replacement, std::regex_constants::format_first_only);
    EXPECT_NE(seeded, text) << pattern;
    return seeded;
}

TEST(UnitTableCheck, TheProjectTablesPass) {
    const UnitTableText basic = Text("BasicParams.TXT", ProjectTable("BasicParams.TXT"));
    const UnitTableText damage = Text("Damage.TXT", ProjectTable("Damage.TXT"));
    UnitTableFault fault;
    EXPECT_TRUE(CheckUnitTables(&basic, &damage, fault)) << fault.Describe();
}

TEST(UnitTableCheck, EachFaultIsNamedByFileRowAndColumn) {
    const std::string basic = ProjectTable("BasicParams.TXT");
    const std::string damage = ProjectTable("Damage.TXT");
    struct Case {
        const char* name;
        std::string basic;
        std::string damage;
        const char* where;  // file, row and column (or line)
        const char* what;
    };
    const Case cases[] = {
        {"a word for a number", Seed(basic, "(UT_GRUNT, +)25", "$01lots"), damage,
         "BasicParams.TXT: row 17, column 1: ", "lots\" is not a number"},
        {"a fraction where an integer is read", Seed(basic, "(UT_GRUNT(, +[0-9]+){8}, +)50", "$0149.5"), damage,
         "BasicParams.TXT: row 17, column 9: ", "49.5\" is not an integer"},
        {"a fraction in the damage table", basic, Seed(damage, "(UT_FIGHTER, +)20", "$012.5"),
         "Damage.TXT: row 13, column 1: ", "2.5\" is not an integer"},
        {"an armed APC", basic, Seed(damage, "(UT_APC(, +0){22}, +)0", "$015"),
         "Damage.TXT: row 8, column 23: ", "UT_APC cannot attack: its damage row must be all 0"},
        {"an armed door", basic, Seed(damage, "(UT_DOOR(, +0){23}, +)0", "$011"),
         "Damage.TXT: row 24, column 24: ", "UT_DOOR cannot attack"},
        {"an engineer reaching two hexes", Seed(basic, "(UT_ENGINEER(, +[0-9]+){10}, +)1", "$012"), damage,
         "BasicParams.TXT: row 2, column 11: ", "ENGINEER range must end at 1"},
        {"a fighter that cannot cross water", Seed(basic, "(UT_FIGHTER(, +[0-9]+){5}, +)5", "$010"), damage,
         "BasicParams.TXT: row 13, column 6: ", "UT_FIGHTER must be able to fly over obstacles"},
        {"a skyhook stopped by obstacles", Seed(basic, "(UT_SKYHOOK, +[0-9]+, +)5", "$010"), damage,
         "BasicParams.TXT: row 11, column 2: ", "UT_SKYHOOK must be able"},
        {"a damage keyword out of order", basic, Seed(damage, "UT_SNIPER,", "UT_SNIPERS,"),
         "Damage.TXT: row 14, column 0: ", "keyword \"UT_SNIPERS\", expected \"UT_SNIPER\""},
        {"a header of the wrong width", Seed(basic, "VsShip", "VsShip, Extra"), damage,
         "BasicParams.TXT: row 0, column 20: ", "21 cells, expected 20"},
        {"an empty damage cell", basic, Seed(damage, "(UT_GRUNT,) +25,", "$01,"),
         "Damage.TXT: row 17, column 24: ", "24 cells, expected 25"},
        {"a missing row", Seed(basic, "UT_DOOR", "// UT_DOOR"), damage,
         "BasicParams.TXT: row 24: ", "24 rows, expected 25"},
        {"a line too long", basic, Seed(damage, "(UT_AEGIS,)", "$01" + std::string(1000, ' ')),
         "Damage.TXT: line 25: ", "line longer than 1022 characters"},
        {"text that is not ASCII", Seed(basic, "VsShip", "VsSh\xC3\xAEp"), damage,
         "BasicParams.TXT: line 6: ", "not ASCII"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UnitTableText basicText = Text("BasicParams.TXT", c.basic);
        const UnitTableText damageText = Text("Damage.TXT", c.damage);
        UnitTableFault fault;
        EXPECT_FALSE(CheckUnitTables(&basicText, &damageText, fault));
        const std::string described = fault.Describe();
        EXPECT_EQ(described.rfind(c.where, 0), 0u) << described;
        EXPECT_NE(described.find(c.what), std::string::npos) << described;
    }
}

TEST(UnitTableCheck, AMissingFileIsNamed) {
    const UnitTableText basic = Text("BasicParams.TXT", ProjectTable("BasicParams.TXT"));
    UnitTableFault fault;
    EXPECT_FALSE(CheckUnitTables(&basic, nullptr, fault));
    EXPECT_EQ(fault.Describe(), "Units/Damage: missing (neither .TXT nor .CSV)");
    EXPECT_FALSE(CheckUnitTables(nullptr, &basic, fault));
    EXPECT_EQ(fault.file, "Units/BasicParams");
}

}  // namespace
}  // namespace units_test
