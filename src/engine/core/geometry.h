#pragma once
// Planes and cones with the intersection tests that picking, culling and lights use.
#include "engine/core/matrix.h"

namespace engine {

// Points p on the plane satisfy normal . p = d.
struct Plane {
    Vec3 normal;
    float d = 0.0f;

    void InitFromNormal(const Vec3& n, float distance) {
        normal.Copy(n);
        d = distance;
    }
    // normal = normalise((b - a) x (c - a)), through a.
    void FromPoints(const Vec3& a, const Vec3& b, const Vec3& c);
    // True when the segment a-b meets the plane (t in [0, 1]); the point goes to *hit when given. A segment
    // parallel to the plane misses.
    bool IntersectSegment(const Vec3& a, const Vec3& b, Vec3* hit = nullptr) const;
    // False only when the direction is parallel to the plane; the point may lie behind the origin.
    bool IntersectRay(const Vec3& origin, const Vec3& direction, Vec3* hit = nullptr) const;
};

// A view or light cone: an apex, an axis (row 2 of the matrix, apex in row 3), a half-angle and a range.
class Cone {
public:
    void Init(float angleDegrees, float range, const Matrix44& matrix);
    void SetAngle(float angleDegrees);
    void SetRange(float range);
    void SetMatrix(const Matrix44& matrix) { matrix_ = matrix; }

    float Angle() const { return angle_; }
    float Range() const { return range_; }
    const Matrix44& GetMatrix() const { return matrix_; }

    // True when a sphere may touch the cone (a conservative test).
    bool OverlapsSphere(const Vec3& centre, float radius) const;

private:
    float angle_ = 0.0f;
    float range_ = 0.0f;
    Matrix44 matrix_;
    float invSin_ = 0.0f;
    float cosSquared_ = 0.0f;
    float sinSquared_ = 0.0f;
    float rangeSquared_ = 0.0f;
};

}  // namespace engine
