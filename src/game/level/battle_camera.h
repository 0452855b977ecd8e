#pragma once
// The battle's camera: a look-down view at a fixed pitch whose focus glides over the map, turns in 60-degree
// steps, zooms within the screen class's limits, follows a moving unit, swoops in beside a fight and back out,
// stays near the map and orbits the field once the mission is won or lost. It places a view transform and
// reads everything else (state, options, map, sides, scenery fade) through its context.
#include <cstdint>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "game/battle/battle_context.h"
#include "game/level/camera_controller.h"

namespace engine {
class ViewTransform;
}  // namespace engine

namespace game {

class HexMap;
class TeamManager;

inline constexpr int kCameraOrbit = 5;

// What the battle camera reads from the game around it.
class CameraContext {
public:
    virtual ~CameraContext() = default;
    virtual int GetGameState() const = 0;
    virtual int GetGameMode() const = 0;
    virtual std::uint32_t GetOptionBits() const = 0;
    virtual bool IsFastForward() const = 0;
    virtual int GetBackBufferWidth() const = 0;
    // The game frame time in seconds.
    virtual float GetFrameSeconds() const = 0;
    // The running battle's map and sides; null when no level is loaded.
    virtual const HexMap* GetMap() const = 0;
    virtual TeamManager* GetTeamManager() const = 0;
    // The campaign mission's start tile; false outside a campaign.
    virtual bool GetCampaignStartTile(HexCoord& out) const = 0;
    // The scenery fade: centred on a point with a radius, updated for a camera placement, or put back.
    virtual void SetSceneryFocus(const engine::Vec3& centre, float radius) = 0;
    virtual void UpdateSceneryFade(const engine::Matrix44& camera) = 0;
    virtual void RestoreScenery() = 0;
};

class BattleCamera final : public CameraController {
public:
    static constexpr float kZoomTransition = 0.3f;

    explicit BattleCamera(CameraContext& context);

    // Mode 1 at the origin, nothing followed, no drag, no transition, glide speed 0.
    void Init();
    // Stores the view; zoom 20 on a back buffer wider than 960 pixels, else 16; a first placement.
    void AttachCamera(engine::ViewTransform* camera);
    engine::ViewTransform* GetEngineCamera() const { return camera_; }

    int GetMode() const override { return mode_; }
    float GetZoom() const override { return zoom_; }
    void SetZoom(float distance) override;
    void DragBy(const engine::Vec3& offset, bool commit) override;
    void Update() override;
    void ApplyView() override;
    void ResetToStart() override;
    void LookAtHex(HexCoord hex) override;
    bool LookAtUnit(Unit& unit) override;
    void FollowObject(Unit* unit) override;
    void OnUnitDeleting(const Unit& unit) override;
    void RotateStep(int direction) override;
    void PanAcrossView(int direction) override;
    void PanAlongView(int direction) override;
    bool IsBattleZoomActive() const override;
    void StartBattleZoom(Unit& attacker, Unit& target) override;
    void EndBattleZoom() override;

    // State for the game's queries and the tests.
    float GetYaw() const { return yaw_; }
    float GetTargetYaw() const { return targetYaw_; }
    const engine::Vec2& GetFocus() const { return focus_; }
    const engine::Vec2& GetTarget() const { return target_; }
    float GetGlideSpeed() const { return glideSpeed_; }
    const Unit* GetFollowed() const { return followed_; }
    float GetTransition() const { return transition_; }
    float GetOrbitPitch() const { return orbitPitch_; }
    float GetOrbitYaw() const { return orbitYaw_; }
    const engine::Vec3& GetZoomEye() const { return zoomEye_; }
    const engine::Vec3& GetZoomOrigin() const { return zoomOrigin_; }
    const engine::Vec3& GetZoomLook() const { return zoomLook_; }
    const engine::Vec3& GetZoomOriginLook() const { return zoomOriginLook_; }

    // One glide-speed adjustment for the remaining distance.
    static float AdjustGlideSpeed(float speed, float distance);

private:
    bool IsLookSuppressed() const;
    void SetFocusHexOfCurrentTeam(HexCoord hex) const;
    void CheckOrbitStart();
    void GlideToward(const engine::Vec2& goal);
    void PlaceZoomView(const engine::Vec3& eye, const engine::Vec3& eyeFrom, const engine::Vec3& look,
                       const engine::Vec3& lookFrom);
    void PlaceTopView(float pitch, float yaw);
    void TurnYaw(float frameSeconds);
    void HoldNearMap();

    CameraContext& context_;
    int mode_ = kCameraFree;
    engine::ViewTransform* camera_ = nullptr;
    float targetYaw_ = 0.0f;
    float yaw_ = 0.0f;
    int turnDirection_ = 0;
    int lastTurnDirection_ = 0;
    engine::Vec2 focus_;
    engine::Vec2 target_;
    Unit* followed_ = nullptr;
    engine::Vec3 zoomEye_;
    engine::Vec3 zoomOrigin_;
    engine::Vec3 zoomLook_;
    engine::Vec3 zoomOriginLook_;
    float transition_ = 0.0f;
    engine::Vec3 dragOffset_;
    float orbitPitch_ = 70.0f;
    float orbitYaw_ = 0.0f;
    float glideSpeed_ = 0.0f;
    float zoom_ = 20.0f;
};

}  // namespace game
