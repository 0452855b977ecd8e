// Projectiles: hit timing of each class, volleys and slots, the busy flag, overshooting shells, the launch
// speed, shots whose life ends, zero vectors, and every launcher reaching its target over the distances and
// height differences of our tables.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "game/battle/battle_types.h"
#include "game/battle/hex_map_source.h"
#include "game/units/projectile_manager.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

class ProjectileTest : public UnitsTest {
protected:
    void SetUp() override {
        UnitsTest::SetUp();
        shooter = &battle.Make(UT_LIGHT_TANK, &blue, H(2, 2));
        target = &battle.Make(UT_LIGHT_TANK, &enemy, H(2, 5));
    }
    // Ticks the projectile until it is finished; the ticks.
    static int Fly(Projectile& p, int limit = 500) {
        int ticks = 0;
        while (ticks < limit) {
            ++ticks;
            if (p.Tick()) break;
        }
        return ticks;
    }
    engine::Vec3 Aim(const Unit& unit) const {
        engine::Vec3 at;
        unit.GetAimPoint(at);
        return at;
    }
    // A launch frame at the point, facing the target point turned up by the elevation.
    static engine::Matrix44 FrameToward(const engine::Vec3& from, const engine::Vec3& to, float elevation) {
        const float dx = to.x - from.x;
        const float dz = to.z - from.z;
        const float h = std::sqrt(dx * dx + dz * dz);
        const float e = elevation * 3.14159265f / 180.0f;
        engine::Matrix44 frame;
        frame.SetBasisFromDirection({dx / h * std::cos(e), std::sin(e), dz / h * std::cos(e)});
        frame.SetRow(3, from);
        return frame;
    }

    Unit* shooter = nullptr;
    Unit* target = nullptr;
    ProjectileManager& manager() { return battle.projectiles; }
};

TEST_F(ProjectileTest, ABulletHitsOnItsThirteenthTickWhateverTheDistance) {
    for (HexCoord at : {H(2, 3), H(9, 9)}) {
        target->PlaceOnHex(at);
        target->SetHealth(1.0f);
        Bullet bullet(*shooter, *target, 0.25f);
        EXPECT_EQ(Fly(bullet), 13);
        EXPECT_TRUE(bullet.HitInFlight());
        EXPECT_NEAR(target->GetHealth(), 0.75f, 1e-5f);
    }
}

TEST_F(ProjectileTest, VolleysFillTheirSlotsAndDropWhatDoesNotFit) {
    const engine::Matrix44 frame = FrameToward(Aim(*shooter), Aim(*target), 0.0f);
    manager().LaunchRocketSalvo(frame, *target, *shooter);
    EXPECT_EQ(manager().CountInFlight(), 6);
    manager().LaunchBurst(*shooter, *target);  // two fit, four are dropped
    EXPECT_EQ(manager().CountInFlight(), 8);
    manager().Clear();
    manager().LaunchFireBarrage(frame, *target, *shooter);
    EXPECT_EQ(manager().CountInFlight(), 8);
    manager().Clear();
    EXPECT_FALSE(manager().IsBusy());
    EXPECT_FLOAT_EQ(target->GetHealth(), 1.0f);  // cleared shots do not land
}

TEST_F(ProjectileTest, ABurstHitsAtDelaysSixteenPlusEightIAndIsBusyUntilTheLastShot) {
    const float full = shooter->DamageAgainst(*target);
    manager().LaunchBurst(*shooter, *target);
    std::vector<int> hits;
    float health = target->GetHealth();
    for (int tick = 1; tick <= 100 && manager().IsBusy(); ++tick) {
        manager().Update();
        if (target->GetHealth() < health) {
            hits.push_back(tick);
            health = target->GetHealth();
        }
    }
    EXPECT_EQ(hits, (std::vector<int>{16, 24, 32, 40, 48, 56}));
    EXPECT_FALSE(manager().IsBusy());
    // Each shot carries a sixth of the damage fixed at launch, each rounded up to whole percent.
    EXPECT_NEAR(1.0f - target->GetHealth(), 6 * std::ceil(full / 6.0f * 100.0f - 1e-3f) / 100.0f, 1e-4f);
}

TEST_F(ProjectileTest, AnOvershootingShellHitsAsSoonAsTheDistanceGrows) {
    // Launched from beside the target point, aimed through it: the first step takes it past.
    engine::Vec3 from = Aim(*target);
    from.z -= 0.1f;
    Shell shell(*shooter, *target, 0.1f, from, 1.0f);
    EXPECT_EQ(Fly(shell), 1);
    EXPECT_TRUE(shell.HitInFlight());
}

TEST_F(ProjectileTest, AShotWhoseLifeEndsWithoutAHitStillImpactsOnce) {
    // A shell launched far away cannot arrive within its 80 ticks.
    engine::Vec3 from = Aim(*target);
    from.z -= 30.0f;
    const int effects = static_cast<int>(battle.unitServices.effects.size());
    Shell shell(*shooter, *target, 0.2f, from, 1.0f);
    EXPECT_EQ(Fly(shell), 80);
    EXPECT_FALSE(shell.HitInFlight());
    EXPECT_NEAR(target->GetHealth(), 0.8f, 1e-5f);
    EXPECT_EQ(static_cast<int>(battle.unitServices.effects.size()), effects + 1);
}

TEST_F(ProjectileTest, ZeroVectorsHitAtOnce) {
    Shell onPoint(*shooter, *target, 0.1f, Aim(*target), 1.0f);
    EXPECT_EQ(Fly(onPoint), 1);
    EXPECT_TRUE(onPoint.HitInFlight());
    engine::Matrix44 frame;
    frame.SetRow(3, Aim(*target));
    HomingRocket rocket(*shooter, *target, 0.1f, frame, 0);
    const int ticks = Fly(rocket);
    EXPECT_TRUE(rocket.HitInFlight());
    EXPECT_LT(ticks, 120);
    EXPECT_TRUE(std::isfinite(rocket.GetPosition().x));
}

TEST(LaunchSpeedTest, NoSolutionDegenerateAndAnalyticCases) {
    // Aiming 10 degrees up at a point 2 above, 1 away: tan(10) < 2, no solution.
    EXPECT_EQ(SolveLaunchSpeed(10.0f, {0, 0, 0}, {1, 2, 0}), -1.0f);
    // 45 degrees at a point as high as it is far: the line of fire passes through it.
    EXPECT_EQ(SolveLaunchSpeed(45.0f, {0, 0, 0}, {3, 3, 0}), 0.0f);
    // Level ground, 45 degrees: range = v^2 / g.
    EXPECT_NEAR(SolveLaunchSpeed(45.0f, {0, 0, 0}, {0, 0, 4}), std::sqrt(4.0f * kGravity), 1e-3f);
    // A vertical shot has no solution here.
    EXPECT_EQ(SolveLaunchSpeed(90.0f, {0, 0, 0}, {0, 5, 0}), -1.0f);
}


TEST_F(ProjectileTest, EveryLauncherHitsInFlightOverOurDistancesAndHeights) {
    int ballistic = 0;
    int unsolvable = 0;
    for (int levels = -2; levels <= 2; ++levels) {
        FakeUnitBattle terraced(TerracedSource(levels));
        Unit& from = terraced.Make(UT_MLRS, &blue, H(4, 2));
        for (int distance = 1; distance <= 4; ++distance) {
            Unit& to = terraced.Make(UT_LIGHT_TANK, &enemy, H(4, 2 + distance));
            SCOPED_TRACE(std::to_string(distance) + " hexes, " + std::to_string(levels) + " levels");
            const engine::Vec3 muzzle = Aim(from);
            const engine::Vec3 point = Aim(to);
            Shell shell(from, to, 0.0f, muzzle, 1.0f);
            Fly(shell);
            EXPECT_TRUE(shell.HitInFlight());
            FireSpit spit(from, to, 0.0f, muzzle, 0);
            Fly(spit);
            EXPECT_TRUE(spit.HitInFlight());
            engine::Matrix44 along;
            along.SetBasisFromDirection(point.Sub(muzzle).Normalised());
            along.SetRow(3, muzzle);
            HomingRocket rocket(from, to, 0.0f, along, 0);
            Fly(rocket);
            EXPECT_TRUE(rocket.HitInFlight());
            for (float elevation : {10.0f, 45.0f, 60.0f}) {
                const float speed = SolveLaunchSpeed(elevation, muzzle, point);
                if (speed <= 0.0f) {
                    // Only the flat angle runs out of solutions, close by and uphill.
                    EXPECT_EQ(elevation, 10.0f);
                    ++unsolvable;
                    continue;
                }
                for (const BallisticKind* kind : {&kLobbedRocketKind, &kMortarKind, &kGrenadeKind}) {
                    BallisticShot shot(from, to, 0.0f, *kind, FrameToward(muzzle, point, elevation), speed);
                    Fly(shot);
                    EXPECT_FALSE(shot.IsFallback());
                    EXPECT_TRUE(shot.HitInFlight()) << elevation;
                    ++ballistic;
                }
            }
        }
        terraced.RemoveAll();
    }
    EXPECT_GT(ballistic, 150);
    EXPECT_LT(unsolvable, 8);
}

TEST_F(ProjectileTest, ABallisticLaunchWithoutASolutionStillFliesToItsTarget) {
    const engine::Vec3 muzzle = Aim(*shooter);
    engine::Matrix44 frame;
    frame.SetRow(3, muzzle);
    BallisticShot shot(*shooter, *target, 0.3f, kMortarKind, frame, -1.0f);
    EXPECT_TRUE(shot.IsFallback());
    Fly(shot);
    EXPECT_TRUE(shot.HitInFlight());
    EXPECT_NEAR(target->GetHealth(), 0.7f, 1e-5f);
}

TEST_F(ProjectileTest, AFireSpitWaitsHiddenForItsDelay) {
    FireSpit spit(*shooter, *target, 0.1f, Aim(*shooter), 4);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(spit.Tick());
    EXPECT_EQ(spit.GetPosition().z, Aim(*shooter).z);
    EXPECT_EQ(battle.unitServices.CountSound(8), 0);
    EXPECT_FALSE(spit.Tick());  // the counter reaches 0: the sound, and it flies
    EXPECT_EQ(battle.unitServices.CountSound(8), 1);
    EXPECT_NE(spit.GetPosition().z, Aim(*shooter).z);
}

}  // namespace
}  // namespace units_test
