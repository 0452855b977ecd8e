#include "game/units/aircraft_units.h"

#include <algorithm>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/units/unit_services.h"
#include "game/units/unit_weapons.h"
#include "game/units/unit_view.h"

namespace game {

namespace {

constexpr int kSoundHeliDie = 25;
constexpr float kCrashLift = 0.05f;
constexpr float kCrashGravity = 0.003f;
constexpr float kRotorDegreesPerSecond = 10000.0f;

// The rotation with the translation of the old matrix kept.
engine::Matrix44 KeepTranslation(engine::Matrix44 rotation, const engine::Matrix44& old) {
    rotation.SetRow(3, old.GetTranslation());
    return rotation;
}

}  // namespace

AircraftUnit::AircraftUnit(int unitType, BattleContext& battle, UnitTeam* team, Presentation presentation)
    : CatalogueUnit(unitType, battle, team, presentation), row_(GetUnitClassRow(unitType)) {}

void AircraftUnit::OnModelBuilt() {
    if (row_.rotors[0] != nullptr) rotor1_ = GetView().FindPartContaining(row_.rotors[0]);
    if (row_.rotors[1] != nullptr) rotor2_ = GetView().FindPartContaining(row_.rotors[1]);
}

void AircraftUnit::SetAirborne(bool airborne) {
    if (!airborne_ && airborne) flightHeight_ = position_.y;
    airborne_ = airborne;
    if (!airborne && NeedsResupply(1.0f, false) && FindAdjacentSupplier() != nullptr) Resupply(false);
}

void AircraftUnit::UpdateAnimation() {
    if (state_ == kUnitNotPlaced || state_ == kUnitGone) return;
    const engine::FrameTimer& timer = Battle().GetFrameTimer();
    const float dt = timer.GetDeltaSeconds(false);
    UnitView& view = GetView();
    if (!view.IsAttached()) view.AttachToWorld(false);
    engine::Matrix44 model = view.GetLocalMatrix();
    engine::Vec3 at = position_;
    at.y = flightHeight_;
    if (shakeTimer_ != 0.0f) {
        shakeTimer_ = std::max(0.0f, shakeTimer_ - dt);
        engine::RandomStreams& random = Battle().GetRandomStreams();
        at.x += random.NextFloat(-0.05f, 0.05f, 0);
        at.z += random.NextFloat(-0.05f, 0.05f, 0);
    }
    model.SetRow(3, at);
    if (state_ == kUnitDying) Spin(model, dt);
    view.SetLocalMatrix(model);

    const float t = timer.GetTimeSeconds(false);
    if (rotor1_ != 0) {
        engine::Matrix44 turn;
        turn.InitRotationY(t * kRotorDegreesPerSecond);
        view.SetPartLocalMatrix(rotor1_, KeepTranslation(turn, view.GetPartLocalMatrix(rotor1_)));
    }
    if (rotor2_ != 0) {
        engine::Matrix44 turn;
        if (HasTailRotor()) {
            turn.InitRotationX(t * -kRotorDegreesPerSecond);
            turn.RotateZLocal(90.0f);
        } else {
            turn.InitRotationY(t * -kRotorDegreesPerSecond);
        }
        view.SetPartLocalMatrix(rotor2_, KeepTranslation(turn, view.GetPartLocalMatrix(rotor2_)));
    }
    view.UpdateWorldMatrices();
    UpdateTeamTint();
}

void SkyhookUnit::UpdateAnimation() {
    AircraftUnit::UpdateAnimation();
    if (state_ != kUnitNotPlaced && state_ != kUnitGone) SyncPassengerModel();
}

bool SkyhookUnit::CanCarryType(int unitType) const {
    if (unitType < 1 || unitType >= kUnitTypeCount) return false;
    const bool ferryOrAircraft = unitType >= UT_FERRY && unitType <= UT_FIGHTER;
    const bool warship = unitType >= UT_SUBMARINE && unitType <= UT_AEGIS;
    return !ferryOrAircraft && !warship;
}

void CombatHelicopter::Die(Unit*) {
    shakeTimer_ = 0.0f;
    fallSpeed_ = kCrashLift;
    spin_ = 0.0f;
    Services().PlayLevelSound(kSoundHeliDie);
}

bool CombatHelicopter::IsDeathFinished() {
    fallSpeed_ -= kCrashGravity;
    flightHeight_ += fallSpeed_;
    if (!(position_.y > flightHeight_)) return false;
    flightHeight_ = position_.y;
    engine::Matrix44 model = GetView().GetLocalMatrix();
    model.SetRow(3, position_);
    GetView().SetLocalMatrix(model);
    airborne_ = false;
    Unit::Die(nullptr);
    return true;
}

void CombatHelicopter::Spin(engine::Matrix44& matrix, float dt) {
    spin_ += dt * spinRate_;
    matrix.RotateYLocal(spin_);
    matrix.RotateXLocal(dt * 100.0f);
}

void CombatHelicopter::Fire(Unit* target) {
    if (target == nullptr) return;
    const engine::Matrix44 world = GetView().GetWorldMatrix();
    LaunchWeapon(*this, *target, row_.weapon, world.GetTranslation(), world);
}

bool FighterUnit::AimAtTarget(Unit* target) {
    fired_ = 0.0f;
    return Unit::AimAtTarget(target);
}

void FighterUnit::UpdateAnimation() {
    fired_ *= 0.9f;
    CombatHelicopter::UpdateAnimation();
}

}  // namespace game
