// The combat rules of the base unit: who may attack whom, what a hit removes, deaths, kills, promotion and
// resupply.
#include "game/units/unit_combat.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/matrix.h"
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/units/unit_services.h"
#include "game/units/unit_tables.h"
#include "game/units/unit_team.h"

namespace game {

namespace {

constexpr int kSpeechDeath = 28;
constexpr int kSpeechHit = 20;
constexpr int kSoundResupply = 37;
constexpr int kSoundAirExplosion = 25;
constexpr int kSoundWaterExplosion = 24;
constexpr int kSoundGroundExplosion = 20;

bool IsDyingOrGone(const Unit& unit) { return unit.GetState() == kUnitDying || unit.GetState() == kUnitGone; }

engine::Matrix44 FlatEffectAt(const engine::Vec3& at) {
    engine::Matrix44 placement;
    placement.InitRotationX(-90.0f);
    placement.SetRow(3, at);
    return placement;
}

}  // namespace

bool CanAttack(const Unit& attacker, const UnitStance& attackerStance, const Unit& target,
               const UnitStance& targetStance) {
    if (IsDyingOrGone(target)) return false;
    if (target.GetTeamKind() == attacker.GetTeamKind() && !target.IsDoor()) return false;
    if (!attacker.HasAmmo()) return false;
    if (attacker.CanHitAircraft() && !attacker.CanHitLandedAircraft() && IsAircraftType(target.GetType()) &&
        !targetStance.airborne) {
        return false;
    }
    if (IsAircraftType(attacker.GetType()) && !attackerStance.airborne) return false;
    if (attacker.GetType() == UT_ENGINEER && target.GetTeamKind() == kTeamNeutral) return target.IsCapturable();
    return GetDamageMultiplier(attacker, target, targetStance) != 0.0f;
}

float GetDamageMultiplier(const Unit& attacker, const Unit& target, const UnitStance& targetStance) {
    BattleContext& battle = attacker.Battle();
    float factor = 1.0f;
    if (battle.GetGameMode() == kGameModeCampaign && target.GetTeamKind() == kTeamBlue) {
        factor = kDifficultyFactors[std::clamp(attacker.Services().GetDifficulty(), 0, 3)];
    }
    float d = DamageTableLookup(attacker.GetType(), target.GetType(), attacker.GetRank());
    // A landed aircraft is hit like an APC.
    if (d == 0.0f && IsAircraftType(target.GetType()) && !targetStance.airborne) {
        d = DamageTableLookup(attacker.GetType(), UT_APC, attacker.GetRank());
    }
    return d * factor;
}

float DamageAgainst(const Unit& attacker, const Unit& target, const UnitStance& targetStance) {
    if (attacker.GetState() == kUnitGone || !attacker.HasAmmo()) return 0.0f;
    const float multiplier = GetDamageMultiplier(attacker, target, targetStance);
    if (multiplier == 0.0f) return 0.0f;
    return multiplier * std::max(attacker.GetHealth(), 0.2f);
}

int PredictHealthLossPercent(const Unit& target, const UnitStance& targetStance, const Unit& attacker) {
    const float left = std::max(0.0f, target.GetHealth() - DamageAgainst(attacker, target, targetStance));
    return 100 - static_cast<int>(left * 100.0f);
}

bool CanCounterAttack(const Unit& defender, const UnitStance& defenderStance, const Unit* attacker,
                      const UnitStance& attackerStance, HexMap& map) {
    if (IsDyingOrGone(defender) || defender.GetHealth() < 0.01f || attacker == nullptr) return false;
    if (!CanAttack(defender, defenderStance, *attacker, attackerStance)) return false;
    const bool marking = map.IsTargetMarking();
    map.SetTargetMarking(false);
    map.ClearMarkBits(kMarkAll);
    map.ClearRangeSteps();
    map.MarkAttackRangeFromHex(defender, defenderStance.hex, nullptr, false);
    const bool inRange = (map.GetMarkBits(attackerStance.hex) & kMarkAttack) != 0;
    map.ClearMarkBits(kMarkAll);
    map.ClearRangeSteps();
    map.SetTargetMarking(marking);
    return inRange;
}

// --- The unit's own operations ----------------------------------------------------------------------------

bool Unit::CanAttack(const MapUnit& target) const {
    const Unit* unit = dynamic_cast<const Unit*>(&target);
    return unit != nullptr && game::CanAttack(*this, GetStance(), *unit, unit->GetStance());
}

float Unit::GetDamageMultiplier(const Unit& target) const {
    return game::GetDamageMultiplier(*this, target, target.GetStance());
}

float Unit::DamageAgainst(const Unit& target) const { return game::DamageAgainst(*this, target, target.GetStance()); }

int Unit::PredictHealthLossPercent(const Unit& attacker) const {
    return game::PredictHealthLossPercent(*this, GetStance(), attacker);
}

float Unit::EstimateDamageFrom(const Unit& attacker, float margin) const {
    float d = attacker.DamageAgainst(*this);
    if (d + margin > health_) d = 1.0f - margin;
    return static_cast<float>(static_cast<int>(d * 100.0f + 0.999f)) / 100.0f;
}

bool Unit::CanCounterAttack(const Unit* attacker, HexMap& map) const {
    return game::CanCounterAttack(*this, GetStance(), attacker,
                                  attacker != nullptr ? attacker->GetStance() : UnitStance{}, map);
}

void Unit::TakeDamage(float damage, Unit* attacker) {
    if (state_ == kUnitDying || state_ == kUnitGone) return;
    const int percent = static_cast<int>(damage * 100.0f + 0.999f);
    damage = static_cast<float>(percent) / 100.0f;
    shakeTimer_ = std::clamp(damage, 0.1f, 0.3f);
    const int before = static_cast<int>(health_ * 100.0f + 0.999f);
    health_ -= damage;
    engine::RandomStreams& random = battle_.GetRandomStreams();
    if (health_ < 0.01f) {
        health_ = 0.0f;
        Kill(false, attacker);
        Services().PlaySpeech(GetTeamKind(), random.NextInt(0, 7, 0) + kSpeechDeath);
        if (attacker != nullptr) attacker->CreditKill(*this);
    } else {
        HitReaction(attacker);
        Services().PlaySpeech(GetTeamKind(), random.NextInt(0, 7, 0) + kSpeechHit);
    }
    int shown = static_cast<int>(damage * 100.0f + 0.999f);
    if (shown < 1) return;
    char text[48];
    if (shown >= before) {
        shown = std::min(before, 100);
        std::snprintf(text, sizeof(text), "@X[001]@C[2]-%i%%", shown);
    } else {
        std::snprintf(text, sizeof(text), "@X[001]-%i%%", std::min(shown, 100));
    }
    engine::Vec3 at;
    GetAimPoint(at);
    Services().AddFloatingText(at, engine::WideString(text));
}

void Unit::Die(Unit*) {
    UnitServices& services = Services();
    engine::RandomStreams& random = battle_.GetRandomStreams();
    const bool airborne = IsAirborne();
    // Land units leave a crater; so does an aircraft that has crashed on land (it crosses water only by
    // flying over it).
    const bool onWater = battle_.GetHexMap().GetTile(hex_).terrain == kTerrainWater;
    const bool leavesCrater = IsAircraft() ? !onWater : !CrossesWater();
    if (!IsSoftTarget() && leavesCrater && !airborne) {
        services.AddCrater(0, position_);
        services.AddEffect("Particles/Combo_chard", FlatEffectAt(position_));
    }
    if (IsSoftTarget()) return;
    const engine::Vec3 at = view_->GetWorldMatrix().GetTranslation();
    if (airborne) {
        static const char* const kAir[3] = {"Particles/ComboExplosion_airbourne1",
                                            "Particles/ComboExplosion_airbourne2",
                                            "Particles/ComboExplosion_airbourne3"};
        services.AddEffect(kAir[random.NextInt(0, 2, 0)], FlatEffectAt(at));
        services.PlayLevelSound(kSoundAirExplosion);
        return;
    }
    const int terrain = battle_.GetHexMap().GetTile(hex_).terrain;
    if (terrain == kTerrainWater || terrain == kTerrainLand2) {
        engine::Matrix44 placement;
        placement.SetRow(3, at);
        services.AddEffect("Particles/ComboExplosion_water1", placement);
        services.PlayLevelSound(kSoundWaterExplosion);
        return;
    }
    static const char* const kGround[3] = {"Particles/ComboExplosion_ground1", "Particles/ComboExplosion_ground2",
                                           "Particles/ComboExplosion_ground3"};
    engine::Matrix44 placement;
    placement.SetRow(3, position_);
    services.AddEffect(kGround[random.NextInt(0, 2, 0)], placement);
    services.PlayLevelSound(kSoundGroundExplosion + random.NextInt(0, 3, 0));
}

void Unit::CreditKill(Unit&) {
    ++kills_;
    if (team_ != nullptr) team_->AddKill();
    const bool passAndPlay = battle_.GetGameMode() == kGameModePassAndPlay;
    if (GetTeamKind() == kTeamBlue && !passAndPlay) {
        const int total = Services().AddProfileKill();
        if (total == 100) battle_.UnlockAchievement(kAchievementKills100);
        if (total == 1000) battle_.UnlockAchievement(kAchievementKills1000);
        if (GetType() == UT_SNIPER && Services().AddProfileSniperKill() == 200) {
            battle_.UnlockAchievement(kAchievementSniperSchool);
        }
    }
    const bool promote = (kills_ == 3 && rank_ == 0) || (kills_ == 8 && rank_ == 1);
    if (!promote || GetType() == UT_GENERAL) return;
    ++rank_;
    char prefix[24];
    std::snprintf(prefix, sizeof(prefix), "@X[00%i]", rank_ + 6);
    engine::Vec3 at;
    GetAimPoint(at);
    Services().AddFloatingText(at, engine::WideString(engine::WideString(prefix), battle_.GetText("PROMOTION")));
    Resupply(true);
    health_ = 1.0f;
    waitTimer_ = 1.0f;
    if (rank_ == 2 && !passAndPlay) battle_.UnlockAchievement(kAchievementFirstSergeant);
}

void Unit::Resupply(bool silent) {
    const UnitParams& params = GetParams();
    fuel_ = params.fuelCapacity;
    ammo_ = params.ammoCapacity;
    if (silent) return;
    waitTimer_ = 1.0f;
    engine::Vec3 at;
    GetAimPoint(at);
    Services().AddFloatingText(at, engine::WideString(engine::WideString("@X[005]"), battle_.GetText("SUPPLY")));
    Services().AddEffect("Particles/Combo_resupply", FlatEffectAt(at));
    Services().PlayLevelSound(kSoundResupply);
}

}  // namespace game
