#include "game/units/infantry_units.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/random_streams.h"
#include "engine/core/scalar_math.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_coord.h"
#include "game/units/unit_services.h"
#include "game/units/unit_view.h"

namespace game {

namespace {

constexpr float kRadiansToDegrees = 57.29578f;
// A prone soldier turns in place below this angle; further it stands up first.
constexpr float kProneTurnLimit = 20.0f;

bool Is(const char* current, const char* name) { return std::strcmp(current, name) == 0; }

float ModelYawOf(float yaw) { return 270.0f - yaw; }

}  // namespace

InfantryUnit::InfantryUnit(int unitType, BattleContext& battle, UnitTeam* team, Presentation presentation)
    : CatalogueUnit(unitType, battle, team, presentation), row_(GetUnitClassRow(unitType)) {}

void InfantryUnit::OnModelBuilt() {
    if (row_.weapon.part != nullptr) weaponPart_ = GetView().FindPart(row_.weapon.part);
}

float InfantryUnit::HeadingTo(const Unit& target) const {
    const engine::Vec2 to = target.GetGroundPos();
    const float heading = engine::FastAtan2(to.y - position_.z, to.x - position_.x) * kRadiansToDegrees;
    return std::fmod(heading + 360.0f, 360.0f);
}

bool InfantryUnit::AtRest() const {
    const char* current = GetView().GetAnimationName();
    return current[0] == '\0' || Is(current, "idle") || std::strstr(current, "bored") != nullptr;
}

void InfantryUnit::Die(Unit* killer) {
    if (killer != nullptr) FaceUnit(*killer);
    Unit::Die(killer);
    dieShown_ = PlayAnimation("die", false);
    shakeTimer_ = 0.0f;
}

bool InfantryUnit::IsDeathFinished() { return !dieShown_ || IsAnimationDone("die"); }

bool InfantryUnit::HoldsIdleChoice(const char* current) const {
    return Is(current, "celebrate") || Is(current, "despair") || Is(current, "cower") || Is(current, "cowerloop");
}

void InfantryUnit::UpdateAnimation() {
    const char* current = GetView().GetAnimationName();
    if (!HoldsIdleChoice(current) && state_ == kUnitIdle && carrierId_ == 0 && GetView().IsAnimationPastEnd()) {
        PlayIdleAnimation();
    }
    Unit::UpdateAnimation();
}

void InfantryUnit::PlaceOnHex(HexCoord hex) {
    Unit::PlaceOnHex(hex);
    yaw_ = DirectionToAngle(facing_);
}

void InfantryUnit::GetAimPoint(engine::Vec3& out) const {
    out.Set(position_.x, position_.y + row_.aimPointRaise, position_.z);
}

void InfantryUnit::CelebrateOrDespair(bool celebrate) { PlayAnimation(celebrate ? "celebrate" : "despair", false); }

void InfantryUnit::Cower(Unit* attacker) {
    if (attacker != nullptr) FaceUnit(*attacker);
    PlayAnimation("cower", false);
}

void InfantryUnit::HitReaction(Unit* attacker) {
    if (attacker != nullptr) FaceUnit(*attacker);
    char name[8];
    std::snprintf(name, sizeof(name), "hit%i", Battle().GetRandomStreams().NextInt(1, 3, 0));
    PlayAnimation(name, false);
}

void InfantryUnit::StepAlongPath() {
    Unit::StepAlongPath();
    if (!IsJumping()) PlayAnimation("run", false);
    if (IsPathDone()) PlayAnimation("idle", true);
}

bool InfantryUnit::AimAtTarget(Unit* target) {
    fired_ = 0.0f;
    PlayAnimation("aim", false);
    if (target != nullptr) {
        yaw_ = static_cast<int>(HeadingTo(*target));
        SetModelRotation(ModelYawOf(static_cast<float>(yaw_)));
    }
    return !Services().IsBattleZoomActive();
}

void InfantryUnit::Fire(Unit* target) {
    if (target == nullptr) return;
    UnitView& view = GetView();
    const engine::Matrix44 base = weaponPart_ != 0 ? view.GetPartWorldMatrix(weaponPart_) : view.GetWorldMatrix();
    const engine::Vec3 muzzle = PlaceMuzzleEffects(view, row_.weapon, base, effects_);
    LaunchWeapon(*this, *target, row_.weapon, muzzle, view.GetWorldMatrix());
}

bool InfantryUnit::IsFiringFinished() { return fired_ != 0.0f && EffectsFinished(GetView(), effects_); }

void InfantryUnit::PlayShoot() {
    PlayAnimation("shoot", false);
    fired_ = 1.0f;
}

// --- Prone soldiers ---------------------------------------------------------------------------------------

bool ProneInfantryUnit::HoldsIdleChoice(const char* current) const {
    return InfantryUnit::HoldsIdleChoice(current) || Is(current, "stoodidle");
}

void ProneInfantryUnit::StepAlongPath() {
    const char* current = GetView().GetAnimationName();
    bool ready = Is(current, "run") || Is(current, "jump");
    if (Is(current, "stoodidle")) {
        ready = !PlayAnimation("run", false);
    } else if (Is(current, "getup")) {
        // The model leads on from "getup" into the run; a take that has ended lets the walk go on.
        if (GetView().IsAnimationFinished()) {
            PlayAnimation("run", false);
            ready = true;
        }
    } else if (!ready) {
        ready = !PlayAnimation("getup", false);
    }
    if (ready) Unit::StepAlongPath();
    if (GetSubStep() == 0 && IsPathDone()) PlayAnimation("getdown", false);
}

bool ProneInfantryUnit::AimAtTarget(Unit* target) {
    if (target == nullptr) return !Services().IsBattleZoomActive();
    bool result = false;
    if (aimPhase_ == 0) {
        targetHeading_ = HeadingTo(*target);
        const float d = engine::ShortestAngleDiffDeg(static_cast<float>(yaw_), targetHeading_);
        if (std::fabs(d) < kProneTurnLimit) {
            yaw_ = static_cast<int>(targetHeading_);
            result = true;
        } else {
            aimPhase_ = 1;
            PlayAnimation("stand", false);
        }
    } else if (aimPhase_ == 1) {
        if (IsAnimationDone("stand")) {
            yaw_ = static_cast<int>(targetHeading_);
            aimPhase_ = 2;
            PlayAnimation("getdown", false);
        }
    } else if (IsAnimationDone("getdown")) {
        aimPhase_ = 0;
        PlayAnimation("aim", false);
        return true;
    }
    SetModelRotation(ModelYawOf(static_cast<float>(yaw_)));
    return result;
}

bool ProneInfantryUnit::IsFiringFinished() {
    if (state_ == kUnitDying || state_ == kUnitGone) return true;
    if (CountsFired() && fired_ == 0.0f) return false;
    if (!EffectsFinished(GetView(), effects_)) return false;
    // Back at rest once "shoot" has ended: the soldier lies in "idle" again.
    if (!IsAnimationDone("shoot")) return false;
    if (Is(GetView().GetAnimationName(), "shoot")) PlayAnimation("idle", true);
    return true;
}

void SniperUnit::PlayShoot() { PlayAnimation("shoot", false); }

void SniperUnit::ReturnToIdle() { PlayAnimation("idle", false); }

// --- Grenadier --------------------------------------------------------------------------------------------

void GrenadierUnit::OnModelBuilt() { grenadePart_ = GetView().FindPart(kGrenadePartName); }

void GrenadierUnit::Throw() {
    grenadePending_ = false;
    Unit* target = Battle().FindUnitById(throwTargetId_);
    if (target == nullptr) return;
    LaunchWeapon(*this, *target, row_.weapon, position_, GetView().GetWorldMatrix());
}

void GrenadierUnit::Fire(Unit* target) {
    PlayAnimation("shoot1", false);
    stage_ = Stage::kShoot1;
    throwTargetId_ = target != nullptr ? target->GetId() : 0;
    grenadePending_ = true;
    const bool zoomBattles = (Battle().GetOptionBits() & kOptionZoomBattles) != 0;
    if (!zoomBattles || Battle().IsFastForward()) Throw();
}

bool GrenadierUnit::IsFiringFinished() {
    GrenadierUnit* self = this;
    switch (stage_) {
        case Stage::kShoot1:
            if (!IsAnimationDone("shoot1")) return false;
            self->PlayAnimation("shoot2", false);
            stage_ = Stage::kShoot2;
            if (grenadePending_) {
                if (grenadePart_ != 0) self->GetView().SetPartFlags(grenadePart_, kNodeFlagNothingToDraw, true);
                Throw();
            }
            return false;
        case Stage::kShoot2:
            if (!IsAnimationDone("shoot2")) return false;
            if (GetAmmo() > 0 && grenadePart_ != 0) {
                self->GetView().SetPartFlags(grenadePart_, kNodeFlagNothingToDraw, false);
            }
            self->PlayAnimation("idle", false);
            stage_ = Stage::kNone;
            return true;
        case Stage::kNone: break;
    }
    return AtRest();
}

void GrenadierUnit::Resupply(bool silent) {
    Unit::Resupply(silent);
    if (grenadePart_ != 0) GetView().SetPartFlags(grenadePart_, kNodeFlagNothingToDraw, false);
}

}  // namespace game
