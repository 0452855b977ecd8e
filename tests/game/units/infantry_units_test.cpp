// The infantry classes: prone aiming, the grenadier's throw, firing finished, idle choice, facing, and the
// waits that a model without the animation passes at once.
#include <gtest/gtest.h>

#include "game/units/infantry_units.h"
#include "game/units/move_orders.h"
#include "unit_class_fixture.h"

namespace units_test {
namespace {

class InfantryTest : public UnitClassTest {};

TEST_F(InfantryTest, AProneSoldierTurnsAtOnceBelowTwentyDegreesAndStandsUpBeyond) {
    auto& grunt = dynamic_cast<GruntUnit&>(At(UT_GRUNT, &blue, 0, 0, 0));
    const engine::Vec2 near = Polar(19.5f, 3.0f);
    Unit& target = At(UT_TROOPER, &enemy, near.x, near.y);
    // Even while the battle zoom runs.
    battle.unitServices.zoomTicksLeft = 100;
    EXPECT_TRUE(grunt.AimAtTarget(&target));
    EXPECT_EQ(grunt.GetYaw(), 19);
    EXPECT_FALSE(Played(grunt, "stand"));
    EXPECT_FALSE(Played(grunt, "aim"));

    battle.unitServices.zoomTicksLeft = 0;
    Put(grunt, 0, 0, 0);
    const engine::Vec2 far = Polar(20.5f, 3.0f);
    Put(target, far.x, far.y);
    EXPECT_FALSE(grunt.AimAtTarget(&target));
    EXPECT_EQ(LogOf(grunt).current, "stand");
    EXPECT_EQ(grunt.GetYaw(), 0);
    EXPECT_FALSE(grunt.AimAtTarget(&target));  // still standing up
    LogOf(grunt).EndAnimation();
    EXPECT_FALSE(grunt.AimAtTarget(&target));
    EXPECT_EQ(grunt.GetYaw(), 20);
    EXPECT_EQ(LogOf(grunt).current, "getdown");
    EXPECT_FALSE(grunt.AimAtTarget(&target));
    LogOf(grunt).EndAnimation();
    EXPECT_TRUE(grunt.AimAtTarget(&target));
    EXPECT_EQ(LogOf(grunt).current, "aim");
    EXPECT_EQ(grunt.GetAimPhase(), 0);
}

TEST_F(InfantryTest, TheGrenadeLeavesInFireWithoutZoomBattlesOrUnderFastForward) {
    struct Case {
        std::uint32_t options;
        bool fastForward;
    };
    for (const Case& c : {Case{0u, false}, Case{kOptionZoomBattles, true}}) {
        battle.options = c.options;
        battle.fastForward = c.fastForward;
        Unit& grenadier = battle.Make(UT_GRENADIER, &blue, H(4, 4));
        Unit& target = battle.Make(UT_GRUNT, &enemy, H(4, 5));
        grenadier.Fire(&target);
        EXPECT_EQ(battle.projectiles.CountInFlight(), 1);
        EXPECT_NE(dynamic_cast<BallisticShot*>(battle.projectiles.Get(0)), nullptr);
        EXPECT_EQ(PartOf(grenadier, "grenade").flags, 0u);
        battle.RemoveAll();
    }
}

TEST_F(InfantryTest, WithZoomBattlesTheGrenadeLeavesWhenShoot1EndsAndHidesUntilAmmoOrResupply) {
    battle.options = kOptionZoomBattles;
    for (int ammoAfter : {3, 0}) {
        SCOPED_TRACE(ammoAfter);
        auto& grenadier = dynamic_cast<GrenadierUnit&>(battle.Make(UT_GRENADIER, &blue, H(4, 4)));
        Unit& target = battle.Make(UT_GRUNT, &enemy, H(4, 5));
        grenadier.Fire(&target);
        EXPECT_EQ(LogOf(grenadier).current, "shoot1");
        EXPECT_EQ(battle.projectiles.CountInFlight(), 0);
        EXPECT_FALSE(grenadier.IsFiringFinished());
        EXPECT_EQ(battle.projectiles.CountInFlight(), 0);
        LogOf(grenadier).EndAnimation();
        EXPECT_FALSE(grenadier.IsFiringFinished());
        EXPECT_EQ(battle.projectiles.CountInFlight(), 1);
        EXPECT_EQ(LogOf(grenadier).current, "shoot2");
        EXPECT_EQ(PartOf(grenadier, "grenade").flags, kNodeFlagNothingToDraw);
        grenadier.SetAmmo(ammoAfter);
        EXPECT_FALSE(grenadier.IsFiringFinished());
        LogOf(grenadier).EndAnimation();
        EXPECT_TRUE(grenadier.IsFiringFinished());
        EXPECT_EQ(LogOf(grenadier).current, "idle");
        EXPECT_EQ(PartOf(grenadier, "grenade").flags, ammoAfter > 0 ? 0u : kNodeFlagNothingToDraw);
        grenadier.Resupply(true);
        EXPECT_EQ(PartOf(grenadier, "grenade").flags, 0u);
        battle.RemoveAll();
    }
}

TEST_F(InfantryTest, AGrenadeMeantForAUnitThatLeftTheBattleIsNotThrown) {
    battle.options = kOptionZoomBattles;
    Unit& grenadier = battle.Make(UT_GRENADIER, &blue, H(4, 4));
    Unit* target = &battle.Make(UT_GRUNT, &enemy, H(4, 5));
    grenadier.Fire(target);
    battle.Destroy(*target);
    LogOf(grenadier).EndAnimation();
    EXPECT_FALSE(grenadier.IsFiringFinished());
    EXPECT_EQ(battle.projectiles.CountInFlight(), 0);
    LogOf(grenadier).EndAnimation();
    EXPECT_TRUE(grenadier.IsFiringFinished());
}

TEST_F(InfantryTest, ATrooperIsUnfinishedUntilItsShotLeavesAndBothEffectsHaveDied) {
    auto& fresh = dynamic_cast<TrooperUnit&>(battle.Make(UT_TROOPER, &blue, H(4, 4)));
    EXPECT_FALSE(fresh.IsFiringFinished());
    fresh.PlayShoot();
    EXPECT_TRUE(fresh.IsFiringFinished()) << "effects not made yet count as finished";

    auto& trooper = dynamic_cast<TrooperUnit&>(battle.Make(UT_TROOPER, &blue, H(4, 6)));
    Unit& target = battle.Make(UT_LIGHT_TANK, &enemy, H(4, 7));
    EXPECT_FALSE(trooper.AimAtTarget(&target) && trooper.IsFiringFinished());
    trooper.Fire(&target);
    EXPECT_EQ(LogOf(trooper).effectNodes,
              (std::vector<std::string>{"Particles/MuzzleFlashSmall", "Particles/MuzzleExhaust"}));
    EXPECT_FALSE(trooper.IsFiringFinished());
    trooper.PlayShoot();
    EXPECT_EQ(LogOf(trooper).current, "shoot");
    EXPECT_FALSE(trooper.IsFiringFinished());
    LogOf(trooper).liveEffects.erase(trooper.GetEffectNodes()[0]);
    EXPECT_FALSE(trooper.IsFiringFinished());
    LogOf(trooper).liveEffects.clear();
    EXPECT_TRUE(trooper.IsFiringFinished());
    // A second shot reuses the nodes and hangs them again.
    trooper.Fire(&target);
    EXPECT_EQ(LogOf(trooper).effectNodes.size(), 2u);
    EXPECT_EQ(LogOf(trooper).worldEffects.size(), 4u);
}

TEST_F(InfantryTest, ADyingGruntHasAlwaysFinishedFiring) {
    Unit& grunt = battle.Make(UT_GRUNT, &blue, H(4, 4));
    Unit& killer = battle.Make(UT_LIGHT_TANK, &enemy, H(4, 5));
    EXPECT_FALSE(grunt.IsFiringFinished());
    grunt.Kill(false, &killer);
    EXPECT_TRUE(grunt.IsFiringFinished());
}

TEST_F(InfantryTest, IdleChoiceIsBoredOneTimeInSixteenAndNeverWhileCarried) {
    Unit& soldier = battle.Make(UT_TROOPER, &blue, H(4, 4));
    LogOf(soldier).EndAnimation();
    battle.queuedDraws = {1u};  // low bits not zero: "idle"
    soldier.UpdateAnimation();
    EXPECT_EQ(LogOf(soldier).current, "idle");
    LogOf(soldier).EndAnimation();
    battle.queuedDraws = {1u};
    soldier.UpdateAnimation();
    EXPECT_FALSE(LogOf(soldier).finished) << "\"idle\" after \"idle\" plays again from its start";
    LogOf(soldier).EndAnimation();
    battle.queuedDraws = {0x10u, 0x7FFFFFFFu};  // low bits zero: bored, number 5
    soldier.UpdateAnimation();
    EXPECT_EQ(LogOf(soldier).current, "bored5");

    Unit& apc = battle.Make(UT_APC, &blue, H(6, 4));
    Unit& rider = battle.Make(UT_GRUNT, &blue, H(6, 4));
    ASSERT_TRUE(apc.LinkPassenger(rider));
    for (int i = 0; i < 40; ++i) {
        LogOf(rider).EndAnimation();
        battle.queuedDraws = {0u, 1u};
        rider.UpdateAnimation();
    }
    for (const std::string& name : LogOf(rider).animations) EXPECT_EQ(name.find("bored"), std::string::npos);
}

TEST_F(InfantryTest, HitCowerAndDeathTurnTowardTheAttackerAlsoInLineOnAnAxis) {
    Unit& soldier = At(UT_GRUNT, &blue, 1, 1, 90);
    Unit& attacker = At(UT_LIGHT_TANK, &enemy, 3, 1);
    soldier.HitReaction(&attacker);
    EXPECT_EQ(soldier.GetYaw(), 0);
    EXPECT_EQ(LogOf(soldier).current.substr(0, 3), "hit");
    Put(attacker, 1, 3);
    soldier.Cower(&attacker);
    EXPECT_EQ(soldier.GetYaw(), 90);
    EXPECT_EQ(LogOf(soldier).current, "cower");
    Put(attacker, -1, 1);
    soldier.Kill(false, &attacker);
    EXPECT_EQ(soldier.GetYaw(), 180);
    EXPECT_EQ(LogOf(soldier).current, "die");
    // It waits for "die".
    battle.Tick();
    EXPECT_EQ(soldier.GetState(), kUnitDying);
    LogOf(soldier).EndAnimation();
    battle.Tick();
    EXPECT_EQ(soldier.GetState(), kUnitGone);
}

TEST_F(InfantryTest, AProneSoldierGetsUpBeforeItWalksAndLiesDownAtTheEnd) {
    HexPath down;
    down.start = H(4, 4);
    down.count = 1;
    down.directions[0] = 3;
    for (bool lying : {false, true}) {
        SCOPED_TRACE(lying);
        Unit& grunt = battle.Make(UT_GRUNT, &blue, H(4, 4));
        if (lying) grunt.PlayAnimation("idle", true);
        ASSERT_EQ(LogOf(grunt).current, lying ? "idle" : "stoodidle");
        grunt.SetMovementLeft(25.0f);
        grunt.QueueOrder(std::make_unique<FollowPathOrder>(down));
        battle.Tick();
        EXPECT_EQ(LogOf(grunt).current, lying ? "getup" : "run");
        EXPECT_EQ(grunt.GetSubStep(), 0) << "the step waits";
        if (lying) {
            for (int i = 0; i < 5; ++i) battle.Tick();
            EXPECT_EQ(grunt.GetSubStep(), 0) << "still getting up";
            LogOf(grunt).EndAnimation();
        }
        const int ticks = battle.TickUntil([&] { return grunt.GetState() == kUnitIdle; }, 500);
        EXPECT_LT(ticks, 500);
        EXPECT_EQ(grunt.GetHexPos(), H(4, 5));
        EXPECT_EQ(LogOf(grunt).current, "getdown");
        battle.RemoveAll();
    }
}

// A model that lacks the awaited animation passes each wait within one tick, with its outcome.
TEST_F(InfantryTest, AModelWithoutTheAnimationNeverHoldsAWait) {
    views.modelAnimations = {"nothing"};
    battle.options = kOptionZoomBattles;
    for (int type : {UT_TROOPER, UT_GRUNT, UT_SNIPER, UT_GRENADIER, UT_GENERAL, UT_SUPERSOLDIER, UT_ENGINEER}) {
        SCOPED_TRACE(type);
        Unit& dying = battle.Make(type, &blue, H(4, 4));
        dying.Kill(false, nullptr);
        battle.Tick();
        EXPECT_EQ(dying.GetState(), kUnitGone) << "die";
        battle.RemoveAll();
    }
    for (int type : {UT_GRUNT, UT_SNIPER}) {
        SCOPED_TRACE(type);
        Unit& prone = At(type, &blue, 0, 0, 0);
        const engine::Vec2 far = Polar(90.0f, 3.0f);
        Unit& target = At(UT_TROOPER, &enemy, far.x, far.y);
        int calls = 1;
        while (!prone.AimAtTarget(&target) && calls < 10) ++calls;
        EXPECT_EQ(calls, 3) << "stand, getdown";
        prone.Fire(&target);
        prone.PlayShoot();
        LogOf(prone).liveEffects.clear();
        EXPECT_TRUE(prone.IsFiringFinished()) << "shoot";
        battle.RemoveAll();
    }
    auto& grenadier = battle.Make(UT_GRENADIER, &blue, H(4, 4));
    Unit& target = battle.Make(UT_GRUNT, &enemy, H(4, 5));
    grenadier.Fire(&target);
    EXPECT_FALSE(grenadier.IsFiringFinished());
    EXPECT_EQ(battle.projectiles.CountInFlight(), 1) << "shoot1";
    EXPECT_TRUE(grenadier.IsFiringFinished()) << "shoot2";
}

TEST_F(InfantryTest, EachWeaponLaunchesItsProjectileWithItsSound) {
    struct Case {
        int type;
        bool shell;
        int sound;
        int effects;
    };
    const Case cases[] = {
        {UT_TROOPER, true, 4, 2}, {UT_SUPERSOLDIER, true, 4, 2}, {UT_GENERAL, false, 3, 1},
        {UT_GRUNT, false, 3, 1},  {UT_SNIPER, false, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        battle.unitServices.sounds.clear();
        Unit& shooter = battle.Make(c.type, &blue, H(4, 4));
        Unit& target = battle.Make(UT_LIGHT_TANK, &enemy, H(4, 5));
        shooter.Fire(&target);
        ASSERT_EQ(battle.projectiles.CountInFlight(), 1);
        Projectile* shot = battle.projectiles.Get(0);
        EXPECT_EQ(dynamic_cast<Shell*>(shot) != nullptr, c.shell);
        EXPECT_EQ(dynamic_cast<Bullet*>(shot) != nullptr, !c.shell);
        EXPECT_FLOAT_EQ(shot->GetDamage(), shooter.DamageAgainst(target));
        EXPECT_EQ(battle.unitServices.CountSound(c.sound), 1);
        EXPECT_EQ(static_cast<int>(LogOf(shooter).effectNodes.size()), c.effects);
        battle.RemoveAll();
    }
}

}  // namespace
}  // namespace units_test
