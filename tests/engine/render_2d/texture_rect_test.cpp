// Source rectangles drawn into destination rectangles: 1:1 blits, mirroring by a negative width, the
// filtering rule, and sprites (a source rectangle at a scale).
#include "engine/render_2d/drawing_2d_fixture.h"

namespace {

using drawtest::Drawing2DTest;
using drawtest::Near;
using drawtest::NoiseTexel;
using drawtest::RgbaOf;
using engine::IntRect;

constexpr int kTexture = 8;

TEST_F(Drawing2DTest, ARectangleBlitsItsSourceOneToOneWithPointFiltering) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    drawing_->DrawTextureRect(Target(), IntRect{10, 4, 5, 3}, IntRect{2, 1, 5, 3}, handle, 0xFFFFFFFFu,
                              engine::kBlendOff, 0);
    EXPECT_EQ(Gpu().GetSamplerState(0, sys::kSampMagFilter), sys::kFilterPoint);
    const auto picture = Read();
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) ASSERT_EQ(At(picture, 10 + x, 4 + y), RgbaOf(NoiseTexel(2 + x, 1 + y)));
    }
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{10, 4, 5, 3}));
}

TEST_F(Drawing2DTest, ANegativeWidthMirrorsLeftToRight) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    struct Case {
        IntRect destination, source;
    };
    const Case cases[] = {{{3, 2, -8, 8}, {0, 0, 8, 8}}, {{20, 10, -5, 3}, {2, 1, 5, 3}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination.x);
        Clear(kClear);
        drawing_->DrawTextureRect(Target(), c.destination, c.source, handle, 0xFFFFFFFFu, engine::kBlendOff, 0);
        // Still the 1:1 case, so point filtering: the flipped reference exactly.
        EXPECT_EQ(Gpu().GetSamplerState(0, sys::kSampMagFilter), sys::kFilterPoint);
        const auto picture = Read();
        const int width = -c.destination.width;
        for (int y = 0; y < c.source.height; ++y) {
            for (int x = 0; x < width; ++x) {
                const auto expected = RgbaOf(NoiseTexel(c.source.x + width - 1 - x, c.source.y + y));
                ASSERT_EQ(At(picture, c.destination.x + x, c.destination.y + y), expected) << x << ", " << y;
            }
        }
        EXPECT_TRUE(UntouchedOutside(picture, IntRect{c.destination.x, c.destination.y, width, c.source.height}));
    }
}

TEST_F(Drawing2DTest, OnlyAOneToOneRectangleOrAPointSamplingTargetFiltersByPoint) {
    const int handle = MakeTexture(kTexture, kTexture, NoiseTexel);
    struct Case {
        IntRect destination;
        bool pointTarget;
        std::uint32_t filter;
    };
    const Case cases[] = {{{0, 0, 8, 8}, false, sys::kFilterPoint},   {{0, 0, -8, 8}, false, sys::kFilterPoint},
                          {{0, 0, 16, 8}, false, sys::kFilterLinear}, {{0, 0, 8, 9}, false, sys::kFilterLinear},
                          {{0, 0, 16, 16}, true, sys::kFilterPoint}};
    for (const Case& c : cases) {
        drawing_->DrawTextureRect(Target(c.pointTarget), c.destination, IntRect{0, 0, 8, 8}, handle, 0xFFFFFFFFu,
                                  engine::kBlendOff, 0);
        EXPECT_EQ(Gpu().GetSamplerState(0, sys::kSampMagFilter), c.filter)
            << c.destination.width << " x " << c.destination.height << (c.pointTarget ? " point target" : "");
        EXPECT_EQ(Gpu().GetSamplerState(0, sys::kSampAddressU), 3u);
    }
}

// Four solid quadrants in the source rectangle (2, 2, 4, 4) of an 8 x 8 texture whose border is black.
std::uint32_t Quadrants(int x, int y) {
    if (x < 2 || y < 2 || x >= 6 || y >= 6) return 0xFF000000u;
    static constexpr std::uint32_t kColours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
    return kColours[(x >= 4 ? 1 : 0) + (y >= 4 ? 2 : 0)];
}

TEST_F(Drawing2DTest, DrawSpriteIsTheSourceRectangleOneToOne) {
    const int handle = MakeTexture(kTexture, kTexture, Quadrants);
    drawing_->DrawSprite(Target(), 30, 5, handle, IntRect{2, 2, 4, 4});
    const auto picture = Read();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) ASSERT_EQ(At(picture, 30 + x, 5 + y), RgbaOf(Quadrants(2 + x, 2 + y)));
    }
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{30, 5, 4, 4}));
}

TEST_F(Drawing2DTest, DrawSpriteScaledAtTwoDrawsTheSourceRectangleTwiceAsLarge) {
    const int handle = MakeTexture(kTexture, kTexture, Quadrants);
    drawing_->DrawSpriteScaled(Target(), 10, 10, handle, 2.0f, 2.0f, IntRect{2, 2, 4, 4});
    const auto picture = Read();
    EXPECT_TRUE(UntouchedOutside(picture, IntRect{10, 10, 8, 8}));
    // Linear filtering: the pixels whose samples fall between two texels of one quadrant are that quadrant's
    // colour exactly; each quadrant covers 4 x 4 pixels.
    for (const int y : {1, 2, 5, 6}) {
        for (const int x : {1, 2, 5, 6}) {
            ASSERT_TRUE(Near(At(picture, 10 + x, 10 + y), RgbaOf(Quadrants(2 + x / 2, 2 + y / 2)), 0))
                << x << ", " << y;
        }
    }
}

TEST_F(Drawing2DTest, DrawSpriteScaledWithAnInvalidHandleDrawsNothing) {
    drawing_->DrawSpriteScaled(Target(), 10, 10, 5, 2.0f, 2.0f, IntRect{0, 0, 4, 4});
    drawing_->DrawSprite(Target(), 10, 10, 0, IntRect{0, 0, 4, 4});
    EXPECT_TRUE(UntouchedOutside(Read(), IntRect{}));
}

}  // namespace
