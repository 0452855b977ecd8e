// The glow and the monochrome tint of a render target on the GL test context, against pictures computed on the
// CPU: flat colours, a one-pixel dot and a noise picture.
#include <algorithm>
#include <cmath>

#include "engine/render/blur_weights.h"
#include "render_target_fixture.h"
#include "sys/gpu_test_hooks.h"

namespace {

using engine::RenderTarget;
using targettest::Rgba;
using targettest::RenderTargetTest;

// The glow's half-screen textures are half the back buffer, so the targets have the back buffer's size.
constexpr int kW = 32;
constexpr int kH = 24;

// What one 8-bit target stores of a value 0..1.
float Stored(float v) { return std::round(std::clamp(v, 0.0f, 1.0f) * 255.0f) / 255.0f; }

// The sum of the seven blur weights.
float WeightSum() {
    engine::Vec4 weights[engine::kBlurTaps];
    engine::ComputeGaussWeights(true, 0.01f, weights);
    float sum = 0.0f;
    for (const engine::Vec4& w : weights) sum += w.w;
    return sum;
}

// The glow of a flat picture (bytes r, g, b, a), channel by channel: the four blur passes (the first weighting
// by transparency), each stored in 8 bits, then the picture plus twice the blur.
Rgba FlatGlow(const Rgba& c) {
    const float sum = WeightSum();
    const float transparency = 1.0f - static_cast<float>(c[3]) / 255.0f;
    Rgba out{};
    for (int i = 0; i < 3; ++i) {
        const float v = static_cast<float>(c[i]) / 255.0f;
        float blur = Stored(v * transparency * sum);
        for (int pass = 0; pass < 3; ++pass) blur = Stored(blur * sum);
        out[i] = static_cast<int>(std::lround(Stored(v + 2.0f * blur) * 255.0f));
    }
    out[3] = 255;
    return out;
}

::testing::AssertionResult Near(const Rgba& got, const Rgba& expected, int channels, int tolerance) {
    for (int i = 0; i < channels; ++i) {
        if (std::abs(got[i] - expected[i]) > tolerance) {
            return ::testing::AssertionFailure() << "(" << got[0] << ", " << got[1] << ", " << got[2] << ", "
                                                 << got[3] << ") against (" << expected[0] << ", " << expected[1]
                                                 << ", " << expected[2] << ", " << expected[3] << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(RenderTargetTest, GlowOfAFlatPictureIsThePicturePlusTwiceItsBlur) {
    struct Case {
        const char* name;
        int kind;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {"black stays black", engine::kTargetPlain, 0x00000000u},
        {"transparent colour", engine::kTargetPlain, 0x00641E3Cu},
        {"partly transparent colour", engine::kTargetPlain, 0x40285014u},
        {"opaque colour has no glow", engine::kTargetPlain, 0xFF285014u},
        {"multisampled main target", engine::kTargetMain, 0x40285014u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RenderTarget* target = Make(kW, kH, c.kind);
        ASSERT_NE(target, nullptr);
        target->Begin(c.colour);
        const int before = target->CurrentIndex();
        target->ApplyBlurBloom();
        EXPECT_EQ(target->CurrentIndex(), 1 - before);
        target->End();
        const Rgba expected = FlatGlow(targettest::RgbaOf(c.colour));
        const std::vector<std::uint8_t> picture = Read(*target);
        for (const auto& [x, y] : {std::pair{0, 0}, {kW / 2, kH / 2}, {kW - 1, kH - 1}, {5, kH - 3}}) {
            EXPECT_TRUE(Near(At(picture, kW, x, y), expected, 3, 2)) << "at (" << x << ", " << y << ")";
        }
        delete target;
    }
}

TEST_F(RenderTargetTest, GlowOfOneDotKeepsItsCentreAndSpreadsOnlyWhenTheDotIsTransparent) {
    // The half-size blur samples the even rows of the picture, so the dot sits on one.
    constexpr int kX = 14, kY = 10;
    for (const std::uint32_t dot : {0x00FFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(::testing::Message() << "dot " << std::hex << dot);
        RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
        target->Begin(0x00000000u);
        const sys::GpuRect rect = {kX, kY, kX + 1, kY + 1};
        Gpu().Clear(1, &rect, sys::kClearTarget, dot, 1.0f, 0);
        target->ApplyBlurBloom();
        target->End();
        const std::vector<std::uint8_t> picture = Read(*target);
        EXPECT_TRUE(Near(At(picture, kW, kX, kY), {255, 255, 255, 255}, 3, 0));
        const bool glows = (dot >> 24) == 0;
        // Neighbours light up around a transparent dot only; far away nothing does.
        for (const auto& [x, y] : {std::pair{kX + 1, kY}, {kX, kY - 1}, {kX - 2, kY + 1}}) {
            const Rgba p = At(picture, kW, x, y);
            if (glows) {
                EXPECT_GT(p[0], 8) << "at (" << x << ", " << y << ")";
                EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "grey at (" << x << ", " << y << ")";
            } else {
                // Only the trace that linear filtering mixes in from the transparent black beside it.
                EXPECT_TRUE(Near(p, {0, 0, 0, 255}, 3, 3)) << "at (" << x << ", " << y << ")";
            }
        }
        EXPECT_TRUE(Near(At(picture, kW, 0, 0), {0, 0, 0, 255}, 3, 0));
        EXPECT_TRUE(Near(At(picture, kW, kW - 1, kH - 1), {0, 0, 0, 255}, 3, 0));
        delete target;
    }
}

TEST_F(RenderTargetTest, MonochromeMixesThePictureWithItsGreyTimesTheColourByTheStrength) {
    const int noise = NoiseTexture(kW, kH, 7);
    const std::vector<std::uint8_t> source = NoisePicture(kW, kH, 7);
    const std::uint32_t tint = 0xFFFFC080u;
    const float tintRgb[3] = {1.0f, 192.0f / 255.0f, 128.0f / 255.0f};
    for (const float strength : {0.0f, 0.5f, 1.0f}) {
        SCOPED_TRACE(::testing::Message() << "strength " << strength);
        RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
        target->Begin(0xFF000000u);
        DrawRaw(*target, noise);
        const int before = target->CurrentIndex();
        EXPECT_EQ(target->ApplyMonochrome(strength, tint), 1);
        EXPECT_EQ(target->CurrentIndex(), 1 - before);
        target->End();
        const std::vector<std::uint8_t> picture = Read(*target);
        int wrong = 0;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                const Rgba s = At(source, kW, x, y);
                const float grey = (0.299f * s[0] + 0.587f * s[1] + 0.114f * s[2]) / 255.0f;
                Rgba expected{};
                for (int i = 0; i < 3; ++i) {
                    const float v = static_cast<float>(s[i]) / 255.0f * (1.0f - strength) +
                                    tintRgb[i] * grey * strength;
                    expected[i] = static_cast<int>(std::lround(Stored(v) * 255.0f));
                }
                const int tolerance = strength == 0.0f ? 0 : 2;
                const ::testing::AssertionResult near = Near(At(picture, kW, x, y), expected, 3, tolerance);
                if (!near && ++wrong <= 3) ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << near.message();
            }
        }
        EXPECT_EQ(wrong, 0);
        delete target;
    }
}

TEST_F(RenderTargetTest, EffectsLeaveThePictureAloneWhenTheirTextureCannotBeMade) {
    constexpr std::uint32_t kColour = 0x00641E3Cu;
    for (const bool glow : {true, false}) {
        SCOPED_TRACE(glow ? "glow without its work texture" : "monochrome without its copy");
        RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
        target->Begin(kColour);
        sys::GpuHooks().FailNext(sys::GpuCreateKind::Texture);
        if (glow) {
            target->ApplyBlurBloom();
        } else {
            EXPECT_EQ(target->ApplyMonochrome(1.0f, 0xFFFFFFFFu), 0);
        }
        EXPECT_EQ(target->CurrentIndex(), 0);
        target->End();
        EXPECT_TRUE(Split(Read(*target), kW, kH, {}, 0, kColour));
        delete target;
    }
}

}  // namespace
