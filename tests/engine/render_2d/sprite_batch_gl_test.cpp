// Sprite batches on the engine's graphics device: glyph quads drawn 1:1 with premultiplied blending.
#include "engine/render/device_sprite_bindings.h"
#include "engine/render/sprite_batch.h"
#include "engine/render_2d/drawing_2d_fixture.h"

namespace {

using drawtest::Drawing2DTest;
using drawtest::Near;
using drawtest::Rgba;
using drawtest::RgbaOf;
using engine::IntRect;

// A premultiplied glyph sheet: transparent, opaque white and half-covered texels.
std::uint32_t Glyph(int x, int y) {
    switch ((x + 2 * y) % 3) {
        case 0: return 0x00000000u;
        case 1: return 0xFFFFFFFFu;
        default: return 0x80808080u;
    }
}

class SpriteBatchGlTest : public Drawing2DTest {
protected:
    void SetUp() override {
        Drawing2DTest::SetUp();
        bindings_ = std::make_unique<engine::DeviceSpriteBindings>(*device_, *vertexShaders_, *pixelShaders_);
    }
    void TearDown() override {
        bindings_.reset();
        Drawing2DTest::TearDown();
    }

    std::unique_ptr<engine::SpriteBatch> MakeBatch(int handle, int size) {
        auto batch = std::make_unique<engine::SpriteBatch>(*device_, *bindings_);
        batch->SetTexture(static_cast<std::uint32_t>(handle), size, size);
        batch->SetTargetSize(kTargetWidth, kTargetHeight);
        return batch;
    }

    std::unique_ptr<engine::DeviceSpriteBindings> bindings_;
};

TEST_F(SpriteBatchGlTest, AGlyphRectangleAppearsOneToOneWithPremultipliedColour) {
    const int handle = MakeTexture(16, 16, Glyph, engine::kAlphaBlended);
    auto batch = MakeBatch(handle, 16);
    const std::uint32_t colour = 0xC0C06030u;  // premultiplied: no channel above the alpha
    const IntRect source{3, 2, 7, 5};
    batch->Begin();
    batch->AddQuad(10.0f, 5.0f, colour, source);
    batch->End(false);

    for (int reg = 0; reg < 4; ++reg) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(vertexShaders_->Register(reg)[c], reg == c ? 1.0f : 0.0f);
    }
    const auto picture = Read();
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{10, 5, 7, 5}));
    const Rgba tint = RgbaOf(colour), background = RgbaOf(kClear);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            const Rgba texel = RgbaOf(Glyph(source.x + x, source.y + y));
            const double alpha = texel[3] * tint[3] / (255.0 * 255.0);
            Rgba expected{};
            for (int c = 0; c < 3; ++c) {
                expected[c] = static_cast<int>(
                    std::lround(texel[c] * tint[c] / 255.0 + background[c] * (1.0 - alpha)));
            }
            expected[3] = background[3];
            ASSERT_TRUE(Near(At(picture, 10 + x, 5 + y), expected, 1)) << x << ", " << y;
        }
    }
}

TEST_F(SpriteBatchGlTest, TwoInterleavedBatchesBothDrawTheirQuads) {
    const int handle = MakeTexture(4, 4, [](int, int) { return 0xFFFFFFFFu; });
    auto outer = MakeBatch(handle, 4);
    auto inner = MakeBatch(handle, 4);
    outer->Begin();
    outer->AddQuad(2.0f, 2.0f, 0xFFFF0000u, IntRect{0, 0, 4, 4});
    inner->Begin();
    inner->AddQuad(20.0f, 2.0f, 0xFF00FF00u, IntRect{0, 0, 4, 4});
    inner->End(false);
    outer->AddQuad(2.0f, 20.0f, 0xFF0000FFu, IntRect{0, 0, 4, 4});
    outer->End(false);
    const auto picture = Read();
    const Rgba alpha = RgbaOf(kClear);
    EXPECT_EQ(At(picture, 3, 3), (Rgba{255, 0, 0, alpha[3]}));
    EXPECT_EQ(At(picture, 21, 3), (Rgba{0, 255, 0, alpha[3]}));
    EXPECT_EQ(At(picture, 3, 21), (Rgba{0, 0, 255, alpha[3]}));
}

TEST_F(SpriteBatchGlTest, AFullBatchAndTheQuadAfterItAllDraw) {
    const int handle = MakeTexture(4, 4, [](int, int) { return 0xFFFFFFFFu; });
    auto batch = MakeBatch(handle, 4);
    batch->Begin();
    // 257 one-pixel quads: 256 in the first draw, the last one in the second.
    for (int i = 0; i <= engine::SpriteBatch::kMaxQuads; ++i) {
        batch->AddQuad(static_cast<float>(i % 64), static_cast<float>(i / 64), 0xFFFFFFFFu, IntRect{0, 0, 1, 1});
    }
    batch->End(false);
    const auto picture = Read();
    for (int i = 0; i <= engine::SpriteBatch::kMaxQuads; ++i) {
        ASSERT_EQ(At(picture, i % 64, i / 64), (Rgba{255, 255, 255, 255})) << i;
    }
    EXPECT_EQ(At(picture, 2, 4), RgbaOf(kClear));
}

}  // namespace
