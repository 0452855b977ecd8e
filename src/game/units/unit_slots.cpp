// The base behaviour of the unit's class constants and simple virtual operations. Walking is in
// unit_tick.cpp, combat in unit_combat.cpp.
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/units/unit.h"
#include "game/units/unit_tables.h"

namespace game {

bool Unit::CanStillMove() const {
    const HexMap& map = battle_.GetHexMap();
    for (int direction = 0; direction < kDirectionCount; ++direction) {
        HexCoord neighbour;
        if (!HexNeighbour(hex_, direction, neighbour)) continue;
        const float cost = map.GetMoveCost(neighbour, GetType());
        if (cost > 0.0f && cost <= movementLeft_) return true;
    }
    return false;
}

bool Unit::CanStillAct() const { return (IsArmed() || GetType() == UT_ENGINEER) && HasAmmo() && actionsUsed_ <= 0; }

bool Unit::CanCarryType(int) const { return false; }

bool Unit::IsSoftTarget() const { return false; }

bool Unit::IsDeathFinished() { return shakeTimer_ == 0.0f; }

bool Unit::ContainsNode(const engine::SceneNode* node) const { return node != nullptr && view_->ContainsNode(node); }

float Unit::GetMovementLeft() const { return movementLeft_; }

void Unit::SetMovementLeft(float movement) { movementLeft_ = movement; }

void Unit::GetAttackRange(int& minimum, int& maximum) const {
    const UnitParams& params = GetParams();
    minimum = params.minRange;
    maximum = params.maxRange;
}

void Unit::PlayShoot() {}

void Unit::SetAirborne(bool) {}

bool Unit::IsCarrier() const { return false; }

void Unit::GetAimPoint(engine::Vec3& out) const {
    if (IsAirborne()) {
        out.Set(position_.x, flightHeight_ + 0.25f, position_.z);
    } else {
        out.Set(position_.x, position_.y + 0.3f, position_.z);
    }
}

bool Unit::AfterMove() { return false; }

bool Unit::CanResupply(const Unit*) const { return false; }

void Unit::CelebrateOrDespair(bool) {}

void Unit::Cower(Unit*) {}

int Unit::GetMoveLoopSound() const {
    if (IsAirborne()) return kSoundAirborneMove;
    if (IsSoftTarget()) return kSoundSoftMove;
    if (MovesOnLand() || !CrossesWater()) return kSoundLandMove;
    return kSoundSeaMove;
}

int Unit::GetStopSound() const {
    if (IsAirborne() || IsSoftTarget()) return kSoundNone;
    if (MovesOnLand() || !CrossesWater()) return kSoundLandStop;
    return kSoundSeaStop;
}

bool Unit::IsDoor() const { return false; }

bool Unit::IsCapturable() const { return true; }

bool Unit::IsInSameLayer(const MapUnit& other) const { return &other != this && IsAtAltitude(other.IsAirborne()); }

bool Unit::IsAtAltitude(bool airborne) const {
    if (airborne && !IsAircraftType(GetType())) return false;
    return IsAirborne() == airborne;
}

bool Unit::GetHealthBarPlacement(float& scale, engine::Vec3& position, float& height) const {
    if (state_ == kUnitNotPlaced || state_ == kUnitDying || state_ == kUnitGone || jumping_) return false;
    scale = 1.0f;
    position = position_;
    height = IsSoftTarget() ? 0.8f : 1.2f;
    return true;
}

void Unit::ReturnToIdle() {}

void Unit::IdleUpdate() {}

void Unit::Fire(Unit*) {}

bool Unit::IsFiringFinished() { return true; }

const char* Unit::GetTeamMaterialName() const { return "standardmaterial"; }

void Unit::HitReaction(Unit*) {}

bool Unit::CaptureStructureStep(Structure&) { return true; }

bool Unit::CaptureUnitStep(Unit&) { return true; }

}  // namespace game
