#include "game/units/door_unit.h"

#include "engine/core/frame_timer.h"
#include "engine/core/matrix.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"

namespace game {

void DoorUnit::UpdateAnimation() {
    const float heading = Battle().GetHexMap().GetWallAngle(hex_);
    const float v = (Battle().GetFrameTimer().SmoothPingPong(0.3f) - 0.5f) * 0.03f;
    engine::Matrix44 matrix;
    matrix.InitRotationY(heading);
    matrix.ScaleLocal(1.0f + v, 1.0f, 1.0f - v);
    // The door stays where it stands.
    matrix.SetRow(3, position_);
    GetView().SetLocalMatrix(matrix);
    Unit::UpdateAnimation();
}

}  // namespace game
