#include <gtest/gtest.h>

#include "engine/core/matrix.h"

namespace {

using namespace engine;

void ExpectRow(const Matrix44& m, int row, Vec3 expected, const char* what) {
    EXPECT_NEAR(m.m[row][0], expected.x, 1e-6) << what << " row " << row;
    EXPECT_NEAR(m.m[row][1], expected.y, 1e-6) << what << " row " << row;
    EXPECT_NEAR(m.m[row][2], expected.z, 1e-6) << what << " row " << row;
}

void ExpectVec(Vec3 v, Vec3 expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.x, expected.x, tolerance);
    EXPECT_NEAR(v.y, expected.y, tolerance);
    EXPECT_NEAR(v.z, expected.z, tolerance);
}

TEST(Matrix44, RotationRowsAtNinetyDegrees) {
    struct Case {
        const char* what;
        void (Matrix44::*init)(float);
        Vec3 rows[3];
    };
    const Case cases[] = {
        {"X", &Matrix44::InitRotationX, {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}},
        {"Y", &Matrix44::InitRotationY, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}},
        {"Z", &Matrix44::InitRotationZ, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}},
    };
    for (const Case& c : cases) {
        Matrix44 m;
        m.SetTranslation(5, 6, 7);
        (m.*c.init)(90.0f);
        for (int row = 0; row < 3; ++row) ExpectRow(m, row, c.rows[row], c.what);
        ExpectRow(m, 3, {0, 0, 0}, c.what);

        // The axis form about the same axis gives the same rows.
        Matrix44 axis;
        axis.InitRotationAxis(c.rows[0].x == 1 ? kAxisX : (c.rows[1].y == 1 ? kAxisY : kAxisZ), 90.0f);
        for (int row = 0; row < 3; ++row) ExpectRow(axis, row, c.rows[row], c.what);
    }

    // The Set form keeps the translation.
    Matrix44 m;
    m.SetTranslation(5, 6, 7);
    m.SetRotationY(90.0f);
    ExpectRow(m, 3, {5, 6, 7}, "SetRotationY");
}

TEST(Matrix44, MultiplyAffineAppliesTheRightOperandFirst) {
    Matrix44 rotate;
    rotate.InitRotationZ(90.0f);
    Matrix44 move;
    move.SetTranslation(10, 0, 0);

    Matrix44 out;
    Matrix44::MultiplyAffine(rotate, out, move);  // move first, then rotate
    ExpectVec(out.TransformPoint({1, 0, 0}), {0, 11, 0});
    Matrix44::MultiplyAffine(move, out, rotate);  // rotate first, then move
    ExpectVec(out.TransformPoint({1, 0, 0}), {10, 1, 0});

    // The full product: a x b applies a first.
    Matrix44 full;
    Matrix44::Multiply(rotate, move, full);
    ExpectVec(full.TransformPoint({1, 0, 0}), {10, 1, 0});
    ExpectVec(move.TransformVector({1, 2, 3}), {1, 2, 3});
}

TEST(Matrix44, InverseAffineRoundTrip) {
    Matrix44 m;
    m.InitRotationAxis({1, 2, 3}, 37.0f);
    m.ScaleLocal(2.0f, 0.5f, 3.0f);
    m.TranslateWorld(4, -5, 6);
    Matrix44 inverse;
    Matrix44::InverseAffine(m, inverse);
    Matrix44 product;
    Matrix44::MultiplyAffine(m, product, inverse);
    for (int i = 0; i < 4; ++i) ExpectRow(product, i, i < 3 ? IdentityMatrix().Row(i) : Vec3{}, "m^-1 m");
    const Vec3 p{1.5f, -2.0f, 0.25f};
    ExpectVec(inverse.TransformPoint(m.TransformPoint(p)), p);
}

TEST(Matrix44, LocalAndWorldOperations) {
    Matrix44 m;
    m.InitRotationY(90.0f);  // the local X axis points along world -Z
    m.TranslateLocal(1, 0, 0);
    ExpectRow(m, 3, {0, 0, -1}, "TranslateLocal");
    m.TranslateWorld(1, 0, 0);
    ExpectRow(m, 3, {1, 0, -1}, "TranslateWorld");

    // Turning about the world Y axis moves the translation too; a local turn does not.
    Matrix44 w;
    w.SetTranslation(1, 0, 0);
    w.RotateYWorld(90.0f);
    ExpectRow(w, 3, {0, 0, -1}, "RotateYWorld");
    Matrix44 l;
    l.SetTranslation(1, 0, 0);
    l.RotateYLocal(90.0f);
    ExpectRow(l, 3, {1, 0, 0}, "RotateYLocal");
    ExpectRow(l, 0, {0, 0, -1}, "RotateYLocal");

    Matrix44 x;
    x.RotateXLocal(90.0f);
    Matrix44 to;
    Matrix44::RotateXLocalTo(IdentityMatrix(), to, 90.0f);
    for (int i = 0; i < 3; ++i) ExpectRow(x, i, to.Row(i), "RotateXLocalTo");

    Matrix44 axis;
    axis.SetTranslation(0, 0, 1);
    axis.RotateAxisWorld(kAxisX, 90.0f);
    ExpectRow(axis, 3, {0, -1, 0}, "RotateAxisWorld");
}

TEST(Matrix44, BasisFromDirectionAndLookAt) {
    Matrix44 m;
    m.InitBasisFromDirection(kAxisY, kAxisZ);
    ExpectRow(m, 0, {1, 0, 0}, "basis");
    ExpectRow(m, 1, {0, 1, 0}, "basis");
    ExpectRow(m, 2, {0, 0, 1}, "basis");

    // Parallel up and forward: right falls back to the X axis.
    m.InitBasisFromDirection(kAxisY, kAxisY);
    ExpectRow(m, 0, {1, 0, 0}, "parallel");
    ExpectRow(m, 1, {0, 0, -1}, "parallel");

    Matrix44 look;
    look.SetLookAt({0, 0, -5}, {0, 0, 0}, 0.0f);
    ExpectRow(look, 2, {0, 0, 1}, "look");
    ExpectRow(look, 3, {0, 0, -5}, "look");

    // A roll of 90 degrees turns right into up about the view axis.
    look.SetLookAt({0, 0, -5}, {0, 0, 0}, 90.0f);
    ExpectRow(look, 0, {0, 1, 0}, "roll");
    ExpectRow(look, 1, {-1, 0, 0}, "roll");
    ExpectRow(look, 2, {0, 0, 1}, "roll");
    ExpectRow(look, 3, {0, 0, -5}, "roll");
}

TEST(Matrix44, FullFormsAndMatrix33) {
    Matrix44 m;
    m.m[0][3] = 9;
    m.m[3][3] = 9;
    const Matrix44 full = m.ToFull4x4();
    EXPECT_EQ(full.m[0][3], 0.0f);
    EXPECT_EQ(full.m[3][3], 1.0f);
    EXPECT_EQ(m.Transpose().m[3][0], 9.0f);
    const Vec4 v = full.TransformVec4({1, 2, 3, 1});
    EXPECT_FLOAT_EQ(v.w, 1.0f);

    Matrix33 z;
    z.MakeRotationZ(90.0f);
    Matrix33 twice = z;
    Matrix33::RotateZ(twice, 90.0f);
    EXPECT_NEAR(twice.m[0][0], -1.0f, 1e-6);
    Matrix33 x90;
    x90.MakeRotationX90();
    Matrix33 axis;
    axis.MakeAxisAngle({2, 0, 0}, 90.0f);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(x90.m[i][j], axis.m[i][j], 1e-6);
    }
    // Multiply(a, b) applies b first.
    Matrix33 y;
    y.MakeRotationY(90.0f);
    Matrix33 out;
    Matrix33::Multiply(z, y, out);
    Matrix44 y44, z44, out44;
    y44.InitRotationY(90.0f);
    z44.InitRotationZ(90.0f);
    Matrix44::Multiply(y44, z44, out44);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(out.m[i][j], out44.m[i][j], 1e-6);
    }
}

}  // namespace
