#pragma once
// 2D and 3D vectors of floats and axis-aligned boxes.

namespace engine {

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;

    constexpr Vec2() = default;
    constexpr Vec2(float vx, float vy) : x(vx), y(vy) {}

    void Copy(const Vec2& o) { *this = o; }
    void Set(float vx, float vy) { x = vx, y = vy; }
    void SetAll(float v) { x = y = v; }
    Vec2 Add(const Vec2& o) const { return {x + o.x, y + o.y}; }
    void AddInPlace(const Vec2& o) { x += o.x, y += o.y; }
    Vec2 Sub(const Vec2& o) const { return {x - o.x, y - o.y}; }
    void SubInPlace(const Vec2& o) { x -= o.x, y -= o.y; }
    Vec2 Scale(float s) const { return {x * s, y * s}; }
    // Division multiplies by 1 / s.
    Vec2 Divide(float s) const { return Scale(1.0f / s); }
    void DivideInPlace(float s) { *this = Divide(s); }
    float LengthSquared() const { return x * x + y * y; }
    float Length() const;
    float Distance(const Vec2& o) const { return Sub(o).Length(); }
    // No guard against a zero length.
    Vec2 Normalised() const { return Divide(Length()); }
    // Rotates counter-clockwise by the angle in degrees.
    Vec2 RotateDeg(float degrees) const;
};

// Three floats; a fourth float pads the value and is never read by any operation (files store three).
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float pad = 0.0f;

    constexpr Vec3() = default;
    constexpr Vec3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}

    void Init(float vx, float vy, float vz) { x = vx, y = vy, z = vz; }
    void Set(float vx, float vy, float vz) { x = vx, y = vy, z = vz; }
    void SetAll(float v) { x = y = z = v; }
    void Copy(const Vec3& o) { x = o.x, y = o.y, z = o.z; }
    void CopyTo(Vec3& o) const { o.x = x, o.y = y, o.z = z; }
    Vec3 Add(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    void AddInPlace(const Vec3& o) { x += o.x, y += o.y, z += o.z; }
    Vec3 Sub(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 Scale(float s) const { return {x * s, y * s, z * s}; }
    void DivideInPlace(float s) {
        const float inv = 1.0f / s;
        x *= inv, y *= inv, z *= inv;
    }
    Vec3 Negate() const { return {-x, -y, -z}; }
    float Dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 Cross(const Vec3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    float LengthSquared() const { return Dot(*this); }
    float Length() const;
    float Distance(const Vec3& o) const { return Sub(o).Length(); }
    // v / length, with no guard against a zero length.
    Vec3 Normalised() const { return Scale(1.0f / Length()); }
    void NormaliseInPlace() { *this = Normalised(); }
    // v / length, or v unchanged when the length is at most 2^-23.
    Vec3 NormalisedSafe() const;
    // Rotation about the Y axis by degrees.
    Vec3 RotatedYDeg(float degrees) const;
    void RotateYDegInPlace(float degrees) { *this = RotatedYDeg(degrees); }

    Vec3 operator+(const Vec3& o) const { return Add(o); }
    Vec3 operator-(const Vec3& o) const { return Sub(o); }
    Vec3 operator*(float s) const { return Scale(s); }
};

inline constexpr Vec3 kAxisX{1.0f, 0.0f, 0.0f};
inline constexpr Vec3 kAxisY{0.0f, 1.0f, 0.0f};  // the up vector
inline constexpr Vec3 kAxisZ{0.0f, 0.0f, 1.0f};
inline constexpr Vec3 kDown{0.0f, -1.0f, 0.0f};

// Positions closer than this in a component compare equal.
inline constexpr float kPositionEpsilon = 0.0001f;

// Three-way comparison by x, then y, then z, differences within 0.0001 deciding nothing. The Asc form gives
// 1 when a is the greater at the first differing component; CompareVec3Eps gives 1 when b is. Equality
// within a tolerance is not transitive, so neither is a strict weak ordering: sort only with SortArray.
int CompareVec3EpsAsc(const Vec3& a, const Vec3& b);
int CompareVec3Eps(const Vec3& a, const Vec3& b);

struct Matrix44;

struct Aabb {
    Vec3 min;
    Vec3 max;

    // The box around the transformed box: min through m as a point, then each row's extent term added to
    // max where positive and to min where negative.
    static Aabb Transform(const Aabb& box, const Matrix44& m);
    // Touching boxes overlap; they do not exactly when one's minimum exceeds the other's maximum on an axis.
    static bool Overlaps(const Aabb& a, const Aabb& b);

    void Init(const Vec3& lo, const Vec3& hi) {
        min.Copy(lo);
        max.Copy(hi);
    }
    Vec3 GetCentre() const { return min.Add(max).Scale(0.5f); }
    // Half the length of the diagonal.
    float GetHalfDiagonal() const { return max.Sub(min).Length() * 0.5f; }
};

}  // namespace engine
