#pragma once
// The battle camera as the game object and the turn's keys drive it: its per-tick update and per-frame view
// placement, the free mode's pans and turns, looks at hexes and units, the battle zoom and the reset to the
// start view. The game owns one; the program runs the battle camera (battle_camera.h).
#include "engine/core/vector.h"
#include "game/battle/hex_coord.h"

namespace game {

class Unit;

// Modes of the battle camera.
inline constexpr int kCameraFixed = 0;
inline constexpr int kCameraFree = 1;
inline constexpr int kCameraFollowing = 2;
inline constexpr int kCameraBattleZoom = 3;
inline constexpr int kCameraReturning = 4;

class CameraController {
public:
    virtual ~CameraController() = default;
    virtual int GetMode() const = 0;
    // The zoom distance; the camera clamps what it is given.
    virtual float GetZoom() const = 0;
    virtual void SetZoom(float distance) = 0;
    // A pointer drag: without commit the view shows the target shifted by the negated offset; with commit
    // the offset is added to the target and the pending shift cleared.
    virtual void DragBy(const engine::Vec3& offset, bool commit) = 0;
    virtual void Update() = 0;
    virtual void ApplyView() = 0;
    virtual void ResetToStart() = 0;
    virtual void LookAtHex(HexCoord hex) = 0;
    virtual bool LookAtUnit(Unit& unit) = 0;
    // In the free and following modes: follows the unit as it moves (mode 2).
    virtual void FollowObject(Unit* unit) = 0;
    // The unit is about to be deleted: a camera that follows it lets go.
    virtual void OnUnitDeleting(const Unit& /*unit*/) {}
    virtual void RotateStep(int direction) = 0;
    virtual void PanAcrossView(int direction) = 0;
    virtual void PanAlongView(int direction) = 0;
    virtual bool IsBattleZoomActive() const = 0;
    virtual void StartBattleZoom(Unit& attacker, Unit& target) = 0;
    virtual void EndBattleZoom() = 0;
};

}  // namespace game
