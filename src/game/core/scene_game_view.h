#pragma once
// The game's view over the engine: the scene view and render queue the start-up loading makes, the
// "MainWorld" root and its "MainExplosions" child, the menu picture, the light rig, and the steps of the menu
// and battle frames drawn through them onto the main render target. Effects are clones of the prototypes
// registered with it, hung under the explosions node.
#include <memory>
#include <string>
#include <vector>

#include "engine/core/matrix.h"
#include "game/core/game_view.h"
#include "game/core/scene_weather_port.h"
#include "game/level/scene_level_presenter.h"
#include "game/level/scene_structure_presenter.h"
#include "game/level/tile_markers.h"
#include "game/units/scene_unit_view_factory.h"
#include "game/units/overlay_canvas.h"

namespace engine {
class Engine;
class RenderQueue;
class RenderTarget;
class SceneNode;
class SceneView;
}  // namespace engine

namespace game {

// The sky of the battle (a cube map) and the scene shown where a move order sends a unit.
inline constexpr const char* kSkyCubeMap = "Common/Calm";
inline constexpr const char* kMoveMarkerScene = "Markers/Movement/Marker";
// How far back from the map's middle the battle light stands: the shadowed directional light of high detail
// and the plain spot light of low detail.
inline constexpr float kQualityLightDistance = 60.0f;
inline constexpr float kPlainLightDistance = 600.0f;

class SceneGameView final : public GameView, public ScreenProjector {
public:
    // The frame step of the splash goes through the platform, so that it counts as one of the program's frames.
    SceneGameView(engine::Engine& engine, GamePlatform& platform);
    ~SceneGameView() override;
    SceneGameView(const SceneGameView&) = delete;
    SceneGameView& operator=(const SceneGameView&) = delete;

    // The scene's pieces; null before LoadResources.
    engine::SceneView* GetSceneView() const { return sceneView_.get(); }
    engine::RenderQueue* GetRenderQueue() const { return queue_.get(); }
    engine::SceneNode* GetWorldNode() const { return world_; }
    engine::SceneNode* GetExplosionsNode() const { return explosions_; }
    int GetMenuPicture() const { return menuPicture_; }

    // Takes the prototype of a named effect (a later one of the same name replaces it); AddEffect clones it,
    // or else the units' shared effect of that name.
    void SetEffectPrototype(const std::string& name, engine::SceneNode* prototype);
    // Loads the effect's scene as the prototype of its name, its emitters deleting themselves once played
    // out; false when the file is missing or damaged. The view frees it with its other prototypes.
    bool LoadEffectPrototype(const char* name);
    // The registered prototype of the name, else the units' shared effect; null when neither is loaded.
    const engine::SceneNode* FindEffect(const char* name) const;

    // --- GameView ------------------------------------------------------------------------------------------
    void LoadResources() override;
    void DrawSplash(const char* picture) override;
    void ResetExplosionsNode() override;
    bool HasExplosionsNode() const override { return explosions_ != nullptr; }
    bool IsExplosionsNodeEmpty() const override;
    void AddEffect(const char* prototype, const engine::Matrix44& placement) override;
    // Empties the units' table of team materials (the level's resource group has gone).
    void ClearUnitMaterialCache() override;
    UnitViewFactory* GetUnitViews() override { return &unitViews_; }
    SceneUnitViewFactory& GetSceneUnitViews() { return unitViews_; }
    StructurePresenter* GetStructurePresenter() override { return structures_.get(); }
    SceneStructurePresenter& GetSceneStructures() { return *structures_; }
    // The level's model, reach marker and ground marks in this scene.
    SceneLevelPresenter& GetSceneLevel() { return *levelScene_; }
    // The markers of the marked tiles; made by a start-up step.
    TileMarkers& GetTileMarkers() { return tileMarkers_; }
    void SetupLights(bool quality, std::uint32_t colour) override;
    // The scene view's viewport (0, 0, width, height) and aspect width / height, for a back buffer of the size
    // (after a display switch); nothing before LoadResources or for an empty size.
    void Relayout(int width, int height);

    void BeginFrame(std::uint32_t clearColour) override;
    void DrawMenuPicture() override;
    void DrawGui() override;
    void DrawOverlays() override;
    void EndFrame() override;

    void DrawProjectiles(ProjectileManager& projectiles) override;
    void RefreshStructureModels(Level& level) override;
    void BuildRenderQueue() override;
    void DrawTileMarkers(Level& level) override;
    void DrawLevelEffects(Level& level) override;
    void DrawCaptureMarkers(Level& level) override;
    void RenderQueue() override;
    void DrawStructureHooks(Level& level) override;
    void DrawUnitOverlays(TeamManager& teams) override;
    void DrawFloatingTexts(Level& level) override;
    void ApplyMonochrome(float amount, std::uint32_t colour) override;
    void ApplyBlurBloom() override;
    bool IsMoveMarkerFinished() const override;
    void DetachMoveMarker() override;
    void ProjectToScreen(const engine::Vec3& point, int& x, int& y) const override;
    bool PickAtScreen(int x, int y, engine::PickHit& hit, engine::Vec3& point) override;
    void ScreenToRay(int x, int y, engine::PickSegment& segment) const override;
    // Restarts the movement marker's animation and stands it under the world node at the point.
    void AttachMoveMarker(const engine::Vec3& point) override;
    // The movement marker's scene, kept detached while no move is shown; null when it did not load.
    engine::SceneNode* GetMoveMarker() const { return moveMarker_; }

    // --- ScreenProjector -----------------------------------------------------------------------------------
    bool Project(const engine::Vec3& world, engine::Vec2& screen) const override;

private:
    engine::RenderTarget* Target() const;
    // The picture centred on the target in white with normal blending.
    void DrawCentred(engine::RenderTarget& target, int picture) const;

    engine::Engine& engine_;
    GamePlatform& platform_;
    std::unique_ptr<engine::SceneView> sceneView_;
    std::unique_ptr<engine::RenderQueue> queue_;
    SceneWeatherPort weather_{platform_};
    engine::SceneNode* world_ = nullptr;       // owned, with everything under it
    engine::SceneNode* explosions_ = nullptr;  // a child of the world node
    int menuPicture_ = 0;
    engine::RenderTarget* frameTarget_ = nullptr;
    std::vector<std::pair<std::string, engine::SceneNode*>> effects_;  // owned prototypes
    // Units and shots hang under the world node; the shared effects it loads serve AddEffect too.
    SceneUnitViewFactory unitViews_;
    // The structures' models hang under the world node; their fireworks are effects of this view.
    std::unique_ptr<SceneStructurePresenter> structures_;
    // The level model and the reach marker hang under the world node too.
    std::unique_ptr<SceneLevelPresenter> levelScene_;
    TileMarkers tileMarkers_;
    engine::SceneNode* moveMarker_ = nullptr;  // owned; under the world node only while a move is shown
};

}  // namespace game
