#include <gtest/gtest.h>

#include "battle_fakes.h"

namespace {

using namespace battle_test;

TEST(HexMap, InvalidHexesReadAsNoTileAndDropWrites) {
    FakeBattle battle;
    auto map = MapFromSource(UniformSource(48, 38, "L1"), &battle);
    for (HexCoord bad : {H(0, 37), H(48, 0), H(-1, 3), H(3, -1)}) {
        EXPECT_EQ(map->GetTile(bad).terrain, 0);
        EXPECT_EQ(map->GetTile(bad).level, 0);
        EXPECT_EQ(map->EditTile(bad), nullptr);
        HexTile copy;
        EXPECT_FALSE(map->CopyTile(bad, copy));
        map->SetMarkBits(bad, 0xFFFF);
        EXPECT_EQ(map->GetMarkBits(bad), 0);
        map->SetTrigger(bad, reinterpret_cast<ScriptBlock*>(0x10));
        EXPECT_EQ(map->GetTile(bad).trigger, nullptr);
        EXPECT_EQ(map->GetMoveCost(bad, UT_TROOPER), 0.0f);
        EXPECT_EQ(map->GetThreat(bad, 3), 0.0f);
    }
    EXPECT_EQ(map->GetTile(H(1, 37)).terrain, kTerrainLand);
    HexTile copy;
    EXPECT_FALSE(map->CopyNeighbourTile(H(0, 36), 3, copy));
    EXPECT_TRUE(map->CopyNeighbourTile(H(0, 36), 0, copy));
}

TEST(HexMap, CopiesAreIndependentValues) {
    FakeBattle battle;
    auto map = MapFromSource(UniformSource(10, 10, "L0"), &battle);
    auto plan = std::make_unique<HexMap>(*map);
    plan->SetMarkBits(H(3, 3), kMarkMove);
    plan->EditTile(H(4, 4))->terrain = kTerrainBlocked;
    EXPECT_EQ(map->GetMarkBits(H(3, 3)), 0);
    EXPECT_EQ(map->GetTile(H(4, 4)).terrain, kTerrainLand);
    EXPECT_EQ(plan->GetBattleContext(), &battle);
    HexPath path;
    EXPECT_TRUE(plan->FindRoute(H(0, 0), H(9, 9), path, UT_TROOPER, 0, false));
}

TEST(HexMap, ThreatCountersSaturateAndSum) {
    HexMap map;
    HexTile* tile = map.EditTile(H(4, 4));
    ASSERT_NE(tile, nullptr);
    tile->AddThreat(3, 60000);
    tile->AddThreat(3, 60000);
    EXPECT_EQ(tile->threat[3], 65535);
    tile->AddThreat(3, -70000);
    EXPECT_EQ(tile->threat[3], 0);
    tile->AddThreat(25, 5);  // no such type
    tile->AddThreat(-1, 5);
    tile->AddThreat(1, 150);
    tile->AddThreat(24, 50);
    EXPECT_FLOAT_EQ(map.GetThreat(H(4, 4), 1), 1.5f);
    EXPECT_FLOAT_EQ(map.GetThreat(H(4, 4), 25), 2.0f);
    EXPECT_EQ(map.GetThreat(H(4, 4), 26), 0.0f);
    EXPECT_EQ(map.GetThreat(H(4, 4), -1), 0.0f);
}

TEST(HexMap, WholeGridClears) {
    HexMap map;
    map.SetMarkBits(H(2, 2), 0x0107);
    map.EditTile(H(2, 2))->dropReservation = 9;
    map.ClearMarkBits(0x0100);
    EXPECT_EQ(map.GetMarkBits(H(2, 2)), 0x0007);
    map.ClearMarkBits(kMarkAll);
    EXPECT_EQ(map.GetMarkBits(H(2, 2)), 0);
    map.SetTileScratch(2.5f);
    EXPECT_EQ(map.GetMoveLeft(H(47, 37)), 2.5f);
    map.ClearDropReservations();
    EXPECT_EQ(map.GetTile(H(2, 2)).dropReservation, 0);
}

// Step costs on a strip: land, land one level up, land two up, water, shore, a pad on water.
TEST(HexMap, StepCosts) {
    FakeBattle battle;
    const std::string source = UniformSource(8, 3, "L0") +
                               "structure B1 1\n"
                               "structure C3 1\n"
                               "structure B5 2\n"
                               "overlay C1\n";
    auto map = MapFromSource(source, &battle);
    // Reshape a few tiles after loading: levels and terrains in stored units.
    auto set = [&](HexCoord hex, int terrain, int level) {
        map->EditTile(hex)->terrain = terrain;
        map->EditTile(hex)->level = level;
    };
    set(H(1, 0), kTerrainLand, 1);    // one up from A0
    set(H(2, 0), kTerrainLand, 3);    // two up from B1's neighbour
    set(H(3, 0), kTerrainWater, 0);   // water beside land A2
    set(H(4, 0), kTerrainShore, 0);
    set(H(5, 0), kTerrainWater, 0);
    set(H(1, 1), kTerrainWater, 0);   // the pad at B1 sits on water

    const int tank = UT_LIGHT_TANK;
    const int heli = UT_SKYHOOK;
    struct Case {
        const char* what;
        HexCoord from, to;
        int type;
        float cost;
    } cases[] = {
        {"flat land", H(0, 1), H(0, 2), tank, 1.0f},
        {"one level up", H(0, 0), H(1, 0), tank, 1.2f},
        {"one level down", H(1, 0), H(0, 0), tank, 0.833f},
        {"two levels", H(1, 0), H(2, 0), tank, 0.0f},
        {"two levels, aircraft", H(1, 0), H(2, 0), heli, 1.0f},
        {"land to water", H(2, 1), H(3, 0), UT_FERRY, 0.0f},
        {"land to water, aircraft", H(2, 0), H(3, 0), heli, 1.0f},
        {"shore to water", H(4, 0), H(5, 0), UT_FERRY, 0.5f},
        {"water to water", H(5, 0), H(5, 1), UT_FERRY, 0.0f},  // F1 is land: no cost for a boat
        {"pad on water, from land", H(0, 1), H(1, 1), UT_SKYHOOK, 2.0f},
        {"pad on land", H(2, 2), H(3, 2), tank, (1.0f + 1.0f) * 0.5f},
        {"factory", H(4, 1), H(5, 1), tank, 0.0f},
        {"overlay land", H(2, 1), H(2, 2), tank, 1.0f},
        {"off the grid", H(0, 0), H(0, -1), tank, 0.0f},
    };
    for (const Case& c : cases) EXPECT_NEAR(map->GetStepCost(c.from, c.to, c.type), c.cost, 1e-5f) << c.what;

    // Move costs by tile: the pad on water costs twice the water cost, on land twice the overlay cost.
    EXPECT_EQ(map->GetMoveCost(H(1, 1), UT_SKYHOOK), 2.0f);
    EXPECT_EQ(map->GetMoveCost(H(1, 1), UT_FERRY), 2.0f);
    EXPECT_EQ(map->GetMoveCost(H(1, 1), tank), 0.0f);
    EXPECT_EQ(map->GetMoveCost(H(3, 2), tank), 1.0f);
    EXPECT_EQ(map->GetMoveCost(H(5, 1), UT_SKYHOOK), 0.0f);
    EXPECT_EQ(map->GetMoveCost(H(1, 2), tank), 0.5f);  // C1 overlay
    EXPECT_EQ(map->GetMoveCost(H(0, 0), 0), 0.0f);
    EXPECT_EQ(map->GetMoveCost(H(0, 0), 25), 0.0f);

    // The ferry mark: water costs 20 for every type.
    map->SetMarkBits(H(5, 0), kMarkFerry);
    EXPECT_EQ(map->GetMoveCost(H(5, 0), tank), 20.0f);
    EXPECT_NEAR(map->GetStepCost(H(4, 0), H(5, 0), tank), (1.0f + 20.0f) * 0.5f, 1e-5f);

    // An APC on the target adds 10.
    battle.AddUnit(UT_APC, H(0, 2), 1);
    EXPECT_NEAR(map->GetStepCost(H(0, 1), H(0, 2), tank), 11.0f, 1e-5f);

    // Outside a battle nothing can be entered.
    map->SetBattleContext(nullptr);
    EXPECT_EQ(map->GetStepCost(H(0, 1), H(0, 2), tank), 0.0f);
}

// Every column of the cost record a different figure, so that a tile priced from the wrong column shows.
// Each case steps from plain land at row 0 down onto a tile of row 1 shaped as the case says.
TEST(HexMap, StepCostsTakeTheRightColumn) {
    FakeBattle battle;
    const int tank = UT_LIGHT_TANK;
    const float costs[7] = {1.5f, 2.5f, 0.75f, 1.25f, 3.0f, 1.75f, 2.25f};
    for (int i = 0; i < 7; ++i) battle.params[tank].moveCost[i] = costs[i];
    auto map = MapFromSource(UniformSource(8, 2, "L0"), &battle);
    const float land = costs[3];
    struct Case {
        const char* what;
        int terrain;
        int overlay;
        int objectClass;
        int objectType;
        int levelUp;  // the target's level above the source's
        bool apc;     // an APC stands on the target
        float cost;
    } cases[] = {
        {"plain land", kTerrainLand, 0, 0, 0, 0, false, land},
        {"land pad: twice the overlay column", kTerrainLand, 0, kObjectStructure, kStructureBuildPad, 0, false,
         (land + 2.0f * costs[2]) * 0.5f},
        {"land with overlay", kTerrainLand, 1, 0, 0, 0, false, (land + costs[2]) * 0.5f},
        {"shore", kTerrainShore, 0, 0, 0, 0, false, (land + costs[5]) * 0.5f},
        {"shore with overlay", kTerrainShore, 1, 0, 0, 0, false, (land + costs[2]) * 0.5f},
        {"second land kind", kTerrainLand2, 0, 0, 0, 0, false, (land + costs[6]) * 0.5f},
        {"APC one level up: the 10 is raised too", kTerrainLand, 0, 0, 0, 1, true, (land + 10.0f) * 1.2f},
        {"APC one level down", kTerrainLand, 0, 0, 0, -1, true, (land + 10.0f) * 0.833f},
    };
    int column = 0;
    for (const Case& c : cases) {
        const HexCoord from = H(column, 0);
        const HexCoord to = H(column, 1);
        column = (column + 1) % 8;
        map->EditTile(from)->level = 2;
        HexTile* tile = map->EditTile(to);
        tile->terrain = c.terrain;
        tile->overlay = c.overlay;
        tile->objectClass = c.objectClass;
        tile->objectType = c.objectType;
        tile->level = 2 + c.levelUp;
        battle.units.clear();
        if (c.apc) battle.AddUnit(UT_APC, to, 1);
        EXPECT_NEAR(map->GetStepCost(from, to, tank), c.cost, 1e-5f) << c.what;
    }
}

TEST(HexMap, MoveCostByFeatureKind) {
    FakeBattle battle;
    auto map = MapFromSource(UniformSource(9, 2, "L0") +
                                 "feature A1 1\nfeature A2 2\nfeature A3 4\nfeature A4 6\nfeature A5 8\n"
                                 "overlay B0\nunit B1 3 owner 1\n",
                             &battle);
    const float expected[] = {1.0f, 2.0f, 3.0f, 2.0f, 1.0f, 1.0f, 1.0f};
    for (int c = 0; c < 7; ++c) EXPECT_EQ(map->GetMoveCost(H(c, 0), UT_TROOPER), expected[c]) << c;
    EXPECT_EQ(map->GetMoveCost(H(0, 1), UT_TROOPER), 0.5f);  // overlay land
    EXPECT_EQ(map->GetMoveCost(H(1, 1), UT_TROOPER), 1.0f);  // a unit start is plain ground
}

TEST(HexMap, HeightsAndPicking) {
    FakeBattle battle;
    auto map = MapFromSource(UniformSource(4, 4, "L2") +
                                 "height A0 0.75\nfeature A1 1\nheight A1 0.2\nfeature A2 2\nheight A2 0.9\n",
                             &battle);
    engine::Vec3 p;
    map->GetSurfacePoint(p, H(0, 0));
    EXPECT_NEAR(p.y, 0.751f, 1e-5f);
    map->GetSurfacePoint(p, H(1, 0));  // plain feature: level height
    EXPECT_NEAR(p.y, 4 * 0.25f + 0.001f, 1e-5f);
    map->GetSurfacePoint(p, H(2, 0));  // raised feature: tile height
    EXPECT_NEAR(p.y, 0.901f, 1e-5f);
    map->GetLevelPoint(p, H(2, 0));
    EXPECT_NEAR(p.y, 5 * 0.25f, 1e-6f);
    EXPECT_NEAR(p.x, HexToWorld(H(2, 0)).x, 1e-6f);
    EXPECT_NEAR(p.z, HexToWorld(H(2, 0)).y, 1e-6f);

    EXPECT_NEAR(map->GetUnitHeight(H(0, 0), false), 0.75f, 1e-6f);
    EXPECT_NEAR(map->GetUnitHeight(H(0, 0), true), 1.0f + 2.0f, 1e-6f);
    EXPECT_NEAR(map->GetUnitHeight(H(1, 0), true), 0.2f + 1.5f, 1e-6f);
    EXPECT_NEAR(map->GetUnitHeight(H(2, 0), true), 0.9f + 1.0f, 1e-6f);
    EXPECT_EQ(map->GetUnitHeight(H(0, 37), true), 0.0f);

    int column = 0, row = 0;
    engine::Vec3 at;
    map->GetSurfacePoint(at, H(3, 2));
    at.x += 0.3f;
    map->PickHex(column, row, at);
    EXPECT_EQ(column, 3);
    EXPECT_EQ(row, 2);
    map->PickHex(column, row, engine::Vec3(100.0f, 0.0f, 0.0f));
    EXPECT_EQ(column, -1);
    EXPECT_EQ(row, -1);
}

TEST(HexMap, DirectionsUnitsAndStructuresAround) {
    FakeBattle battle;
    auto map = MapFromSource(UniformSource(6, 6, "L0") + "structure D3 7 owner 2\nunit B1 1 owner 1\n", &battle);
    EXPECT_EQ(map->GetDirectionTo(H(2, 2), H(3, 2)), 1);
    EXPECT_EQ(map->GetDirectionTo(H(2, 2), H(2, 2)), kNoDirection);
    EXPECT_EQ(map->GetDirectionTo(H(2, 2), H(4, 2)), kNoDirection);

    FakeUnit& unit = battle.AddUnit(UT_ENGINEER, H(3, 2), 1);
    FakeUnit& other = battle.AddUnit(UT_TROOPER, H(3, 4), 2);
    FakeStructure& repair = battle.AddStructure(kStructureRepairS, 2, {H(3, 3)});
    EXPECT_EQ(map->FindDirectionToUnit(0, H(3, 3), &other), 3);
    EXPECT_EQ(map->FindDirectionToUnit(4, H(3, 3), &unit), 0);
    EXPECT_EQ(map->FindDirectionToUnit(0, H(0, 0), &unit), kNoDirection);
    EXPECT_EQ(map->FindDirectionToStructure(2, H(3, 2), &repair), 3);
    EXPECT_EQ(map->CountAdjacentForeignStructures(unit), 1);
    repair.team = 1;
    EXPECT_EQ(map->CountAdjacentForeignStructures(unit), 0);
    EXPECT_EQ(map->CountStructureTiles(2), 1);
    EXPECT_EQ(map->CountUnitStartTiles(1), 1);
    EXPECT_EQ(map->CountUnitStartTiles(2), 0);

    map->SetBattleContext(nullptr);
    EXPECT_EQ(map->FindDirectionToUnit(0, H(3, 3), &other), kNoDirection);
}

TEST(HexMap, WallAngles) {
    HexMap map;
    auto wall = [&](HexCoord hex) {
        map.EditTile(hex)->objectClass = kObjectFeature;
        map.EditTile(hex)->objectType = 5;
    };
    wall(H(4, 3));  // up of D4... column 4 row 3 is above (4,4)
    wall(H(4, 5));
    EXPECT_EQ(map.GetWallAngle(H(4, 4)), 90.0f);
    EXPECT_TRUE(map.HasWallDir(0));
    EXPECT_TRUE(map.HasWallDir(3));
    EXPECT_FALSE(map.HasWallDir(1));
    EXPECT_EQ(map.GetWallAngle(H(10, 10)), 0.0f);
    EXPECT_FALSE(map.HasWallDir(0));
    wall(H(9, 10));   // left-up of even column 10
    wall(H(11, 11));  // right-down
    EXPECT_EQ(map.GetWallAngle(H(10, 10)), 390.0f);
    EXPECT_TRUE(map.IsWallTile(9, 10));
    EXPECT_FALSE(map.IsWallTile(0, 37));
}

TEST(HexMap, FindNearbyFreeHexes) {
    FakeBattle battle;
    // Water on the left two columns, land elsewhere. Around D3 (3,2) the four side neighbours hold a
    // feature, a structure, a drop reservation and a unit, so the nearest candidates are the hex itself,
    // then (3,1) and (3,3) at exactly one unit, in the order of the walk.
    std::string source = "weather 2\ngrid 8 7\n";
    for (int r = 0; r < 7; ++r) source += "W0 W0 L0 L0 L0 L0 L0 L0\n";
    source += "feature B2 1\nstructure C2 7\nfeature B4 1\n";
    auto map = MapFromSource(source, &battle);
    map->EditTile(H(4, 2))->dropReservation = 5;
    battle.AddUnit(UT_TROOPER, H(2, 2), 1);

    HexCoord list[6];
    for (HexCoord& h : list) h = H(-9, -9);
    int count = 4;
    ASSERT_TRUE(map->FindNearbyFreeHexes(H(3, 2), list, count));
    ASSERT_EQ(count, 4);
    EXPECT_EQ(list[0], H(3, 2));
    EXPECT_EQ(list[1], H(3, 1));
    EXPECT_EQ(list[2], H(3, 3));
    EXPECT_GT(HexToWorld(list[3]).Distance(HexToWorld(H(3, 2))), 1.0f);
    EXPECT_EQ(list[4], H(-9, -9));  // never more than 4
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(map->GetTile(list[i]).objectClass, kObjectNone);
        EXPECT_EQ(battle.FindMapUnitAt(list[i]), nullptr);
    }

    // Room for one: only one entry is written.
    HexCoord one[2] = {H(-9, -9), H(-9, -9)};
    count = 1;
    ASSERT_TRUE(map->FindNearbyFreeHexes(H(3, 2), one, count));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(one[0], H(3, 2));
    EXPECT_EQ(one[1], H(-9, -9));

    // Same terrain only: from water, only water.
    count = 4;
    ASSERT_TRUE(map->FindNearbyFreeHexes(H(0, 3), list, count));
    for (int i = 0; i < count; ++i) EXPECT_EQ(map->GetTile(list[i]).terrain, kTerrainWater);

    // No candidate: the only tile of its terrain is taken.
    HexMap lone;
    lone.SetBattleContext(&battle);
    lone.EditTile(H(20, 20))->terrain = kTerrainLand;
    battle.AddUnit(UT_TROOPER, H(20, 20), 1);
    count = 4;
    EXPECT_FALSE(lone.FindNearbyFreeHexes(H(20, 20), list, count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(list[0], H(20, 20));  // entries were first set to the hex

    count = 4;
    EXPECT_FALSE(map->FindNearbyFreeHexes(H(0, 37), list, count));
    EXPECT_EQ(count, 0);
    map->SetBattleContext(nullptr);
    count = 4;
    EXPECT_FALSE(map->FindNearbyFreeHexes(H(3, 2), list, count));
    EXPECT_EQ(count, 0);
}

TEST(HexMap, RouteHexListAndRouteMarks) {
    HexMap map;
    HexPath path;
    path.start = H(2, 2);
    path.count = 3;
    path.directions[0] = 1;
    path.directions[1] = 1;
    path.directions[2] = 3;
    HexList list;
    map.PathToHexList(list, path);
    ASSERT_EQ(list.count, 4);
    EXPECT_EQ(list.hexes[1], H(3, 2));
    EXPECT_EQ(list.hexes[2], H(4, 1));
    EXPECT_EQ(list.hexes[3], H(4, 2));

    map.SetMarkBits(H(9, 9), kMarkRoute | kMarkMove);
    map.MarkPath(path);
    EXPECT_EQ(map.GetMarkBits(H(9, 9)), kMarkMove);
    for (int i = 0; i < list.count; ++i) EXPECT_EQ(map.GetMarkBits(list.hexes[static_cast<std::size_t>(i)]), kMarkRoute);

    path.count = 1000;  // a damaged count is held to the route's limit
    map.PathToHexList(list, path);
    EXPECT_EQ(list.count, kMaxPathSteps + 1);
}

}  // namespace
