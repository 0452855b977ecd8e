#pragma once
// 4x4 and 3x3 matrices for row vectors: a point transforms as point x matrix, and A x B applies A first.
// Rows 0-2 are the X, Y and Z axes, row 3 the translation. Angles are degrees.
#include "engine/core/vector.h"

namespace engine {

struct Vec4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

struct Matrix44 {
    // Rows; the affine operations use only the first three floats of each row.
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    // Rows X, Y, Z and translation, three values each.
    void InitAffine(float xx, float xy, float xz, float yx, float yy, float yz, float zx, float zy, float zz,
                    float tx, float ty, float tz);
    void InitCopy(const Matrix44& o) { *this = o; }
    void SetIdentity();
    void Set16(const float values[16]);

    Vec3 Row(int i) const { return {m[i][0], m[i][1], m[i][2]}; }
    void SetRow(int i, const Vec3& v) { m[i][0] = v.x, m[i][1] = v.y, m[i][2] = v.z; }
    Vec3 GetTranslation() const { return Row(3); }

    // out = b x a: b's transform first, then a's (3x3 part and translation).
    static void MultiplyAffine(const Matrix44& a, Matrix44& out, const Matrix44& b);
    // Full 4x4 product out = a x b (a first).
    static void Multiply(const Matrix44& a, const Matrix44& b, Matrix44& out);
    Matrix44 Transpose() const;
    Vec4 TransformVec4(const Vec4& v) const;

    Vec3 TransformPoint(const Vec3& v) const;
    void TransformPointInPlace(Vec3& v) const { v = TransformPoint(v); }
    Vec3 TransformVector(const Vec3& v) const;
    void TransformVectorInPlace(Vec3& v) const { v = TransformVector(v); }

    // Inverse of an affine matrix through cofactors. A singular matrix divides by zero.
    static void InverseAffine(const Matrix44& src, Matrix44& out);

    // Init* builds a whole matrix (translation 0); Set* replaces the 3x3 part and keeps the translation.
    void InitRotationX(float degrees);
    void InitRotationY(float degrees);
    void InitRotationZ(float degrees);
    void SetRotationX(float degrees);
    void SetRotationY(float degrees);
    // Rotation about an axis (normalised here), translation 0.
    void InitRotationAxis(const Vec3& axis, float degrees);
    // Scale on the diagonal, translation 0.
    void SetScale(float sx, float sy, float sz);
    // Identity rotation with the given translation.
    void SetTranslation(float tx, float ty, float tz);
    void SetTranslationV(const Vec3& t) { SetTranslation(t.x, t.y, t.z); }

    // m = R x m: turns about the matrix's own axis.
    void RotateXLocal(float degrees);
    void RotateYLocal(float degrees);
    void RotateZLocal(float degrees);
    // out = Rx x src.
    static void RotateXLocalTo(const Matrix44& src, Matrix44& out, float degrees);
    // m = m x R: turns about a world axis through the origin.
    void RotateYWorld(float degrees);
    void RotateAxisWorld(const Vec3& axis, float degrees);
    // m = T x m: moves along the matrix's own axes.
    void TranslateLocal(float x, float y, float z);
    // Adds to the translation row.
    void TranslateWorld(float x, float y, float z);
    // m = S x m.
    void ScaleLocal(float sx, float sy, float sz);

    // Rows right = normalise(up x forward), up' = forward x right, forward; right is the X axis when up and
    // forward are (nearly) parallel. Init sets the translation to 0; the Set forms keep it. The plain Set
    // form uses the world up (0, 1, 0).
    void InitBasisFromDirection(const Vec3& up, const Vec3& forward);
    void SetBasisFromDirection(const Vec3& forward);
    void SetBasisFromDirectionUp(const Vec3& forward, const Vec3& up);
    // Looks from eye at target with the world up, rolled about the view axis; translation = eye.
    void SetLookAt(const Vec3& eye, const Vec3& target, float rollDegrees);

    // Copy with the fourth column (0, 0, 0, 1), as the graphics device expects.
    Matrix44 ToFull4x4() const;
};

// Rotation-only 3x3 matrix stored as three rows of four floats.
struct Matrix33 {
    float m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};

    void InitCopy(const Matrix33& o) { *this = o; }
    void Identity();
    // out = b x a.
    static void Multiply(const Matrix33& a, const Matrix33& b, Matrix33& out);
    // m = Rz x m.
    static void RotateZ(Matrix33& mat, float degrees);
    void MakeRotationY(float degrees);
    void MakeRotationZ(float degrees);
    // +90 degrees about X.
    void MakeRotationX90();
    void MakeAxisAngle(const Vec3& axis, float degrees);
    void SetRotationY(float degrees) { MakeRotationY(degrees); }
    void SetRotationZ(float degrees) { MakeRotationZ(degrees); }
};

const Matrix44& IdentityMatrix();
const Matrix33& IdentityMatrix33();

}  // namespace engine
