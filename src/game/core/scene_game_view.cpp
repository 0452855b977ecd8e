#include "game/core/scene_game_view.h"

#include <cstdio>

#include "engine/core/frame_timer.h"
#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/frame_overlays.h"
#include "engine/platform/engine_root.h"
#include "engine/render/render_target.h"
#include "engine/render/texture_table.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/level/level.h"
#include "game/teams/team_manager.h"
#include "game/units/font_text_painter.h"
#include "game/units/unit_assets.h"
#include "game/units/projectile_manager.h"

namespace game {
namespace {

constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 80.0f;
constexpr int kBlendNormal = 3;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kSplashClear = 0xFF000000u;

// The menu picture.
constexpr const char* kMenuPicture = "Common/MenuPic";
// The GUI sheet the units' overlays cut their cells from (loaded with the zones).
constexpr const char* kOverlaySheet = "GUI/ingameUi";

}  // namespace

SceneGameView::SceneGameView(engine::Engine& engine, GamePlatform& platform)
    : engine_(engine), platform_(platform), unitViews_([this] {
          UnitSceneHooks hooks;
          hooks.worldNode = [this] { return world_; };
          hooks.explosionsNode = [this] { return explosions_; };
          // The door is part of the level's wall: under the level model it blocks the line-of-sight query.
          hooks.levelModelNode = [this] { return levelScene_ != nullptr ? levelScene_->GetModelNode() : nullptr; };
          return hooks;
      }()) {
    StructureSceneHooks hooks;
    hooks.worldNode = [this] { return world_; };
    hooks.addEffect = [this](const char* effect, const engine::Matrix44& placement) { AddEffect(effect, placement); };
    hooks.renderQueue = [this] { return queue_.get(); };
    hooks.gameSeconds = [this] {
        const engine::FrameTimer* timer = engine_.GetTimer();
        return timer != nullptr ? timer->GetSeconds() : 0.0;
    };
    structures_ = std::make_unique<SceneStructurePresenter>(std::move(hooks));
    LevelSceneHooks levelHooks;
    levelHooks.worldNode = [this] { return world_; };
    levelHooks.findEffect = [this](const char* name) { return FindEffect(name); };
    levelScene_ = std::make_unique<SceneLevelPresenter>(std::move(levelHooks));
}

SceneGameView::~SceneGameView() {
    // The structures' clones and the level's model hang under the world node: they go before it.
    structures_.reset();
    levelScene_.reset();
    if (moveMarker_ != nullptr) moveMarker_->Destroy();
    // The units' prototypes live in this view's factory: they go with it.
    if (&GetUnitViewFactory() == &unitViews_) FreeUnitAssets();
    for (auto& effect : effects_) effect.second->Destroy();
    queue_.reset();
    sceneView_.reset();
    if (world_ != nullptr) world_->Destroy();
}

engine::RenderTarget* SceneGameView::Target() const { return engine_.GetMainRenderTarget(); }

void SceneGameView::SetEffectPrototype(const std::string& name, engine::SceneNode* prototype) {
    for (auto& effect : effects_) {
        if (effect.first == name) {
            effect.second->Destroy();
            effect.second = prototype;
            return;
        }
    }
    if (prototype != nullptr) effects_.emplace_back(name, prototype);
}

bool SceneGameView::LoadEffectPrototype(const char* name) {
    engine::SceneNode* prototype = engine::LoadSceneContainer(name);
    if (prototype == nullptr) return false;
    prototype->SetEmitterAutoDelete(true);
    SetEffectPrototype(name, prototype);
    return true;
}

void SceneGameView::Relayout(int width, int height) {
    if (!sceneView_ || width <= 0 || height <= 0) return;
    sceneView_->SetViewport({0, 0, width, height});
    sceneView_->SetAspect(static_cast<float>(width) / static_cast<float>(height));
}

void SceneGameView::LoadResources() {
    if (world_ != nullptr) return;
    menuPicture_ = engine::TextureTable::Load(kMenuPicture, 0);
    const engine::RenderTarget* target = Target();
    const int width = target != nullptr ? target->Width() : engine_.GetBackBufferWidth();
    const int height = target != nullptr ? target->Height() : engine_.GetBackBufferHeight();
    sceneView_ = std::make_unique<engine::SceneView>();
    sceneView_->Init({0, 0, width, height}, engine::Camera::kAutoAspect, kNearPlane, kFarPlane);
    queue_ = std::make_unique<engine::RenderQueue>();
    // Without its cube map the sky would be a black box; a missing sky leaves the queue without one, and
    // the battle shows its clear colour instead.
    if (engine::TextureTable::LoadCubeMap(kSkyCubeMap) != 0) queue_->SetSkybox(kSkyCubeMap);
    world_ = engine::SceneNode::Init(engine::kNodeGroup, "MainWorld");
    explosions_ = engine::SceneNode::Init(engine::kNodeGroup, "MainExplosions");
    if (world_ != nullptr && explosions_ != nullptr && !world_->AddChild(explosions_)) {
        explosions_->Destroy();
        explosions_ = nullptr;
    }
    queue_->SetScene(world_);
    moveMarker_ = engine::LoadSceneContainer(kMoveMarkerScene);
    if (moveMarker_ == nullptr) {
        std::fprintf(stderr, "tinmarch: the scene \"%s.CNT\" is missing or damaged; moves show no marker\n",
                     kMoveMarkerScene);
    }
}

void SceneGameView::DrawCentred(engine::RenderTarget& target, int picture) const {
    if (picture == 0) return;
    const auto width = static_cast<int>(engine::TextureTable::GetWidth(picture));
    const auto height = static_cast<int>(engine::TextureTable::GetHeight(picture));
    const float x = static_cast<float>(target.Width() / 2 - width / 2);
    const float y = static_cast<float>(target.Height() / 2 - height / 2);
    target.DrawTexture(x, y, static_cast<std::uint32_t>(picture), kWhite, kBlendNormal, 0);
}

void SceneGameView::DrawSplash(const char* picture) {
    engine::RenderTarget* target = Target();
    const int handle = engine::TextureTable::Load(picture, 0);
    if (target != nullptr) {
        target->Begin(kSplashClear);
        DrawCentred(*target, handle);
        target->End();
    }
    platform_.FrameStep();
    if (handle != 0) engine::TextureTable::Release(handle);
}

void SceneGameView::ResetExplosionsNode() {
    if (explosions_ != nullptr) explosions_->Destroy();
    explosions_ = nullptr;
    // A move shown when the battle ends goes with it.
    DetachMoveMarker();
    if (world_ == nullptr) return;
    explosions_ = engine::SceneNode::Init(engine::kNodeGroup, "MainExplosions");
    if (explosions_ != nullptr && !world_->AddChild(explosions_)) {
        explosions_->Destroy();
        explosions_ = nullptr;
    }
}

bool SceneGameView::IsExplosionsNodeEmpty() const {
    return explosions_ == nullptr || explosions_->GetChildCount() == 0;
}

const engine::SceneNode* SceneGameView::FindEffect(const char* name) const {
    for (const auto& effect : effects_) {
        if (effect.first == name) return effect.second;
    }
    return unitViews_.FindPrototype(name);
}

void SceneGameView::AddEffect(const char* prototype, const engine::Matrix44& placement) {
    if (explosions_ == nullptr || prototype == nullptr) return;
    const engine::SceneNode* source = FindEffect(prototype);
    engine::SceneNode* clone = source != nullptr ? source->Clone(true) : nullptr;
    if (clone == nullptr) return;
    clone->SetLocalMatrix(placement);
    if (!explosions_->AddChild(clone)) {
        clone->Destroy();
        return;
    }
    clone->UpdateWorldMatrix();
}

void SceneGameView::ClearUnitMaterialCache() { unitViews_.ClearTeamMaterials(); }

void SceneGameView::SetupLights(bool quality, std::uint32_t colour) {
    if (!queue_) return;
    // The plain light is a spot: 60 units back, its 35-degree cone would light a disc narrower than the map,
    // bright in its middle and dark at the map's far corners. Ten times as far back the same cone holds the
    // whole map with almost parallel rays, so the map is lit as evenly as by the directional light.
    engine::Matrix44 matrix;
    matrix.InitRotationX(70.0f);
    matrix.RotateYWorld(135.0f);
    matrix.TranslateLocal(0.0f, 0.0f, quality ? -kQualityLightDistance : -kPlainLightDistance);
    queue_->GetLight(0).SetEnabled(0);
    queue_->GetLight(1).SetEnabled(0);
    engine::LightDesc& light = queue_->GetLight(quality ? 0 : 1);
    light.SetColour(colour);
    light.SetEnabled(1);
    light.SetMatrix(matrix);
    light.SetFlagWord(1);
    light.SetRange(5000.0f);
    light.SetConeAngle(35.0f);
    light.SetIntensity(0.5f);
}

void SceneGameView::BeginFrame(std::uint32_t clearColour) {
    frameTarget_ = Target();
    if (frameTarget_ != nullptr) frameTarget_->Begin(clearColour);
}

void SceneGameView::DrawMenuPicture() {
    if (frameTarget_ != nullptr) DrawCentred(*frameTarget_, menuPicture_);
}

void SceneGameView::DrawGui() {
    if (frameTarget_ != nullptr) engine::DrawAllDialogs(*frameTarget_);
}

void SceneGameView::DrawOverlays() {
    if (frameTarget_ != nullptr) engine::DrawOverlays(*frameTarget_);
}

void SceneGameView::EndFrame() {
    if (frameTarget_ != nullptr) frameTarget_->End();
    frameTarget_ = nullptr;
}

void SceneGameView::DrawProjectiles(ProjectileManager& projectiles) { projectiles.DrawAll(); }

void SceneGameView::RefreshStructureModels(Level& level) { level.UpdateStructureModels(); }

void SceneGameView::BuildRenderQueue() {
    if (!queue_ || !sceneView_) return;
    if (world_ != nullptr) world_->UpdateWorldMatrix();
    // The frustum of this frame's placement, for the queue's level-of-detail choice and the view's culling.
    sceneView_->UpdateFrustum();
    queue_->Build(&sceneView_->GetViewTransform().GetMatrix());
}

void SceneGameView::DrawTileMarkers(Level& level) {
    if (!queue_) return;
    const BattleContext& battle = level.Battle();
    const bool playerTurn = battle.GetTeamControl(battle.GetCurrentTeamKind()) == kControlHuman;
    tileMarkers_.Draw(level.GetHexMap(), playerTurn, queue_->GetDrawList(1));
}

void SceneGameView::DrawLevelEffects(Level& level) {
    // The weather, then the ground marks.
    weather_.SetScene(sceneView_.get(), queue_.get());
    weather_.SetOptionBits(level.Battle().GetOptionBits());
    level.DrawWeather(weather_);
    if (queue_) levelScene_->DrawGroundMarks(level, *queue_);
}

void SceneGameView::DrawCaptureMarkers(Level& level) { level.DrawCaptureProgress(); }

void SceneGameView::RenderQueue() {
    if (frameTarget_ != nullptr && queue_ && sceneView_) frameTarget_->RenderScene(queue_.get(), sceneView_.get());
}

void SceneGameView::DrawStructureHooks(Level&) {
    // The structures' and the hex map's draw hooks are empty.
}

void SceneGameView::DrawUnitOverlays(TeamManager& teams) {
    engine::BitmapFont* font = engine::GetDefaultFont();
    if (frameTarget_ == nullptr || font == nullptr || !sceneView_) return;
    FontTextPainter painter(*font);
    const int sheet = engine::TextureTable::FindLoaded(kOverlaySheet, 0);
    teams.DrawUnitOverlays(*frameTarget_, *this, painter, static_cast<std::uint32_t>(sheet));
}

void SceneGameView::DrawFloatingTexts(Level& level) {
    const engine::FrameTimer* timer = engine_.GetTimer();
    level.GetFloatingTexts().Update(timer != nullptr ? timer->GetDeltaSeconds(false) : 0.0f);
    engine::BitmapFont* font = engine::GetDefaultFont();
    if (frameTarget_ == nullptr || font == nullptr || !sceneView_) return;
    FontTextPainter painter(*font);
    level.GetFloatingTexts().Draw(*frameTarget_, *this, painter);
}

void SceneGameView::ApplyMonochrome(float amount, std::uint32_t colour) {
    if (frameTarget_ != nullptr) frameTarget_->ApplyMonochrome(amount, colour);
}

void SceneGameView::ApplyBlurBloom() {
    if (frameTarget_ != nullptr) frameTarget_->ApplyBlurBloom();
}

void SceneGameView::AttachMoveMarker(const engine::Vec3& point) {
    if (moveMarker_ == nullptr || world_ == nullptr) return;
    if (engine::AnimationPlayer* player = moveMarker_->FindAnimationPlayer()) player->Restart();
    if (!world_->AddChild(moveMarker_)) return;
    engine::Matrix44 placement;
    placement.SetRow(3, point);
    moveMarker_->SetLocalMatrix(placement);
    moveMarker_->UpdateWorldMatrix();
}

bool SceneGameView::IsMoveMarkerFinished() const {
    if (moveMarker_ == nullptr || moveMarker_->GetParent() == nullptr) return false;
    // A scene without an animation has nothing to wait for: it goes on the next tick instead of staying.
    const engine::AnimationPlayer* player = moveMarker_->FindAnimationPlayer();
    return player == nullptr || player->GetCurrent() == nullptr || player->IsPastEnd();
}

void SceneGameView::DetachMoveMarker() {
    if (moveMarker_ != nullptr) moveMarker_->Detach();
}

void SceneGameView::ProjectToScreen(const engine::Vec3& point, int& x, int& y) const {
    x = 0;
    y = 0;
    if (sceneView_) sceneView_->ProjectToScreen(point, x, y);
}

bool SceneGameView::PickAtScreen(int x, int y, engine::PickHit& hit, engine::Vec3& point) {
    if (!sceneView_ || world_ == nullptr) return false;
    return sceneView_->PickAtScreen(nullptr, x, y, hit, point, world_) != 0;
}

void SceneGameView::ScreenToRay(int x, int y, engine::PickSegment& segment) const {
    segment = engine::PickSegment{};
    if (sceneView_) sceneView_->ScreenToRay(x, y, segment);
}

bool SceneGameView::Project(const engine::Vec3& world, engine::Vec2& screen) const {
    int x = 0;
    int y = 0;
    if (!sceneView_ || sceneView_->ProjectToScreen(world, x, y) == 0) return false;
    screen = {static_cast<float>(x), static_cast<float>(y)};
    return true;
}

}  // namespace game
