// The queued action orders and the attack order: ferries, boarding, helicopter pick-ups and drops, APC
// boarding, supply trucks, refused orders on dying units, and attacks with and without an answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/battle/battle_types.h"
#include "game/units/action_orders.h"
#include "game/units/move_orders.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

// Land with a water channel in columns 3 to 5.
std::string ChannelSource() {
    std::string s = "weather 2\ngrid 12 12\n";
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 12; ++c) {
            s += (c >= 3 && c <= 5) ? "W0" : "L0";
            s += c + 1 < 12 ? " " : "\n";
        }
    }
    return s;
}

int CountOf(const std::vector<std::string>& list, const std::string& value) {
    return static_cast<int>(std::count(list.begin(), list.end(), value));
}

class OrdersTest : public UnitsTest {
protected:
    int TicksToIdle(FakeUnitBattle& b, std::initializer_list<Unit*> units, int limit = 3000) {
        return b.TickUntil(
            [&] {
                for (Unit* u : units) {
                    if (u->GetState() == kUnitRunningOrders || u->GetOrderCount() > 0) return false;
                }
                return true;
            },
            limit);
    }
    Unit& Gunner(int type, FakeTeam& team, HexCoord at, FakeUnitBattle& b) {
        Unit& unit = b.Add(std::make_unique<TestGunner>(type, b, &team));
        unit.PlaceOnHex(at);
        return unit;
    }
};

TEST_F(OrdersTest, ATankDrivesOntoAFerrySailsWithItAndDrivesOffKeepingItsMovement) {
    FakeUnitBattle river(ChannelSource());
    Unit& ferry = river.Make(UT_FERRY, &blue, H(3, 4));
    Unit& tank = river.Make(UT_LIGHT_TANK, &blue, H(2, 4));
    ASSERT_LT(river.map->GetDirectionTo(tank.GetHexPos(), ferry.GetHexPos()), 6);
    tank.SetMovementLeft(40.0f);
    ferry.SetMovementLeft(40.0f);
    tank.QueueOrder(std::make_unique<EmbarkOrder>(ferry.GetId()));
    TicksToIdle(river, {&tank, &ferry});
    EXPECT_EQ(tank.GetCarrierId(), ferry.GetId());
    EXPECT_EQ(ferry.GetPassengerId(), tank.GetId());
    EXPECT_EQ(ferry.GetCarryState(), kCarryNone);  // the boarding has ended
    EXPECT_EQ(tank.GetHexPos(), ferry.GetHexPos());

    ferry.QueueOrder(std::make_unique<MoveOrder>(H(4, 8)));
    TicksToIdle(river, {&tank, &ferry});
    ASSERT_EQ(ferry.GetHexPos(), H(4, 8));
    EXPECT_EQ(tank.GetHexPos(), H(4, 8));
    EXPECT_NEAR(tank.GetWorldPos().x, ferry.GetWorldPos().x, 1e-4f);
    EXPECT_NEAR(tank.GetWorldPos().z, ferry.GetWorldPos().z, 1e-4f);
    EXPECT_EQ(river.FindUnitAt(H(3, 4)), nullptr);

    tank.SetMovementLeft(17.0f);
    ferry.QueueOrder(std::make_unique<DisembarkOrder>(H(5, 8)));
    TicksToIdle(river, {&tank, &ferry});
    EXPECT_EQ(tank.GetHexPos(), H(5, 8));
    EXPECT_EQ(tank.GetCarrierId(), 0);
    EXPECT_EQ(ferry.GetPassengerId(), 0);
    EXPECT_FLOAT_EQ(tank.GetMovementLeft(), 17.0f);
    river.RemoveAll();
}

// Boarding costs 10 movement, so a tank that boards, sails and is put ashore in one turn has little or none
// left; the drive off must reach the shore all the same and leave the movement as it was.
TEST_F(OrdersTest, ATankPutAshoreInTheTurnItBoardedReachesTheShoreUnlinked) {
    // Movement before boarding: the hex onto the ferry costs at least 1 and the boarding 10, so up to 11
    // nothing is left.
    for (const float before : {11.0f, 5.0f, 40.0f}) {
        SCOPED_TRACE(before);
        FakeUnitBattle river(ChannelSource());
        Unit& ferry = river.Make(UT_FERRY, &blue, H(3, 4));
        Unit& tank = river.Make(UT_LIGHT_TANK, &blue, H(2, 4));
        tank.SetMovementLeft(before);
        ferry.SetMovementLeft(40.0f);
        tank.QueueOrder(std::make_unique<EmbarkOrder>(ferry.GetId()));
        TicksToIdle(river, {&tank, &ferry});
        ASSERT_EQ(tank.GetCarrierId(), ferry.GetId());
        const float left = tank.GetMovementLeft();
        if (before <= 11.0f) {
            EXPECT_FLOAT_EQ(left, 0.0f);
        }
        ferry.QueueOrder(std::make_unique<MoveOrder>(H(4, 8)));
        TicksToIdle(river, {&tank, &ferry});
        ASSERT_EQ(ferry.GetHexPos(), H(4, 8));
        ferry.QueueOrder(std::make_unique<DisembarkOrder>(H(5, 8)));
        TicksToIdle(river, {&tank, &ferry});
        EXPECT_EQ(tank.GetHexPos(), H(5, 8));
        EXPECT_EQ(river.FindUnitAt(H(5, 8)), &tank);
        EXPECT_EQ(tank.GetCarrierId(), 0);
        EXPECT_EQ(ferry.GetPassengerId(), 0);
        EXPECT_FLOAT_EQ(tank.GetMovementLeft(), left);
        river.RemoveAll();
    }
}

TEST_F(OrdersTest, InfantryBoardingAFerryIsPickedUpAndAnEmbarkFromTwoHexesAwayDoesNothing) {
    FakeUnitBattle river(ChannelSource());
    Unit& ferry = river.Make(UT_FERRY, &blue, H(3, 4));
    Unit& far = river.Make(UT_GRUNT, &blue, H(1, 4));
    far.QueueOrder(std::make_unique<EmbarkOrder>(ferry.GetId()));
    TicksToIdle(river, {&far, &ferry});
    EXPECT_EQ(far.GetCarrierId(), 0);
    EXPECT_EQ(ferry.GetPassengerId(), 0);
    EXPECT_EQ(far.GetHexPos(), H(1, 4));

    Unit& near = river.Make(UT_GRUNT, &blue, H(2, 4));
    near.QueueOrder(std::make_unique<EmbarkOrder>(ferry.GetId()));
    river.Tick();
    ASSERT_EQ(ferry.GetOrderCount(), 1);
    EXPECT_EQ(ferry.GetOrder(0)->Kind(), kOrderPickUp);
    TicksToIdle(river, {&near, &ferry});
    EXPECT_EQ(near.GetCarrierId(), ferry.GetId());
    river.RemoveAll();
}

TEST_F(OrdersTest, AHelicopterSettlesAtItsCarryHeightWaits25StepsAndDropsItsPassenger) {
    Unit& heli = battle.Make(UT_SKYHOOK, &blue, H(5, 5));
    heli.SetAirborneFlag(true);
    heli.SetFlightHeight(battle.map->GetUnitHeight(H(5, 5), true));
    Unit& grunt = battle.Make(UT_GRUNT, &blue, H(5, 5));
    grunt.QueueOrder(std::make_unique<EmbarkOrder>(heli.GetId()));
    battle.Tick();
    int settled = -1;
    int ticks = 0;
    while (heli.GetOrderCount() > 0 && ticks < 2000) {
        battle.Tick();
        ++ticks;
        if (settled < 0 && heli.GetCarryState() == kCarrySettled) settled = ticks;
    }
    ASSERT_GT(settled, 0);
    EXPECT_EQ(ticks - settled, 25);
    EXPECT_NEAR(heli.GetFlightHeight(), battle.map->GetUnitHeight(H(5, 5), false) + 1.1f, 0.02f);
    EXPECT_EQ(CountOf(LogOf(grunt).animations, "dangle"), 1);
    EXPECT_EQ(grunt.GetCarrierId(), heli.GetId());
    // The passenger hangs below the carrier.
    ASSERT_TRUE(LogOf(grunt).worldSet);
    EXPECT_NEAR(LogOf(grunt).world.GetTranslation().y, heli.GetFlightHeight() - 1.1f, 1e-4f);

    heli.QueueOrder(std::make_unique<PickUpOrder>(0));
    TicksToIdle(battle, {&heli});
    EXPECT_EQ(heli.GetPassengerId(), 0);
    EXPECT_EQ(grunt.GetCarrierId(), 0);
    EXPECT_EQ(heli.GetCarryState(), kCarryNone);
}

TEST_F(OrdersTest, BoardingAnApcCostsTenMovementNotBelowZeroAndWaitsForTheEmbarkAnimation) {
    views.modelAnimations = {"idle", "embark", "drive"};
    for (float movement : {25.0f, 4.0f}) {
        Unit& apc = battle.Make(UT_APC, &blue, H(5, 5));
        Unit& grunt = battle.Make(UT_GRUNT, &blue, H(5, 6));
        grunt.SetMovementLeft(movement);
        BoardCarrier(apc, grunt);
        EXPECT_FLOAT_EQ(grunt.GetMovementLeft(), std::max(0.0f, movement - 10.0f));
        EXPECT_EQ(apc.GetCarryState(), kCarryBoarding);
        EXPECT_EQ(grunt.GetFacing(), battle.map->GetDirectionTo(H(5, 6), H(5, 5)));
        EXPECT_FALSE(apc.CarryStep());
        LogOf(grunt).EndAnimation();
        EXPECT_TRUE(apc.CarryStep());
        EXPECT_EQ(LogOf(grunt).current, "drive");
        battle.RemoveAll();
    }
    views.modelAnimations.clear();
}

TEST_F(OrdersTest, ATruckRefillsTwoDamagedNeighboursOfItsSideAfterAQuarterSecond) {
    Unit& truck = battle.Make(UT_TRUCK, &blue, H(5, 5));
    std::vector<Unit*> served;
    std::vector<Unit*> skipped;
    const int dirs[4] = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        HexCoord at;
        ASSERT_TRUE(HexNeighbour(H(5, 5), dirs[i], at));
        Unit& u = battle.Make(i == 2 ? UT_FIGHTER : UT_LIGHT_TANK, i == 3 ? &enemy : &blue, at);
        u.SetAmmo(0);
        u.SetFuel(1.0f);
        if (i == 2) u.SetAirborneFlag(true);
        (i < 2 ? served : skipped).push_back(&u);
    }
    truck.QueueOrder(std::make_unique<ResupplyNeighboursOrder>());
    battle.Tick();
    EXPECT_EQ(battle.unitServices.lookAts, std::vector<int>{truck.GetId()});
    const int ticks = TicksToIdle(battle, {&truck});
    EXPECT_EQ(ticks, 13);  // 0.25 s of 0.02 s steps
    for (Unit* u : served) EXPECT_EQ(u->GetAmmo(), u->GetParams().ammoCapacity);
    for (Unit* u : skipped) EXPECT_EQ(u->GetAmmo(), 0);
    EXPECT_EQ(CountOf(battle.unitServices.NarrowTexts(), "@X[005]text SUPPLY"), 2);
}

TEST_F(OrdersTest, AnOrderOnADyingUnitIsRefusedAndTheUnitIsStillRemovedWhenItsDeathEnds) {
    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(5, 5));
    Unit& other = battle.Make(UT_LIGHT_TANK, &enemy, H(5, 6));
    tank.TakeDamage(1.0f, &other);
    ASSERT_EQ(tank.GetState(), kUnitDying);
    EXPECT_GT(tank.GetShakeTimer(), 0.0f);
    EXPECT_EQ(tank.QueueOrder(std::make_unique<MoveOrder>(H(8, 8))), nullptr);
    EXPECT_EQ(tank.SetOrderAt(std::make_unique<KillOrder>(false), 0), nullptr);
    EXPECT_EQ(tank.GetState(), kUnitDying);
    const int ticks = battle.TickUntil([&] { return tank.GetState() == kUnitGone; }, 100);
    EXPECT_LT(ticks, 100);
    // An unplaced unit is not put into the lookups by an order either.
    Unit& unplaced = battle.Make(UT_GRUNT, &blue, H(2, 2));
    unplaced.SetState(kUnitNotPlaced);
    EXPECT_EQ(unplaced.QueueOrder(std::make_unique<MoveOrder>(H(3, 3))), nullptr);
    EXPECT_EQ(battle.FindUnitAt(H(2, 2)), nullptr);
}

// --- Attacks ---------------------------------------------------------------------------------------------

struct AttackRun {
    int ticks = 0;
    int attackerShots = 0;
    int targetShots = 0;
};

class AttackTest : public OrdersTest {
protected:
    AttackRun Run(Unit& attacker, Unit& target, bool noRetaliation = false) {
        attacker.QueueOrder(std::make_unique<AttackOrder>(target.GetId(), noRetaliation));
        AttackRun run;
        run.ticks = TicksToIdle(battle, {&attacker, &target});
        run.attackerShots = static_cast<TestGunner&>(attacker).shots;
        run.targetShots = static_cast<TestGunner&>(target).shots;
        return run;
    }
    int CountZoom(const char* prefix) const {
        const auto& log = battle.unitServices.zoomLog;
        return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& e) {
            return e.rfind(prefix, 0) == 0;
        }));
    }
};

TEST_F(AttackTest, TheTargetAnswersOnceAndBothSidesSpendOneAmmunition) {
    Unit& a = Gunner(UT_LIGHT_TANK, blue, H(5, 5), battle);
    Unit& b = Gunner(UT_LIGHT_TANK, enemy, H(5, 6), battle);
    const AttackRun run = Run(a, b);
    EXPECT_EQ(run.attackerShots, 1);
    EXPECT_EQ(run.targetShots, 1);  // the answer is never answered
    EXPECT_NEAR(b.GetHealth(), 0.75f, 1e-4f);
    EXPECT_NEAR(a.GetHealth(), 1.0f - 0.25f * 0.75f, 0.011f);
    EXPECT_EQ(a.GetAmmo(), a.GetParams().ammoCapacity - 1);
    EXPECT_EQ(b.GetAmmo(), b.GetParams().ammoCapacity - 1);
    EXPECT_EQ(a.GetActionsUsed(), 1);
    EXPECT_EQ(CountZoom("start"), 2);
    EXPECT_EQ(CountZoom("end"), 2);
}

TEST_F(AttackTest, TheAttackWaitsForTheAnswerToLandAndUnlimitedAmmunitionStaysAtZero) {
    Unit& a = Gunner(UT_GRUNT, blue, H(5, 5), battle);
    Unit& b = Gunner(UT_GRUNT, enemy, H(5, 6), battle);
    ASSERT_EQ(a.GetParams().ammoCapacity, 0);
    a.QueueOrder(std::make_unique<AttackOrder>(b.GetId(), false));
    battle.TickUntil([&] { return a.GetOrderCount() == 0; });
    // The answer's aim and pause fly no shot, yet the attack stays open until it has landed.
    EXPECT_LT(a.GetHealth(), 1.0f);
    EXPECT_EQ(a.GetAmmo(), 0);
    TicksToIdle(battle, {&a, &b});
    EXPECT_EQ(b.GetAmmo(), 0);
}

TEST_F(AttackTest, TickCountsWithZoomHeldAnimationsAndInstantMove) {
    struct Case {
        const char* name;
        int zoomHold;
        std::uint32_t options;
        bool firingFinished;
    };
    std::vector<int> ticks;
    for (const Case& c : {Case{"plain", 0, 0u, true}, Case{"zoom held 30", 30, 0u, true},
                          Case{"zoom battles, firing never ends", 0, kOptionZoomBattles, false},
                          Case{"instant", 0, kOptionInstantMove, true}}) {
        SCOPED_TRACE(c.name);
        battle.options = c.options;
        battle.unitServices.zoomHoldTicks = c.zoomHold;
        auto& a = static_cast<TestGunner&>(Gunner(UT_LIGHT_TANK, blue, H(5, 5), battle));
        Gunner(UT_LIGHT_TANK, enemy, H(5, 6), battle);
        Unit& b = *battle.units.back();
        a.firingFinished = c.firingFinished;
        a.QueueOrder(std::make_unique<AttackOrder>(b.GetId(), true));
        ticks.push_back(TicksToIdle(battle, {&a}, 400));
        battle.RemoveAll();
    }
    // Aim 1, pause 25, the bullet 13 and the closing pause 25, plus the order's last step.
    EXPECT_EQ(ticks[0], 1 + 25 + 13 + 26);
    EXPECT_EQ(ticks[1], ticks[0] + 30);
    EXPECT_EQ(ticks[2], 400);  // waits on the firing animation
    EXPECT_EQ(ticks[3], ticks[0] - 25);  // no closing pause
}

TEST_F(AttackTest, AKillPlaysTheCheerAndIsNotAnswered) {
    Unit& a = Gunner(UT_LIGHT_TANK, blue, H(5, 5), battle);
    Unit& b = Gunner(UT_LIGHT_TANK, enemy, H(5, 6), battle);
    b.SetHealth(0.1f);
    const AttackRun run = Run(a, b);
    EXPECT_EQ(run.targetShots, 0);
    EXPECT_EQ(b.GetState(), kUnitGone);
    EXPECT_EQ(CountOf(LogOf(a).animations, "w00t"), 1);
    EXPECT_EQ(a.GetKills(), 1);
    EXPECT_EQ(blue.kills, 1);
}

TEST_F(AttackTest, ATargetOutOfItsOwnRangeDoesNotAnswer) {
    Unit& a = Gunner(UT_ARTILLERY, blue, H(5, 4), battle);
    Unit& b = Gunner(UT_LIGHT_TANK, enemy, H(5, 6), battle);
    const AttackRun run = Run(a, b);
    EXPECT_EQ(run.attackerShots, 1);
    EXPECT_EQ(run.targetShots, 0);
    EXPECT_FLOAT_EQ(a.GetHealth(), 1.0f);
}

TEST_F(AttackTest, ATargetRemovedMidAttackEndsTheOrderAndTheZoomEndsToo) {
    Unit& a = Gunner(UT_LIGHT_TANK, blue, H(5, 5), battle);
    Unit& b = Gunner(UT_LIGHT_TANK, enemy, H(5, 6), battle);
    a.QueueOrder(std::make_unique<AttackOrder>(b.GetId(), false));
    for (int i = 0; i < 10; ++i) battle.Tick();
    battle.Destroy(b);
    battle.Tick();
    EXPECT_EQ(a.GetOrderCount(), 0);
    EXPECT_EQ(CountZoom("start"), 1);
    EXPECT_EQ(CountZoom("end"), 1);
    EXPECT_EQ(static_cast<TestGunner&>(a).shots, 0);
}

TEST_F(AttackTest, ZoomStartsAndEndsComeInPairsWhenTheAttackerDies) {
    Unit& a = Gunner(UT_LIGHT_TANK, blue, H(5, 5), battle);
    Unit& b = Gunner(UT_HEAVY_TANK, enemy, H(5, 6), battle);
    a.SetHealth(0.05f);
    Run(a, b);
    EXPECT_EQ(a.GetState(), kUnitGone);
    EXPECT_EQ(CountZoom("start"), 2);
    EXPECT_EQ(CountZoom("end"), 2);
}

}  // namespace
}  // namespace units_test
