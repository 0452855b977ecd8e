#pragma once
// Cutting the view frustum into the four parallel splits of the directional light's shadow map, and placing
// each split in its quarter of the 2048 x 2048 atlas. The table holds the splits near to far, which is the
// order the shaders' split lookup walks (the first split whose end lies beyond the pixel's depth).
#include "engine/core/int_rect.h"
#include "engine/core/matrix.h"
#include "engine/render/shadow_split.h"

namespace engine {

// What the split set-up needs of the view: its camera matrix (view to world), aspect, field of view in
// degrees, the split blend factor (1 geometric, 0 even), its near and far planes, and the near and far
// distances fitted to what it sees.
struct ShadowSplitInput {
    Matrix44 camera;
    float aspect = 1.0f;
    float fovDegrees = 60.0f;
    float lambda = 0.5f;
    float nearPlane = 1.0f;
    float farPlane = 1000.0f;
    float fittedNear = 1.0f;
    float fittedFar = 1000.0f;
};

// Fills the table: with n the fitted near and f the fitted far distance raised to at least n,
// d(i) = lambda f (n / f)^(i / 4) + (1 - lambda)(f + (n - f) i / 4) for i = 0 to 3 and d(4) = n; entry k spans
// d(4 - k) to d(3 - k). Each entry's bounding sphere reaches the slice's far corners; the entry's eye stands
// back from the sphere along the light's forward axis (row 2 of lightMatrix), whose orientation the entry's
// view takes.
void ComputeShadowSplits(ShadowSplit (&splits)[kShadowSplitCount], const ShadowSplitInput& input,
                         const Matrix44& lightMatrix);

// How the shadow camera draws split i (0-3): the split's view matrix, orthographic width, near and far planes,
// and its quarter of the atlas (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right).
struct ShadowSplitView {
    Matrix44 matrix;
    float orthoWidth = 0.0f;
    float nearPlane = 0.0f;
    float farPlane = 0.0f;
    IntRect viewport;
};
ShadowSplitView ApplyShadowSplit(int index, const ShadowSplit (&splits)[kShadowSplitCount]);

}  // namespace engine
