// What a unit does every tick and every frame: the order queue, the timers, walking the route hex by hex,
// the flight height of aircraft, aiming, the tint and the passenger's place.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/frame_timer.h"
#include "engine/core/matrix.h"
#include "engine/core/random_streams.h"
#include "engine/core/scalar_math.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/units/unit.h"
#include "game/units/unit_services.h"
#include "game/units/unit_tables.h"
#include "game/units/unit_team.h"
#include "game/units/unit_tint.h"

namespace game {

namespace {

// Terrain kind 5: units wade through it, stand lower in it and splash on entering it.
constexpr int kWadeTerrain = kTerrainLand2;
constexpr float kWadeDepth = 0.2f;
// The height a carrier holds over the ground while it takes or drops a passenger, and its passenger hangs
// below it.
constexpr float kCarryHeight = 1.1f;
constexpr int kSoundSplash = 38;

float ModelYaw(float heading) { return 90.0f - heading + 180.0f; }

bool FastMoves(const BattleContext& battle) {
    return (battle.GetOptionBits() & kOptionInstantMove) != 0 || battle.IsFastForward();
}

}  // namespace

UnitServices& Unit::Services() const { return UnitServicesOf(battle_); }

bool Unit::PlayAnimation(const char* name, bool restart) { return view_->PlayAnimation(name, restart); }

bool Unit::IsAnimationDone(const char* name) const {
    return std::strcmp(view_->GetAnimationName(), name) != 0 || view_->IsAnimationFinished();
}

float Unit::StandingHeight(HexCoord hex) const {
    engine::Vec3 point;
    const HexMap& map = battle_.GetHexMap();
    map.GetSurfacePoint(point, hex);
    return map.GetTile(hex).terrain == kWadeTerrain ? point.y - kWadeDepth : point.y;
}

bool Unit::IsPathDone() const { return (!scripted_ && movementLeft_ == 0.0f) || IsRouteDone(); }

bool Unit::IsRouteDone() const { return route_.stepIndex >= route_.count || state_ == kUnitIdle; }

void Unit::Tick() {
    UpdateFlightHeight();
    if (waitTimer_ != 0.0f) {
        waitTimer_ -= kUnitTick;
        if (waitTimer_ > 0.0f) return;
        waitTimer_ = 0.0f;
    }
    if (state_ == kUnitIdle) {
        IdleUpdate();
        if (!IsBusy() && orderCount_ > 0) {
            lastSteppedOrderId_ = 0;
            state_ = kUnitRunningOrders;
        }
    }
    if (state_ == kUnitRunningOrders) {
        if (orderCount_ == 0) {
            state_ = kUnitIdle;
        } else {
            UnitOrder* order = orders_[0].get();
            const bool first = order->GetId() != lastSteppedOrderId_;
            lastSteppedOrderId_ = order->GetId();
            // The order may have cleared the queue (a cancel, a kill); only the order stepped is removed.
            if (order->Step(first) && orderCount_ > 0 && orders_[0].get() == order) {
                std::rotate(orders_.begin(), orders_.begin() + 1, orders_.begin() + orderCount_);
                orders_[static_cast<std::size_t>(orderCount_ - 1)].reset();
                --orderCount_;
            }
            if (orderCount_ == 0 && state_ == kUnitRunningOrders) state_ = kUnitIdle;
        }
    }
    if (state_ == kUnitDying || state_ == kUnitGone) {
        // A dying unit does nothing more: its orders go (an attack ends its battle zoom).
        if (orderCount_ > 0) DeleteOrders();
        if (state_ == kUnitDying && IsDeathFinished()) Kill(true, nullptr);
    }
}

void Unit::UpdateFlightHeight() {
    if (state_ == kUnitDying || !IsAircraft() || carryState_ != kCarryNone) return;
    float target = battle_.GetHexMap().GetUnitHeight(hex_, IsAirborne());
    float rate = 0.1f;
    if (passengerId_ != 0) {
        target += kCarryHeight;
        rate = 0.05f;
    }
    flightHeight_ += (target - flightHeight_) * rate;
}

void Unit::StartRoute(const HexPath& path) {
    route_ = path;
    SetAirborne(true);
    movementAtPathStart_ = movementLeft_;
    MoveToHex(route_.start);
    route_.count = std::clamp(route_.count, 0, kMaxPathSteps);
    route_.stepIndex = 0;
    // The movement the flood left on each hex of the route, kept now: any later fill (another unit's
    // order, a selection) overwrites the shared scratch long before the walker enters those hexes.
    const HexMap& map = battle_.GetHexMap();
    HexCoord at = route_.start;
    for (int i = 0; i < route_.count; ++i) {
        HexNeighbour(at, route_.directions[i], at);
        routeMoveLeft_[static_cast<std::size_t>(i)] = map.GetMoveLeft(at);
    }
    if (carrierId_ != 0) {
        if (Unit* carrier = GetCarrier(); carrier != nullptr && carrier->passengerId_ == id_) carrier->passengerId_ = 0;
        carrierId_ = 0;
    }
    yaw_ = DirectionToAngle(facing_);
    subStep_ = 0;
    jumping_ = false;
    if (trackSmoke_ != 0) view_->HangEffectNode(trackSmoke_, engine::Matrix44{});
}

void Unit::PrepareTrackSmoke() {
    if (trackSmoke_ != 0 || IsSoftTarget() || IsAircraft() || CrossesWater()) return;
    trackSmoke_ = view_->CreateEffectNode("Particles/tank_track_smoke");
}

void Unit::HangTrackSmoke() {
    PrepareTrackSmoke();
    if (trackSmoke_ != 0) view_->HangEffectNode(trackSmoke_, engine::Matrix44{});
}

void Unit::StopTrackSmoke() {
    if (trackSmoke_ != 0) view_->StopEffectEmitting(trackSmoke_);
}

void Unit::StepAlongPath() {
    if (carrierId_ != 0) return;
    if (route_.stepIndex < 0 || route_.stepIndex >= route_.count) return;
    const HexMap& map = battle_.GetHexMap();
    const int stepTicks = std::max(GetParams().stepTicks, 1);
    const bool fast = !scripted_ && FastMoves(battle_);
    HexCoord next;
    if (subStep_ == 0) {
        stepFinished_ = false;
        facing_ = std::clamp(route_.directions[route_.stepIndex], 0, kDirectionCount - 1);
        yaw_ = SnapAngle5(static_cast<float>(DirectionToAngle(facing_)));
        HexNeighbour(hex_, facing_, next);
        const HexTile& from = map.GetTile(hex_);
        const HexTile& to = map.GetTile(next);
        const bool jump = from.level != to.level || ((from.terrain == kWadeTerrain) != (to.terrain == kWadeTerrain));
        // A model without the animation starts the step all the same: the walk must not wait on it.
        if (jump) {
            view_->PlayAnimation("jump", true);
            Services().PlaySpeech(GetTeamKind(), battle_.GetRandomStreams().NextInt(0, 3, 0));
            jumping_ = true;
            subStep_ = 1;
            if (moveLoopSound_ != 0) {
                Services().StopLoopSound(moveLoopSound_, 0.0f);
                moveLoopSound_ = 0;
            }
        } else {
            view_->PlayAnimation("run", false);
            subStep_ = 1;
            if (moveLoopSound_ == 0) moveLoopSound_ = Services().StartLoopSound(GetMoveLoopSound());
        }
    } else {
        HexNeighbour(hex_, facing_, next);
    }

    if (jumping_) {
        if (fast) {
            subStep_ = stepTicks;
            stepFinished_ = true;
        } else {
            const float from = StandingHeight(hex_);
            const float to = StandingHeight(next);
            position_.y = from + std::clamp((to - from) * static_cast<float>(subStep_) / 40.0f, -1.0f, 1.0f);
            if (IsAnimationDone("jump")) {
                stepFinished_ = true;
            } else {
                ++subStep_;
            }
        }
    } else {
        engine::Vec3 a;
        engine::Vec3 b;
        map.GetSurfacePoint(a, hex_);
        map.GetSurfacePoint(b, next);
        position_.x += (b.x - a.x) / static_cast<float>(stepTicks);
        position_.z += (b.z - a.z) / static_cast<float>(stepTicks);
        if (IsSoftTarget()) position_.y = StandingHeight(hex_);
        ++subStep_;
        if (fast) subStep_ = stepTicks;
        if (subStep_ >= stepTicks) stepFinished_ = true;
    }

    if (stepFinished_) FinishStep(next);
    SetModelRotation(ModelYaw(static_cast<float>(yaw_)));
}

void Unit::FinishStep(HexCoord next) {
    HexMap& map = battle_.GetHexMap();
    subStep_ = 0;
    const int entered = route_.stepIndex;
    PlaceOnHex(next);
    ++route_.stepIndex;
    const HexTile& tile = map.GetTile(next);
    if (tile.terrain == kWadeTerrain && !IsAirborne()) {
        engine::Matrix44 placement;
        placement.InitRotationX(-90.0f);
        placement.SetRow(3, {position_.x, position_.y + 0.01f, position_.z});
        Services().AddEffect("Particles/Combo_splash_small", placement);
        Services().PlayLevelSound(kSoundSplash);
    }
    if (!scripted_) {
        movementLeft_ = routeMoveLeft_[static_cast<std::size_t>(entered)];
        if (movementLeft_ < 1.0f) movementLeft_ = 0.0f;
    }
    jumping_ = false;
    if (!IsAircraft() && tile.trigger != nullptr) Services().SetScriptInputHex(next);
    position_.y = StandingHeight(next);

    if (!IsPathDone()) return;
    if (moveLoopSound_ != 0) {
        Services().StopLoopSound(moveLoopSound_, 0.5f);
        moveLoopSound_ = 0;
    }
    if (const int stop = GetStopSound(); stop != 0) Services().PlayLevelSound(stop);
    targetsAfterMove_ =
        GetType() == UT_ENGINEER ? map.CountAdjacentForeignStructures(*this) : map.CountAttackTargets(*this);
    // A move order floods from the full allowance, so a scripted move may end with more movement than it
    // began with: fuel never rises.
    fuel_ -= std::max(0.0f, movementAtPathStart_ - movementLeft_);
    if (fuel_ < 0.0f) fuel_ = 0.0f;
}

bool Unit::AimAtTarget(Unit* target) {
    if (Services().IsBattleZoomActive()) return false;
    if (target == nullptr) return true;
    const float dx = target->position_.x - position_.x;
    const float dz = target->position_.z - position_.z;
    const float heading =
        static_cast<float>(std::atan2(static_cast<double>(dz), static_cast<double>(dx)) * 180.0 / 3.14159265358979323846);
    const float from = static_cast<float>(DirectionToAngle(facing_));
    const float turned = from + engine::ShortestAngleDiffDeg(from, heading);
    SetModelRotation(ModelYaw(turned));
    return true;
}

void Unit::UpdateAnimation() {
    if (state_ == kUnitNotPlaced || state_ == kUnitGone) return;
    if (!view_->IsAttached()) view_->AttachToWorld(IsDoor());
    if (shakeTimer_ > 0.0f) {
        const float dt = battle_.GetFrameTimer().GetDeltaSeconds(false);
        shakeTimer_ = std::max(0.0f, shakeTimer_ - dt);
        engine::RandomStreams& random = battle_.GetRandomStreams();
        engine::Matrix44 matrix;
        matrix.InitRotationY(ModelYaw(static_cast<float>(yaw_)));
        matrix.SetRow(3, {position_.x + random.NextFloat(-0.05f, 0.05f, 0), position_.y,
                          position_.z + random.NextFloat(-0.05f, 0.05f, 0)});
        view_->SetLocalMatrix(matrix);
    }
    view_->UpdateWorldMatrices();
    UpdateTeamTint();
    SyncPassengerModel();
}

void Unit::UpdateTeamTint() {
    TintInputs in;
    in.teamColour = team_ != nullptr ? team_->GetColour() : 0u;
    in.waitTimer = waitTimer_;
    in.highlight = highlight_;
    in.targetMarked = targetMarked_;
    const int current = battle_.GetCurrentTeamKind();
    in.currentSideComputer = battle_.GetTeamControl(current) == kControlComputer;
    in.ownSideCurrentPlayer = current == GetTeamKind() && battle_.GetTeamControl(current) == kControlHuman;
    in.armed = IsArmed();
    in.canAct = CanStillAct();
    in.engineer = GetType() == UT_ENGINEER;
    const engine::FrameTimer& timer = battle_.GetFrameTimer();
    in.markPulse = timer.SmoothPingPong(0.5f);
    in.highlightPulse = timer.SmoothPingPong(0.25f);
    const TintChoice tint = ChooseTint(in);
    view_->SetTint(tint.colour, tint.useTintMaterial);
}

void Unit::SyncPassengerModel() {
    if (passengerId_ == 0) return;
    Unit* passenger = GetPassenger();
    if (passenger == nullptr) return;
    if (IsAircraft()) {
        if (carryState_ == kCarryDescendToTake) return;
        engine::Matrix44 matrix = view_->GetWorldMatrix();
        engine::Vec3 at = matrix.GetTranslation();
        at.y = flightHeight_ - kCarryHeight;
        matrix.SetRow(3, at);
        passenger->view_->SetWorldMatrix(matrix);
    } else {
        if (carryState_ == kCarryBoarding) return;
        passenger->view_->SetWorldMatrix(view_->GetWorldMatrix());
    }
    passenger->facing_ = facing_;
    passenger->MoveToHex(hex_);
    passenger->position_ = position_;
}

void Unit::PlayIdleAnimation() {
    engine::RandomStreams& random = battle_.GetRandomStreams();
    // Restarted: the idle choice comes when the last animation has run its length, and "idle" after "idle"
    // must play again from its start.
    if ((random.NextRaw(0) & 0xF) == 0) {
        char name[16];
        std::snprintf(name, sizeof(name), "bored%i", random.NextInt(1, 5, 0));
        PlayAnimation(name, true);
        return;
    }
    PlayAnimation("idle", true);
}

}  // namespace game
