#include <gtest/gtest.h>

#include "battle_fakes.h"

namespace {

using namespace battle_test;

class MoveFill : public ::testing::Test {
protected:
    // Like the game's battle, it lists the hexes that hold units.
    MoveFill() { battle.listUnitHexes = true; }

    void Use(const std::string& source) { map = MapFromSource(source, &battle); }
    std::uint16_t Bits(HexCoord hex) const { return map->GetMarkBits(hex); }
    bool Reached(HexCoord hex) const { return (Bits(hex) & kMarkMove) != 0; }

    FakeBattle battle;
    std::unique_ptr<HexMap> map = MapFromSource(UniformSource(20, 20, "L1"), &battle);
};

TEST_F(MoveFill, ExactBudgetMarksTheLastTile) {
    FakeUnit& trooper = battle.AddUnit(UT_TROOPER, H(10, 10), 1);
    trooper.movementLeft = 3.0f;
    map->MarkSelectedUnitRanges(trooper, false);
    const std::vector<int> steps = StepsFrom(H(10, 10));
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 20; ++c) {
            const int s = steps[static_cast<std::size_t>(HexTileIndex(H(c, r)))];
            EXPECT_EQ(Reached(H(c, r)), s >= 1 && s <= 3) << c << "/" << r;
        }
    }
    EXPECT_GT(map->GetMoveLeft(H(10, 7)), 0.0f);
    EXPECT_EQ(Bits(H(10, 10)), 0);  // the own tile keeps only embark and landing marks

    // Steps down a level cost 0.833: a budget of three such steps reaches exactly three tiles down.
    for (int r = 11; r < 20; ++r) map->EditTile(H(10, r))->level = 2 - (r - 10);
    map->EditTile(H(10, 10))->level = 2;
    for (int c : {9, 11}) {
        for (int r = 0; r < 20; ++r) map->EditTile(H(c, r))->terrain = kTerrainBlocked;
    }
    trooper.movementLeft = 3 * 0.833f;
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_TRUE(Reached(H(10, 13)));
    EXPECT_FALSE(Reached(H(10, 14)));
}

TEST_F(MoveFill, StepsThatCostNothingEndTheFill) {
    // A table value at or below zero would let a walk gain budget around a loop; such steps are closed.
    battle.params[UT_TROOPER].moveCost[3] = -1.0f;
    FakeUnit& trooper = battle.AddUnit(UT_TROOPER, H(10, 10), 1);
    trooper.movementLeft = 3.0f;
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_EQ(map->GetMoveLeft(H(10, 9)), 0.0f);
    battle.params[UT_TROOPER].moveCost[3] = 0.000001f;
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_EQ(map->GetMoveLeft(H(10, 9)), 0.0f);
}

TEST_F(MoveFill, UnitsInTheSameLayerBlock) {
    FakeUnit& trooper = battle.AddUnit(UT_TROOPER, H(10, 10), 1);
    trooper.movementLeft = 3.0f;
    battle.AddUnit(UT_TROOPER, H(10, 9), 2);   // enemy, ground
    battle.AddUnit(UT_TROOPER, H(10, 11), 1);  // friend, ground: blocks too
    FakeUnit& plane = battle.AddUnit(UT_FIGHTER, H(11, 10), 2);
    plane.airborne = true;
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_FALSE(Reached(H(10, 9)));
    EXPECT_EQ(map->GetMoveLeft(H(10, 9)), 0.0f);
    EXPECT_FALSE(Reached(H(10, 11)));
    EXPECT_TRUE(Reached(H(11, 10)));  // under an aircraft
    EXPECT_TRUE(Reached(H(10, 8)));   // three steps around the enemy
}

TEST_F(MoveFill, CarriersAreEnteredNotCrossed) {
    FakeUnit& trooper = battle.AddUnit(UT_TROOPER, H(10, 10), 1);
    trooper.movementLeft = 13.0f;
    FakeUnit& apc = battle.AddUnit(UT_APC, H(10, 8), 1);
    apc.carries = {UT_TROOPER};
    // Wall the APC's column off so that it can only be reached from below.
    for (int c : {9, 11}) {
        for (int r = 0; r < 10; ++r) map->EditTile(H(c, r))->terrain = kTerrainBlocked;
    }
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_EQ(Bits(H(10, 8)) & (kMarkEmbark | kMarkMove), kMarkEmbark);
    EXPECT_GT(map->GetMoveLeft(H(10, 8)), 0.0f);
    EXPECT_EQ(map->GetMoveLeft(H(10, 7)), 0.0f);  // the fill stops inside the carrier

    apc.team = 2;  // another side's carrier shows no embark mark
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_EQ(Bits(H(10, 8)) & (kMarkEmbark | kMarkMove), 0);

    // An APC one level up can be entered; two levels up, not.
    apc.team = 1;
    trooper.movementLeft = 15.0f;
    map->EditTile(H(10, 8))->level = 3;
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_NE(Bits(H(10, 8)) & kMarkEmbark, 0);
    map->EditTile(H(10, 8))->level = 4;
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_EQ(Bits(H(10, 8)) & kMarkEmbark, 0);
}

TEST_F(MoveFill, FerryIsBoardedFromShoreOnly) {
    Use("weather 2\ngrid 6 4\n"
        "L0 L0 S0 W0 W0 W0\n"
        "L0 L0 S0 W0 W0 W0\n"
        "L0 L0 L0 W0 W0 W0\n"
        "L0 L0 L0 W0 W0 W0\n");
    FakeUnit& ferry = battle.AddUnit(UT_FERRY, H(3, 2), 1);
    ferry.carries = {UT_TROOPER};
    FakeUnit& trooper = battle.AddUnit(UT_TROOPER, H(1, 1), 1);
    trooper.movementLeft = 12.0f;
    map->MarkSelectedUnitRanges(trooper, false);
    // (3,2) is reached from the shore at (2,1), one level up (stored 1) and down again: 1 x 1.2, then
    // (1 + 20) / 2 x 0.833.
    EXPECT_NEAR(map->GetMoveLeft(H(3, 2)), 12.0f - 1.2f - 10.5f * 0.833f, 1e-3f);
    EXPECT_NE(Bits(H(3, 2)) & kMarkEmbark, 0);
    EXPECT_NE(Bits(H(3, 2)) & kMarkFerry, 0);
    EXPECT_EQ(map->GetMoveCost(H(3, 2), UT_TROOPER), 20.0f);
    EXPECT_FALSE(Reached(H(4, 2)));  // other water stays closed

    // With the shore turned to land the boat cannot be reached.
    map->EditTile(H(2, 1))->terrain = kTerrainLand;
    map->EditTile(H(2, 0))->terrain = kTerrainLand;
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_EQ(map->GetMoveLeft(H(3, 2)), 0.0f);
    EXPECT_EQ(Bits(H(3, 2)) & kMarkEmbark, 0);

    // A boat that carries someone is not marked.
    map->EditTile(H(2, 1))->terrain = kTerrainShore;
    FakeUnit& rider = battle.AddUnit(UT_GRUNT, H(3, 2), 1);
    rider.carrier = &ferry;
    rider.gone = true;
    ferry.passenger = &rider;
    map->MarkSelectedUnitRanges(trooper, false);
    EXPECT_EQ(Bits(H(3, 2)) & kMarkFerry, 0);
    EXPECT_EQ(map->GetMoveLeft(H(3, 2)), 0.0f);
}

TEST_F(MoveFill, AirMoverOverGroundUnits) {
    FakeUnit& heli = battle.AddUnit(UT_SKYHOOK, H(10, 10), 1);
    heli.airborne = true;
    heli.movementLeft = 2.0f;
    heli.carries = {UT_TROOPER};
    battle.AddUnit(UT_TROOPER, H(10, 9), 2);   // enemy below: flown over
    FakeUnit& plane = battle.AddUnit(UT_FIGHTER, H(11, 10), 2);
    plane.airborne = true;                      // same layer: closed
    battle.AddUnit(UT_TROOPER, H(9, 10), 1);    // own trooper: pick-up
    battle.AddUnit(UT_TROOPER, H(10, 11), 2);   // ground and air on one hex: closed
    FakeUnit& above = battle.AddUnit(UT_BOMBER, H(10, 11), 2);
    above.airborne = true;
    map->MarkSelectedUnitRanges(heli, false);
    EXPECT_EQ(Bits(H(10, 9)) & (kMarkMove | kMarkEmbark), kMarkMove);
    EXPECT_TRUE(Reached(H(10, 8)));  // beyond the ground unit
    EXPECT_FALSE(Reached(H(11, 10)));
    EXPECT_EQ(Bits(H(9, 10)) & (kMarkMove | kMarkEmbark), kMarkMove | kMarkEmbark);
    EXPECT_FALSE(Reached(H(10, 11)));
}

TEST_F(MoveFill, OwnTileAndLanding) {
    FakeUnit& heli = battle.AddUnit(UT_SKYHOOK, H(5, 5), 1);
    heli.airborne = true;
    heli.carries = {UT_TROOPER};
    heli.canStillMove = false;
    heli.canStillAct = false;
    struct Case {
        const char* what;
        int terrain, objectClass, type;
        std::uint16_t bits;
    } cases[] = {
        {"land", kTerrainLand, 0, UT_SKYHOOK, kMarkLanding},
        {"water", kTerrainWater, 0, UT_SKYHOOK, 0},
        {"feature", kTerrainLand, kObjectFeature, UT_SKYHOOK, 0},
        {"second land kind", kTerrainLand2, 0, UT_SKYHOOK, kMarkLanding},
        {"second land kind, bomber", kTerrainLand2, 0, UT_BOMBER, 0},
    };
    for (const Case& c : cases) {
        map->EditTile(H(5, 5))->terrain = c.terrain;
        map->EditTile(H(5, 5))->objectClass = c.objectClass;
        map->EditTile(H(5, 5))->objectType = c.objectClass != 0 ? 1 : 0;
        heli.type = c.type;
        map->MarkSelectedUnitRanges(heli, false);
        EXPECT_EQ(Bits(H(5, 5)), c.bits) << c.what;
    }
    map->EditTile(H(5, 5))->terrain = kTerrainLand;
    map->EditTile(H(5, 5))->objectClass = 0;
    heli.type = UT_SKYHOOK;

    // Carrying a passenger: the drop mark.
    FakeUnit& rider = battle.AddUnit(UT_TROOPER, H(5, 5), 1);
    rider.carrier = &heli;
    heli.passenger = &rider;
    map->MarkSelectedUnitRanges(heli, false);
    EXPECT_EQ(Bits(H(5, 5)), kMarkDrop);
    // A passenger that cannot stand on the tile keeps the carrier up.
    map->EditTile(H(5, 5))->objectClass = kObjectStructure;
    map->EditTile(H(5, 5))->objectType = kStructureBuildPad;
    battle.params[UT_TROOPER].moveCost[2] = 0.0f;
    map->MarkSelectedUnitRanges(heli, false);
    EXPECT_EQ(Bits(H(5, 5)), 0);
    battle.params[UT_TROOPER].moveCost[2] = 0.5f;
    map->EditTile(H(5, 5))->objectClass = 0;
    rider.gone = true;
    heli.passenger = nullptr;

    // Another unit below: no landing, but a pick-up when the carrier can load it.
    FakeUnit& below = battle.AddUnit(UT_TROOPER, H(5, 5), 1);
    map->MarkSelectedUnitRanges(heli, false);
    EXPECT_EQ(Bits(H(5, 5)), 0);
    heli.canLoadOnHex = true;
    map->MarkSelectedUnitRanges(heli, false);
    EXPECT_EQ(Bits(H(5, 5)), kMarkEmbark);

    // The unit below cannot move but can board the carrier above: its move range runs and its own tile
    // keeps the embark mark.
    below.canStillMove = false;
    below.canStillAct = false;
    below.movementLeft = 0.0f;
    map->MarkSelectedUnitRanges(below, false);
    EXPECT_EQ(Bits(H(5, 5)), kMarkEmbark);
}

TEST_F(MoveFill, AttackMarksOfTheCurrentTeamNeedActions) {
    FakeUnit& tank = battle.AddUnit(UT_LIGHT_TANK, H(10, 10), 1);
    tank.canStillMove = false;
    tank.canStillAct = false;
    map->MarkSelectedUnitRanges(tank, false);
    EXPECT_EQ(Bits(H(10, 9)), 0);
    battle.currentTeam = 2;  // inspecting another side's unit shows its reach
    map->MarkSelectedUnitRanges(tank, false);
    EXPECT_EQ(Bits(H(10, 9)), kMarkAttack);
}

TEST_F(MoveFill, EngineerMarksStayOnlyOnOtherTeamsStructures) {
    FakeUnit& engineer = battle.AddUnit(UT_ENGINEER, H(10, 10), 1);
    engineer.canStillMove = false;
    battle.AddStructure(kStructureRadio, 2, {H(10, 9)});
    battle.AddStructure(kStructureRadio, 1, {H(11, 10)});
    for (HexCoord hex : {H(10, 9), H(11, 10)}) {
        map->EditTile(hex)->objectClass = kObjectStructure;
        map->EditTile(hex)->objectType = kStructureRadio;
    }
    map->MarkSelectedUnitRanges(engineer, true);
    for (int d = 0; d < 6; ++d) {
        HexCoord n;
        HexNeighbour(H(10, 10), d, n);
        EXPECT_EQ((Bits(n) & kMarkEngineer) != 0, n == H(10, 9)) << d;
        EXPECT_EQ(Bits(n) & kMarkAttack, 0);
    }
}

TEST_F(MoveFill, DropHexes) {
    FakeUnit& apc = battle.AddUnit(UT_APC, H(10, 10), 1);
    FakeUnit& rider = battle.AddUnit(UT_TROOPER, H(10, 10), 1);
    rider.gone = true;
    rider.carrier = &apc;
    apc.passenger = &rider;
    map->EditTile(H(10, 9))->level = 4;                        // another level
    battle.AddUnit(UT_TROOPER, H(11, 10), 2);                  // a ground unit
    battle.AddUnit(UT_FIGHTER, H(11, 11), 2).airborne = true;  // only an aircraft: fine
    map->EditTile(H(10, 11))->terrain = kTerrainWater;         // the rider cannot stand there
    map->ClearMarkBits(kMarkAll);
    map->MarkDropHexes(apc);
    std::vector<HexCoord> dropped;
    for (int d = 0; d < 6; ++d) {
        HexCoord n;
        HexNeighbour(H(10, 10), d, n);
        if (Bits(n) & kMarkDrop) dropped.push_back(n);
    }
    EXPECT_EQ(dropped, (std::vector<HexCoord>{H(11, 11), H(9, 11), H(9, 10)}));

    // From level 0 a shore neighbour (stored level 1) is fine.
    map->EditTile(H(10, 10))->level = 0;
    map->EditTile(H(9, 10))->level = 1;
    map->EditTile(H(9, 11))->level = 2;
    map->ClearMarkBits(kMarkAll);
    map->MarkDropHexes(apc);
    EXPECT_NE(Bits(H(9, 10)) & kMarkDrop, 0);
    EXPECT_EQ(Bits(H(9, 11)) & kMarkDrop, 0);

    // Aircraft carriers drop by landing, not here.
    FakeUnit& heli = battle.AddUnit(UT_SKYHOOK, H(3, 3), 1);
    heli.passenger = &rider;
    map->ClearMarkBits(kMarkAll);
    map->MarkDropHexes(heli);
    EXPECT_EQ(Bits(H(3, 2)), 0);
}

}  // namespace
