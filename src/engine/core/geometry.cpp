#include "engine/core/geometry.h"

#include "engine/core/scalar_math.h"

namespace engine {

void Plane::FromPoints(const Vec3& a, const Vec3& b, const Vec3& c) {
    normal = b.Sub(a).Cross(c.Sub(a)).Normalised();
    d = normal.Dot(a);
}

bool Plane::IntersectSegment(const Vec3& a, const Vec3& b, Vec3* hit) const {
    const Vec3 ab = b.Sub(a);
    const float denominator = normal.Dot(ab);
    if (denominator == 0.0f) return false;
    const float t = (d - normal.Dot(a)) / denominator;
    if (!(t >= 0.0f && t <= 1.0f)) return false;
    if (hit != nullptr) *hit = a.Add(ab.Scale(t));
    return true;
}

bool Plane::IntersectRay(const Vec3& origin, const Vec3& direction, Vec3* hit) const {
    const float denominator = normal.Dot(direction);
    if (denominator == 0.0f) return false;
    if (hit != nullptr) *hit = origin.Add(direction.Scale((d - normal.Dot(origin)) / denominator));
    return true;
}

void Cone::Init(float angleDegrees, float range, const Matrix44& matrix) {
    SetMatrix(matrix);
    SetAngle(angleDegrees);
    SetRange(range);
}

void Cone::SetAngle(float angleDegrees) {
    angle_ = angleDegrees;
    const float s = SinDeg(angleDegrees);
    const float c = CosDeg(angleDegrees);
    invSin_ = 1.0f / s;
    cosSquared_ = c * c;
    sinSquared_ = s * s;
}

void Cone::SetRange(float range) {
    range_ = range;
    rangeSquared_ = range * range;
}

bool Cone::OverlapsSphere(const Vec3& centre, float radius) const {
    const Vec3 apex = matrix_.Row(3);
    const Vec3 axis = matrix_.Row(2);
    const Vec3 w = centre.Sub(apex);
    const float wSquared = w.LengthSquared();
    const float radiusSquared = radius * radius;
    if (wSquared > radiusSquared + rangeSquared_) return false;

    // Widen the cone by moving its apex back so that its surface lies one radius further out.
    const Vec3 movedApex = apex.Sub(axis.Scale(radius * invSin_));
    const Vec3 v = centre.Sub(movedApex);
    const float along = axis.Dot(v);
    if (along <= 0.0f || cosSquared_ * v.LengthSquared() > along * along) return false;

    // Behind the real apex only the sphere around the apex counts.
    const float e = -axis.Dot(w);
    if (e > 0.0f && e * e >= sinSquared_ * wSquared && wSquared > radiusSquared) return false;
    return true;
}

}  // namespace engine

namespace engine {

Aabb Aabb::Transform(const Aabb& box, const Matrix44& m) {
    const Vec3 start = m.TransformPoint(box.min);
    Aabb out{start, start};
    const Vec3 extent = box.max.Sub(box.min);
    const float e[3] = {extent.x, extent.y, extent.z};
    float* lo[3] = {&out.min.x, &out.min.y, &out.min.z};
    float* hi[3] = {&out.max.x, &out.max.y, &out.max.z};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const float term = e[i] * m.m[i][j];
            if (term > 0.0f) {
                *hi[j] += term;
            } else {
                *lo[j] += term;
            }
        }
    }
    return out;
}

bool Aabb::Overlaps(const Aabb& a, const Aabb& b) {
    return !(a.min.x > b.max.x || b.min.x > a.max.x || a.min.y > b.max.y || b.min.y > a.max.y ||
             a.min.z > b.max.z || b.min.z > a.max.z);
}

}  // namespace engine
