// The launch frames the armed classes produce: from their muzzle offsets and elevations, every shot reaches
// its target in flight at every range of the class and every height difference of our tables.
#include <gtest/gtest.h>

#include <vector>

#include "game/units/unit_class_table.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

class LaunchTest : public UnitsTest {
protected:
    void SetUp() override {
        // The weapon parts stand where a model holds them: turrets on the hull, barrels forward of them.
        for (int type = 1; type < kUnitTypeCount; ++type) {
            const UnitClassRow& row = GetUnitClassRow(type);
            if (row.weapon.part != nullptr) views.modelParts.emplace_back(row.weapon.part, engine::Vec3{0.1f, 0.5f, 0});
            if (row.turret == nullptr) continue;
            views.modelParts.emplace_back(row.turret->turret, engine::Vec3{0, 0.3f, 0});
            if (row.turret->barrel == nullptr) continue;
            views.modelParts.emplace_back(row.turret->barrel, engine::Vec3{0, 0.05f, -0.2f});
            views.partParents.emplace_back(row.turret->barrel, row.turret->turret);
        }
        UnitsTest::SetUp();
    }
};

TEST_F(LaunchTest, EveryClassHitsInFlightOverItsRangesAndOurHeights) {
    const int shooters[] = {UT_TROOPER, UT_SUPERSOLDIER, UT_GENERAL, UT_GRUNT, UT_SNIPER, UT_GRENADIER,
                            UT_LIGHT_TANK, UT_MED_TANK, UT_HEAVY_TANK, UT_MLRS, UT_ARTILLERY, UT_BOMBER, UT_FIGHTER};
    int shots = 0;
    for (int levels = -2; levels <= 2; ++levels) {
        for (int type : shooters) {
            const UnitParams& params = GetUnitParams(type);
            for (int distance = std::max(params.minRange, 1); distance <= std::min(params.maxRange, 8); ++distance) {
                SCOPED_TRACE(std::to_string(type) + ": " + std::to_string(distance) + " hexes, " +
                             std::to_string(levels) + " levels");
                FakeUnitBattle terraced(TerracedSource(levels));
                Unit& from = terraced.Make(type, &blue, H(4, 2));
                Unit& to = terraced.Make(UT_LIGHT_TANK, &enemy, H(4, 2 + distance));
                if (from.IsAircraft()) {
                    from.SetAirborne(true);
                    from.SetFlightHeight(terraced.GetHexMap().GetUnitHeight(from.GetHexPos(), true));
                }
                terraced.Tick();
                int calls = 0;
                while (!from.AimAtTarget(&to) && calls < 500) {
                    ++calls;
                    from.UpdateAnimation();
                }
                from.UpdateAnimation();
                from.Fire(&to);
                if (!from.IsFiringFinished()) from.IsFiringFinished();  // the grenadier throws in two stages
                const int count = terraced.projectiles.CountInFlight();
                ASSERT_GT(count, 0);
                std::vector<Projectile*> flying;
                for (int slot = 0; slot < kProjectileSlots; ++slot) {
                    if (Projectile* p = terraced.projectiles.Get(slot)) flying.push_back(p);
                }
                for (Projectile* p : flying) {
                    to.SetHealth(1.0f);
                    int ticks = 0;
                    while (ticks < 600 && !p->Tick()) ++ticks;
                    EXPECT_TRUE(p->HitInFlight());
                    ++shots;
                }
                terraced.RemoveAll();
            }
        }
    }
    EXPECT_GT(shots, 100);
}

}  // namespace
}  // namespace units_test
