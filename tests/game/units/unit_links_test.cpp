// Carrier links and what rides on them: killing carriers and passengers, what each carrier takes, loading
// on the hex, the airborne state through a carrier and the altitude layers, the truck's resupply, and the
// achievement of a killed heavy tank.
#include <gtest/gtest.h>

#include "game/units/unit_tables.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

using LinksTest = UnitsTest;

TEST_F(LinksTest, RemovingALoadedCarrierRemovesItsPassenger) {
    Unit& apc = battle.Make(UT_APC, &blue, H(3, 3));
    Unit& trooper = battle.Make(UT_TROOPER, &blue, H(3, 3));
    ASSERT_TRUE(apc.LinkPassenger(trooper));
    EXPECT_EQ(apc.GetPassenger(), &trooper);
    EXPECT_EQ(trooper.GetCarrier(), &apc);

    apc.Kill(true, nullptr);
    EXPECT_EQ(apc.GetState(), kUnitGone);
    EXPECT_EQ(trooper.GetState(), kUnitGone);
    EXPECT_EQ(apc.GetPassengerId(), 0);
    EXPECT_EQ(trooper.GetCarrierId(), 0);
    EXPECT_EQ(apc.GetPassenger(), nullptr);
    EXPECT_EQ(trooper.GetCarrier(), nullptr);
    EXPECT_EQ(LogOf(apc).detaches, 1);
    EXPECT_EQ(LogOf(trooper).detaches, 1);
    EXPECT_TRUE(battle.achievements.empty());
}

TEST_F(LinksTest, RemovingAPassengerFreesItsCarrier) {
    Unit& ferry = battle.Make(UT_FERRY, &blue, H(3, 3));
    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(3, 3));
    ferry.LinkPassenger(tank);
    tank.Kill(true, nullptr);
    EXPECT_EQ(ferry.GetState(), kUnitIdle);
    EXPECT_EQ(ferry.GetPassengerId(), 0);
    EXPECT_EQ(tank.GetCarrierId(), 0);
    EXPECT_FALSE(ferry.LinkPassenger(ferry));
}

TEST_F(LinksTest, AChainOfCarriersGoesTogether) {
    Unit& ferry = battle.Make(UT_FERRY, &blue, H(3, 3));
    Unit& apc = battle.Make(UT_APC, &blue, H(3, 3));
    Unit& trooper = battle.Make(UT_TROOPER, &blue, H(3, 3));
    ferry.LinkPassenger(apc);
    apc.LinkPassenger(trooper);
    battle.Destroy(ferry);
    EXPECT_EQ(apc.GetState(), kUnitGone);
    EXPECT_EQ(trooper.GetState(), kUnitGone);
    EXPECT_EQ(apc.GetCarrierId(), 0);
    EXPECT_EQ(trooper.GetCarrierId(), 0);
}

TEST_F(LinksTest, DyingKeepsTheLinksUntilRemoval) {
    Unit& skyhook = battle.Make(UT_SKYHOOK, &blue, H(3, 3));
    Unit& grunt = battle.Make(UT_GRUNT, &blue, H(3, 3));
    skyhook.LinkPassenger(grunt);
    skyhook.Kill(false, nullptr);
    EXPECT_EQ(skyhook.GetState(), kUnitDying);
    EXPECT_EQ(grunt.GetState(), kUnitIdle);
    EXPECT_EQ(skyhook.GetPassenger(), &grunt);
    EXPECT_EQ(LogOf(skyhook).detaches, 0);
    skyhook.Kill(true, nullptr);
    EXPECT_EQ(grunt.GetState(), kUnitGone);
}

TEST_F(LinksTest, AHeavyTankKilledByABlueGruntOutsidePassAndPlayUnlocksTheAchievement) {
    struct Case {
        int victim;
        int killer;  // 0: no killer
        FakeTeam* killerTeam;
        int mode;
        bool unlocked;
    };
    const Case cases[] = {
        {UT_HEAVY_TANK, UT_GRUNT, &blue, kGameModeCampaign, true},
        {UT_HEAVY_TANK, UT_GRUNT, &blue, kGameModeSkirmish, true},
        {UT_HEAVY_TANK, UT_GRUNT, &blue, kGameModePassAndPlay, false},
        {UT_HEAVY_TANK, UT_GRUNT, &green, kGameModeSkirmish, false},
        {UT_HEAVY_TANK, UT_TROOPER, &blue, kGameModeSkirmish, false},
        {UT_MED_TANK, UT_GRUNT, &blue, kGameModeSkirmish, false},
        {UT_HEAVY_TANK, 0, nullptr, kGameModeSkirmish, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.victim << " by " << c.killer << " mode " << c.mode);
        battle.achievements.clear();
        battle.gameMode = c.mode;
        Unit& victim = battle.Make(c.victim, &enemy, H(5, 5));
        Unit* killer = c.killer != 0 ? &battle.Make(c.killer, c.killerTeam, H(5, 6)) : nullptr;
        victim.Kill(false, killer);
        EXPECT_EQ(victim.GetState(), kUnitDying);
        EXPECT_EQ(battle.achievements,
                  c.unlocked ? std::vector<int>{kAchievementBehemothTakedown} : std::vector<int>{});
        // A dying unit is not killed twice; removing it does not count again.
        victim.Kill(false, killer);
        victim.Kill(true, killer);
        EXPECT_EQ(victim.GetState(), kUnitGone);
        EXPECT_EQ(battle.achievements.size(), c.unlocked ? 1u : 0u);
    }
}

TEST_F(LinksTest, WhatEachCarrierTakes) {
    struct Case {
        int carrier;
        const char* accepted;  // one character per type 0..25
    };
    const Case cases[] = {
        {UT_APC, "01100000000000101100001100"},
        {UT_FERRY, "01111111110000111111111110"},
        {UT_SKYHOOK, "01111111110000111100001110"},
        {UT_BOMBER, "00000000000000000000000000"},
        {UT_FIGHTER, "00000000000000000000000000"},
        {UT_TRUCK, "00000000000000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.carrier);
        Unit& carrier = battle.Make(c.carrier, &blue, H(1, 1));
        std::string answers;
        for (int type = 0; type <= 25; ++type) answers += carrier.CanCarryType(type) ? '1' : '0';
        EXPECT_EQ(answers, c.accepted);
    }
}

TEST_F(LinksTest, LoadingTheUnitOnTheHex) {
    // An airborne SKYHOOK over the unit: the lookup finds the grounded unit first.
    Unit& skyhook = battle.Make(UT_SKYHOOK, &blue, H(4, 4));
    skyhook.SetAirborneFlag(true);
    EXPECT_FALSE(skyhook.CanLoadUnitOnHex());  // nothing below

    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(4, 4));
    EXPECT_TRUE(skyhook.CanLoadUnitOnHex());
    tank.SetHexPos(H(4, 5));

    Unit& enemyTank = battle.Make(UT_LIGHT_TANK, &enemy, H(4, 4));
    EXPECT_FALSE(skyhook.CanLoadUnitOnHex());
    enemyTank.SetHexPos(H(9, 9));

    Unit& destroyer = battle.Make(UT_DESTROYER, &blue, H(4, 4));
    EXPECT_FALSE(skyhook.CanLoadUnitOnHex());  // no ship
    destroyer.SetHexPos(H(9, 8));

    Unit& apc = battle.Make(UT_APC, &blue, H(4, 4));
    EXPECT_TRUE(skyhook.CanLoadUnitOnHex());
    Unit& trooper = battle.Make(UT_TROOPER, &blue, H(4, 5));
    apc.LinkPassenger(trooper);
    EXPECT_FALSE(skyhook.CanLoadUnitOnHex());  // the APC carries someone
    apc.Kill(true, nullptr);

    // The trooper found on the hex rides a ferry.
    Unit& ferry = battle.Make(UT_FERRY, &blue, H(9, 7));
    trooper.SetHexPos(H(4, 4));
    ferry.LinkPassenger(trooper);
    EXPECT_FALSE(skyhook.CanLoadUnitOnHex());

    // A carrier that already carries loads nothing; a unit that carries nothing cannot load.
    battle.Make(UT_GRUNT, &blue, H(6, 6));
    Unit& truck = battle.Make(UT_TRUCK, &blue, H(6, 6));
    EXPECT_FALSE(truck.CanLoadUnitOnHex());
    Unit& otherSkyhook = battle.Make(UT_SKYHOOK, &blue, H(6, 6));
    otherSkyhook.SetAirborneFlag(true);
    EXPECT_TRUE(otherSkyhook.CanLoadUnitOnHex());
    Unit& sniper = battle.Make(UT_SNIPER, &blue, H(7, 7));
    otherSkyhook.LinkPassenger(sniper);
    EXPECT_FALSE(otherSkyhook.CanLoadUnitOnHex());
}

TEST_F(LinksTest, AirborneFollowsAnAirborneCarrierAndLayersFollowAltitude) {
    Unit& skyhook = battle.Make(UT_SKYHOOK, &blue, H(2, 2));
    Unit& trooper = battle.Make(UT_TROOPER, &blue, H(2, 2));
    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(3, 3));
    Unit& fighter = battle.Make(UT_FIGHTER, &enemy, H(3, 3));
    skyhook.LinkPassenger(trooper);

    EXPECT_FALSE(trooper.IsAirborne());
    skyhook.SetAirborneFlag(true);
    EXPECT_TRUE(trooper.IsAirborne());
    EXPECT_FALSE(trooper.GetAirborneFlag());
    // A soldier is never at flight altitude, even when carried up.
    EXPECT_FALSE(trooper.IsAtAltitude(true));
    EXPECT_FALSE(trooper.IsAtAltitude(false));
    EXPECT_FALSE(tank.IsAtAltitude(true));
    EXPECT_TRUE(tank.IsAtAltitude(false));

    EXPECT_FALSE(tank.IsInSameLayer(tank));
    EXPECT_TRUE(tank.IsInSameLayer(fighter));  // the fighter stands on the ground
    fighter.SetAirborneFlag(true);
    EXPECT_TRUE(fighter.IsAtAltitude(true));
    EXPECT_FALSE(tank.IsInSameLayer(fighter));
    EXPECT_FALSE(fighter.IsInSameLayer(tank));
    EXPECT_TRUE(fighter.IsInSameLayer(skyhook));
    EXPECT_FALSE(fighter.IsInSameLayer(fighter));

    EXPECT_EQ(fighter.GetMoveLoopSound(), kSoundAirborneMove);
    EXPECT_EQ(fighter.GetStopSound(), kSoundNone);
    skyhook.SetAirborneFlag(false);
    EXPECT_FALSE(trooper.IsAirborne());
}

TEST_F(LinksTest, TheTruckResuppliesOwnGroundedUnitsShortOfSupplies) {
    Unit& truck = battle.Make(UT_TRUCK, &blue, H(5, 5));
    EXPECT_FALSE(truck.AfterMove());  // nobody around

    HexCoord around[6];
    for (int d = 0; d < 6; ++d) ASSERT_TRUE(HexNeighbour(H(5, 5), d, around[d]));
    Unit& full = battle.Make(UT_MED_TANK, &blue, around[0]);
    Unit& enemyShort = battle.Make(UT_MED_TANK, &enemy, around[1]);
    enemyShort.SetFuel(1.0f);
    Unit& airborneShort = battle.Make(UT_BOMBER, &blue, around[2]);
    airborneShort.SetAmmo(0);
    airborneShort.SetAirborneFlag(true);
    Unit& infantry = battle.Make(UT_TROOPER, &blue, around[3]);  // nothing to refill
    EXPECT_FALSE(truck.AfterMove());
    EXPECT_FALSE(truck.CanResupply(nullptr));
    EXPECT_FALSE(truck.CanResupply(&full));
    EXPECT_FALSE(truck.CanResupply(&enemyShort));
    EXPECT_FALSE(truck.CanResupply(&airborneShort));
    EXPECT_EQ(enemyShort.FindAdjacentSupplier(), nullptr);
    EXPECT_EQ(infantry.FindAdjacentSupplier(), nullptr);

    airborneShort.SetAirborneFlag(false);  // landed beside the truck
    EXPECT_TRUE(truck.CanResupply(&airborneShort));
    EXPECT_TRUE(truck.AfterMove());
    EXPECT_EQ(airborneShort.FindAdjacentSupplier(), &truck);

    airborneShort.SetAmmo(GetUnitParams(UT_BOMBER).ammoCapacity);
    EXPECT_FALSE(truck.AfterMove());
    Unit& shortOfAmmo = battle.Make(UT_ARTILLERY, &blue, around[5]);
    shortOfAmmo.SetAmmo(1);
    EXPECT_TRUE(truck.AfterMove());
    EXPECT_EQ(shortOfAmmo.FindAdjacentSupplier(), &truck);
    // Only trucks supply.
    EXPECT_FALSE(full.CanResupply(&shortOfAmmo));
}

TEST_F(LinksTest, ChangingTheSideGoesThroughTheTeam) {
    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(2, 2));
    tank.ChangeTeam(kTeamEnemy);
    ASSERT_EQ(blue.transfers.size(), 1u);
    EXPECT_EQ(blue.transfers[0].first, &tank);
    EXPECT_EQ(blue.transfers[0].second, kTeamEnemy);

    tank.SetTeam(&green);
    EXPECT_EQ(tank.GetTeamKind(), kTeamGreen);
    EXPECT_EQ(LogOf(tank).materialColour, green.colour);
}

}  // namespace
}  // namespace units_test
