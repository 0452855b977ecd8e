// Flat and gradient rectangles and raw triangle lists.
#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"
#include "engine/render_2d/drawing_2d_fixture.h"

namespace {

using drawtest::Drawing2DTest;
using drawtest::Near;
using drawtest::NoiseTexel;
using drawtest::Rgba;
using drawtest::RgbaOf;
using engine::IntRect;

TEST_F(Drawing2DTest, FillRectCoversExactlyItsRectangle) {
    drawing_->FillRect(Target(), IntRect{7, 5, 11, 9}, 0xFF20C040u, engine::kBlendOff);
    const auto picture = Read();
    for (int y = 5; y < 14; ++y) {
        for (int x = 7; x < 18; ++x) ASSERT_EQ(At(picture, x, y), RgbaOf(0xFF20C040u)) << x << ", " << y;
    }
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{7, 5, 11, 9}));
    EXPECT_EQ(device_->CachedRenderState(sys::kRsAlphaTestEnable), 0u);
    EXPECT_EQ(device_->CachedRenderState(sys::kRsColorWriteEnable), 15u);
}

TEST_F(Drawing2DTest, ABlendedFillMixesAndKeepsTheTargetAlpha) {
    const std::uint32_t background = 0x40102030u, colour = 0x80F08040u;
    Clear(background);
    drawing_->FillRect(Target(), IntRect{0, 0, 4, 4}, colour, engine::kBlendAlpha);
    EXPECT_EQ(device_->CachedRenderState(sys::kRsColorWriteEnable), 7u);
    const Rgba src = RgbaOf(colour), dst = RgbaOf(background);
    const double a = src[3] / 255.0;
    Rgba expected{};
    for (int c = 0; c < 3; ++c) expected[c] = static_cast<int>(std::lround(src[c] * a + dst[c] * (1.0 - a)));
    expected[3] = dst[3];
    EXPECT_TRUE(Near(At(Read(), 2, 2), expected, 1));
}

TEST_F(Drawing2DTest, AGradientTakesItsCornerColoursAtItsCorners) {
    const std::uint32_t topLeft = 0xFFFF0000u, topRight = 0xFF00FF00u, bottomLeft = 0xFF0000FFu,
                        bottomRight = 0xFFFFFFFFu;
    const IntRect rect{8, 8, 40, 30};
    drawing_->FillRectGradient(Target(), rect, topLeft, topRight, bottomLeft, bottomRight, engine::kBlendOff);
    const auto picture = Read();
    EXPECT_TRUE(UntouchedOutside(picture, rect));
    // Pixel centres lie up to 0.65 pixels inside the corners, which moves them up to 4% of the way along each
    // side of 30 or 40 pixels: within a dozen steps of the corner colours.
    EXPECT_TRUE(Near(At(picture, 8, 8), RgbaOf(topLeft), 12));
    EXPECT_TRUE(Near(At(picture, 47, 8), RgbaOf(topRight), 12));
    EXPECT_TRUE(Near(At(picture, 8, 37), RgbaOf(bottomLeft), 12));
    EXPECT_TRUE(Near(At(picture, 47, 37), RgbaOf(bottomRight), 12));
    // Halfway along the top edge: half red, half green.
    EXPECT_TRUE(Near(At(picture, 28, 8), Rgba{124, 131, 0, 255}, 8));
}

// One triangle over the whole target, in clip space.
constexpr float kCover[3][2] = {{-1.0f, 1.0f}, {3.0f, 1.0f}, {-1.0f, -3.0f}};

TEST_F(Drawing2DTest, ColouredTrianglesDrawAndLaterQuadsStillReachTheirBuffer) {
    engine::ColouredVertex vertices[3];
    for (int i = 0; i < 3; ++i) vertices[i] = engine::ColouredVertex{kCover[i][0], kCover[i][1], 0.0f, 0xFF00FF00u};
    // A quad first, so that the dynamic buffer is the cached stream 0 when the triangles draw from memory.
    const int handle = MakeTexture(8, 8, NoiseTexel);
    drawing_->DrawTexture(Target(), 40.0f, 30.0f, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
    drawing_->DrawTriangles(Target(), engine::kVertexColour, 1, vertices, 0);
    EXPECT_EQ(At(Read(), 45, 35), RgbaOf(0xFF00FF00u));
    EXPECT_EQ(device_->CachedRenderState(sys::kRsCullMode), static_cast<std::uint32_t>(sys::kCullNone));
    // The next quad from the dynamic buffer has to bind the buffer again.
    drawing_->DrawTexture(Target(), 40.0f, 30.0f, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
    const auto picture = Read();
    EXPECT_EQ(At(picture, 40, 30), RgbaOf(NoiseTexel(0, 0)));
    EXPECT_EQ(At(picture, 47, 37), RgbaOf(NoiseTexel(7, 7)));
}

struct TexturedVertex {
    float x, y, z;
    std::uint32_t uv;
};

TEST_F(Drawing2DTest, TexturedTrianglesSampleTheirTextureAndHandleZeroEmptiesStageZero) {
    const int handle = MakeTexture(4, 4, [](int, int) { return 0xFFC08040u; });
    TexturedVertex vertices[3];
    for (int i = 0; i < 3; ++i) {
        vertices[i] = TexturedVertex{kCover[i][0], kCover[i][1], 0.0f, engine::PackUV(i == 1 ? 2.0f : 0.0f,
                                                                                     i == 2 ? 2.0f : 0.0f)};
    }
    drawing_->DrawTriangles(Target(), engine::kVertexTexture, 1, vertices, static_cast<std::uint32_t>(handle));
    EXPECT_EQ(At(Read(), 20, 20), RgbaOf(0xFFC08040u));
    EXPECT_NE(Gpu().GetTexture(0), nullptr);

    drawing_->DrawTriangles(Target(), engine::kVertexTexture, 1, vertices, 0);
    EXPECT_EQ(Gpu().GetTexture(0), nullptr);
    // A quad afterwards binds its own texture again.
    drawing_->DrawTexture(Target(), 0.0f, 0.0f, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
    EXPECT_NE(Gpu().GetTexture(0), nullptr);
}

TEST_F(Drawing2DTest, TrianglesOfAnotherFormatOrNoneDrawNothing) {
    engine::ColouredVertex vertices[3];
    for (int i = 0; i < 3; ++i) vertices[i] = engine::ColouredVertex{kCover[i][0], kCover[i][1], 0.0f, 0xFFFFFFFFu};
    drawing_->DrawTriangles(Target(), engine::kVertexMesh, 1, vertices, 0);
    drawing_->DrawTriangles(Target(), engine::kVertexColour, 0, vertices, 0);
    drawing_->DrawTriangles(Target(), engine::kVertexColour, 1, nullptr, 0);
    EXPECT_TRUE(UntouchedOutside(Read(), IntRect{}));
}

}  // namespace
