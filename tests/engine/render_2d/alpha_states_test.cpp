// Alpha test and colour-write mask of textured quads and rectangles by blend mode, colour alpha and the
// texture's alpha kind, as the device's state cache holds them after the draw; and what they do to pixels.
#include "engine/render_2d/drawing_2d_fixture.h"

namespace {

using drawtest::Drawing2DTest;
using drawtest::Near;
using drawtest::RgbaOf;
using engine::IntRect;

// Left half transparent, right half opaque green.
std::uint32_t HalfKeyed(int x, int) { return x < 4 ? 0x00FF0000u : 0xFF00FF00u; }

TEST_F(Drawing2DTest, AlphaTestAndColourMaskFollowBlendColourAlphaAndAlphaKind) {
    const int handles[3] = {MakeTexture(8, 8, HalfKeyed, engine::kAlphaOpaque),
                            MakeTexture(8, 8, HalfKeyed, engine::kAlphaKeyed),
                            MakeTexture(8, 8, HalfKeyed, engine::kAlphaBlended)};
    for (const bool rect : {false, true}) {
        for (const int blend : {0, 1, 3, 4}) {
            for (const std::uint32_t alpha : {255u, 128u}) {
                for (int kind = 0; kind < 3; ++kind) {
                    SCOPED_TRACE(testing::Message() << (rect ? "rect" : "quad") << " blend " << blend << " alpha "
                                                    << alpha << " kind " << kind);
                    // Start from the opposite of what is expected, so every state must be written.
                    device_->SetAlphaTest(1, 77);
                    device_->SetColourWriteMask(0);
                    const std::uint32_t colour = (alpha << 24) | 0xFFFFFFu;
                    if (rect) {
                        drawing_->DrawTextureRect(Target(), IntRect{0, 0, 8, 8}, IntRect{0, 0, 8, 8},
                                                  handles[kind], colour, blend, 0);
                    } else {
                        drawing_->DrawTexture(Target(), 0.0f, 0.0f, handles[kind], colour, blend, 0);
                    }
                    // Expected: blend 0 keeps the texture's own mode (rectangles only for an opaque colour);
                    // blends 3 and 4 test against 1; other blends keep it only for an opaque colour.
                    int mode = kind;
                    if (blend == 3 || blend == 4) mode = 2;
                    if ((blend == 1 || (blend == 0 && rect)) && alpha != 255) mode = 2;
                    EXPECT_EQ(device_->CachedRenderState(sys::kRsAlphaTestEnable), mode != 0 ? 1u : 0u);
                    if (mode != 0) {
                        EXPECT_EQ(device_->CachedRenderState(sys::kRsAlphaRef), mode == 1 ? 254u : 1u);
                    }
                    EXPECT_EQ(device_->CachedRenderState(sys::kRsColorWriteEnable), blend == 0 ? 15u : 7u);
                    EXPECT_EQ(device_->CachedRenderState(sys::kRsAlphaBlendEnable), blend == 0 ? 0u : 1u);
                    EXPECT_EQ(device_->CachedRenderState(sys::kRsZEnable), 0u);
                }
            }
        }
    }
}

TEST_F(Drawing2DTest, AKeyedTextureLeavesItsTransparentTexelsUndrawn) {
    const int handle = MakeTexture(8, 8, HalfKeyed, engine::kAlphaKeyed);
    drawing_->DrawTexture(Target(), 0.0f, 0.0f, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
    const auto picture = Read();
    EXPECT_EQ(At(picture, 1, 1), RgbaOf(kClear));
    EXPECT_EQ(At(picture, 6, 1), RgbaOf(0xFF00FF00u));
}

TEST_F(Drawing2DTest, AlphaBlendingMixesTheColourAndKeepsTheTargetAlpha) {
    const int handle = MakeTexture(8, 8, [](int, int) { return 0xFFFFFFFFu; });
    Clear(0x40102030u);
    const std::uint32_t colour = 0x80F08040u;
    drawing_->DrawTexture(Target(), 0.0f, 0.0f, handle, colour, engine::kBlendAlpha, 0);
    const auto src = RgbaOf(colour), dst = RgbaOf(0x40102030u);
    const double a = src[3] / 255.0;
    drawtest::Rgba expected{};
    for (int c = 0; c < 3; ++c) expected[c] = static_cast<int>(std::lround(src[c] * a + dst[c] * (1.0 - a)));
    expected[3] = dst[3];
    EXPECT_TRUE(Near(At(Read(), 3, 3), expected, 1));
}

}  // namespace
