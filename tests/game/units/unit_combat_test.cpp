// The combat rules: damage by health, rank and difficulty, hits and their texts, who may attack whom with
// stances, counter-attack tests that leave the marks alone, kills, promotions, achievements, supply texts
// and the tint choice.
#include <gtest/gtest.h>

#include <string>

#include "engine/image/colour_gradient.h"

#include "game/battle/battle_types.h"
#include "game/units/unit_combat.h"
#include "game/units/unit_tint.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

class CombatTest : public UnitsTest {};

TEST_F(CombatTest, DamageFollowsTheTableTheAttackersHealthRankAndTheCampaignDifficulty) {
    struct Case {
        const char* name;
        float health;
        int rank;
        int mode;
        int targetTeam;
        int difficulty;
        float expected;
    };
    // Heavy tank against a trooper: 40 % in the table.
    const Case cases[] = {
        {"full health", 1.0f, 0, kGameModeSkirmish, kTeamEnemy, 0, 0.40f},
        {"10 % health hits a fifth", 0.1f, 0, kGameModeSkirmish, kTeamEnemy, 0, 0.08f},
        {"half health", 0.5f, 0, kGameModeSkirmish, kTeamEnemy, 0, 0.20f},
        {"rank 1", 1.0f, 1, kGameModeSkirmish, kTeamEnemy, 0, 0.60f},
        {"rank 2", 1.0f, 2, kGameModeSkirmish, kTeamEnemy, 0, 1.00f},
        {"silly campaign, blue target", 1.0f, 0, kGameModeCampaign, kTeamBlue, 3, 0.72f},
        {"silly campaign, green target", 1.0f, 0, kGameModeCampaign, kTeamGreen, 3, 0.40f},
        {"silly skirmish, blue target", 1.0f, 0, kGameModeSkirmish, kTeamBlue, 3, 0.40f},
        {"hard campaign, blue target", 1.0f, 0, kGameModeCampaign, kTeamBlue, 2, 0.56f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        battle.gameMode = c.mode;
        battle.unitServices.difficulty = c.difficulty;
        FakeTeam targetSide(c.targetTeam);
        FakeTeam attackerSide(c.targetTeam == kTeamEnemy ? kTeamBlue : kTeamEnemy);
        Unit& attacker = battle.Make(UT_HEAVY_TANK, &attackerSide, H(5, 5));
        Unit& target = battle.Make(UT_TROOPER, &targetSide, H(5, 6));
        attacker.SetHealth(c.health);
        attacker.SetRank(c.rank);
        EXPECT_NEAR(attacker.DamageAgainst(target), c.expected, 1e-5f);
        attacker.SetAmmo(0);
        EXPECT_EQ(attacker.DamageAgainst(target), 0.0f);
        battle.RemoveAll();
    }
}

TEST_F(CombatTest, HitsRoundUpToWholePercentAndShowTheirText) {
    struct Case {
        float health;
        float damage;
        float healthAfter;
        bool dies;
        const char* text;
    };
    const Case cases[] = {
        {1.0f, 0.55f, 0.45f, false, "@X[001]-55%"},
        {0.3f, 0.5f, 0.0f, true, "@X[001]@C[2]-30%"},
        {1.0f, 0.001f, 0.99f, false, "@X[001]-1%"},
        {1.0f, 1.7f, 0.0f, true, "@X[001]@C[2]-100%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Unit& attacker = battle.Make(UT_HEAVY_TANK, &enemy, H(5, 5));
        Unit& target = battle.Make(UT_TROOPER, &blue, H(5, 6));
        target.SetHealth(c.health);
        battle.unitServices.texts.clear();
        battle.unitServices.speech.clear();
        target.TakeDamage(c.damage, &attacker);
        EXPECT_NEAR(target.GetHealth(), c.healthAfter, 1e-5f);
        EXPECT_EQ(target.GetState(), c.dies ? kUnitDying : kUnitIdle);
        EXPECT_EQ(attacker.GetKills(), c.dies ? 1 : 0);
        ASSERT_EQ(battle.unitServices.texts.size(), 1u);
        EXPECT_EQ(battle.unitServices.NarrowTexts()[0], c.text);
        ASSERT_EQ(battle.unitServices.speech.size(), 1u);
        const int cue = battle.unitServices.speech[0].second;
        EXPECT_TRUE(c.dies ? (cue >= 28 && cue <= 35) : (cue >= 20 && cue <= 27)) << cue;
        if (c.dies) {
            // A soldier's death is its animation, not a shake.
            EXPECT_EQ(target.GetShakeTimer(), 0.0f);
        } else {
            EXPECT_GE(target.GetShakeTimer(), 0.1f);
            EXPECT_LE(target.GetShakeTimer(), 0.3f);
        }
        // A dying unit takes no further hit.
        if (c.dies) {
            target.TakeDamage(0.2f, &attacker);
            EXPECT_EQ(battle.unitServices.texts.size(), 1u);
        }
        battle.RemoveAll();
    }
}

TEST_F(CombatTest, WhoMayAttackWhomWithTheUnitsOwnStances) {
    struct Case {
        const char* name;
        int attackerType;
        bool attackerAirborne;
        int targetType;
        FakeTeam* targetTeam;
        bool targetAirborne;
        bool expected;
    };
    FakeTeam neutral(kTeamNeutral);
    const Case cases[] = {
        {"fighter against a landed helicopter", UT_FIGHTER, true, UT_SKYHOOK, &enemy, false, true},
        {"anti-air against a landed helicopter", UT_ANTIAIR, false, UT_SKYHOOK, &enemy, false, false},
        {"anti-air against a flying helicopter", UT_ANTIAIR, false, UT_SKYHOOK, &enemy, true, true},
        {"landed bomber", UT_BOMBER, false, UT_LIGHT_TANK, &enemy, false, false},
        {"flying bomber", UT_BOMBER, true, UT_LIGHT_TANK, &enemy, false, true},
        {"engineer against a neutral tank", UT_ENGINEER, false, UT_LIGHT_TANK, &neutral, false, true},
        {"engineer against a neutral door", UT_ENGINEER, false, UT_DOOR, &neutral, false, false},
        {"tank against its own door", UT_LIGHT_TANK, false, UT_DOOR, &blue, false, true},
        {"tank against its own tank", UT_LIGHT_TANK, false, UT_LIGHT_TANK, &blue, false, false},
        {"truck, unarmed", UT_TRUCK, false, UT_LIGHT_TANK, &enemy, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Unit& attacker = battle.Make(c.attackerType, &blue, H(5, 5));
        attacker.SetAirborneFlag(c.attackerAirborne);
        Unit& target = battle.Make(c.targetType, c.targetTeam, H(5, 6));
        target.SetAirborneFlag(c.targetAirborne);
        EXPECT_EQ(attacker.CanAttack(target), c.expected);
        battle.RemoveAll();
    }
}

TEST_F(CombatTest, NoAttackOnADyingTargetOrWithoutAmmunitionButUnlimitedAmmunitionAlwaysCounts) {
    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(5, 5));
    Unit& grunt = battle.Make(UT_GRUNT, &blue, H(6, 6));
    Unit& target = battle.Make(UT_LIGHT_TANK, &enemy, H(5, 6));
    EXPECT_TRUE(tank.CanAttack(target));
    tank.SetAmmo(0);
    EXPECT_FALSE(tank.CanAttack(target));
    grunt.SetAmmo(0);  // a type with no ammunition capacity
    EXPECT_TRUE(grunt.CanAttack(target));
    target.Kill(false, nullptr);
    EXPECT_FALSE(grunt.CanAttack(target));
}

TEST_F(CombatTest, StancesDecideForAPlannedPositionAndTheCounterTestMarksOnlyItsMap) {
    Unit& fighter = battle.Make(UT_FIGHTER, &blue, H(5, 5));
    Unit& tank = battle.Make(UT_LIGHT_TANK, &enemy, H(5, 7));
    Unit& marked = battle.Make(UT_GRUNT, &enemy, H(8, 8));
    // Landed, the fighter may not attack; given an airborne stance it may.
    EXPECT_FALSE(fighter.CanAttack(tank));
    EXPECT_TRUE(CanAttack(fighter, {fighter.GetHexPos(), true}, tank, tank.GetStance()));

    // The tank, two hexes away, cannot answer from where it stands; from a planned hex beside the attacker
    // it can. Neither test touches a unit's mark or field.
    Unit& attacker = battle.Make(UT_GRUNT, &blue, H(5, 5 - 1));
    marked.SetTargetMark(true, &attacker);
    const int predicted = marked.GetPredictedLossPercent();
    ASSERT_GT(predicted, 0);
    const UnitMoveState before = tank.GetMoveState();
    EXPECT_FALSE(tank.CanCounterAttack(&fighter, *battle.map));
    EXPECT_TRUE(CanCounterAttack(tank, {H(5, 6), false}, &fighter, {fighter.GetHexPos(), true}, *battle.map) ==
                CanAttack(tank, {H(5, 6), false}, fighter, {fighter.GetHexPos(), true}));
    UnitMoveState copy = tank.GetMoveState();
    EXPECT_EQ(copy.hex, before.hex);
    Unit& grunt = battle.Make(UT_GRUNT, &enemy, H(5, 7 + 1));
    EXPECT_FALSE(grunt.CanCounterAttack(&attacker, *battle.map));
    EXPECT_TRUE(CanCounterAttack(grunt, {H(5, 5), false}, &attacker, attacker.GetStance(), *battle.map));
    EXPECT_TRUE(marked.IsTargetMarked());
    EXPECT_EQ(marked.GetPredictedLossPercent(), predicted);
    EXPECT_FALSE(attacker.IsTargetMarked());
    EXPECT_FALSE(fighter.IsTargetMarked());
    EXPECT_EQ(battle.map->GetMarkBits(attacker.GetHexPos()), 0);
    EXPECT_TRUE(battle.map->IsTargetMarking());
}

TEST_F(CombatTest, PromotionOnTheThirdAndEighthKillButNeverForTheGeneral) {
    for (int type : {UT_LIGHT_TANK, UT_GENERAL}) {
        Unit& unit = battle.Make(type, &blue, H(5, 5));
        Unit& victim = battle.Make(UT_GRUNT, &enemy, H(5, 6));
        std::vector<int> ranks;
        for (int kill = 1; kill <= 8; ++kill) {
            unit.SetHealth(0.5f);
            unit.SetAmmo(0);
            unit.CreditKill(victim);
            ranks.push_back(unit.GetRank());
            if (type == UT_LIGHT_TANK && (kill == 3 || kill == 8)) {
                EXPECT_FLOAT_EQ(unit.GetHealth(), 1.0f);
                EXPECT_EQ(unit.GetAmmo(), unit.GetParams().ammoCapacity);
                EXPECT_FLOAT_EQ(unit.GetWaitTimer(), 1.0f);
                unit.SetWaitTimer(0.0f);
            }
        }
        if (type == UT_LIGHT_TANK) {
            EXPECT_EQ(ranks, (std::vector<int>{0, 0, 1, 1, 1, 1, 1, 2}));
            const auto texts = battle.unitServices.NarrowTexts();
            EXPECT_EQ(texts, (std::vector<std::string>{"@X[007]text PROMOTION", "@X[008]text PROMOTION"}));
        } else {
            EXPECT_EQ(ranks, std::vector<int>(8, 0));
        }
        battle.unitServices.texts.clear();
        battle.RemoveAll();
    }
    EXPECT_EQ(battle.achievements, std::vector<int>{kAchievementFirstSergeant});
}

TEST_F(CombatTest, KillAchievementsAtExactCountsAndNoneInPassAndPlay) {
    struct Case {
        int mode;
        int type;
        int kills;
        int sniperKills;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {kGameModeSkirmish, UT_GRUNT, 99, 0, {kAchievementKills100}},
        {kGameModeSkirmish, UT_GRUNT, 100, 0, {}},
        {kGameModeCampaign, UT_GRUNT, 999, 0, {kAchievementKills1000}},
        {kGameModeCampaign, UT_SNIPER, 10, 199, {kAchievementSniperSchool}},
        {kGameModeCampaign, UT_SNIPER, 10, 200, {}},
        {kGameModePassAndPlay, UT_SNIPER, 99, 199, {}},
    };
    for (const Case& c : cases) {
        battle.gameMode = c.mode;
        battle.achievements.clear();
        battle.unitServices.profileKills = c.kills;
        battle.unitServices.profileSniperKills = c.sniperKills;
        Unit& unit = battle.Make(c.type, &blue, H(5, 5));
        Unit& victim = battle.Make(UT_GRUNT, &enemy, H(5, 6));
        unit.CreditKill(victim);
        EXPECT_EQ(battle.achievements, c.expected) << c.kills << " " << c.sniperKills << " mode " << c.mode;
        battle.RemoveAll();
    }
    // Enemy kills do not count in the profile.
    battle.unitServices.profileKills = 0;
    Unit& enemyUnit = battle.Make(UT_GRUNT, &enemy, H(5, 5));
    enemyUnit.CreditKill(battle.Make(UT_GRUNT, &blue, H(5, 6)));
    EXPECT_EQ(battle.unitServices.profileKills, 0);
}

TEST_F(CombatTest, ALocalisedSupplyTextArrivesWhole) {
    const char16_t cjk[] = u"\u88dc\u7d66";
    engine::WideString supply;
    supply.AssignWide(cjk);
    battle.wideTexts["SUPPLY"] = supply;
    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(5, 5));
    tank.SetAmmo(0);
    tank.Resupply(false);
    ASSERT_EQ(battle.unitServices.texts.size(), 1u);
    EXPECT_EQ(std::u16string(battle.unitServices.texts[0].Data()), std::u16string(u"@X[005]") + cjk);
    EXPECT_EQ(tank.GetAmmo(), tank.GetParams().ammoCapacity);
    EXPECT_FLOAT_EQ(tank.GetWaitTimer(), 1.0f);
    EXPECT_EQ(battle.unitServices.CountSound(37), 1);
    // Silent: the refill only.
    tank.SetAmmo(0);
    tank.SetWaitTimer(0.0f);
    tank.Resupply(true);
    EXPECT_EQ(battle.unitServices.texts.size(), 1u);
    EXPECT_FLOAT_EQ(tank.GetWaitTimer(), 0.0f);
}

TEST(TintTest, FlashHighlightsTargetPulseAndTheDarkenedLook) {
    const std::uint32_t team = 0xFF2040C0u;
    struct Case {
        const char* name;
        TintInputs in;
        TintKind kind;
    };
    auto with = [&](auto change) {
        TintInputs in;
        in.teamColour = team;
        change(in);
        return in;
    };
    const Case cases[] = {
        {"plain", with([](TintInputs&) {}), TintKind::kTeam},
        {"flash at 0.7", with([](TintInputs& in) { in.waitTimer = 0.7f; }), TintKind::kFlash},
        {"no flash at 0.3", with([](TintInputs& in) { in.waitTimer = 0.3f; }), TintKind::kTeam},
        {"no flash above 0.7", with([](TintInputs& in) { in.waitTimer = 0.75f; }), TintKind::kTeam},
        {"unavailable", with([](TintInputs& in) { in.highlight = 1; }), TintKind::kUnavailable},
        {"selected", with([](TintInputs& in) { in.highlight = 2; }), TintKind::kSelected},
        {"marked", with([](TintInputs& in) { in.targetMarked = true; }), TintKind::kMarked},
        {"marked while the computer plays", with([](TintInputs& in) {
             in.targetMarked = true;
             in.currentSideComputer = true;
         }),
         TintKind::kTeam},
        {"done for the turn", with([](TintInputs& in) {
             in.ownSideCurrentPlayer = true;
             in.armed = true;
         }),
         TintKind::kDarkened},
        {"engineer done", with([](TintInputs& in) {
             in.ownSideCurrentPlayer = true;
             in.armed = true;
             in.engineer = true;
         }),
         TintKind::kTeam},
    };
    for (const Case& c : cases) {
        const TintChoice choice = ChooseTint(c.in);
        EXPECT_EQ(choice.kind, c.kind) << c.name;
        EXPECT_EQ(choice.useTintMaterial, c.kind != TintKind::kTeam) << c.name;
    }
    // The flash fades from white and opaque toward the team colour and transparent.
    TintInputs top = with([](TintInputs& in) { in.waitTimer = 0.7f; });
    EXPECT_LE(ChooseTint(top).colour >> 24, 1u);
    EXPECT_GE((ChooseTint(top).colour >> 16) & 0xFFu, 0xFDu);
    TintInputs low = with([](TintInputs& in) { in.waitTimer = 0.31f; });
    EXPECT_EQ(ChooseTint(low).colour >> 24, 255u);
    EXPECT_EQ(ChooseTint(with([](TintInputs& in) {
                  in.ownSideCurrentPlayer = true;
                  in.armed = true;
              })).colour,
              engine::ScaleColourRgb(team, 64));
    // The selection pulse moves between white and the team colour.
    TintInputs pulse = with([](TintInputs& in) { in.highlight = 2; });
    EXPECT_EQ(ChooseTint(pulse).colour, 0xFFFFFFFFu);
    pulse.highlightPulse = 1.0f;
    EXPECT_EQ(ChooseTint(pulse).colour, team);
}

}  // namespace
}  // namespace units_test
