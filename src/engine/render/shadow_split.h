#pragma once
// One parallel split of the directional light's shadow map: four of them share one map as a 2 x 2 atlas.
#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace engine {

struct ShadowSplit {
    Matrix44 view;            // the light's orientation with the split's eye position as translation
    Vec3 eye;                 // the eye position
    float startDistance = 0;  // view depth where the split starts
    float endDistance = 0;    // view depth where it ends
    float orthoNear = 0;      // orthographic near plane (always 0)
    float orthoFar = 0;       // orthographic far plane
    float orthoWidth = 0;     // orthographic width
};

inline constexpr int kShadowSplitCount = 4;

}  // namespace engine
