#include "engine/render/quad_rules.h"

#include <gtest/gtest.h>

namespace {

using engine::IntRect;
using engine::QuadAlphaStates;

struct AlphaCase {
    int blend;
    std::uint32_t alpha;
    bool quadUsesTextureMode;
    bool rectUsesTextureMode;
    std::uint32_t mask;
};

TEST(QuadRules, AlphaTestAndMaskFollowTheBlendTheColourAndTheTexture) {
    const AlphaCase cases[] = {
        {0, 255, true, true, 15},   {0, 128, true, false, 15}, {1, 255, true, true, 7},
        {1, 128, false, false, 7},  {3, 255, false, false, 7}, {3, 128, false, false, 7},
        {4, 255, false, false, 7},  {4, 128, false, false, 7},
    };
    for (const AlphaCase& c : cases) {
        for (int textureMode : {0, 1, 2}) {
            SCOPED_TRACE(::testing::Message() << "blend " << c.blend << " alpha " << c.alpha << " mode " << textureMode);
            const std::uint32_t colour = (c.alpha << 24) | 0x00808080u;
            const QuadAlphaStates quad = engine::TextureQuadAlphaStates(c.blend, colour, textureMode);
            const QuadAlphaStates rect = engine::TextureRectAlphaStates(c.blend, colour, textureMode);
            EXPECT_EQ(quad.alphaTestMode, c.quadUsesTextureMode ? textureMode : 2);
            EXPECT_EQ(rect.alphaTestMode, c.rectUsesTextureMode ? textureMode : 2);
            EXPECT_EQ(quad.colourMask, c.mask);
            EXPECT_EQ(rect.colourMask, c.mask);
            EXPECT_EQ(quad.reference, 254u);
        }
    }
}

TEST(QuadRules, WithoutAPivotTheQuadCoversTheWholeScaledTexture) {
    const auto c = engine::TextureQuadCorners(16, 8, 0.0f, 0.0f, 2.0f, 3.0f, 0.0f, 100.0f, 50.0f);
    EXPECT_FLOAT_EQ(c[0].x, 100.0f);
    EXPECT_FLOAT_EQ(c[0].y, 50.0f);
    EXPECT_FLOAT_EQ(c[3].x, 132.0f);
    EXPECT_FLOAT_EQ(c[3].y, 74.0f);
}

TEST(QuadRules, WithAPivotTheFarEdgeIsOnePixelInAndRotationTurnsAboutThePivot) {
    const auto c = engine::TextureQuadCorners(16, 8, 4.0f, 2.0f, 1.0f, 1.0f, 0.0f, 100.0f, 50.0f);
    EXPECT_FLOAT_EQ(c[0].x, 96.0f);
    EXPECT_FLOAT_EQ(c[0].y, 48.0f);
    EXPECT_FLOAT_EQ(c[3].x, 100.0f + 11.0f);
    EXPECT_FLOAT_EQ(c[3].y, 50.0f + 5.0f);

    const auto r = engine::TextureQuadCorners(16, 8, 4.0f, 2.0f, 1.0f, 1.0f, 90.0f, 100.0f, 50.0f);
    // (dx, dy) about the pivot becomes (-dy, dx).
    EXPECT_NEAR(r[0].x, 100.0f + 2.0f, 1e-4f);
    EXPECT_NEAR(r[0].y, 50.0f - 4.0f, 1e-4f);
    EXPECT_NEAR(r[3].x, 100.0f - 5.0f, 1e-4f);
    EXPECT_NEAR(r[3].y, 50.0f + 11.0f, 1e-4f);
}

TEST(QuadRules, ScaledQuadsUseTheHalfPixelOffsetAndLinearFiltering) {
    EXPECT_FLOAT_EQ(engine::TextureQuadOffset(1.0f, 1.0f), 0.35f);
    EXPECT_FLOAT_EQ(engine::TextureQuadOffset(2.0f, 1.0f), 0.5f);
    EXPECT_FALSE(engine::TextureQuadFiltersLinear(1.0f, 1.0f, false));
    EXPECT_TRUE(engine::TextureQuadFiltersLinear(1.0f, 2.0f, false));
    EXPECT_FALSE(engine::TextureQuadFiltersLinear(2.0f, 2.0f, true));
}

TEST(QuadRules, ANegativeDestinationWidthMirrorsAndOneToOneUsesPointFiltering) {
    const IntRect source{8, 4, 16, 8};
    const auto plain = engine::MapTextureRect(IntRect{10, 20, 16, 8}, source, 64, 32, false);
    const auto mirrored = engine::MapTextureRect(IntRect{10, 20, -16, 8}, source, 64, 32, false);
    EXPECT_FLOAT_EQ(plain.u0, 8.0f / 64.0f);
    EXPECT_FLOAT_EQ(plain.u1, 24.0f / 64.0f);
    EXPECT_FLOAT_EQ(plain.v0, 4.0f / 32.0f);
    EXPECT_FLOAT_EQ(plain.v1, 12.0f / 32.0f);
    EXPECT_FLOAT_EQ(mirrored.u0, plain.u1);
    EXPECT_FLOAT_EQ(mirrored.u1, plain.u0);
    EXPECT_FLOAT_EQ(mirrored.left, 10.0f);
    EXPECT_FLOAT_EQ(mirrored.right, 26.0f);
    EXPECT_FLOAT_EQ(mirrored.bottom, 28.0f);
    EXPECT_FALSE(plain.linear);
    EXPECT_FALSE(mirrored.linear);
    EXPECT_TRUE(engine::MapTextureRect(IntRect{10, 20, 32, 16}, source, 64, 32, false).linear);
    EXPECT_FALSE(engine::MapTextureRect(IntRect{10, 20, 32, 16}, source, 64, 32, true).linear);
}

}  // namespace
