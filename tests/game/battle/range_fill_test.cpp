#include <gtest/gtest.h>

#include "battle_fakes.h"

namespace {

using namespace battle_test;

class RangeFill : public ::testing::Test {
protected:
    void SetUp() override { map = MapFromSource(UniformSource(20, 20, "L1"), &battle); }

    void Clear() {
        map->ClearMarkBits(kMarkAll);
        map->ClearRangeSteps();
    }
    // Every valid hex of the map area whose bits hold `bit`.
    std::vector<HexCoord> With(std::uint16_t bit) const {
        std::vector<HexCoord> hexes;
        for (int r = 0; r < kMapRows; ++r) {
            for (int c = 0; c < kMapColumns; ++c) {
                if (IsValidHex(H(c, r)) && (map->GetMarkBits(H(c, r)) & bit) != 0) hexes.push_back(H(c, r));
            }
        }
        return hexes;
    }

    FakeBattle battle;
    std::unique_ptr<HexMap> map;
};

TEST_F(RangeFill, MinimumTwoMaximumThreeMarksTheRing) {
    FakeUnit& gunner = battle.AddUnit(UT_ARTILLERY, H(10, 10), 1);
    gunner.minRange = 2;
    gunner.maxRange = 3;
    Clear();
    map->MarkAttackRange(gunner, nullptr, false);
    const std::vector<int> steps = StepsFrom(H(10, 10));
    int ring = 0;
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 20; ++c) {
            const int s = steps[static_cast<std::size_t>(HexTileIndex(H(c, r)))];
            const bool marked = (map->GetMarkBits(H(c, r)) & kMarkAttack) != 0;
            EXPECT_EQ(marked, s >= 2 && s <= 3) << c << "/" << r << " at " << s;
            ring += marked ? 1 : 0;
            if (s >= 1 && s <= 3) {
                EXPECT_EQ(map->GetRangeStep(H(c, r)), s) << c << "/" << r;
            }
        }
    }
    EXPECT_EQ(ring, 12 + 18);
}

TEST_F(RangeFill, HeightBonusForGroundUnitsOnly) {
    // The firing tile stands two stored levels above the others: one more step of range.
    map->EditTile(H(10, 10))->level = 4;
    struct Case {
        const char* what;
        int type;
        bool airborne;
        std::uint16_t bit;
        int reach;
    } cases[] = {
        {"tank", UT_LIGHT_TANK, false, kMarkAttack, 3},
        {"anti-air", UT_ANTIAIR, false, kMarkAttack, 2},
        {"engineer", UT_ENGINEER, false, kMarkEngineer, 2},
        {"airborne", UT_FIGHTER, true, kMarkAttack, 2},
    };
    const std::vector<int> steps = StepsFrom(H(10, 10));
    for (const Case& c : cases) {
        FakeUnit& unit = battle.AddUnit(c.type, H(10, 10), 1);
        unit.airborne = c.airborne;
        Clear();
        map->FloodAttackRange(H(10, 10), 0, 1, 2, map->GetTile(H(10, 10)).level, &unit);
        int farthest = 0;
        for (HexCoord hex : With(c.bit)) farthest = std::max(farthest, steps[static_cast<std::size_t>(HexTileIndex(hex))]);
        EXPECT_EQ(farthest, c.reach) << c.what;
        unit.gone = true;
    }
    // The range-marks fill withholds the bonus by type: an aircraft type standing on the ground too.
    FakeUnit& landed = battle.AddUnit(UT_SKYHOOK, H(10, 10), 1);
    Clear();
    map->FloodRangeMarks(H(10, 10), 0, 1, 2, 4, &landed);
    int farthest = 0;
    for (HexCoord hex : With(kMarkAttack)) farthest = std::max(farthest, steps[static_cast<std::size_t>(HexTileIndex(hex))]);
    EXPECT_EQ(farthest, 2);
    // A firing tile lower than the target gives nothing; no tile means the fill stops there.
    Clear();
    map->FloodRangeMarks(H(10, 10), 0, 1, 1, 0, &landed);
    EXPECT_EQ(With(kMarkAttack).size(), 6u);
    Clear();
    map->FloodRangeMarks(H(30, 30), 0, 1, 3, 0, &landed);
    EXPECT_TRUE(With(kMarkAttack).empty());
}

TEST_F(RangeFill, ShorterRevisitLowersTheStepLongerOneIsIgnored) {
    FakeUnit& unit = battle.AddUnit(UT_LIGHT_TANK, H(5, 5), 1);
    Clear();
    map->FloodAttackRange(H(5, 5), 3, 0, 5, 2, &unit);
    EXPECT_EQ(map->GetRangeStep(H(5, 5)), 3);
    EXPECT_EQ(map->GetRangeStep(H(5, 4)), 4);
    map->FloodAttackRange(H(5, 5), 1, 0, 5, 2, &unit);
    EXPECT_EQ(map->GetRangeStep(H(5, 5)), 1);
    EXPECT_EQ(map->GetRangeStep(H(5, 4)), 2);
    map->FloodAttackRange(H(5, 5), 4, 0, 5, 2, &unit);
    EXPECT_EQ(map->GetRangeStep(H(5, 5)), 1);
    EXPECT_EQ(map->GetRangeStep(H(5, 4)), 2);
}

TEST_F(RangeFill, AttackFillMarksTargets) {
    FakeUnit& tank = battle.AddUnit(UT_LIGHT_TANK, H(10, 10), 1);
    tank.minRange = 2;
    tank.maxRange = 3;
    FakeUnit& near = battle.AddUnit(UT_TROOPER, H(10, 9), 2);  // step 1: inside the minimum
    near.targetMarked = true;
    FakeUnit& far = battle.AddUnit(UT_TROOPER, H(10, 7), 2);   // step 3
    FakeUnit& friendly = battle.AddUnit(UT_TROOPER, H(10, 12), 1);
    FakeUnit& ground = battle.AddUnit(UT_TROOPER, H(12, 10), 2);
    FakeUnit& air = battle.AddUnit(UT_FIGHTER, H(12, 10), 2);
    air.airborne = true;
    Clear();
    map->FloodAttackRange(H(10, 10), 0, 2, 3, 2, &tank);
    EXPECT_FALSE(near.targetMarked);
    EXPECT_TRUE(far.targetMarked);
    EXPECT_EQ(far.markedBy, &tank);
    EXPECT_FALSE(friendly.targetMarked);
    EXPECT_TRUE(air.targetMarked);  // the airborne unit is preferred when attackable
    EXPECT_FALSE(ground.targetMarked);

    // An engineer that can act marks structures of other teams, or being captured by another team, not
    // pads or its own.
    FakeUnit& engineer = battle.AddUnit(UT_ENGINEER, H(4, 4), 1);
    engineer.maxRange = 2;
    FakeStructure& foreign = battle.AddStructure(kStructureRadio, 2, {H(4, 3)});
    FakeStructure& own = battle.AddStructure(kStructureRadio, 1, {H(4, 5)});
    FakeStructure& captured = battle.AddStructure(kStructureRadio, 1, {H(5, 4)});
    captured.capturing = 3;
    FakeStructure& pad = battle.AddStructure(kStructureBuildPad, 2, {H(3, 4)});
    Clear();
    map->FloodAttackRange(H(4, 4), 0, 1, 2, 2, &engineer);
    EXPECT_TRUE(foreign.targetMarked);
    EXPECT_FALSE(own.targetMarked);
    EXPECT_TRUE(captured.targetMarked);
    EXPECT_FALSE(pad.targetMarked);
    EXPECT_NE(map->GetMarkBits(H(4, 3)) & kMarkEngineer, 0);
    EXPECT_EQ(map->GetMarkBits(H(4, 3)) & kMarkAttack, 0);

    foreign.targetMarked = false;
    engineer.canStillAct = false;
    Clear();
    map->FloodAttackRange(H(4, 4), 0, 1, 2, 2, &engineer);
    EXPECT_FALSE(foreign.targetMarked);
}

TEST_F(RangeFill, ReachIgnoresTerrain) {
    HexMap bare;  // no terrain anywhere
    bare.MarkReach(H(10, 10), 0, 3);
    const std::vector<int> steps = StepsFrom(H(10, 10));
    int marked = 0;
    for (int i = 0; i < kMapTileCount; ++i) {
        const HexCoord hex = H(i / kMapRows, i % kMapRows);
        if (!IsValidHex(hex)) continue;
        const bool bit = (bare.GetMarkBits(hex) & kMarkAttack) != 0;
        EXPECT_EQ(bit, steps[static_cast<std::size_t>(i)] <= 3);
        marked += bit ? 1 : 0;
    }
    EXPECT_EQ(marked, 1 + 6 + 12 + 18);
}

TEST_F(RangeFill, LineOfSightFilter) {
    battle.params[UT_SNIPER].lineOfSight = 1;
    FakeUnit& sniper = battle.AddUnit(UT_SNIPER, H(10, 10), 1);
    sniper.maxRange = 3;
    // A blocker between the sniper and (10, 7), above (10, 8)'s far edge.
    engine::Vec3 at;
    map->GetSurfacePoint(at, H(10, 8));
    at.z += 0.6f;
    at.y += 0.5f;
    battle.blockers.push_back({at, 0.2f});
    battle.AddUnit(UT_DOOR, H(10, 7), 2).team = 0;
    Clear();
    map->FloodAttackRange(H(10, 10), 0, 1, 3, 2, &sniper);
    map->FilterLineOfSight(sniper, std::nullopt);
    EXPECT_NE(map->GetMarkBits(H(10, 7)) & kMarkAttack, 0);  // a door stands there: not tested
    EXPECT_EQ(map->GetMarkBits(H(10, 7)) & kMarkSightClear, 0);
    EXPECT_NE(map->GetMarkBits(H(10, 9)) & kMarkSightClear, 0);
    battle.units.back().gone = true;
    map->FilterLineOfSight(sniper, std::nullopt);
    EXPECT_EQ(map->GetMarkBits(H(10, 7)) & kMarkAttack, 0);  // blocked: the bit goes

    // Types without the line-of-sight flag are left alone; so is a map outside a battle.
    FakeUnit& tank = battle.AddUnit(UT_LIGHT_TANK, H(10, 10), 1);
    Clear();
    map->FloodAttackRange(H(10, 10), 0, 1, 3, 2, &tank);
    map->FilterLineOfSight(tank, std::nullopt);
    EXPECT_NE(map->GetMarkBits(H(10, 7)) & kMarkAttack, 0);
    EXPECT_TRUE(map->HasLineOfSight(engine::Vec3(0, 0, 0), engine::Vec3(0, 0, 0)));
}

TEST_F(RangeFill, TargetFilter) {
    FakeUnit& tank = battle.AddUnit(UT_LIGHT_TANK, H(2, 2), 1);
    FakeUnit& enemy = battle.AddUnit(UT_TROOPER, H(3, 3), 2);
    FakeUnit& unmarked = battle.AddUnit(UT_TROOPER, H(8, 8), 2);
    unmarked.targetMarked = true;
    battle.AddUnit(UT_TROOPER, H(4, 4), 1);  // a friend
    map->EditTile(H(5, 5))->objectClass = kObjectStructure;
    map->EditTile(H(5, 5))->objectType = kStructureRadio;
    map->EditTile(H(6, 6))->objectClass = kObjectFeature;
    map->EditTile(H(6, 6))->objectType = 1;
    map->EditTile(H(7, 7))->objectClass = kObjectFeature;
    map->EditTile(H(7, 7))->objectType = kFeatureRaised;
    map->EditTile(H(9, 9))->objectClass = kObjectStructure;
    map->EditTile(H(9, 9))->objectType = kStructureBuildPad;
    battle.AddUnit(UT_TROOPER, H(7, 7), 2);
    Clear();
    for (HexCoord hex : {H(3, 3), H(4, 4), H(5, 5), H(6, 6), H(7, 7), H(9, 9), H(10, 10)}) {
        map->SetMarkBits(hex, kMarkAttack);
    }
    map->SetMarkBits(H(11, 11), kMarkAttackExt);

    map->FilterAttackTargets(tank, true);  // marks only: structures and plain features lose the bits
    EXPECT_EQ(With(kMarkAttack | kMarkAttackExt),
              (std::vector<HexCoord>{H(3, 3), H(4, 4), H(7, 7), H(9, 9), H(10, 10), H(11, 11)}));
    EXPECT_FALSE(unmarked.targetMarked);  // no bit on its tile
    EXPECT_FALSE(enemy.targetMarked);

    map->FilterAttackTargets(tank, false);  // targets: only attackable units keep the bits
    EXPECT_EQ(With(kMarkAttack | kMarkAttackExt), (std::vector<HexCoord>{H(3, 3), H(7, 7)}));
    EXPECT_TRUE(enemy.targetMarked);  // the tank's side is human

    enemy.targetMarked = false;
    battle.control[1] = kControlComputer;
    map->SetMarkBits(H(3, 3), kMarkAttack);
    map->FilterAttackTargets(tank, false);
    EXPECT_NE(map->GetMarkBits(H(3, 3)) & kMarkAttack, 0);
    EXPECT_FALSE(enemy.targetMarked);

    // An engineer keeps its marks only on structures of other teams or being captured.
    FakeUnit& engineer = battle.AddUnit(UT_ENGINEER, H(2, 2), 1);
    FakeStructure& foreign = battle.AddStructure(kStructureRadio, 2, {H(5, 5)});
    FakeStructure& own = battle.AddStructure(kStructureRefinery, 1, {H(12, 12)});
    FakeStructure& captured = battle.AddStructure(kStructureRefinery, 1, {H(13, 13)});
    captured.capturing = 1;
    (void)foreign, (void)own;
    for (HexCoord hex : {H(5, 5), H(12, 12), H(13, 13), H(14, 14)}) {
        map->EditTile(hex)->objectClass = kObjectStructure;
        map->EditTile(hex)->objectType = kStructureRadio;
    }
    Clear();
    for (HexCoord hex : {H(5, 5), H(12, 12), H(13, 13), H(14, 14)}) map->SetMarkBits(hex, kMarkEngineer);
    map->FilterAttackTargets(engineer, false);
    EXPECT_EQ(With(kMarkEngineer), (std::vector<HexCoord>{H(5, 5), H(13, 13)}));
}

TEST_F(RangeFill, ThreatRangeFoldsTheBits) {
    FakeUnit& tank = battle.AddUnit(UT_LIGHT_TANK, H(10, 10), 2);
    tank.minRange = 1;
    tank.maxRange = 1;
    battle.params[UT_LIGHT_TANK].moveAllowance = 2.0f;
    map->MarkThreatRange(tank);
    const std::vector<int> steps = StepsFrom(H(10, 10));
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 20; ++c) {
            const int s = steps[static_cast<std::size_t>(HexTileIndex(H(c, r)))];
            const std::uint16_t bits = map->GetMarkBits(H(c, r));
            EXPECT_EQ((bits & kMarkAttack) != 0, s == 1) << c << "/" << r;
            EXPECT_EQ((bits & kMarkThreatAttack) != 0, s == 1) << c << "/" << r;
            // After moving: up to two steps and firing one, the own tile included (fired at from beside).
            EXPECT_EQ((bits & kMarkAttackExt) != 0, s == 0 || (s >= 2 && s <= 3)) << c << "/" << r;
            EXPECT_EQ((bits & kMarkMove) != 0, s >= 0 && s <= 2) << c << "/" << r;
        }
    }

    // Held where it stands: nothing beyond the unit's own reach.
    battle.held.insert(&tank);
    map->MarkThreatRange(tank);
    EXPECT_TRUE(With(kMarkAttackExt).empty());
    EXPECT_EQ(With(kMarkAttack).size(), 6u);

    // Engineers use their own bits; doors and unarmed units mark nothing.
    FakeUnit& engineer = battle.AddUnit(UT_ENGINEER, H(5, 5), 2);
    battle.params[UT_ENGINEER].moveAllowance = 1.0f;
    map->MarkThreatRange(engineer);
    EXPECT_EQ(With(kMarkEngineer).size(), 6u);
    EXPECT_FALSE(With(kMarkEngineerExt).empty());
    EXPECT_TRUE(With(kMarkAttack).empty());
    map->SetMarkBits(H(1, 1), kMarkRoute);
    map->MarkThreatRange(battle.AddUnit(UT_TRUCK, H(5, 5), 2));
    map->MarkThreatRange(battle.AddUnit(UT_DOOR, H(5, 5), 2));
    EXPECT_EQ(map->GetMarkBits(H(1, 1)), kMarkRoute);
}

TEST_F(RangeFill, CountAttackTargetsLeavesNoMarks) {
    FakeUnit& tank = battle.AddUnit(UT_LIGHT_TANK, H(10, 10), 1);
    tank.maxRange = 2;
    battle.AddUnit(UT_TROOPER, H(10, 8), 2);
    battle.AddUnit(UT_TROOPER, H(11, 10), 2);
    battle.AddUnit(UT_TROOPER, H(10, 13), 2);  // out of range
    battle.AddUnit(UT_TROOPER, H(9, 10), 1);   // a friend
    FakeStructure& radio = battle.AddStructure(kStructureRadio, 2, {H(1, 1)});
    radio.targetMarked = true;
    // Steps left by an earlier fill do not cut this one short.
    map->FloodRangeMarks(H(10, 10), 0, 1, 5, 2, nullptr);
    EXPECT_EQ(map->CountAttackTargets(tank), 2);
    EXPECT_TRUE(With(kMarkAll).empty());
    EXPECT_EQ(battle.CountTargetMarkedUnits(), 0);
    EXPECT_FALSE(radio.targetMarked);
    map->SetBattleContext(nullptr);
    EXPECT_EQ(map->CountAttackTargets(tank), 0);
}

}  // namespace

namespace {

using namespace battle_test;

// Clearing near the start undoes a fill: the fill reaches its maximum plus half the firing level at most.
// Fills from the middle, a corner and the edge of a 48 x 38 map whose tiles are all at level 0.
TEST(RangeStepsNear, ClearingTheFillsReachLeavesNoStep) {
    FakeBattle battle;
    auto map = MapFromSource(UniformSource(48, 38, "L0"), &battle);
    struct Case {
        HexCoord start;
        int maximum;
        int firingLevel;
    } cases[] = {
        {H(24, 19), 1, 0}, {H(24, 19), 3, 5}, {H(24, 19), 5, 12}, {H(0, 0), 4, 6}, {H(47, 20), 2, 9}, {H(13, 37), 6, 0},
    };
    for (const Case& c : cases) {
        map->ClearRangeSteps();
        map->FloodRangeMarks(c.start, 0, 0, c.maximum, c.firingLevel, nullptr);
        // The fill went as far as the radius, so the radius is not larger than needed.
        int reached = 0;
        for (int i = 0; i < kMapTileCount; ++i) {
            const HexCoord hex = H(i / kMapRows, i % kMapRows);
            if (IsValidHex(hex) && map->GetRangeStep(hex) != 0) reached = std::max(reached, map->GetRangeStep(hex));
        }
        const int radius = c.maximum + c.firingLevel / 2;
        EXPECT_EQ(reached, radius) << c.start.column << "/" << c.start.row;
        map->ClearRangeStepsNear(c.start, radius);
        for (int i = 0; i < kMapTileCount; ++i) {
            const HexCoord hex = H(i / kMapRows, i % kMapRows);
            if (IsValidHex(hex)) {
                ASSERT_EQ(map->GetRangeStep(hex), 0) << hex.column << "/" << hex.row;
            }
        }
    }
}

}  // namespace
