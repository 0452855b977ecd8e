// Production on build pads: a producer's free pad until a unit stands on it, none without a pad, and the
// structures each side owns.
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

TEST_F(ProductionTest, AProducersFreePadIsTakenByAUnitStandingOnIt) {
    Structure* factory = structures.FindAtHex(H(5, 5));
    ASSERT_NE(factory->GetFirstPad(), nullptr);
    EXPECT_EQ(factory->FindFreePad(), factory->GetFirstPad());
    ASSERT_NE(blue->SpawnUnit(UT_MED_TANK, factory->GetFirstPad()->GetHex(), 0, true, 1.0f), 0);
    EXPECT_EQ(factory->FindFreePad(), nullptr);
    // A producer without a pad has none to offer.
    EXPECT_EQ(structures.FindAtHex(H(2, 9))->GetFirstPad(), nullptr);
    EXPECT_EQ(structures.FindAtHex(H(2, 9))->FindFreePad(), nullptr);
}

TEST_F(ProductionTest, OwnedStructuresCountForTheTurn) {
    EXPECT_EQ(structures.CountOwned(kTeamBlue, kStructureFactory), 1);
    EXPECT_EQ(structures.CountOwned(kTeamBlue, kStructureBuildPad), 2);
    EXPECT_EQ(structures.CountOwned(kTeamGreen, kStructureFactory), 0);
}

}  // namespace
}  // namespace teams_test
