#pragma once
// The battle camera as the game object and the turn's keys drive it: its per-tick update and per-frame view
// placement, the free mode's pans and turns, looks at hexes and units, the battle zoom and the reset to the
// start view. The game owns one; the program runs a still one until the battle camera is built.
#include "game/battle/hex_coord.h"

namespace game {

class Unit;

class CameraController {
public:
    virtual ~CameraController() = default;
    virtual void Update() = 0;
    virtual void ApplyView() = 0;
    virtual void ResetToStart() = 0;
    virtual void LookAtHex(HexCoord hex) = 0;
    virtual bool LookAtUnit(Unit& unit) = 0;
    virtual void RotateStep(int direction) = 0;
    virtual void PanAcrossView(int direction) = 0;
    virtual void PanAlongView(int direction) = 0;
    virtual bool IsBattleZoomActive() const = 0;
    virtual void StartBattleZoom(Unit& attacker, Unit& target) = 0;
    virtual void EndBattleZoom() = 0;
};

}  // namespace game
