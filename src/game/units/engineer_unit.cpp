// The engineer's capture steps: the capture orders call one of them every tick after their first step.
#include "game/battle/structure.h"
#include "game/units/infantry_units.h"
#include "game/units/unit_services.h"
#include "game/units/unit_view.h"

namespace game {

namespace {

constexpr float kSuckDelay = 0.25f;
constexpr float kSuckLength = 2.0f;
constexpr int kSoundSuck = 39;
constexpr int kSoundCaptured = 40;

}  // namespace

EngineerUnit::~EngineerUnit() {
    if (suckSound_ != 0) Services().StopLoopSound(suckSound_, 0.0f);
}

void EngineerUnit::BeginCapture() {
    suckDelay_ = kSuckDelay;
    suckTimer_ = kSuckLength;
    jumpingIn_ = false;
}

bool EngineerUnit::CommonStep(bool& finished) {
    UnitView& view = GetView();
    if (suckEffect_ == 0) suckEffect_ = view.CreateEffectNode(row_.suction.effect);
    finished = false;
    if (Services().IsBattleZoomActive()) return true;
    if (suckTimer_ == 0.0f && jumpingIn_ && IsAnimationDone("jumpin")) {
        Kill(true, nullptr);
        finished = true;
        return true;
    }
    if (suckDelay_ != 0.0f) {
        suckDelay_ -= kUnitTick;
        if (suckDelay_ < 0.0f) {
            suckDelay_ = 0.0f;
            if (suckSound_ == 0) suckSound_ = Services().StartLoopSound(kSoundSuck);
            PlayAnimation("suck", false);
            // Turned to face the engineer's way and raised to its middle (the class table's steps).
            const engine::Matrix44 placement = ApplySteps(view.GetLocalMatrix(), row_.suction.steps);
            if (suckEffect_ != 0) view.HangEffectInWorld(suckEffect_, placement);
        }
        return true;
    }
    if (suckTimer_ == 0.0f) return true;
    suckTimer_ -= kUnitTick;
    if (suckTimer_ > 0.0f) return true;
    suckTimer_ = 0.0f;
    if (suckSound_ != 0) {
        Services().StopLoopSound(suckSound_, 0.0f);
        suckSound_ = 0;
    }
    return false;
}

void EngineerUnit::StayAfterCapture() {
    if (suckEffect_ == 0) return;
    GetView().StopEffectEmitting(suckEffect_);
    GetView().DetachEffectNode(suckEffect_);
}

void EngineerUnit::JumpIn() {
    PlayAnimation("jumpin", false);
    jumpingIn_ = true;
}

bool EngineerUnit::CaptureStructureStep(Structure& structure) {
    bool finished = false;
    if (CommonStep(finished)) return finished;
    const int side = GetTeamKind();
    const int ownerBefore = structure.GetTeam();
    const int capturingBefore = structure.GetCapturingTeam();
    structure.AddCaptureProgress(1.0f, side);
    if (structure.GetTeam() != side) {
        StayAfterCapture();
        return true;
    }
    if (suckEffect_ != 0) GetView().DetachEffectNode(suckEffect_);
    Services().PlayLevelSound(kSoundCaptured);
    // Capturing one's own structure has driven off a rival capture: the engineer stays.
    if (ownerBefore == side && capturingBefore != side) return true;
    JumpIn();
    return false;
}

bool EngineerUnit::CaptureUnitStep(Unit& unit) {
    bool finished = false;
    if (CommonStep(finished)) return finished;
    const int side = GetTeamKind();
    unit.ChangeTeam(side);
    if (unit.GetTeamKind() != side) {
        StayAfterCapture();
        return true;
    }
    if (suckEffect_ != 0) GetView().DetachEffectNode(suckEffect_);
    Services().PlayLevelSound(kSoundCaptured);
    JumpIn();
    return false;
}

}  // namespace game
