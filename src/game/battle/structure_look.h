#pragma once
// What a structure looks like at a moment, as pure functions of its state, hex and the game clock: the tint
// of its own material, the capture pop's scale, the capture marker's transform and the model's placement.
// The structure presenter applies them to the models.
#include <cstdint>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace engine {
class FrameTimer;
}  // namespace engine

namespace game {

// The two-key gradient, linear per ARGB channel, at t in 0..1.
std::uint32_t BlendColours(std::uint32_t from, std::uint32_t to, float t);

// The tint of a structure: false when the plain team material shows (no flash, highlight 0, no mark).
// The income flash wins between 0.35 and 0.65; then the target mark (team colour to black, 1 s), highlight 1
// (solid black) and highlight 2 (white to team colour, 0.25 s). The pulses follow the game clock's smooth
// ping-pong; without a clock they stand at their start.
bool StructureTint(float incomeFlash, int highlight, bool targetMarked, std::uint32_t teamColour,
                   const engine::FrameTimer* clock, std::uint32_t& colour);

// The pop's scale factor while captured: 2 at the start down to 1.
float CapturePopScale(float popTimer);

// The capture marker: scale from 5 down to 4 once per 0.7 s, turning 30 degrees a second about Y, 1.3 above
// the model.
engine::Matrix44 CaptureMarkerMatrix(const engine::Vec3& modelPosition, double gameSeconds);

// The model's local matrix on its hex's level point: a three-hex building is offset (and turned 60 degrees
// when mirrored), the others stand on the point.
engine::Matrix44 StructureModelMatrix(const engine::Vec3& levelPoint, bool threeHex, bool mirrored);

}  // namespace game
