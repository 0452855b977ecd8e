// Whole textures drawn as 2D quads: placement at scale 1 and 2 against CPU references made with D3D9 rules
// (pixel centres at integers, bilinear sampling, clamp addressing), the pivot's far edge, rotation about the
// pivot and the grey tint.
#include <algorithm>
#include <cmath>

#include "engine/render_2d/drawing_2d_fixture.h"

namespace {

using drawtest::Drawing2DTest;
using drawtest::Near;
using drawtest::NoiseTexel;
using drawtest::Rgba;
using drawtest::RgbaOf;
using engine::IntRect;

constexpr int kTexture = 8;

// Bilinear sample of the noise texture at texture coordinates (u, v), clamped at the edges.
Rgba BilinearNoise(float u, float v) {
    const float sx = u * kTexture - 0.5f, sy = v * kTexture - 0.5f;
    const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
    const float fx = sx - static_cast<float>(x0), fy = sy - static_cast<float>(y0);
    auto texel = [](int x, int y) {
        return RgbaOf(NoiseTexel(std::clamp(x, 0, kTexture - 1), std::clamp(y, 0, kTexture - 1)));
    };
    const Rgba a = texel(x0, y0), b = texel(x0 + 1, y0), c = texel(x0, y0 + 1), d = texel(x0 + 1, y0 + 1);
    Rgba out{};
    for (int i = 0; i < 4; ++i) {
        const float top = a[i] * (1 - fx) + b[i] * fx;
        const float bottom = c[i] * (1 - fx) + d[i] * fx;
        out[i] = static_cast<int>(std::lround(top * (1 - fy) + bottom * fy));
    }
    return out;
}

TEST_F(Drawing2DTest, AtScaleOneEveryPixelIsItsTexel) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    drawing_->DrawTexture(Target(), 5.0f, 3.0f, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
    const auto picture = Read();
    for (int y = 0; y < kTexture; ++y) {
        for (int x = 0; x < kTexture; ++x) {
            ASSERT_EQ(At(picture, 5 + x, 3 + y), RgbaOf(NoiseTexel(x, y))) << x << ", " << y;
        }
    }
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{5, 3, kTexture, kTexture}));
    EXPECT_EQ(Gpu().GetSamplerState(0, sys::kSampMagFilter), sys::kFilterPoint);
}

TEST_F(Drawing2DTest, AtScaleTwoTheQuadIsTheBilinearReferenceWithinOneStep) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    drawing_->DrawTextureScaled(Target(), 4.0f, 2.0f, 2.0f, 2.0f, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
    const auto picture = Read();
    constexpr int kSize = 2 * kTexture;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const Rgba expected = BilinearNoise((x + 0.5f) / kSize, (y + 0.5f) / kSize);
            ASSERT_TRUE(Near(At(picture, 4 + x, 2 + y), expected, 1)) << x << ", " << y;
        }
    }
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{4, 2, kSize, kSize}));
    EXPECT_EQ(Gpu().GetSamplerState(0, sys::kSampMagFilter), sys::kFilterLinear);
}

TEST_F(Drawing2DTest, APointSamplingTargetRepeatsTexelsAtScaleTwo) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    drawing_->DrawTextureScaled(Target(true), 0.0f, 0.0f, 2.0f, 2.0f, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
    const auto picture = Read();
    for (int y = 0; y < 2 * kTexture; ++y) {
        for (int x = 0; x < 2 * kTexture; ++x) {
            ASSERT_EQ(At(picture, x, y), RgbaOf(NoiseTexel(x / 2, y / 2))) << x << ", " << y;
        }
    }
}

TEST_F(Drawing2DTest, TheColourMultipliesTheTexture) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    const std::uint32_t colour = 0xFF8040C0u;
    drawing_->DrawTexture(Target(), 0.0f, 0.0f, handle, colour, engine::kBlendOff, 0);
    const auto picture = Read();
    const Rgba tint = RgbaOf(colour);
    for (int y = 0; y < kTexture; ++y) {
        for (int x = 0; x < kTexture; ++x) {
            const Rgba texel = RgbaOf(NoiseTexel(x, y));
            Rgba expected{};
            for (int c = 0; c < 4; ++c) expected[c] = static_cast<int>(std::lround(texel[c] * tint[c] / 255.0));
            ASSERT_TRUE(Near(At(picture, x, y), expected, 1)) << x << ", " << y;
        }
    }
}

// Point sampling of a texture squeezed between pixel positions: the texel whose span holds the pixel centre.
struct PointMapping {
    float originX, originY;  // screen position of the quad's top-left corner before the 0.35 offset
    float spanX, spanY;      // pixels the texture is spread over
};

TEST_F(Drawing2DTest, WithAPivotTheFarEdgeIsOnePixelIn) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    // Pivot (2, 3) at (20, 20): the quad runs from (18, 17) to (18 + 7, 17 + 7).
    drawing_->DrawTextureOffsetScaled(Target(), 20.0f, 20.0f, 1.0f, 1.0f, 2.0f, 3.0f, handle, 0xFFFFFFFFu,
                                      engine::kBlendOff, 0);
    const auto picture = Read();
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{18, 17, 7, 7}));
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const int tx = static_cast<int>((x + 0.35f) / 7.0f * kTexture);
            const int ty = static_cast<int>((y + 0.35f) / 7.0f * kTexture);
            ASSERT_EQ(At(picture, 18 + x, 17 + y), RgbaOf(NoiseTexel(tx, ty))) << x << ", " << y;
        }
    }
}

TEST_F(Drawing2DTest, NinetyDegreesTurnAboutThePivot) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    // A point (lx, ly) from the pivot goes to (-ly, lx): with pivot (2, 3) at (30, 20) the texture's columns
    // run down from y = 18 and its rows leftwards from x = 33.
    drawing_->DrawTextureRotated(Target(), 30.0f, 20.0f, 2.0f, 3.0f, 90.0f, handle, 0xFFFFFFFFu,
                                 engine::kBlendOff, 0);
    const auto picture = Read();
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{26, 18, 7, 7}));
    for (int py = 18; py < 25; ++py) {
        for (int px = 26; px < 33; ++px) {
            // Back from the pixel centre to the texture: relative to the pivot, turned by -90 degrees.
            const float rx = static_cast<float>(px) + 0.35f - 30.0f, ry = static_cast<float>(py) + 0.35f - 20.0f;
            const float lx = ry, ly = -rx;
            const int tx = static_cast<int>((lx + 2.0f) / 7.0f * kTexture);
            const int ty = static_cast<int>((ly + 3.0f) / 7.0f * kTexture);
            ASSERT_EQ(At(picture, px, py), RgbaOf(NoiseTexel(tx, ty))) << px << ", " << py;
        }
    }
    // The texture's top-left texel sits at the top right, its bottom-left texel at the top left.
    EXPECT_EQ(At(picture, 32, 18), RgbaOf(NoiseTexel(0, 0)));
    EXPECT_EQ(At(picture, 26, 18), RgbaOf(NoiseTexel(0, 7)));
}

TEST_F(Drawing2DTest, ANegativeScaleMirrorsTheQuadInsteadOfCullingIt) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    // Scale -1 counts as scaled: the 0.5 offset puts the samples on texel centres, so linear filtering is exact.
    drawing_->DrawTextureScaled(Target(), 20.0f, 4.0f, -1.0f, 1.0f, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
    const auto picture = Read();
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{12, 4, kTexture, kTexture}));
    for (int y = 0; y < kTexture; ++y) {
        for (int x = 0; x < kTexture; ++x) {
            ASSERT_EQ(At(picture, 12 + x, 4 + y), RgbaOf(NoiseTexel(kTexture - 1 - x, y))) << x << ", " << y;
        }
    }
}

TEST_F(Drawing2DTest, AnInvalidHandleOrANullTextureDrawsNothing) {
    drawing_->DrawTexture(Target(), 0.0f, 0.0f, 9, 0xFFFFFFFFu, engine::kBlendOff, 0);
    drawing_->DrawTextureQuad(Target(), 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, nullptr, 0xFFFFFFFFu,
                              engine::kBlendOff, 0, 0);
    EXPECT_TRUE(UntouchedOutside(Read(), IntRect{}));
}

// The grey tint on the CPU: darkened towards black below mid-grey, lightened towards white above, mixed with
// the plain grey by the colour's alpha.
Rgba GreyTint(std::uint32_t texel, std::uint32_t colour) {
    const Rgba t = RgbaOf(texel), c = RgbaOf(colour);
    const double grey = (0.299 * t[0] + 0.587 * t[1] + 0.114 * t[2]) / 255.0;
    const double a = c[3] / 255.0;
    Rgba out{};
    for (int i = 0; i < 3; ++i) {
        const double tint = c[i] / 255.0;
        const double light = (grey - 0.5) * 2.0;
        const double pure = grey < 0.5 ? tint * grey * 2.0 : tint * (1.0 - light) + light;
        out[i] = static_cast<int>(std::lround((pure * a + grey * (1.0 - a)) * 255.0));
    }
    out[3] = t[3];
    return out;
}

TEST_F(Drawing2DTest, GreyTintBelowAndAboveMidGreyAndTheAlphaMix) {
    // Dark texels on the left half, light ones on the right.
    auto texel = [](int x, int y) -> std::uint32_t {
        return x < kTexture / 2 ? 0xFF000000u | static_cast<std::uint32_t>(0x102030 + 0x030201 * (x + 4 * y))
                                : 0xFF000000u | static_cast<std::uint32_t>(0xA0B0C0 + 0x010203 * (x + y));
    };
    const int handle = MakeTexture(kTexture, kTexture, texel);
    const std::uint32_t colours[] = {0xFFC06020u, 0x80C06020u, 0x00FFFFFFu};
    for (const std::uint32_t colour : colours) {
        SCOPED_TRACE(colour);
        Clear(drawtest::Drawing2DTest::kClear);
        drawing_->DrawTexture(Target(), 0.0f, 0.0f, handle, colour, engine::kBlendOff, 1);
        const auto picture = Read();
        for (int y = 0; y < kTexture; ++y) {
            for (int x = 0; x < kTexture; ++x) {
                ASSERT_TRUE(Near(At(picture, x, y), GreyTint(texel(x, y), colour), 1)) << x << ", " << y;
            }
        }
    }
}

}  // namespace
