#include "game/level/battle_camera.h"

#include <algorithm>
#include <cmath>

#include "engine/core/scalar_math.h"
#include "engine/scene/view_transform.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/level/battle_steps.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace game {
namespace {

// The profile option that lets looks through on a campaign's first day between turns.
constexpr std::uint32_t kIntrosOption = 0x20;
constexpr float kViewPitch = 70.0f;
constexpr float kYawOffset = 30.0f;
constexpr float kTurnStep = 60.0f;
constexpr float kTurnDegreesPerSecond = 500.0f;
constexpr float kPanPerSecond = 20.0f;
constexpr float kSettled = 0.001f;
constexpr float kMaxGlideSpeed = 0.1f;
constexpr float kMinGlideSpeed = 0.02f;
constexpr float kZoomStep = 0.02f;
constexpr float kMapMargin = 3.0f;
constexpr float kPullBack = 0.02f;
constexpr float kOrbitStartPitch = 70.0f;
constexpr float kOrbitEndPitch = 45.0f;
constexpr float kOrbitDegreesPerSecond = 10.0f;
constexpr float kTinyLength = 1.1920929e-7f;
constexpr int kWideBackBuffer = 960;

// The unit heading of the view for an angle offset from the yaw.
engine::Vec2 Heading(float degrees) { return engine::Vec2(1.0f, 0.0f).RotateDeg(degrees); }

engine::Vec3 Lerp(const engine::Vec3& a, const engine::Vec3& b, float t) {
    return a.Scale(1.0f - t).Add(b.Scale(t));
}

}  // namespace

BattleCamera::BattleCamera(CameraContext& context) : context_(context) { Init(); }

void BattleCamera::Init() {
    mode_ = kCameraFree;
    yaw_ = 0.0f;
    targetYaw_ = 0.0f;
    focus_ = {};
    target_ = {};
    followed_ = nullptr;
    dragOffset_ = {};
    transition_ = 0.0f;
    glideSpeed_ = 0.0f;
}

void BattleCamera::AttachCamera(engine::ViewTransform* camera) {
    camera_ = camera;
    zoom_ = context_.GetBackBufferWidth() > kWideBackBuffer ? 20.0f : 16.0f;
    if (camera_ == nullptr) return;
    engine::Matrix44 m;
    m.InitRotationX(60.0f);
    m.TranslateLocal(0.0f, 0.0f, -10.0f);
    camera_->SetMatrix(m);
}

void BattleCamera::SetZoom(float distance) {
    const bool narrow = context_.GetBackBufferWidth() <= kWideBackBuffer;
    zoom_ = narrow ? std::clamp(distance, 8.0f, 24.0f) : std::clamp(distance, 12.0f, 32.0f);
}

bool BattleCamera::IsLookSuppressed() const {
    if ((context_.GetOptionBits() & kIntrosOption) != 0) return false;
    if (context_.GetGameState() != kStateBetweenTurns || context_.GetGameMode() != kGameModeCampaign) return false;
    const TeamManager* teams = context_.GetTeamManager();
    return teams != nullptr && teams->GetDay() == 1;
}

void BattleCamera::SetFocusHexOfCurrentTeam(HexCoord hex) const {
    const int state = context_.GetGameState();
    if (state == kStateTurnStart || state == kStateBetweenTurns) return;
    const TeamManager* teams = context_.GetTeamManager();
    Team* team = teams != nullptr ? teams->GetCurrentTeam() : nullptr;
    if (team != nullptr) team->SetFocusHex(hex);
}

void BattleCamera::LookAtHex(HexCoord hex) {
    if (mode_ != kCameraFree && mode_ != kCameraFollowing) return;
    if (IsLookSuppressed() || !IsValidHex(hex)) return;
    target_ = HexToWorld(hex);
    mode_ = kCameraFree;
    followed_ = nullptr;
    SetFocusHexOfCurrentTeam(hex);
}

bool BattleCamera::LookAtUnit(Unit& unit) {
    if (mode_ != kCameraFree && mode_ != kCameraFollowing) return false;
    engine::Vec3 aim;
    unit.GetAimPoint(aim);
    const engine::Vec2 heading = Heading(90.0f - (yaw_ + kYawOffset));
    target_ = HexToWorld(unit.GetHexPos()).Add(heading.Scale(aim.y * engine::CosDeg(kViewPitch)));
    mode_ = kCameraFree;
    followed_ = nullptr;
    SetFocusHexOfCurrentTeam(unit.GetHexPos());
    return true;
}

void BattleCamera::FollowObject(Unit* unit) {
    if (mode_ != kCameraFree && mode_ != kCameraFollowing) return;
    mode_ = kCameraFollowing;
    followed_ = unit;
}

void BattleCamera::OnUnitDeleting(const Unit& unit) {
    // The next update sees nothing followed and goes back to the free mode where the camera stands.
    if (followed_ == &unit) followed_ = nullptr;
}

void BattleCamera::PanAlongView(int direction) {
    if (mode_ != kCameraFree) return;
    const engine::Vec2 step = Heading(90.0f - (yaw_ + kYawOffset)).Scale(kPanPerSecond * context_.GetFrameSeconds());
    focus_ = direction == 1 ? focus_.Add(step) : focus_.Sub(step);
    target_ = focus_;
}

void BattleCamera::PanAcrossView(int direction) {
    if (mode_ != kCameraFree) return;
    const engine::Vec2 step = Heading(-(yaw_ + kYawOffset)).Scale(kPanPerSecond * context_.GetFrameSeconds());
    focus_ = direction == 1 ? focus_.Add(step) : focus_.Sub(step);
    target_ = focus_;
}

void BattleCamera::RotateStep(int direction) {
    if (mode_ != kCameraFree) return;
    // A second step the same way while turning finishes the first at once.
    if (yaw_ != targetYaw_ && direction == turnDirection_) yaw_ = targetYaw_;
    const float step = direction == 1 ? -kTurnStep : kTurnStep;
    targetYaw_ = std::trunc(std::fmod(targetYaw_ + 360.0f + step, 360.0f));
    turnDirection_ = direction;
    lastTurnDirection_ = direction;
}

void BattleCamera::DragBy(const engine::Vec3& offset, bool commit) {
    if (!commit) {
        dragOffset_ = offset.Negate();
        return;
    }
    focus_.AddInPlace({dragOffset_.x, dragOffset_.z});
    target_ = focus_;
    dragOffset_ = {};
}

float BattleCamera::AdjustGlideSpeed(float speed, float distance) {
    if (distance <= kSettled) {
        speed -= 0.02f;
    } else if (distance > 1.0f) {
        speed += 0.002f;
    } else if (speed < kMinGlideSpeed) {
        speed = kMinGlideSpeed;
    }
    return std::clamp(speed, 0.0f, kMaxGlideSpeed);
}

void BattleCamera::GlideToward(const engine::Vec2& goal) {
    const float d = focus_.Distance(goal);
    glideSpeed_ = AdjustGlideSpeed(glideSpeed_, d);
    if (d >= kSettled) focus_.AddInPlace(goal.Sub(focus_).Scale(glideSpeed_));
}

void BattleCamera::CheckOrbitStart() {
    const int state = context_.GetGameState();
    if (state != kStateWon && state != kStateLost) return;
    mode_ = kCameraOrbit;
    orbitPitch_ = kOrbitStartPitch;
    orbitYaw_ = yaw_;
}

void BattleCamera::PlaceZoomView(const engine::Vec3& eye, const engine::Vec3& eyeFrom, const engine::Vec3& look,
                                 const engine::Vec3& lookFrom) {
    transition_ = std::max(0.0f, transition_ - kZoomStep);
    const float t = transition_ / kZoomTransition;
    const engine::Vec3 position = Lerp(eye, eyeFrom, t);
    const engine::Vec3 lookAt = Lerp(look, lookFrom, t);
    if (camera_ == nullptr || position.Distance(lookAt) < kTinyLength) return;
    engine::Matrix44 m;
    m.SetLookAt(position, lookAt, 0.0f);
    camera_->SetMatrix(m);
}

void BattleCamera::Update() {
    switch (mode_) {
        case kCameraFree:
            CheckOrbitStart();
            if (mode_ != kCameraFree) return;
            GlideToward(target_);
            return;
        case kCameraFollowing:
            CheckOrbitStart();
            if (mode_ != kCameraFollowing) return;
            if (followed_ == nullptr || followed_->GetState() == kUnitGone) {
                mode_ = kCameraFree;
                followed_ = nullptr;
                return;
            }
            GlideToward(followed_->GetGroundPos());
            target_ = focus_;
            return;
        case kCameraBattleZoom: {
            PlaceZoomView(zoomEye_, zoomOrigin_, zoomLook_, zoomOriginLook_);
            const TeamManager* teams = context_.GetTeamManager();
            if (teams == nullptr || !teams->IsBusy()) EndBattleZoom();
            return;
        }
        case kCameraReturning:
            PlaceZoomView(zoomEye_, zoomOrigin_, zoomLook_, zoomOriginLook_);
            if (transition_ == 0.0f) {
                context_.RestoreScenery();
                mode_ = kCameraFree;
            }
            return;
        default:
            return;
    }
}

void BattleCamera::PlaceTopView(float pitch, float yaw) {
    engine::Matrix44 m;
    m.InitRotationX(pitch);
    m.RotateYWorld(yaw + kYawOffset);
    m.TranslateLocal(0.0f, 0.0f, -zoom_);
    m.TranslateWorld(focus_.x + dragOffset_.x, dragOffset_.y, focus_.y + dragOffset_.z);
    camera_->SetMatrix(m);
}

void BattleCamera::TurnYaw(float frameSeconds) {
    if (yaw_ == targetYaw_) return;
    const float step = std::min(kTurnDegreesPerSecond * frameSeconds, kTurnStep);
    if (turnDirection_ == 0) {
        // Increasing: the distance left, wrapping at 360.
        const float left = std::fmod(targetYaw_ - yaw_ + 360.0f, 360.0f);
        yaw_ = step >= left ? targetYaw_ : std::fmod(yaw_ + step, 360.0f);
    } else {
        const float left = std::fmod(yaw_ - targetYaw_ + 360.0f, 360.0f);
        yaw_ = step >= left ? targetYaw_ : std::fmod(yaw_ - step + 360.0f, 360.0f);
    }
}

void BattleCamera::HoldNearMap() {
    const HexMap* map = context_.GetMap();
    if (map == nullptr) return;
    const engine::Vec3& centre = map->GetCentreOffset();
    const engine::Vec3& half = map->GetHalfExtent();
    const auto pull = [](float focus, float middle, float extent) {
        const float offset = focus - middle;
        const float limit = extent - kMapMargin;
        if (offset > limit) return -(offset - limit) * kPullBack;
        if (offset < -limit) return -(offset + limit) * kPullBack;
        return 0.0f;
    };
    // The map keeps its centre's ground depth in the offset's y (its z is 0).
    target_.x += pull(focus_.x, centre.x, half.x);
    target_.y += pull(focus_.y, centre.y, half.z);
}

void BattleCamera::ApplyView() {
    if (camera_ == nullptr) return;
    const float frameSeconds = context_.GetFrameSeconds();
    switch (mode_) {
        case kCameraFree:
        case kCameraFollowing:
            if (context_.GetMap() == nullptr) return;
            TurnYaw(frameSeconds);
            PlaceTopView(kViewPitch, yaw_);
            HoldNearMap();
            return;
        case kCameraOrbit: {
            orbitPitch_ = std::clamp(orbitPitch_ - kOrbitDegreesPerSecond * frameSeconds, kOrbitEndPitch,
                                     kOrbitStartPitch);
            const float c = (orbitPitch_ - kOrbitEndPitch) / (kOrbitStartPitch - kOrbitEndPitch);
            orbitYaw_ -= kOrbitDegreesPerSecond * frameSeconds;
            PlaceTopView(c * c * (kOrbitStartPitch - kOrbitEndPitch) + kOrbitEndPitch, orbitYaw_);
            return;
        }
        case kCameraBattleZoom:
        case kCameraReturning:
            context_.UpdateSceneryFade(camera_->GetMatrix());
            return;
        default:
            return;
    }
}

void BattleCamera::StartBattleZoom(Unit& attacker, Unit& target) {
    if ((context_.GetOptionBits() & kOptionZoomBattles) == 0 || context_.IsFastForward()) return;
    if (mode_ != kCameraFree && mode_ != kCameraFollowing) return;
    if (camera_ == nullptr) return;
    const engine::Vec3 a = attacker.GetWorldPos();
    const engine::Vec3 b = target.GetWorldPos();
    const engine::Vec3 d = b.Sub(a);
    const float length = d.Length();
    // Two units at one point give no side to swing to: no zoom rather than a camera of NaNs.
    if (length < kTinyLength) return;
    const engine::Matrix44& placement = camera_->GetMatrix();
    zoomOrigin_ = placement.GetTranslation();
    const engine::Vec3 forward = placement.Row(2);
    const engine::Vec3 m = a.Add(b).Scale(0.5f);
    context_.SetSceneryFocus(m, length * 0.5f);

    const engine::Vec3 direction = d.Scale(1.0f / length);
    engine::Vec3 side = engine::kAxisY.Cross(direction);
    if (side.Length() < kTinyLength) side = engine::kAxisZ.Cross(direction);
    side = side.Normalised();
    const float r = std::max(3.0f, length * 0.5f * engine::TanDeg(75.0f));
    const engine::Vec3 up(0.0f, r, 0.0f);
    zoomEye_ = side.Dot(forward) < 0.0f ? m.Add(side.Scale(r)).Add(up) : m.Sub(side.Scale(r)).Add(up);
    zoomOriginLook_ = zoomOrigin_.Add(forward.Scale(m.Distance(zoomOrigin_)));
    zoomLook_ = m.Add({0.0f, 0.5f, 0.0f});
    transition_ = kZoomTransition;
    mode_ = kCameraBattleZoom;
}

void BattleCamera::EndBattleZoom() {
    switch (mode_) {
        case kCameraBattleZoom:
            std::swap(zoomEye_, zoomOrigin_);
            std::swap(zoomLook_, zoomOriginLook_);
            transition_ = kZoomTransition;
            mode_ = kCameraReturning;
            return;
        case kCameraFree:
        case kCameraFollowing:
        case kCameraOrbit:
            context_.RestoreScenery();
            mode_ = kCameraFree;
            return;
        default:
            return;
    }
}

bool BattleCamera::IsBattleZoomActive() const {
    if ((context_.GetOptionBits() & kOptionZoomBattles) == 0 || context_.IsFastForward()) return false;
    return (mode_ == kCameraBattleZoom || mode_ == kCameraReturning) && transition_ > 0.0f;
}

void BattleCamera::ResetToStart() {
    mode_ = kCameraFree;
    EndBattleZoom();
    HexCoord start;
    if (context_.GetGameMode() == kGameModeCampaign && context_.GetCampaignStartTile(start)) LookAtHex(start);
    focus_ = target_;
}

}  // namespace game
