#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/colour.h"
#include "engine/core/scalar_math.h"

namespace {

using namespace engine;

TEST(FastAtan, MatchesAtanAcrossTheRangeAndAtTheBranchEdges) {
    double worst = 0.0;
    float worstAt = 0.0f;
    for (int i = -1000000; i <= 1000000; ++i) {
        const float x = static_cast<float>(i) * 1e-4f;
        const double error = std::fabs(FastAtan(x) - std::atan(static_cast<double>(x)));
        if (error > worst) worst = error, worstAt = x;
    }
    EXPECT_LT(worst, 1e-6) << "at " << worstAt;

    for (float x : {0.4142135f, 1.0f, 1.5f, 2.414f}) {
        for (float v : {x, -x}) EXPECT_NEAR(FastAtan(v), std::atan(static_cast<double>(v)), 1e-6) << v;
    }
}

TEST(FastAtan2, AxesAndQuadrants) {
    EXPECT_FLOAT_EQ(FastAtan2(1, 0), kHalfPi);
    EXPECT_FLOAT_EQ(FastAtan2(-1, 0), -kHalfPi);
    EXPECT_FLOAT_EQ(FastAtan2(0, -1), kPi);
    EXPECT_FLOAT_EQ(FastAtan2(0, 0), kHalfPi);
    for (auto [y, x] : {std::pair{1.0f, 2.0f}, {1.0f, -2.0f}, {-3.0f, -0.5f}, {-0.25f, 4.0f}}) {
        EXPECT_NEAR(FastAtan2(y, x), std::atan2(y, x), 1e-6) << y << ", " << x;
    }
}

TEST(Angles, WrapAndShortestDifference) {
    struct Case {
        float a, b, diff;
    };
    for (const Case& c : {Case{10, 350, -20}, Case{100, 300, -160}, Case{200, 10, 170}, Case{350, 10, 20}}) {
        EXPECT_FLOAT_EQ(ShortestAngleDiffDeg(c.a, c.b), c.diff) << c.a << " -> " << c.b;
    }
    EXPECT_FLOAT_EQ(WrapAngleDeg(-30), 330);
    EXPECT_FLOAT_EQ(WrapAngleDeg(720), 0);
    EXPECT_FLOAT_EQ(WrapAngleDeg(725), 5);
    const float tiny = WrapAngleDeg(-1e-5f);
    EXPECT_GE(tiny, 0.0f);
    EXPECT_LT(tiny, 360.0f);
    // Huge negative angles used to loop for ever adding 360.
    const float huge = WrapAngleDeg(-1e12f);
    EXPECT_GE(huge, 0.0f);
    EXPECT_LT(huge, 360.0f);
    EXPECT_TRUE(std::isnan(WrapAngleDeg(-std::numeric_limits<float>::infinity())));
    EXPECT_TRUE(std::isnan(WrapAngleDeg(std::numeric_limits<float>::quiet_NaN())));
}

TEST(NearestPowerOfTwo, RoundsAtOneAndAHalf) {
    struct Case {
        std::uint32_t n, expected;
    };
    for (const Case& c : {Case{1, 2}, Case{3, 2}, Case{4, 4}, Case{6, 4}, Case{7, 8}, Case{1000, 1024},
                          Case{0xC0000000u, 0x80000000u}, Case{0xC0000001u, 0x80000000u}}) {
        EXPECT_EQ(NearestPowerOfTwo(c.n), c.expected) << c.n;
    }
}

TEST(Colour, PackingAndFloatConversionWrapWithoutClamping) {
    EXPECT_EQ(MakeRgb(0x112, 0x34, 0x56), 0xFF123456u);
    EXPECT_EQ(MakeArgb(1, 2, 3, 4), 0x04010203u);
    EXPECT_EQ(PackArgb(4, 1, 2, 3), 0x04010203u);
    EXPECT_EQ(ArgbAlpha(0x80FFFFFFu), 0x80u);
    EXPECT_EQ(MakeArgbF(1.0f, 0.5f, 0.0f, 1.0f), 0xFFFF7F00u);
    // 2.0 * 255 = 510 keeps its low byte 0xFE; -1/255 truncates to -1, whose low byte is 0xFF.
    EXPECT_EQ(MakeArgbF(2.0f, -1.0f / 255.0f, 0.0f, 0.0f), 0x00FEFF00u);
    EXPECT_EQ(MakeArgbF(1e20f, std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f), 0u);

    ColourF c;
    c.Set(-0.5f, 0.25f, 1.5f, 1.0f);
    c.Clamp();
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.g, 0.25f);
    EXPECT_EQ(c.b, 1.0f);
}

}  // namespace
