#include "engine/core/matrix.h"

#include <cmath>

#include "engine/core/scalar_math.h"

namespace engine {

namespace {

// Rotation rows for row vectors about a normalised axis (Rodrigues form with t = 1 - cos).
void AxisRotationRows(const Vec3& k, float degrees, float out[3][3]) {
    const float c = CosDeg(degrees);
    const float s = SinDeg(degrees);
    const float t = 1.0f - c;
    out[0][0] = t * k.x * k.x + c;
    out[0][1] = t * k.x * k.y + s * k.z;
    out[0][2] = t * k.x * k.z - s * k.y;
    out[1][0] = t * k.x * k.y - s * k.z;
    out[1][1] = t * k.y * k.y + c;
    out[1][2] = t * k.y * k.z + s * k.x;
    out[2][0] = t * k.x * k.z + s * k.y;
    out[2][1] = t * k.y * k.z - s * k.x;
    out[2][2] = t * k.z * k.z + c;
}

void SetRows3(Matrix44& mat, const float rows[3][3]) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) mat.m[i][j] = rows[i][j];
    }
}

// The 3x3 part of a 4x4 matrix.
void CopyRotation(const Matrix44& from, Matrix33& to) {
    to.Identity();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) to.m[i][j] = from.m[i][j];
    }
}

Matrix44 RotationAbout(const Vec3& axis, float degrees) {
    Matrix44 r;
    r.InitRotationAxis(axis, degrees);
    return r;
}

}  // namespace

void Matrix44::InitAffine(float xx, float xy, float xz, float yx, float yy, float yz, float zx, float zy, float zz,
                          float tx, float ty, float tz) {
    SetIdentity();
    SetRow(0, {xx, xy, xz});
    SetRow(1, {yx, yy, yz});
    SetRow(2, {zx, zy, zz});
    SetRow(3, {tx, ty, tz});
}

void Matrix44::SetIdentity() { *this = Matrix44{}; }

void Matrix44::Set16(const float values[16]) {
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = values[i];
}

void Matrix44::MultiplyAffine(const Matrix44& a, Matrix44& out, const Matrix44& b) {
    Matrix44 r = out;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            float v = b.m[i][0] * a.m[0][j] + b.m[i][1] * a.m[1][j] + b.m[i][2] * a.m[2][j];
            if (i == 3) v += a.m[3][j];
            r.m[i][j] = v;
        }
    }
    out = r;
}

void Matrix44::Multiply(const Matrix44& a, const Matrix44& b, Matrix44& out) {
    Matrix44 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
        }
    }
    out = r;
}

Matrix44 Matrix44::Transpose() const {
    Matrix44 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) r.m[i][j] = m[j][i];
    }
    return r;
}

Vec4 Matrix44::TransformVec4(const Vec4& v) const {
    const float in[4] = {v.x, v.y, v.z, v.w};
    float o[4];
    for (int j = 0; j < 4; ++j) o[j] = in[0] * m[0][j] + in[1] * m[1][j] + in[2] * m[2][j] + in[3] * m[3][j];
    return {o[0], o[1], o[2], o[3]};
}

Vec3 Matrix44::TransformVector(const Vec3& v) const {
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

Vec3 Matrix44::TransformPoint(const Vec3& v) const { return TransformVector(v).Add(Row(3)); }

void Matrix44::InverseAffine(const Matrix44& src, Matrix44& out) {
    const float(&a)[4][4] = src.m;
    float cof[3][3];
    cof[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    cof[0][1] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
    cof[0][2] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
    cof[1][0] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    cof[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
    cof[1][2] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
    cof[2][0] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    cof[2][1] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
    cof[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    const float det = a[0][0] * cof[0][0] + a[0][1] * cof[1][0] + a[0][2] * cof[2][0];
    const float inv = 1.0f / det;

    Matrix44 r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r.m[i][j] = cof[i][j] * inv;
    }
    const Vec3 t = r.TransformVector(src.Row(3));
    r.SetRow(3, t.Negate());
    out = r;
}

void Matrix44::InitRotationX(float degrees) {
    SetIdentity();
    SetRotationX(degrees);
}

void Matrix44::InitRotationY(float degrees) {
    SetIdentity();
    SetRotationY(degrees);
}

void Matrix44::InitRotationZ(float degrees) {
    SetIdentity();
    const float c = CosDeg(degrees);
    const float s = SinDeg(degrees);
    SetRow(0, {c, s, 0});
    SetRow(1, {-s, c, 0});
    SetRow(2, {0, 0, 1});
}

void Matrix44::SetRotationX(float degrees) {
    const float c = CosDeg(degrees);
    const float s = SinDeg(degrees);
    SetRow(0, {1, 0, 0});
    SetRow(1, {0, c, s});
    SetRow(2, {0, -s, c});
}

void Matrix44::SetRotationY(float degrees) {
    const float c = CosDeg(degrees);
    const float s = SinDeg(degrees);
    SetRow(0, {c, 0, -s});
    SetRow(1, {0, 1, 0});
    SetRow(2, {s, 0, c});
}

void Matrix44::InitRotationAxis(const Vec3& axis, float degrees) {
    SetIdentity();
    float rows[3][3];
    AxisRotationRows(axis.Normalised(), degrees, rows);
    SetRows3(*this, rows);
}

void Matrix44::SetScale(float sx, float sy, float sz) {
    SetIdentity();
    m[0][0] = sx;
    m[1][1] = sy;
    m[2][2] = sz;
}

void Matrix44::SetTranslation(float tx, float ty, float tz) {
    SetIdentity();
    SetRow(3, {tx, ty, tz});
}

void Matrix44::RotateXLocal(float degrees) { RotateXLocalTo(*this, *this, degrees); }

void Matrix44::RotateYLocal(float degrees) {
    Matrix44 r;
    r.InitRotationY(degrees);
    MultiplyAffine(*this, *this, r);
}

void Matrix44::RotateZLocal(float degrees) {
    Matrix44 r;
    r.InitRotationZ(degrees);
    MultiplyAffine(*this, *this, r);
}

void Matrix44::RotateXLocalTo(const Matrix44& src, Matrix44& out, float degrees) {
    Matrix44 r;
    r.InitRotationX(degrees);
    Matrix44 result = src;
    MultiplyAffine(src, result, r);
    out = result;
}

void Matrix44::RotateYWorld(float degrees) {
    Matrix44 r;
    r.InitRotationY(degrees);
    MultiplyAffine(r, *this, *this);
}

void Matrix44::RotateAxisWorld(const Vec3& axis, float degrees) {
    MultiplyAffine(RotationAbout(axis, degrees), *this, *this);
}

void Matrix44::TranslateLocal(float x, float y, float z) {
    SetRow(3, TransformPoint({x, y, z}));
}

void Matrix44::TranslateWorld(float x, float y, float z) {
    m[3][0] += x;
    m[3][1] += y;
    m[3][2] += z;
}

void Matrix44::ScaleLocal(float sx, float sy, float sz) {
    SetRow(0, Row(0).Scale(sx));
    SetRow(1, Row(1).Scale(sy));
    SetRow(2, Row(2).Scale(sz));
}

void Matrix44::InitBasisFromDirection(const Vec3& up, const Vec3& forward) {
    SetIdentity();
    SetBasisFromDirectionUp(forward, up);
}

void Matrix44::SetBasisFromDirection(const Vec3& forward) { SetBasisFromDirectionUp(forward, kAxisY); }

void Matrix44::SetBasisFromDirectionUp(const Vec3& forward, const Vec3& up) {
    const Vec3 right = std::fabs(up.Dot(forward)) > 0.9999999f ? kAxisX : up.Cross(forward).Normalised();
    SetRow(0, right);
    SetRow(1, forward.Cross(right));
    SetRow(2, forward);
}

void Matrix44::SetLookAt(const Vec3& eye, const Vec3& target, float rollDegrees) {
    SetIdentity();
    SetBasisFromDirection(target.Sub(eye).Normalised());
    RotateZLocal(rollDegrees);
    SetRow(3, eye);
}

Matrix44 Matrix44::ToFull4x4() const {
    Matrix44 r = *this;
    r.m[0][3] = r.m[1][3] = r.m[2][3] = 0.0f;
    r.m[3][3] = 1.0f;
    return r;
}

void Matrix33::Identity() { *this = Matrix33{}; }

void Matrix33::Multiply(const Matrix33& a, const Matrix33& b, Matrix33& out) {
    Matrix33 r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r.m[i][j] = b.m[i][0] * a.m[0][j] + b.m[i][1] * a.m[1][j] + b.m[i][2] * a.m[2][j];
    }
    out = r;
}

void Matrix33::RotateZ(Matrix33& mat, float degrees) {
    Matrix33 r;
    r.MakeRotationZ(degrees);
    Multiply(mat, r, mat);
}

void Matrix33::MakeRotationY(float degrees) {
    Matrix44 r;
    r.InitRotationY(degrees);
    CopyRotation(r, *this);
}

void Matrix33::MakeRotationZ(float degrees) {
    Matrix44 r;
    r.InitRotationZ(degrees);
    CopyRotation(r, *this);
}

void Matrix33::MakeRotationX90() {
    Identity();
    m[1][1] = 0.0f, m[1][2] = 1.0f;
    m[2][1] = -1.0f, m[2][2] = 0.0f;
}

void Matrix33::MakeAxisAngle(const Vec3& axis, float degrees) {
    Matrix44 r;
    r.InitRotationAxis(axis, degrees);
    CopyRotation(r, *this);
}

const Matrix44& IdentityMatrix() {
    static const Matrix44 identity;
    return identity;
}

const Matrix33& IdentityMatrix33() {
    static const Matrix33 identity;
    return identity;
}

}  // namespace engine
