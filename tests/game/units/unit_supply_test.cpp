// Fuel and ammunition against the capacities of the project's tables: types with and without each capacity.
#include <gtest/gtest.h>

#include "game/units/unit_tables.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

using SupplyTest = UnitsTest;

TEST_F(SupplyTest, FuelAndAmmunitionAgainstTheCapacities) {
    // Capacities: trooper none; sniper ammunition 6 only; truck fuel 300 only; light tank fuel 200, ammo 8.
    ASSERT_EQ(GetUnitParams(UT_TROOPER).fuelCapacity, 0.0f);
    ASSERT_EQ(GetUnitParams(UT_TROOPER).ammoCapacity, 0);
    ASSERT_EQ(GetUnitParams(UT_SNIPER).fuelCapacity, 0.0f);
    ASSERT_EQ(GetUnitParams(UT_SNIPER).ammoCapacity, 6);
    ASSERT_EQ(GetUnitParams(UT_TRUCK).fuelCapacity, 300.0f);
    ASSERT_EQ(GetUnitParams(UT_TRUCK).ammoCapacity, 0);
    ASSERT_EQ(GetUnitParams(UT_LIGHT_TANK).fuelCapacity, 200.0f);
    ASSERT_EQ(GetUnitParams(UT_LIGHT_TANK).ammoCapacity, 8);
    ASSERT_EQ(GetUnitParams(UT_LIGHT_TANK).moveAllowance, 40.0f);

    struct Case {
        int type;
        float fuel;
        int ammo;
        bool hasAmmo;
        bool needsFull;          // NeedsResupply(1.0, false)
        bool needsHalf;          // NeedsResupply(0.5, false)
        bool needsFullFuelOnly;  // NeedsResupply(1.0, true)
        float fuelFraction;
        bool noFuel;
        float ammoFraction;
        bool noAmmo;
        float allowance;
    };
    const Case cases[] = {
        {UT_TROOPER, 0.0f, 0, true, false, false, false, 1.0f, true, 1.0f, true, 25.0f},
        {UT_SNIPER, 0.0f, 6, true, false, false, false, 1.0f, true, 1.0f, false, 20.0f},
        {UT_SNIPER, 0.0f, 3, true, true, false, false, 1.0f, true, 0.5f, false, 20.0f},  // exactly half: not below
        {UT_SNIPER, 0.0f, 0, false, true, true, false, 1.0f, true, 0.0f, false, 20.0f},
        {UT_TRUCK, 300.0f, 0, true, false, false, false, 1.0f, false, 1.0f, true, 40.0f},
        {UT_TRUCK, 150.0f, 0, true, true, false, true, 0.5f, false, 1.0f, true, 40.0f},
        {UT_TRUCK, 12.5f, 0, true, true, true, true, 12.5f / 300.0f, false, 1.0f, true, 12.5f},
        {UT_LIGHT_TANK, 200.0f, 8, true, false, false, false, 1.0f, false, 1.0f, false, 40.0f},
        {UT_LIGHT_TANK, 200.0f, 7, true, true, false, false, 1.0f, false, 0.875f, false, 40.0f},
        {UT_LIGHT_TANK, 40.0f, 8, true, true, true, true, 0.2f, false, 1.0f, false, 40.0f},
        {UT_LIGHT_TANK, 39.0f, 0, false, true, true, true, 0.195f, false, 0.0f, false, 39.0f},
        {UT_LIGHT_TANK, 250.0f, 9, true, false, false, false, 1.0f, false, 1.0f, false, 40.0f},  // clamped
        {UT_LIGHT_TANK, -5.0f, 0, false, true, true, true, 0.0f, false, 0.0f, false, -5.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " fuel " << c.fuel << " ammo " << c.ammo);
        Unit& unit = battle.Make(c.type, &blue, H(2, 2));
        unit.SetFuel(c.fuel);
        unit.SetAmmo(c.ammo);
        EXPECT_EQ(unit.HasAmmo(), c.hasAmmo);
        EXPECT_EQ(unit.NeedsResupply(1.0f, false), c.needsFull);
        EXPECT_EQ(unit.NeedsResupply(0.5f, false), c.needsHalf);
        EXPECT_EQ(unit.NeedsResupply(1.0f, true), c.needsFullFuelOnly);
        bool noFuel = !c.noFuel;
        bool noAmmo = !c.noAmmo;
        EXPECT_FLOAT_EQ(unit.GetFuelFraction(noFuel), c.fuelFraction);
        EXPECT_EQ(noFuel, c.noFuel);
        EXPECT_FLOAT_EQ(unit.GetAmmoFraction(noAmmo), c.ammoFraction);
        EXPECT_EQ(noAmmo, c.noAmmo);
        EXPECT_FLOAT_EQ(unit.GetMoveAllowance(), c.allowance);
        unit.StartTurn();
        EXPECT_FLOAT_EQ(unit.GetMovementLeft(), c.allowance);
        battle.Destroy(unit);
    }
}

TEST_F(SupplyTest, StoredFuelAndAmmunitionComeBack) {
    Unit& tank = battle.Make(UT_HEAVY_TANK, &blue, H(2, 2));
    tank.SetFuel(90.0f);
    tank.SetAmmo(3);
    tank.StoreFuelAmmo();
    tank.SetFuel(10.0f);
    tank.SetAmmo(0);
    tank.RestoreFuelAmmo();
    EXPECT_FLOAT_EQ(tank.GetFuel(), 90.0f);
    EXPECT_EQ(tank.GetAmmo(), 3);
}

}  // namespace
}  // namespace units_test
