#pragma once
// The working state that the human side's pointer step and order step share: the button's two samples,
// the press and drag, the pick, the hold time and the route of the press.
#include "engine/core/vector.h"
#include "game/battle/hex_coord.h"
#include "game/battle/hex_path.h"

namespace game {

struct PointerState {
    // The down byte of the left button in this pass and in the one before.
    int buttonNow = 0;
    int buttonBefore = 0;
    // Set by the pointer step on frames with the button held: the order step leaves this press alone.
    bool pressConsumed = false;
    // A press that began, or was in progress, while the camera moved by itself: it gives nothing up to its
    // release, so that a release seen late never acts at a pointer hex the player has left.
    bool pressDropped = false;
    bool dragging = false;
    // From the end of a drag to the next frame with the button held.
    bool dragReleased = false;
    int dragStartX = 0;
    int dragStartY = 0;
    // The shift a drag's release commits; always zero, the drag frames show the offset themselves.
    engine::Vec3 commitOffset;
    float dragPlaneHeight = 0.0f;
    int pointerX = 0;
    int pointerY = 0;
    int pressX = 0;
    int pressY = 0;
    // The last pick's world point; a frame without a hit keeps it.
    engine::Vec3 hitPoint;
    float holdTime = 0.0f;
    // The route from the selected unit to the pressed hex; a count of 0 means none.
    HexPath route;
    HexCoord disembarkHex{-1, -1};

    bool IsPressFrame() const { return buttonNow != 0 && buttonBefore == 0; }
    bool IsReleaseFrame() const { return buttonNow == 0 && buttonBefore != 0; }
};

}  // namespace game
