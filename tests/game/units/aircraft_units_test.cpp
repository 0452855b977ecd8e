// The helicopters: lift-off and landing with a refill, the crash fall, rotors, and the weapons.
#include <gtest/gtest.h>

#include "game/units/aircraft_units.h"
#include "unit_class_fixture.h"

namespace units_test {
namespace {

class AircraftTest : public UnitClassTest {
protected:
    void SetUp() override {
        for (const char* rotor : {"Helicopter_blades_01_mesh", "Helicopter_blades_02_mesh", "bomber_blades_01",
                                  "bomber_blades_02", "fighter_blades_01", "fighter_blades_02"}) {
            views.modelParts.emplace_back(rotor, engine::Vec3{0.0f, 0.5f, 0.0f});
        }
        UnitClassTest::SetUp();
    }
};

TEST_F(AircraftTest, LiftOffTakesTheHeightFromWhereTheAircraftStands) {
    for (int type : {UT_SKYHOOK, UT_BOMBER, UT_FIGHTER}) {
        SCOPED_TRACE(type);
        Unit& aircraft = At(type, &blue, 1, 1, 0, 0, 2.0f);
        aircraft.SetFlightHeight(5.0f);
        aircraft.SetAirborne(true);
        EXPECT_TRUE(aircraft.IsAirborne());
        EXPECT_EQ(aircraft.GetFlightHeight(), 2.0f);
        aircraft.SetFlightHeight(3.0f);
        aircraft.SetAirborne(true);
        EXPECT_EQ(aircraft.GetFlightHeight(), 3.0f) << "already airborne";
        battle.RemoveAll();
    }
}

TEST_F(AircraftTest, LandingBesideAFriendlyTruckRefillsOnlyWhatIsBelowFull) {
    struct Case {
        float fuelShare;
        bool ammoShort;
        bool refilled;
    };
    for (const Case& c : {Case{1.0f, false, false}, Case{0.5f, false, true}, Case{1.0f, true, true}}) {
        SCOPED_TRACE(c.fuelShare);
        Unit& skyhook = battle.Make(UT_BOMBER, &blue, H(4, 4));
        battle.Make(UT_TRUCK, &blue, H(4, 5));
        const UnitParams& params = skyhook.GetParams();
        skyhook.SetFuel(params.fuelCapacity * c.fuelShare);
        skyhook.SetAmmo(c.ammoShort ? 0 : params.ammoCapacity);
        skyhook.SetAirborne(true);
        battle.unitServices.texts.clear();
        skyhook.SetAirborne(false);
        EXPECT_FALSE(skyhook.IsAirborne());
        EXPECT_EQ(!battle.unitServices.texts.empty(), c.refilled);
        EXPECT_FLOAT_EQ(skyhook.GetFuel(), c.refilled ? params.fuelCapacity : params.fuelCapacity * c.fuelShare);
        battle.RemoveAll();
    }
}

TEST_F(AircraftTest, AShotDownHelicopterClimbsSixteenTicksThenFallsAndDiesOnTheThirtyThird) {
    for (int type : {UT_FIGHTER, UT_BOMBER}) {
        SCOPED_TRACE(type);
        battle.unitServices.craters.clear();
        battle.unitServices.sounds.clear();
        Unit& aircraft = battle.Make(type, &blue, H(4, 4));
        Unit& killer = battle.Make(UT_ANTIAIR, &enemy, H(4, 6));
        const float ground = aircraft.GetWorldPos().y;
        aircraft.SetFlightHeight(ground);
        aircraft.Kill(false, &killer);
        EXPECT_EQ(battle.unitServices.CountSound(25), 1);
        EXPECT_TRUE(battle.unitServices.craters.empty()) << "no death effects before the impact";
        float highest = ground;
        int ticks = 0;
        while (aircraft.GetState() == kUnitDying && ticks < 100) {
            battle.Tick();
            ++ticks;
            if (ticks == 16) highest = aircraft.GetFlightHeight();
            if (ticks <= 16) {
                EXPECT_GT(aircraft.GetFlightHeight(), ground);
            }
        }
        EXPECT_NEAR(highest - ground, 0.392f, 1e-4f);
        EXPECT_EQ(ticks, 33);
        EXPECT_EQ(aircraft.GetState(), kUnitGone);
        EXPECT_EQ(aircraft.GetFlightHeight(), ground);
        EXPECT_EQ(battle.unitServices.craters, std::vector<int>{0}) << "a crater where it hit the ground";
        battle.RemoveAll();
    }
}

TEST_F(AircraftTest, TheModelFliesAtItsHeightAndTheRotorsTurnOnTheGameClockAlsoLanded) {
    Unit& fighter = battle.Make(UT_FIGHTER, &blue, H(4, 4));
    fighter.SetFlightHeight(fighter.GetWorldPos().y + 1.5f);
    battle.Tick();
    EXPECT_NEAR(LogOf(fighter).matrix.GetTranslation().y, fighter.GetFlightHeight(), 1e-6f);
    ViewLog::Part& rotor = PartOf(fighter, "fighter_blades_01");
    ViewLog::Part& tail = PartOf(fighter, "fighter_blades_02");
    const int before = rotor.matrixCount;
    const engine::Matrix44 first = rotor.local;
    battle.Tick();
    EXPECT_EQ(rotor.matrixCount, before + 1);
    EXPECT_NE(rotor.local.m[0][0], first.m[0][0]);
    EXPECT_EQ(rotor.local.GetTranslation().y, 0.5f) << "the rotor keeps its place";
    EXPECT_GT(tail.matrixCount, 0);
    // The transport's rotors are found by containment.
    Unit& skyhook = battle.Make(UT_SKYHOOK, &blue, H(6, 4));
    battle.Tick();
    EXPECT_GT(PartOf(skyhook, "Helicopter_blades_01_mesh").matrixCount, 0);
    EXPECT_GT(PartOf(skyhook, "Helicopter_blades_02_mesh").matrixCount, 0);
}

TEST_F(AircraftTest, TheBomberIsAlwaysFinishedAndTheFighterOnlyAfterItsShotLeft) {
    Unit& bomber = battle.Make(UT_BOMBER, &blue, H(4, 4));
    Unit& fighter = battle.Make(UT_FIGHTER, &blue, H(4, 6));
    Unit& target = battle.Make(UT_LIGHT_TANK, &enemy, H(4, 8));
    EXPECT_TRUE(bomber.IsFiringFinished());
    fighter.AimAtTarget(&target);
    EXPECT_FALSE(fighter.IsFiringFinished());
    fighter.PlayShoot();
    EXPECT_TRUE(fighter.IsFiringFinished());

    fighter.Fire(&target);
    EXPECT_EQ(battle.projectiles.CountInFlight(), 8);
    for (int i = 0; i < 8; ++i) EXPECT_NE(dynamic_cast<FireSpit*>(battle.projectiles.Get(i)), nullptr);
    battle.projectiles.Clear();
    bomber.Fire(&target);
    EXPECT_EQ(battle.projectiles.CountInFlight(), 1);
    EXPECT_NE(dynamic_cast<BallisticShot*>(battle.projectiles.Get(0)), nullptr);
    EXPECT_FLOAT_EQ(battle.projectiles.Get(0)->GetDamage(), bomber.DamageAgainst(target));
}

}  // namespace
}  // namespace units_test
