#include "game/core/engine_announcer_scene.h"

#include "engine/render/render_target.h"
#include "engine/scene/light_desc.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
#include "game/battle/team_colours.h"
#include "game/units/unit.h"
#include "game/units/unit_factory.h"

namespace game {
namespace {

constexpr float kNear = 0.1f;
constexpr float kFar = 50.0f;
constexpr float kFov = 30.0f;
constexpr int kWalkerLight = 1;

}  // namespace

std::uint32_t EngineAnnouncerScene::WalkerSide::GetColour() const { return GetTeamColour(kind); }

EngineAnnouncerScene::EngineAnnouncerScene(BattleContext& battle) : battle_(battle) {}

EngineAnnouncerScene::~EngineAnnouncerScene() {
    DeleteWalker();
    if (queue_) queue_->SetScene(nullptr);
    if (root_ != nullptr) root_->Destroy();
}

void EngineAnnouncerScene::Init(int width, int height) {
    view_ = std::make_unique<engine::SceneView>();
    Relayout(width, height);
    engine::Matrix44 camera;
    camera.SetTranslation(0.0f, 0.3f, -4.0f);
    view_->GetViewTransform().SetFov(kFov);
    view_->GetViewTransform().SetMatrix(camera);
    queue_ = std::make_unique<engine::RenderQueue>();
    root_ = engine::SceneNode::Init(0, "AnnouncerWorld");
    queue_->SetScene(root_);
    engine::LightDesc& light = queue_->GetLight(kWalkerLight);
    // Tilted down 80 degrees about X, turned 45 degrees about world Y, then 5 back along its own axis.
    engine::Matrix44 tilt;
    tilt.InitRotationX(80.0f);
    engine::Matrix44 turn;
    turn.InitRotationY(45.0f);
    engine::Matrix44 placement;
    engine::Matrix44::Multiply(tilt, turn, placement);
    placement.TranslateLocal(0.0f, 0.0f, -5.0f);
    light.SetMatrix(placement);
    light.SetEnabled(1);
    light.SetRange(1000.0f);
    light.SetIntensity(0.2f);
}

void EngineAnnouncerScene::Relayout(int width, int height) {
    if (!view_ || width <= 0 || height <= 0) return;
    view_->Init({0, 0, width, height}, static_cast<float>(width) / static_cast<float>(height), kNear, kFar);
}

bool EngineAnnouncerScene::CreateWalker(int unitType, int teamKind) {
    DeleteWalker();
    side_.kind = teamKind;
    // Id 0: the battle hands out a fresh id for every announcement.
    walker_ = CreateUnit(battle_, unitType, &side_, 0);
    if (!walker_) return false;
    // Far off until the first frame places it, in the announcer's own scene rather than the battle's.
    engine::Matrix44 away;
    away.SetTranslation(-10000.0f, 0.0f, 0.0f);
    walker_->GetView().SetLocalMatrix(away);
    walker_->GetView().AttachUnder(root_);
    // A land vehicle trails its track smoke as it crosses; infantry, aircraft and boats have none.
    walker_->HangTrackSmoke();
    if (root_ != nullptr) root_->UpdateWorldMatrix();
    walker_->GetView().UpdateWorldMatrices();
    return true;
}

void EngineAnnouncerScene::DeleteWalker() {
    if (!walker_) return;
    walker_->GetView().DestroyModel();
    walker_.reset();
}

void EngineAnnouncerScene::PlaceWalker(float x, float yawDegrees) {
    if (!walker_) return;
    walker_->UpdateAnimation();
    engine::Matrix44 placement;
    placement.InitRotationY(yawDegrees);
    placement.SetRow(3, {x, 0.0f, 0.0f});
    walker_->GetView().SetLocalMatrix(placement);
    walker_->GetView().UpdateWorldMatrices();
    if (root_ != nullptr) root_->UpdateWorldMatrix();
}

void EngineAnnouncerScene::Render(engine::RenderTargetBase& target) {
    if (!view_ || !queue_) return;
    // The queue gathers what the announcer's own camera sees, as every scene view does before it draws.
    view_->UpdateFrustum();
    queue_->Build(&view_->GetViewTransform().GetMatrix());
    target.RenderScene(queue_.get(), view_.get());
}

}  // namespace game
