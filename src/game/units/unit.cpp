#include "game/units/unit.h"

#include <cmath>

#include "engine/core/matrix.h"
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/units/unit_assets.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_tables.h"
#include "game/units/unit_team.h"

namespace game {

Unit::Unit(BattleContext& battle, UnitTeam* team, Presentation presentation)
    : team_(team), battle_(battle), view_(std::make_unique<NullUnitView>()) {
    if (presentation == Presentation::kWithModel) {
        facing_ = battle_.GetRandomStreams().NextInt(0, kDirectionCount - 1, 0);
    }
}

Unit::~Unit() {
    DeleteOrders();
    ReleaseCarryLinks();
    view_->DestroyModel();
}

void Unit::AttachPresentation() {
    if (hasPresentation_) return;
    view_ = GetUnitViewFactory().CreateView();
    if (!view_) view_ = std::make_unique<NullUnitView>();
    hasPresentation_ = true;
    if (const UnitDescriptor* row = FindUnitDescriptor(GetType())) {
        view_->BuildModel(row->prototypePath, row->compositeRootName);
    }
    // Units stand in the world; the door is part of the level's wall, so it hangs under the level model.
    view_->AttachToWorld(IsDoor());
    OnModelBuilt();
    ApplyTeamTint();
    view_->PlayAnimation("idle", false);
    if (!battle_.IsSettingUp()) view_->PlayAnimation("stoodidle", false);
}

void Unit::ApplyTeamTint() {
    if (hasPresentation_) view_->SetTeamMaterial(GetTeamMaterialName(), team_ != nullptr ? team_->GetColour() : 0u);
}

void Unit::SetTeam(UnitTeam* team) {
    team_ = team;
    ApplyTeamTint();
}

void Unit::ChangeTeam(int teamKind) {
    if (team_ != nullptr) team_->TransferUnit(*this, teamKind);
}

int Unit::GetTeamKind() const { return team_ != nullptr ? team_->GetKind() : 0; }

int Unit::GetCost() const { return GetUnitTypeCost(GetType()); }

const UnitParams& Unit::GetParams() const { return GetUnitParams(GetType()); }

engine::Vec3 Unit::GetWorldPos() const {
    return {position_.x, IsAirborne() ? flightHeight_ : position_.y, position_.z};
}

void Unit::SetModelRotation(float degrees) {
    engine::Matrix44 matrix;
    matrix.InitRotationY(degrees);
    matrix.SetRow(3, position_);
    view_->SetLocalMatrix(matrix);
}

UnitMoveState Unit::GetMoveState() const {
    UnitMoveState s;
    s.hex = hex_;
    s.position = position_;
    s.facing = facing_;
    s.yaw = yaw_;
    s.movementAtPathStart = movementAtPathStart_;
    s.movementLeft = movementLeft_;
    s.airborne = airborne_;
    s.flightHeight = flightHeight_;
    s.fuel = fuel_;
    s.targetsAfterMove = targetsAfterMove_;
    s.health = health_;
    s.ammo = ammo_;
    return s;
}

void Unit::SetMoveState(const UnitMoveState& s) {
    MoveToHex(s.hex);
    position_ = s.position;
    facing_ = s.facing;
    yaw_ = s.yaw;
    movementAtPathStart_ = s.movementAtPathStart;
    movementLeft_ = s.movementLeft;
    airborne_ = s.airborne;
    flightHeight_ = s.flightHeight;
    fuel_ = s.fuel;
    targetsAfterMove_ = s.targetsAfterMove;
    health_ = s.health;
    ammo_ = s.ammo;
    SetModelRotation(90.0f - static_cast<float>(DirectionToAngle(facing_)) + 180.0f);
}

void Unit::MoveToHex(HexCoord hex) {
    const HexCoord from = hex_;
    hex_ = hex;
    if (team_ != nullptr && !(from == hex)) team_->OnUnitHexChanged(*this, from);
}

void Unit::PlaceOnHex(HexCoord hex) {
    MoveToHex(hex);
    battle_.GetHexMap().GetSurfacePoint(position_, hex);
    SetModelRotation(90.0f - static_cast<float>(DirectionToAngle(facing_)) + 180.0f);
}

void Unit::Deploy() {
    if (state_ != kUnitNotPlaced) return;
    AttachPresentation();
    facing_ = battle_.GetRandomStreams().NextInt(0, kDirectionCount - 1, 0);
    PlaceOnHex(hex_);
    flightHeight_ = position_.y;
    state_ = kUnitIdle;
    SetAirborne(true);
    PlayBuildEffect();
    if (team_ != nullptr) team_->AddCash(-GetCost());
}

void Unit::PlayBuildEffect() { view_->PlayBuildEffect(position_); }

void Unit::FaceUnit(const Unit& other) {
    const float dx = other.position_.x - position_.x;
    const float dz = other.position_.z - position_.z;
    // Only a zero difference has no heading; a unit straight along one axis still turns.
    if (std::fabs(dx) < 0.0001f && std::fabs(dz) < 0.0001f) return;
    const double degrees =
        std::atan2(static_cast<double>(dz), static_cast<double>(dx)) * 180.0 / 3.14159265358979323846;
    int heading = static_cast<int>(std::lround(degrees));
    heading = ((heading % 360) + 360) % 360;
    yaw_ = heading;
    SetModelRotation(90.0f - static_cast<float>(yaw_) + 180.0f);
}

void Unit::SetTargetMark(bool marked, const MapUnit* attacker) {
    targetMarked_ = marked;
    const Unit* attackingUnit = dynamic_cast<const Unit*>(attacker);
    predictedLossPercent_ = marked && attackingUnit != nullptr ? PredictHealthLossPercent(*attackingUnit) : 0;
}

void Unit::StartTurn() {
    movementLeft_ = GetMoveAllowance();
    healthAtTurnStart_ = health_;
    actionsUsed_ = 0;
    targetsAfterMove_ = -1;
}

}  // namespace game
