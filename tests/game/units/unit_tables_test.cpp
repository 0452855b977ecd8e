// The unit tables: fixture tables read into the records by their column map, the shapes the loader
// refuses (leaving everything zero), the range-checked lookups, the texts by keyword and the project's
// own tables.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "game/units/unit_assets.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_tables.h"
#include "game/units/unit_texts.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

// Fixture figures of a type: every column distinct, so that a shifted column shows.
std::string BasicRow(int type, const std::string& separator) {
    const std::string t = std::to_string(type);
    std::string row = FindUnitDescriptor(type)->keyword;
    const std::string cells[19] = {t + ".5", "1." + t, "2", "3", "4", "5", "6", "7.25", std::to_string(type * 10),
                                   "1", t, type % 2 == 0 ? "5" : "0", std::to_string(type * 4) + ".5",
                                   std::to_string(type + 100), "20", "1", "2", "3", "4"};
    for (const std::string& cell : cells) row += separator + cell;
    return row;
}

std::string DamageRow(int attacker, const std::string& separator) {
    std::string row = FindUnitDescriptor(attacker)->keyword;
    for (int defender = 1; defender <= 24; ++defender) row += separator + std::to_string((attacker + defender) % 41);
    return row;
}

// A header, comments, and rows whose separators alternate between ", " and a tab.
std::string FixtureBasic() {
    std::string text =
        "// figures\nType\tMove\tObstacle,Raised,Pad,Land,Water,Shore,Second,Cost,Min,Max,Sight,Fuel,Ammo,"
        "Ticks,VsInf,VsVeh,VsAir,VsShip\n";
    for (int type = 1; type <= 24; ++type) {
        text += BasicRow(type, type % 2 == 0 ? "\t" : ", ");
        text += type == 5 ? "  // a comment after the row\n" : "\n";
        if (type == 12) text += "\n// a comment line between rows\n";
    }
    return text;
}

std::string FixtureDamage() {
    std::string text = "Attacker";
    for (int defender = 1; defender <= 24; ++defender) text += "," + std::string(FindUnitDescriptor(defender)->keyword);
    text += "\n";
    for (int attacker = 1; attacker <= 24; ++attacker)
        text += DamageRow(attacker, attacker % 3 == 0 ? "\t" : ",") + "\n";
    return text;
}

void ExpectFixtureRecords() {
    for (int type = 1; type <= 24; ++type) {
        SCOPED_TRACE(type);
        const UnitParams& p = GetUnitParams(type);
        EXPECT_FLOAT_EQ(p.moveAllowance, static_cast<float>(type) + 0.5f);
        EXPECT_FLOAT_EQ(p.moveCost[0], std::stof("1." + std::to_string(type)));
        EXPECT_FLOAT_EQ(p.moveCost[1], 2.0f);
        EXPECT_FLOAT_EQ(p.moveCost[6], 7.25f);
        EXPECT_EQ(p.cost, type * 10);
        EXPECT_EQ(GetUnitTypeCost(type), type * 10);
        EXPECT_EQ(p.minRange, 1);
        EXPECT_EQ(p.maxRange, type);
        EXPECT_EQ(p.lineOfSight, type % 2 == 0 ? 1 : 0);  // a cell of 5 is stored as 1
        EXPECT_FLOAT_EQ(p.fuelCapacity, static_cast<float>(type * 4) + 0.5f);
        EXPECT_EQ(p.ammoCapacity, type + 100);
        EXPECT_EQ(p.stepTicks, 20);
        EXPECT_EQ(p.vsInfantry, 1);
        EXPECT_EQ(p.vsVehicles, 2);
        EXPECT_EQ(p.vsAirborne, 3);
        EXPECT_EQ(p.vsShips, 4);
        for (int defender = 1; defender <= 24; ++defender) {
            EXPECT_FLOAT_EQ(DamageTableLookup(type, defender, 0), static_cast<float>((type + defender) % 41) * 0.01f);
        }
    }
}

bool EverythingZero() {
    for (int type = 0; type < kUnitTypeCount; ++type) {
        const UnitParams& p = GetUnitParams(type);
        if (p.moveAllowance != 0.0f || p.cost != 0 || p.moveCost[3] != 0.0f || p.fuelCapacity != 0.0f ||
            p.maxRange != 0 || p.vsShips != 0) {
            return false;
        }
        for (int defender = 0; defender < kUnitTypeCount; ++defender) {
            if (DamageTableLookup(type, defender, 0) != 0.0f) return false;
        }
    }
    return true;
}

class UnitTablesTest : public ::testing::Test {
protected:
    void TearDown() override {
        FreeUnitAssets();
        GetUnitTables().Clear();
    }
    int Load() { return LoadUnitAssets(battle, nullptr); }

    DataFolder data;
    FakeUnitBattle battle;
};

TEST_F(UnitTablesTest, FixtureTablesLoadByTheColumnMap) {
    ASSERT_TRUE(data.Write("Units/BasicParams.TXT", FixtureBasic()));
    ASSERT_TRUE(data.Write("Units/Damage.TXT", FixtureDamage()));
    EXPECT_EQ(Load(), 1);
    ExpectFixtureRecords();
}

TEST_F(UnitTablesTest, CsvFilesAreReadWhenThereIsNoTxt) {
    ASSERT_TRUE(data.Write("Units/BasicParams.CSV", FixtureBasic()));
    ASSERT_TRUE(data.Write("Units/Damage.CSV", FixtureDamage()));
    EXPECT_EQ(Load(), 1);
    ExpectFixtureRecords();
}

std::string ReplaceLine(std::string text, const std::string& startsWith, const std::string& replacement) {
    const std::size_t at = text.find("\n" + startsWith) + 1;
    const std::size_t end = text.find('\n', at);
    return text.replace(at, end - at, replacement);
}

// Each damaged table makes the load fail, and what an earlier load filled in is zero again.
TEST_F(UnitTablesTest, RefusedTablesLeaveEverythingZero) {
    const std::string basic = FixtureBasic();
    const std::string damage = FixtureDamage();
    std::string longRow = BasicRow(10, ",");
    longRow.insert(longRow.find(',') + 1, std::string(1100, ' '));
    struct Case {
        const char* name;
        std::string basic;  // "" = no file
        std::string damage;
    };
    const Case cases[] = {
        {"empty BasicParams cell", ReplaceLine(basic, "UT_APC", "UT_APC,45,,0,3,6,0,7,0,100,0,0,0,240,0,20,0,0,0,0"),
         damage},
        {"empty Damage cell", basic,
         ReplaceLine(damage, "UT_GRUNT",
                     "UT_GRUNT,1,2,,4,5,6,7,8,9,10,11,12,13,14,15,16,"
                     "17,18,19,20,21,22,23,24")},
        {"line of 1023 characters or more", ReplaceLine(basic, "UT_FERRY", longRow), damage},
        {"missing BasicParams", "", damage},
        {"missing Damage", basic, ""},
        {"24 rows", ReplaceLine(basic, "UT_DOOR", "// no door"), damage},
        {"26 rows", basic + "UT_EXTRA,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\n", damage},
        {"Damage row of 26 cells", basic, ReplaceLine(damage, "UT_DOOR", DamageRow(24, ",") + ",1")},
        {"BasicParams row of 19 cells",
         ReplaceLine(basic, "UT_TRUCK", BasicRow(9, ",").substr(0, BasicRow(9, ",").rfind(','))), damage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataFolder good;
        ASSERT_TRUE(good.Write("Units/BasicParams.TXT", basic));
        ASSERT_TRUE(good.Write("Units/Damage.TXT", damage));
        ASSERT_EQ(Load(), 1);
        ASSERT_FALSE(EverythingZero());

        DataFolder bad;
        if (!c.basic.empty()) {
            ASSERT_TRUE(bad.Write("Units/BasicParams.TXT", c.basic));
        }
        if (!c.damage.empty()) {
            ASSERT_TRUE(bad.Write("Units/Damage.TXT", c.damage));
        }
        EXPECT_EQ(Load(), 0);
        EXPECT_TRUE(EverythingZero());
    }
}

TEST_F(UnitTablesTest, ABasicParamsRowMayCarryMoreCells) {
    std::string basic = FixtureBasic();
    basic = ReplaceLine(basic, "UT_SNIPER", BasicRow(14, ",") + ",99,98");
    ASSERT_TRUE(data.Write("Units/BasicParams.TXT", basic));
    ASSERT_TRUE(data.Write("Units/Damage.TXT", FixtureDamage()));
    EXPECT_EQ(Load(), 1);
    ExpectFixtureRecords();
}

TEST_F(UnitTablesTest, LookupsOutsideTheTypesAndRanksGiveZero) {
    ASSERT_TRUE(data.Write("Units/BasicParams.TXT", FixtureBasic()));
    ASSERT_TRUE(data.Write("Units/Damage.TXT", FixtureDamage()));
    ASSERT_EQ(Load(), 1);
    for (int type : {0, 25, -1, 1000, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(GetUnitParams(type).cost, 0);
        EXPECT_EQ(GetUnitParams(type).moveAllowance, 0.0f);
        EXPECT_EQ(GetUnitTypeCost(type), 0);
        EXPECT_EQ(DamageTableLookup(type, 1, 0), 0.0f);
        EXPECT_EQ(DamageTableLookup(1, type, 0), 0.0f);
    }
    for (int rank : {-1, 3, INT_MAX}) EXPECT_EQ(DamageTableLookup(1, 1, rank), 0.0f);
}

TEST_F(UnitTablesTest, PromotionRanksScaleTheTableValue) {
    // Attacker 16 against defender 24: (16 + 24) % 41 = 40, a table value of 0.4.
    ASSERT_TRUE(data.Write("Units/BasicParams.TXT", FixtureBasic()));
    ASSERT_TRUE(data.Write("Units/Damage.TXT", FixtureDamage()));
    ASSERT_EQ(Load(), 1);
    EXPECT_FLOAT_EQ(DamageTableLookup(16, 24, 0), 0.4f);
    EXPECT_FLOAT_EQ(DamageTableLookup(16, 24, 1), 0.6f);
    EXPECT_FLOAT_EQ(DamageTableLookup(16, 24, 2), 1.0f);
}

TEST_F(UnitTablesTest, TextsAreStoredAtTheTypeTheirKeywordNames) {
    battle.missingTexts.insert("UTD_GRUNT");
    Load();
    engine::WideString text;
    UnitTypeName(text, UT_ENGINEER);
    EXPECT_STREQ(text.GetNarrow(), "text UT_ENGINEER");
    UnitTypeName(text, UT_TROOPER);
    EXPECT_STREQ(text.GetNarrow(), "text UT_TROOPER");
    UnitTypeLongDesc(text, UT_SKYHOOK);
    EXPECT_STREQ(text.GetNarrow(), "text UTL_SKYHOOK");
    UnitTypeDetailText(text, UT_DOOR);
    EXPECT_STREQ(text.GetNarrow(), "text UTD_DOOR");
    UnitTypeDetailText(text, UT_GRUNT);
    EXPECT_STREQ(text.GetNarrow(), "No String");
    for (int type : {0, 25, -3}) {
        UnitTypeName(text, type);
        EXPECT_TRUE(text.IsEmpty());
    }
}

TEST_F(UnitTablesTest, AMissingPrototypeFailsTheLoad) {
    ASSERT_TRUE(data.Write("Units/BasicParams.TXT", ProjectTable("BasicParams.TXT")));
    ASSERT_TRUE(data.Write("Units/Damage.TXT", ProjectTable("Damage.TXT")));
    RecordingViewFactory views;
    views.prototypesPresent = false;
    EXPECT_EQ(LoadUnitAssets(battle, &views), 0);
    EXPECT_TRUE(views.loaded);
    FreeUnitAssets();
    EXPECT_FALSE(views.loaded);
}

// The project's figures keep to what the rest of the game expects of them.
TEST_F(UnitTablesTest, ProjectTablesFitTheRules) {
    ASSERT_TRUE(data.Write("Units/BasicParams.TXT", ProjectTable("BasicParams.TXT")));
    ASSERT_TRUE(data.Write("Units/Damage.TXT", ProjectTable("Damage.TXT")));
    ASSERT_EQ(Load(), 1);

    // The computer player's purchase thresholds.
    EXPECT_LE(GetUnitTypeCost(UT_GRUNT), 50);
    EXPECT_LE(GetUnitTypeCost(UT_TROOPER), 100);
    EXPECT_LE(GetUnitTypeCost(UT_LIGHT_TANK), 125);
    EXPECT_LE(GetUnitTypeCost(UT_DESTROYER), 200);
    // The general is no barracks' cheapest unit, nor the door the factory's.
    for (int type : {UT_TROOPER, UT_ENGINEER, UT_SNIPER, UT_GRENADIER, UT_GRUNT, UT_SUPERSOLDIER}) {
        EXPECT_GT(GetUnitTypeCost(UT_GENERAL), GetUnitTypeCost(type));
    }
    for (int type : {3, 4, 5, 6, 7, 8, 9, 15}) EXPECT_GT(GetUnitTypeCost(UT_DOOR), GetUnitTypeCost(type));

    for (int type = 1; type <= 24; ++type) {
        SCOPED_TRACE(type);
        const UnitParams& p = GetUnitParams(type);
        const UnitDescriptor& row = *FindUnitDescriptor(type);
        // Anything a ferry takes can walk onto it (a water hex with an own empty ferry costs 20).
        if (row.movesOnLand && !row.isAircraft) {
            EXPECT_GE(p.moveAllowance, 20.0f);
        }
        // Ships reach the shore, where the ferry lands its passenger.
        if (row.domain == kDomainSea) {
            EXPECT_GT(p.moveCost[4] * p.moveCost[5], 0.0f);
        }
        // Walls (features) stop everything on the ground.
        if (!row.isAircraft) {
            EXPECT_EQ(p.moveCost[0], 0.0f);
        }
        for (int defender = 1; defender <= 24; ++defender) {
            EXPECT_LE(DamageTableLookup(type, defender, 2), 1.0f) << "defender " << defender;
        }
    }
    EXPECT_GT(DamageTableLookup(UT_HEAVY_TANK, UT_DOOR, 0), 0.0f);
    EXPECT_GT(DamageTableLookup(UT_DESTROYER, UT_SUBMARINE, 0), 0.0f);
    EXPECT_GT(DamageTableLookup(UT_SUBMARINE, UT_DESTROYER, 0), 0.0f);
}

}  // namespace
}  // namespace units_test
