#pragma once
// The weights of the separable seven-tap blur of the glow effect (sigma 1.8), scaled to sum to 1.05 so that
// a blurred picture comes out a little brighter.
#include "engine/core/matrix.h"

namespace engine {

class ShaderTextBuffer;

constexpr int kBlurTaps = 7;

// Tap j (offset k = j - 3): (step k, 0, 0, w) horizontally, (0, step k, 0, w) vertically.
void ComputeGaussWeights(bool horizontal, float step, Vec4 (&weights)[kBlurTaps]);
// The same into pixel-shader registers c0 to c6.
void SetGaussWeights(bool horizontal, float step, ShaderTextBuffer& pixelConstants);

}  // namespace engine
