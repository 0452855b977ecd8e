#include "engine/core/vector.h"

#include <cmath>

#include "engine/core/scalar_math.h"

namespace engine {

float Vec2::Length() const { return std::sqrt(LengthSquared()); }

Vec2 Vec2::RotateDeg(float degrees) const {
    const float c = CosDeg(degrees);
    const float s = SinDeg(degrees);
    return {x * c - y * s, x * s + y * c};
}

float Vec3::Length() const { return std::sqrt(LengthSquared()); }

Vec3 Vec3::NormalisedSafe() const {
    const float length = Length();
    if (length > 1.1920929e-7f) return Scale(1.0f / length);
    return *this;
}

Vec3 Vec3::RotatedYDeg(float degrees) const {
    const float c = CosDeg(degrees);
    const float s = SinDeg(degrees);
    return {x * c + z * s, y, -x * s + z * c};
}

namespace {

// +1 when a is the greater, -1 when b is, 0 within the tolerance.
int CompareComponent(float a, float b) {
    const float d = a - b;
    if (d > kPositionEpsilon) return 1;
    if (d < -kPositionEpsilon) return -1;
    return 0;
}

}  // namespace

int CompareVec3EpsAsc(const Vec3& a, const Vec3& b) {
    if (int c = CompareComponent(a.x, b.x)) return c;
    if (int c = CompareComponent(a.y, b.y)) return c;
    return CompareComponent(a.z, b.z);
}

int CompareVec3Eps(const Vec3& a, const Vec3& b) { return -CompareVec3EpsAsc(a, b); }

}  // namespace engine
