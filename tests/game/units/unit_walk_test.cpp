// Walking routes: step timing, jumps, instant moves, scripted units, the kept movement of a route, fuel,
// the wait timer, flight height and models without the animations a walk waits on.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "game/battle/battle_types.h"
#include "game/units/move_orders.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

// A 12 x 12 grid of level-0 land whose cells the function may change.
std::string Grid(const std::function<std::string(int column, int row)>& cell) {
    std::string s = "weather 2\ngrid 12 12\n";
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 12; ++c) {
            const std::string custom = cell(c, r);
            s += custom.empty() ? "L0" : custom;
            s += c + 1 < 12 ? " " : "\n";
        }
    }
    return s;
}

// A route straight down (direction 3) from the hex.
HexPath Down(HexCoord from, int steps) {
    HexPath route;
    route.start = from;
    route.count = steps;
    for (int i = 0; i < steps; ++i) route.directions[i] = 3;
    return route;
}

class WalkTest : public UnitsTest {
protected:
    Unit& Tank(HexCoord at, float movement = 40.0f) {
        Unit& unit = battle.Make(UT_LIGHT_TANK, &blue, at);
        unit.SetMovementLeft(movement);
        return unit;
    }
    // Ticks until the unit stands on the hex; the ticks.
    int TicksTo(Unit& unit, HexCoord hex, int limit = 500) {
        return battle.TickUntil([&] { return unit.GetHexPos() == hex; }, limit);
    }
    int TicksToIdle(Unit& unit, int limit = 2000) {
        return battle.TickUntil([&] { return unit.GetState() == kUnitIdle && unit.GetOrderCount() == 0; }, limit);
    }
};

TEST_F(WalkTest, AFlatStepEndsInItsStepTicksMinusFirstTickAndReadsTheFloodsMovement) {
    Unit& tank = Tank(H(2, 2));
    const float fuel = tank.GetFuel();
    const int stepTicks = tank.GetParams().stepTicks;
    ASSERT_NE(tank.QueueOrder(std::make_unique<FollowPathOrder>(Down(H(2, 2), 2))), nullptr);
    EXPECT_EQ(TicksTo(tank, H(2, 3)), stepTicks - 1);
    EXPECT_NEAR(tank.GetMovementLeft(), 35.0f, 1e-3f);
    EXPECT_EQ(TicksTo(tank, H(2, 4)), stepTicks - 1);
    EXPECT_NEAR(tank.GetMovementLeft(), 30.0f, 1e-3f);
    TicksToIdle(tank);
    EXPECT_NEAR(tank.GetFuel(), fuel - 10.0f, 1e-3f);
    EXPECT_EQ(battle.unitServices.loops.size(), 1u);  // one engine loop for the whole walk
    ASSERT_EQ(battle.unitServices.stoppedLoops.size(), 1u);
    EXPECT_FLOAT_EQ(battle.unitServices.stoppedLoops[0].second, 0.5f);
    EXPECT_EQ(battle.unitServices.CountSound(kSoundLandStop), 1);
    // The track smoke was made once, hung at the start and stopped at the end.
    EXPECT_EQ(LogOf(tank).effectNodes, std::vector<std::string>{"Particles/tank_track_smoke"});
    EXPECT_EQ(LogOf(tank).stoppedEffects.size(), 1u);
}

// A walk stopped before its end, by cancelling its orders (a script's STOPUNIT) or by destroying the
// unit, stops the engine loop it started; another unit's loop plays on.
TEST_F(WalkTest, AWalkCancelledOrDestroyedMidwayStopsItsOwnLoopSound) {
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "cancelled");
        RecordingUnitServices& sound = battle.unitServices;
        sound.loops.clear();
        sound.stoppedLoops.clear();
        Unit& walker = Tank(H(2, 2));
        Unit& other = Tank(H(6, 2));
        ASSERT_NE(other.QueueOrder(std::make_unique<FollowPathOrder>(Down(H(6, 2), 4))), nullptr);
        battle.Tick();
        ASSERT_NE(walker.QueueOrder(std::make_unique<FollowPathOrder>(Down(H(2, 2), 4))), nullptr);
        TicksTo(walker, H(2, 3));
        ASSERT_EQ(sound.loops.size(), 2u);
        ASSERT_TRUE(sound.stoppedLoops.empty());
        const int walkerLoop = sound.lastLoop;  // started second
        if (destroy) {
            battle.Destroy(walker);
        } else {
            walker.CancelOrders();
        }
        ASSERT_EQ(sound.stoppedLoops.size(), 1u);
        EXPECT_EQ(sound.stoppedLoops[0].first, walkerLoop);
        // Nothing more is stopped later: the handle is forgotten.
        if (!destroy) {
            walker.CancelOrders();
            battle.Tick();
            EXPECT_EQ(sound.stoppedLoops.size(), 1u);
        }
        battle.Destroy(other);
        if (!destroy) battle.Destroy(walker);
    }
}

TEST_F(WalkTest, ALevelChangeOrTheWadingEdgeIsAJumpThatEndsWithItsAnimation) {
    struct Case {
        const char* name;
        const char* cell;  // the cell at column 2, row 3
    };
    for (const Case& c : {Case{"level", "L2"}, Case{"wading", "R0"}}) {
        SCOPED_TRACE(c.name);
        FakeUnitBattle jumpy(Grid([&](int col, int row) { return col == 2 && row == 3 ? c.cell : ""; }));
        views.modelAnimations = {"idle", "run", "jump"};
        Unit& grunt = jumpy.Make(UT_GRUNT, &blue, H(2, 2));
        grunt.SetMovementLeft(25.0f);
        grunt.QueueOrder(std::make_unique<FollowPathOrder>(Down(H(2, 2), 1)));
        for (int i = 0; i < 60; ++i) jumpy.Tick();
        EXPECT_TRUE(grunt.IsJumping());
        EXPECT_EQ(grunt.GetHexPos(), H(2, 2));  // the jump waits for its animation
        EXPECT_EQ(LogOf(grunt).current, "jump");
        LogOf(grunt).EndAnimation();
        jumpy.Tick();
        EXPECT_EQ(grunt.GetHexPos(), H(2, 3));
        EXPECT_FALSE(grunt.IsJumping());
        jumpy.RemoveAll();
        views.modelAnimations.clear();
    }
}

TEST_F(WalkTest, AModelWithoutRunOrJumpDoesNotHoldTheWalk) {
    FakeUnitBattle jumpy(Grid([](int col, int row) { return col == 2 && row == 3 ? "L2" : ""; }));
    Unit& grunt = jumpy.Make(UT_GRUNT, &blue, H(2, 2));  // the default model: "idle" and "stoodidle" only
    grunt.SetMovementLeft(25.0f);
    grunt.QueueOrder(std::make_unique<FollowPathOrder>(Down(H(2, 2), 1)));
    const int ticks = jumpy.TickUntil([&] { return grunt.GetState() == kUnitIdle; }, 500);
    EXPECT_EQ(grunt.GetHexPos(), H(2, 3));
    EXPECT_EQ(ticks, 1);  // the jump ends on its first tick
    jumpy.RemoveAll();
}

TEST_F(WalkTest, InstantMoveEndsEachStepOnItsFirstTickExceptForScriptedUnits) {
    for (bool scripted : {false, true}) {
        SCOPED_TRACE(scripted);
        battle.options = kOptionInstantMove;
        Unit& tank = Tank(H(4 + (scripted ? 2 : 0), 2));
        tank.SetScripted(scripted);
        const HexCoord start = tank.GetHexPos();
        tank.QueueOrder(std::make_unique<FollowPathOrder>(Down(start, 3)));
        const int ticks = TicksToIdle(tank);
        EXPECT_EQ(tank.GetHexPos(), H(start.column, 5));
        EXPECT_EQ(ticks, scripted ? 3 * (tank.GetParams().stepTicks - 1) : 3);
        // A scripted unit never loses movement walking.
        EXPECT_NEAR(tank.GetMovementLeft(), scripted ? 40.0f : 25.0f, 1e-3f);
    }
}

TEST_F(WalkTest, AFloodInMidWalkDoesNotChangeTheMovementOfTheRoute) {
    Unit& tank = Tank(H(2, 2));
    Unit& other = battle.Make(UT_GRUNT, &blue, H(8, 8));
    tank.QueueOrder(std::make_unique<FollowPathOrder>(Down(H(2, 2), 3)));
    for (int i = 0; i < 5; ++i) battle.Tick();
    // Another unit's order floods the shared scratch from far away.
    battle.map->SetTileScratch(0.0f);
    battle.map->FloodMoveBudget(other.GetHexPos(), other, 10.0f);
    TicksToIdle(tank);
    EXPECT_EQ(tank.GetHexPos(), H(2, 5));
    EXPECT_NEAR(tank.GetMovementLeft(), 25.0f, 1e-3f);
}

TEST_F(WalkTest, FuelNeverRisesWhenAMoveEndsWithMoreMovementThanItBegan) {
    Unit& tank = Tank(H(2, 2), 6.0f);
    const float fuel = tank.GetFuel();
    // The move floods from the full allowance, so the entered hex reports more than the 6 points left.
    tank.QueueOrder(std::make_unique<MoveOrder>(H(2, 3)));
    TicksToIdle(tank);
    EXPECT_EQ(tank.GetHexPos(), H(2, 3));
    EXPECT_GT(tank.GetMovementLeft(), 6.0f);
    EXPECT_FLOAT_EQ(tank.GetFuel(), fuel);
    // Fuel also stops at 0.
    tank.SetFuel(2.0f);
    tank.SetMovementLeft(40.0f);
    tank.QueueOrder(std::make_unique<FollowPathOrder>(Down(H(2, 3), 1)));
    TicksToIdle(tank);
    EXPECT_FLOAT_EQ(tank.GetFuel(), 0.0f);
}

TEST_F(WalkTest, AMoveWithoutARouteEndsAtOnce) {
    FakeUnitBattle walled(Grid([](int col, int row) { return col == 6 && row == 6 ? "X0" : ""; }));
    Unit& tank = walled.Make(UT_LIGHT_TANK, &blue, H(2, 2));
    tank.SetMovementLeft(40.0f);
    tank.QueueOrder(std::make_unique<MoveOrder>(H(6, 6)));
    walled.Tick();
    EXPECT_EQ(tank.GetState(), kUnitIdle);
    EXPECT_EQ(tank.GetOrderCount(), 0);
    EXPECT_EQ(tank.GetHexPos(), H(2, 2));
    walled.RemoveAll();
}

TEST_F(WalkTest, ARunningWaitTimerHoldsBackTheOrders) {
    Unit& tank = Tank(H(2, 2));
    tank.SetWaitTimer(0.5f);
    tank.QueueOrder(std::make_unique<FollowPathOrder>(Down(H(2, 2), 1)));
    for (int i = 0; i < 24; ++i) battle.Tick();
    EXPECT_EQ(tank.GetSubStep(), 0);
    EXPECT_GT(tank.GetWaitTimer(), 0.0f);
    battle.Tick();
    battle.Tick();
    EXPECT_GT(tank.GetSubStep(), 0);
}

TEST_F(WalkTest, AircraftSettleTowardTheirHeightSlowerAndHigherWhileCarrying) {
    struct Case {
        bool carrying;
        int carryState;
        float expected;  // after one tick from 0
    };
    const float air = battle.map->GetUnitHeight(H(5, 5), true);
    for (const Case& c : {Case{false, 0, air * 0.1f}, Case{true, 0, (air + 1.1f) * 0.05f}, Case{false, 1, 0.0f}}) {
        Unit& heli = battle.Make(UT_SKYHOOK, &blue, H(5, 5));
        heli.SetAirborneFlag(true);
        heli.SetFlightHeight(0.0f);
        heli.SetCarryState(c.carryState);
        if (c.carrying) heli.LinkPassenger(battle.Make(UT_GRUNT, &blue, H(5, 5)));
        heli.Tick();
        EXPECT_NEAR(heli.GetFlightHeight(), c.expected, 1e-5f) << c.carrying << " " << c.carryState;
        battle.RemoveAll();
    }
}

}  // namespace
}  // namespace units_test
