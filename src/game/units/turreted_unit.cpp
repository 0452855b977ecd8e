#include "game/units/turreted_unit.h"

#include <cmath>

#include "engine/core/frame_timer.h"
#include "engine/core/scalar_math.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_coord.h"
#include "game/units/unit_services.h"
#include "game/units/unit_view.h"

namespace game {

namespace {

constexpr float kRadiansToDegrees = 57.29578f;
constexpr int kSoundChaingun = 9;
constexpr float kFiringLoopSeconds = 1.0f;

// Moves value toward zero by step, or to zero below snap.
float TowardRest(float value, float snap, float step) {
    if (value == 0.0f) return 0.0f;
    const float a = engine::ShortestAngleDiffDeg(value, 0.0f);
    if (std::fabs(a) < snap) return 0.0f;
    return a > 0.0f ? value + step : value - step;
}

}  // namespace

TurretedUnit::TurretedUnit(int unitType, BattleContext& battle, UnitTeam* team, Presentation presentation)
    : CatalogueUnit(unitType, battle, team, presentation),
      row_(GetUnitClassRow(unitType)),
      turret_(*GetUnitClassRow(unitType).turret) {}

TurretedUnit::~TurretedUnit() {
    if (fireSound_ != 0) Services().StopLoopSound(fireSound_, 0.0f);
}

void TurretedUnit::OnModelBuilt() {
    UnitView& view = GetView();
    const engine::Vec3 origin = view.GetWorldMatrix().GetTranslation();
    turretPart_ = view.FindPart(turret_.turret);
    barrelPart_ = turret_.barrel != nullptr ? view.FindPart(turret_.barrel) : 0;
    bodyPart_ = view.FindPart(kBodyPartName);
    launchPart_ = row_.weapon.launchPart != nullptr ? view.FindPart(row_.weapon.launchPart) : 0;
    if (turretPart_ != 0) view.ReparentPartToRoot(turretPart_);
    for (const char* wheels : turret_.wheels) {
        if (wheels == nullptr) continue;
        if (const int part = view.FindPart(wheels); part != 0) view.ReparentPartToRoot(part);
    }
    if (turretPart_ != 0) turretRest_ = view.GetPartLocalMatrix(turretPart_).GetTranslation();
    if (barrelPart_ != 0) {
        barrelRest_ = view.GetPartLocalMatrix(barrelPart_).GetTranslation();
        barrelPivot_ = view.GetPartWorldMatrix(barrelPart_).GetTranslation() - origin;
    }
    if (bodyPart_ != 0) bodyRest_ = view.GetPartLocalMatrix(bodyPart_).GetTranslation();
}

bool TurretedUnit::AimAtTarget(Unit* target) {
    recoil_ = 0.0f;
    const bool zoom = Services().IsBattleZoomActive();
    if (target == nullptr) return !zoom;
    const engine::Vec2 to = target->GetGroundPos();
    float h = engine::FastAtan2(to.y - position_.z, to.x - position_.x) * kRadiansToDegrees;
    h = std::fmod(h + 360.0f, 360.0f);
    const float present = static_cast<float>(DirectionToAngle(facing_)) - turretYaw_;
    const float f = engine::ShortestAngleDiffDeg(present, h);
    bool turretSettled = false;
    if (std::fabs(f) < turret_.turretSnap) {
        turretYaw_ -= f;
        turretSettled = true;
    } else {
        const float move = std::fabs(f) / turret_.turretDivisor;
        turretYaw_ += f > 0.0f ? -move : move;
    }

    bool barrelSettled = true;
    if (turret_.barrel != nullptr) {
        float e = turret_.fixedElevation;
        if (e == 0.0f) {
            engine::Vec3 aim;
            target->GetAimPoint(aim);
            const engine::Vec3 d = aim - (GetWorldPos() + barrelPivot_);
            // The full length, not the ground distance: the barrel's elevation is only shown.
            e = engine::FastAtan2(d.y, std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z)) * kRadiansToDegrees;
        }
        const float c = engine::ShortestAngleDiffDeg(barrelPitch_, e);
        if (std::fabs(c) < turret_.barrelSnap) {
            barrelPitch_ += c;
        } else {
            barrelPitch_ += c > 0.0f ? turret_.barrelStep : -turret_.barrelStep;
            barrelSettled = false;
        }
    }
    return turretSettled && barrelSettled && !zoom;
}

void TurretedUnit::ReturnToRest() {
    turretYaw_ = TowardRest(turretYaw_, turret_.restTurretSnap, turret_.restTurretStep);
    barrelPitch_ = TowardRest(barrelPitch_, turret_.restBarrelSnap, turret_.restBarrelStep);
}

void TurretedUnit::IdleUpdate() { ReturnToRest(); }

void TurretedUnit::StepAlongPath() {
    CatalogueUnit::StepAlongPath();
    ReturnToRest();
}

engine::Matrix44 TurretedUnit::MuzzleBase() const {
    const UnitView& view = GetView();
    if (barrelPart_ != 0) return view.GetPartWorldMatrix(barrelPart_);
    if (turretPart_ != 0) return view.GetPartWorldMatrix(turretPart_);
    return view.GetWorldMatrix();
}

void TurretedUnit::Fire(Unit* target) {
    if (target == nullptr) return;
    UnitView& view = GetView();
    const engine::Matrix44 base = MuzzleBase();
    const engine::Vec3 muzzle = PlaceMuzzleEffects(view, row_.weapon, base, effects_);
    if (turret_.firingLoop) {
        fireTimer_ = kFiringLoopSeconds;
        if (fireSound_ == 0) fireSound_ = Services().StartLoopSound(kSoundChaingun);
    }
    const engine::Matrix44 frame = launchPart_ != 0 ? view.GetPartWorldMatrix(launchPart_) : base;
    LaunchWeapon(*this, *target, row_.weapon, muzzle, frame);
}

bool TurretedUnit::IsFiringFinished() {
    if (recoil_ == 0.0f) return false;
    if (turret_.firingLoop) return fireTimer_ == 0.0f;
    return EffectsFinished(GetView(), effects_);
}

engine::Matrix44 TurretedUnit::TurretPose(float v) const {
    engine::Matrix44 pose;
    pose.SetRotationY(turretYaw_);
    pose.ScaleLocal(1.0f, 1.0f + v, 1.0f);
    pose.SetRow(3, turretRest_);
    // The rocket launcher has no barrel: the launcher itself slides back.
    if (turret_.barrel == nullptr) pose.TranslateLocal(0.0f, 0.0f, recoil_ * turret_.kick);
    return pose;
}

engine::Matrix44 TurretedUnit::BarrelPose() const {
    engine::Matrix44 pose;
    pose.SetRotationX(barrelPitch_);
    pose.SetRow(3, barrelRest_);
    pose.TranslateLocal(0.0f, 0.0f, recoil_ * turret_.kick);
    return pose;
}

engine::Matrix44 TurretedUnit::BodyPose(float v) const {
    engine::Matrix44 pose;
    pose.SetScale(1.0f + v, 1.0f, 1.0f - v);
    pose.SetRow(3, bodyRest_);
    return pose;
}

void TurretedUnit::UpdateAnimation() {
    recoil_ *= turret_.recoilDecay;
    const engine::FrameTimer& timer = Battle().GetFrameTimer();
    const float v = (timer.SmoothPingPong(0.3f) - 0.5f) * 0.03f;
    UnitView& view = GetView();
    if (turretPart_ != 0) view.SetPartLocalMatrix(turretPart_, TurretPose(v));
    if (barrelPart_ != 0) view.SetPartLocalMatrix(barrelPart_, BarrelPose());
    if (bodyPart_ != 0) view.SetPartLocalMatrix(bodyPart_, BodyPose(v));
    CatalogueUnit::UpdateAnimation();
    if (fireTimer_ != 0.0f) {
        fireTimer_ -= timer.GetDeltaSeconds(false);
        if (fireTimer_ <= 0.0f) {
            fireTimer_ = 0.0f;
            if (fireSound_ != 0) Services().StopLoopSound(fireSound_, 0.0f);
            fireSound_ = 0;
        }
    }
}

}  // namespace game
