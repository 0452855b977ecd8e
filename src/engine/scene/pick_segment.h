#pragma once
// The segment a pick tests against: start point, delta (end - start), unit direction, midpoint and half length.
#include "engine/core/vector.h"

namespace engine {

struct PickSegment {
    Vec3 start;
    Vec3 delta;
    Vec3 direction;
    Vec3 midpoint;
    float halfLength = 0.0f;

    // Fills every field from the start and the delta; a zero delta keeps a zero direction.
    void Init(const Vec3& from, const Vec3& d) {
        start = from;
        delta = d;
        direction = d.NormalisedSafe();
        midpoint = from.Add(d.Scale(0.5f));
        halfLength = d.Length() * 0.5f;
    }
};

}  // namespace engine

namespace engine {

class SceneNode;

// What a pick hit: the node, the collision triangle (-1 for a box or cube hit), the hit material and, for a
// triangle, its normal, plane distance (normal . first corner) and corners in world space.
struct PickHit {
    SceneNode* node = nullptr;
    int triangle = -1;
    int material = 0;
    Vec3 normal;
    float planeDistance = 0.0f;
    Vec3 corners[3];
};

}  // namespace engine
