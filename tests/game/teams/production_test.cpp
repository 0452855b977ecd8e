// Production on build pads: a producer with a pad spawns the unit there through the team manager; a full
// team, an occupied pad of the same layer, or no pad produce nothing and report 0.
#include <gtest/gtest.h>

#include "game/battle/hex_map.h"
#include "team_fakes.h"

namespace teams_test {
namespace {

class ProductionTest : public TeamsTest {
protected:
    void SetUp() override {
        TeamsTest::SetUp();
        HexMap& map = battle.GetHexMap();
        Put(map, H(5, 5), kStructureFactory, kTeamBlue);
        Put(map, H(5, 4), kStructureBuildPad, 0);
        Put(map, H(9, 5), kStructureAirport, kTeamBlue);
        Put(map, H(9, 4), kStructureBuildPad, 0);
        Put(map, H(2, 9), kStructureBarracks, kTeamBlue);  // no pad
        structures.CreateFromMap(map);
        blue = manager.GetOrCreateTeam(kTeamBlue);
    }
    static void Put(HexMap& map, HexCoord hex, int type, int owner) {
        HexTile* tile = map.EditTile(hex);
        ASSERT_NE(tile, nullptr);
        tile->objectClass = kObjectStructure;
        tile->objectType = type;
        tile->objectOwner = owner;
    }

    Team* blue = nullptr;
};

TEST_F(ProductionTest, AFreePadGetsTheUnit) {
    Structure* factory = structures.FindAtHex(H(5, 5));
    ASSERT_NE(factory->GetFirstPad(), nullptr);
    EXPECT_EQ(factory->FindFreePad(), factory->GetFirstPad());
    EXPECT_EQ(factory->ProduceUnit(UT_MED_TANK), 1);
    Unit* tank = manager.FindUnitAt(H(5, 4));
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->GetType(), UT_MED_TANK);
    EXPECT_EQ(tank->GetTeamKind(), kTeamBlue);
    EXPECT_EQ(factory->FindFreePad(), nullptr);
    EXPECT_EQ(services.lookAts, 1);  // produced with effects

    // The same pad again: a second tank is refused, nothing created.
    EXPECT_EQ(factory->ProduceUnit(UT_LIGHT_TANK), 0);
    EXPECT_EQ(blue->CountLiveUnits(), 1);
}

TEST_F(ProductionTest, FullTeamOrNoPadProducesNothing) {
    EXPECT_EQ(structures.FindAtHex(H(2, 9))->ProduceUnit(UT_GRUNT), 0);
    EXPECT_EQ(blue->CountLiveUnits(), 0);
    // Other classes never produce.
    EXPECT_EQ(structures.FindAtHex(H(5, 4))->ProduceUnit(UT_GRUNT), 0);

    for (int i = 0; i < kMaxTeamUnits; ++i) {
        ASSERT_NE(blue->SpawnUnit(UT_GRUNT, H(i % 12, 6 + i / 12), 0, false, 1.0f), 0) << i;
    }
    EXPECT_EQ(structures.FindAtHex(H(9, 5))->ProduceUnit(UT_FIGHTER), 0);
    EXPECT_EQ(blue->CountLiveUnits(), kMaxTeamUnits);
}

TEST_F(ProductionTest, OwnedStructuresCountForTheTurn) {
    EXPECT_EQ(structures.CountOwned(kTeamBlue, kStructureFactory), 1);
    EXPECT_EQ(structures.CountOwned(kTeamBlue, kStructureBuildPad), 2);
    EXPECT_EQ(structures.CountOwned(kTeamGreen, kStructureFactory), 0);
}

}  // namespace
}  // namespace teams_test
