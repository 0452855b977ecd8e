#pragma once
// What the game object needs of the engine around it: events, keys, the frame clock, the pointer, resource
// groups and the frame step (GamePlatform), and the scene view, render queue and drawing of its frames
// (GameView). The program wires them over the engine; the tests use recording fakes.
#include <cstdint>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/platform/input_device.h"
#include "engine/scene/pick_segment.h"

namespace game {

class Level;
class StructurePresenter;
class ProjectileManager;
class TeamManager;
class UnitViewFactory;

class GamePlatform {
public:
    virtual ~GamePlatform() = default;
    // Takes one engine event; false when none is queued.
    virtual bool PopEvent(int& code) = 0;
    virtual engine::KeyState ReadKey(int code) = 0;
    virtual void ResetClock() = 0;
    // The frame's game delta in seconds (the timer caps it at 0.1 s).
    virtual float GetFrameDelta() const = 0;
    virtual void ShowSystemPointer() = 0;
    virtual void SelectResourceGroup(int group) = 0;
    virtual void PurgeResourceGroup(int group) = 0;
    // Message pump, present, clock, sound, input and GUI; 0 when the frame was not presented.
    virtual int FrameStep() = 0;
    virtual int GetScreenWidth() const = 0;
    virtual int GetScreenHeight() const = 0;
    // The pointer in back-buffer pixels, the space of the scene view's picks and rays.
    virtual void GetPointerPosition(int& x, int& y) = 0;
    // The wheel notches since the last call (forward positive).
    virtual int TakeMouseWheel() = 0;
};

// The scene view and render queue the resource loader makes, the world and explosion nodes, and the steps
// of the menu and battle frames that draw through them.
class GameView {
public:
    virtual ~GameView() = default;
    // Start-up loading: makes the scene view, render queue, world and "MainExplosions" nodes.
    virtual void LoadResources() = 0;
    // Draws the named picture centred on black and shows it; a missing picture draws nothing.
    virtual void DrawSplash(const char* picture) = 0;
    // Deletes the explosions node and makes a fresh, empty one under the world node.
    virtual void ResetExplosionsNode() = 0;
    virtual bool HasExplosionsNode() const = 0;
    virtual bool IsExplosionsNodeEmpty() const = 0;
    // A clone of the named effect prototype under the explosions node, placed by the matrix; nothing when
    // the prototype is unknown.
    virtual void AddEffect(const char* prototype, const engine::Matrix44& placement) = 0;
    virtual void ClearUnitMaterialCache() = 0;
    // The factory of the units' and projectiles' views; null: units get null views.
    virtual UnitViewFactory* GetUnitViews() { return nullptr; }
    // The scene of the level's structures; null: structures without models.
    virtual StructurePresenter* GetStructurePresenter() { return nullptr; }
    // The render queue's first two lights: the one chosen by quality on with the colour, the other off.
    virtual void SetupLights(bool quality, std::uint32_t colour) = 0;

    virtual void BeginFrame(std::uint32_t clearColour) = 0;
    virtual void DrawMenuPicture() = 0;
    virtual void DrawGui() = 0;
    virtual void DrawOverlays() = 0;
    virtual void EndFrame() = 0;

    virtual void DrawProjectiles(ProjectileManager& projectiles) = 0;
    virtual void RefreshStructureModels(Level& level) = 0;
    virtual void BuildRenderQueue() = 0;
    virtual void DrawTileMarkers(Level& level) = 0;
    virtual void DrawLevelEffects(Level& level) = 0;
    virtual void DrawCaptureMarkers(Level& level) = 0;
    virtual void RenderQueue() = 0;
    virtual void DrawStructureHooks(Level& level) = 0;
    virtual void DrawUnitOverlays(TeamManager& teams) = 0;
    virtual void DrawFloatingTexts(Level& level) = 0;
    virtual void ApplyMonochrome(float amount, std::uint32_t colour) = 0;
    virtual void ApplyBlurBloom() = 0;
    // The movement marker: attached and its animation has finished; then detached.
    virtual bool IsMoveMarkerFinished() const = 0;
    virtual void DetachMoveMarker() = 0;
    // Screen position of a world point through the scene view's camera.
    virtual void ProjectToScreen(const engine::Vec3& point, int& x, int& y) const = 0;
    // Picks under a back-buffer pixel through the scene view's camera with the world node as root: true
    // with the hit and the world point on a hit.
    virtual bool PickAtScreen(int x, int y, engine::PickHit& hit, engine::Vec3& point) = 0;
    // The pick segment through a back-buffer pixel.
    virtual void ScreenToRay(int x, int y, engine::PickSegment& segment) const = 0;
    // Restarts the movement marker's animation and hangs it under the world node at the point; nothing
    // while the marker scene is not loaded.
    virtual void AttachMoveMarker(const engine::Vec3& point) = 0;
};

}  // namespace game
