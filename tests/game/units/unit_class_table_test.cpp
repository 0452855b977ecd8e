// The class table: the nodes each type's model must hold, as the classes look them up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/battle/battle_types.h"
#include "game/units/unit_class_table.h"

namespace units_test {
namespace {

using game::RequiredPartNames;

std::vector<std::string> Names(int type) {
    std::vector<std::string> out;
    for (const char* name : RequiredPartNames(type)) out.emplace_back(name);
    return out;
}

TEST(UnitClassTableTest, EachTypeNamesTheNodesItsClassLooksUp) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Names(game::UT_LIGHT_TANK),
              (V{"tank_turret", "tank_barrels", "tank_wheels_left", "tank_wheels_right", "Unit"}));
    EXPECT_EQ(Names(game::UT_MLRS), (V{"artillery_gun", "artillery_wheels_left", "artillery_wheels_right", "Unit"}));
    EXPECT_EQ(Names(game::UT_CRUISER), (V{"crusier_turret", "cruiser_gun", "Unit"}));
    EXPECT_EQ(Names(game::UT_TROOPER), (V{"bazooka"}));
    EXPECT_EQ(Names(game::UT_GRENADIER), (V{"grenade"}));
    EXPECT_EQ(Names(game::UT_ENGINEER), (V{"engineer_intake"}));
    EXPECT_EQ(Names(game::UT_SKYHOOK), (V{"Helicopter_blades_01", "Helicopter_blades_02"}));
    EXPECT_TRUE(Names(game::UT_TRUCK).empty());
    EXPECT_TRUE(Names(0).empty());
    EXPECT_TRUE(Names(99).empty());
}

TEST(UnitClassTableTest, EveryArmedClassLaunchesAndEveryAnimatedClassListsItsAnimations) {
    for (int type : {game::UT_TROOPER, game::UT_GRUNT, game::UT_SNIPER, game::UT_GRENADIER, game::UT_GENERAL,
                     game::UT_SUPERSOLDIER, game::UT_LIGHT_TANK, game::UT_MED_TANK, game::UT_HEAVY_TANK, game::UT_MLRS,
                     game::UT_ARTILLERY, game::UT_ANTIAIR, game::UT_DESTROYER, game::UT_CRUISER, game::UT_AEGIS,
                     game::UT_BOMBER, game::UT_FIGHTER}) {
        EXPECT_NE(game::GetUnitClassRow(type).weapon.launch, game::LaunchKind::kNone) << type;
    }
    for (int type : {game::UT_TROOPER, game::UT_ENGINEER, game::UT_GRUNT, game::UT_SNIPER, game::UT_GRENADIER,
                     game::UT_GENERAL, game::UT_SUPERSOLDIER}) {
        EXPECT_FALSE(game::GetUnitClassRow(type).animations.empty()) << type;
    }
    EXPECT_EQ(game::GetUnitClassRow(game::UT_ENGINEER).weapon.launch, game::LaunchKind::kNone);
}

}  // namespace
}  // namespace units_test
