// The computer player's map scan: unit weights and threat values on the plan's map.
#include <gtest/gtest.h>

#include "ai_fakes.h"
#include "game/ai/map_scan.h"
#include "game/units/unit_tables.h"

namespace ai_test {
namespace {

using MapScanTest = ComputerTest;

TEST_F(MapScanTest, TwoKillsWeighOneOnTheHexAndThreeQuartersOnOpenLandBeside) {
    Unit* tank = enemy->FindUnitById(enemy->SpawnUnit(UT_MED_TANK, H(5, 5), 0, false, 1.0f));
    Unit* victim = blue->FindUnitById(blue->SpawnUnit(UT_TROOPER, H(9, 9), 0, false, 1.0f));
    tank->CreditKill(*victim);
    tank->CreditKill(*victim);
    ASSERT_EQ(tank->GetKills(), 2);
    HexMap& map = *ports.map;
    map.EditTile(H(5, 4))->terrain = kTerrainWater;
    ApplyTileWeight(map, *tank, true);
    EXPECT_FLOAT_EQ(map.GetTile(H(5, 5)).unitWeight, 1.0f);
    EXPECT_FLOAT_EQ(map.GetTile(H(5, 6)).unitWeight, 0.75f);
    EXPECT_FLOAT_EQ(map.GetTile(H(5, 4)).unitWeight, 0.0f);  // water
    EXPECT_FLOAT_EQ(map.GetTile(H(5, 7)).unitWeight, 0.0f);  // two steps away
    ApplyTileWeight(map, *tank, false);
    EXPECT_FLOAT_EQ(map.GetTile(H(5, 5)).unitWeight, 0.0f);
    EXPECT_FLOAT_EQ(map.GetTile(H(5, 6)).unitWeight, 0.0f);
}

TEST_F(MapScanTest, ThreatPerDefenderTypeFromTheDamageTable) {
    Unit* tank = blue->FindUnitById(blue->SpawnUnit(UT_MED_TANK, H(5, 5), 0, false, 1.0f));
    HexMap& map = *ports.map;
    ApplyThreat(map, *tank, 0.0f);
    for (int t = 1; t < kUnitTypeCount; ++t) {
        const float damage = DamageTableLookup(UT_MED_TANK, t, tank->GetRank());
        const int expected = static_cast<int>(std::min(damage, 1.0f) * 100.0f);
        EXPECT_EQ(map.GetTile(H(5, 4)).threat[t], expected) << t;
    }
    EXPECT_EQ(map.GetTile(H(5, 9)).threat[UT_TROOPER], 0);
    EXPECT_EQ(tank->GetHexPos(), H(5, 5));
}

TEST_F(MapScanTest, ThreatScalesWithHealthAndAddsUpOverUnits) {
    // The project's tables hold no whole hit, so the cap at 1.0 never bites here; health and sums do.
    Unit* a = blue->FindUnitById(blue->SpawnUnit(UT_MED_TANK, H(5, 5), 0, false, 0.5f));
    Unit* b = blue->FindUnitById(blue->SpawnUnit(UT_MED_TANK, H(5, 3), 0, false, 1.0f));
    HexMap& map = *ports.map;
    ApplyThreat(map, *a, 0.0f);
    ApplyThreat(map, *b, 0.0f);
    const float damage = std::min(DamageTableLookup(UT_MED_TANK, UT_TROOPER, 0), 1.0f);
    EXPECT_EQ(map.GetTile(H(5, 4)).threat[UT_TROOPER],
              static_cast<int>(0.5f * damage * 100.0f) + static_cast<int>(damage * 100.0f));
}

TEST_F(MapScanTest, ThreatReachesAsFarAsTheBudgetAndNoUnitFieldChanges) {
    Unit* tank = blue->FindUnitById(blue->SpawnUnit(UT_MED_TANK, H(5, 5), 0, false, 1.0f));
    const float movementBefore = tank->GetMovementLeft();
    HexMap near = *ports.map;
    HexMap far = *ports.map;
    ApplyThreat(near, *tank, 0.0f);
    ApplyThreat(far, *tank, tank->GetMoveAllowance());
    EXPECT_EQ(near.GetTile(H(5, 8)).threat[UT_TROOPER], 0);
    EXPECT_GT(far.GetTile(H(5, 8)).threat[UT_TROOPER], 0);
    EXPECT_EQ(tank->GetMovementLeft(), movementBefore);
}

TEST_F(MapScanTest, FuelBelowTheAllowanceLimitsTheReach) {
    Unit* fighter = blue->FindUnitById(blue->SpawnUnit(UT_FIGHTER, H(5, 5), 0, false, 1.0f));
    fighter->SetAirborneFlag(true);
    HexMap full = *ports.map;
    ApplyTeamThreat(full, *blue);
    fighter->SetFuel(0.0f);
    EXPECT_EQ(fighter->GetMoveAllowance(), 0.0f);
    HexMap empty = *ports.map;
    ApplyTeamThreat(empty, *blue);
    int fullTiles = 0;
    int emptyTiles = 0;
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 12; ++c) {
            fullTiles += full.GetTile(H(c, r)).threat[UT_BOMBER] > 0 ? 1 : 0;
            emptyTiles += empty.GetTile(H(c, r)).threat[UT_BOMBER] > 0 ? 1 : 0;
        }
    }
    EXPECT_GT(fullTiles, emptyTiles);
}

TEST_F(MapScanTest, RebuildAddsOwnWeightsSubtractsOthersAndSkipsImmobilisedOwnUnits) {
    const int mine = enemy->SpawnUnit(UT_MED_TANK, H(2, 2), 0, false, 1.0f);
    const int held = enemy->SpawnUnit(UT_MED_TANK, H(9, 2), 0, false, 1.0f);
    blue->SpawnUnit(UT_TROOPER, H(5, 9), 0, false, 1.0f);
    ai->SetUnitImmobilized(held, true);
    HexMap& map = *ports.map;
    map.EditTile(H(7, 7))->unitWeight = 3.0f;  // stale values go
    RebuildTileScratch(map, manager, 4, ai);
    EXPECT_FLOAT_EQ(map.GetTile(H(2, 2)).unitWeight, 0.5f);
    EXPECT_FLOAT_EQ(map.GetTile(H(9, 2)).unitWeight, 0.0f);
    EXPECT_FLOAT_EQ(map.GetTile(H(5, 9)).unitWeight, -0.5f);
    EXPECT_FLOAT_EQ(map.GetTile(H(7, 7)).unitWeight, 0.0f);
    // Only the other side threatens.
    EXPECT_GT(map.GetTile(H(5, 8)).threat[UT_MED_TANK], 0);
    EXPECT_EQ(map.GetTile(H(2, 3)).threat[UT_TROOPER], 0);
    (void)mine;
}

}  // namespace
}  // namespace ai_test
