#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/geometry.h"
#include "engine/core/int_rect.h"
#include "engine/core/vector.h"

namespace {

using namespace engine;

TEST(Vec3, ToleranceComparisonsAndSafeNormalise) {
    const Vec3 a{1.0f, 2.0f, 3.0f};
    EXPECT_EQ(CompareVec3EpsAsc(a, {1.00005f, 2.0f, 3.0f}), 0);
    EXPECT_EQ(CompareVec3Eps(a, {1.00005f, 2.0f, 3.0f}), 0);
    // The first component outside the tolerance decides; the two forms give opposite signs.
    EXPECT_EQ(CompareVec3EpsAsc({2, 0, 0}, {1, 9, 9}), 1);
    EXPECT_EQ(CompareVec3Eps({2, 0, 0}, {1, 9, 9}), -1);
    EXPECT_EQ(CompareVec3EpsAsc({1, 2, 3}, {1, 2, 4}), -1);
    EXPECT_EQ(CompareVec3Eps({1, 2, 3}, {1, 2, 4}), 1);
    EXPECT_EQ(CompareVec3EpsAsc({1, 2.001f, 0}, {1, 2, 5}), 1);

    const Vec3 zero = Vec3{}.NormalisedSafe();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
    EXPECT_FLOAT_EQ(Vec3(3, 0, 4).NormalisedSafe().Length(), 1.0f);
}

TEST(Vec3, RotationsAboutYAndIn2D) {
    const Vec3 r = Vec3(1, 5, 0).RotatedYDeg(90);
    EXPECT_NEAR(r.x, 0.0f, 1e-6);
    EXPECT_EQ(r.y, 5.0f);
    EXPECT_NEAR(r.z, -1.0f, 1e-6);
    const Vec2 q = Vec2(1, 0).RotateDeg(90);
    EXPECT_NEAR(q.x, 0.0f, 1e-6);
    EXPECT_NEAR(q.y, 1.0f, 1e-6);
    const Vec3 c = kAxisX.Cross(kAxisY);
    EXPECT_EQ(c.z, 1.0f);
}

TEST(Aabb, CentreAndHalfDiagonal) {
    Aabb box;
    box.Init({-1, 0, 2}, {3, 4, 2});
    EXPECT_FLOAT_EQ(box.GetCentre().x, 1.0f);
    EXPECT_FLOAT_EQ(box.GetCentre().y, 2.0f);
    EXPECT_FLOAT_EQ(box.GetHalfDiagonal(), std::sqrt(32.0f) / 2);
}

TEST(IntRect, RightAndBottomEdgesAreOutside) {
    const IntRect r{10, 20, 5, 5};
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(14, 24));
    EXPECT_FALSE(r.Contains(15, 24));
    EXPECT_FALSE(r.Contains(14, 25));
    EXPECT_FALSE(r.Contains(9, 22));
    EXPECT_FALSE(IntRect({2147483640, 0, 100, 1}).Contains(-2147483647, 0));
}

TEST(Plane, SegmentsAndRays) {
    Plane ground;
    ground.InitFromNormal(kAxisY, 1.0f);  // y = 1
    Vec3 hit;
    ASSERT_TRUE(ground.IntersectSegment({0, 0, 0}, {2, 4, 0}, &hit));
    EXPECT_FLOAT_EQ(hit.x, 0.5f);
    EXPECT_FLOAT_EQ(hit.y, 1.0f);
    EXPECT_FALSE(ground.IntersectSegment({0, 2, 0}, {0, 3, 0}));   // t < 0
    EXPECT_FALSE(ground.IntersectSegment({0, -2, 0}, {0, 0, 0}));  // t > 1
    EXPECT_FALSE(ground.IntersectSegment({0, 0, 0}, {5, 0, 5}));   // parallel
    EXPECT_FALSE(ground.IntersectSegment({0, 1, 0}, {5, 1, 5}));   // parallel, in the plane
    EXPECT_FALSE(ground.IntersectRay({0, 0, 0}, {1, 0, 0}));
    ASSERT_TRUE(ground.IntersectRay({0, 3, 0}, {0, 1, 0}, &hit));  // behind the origin still counts
    EXPECT_FLOAT_EQ(hit.y, 1.0f);

    Plane p;
    p.FromPoints({0, 2, 0}, {0, 2, 1}, {1, 2, 0});
    EXPECT_FLOAT_EQ(p.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(p.d, 2.0f);
}

TEST(Cone, SphereOverlap) {
    Matrix44 m;  // apex at the origin, axis +Z
    Cone cone;
    cone.Init(30.0f, 10.0f, m);
    struct Case {
        Vec3 centre;
        float radius;
        bool overlaps;
        const char* what;
    };
    const Case cases[] = {
        {{0, 0, 5}, 0.5f, true, "inside on the axis"},
        {{0, 0, -3}, 1.0f, false, "behind the apex"},
        {{0, 0, -0.5f}, 1.0f, true, "around the apex"},
        {{0, 0, 12}, 1.0f, false, "beyond range"},
        {{0, 0, 10.04f}, 1.0f, true, "just past range, within the radius"},
        {{4, 0, 5}, 0.5f, false, "outside the side"},
        // The side at z = 5 is at x = 5 tan 30 = 2.887; a sphere 0.5 from it along its normal grazes it.
        {{2.887f + 0.5f / std::cos(0.5235988f), 0, 5}, 0.51f, true, "grazing the side"},
        {{2.887f + 0.5f / std::cos(0.5235988f), 0, 5}, 0.49f, false, "just clear of the side"},
    };
    for (const Case& c : cases) EXPECT_EQ(cone.OverlapsSphere(c.centre, c.radius), c.overlaps) << c.what;

    // Moving and narrowing the cone keeps its cached values current.
    Matrix44 moved;
    moved.SetTranslation(100, 0, 0);
    cone.SetMatrix(moved);
    EXPECT_FALSE(cone.OverlapsSphere({0, 0, 5}, 0.5f));
    EXPECT_TRUE(cone.OverlapsSphere({100, 0, 5}, 0.5f));
    cone.SetAngle(1.0f);
    EXPECT_FALSE(cone.OverlapsSphere({102, 0, 5}, 0.5f));
}

}  // namespace
