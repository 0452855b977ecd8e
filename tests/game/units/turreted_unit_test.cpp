// The turreted vehicles and warships: aiming steps of turret and barrel, the way back to rest, the pose
// matrices, the weapons and when their firing has finished.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/scalar_math.h"
#include "game/units/turreted_unit.h"
#include "unit_class_fixture.h"

namespace units_test {
namespace {

class TurretTest : public UnitClassTest {
protected:
    void SetUp() override {
        // Every turret and barrel part; the barrels stand at the height of an aim point, so that a level
        // target needs no elevation.
        for (int type = 1; type < kUnitTypeCount; ++type) {
            const TurretRow* turret = GetUnitClassRow(type).turret;
            if (turret == nullptr) continue;
            views.modelParts.emplace_back(turret->turret, engine::Vec3{0.0f, 0.2f, 0.0f});
            if (turret->barrel != nullptr) views.modelParts.emplace_back(turret->barrel, engine::Vec3{0, 0.3f, 0.1f});
            for (const char* wheels : turret->wheels) {
                if (wheels != nullptr) views.modelParts.emplace_back(wheels, engine::Vec3{});
            }
        }
        UnitClassTest::SetUp();
    }
    // A turreted unit at the origin facing direction 0 (heading 90) and a target at the heading.
    TurretedUnit& Shooter(int type) { return dynamic_cast<TurretedUnit&>(At(type, &blue, 0, 0, 90, 0)); }
    Unit& TargetAt(float heading, float distance = 3.0f, float y = 0.0f) {
        const engine::Vec2 at = Polar(heading, distance);
        return At(UT_HEAVY_TANK, &enemy, at.x, at.y, 0, 0, y);
    }
};

TEST_F(TurretTest, ATargetStraightAheadIsAimedInOneStepAndOneBehindInTenthsOfTheRest) {
    struct Case {
        int type;
        float divisor;
        float snap;
    };
    for (const Case& c : {Case{UT_LIGHT_TANK, 10, 2}, Case{UT_ANTIAIR, 20, 1}, Case{UT_DESTROYER, 20, 1},
                          Case{UT_AEGIS, 20, 1}, Case{UT_MED_TANK, 10, 2}, Case{UT_MLRS, 10, 2}}) {
        SCOPED_TRACE(c.type);
        TurretedUnit& ahead = Shooter(c.type);
        Unit& front = TargetAt(90.0f);
        EXPECT_TRUE(ahead.AimAtTarget(&front));
        EXPECT_NEAR(ahead.GetTurretYaw(), 0.0f, 0.01f);
        battle.RemoveAll();

        TurretedUnit& tank = Shooter(c.type);
        Unit& behind = TargetAt(270.5f);
        int steps = 0;
        bool aimed = false;
        while (!aimed && steps < 500) {
            const float before = tank.GetTurretYaw();
            const float rest = std::fabs(engine::ShortestAngleDiffDeg(90.0f - before, 270.5f));
            aimed = tank.AimAtTarget(&behind);
            ++steps;
            if (rest >= c.snap) {
                EXPECT_NEAR(std::fabs(tank.GetTurretYaw() - before), rest / c.divisor, 0.01f) << steps;
            }
        }
        EXPECT_TRUE(aimed);
        EXPECT_GT(steps, 20);
        EXPECT_NEAR(std::fabs(engine::ShortestAngleDiffDeg(90.0f - tank.GetTurretYaw(), 270.5f)), 0.0f, 0.01f);
        battle.RemoveAll();
    }
}

TEST_F(TurretTest, TheBarrelRisesHalfADegreeAStepAndTheGunsToSixtyAtOneDegree) {
    TurretedUnit& tank = Shooter(UT_LIGHT_TANK);
    Unit& high = TargetAt(90.0f, 3.0f, 3.0f);
    int steps = 0;
    float before = 0.0f;
    while (!tank.AimAtTarget(&high) && steps < 500) {
        EXPECT_LE(std::fabs(tank.GetBarrelPitch() - before), 0.5f + 1e-4f);
        before = tank.GetBarrelPitch();
        ++steps;
    }
    // From the pivot (0, 0.3, 0.1) to the aim point (0, 3.3, 3): the elevation over the full
    // three-dimensional length, atan(3 / sqrt(9 + 2.9^2)), not over the ground distance (46 degrees).
    EXPECT_NEAR(tank.GetBarrelPitch(), 35.72f, 0.05f);
    EXPECT_GT(steps, 60);

    for (int type : {UT_ARTILLERY, UT_CRUISER}) {
        SCOPED_TRACE(type);
        for (float distance : {2.0f, 8.0f}) {
            TurretedUnit& gun = Shooter(type);
            Unit& target = TargetAt(90.0f, distance);
            int calls = 1;
            while (!gun.AimAtTarget(&target) && calls < 500) {
                EXPECT_NEAR(gun.GetBarrelPitch(), static_cast<float>(calls), 1e-3f);
                ++calls;
            }
            EXPECT_EQ(calls, 60);
            EXPECT_FLOAT_EQ(gun.GetBarrelPitch(), 60.0f);
        }
    }
}

TEST_F(TurretTest, IdleUpdatesBringTurretAndBarrelBackToRest) {
    struct Case {
        int type;
        float barrelStep;
        float barrelSnap;
    };
    for (const Case& c :
         {Case{UT_LIGHT_TANK, 0.3f, 0.7f}, Case{UT_ARTILLERY, 1.0f, 1.1f}, Case{UT_CRUISER, 1.0f, 1.1f}}) {
        SCOPED_TRACE(c.type);
        TurretedUnit& unit = Shooter(c.type);
        unit.SetTurretYaw(30.0f);
        unit.SetBarrelPitch(5.0f);
        unit.IdleUpdate();
        EXPECT_FLOAT_EQ(unit.GetTurretYaw(), 28.0f);
        EXPECT_FLOAT_EQ(unit.GetBarrelPitch(), 5.0f - c.barrelStep);
        unit.SetTurretYaw(-2.9f);
        unit.SetBarrelPitch(c.barrelSnap - 0.01f);
        unit.IdleUpdate();
        EXPECT_EQ(unit.GetTurretYaw(), 0.0f);
        EXPECT_EQ(unit.GetBarrelPitch(), 0.0f);
        unit.SetTurretYaw(3.0f);
        unit.IdleUpdate();
        EXPECT_FLOAT_EQ(unit.GetTurretYaw(), 1.0f);
        battle.RemoveAll();
    }
}

TEST_F(TurretTest, AimingReportsNothingWhileTheZoomRunsAndAShotIsAwaitedAfterEachAim) {
    TurretedUnit& tank = Shooter(UT_LIGHT_TANK);
    Unit& front = TargetAt(90.0f);
    battle.unitServices.zoomTicksLeft = 3;
    EXPECT_FALSE(tank.AimAtTarget(&front));
    EXPECT_FALSE(tank.AimAtTarget(&front)) << "settled, but the zoom runs";
    battle.unitServices.zoomTicksLeft = 0;
    EXPECT_TRUE(tank.AimAtTarget(&front));
    EXPECT_FALSE(tank.IsFiringFinished()) << "not fired since the aim";
    tank.Fire(&front);
    tank.PlayShoot();
    EXPECT_FALSE(tank.IsFiringFinished()) << "flash and exhaust still show";
    LogOf(tank).liveEffects.clear();
    EXPECT_TRUE(tank.IsFiringFinished());
    tank.AimAtTarget(&front);
    EXPECT_FALSE(tank.IsFiringFinished());
}

TEST_F(TurretTest, AnAntiAirAttackEndsOnlyAfterItsOneSecondFiringLoop) {
    battle.options = kOptionZoomBattles;
    for (int type : {UT_ANTIAIR, UT_AEGIS}) {
        SCOPED_TRACE(type);
        battle.unitServices.loops.clear();
        battle.unitServices.stoppedLoops.clear();
        TurretedUnit& gun = Shooter(type);
        Unit& target = TargetAt(90.0f);
        gun.Fire(&target);
        EXPECT_EQ(battle.unitServices.loops, std::vector<int>{9});
        EXPECT_EQ(gun.GetFireTimer(), 1.0f);
        gun.PlayShoot();
        LogOf(gun).liveEffects.clear();
        EXPECT_FALSE(gun.IsFiringFinished());
        const int frames = battle.TickUntil([&] { return gun.GetFireTimer() == 0.0f; });
        EXPECT_GE(frames, 49);
        EXPECT_LE(frames, 51);
        EXPECT_EQ(battle.unitServices.stoppedLoops.size(), 1u);
        gun.PlayShoot();
        EXPECT_TRUE(gun.IsFiringFinished());
        battle.RemoveAll();
    }
}

TEST_F(TurretTest, EachWeaponPutsItsProjectilesIntoTheManager) {
    struct Case {
        int type;
        int count;
        const char* kind;
        int sound;  // a level sound of the launch or the class
        int effects;
    };
    const Case cases[] = {
        {UT_LIGHT_TANK, 1, "shell", 1, 2}, {UT_MED_TANK, 1, "shell", 1, 2}, {UT_HEAVY_TANK, 1, "shell", 1, 2},
        {UT_DESTROYER, 1, "shell", 1, 2},  {UT_ANTIAIR, 6, "burst", 0, 2},  {UT_AEGIS, 6, "burst", 0, 2},
        {UT_MLRS, 6, "homing", 0, 0},      {UT_ARTILLERY, 1, "ballistic", 7, 2}, {UT_CRUISER, 1, "ballistic", 7, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        battle.unitServices.sounds.clear();
        TurretedUnit& shooter = Shooter(c.type);
        Unit& target = TargetAt(90.0f, 4.0f);
        shooter.Fire(&target);
        ASSERT_EQ(battle.projectiles.CountInFlight(), c.count);
        const float full = shooter.DamageAgainst(target);
        for (int i = 0; i < c.count; ++i) {
            Projectile* shot = battle.projectiles.Get(i);
            EXPECT_NEAR(shot->GetDamage(), full / static_cast<float>(c.count), 1e-5f);
            const std::string kind = dynamic_cast<Shell*>(shot) != nullptr         ? "shell"
                                     : dynamic_cast<BurstShot*>(shot) != nullptr    ? "burst"
                                     : dynamic_cast<HomingRocket*>(shot) != nullptr ? "homing"
                                     : dynamic_cast<BallisticShot*>(shot) != nullptr ? "ballistic"
                                                                                     : "other";
            EXPECT_EQ(kind, c.kind);
        }
        if (c.sound != 0) {
            EXPECT_EQ(battle.unitServices.CountSound(c.sound), 1);
        }
        EXPECT_EQ(static_cast<int>(LogOf(shooter).effectNodes.size()), c.effects);
        battle.RemoveAll();
    }
}

TEST_F(TurretTest, PoseMatricesMatchHandComputedOnesAndReachTheParts) {
    const float c30 = 0.8660254f;
    const float s30 = 0.5f;
    const float c10 = 0.98480775f;
    const float s10 = 0.17364818f;
    const float v = 0.01f;
    struct Case {
        int type;
        float kick;
    };
    for (const Case& c : {Case{UT_LIGHT_TANK, 0.1f}, Case{UT_ARTILLERY, 0.2f}}) {
        SCOPED_TRACE(c.type);
        TurretedUnit& unit = Shooter(c.type);
        unit.SetTurretYaw(30.0f);
        unit.SetBarrelPitch(10.0f);
        unit.SetRecoil(0.5f);
        const engine::Matrix44 turret = unit.TurretPose(v);
        const float expectTurret[4][3] = {{c30, 0, -s30}, {0, 1 + v, 0}, {s30, 0, c30}, {0, 0.2f, 0}};
        const engine::Matrix44 barrel = unit.BarrelPose();
        // The barrel slides back along its own z axis by recoil x kick.
        const float back = 0.5f * c.kick;
        const float expectBarrel[4][3] = {
            {1, 0, 0}, {0, c10, s10}, {0, -s10, c10}, {0, 0.3f - s10 * back, 0.1f + c10 * back}};
        const engine::Matrix44 body = unit.BodyPose(v);
        const float expectBody[4][3] = {{1 + v, 0, 0}, {0, 1, 0}, {0, 0, 1 - v}, {0, 0, 0}};
        for (int r = 0; r < 4; ++r) {
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(turret.m[r][k], expectTurret[r][k], 1e-5f) << r << k;
                EXPECT_NEAR(barrel.m[r][k], expectBarrel[r][k], 1e-5f) << r << k;
                EXPECT_NEAR(body.m[r][k], expectBody[r][k], 1e-5f) << r << k;
            }
        }
        battle.Tick();
        EXPECT_FLOAT_EQ(unit.GetRecoil(), 0.5f * unit.Turret().recoilDecay);
        const float now = (battle.timer.SmoothPingPong(0.3f) - 0.5f) * 0.03f;
        EXPECT_EQ(PartOf(unit, unit.Turret().turret).local.m[1][1], unit.TurretPose(now).m[1][1]);
        EXPECT_EQ(PartOf(unit, unit.Turret().barrel).local.m[3][2], unit.BarrelPose().m[3][2]);
        EXPECT_TRUE(PartOf(unit, unit.Turret().turret).underRoot);
        battle.RemoveAll();
    }
    // The rocket launcher has no barrel: the launcher itself slides back.
    TurretedUnit& mlrs = Shooter(UT_MLRS);
    mlrs.SetRecoil(1.0f);
    EXPECT_NEAR(mlrs.TurretPose(0.0f).GetTranslation().z, 0.05f, 1e-6f);
}

}  // namespace
}  // namespace units_test
