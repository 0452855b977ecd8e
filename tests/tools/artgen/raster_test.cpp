// The rasteriser's coverage is the covered share of each pixel; drawings are repeatable; the colour bleed
// leaves no dark fringe.
#include <gtest/gtest.h>

#include <cmath>

#include "artgen/art_book.h"
#include "artgen/raster.h"
#include "artgen/sheet_builder.h"
#include "mappictures/map_pictures.h"

namespace artgen {
namespace {

struct HalfCase {
    const char* what;
    Outline outline;
    int x;
    int y;
    double expected;
};

TEST(ArtRaster, CoverageIsTheCoveredAreaOfEachPixel) {
    const HalfCase cases[] = {
        {"left half of a pixel", RectOutline(1.0, 1.0, 0.5, 1.0), 1, 1, 0.5},
        {"top half of a pixel", RectOutline(1.0, 1.0, 1.0, 0.5), 1, 1, 0.5},
        {"diagonal half", Outline{{1.0, 1.0}, {2.0, 1.0}, {1.0, 2.0}}, 1, 1, 0.5},
        {"diagonal half, other winding", Outline{{1.0, 1.0}, {1.0, 2.0}, {2.0, 1.0}}, 1, 1, 0.5},
        {"quarter across four pixels", RectOutline(1.5, 1.5, 1.0, 1.0), 1, 1, 0.25},
        {"a triangle's thin tip", Outline{{0.0, 1.0}, {4.0, 1.0}, {0.0, 2.0}}, 3, 1, 1.0 / 8.0},
        {"fully inside", RectOutline(0.0, 0.0, 4.0, 4.0), 2, 2, 1.0},
        {"outside, left of the canvas", RectOutline(-3.0, 0.0, 3.5, 4.0), 0, 1, 0.5},
    };
    for (const HalfCase& c : cases) {
        Mask mask(4, 4);
        mask.AddOutline(c.outline);
        EXPECT_NEAR(mask.At(c.x, c.y), c.expected, 1.0 / 255.0) << c.what;
    }
}

TEST(ArtRaster, ACircleCoversItsArea) {
    Mask mask(40, 40);
    mask.AddOutline(EllipseOutline(20.3, 19.7, 15.0, 15.0));
    double sum = 0.0;
    for (float c : mask.coverage) sum += c;
    EXPECT_NEAR(sum, 3.14159265358979 * 225.0, 0.2);
}

TEST(ArtRaster, CutShapesLeaveHoles) {
    Mask mask(10, 10);
    mask.AddOutline(RectOutline(0, 0, 10, 10));
    mask.CutOutline(RectOutline(2, 2, 6, 6));
    EXPECT_EQ(mask.At(5, 5), 0.0f);
    EXPECT_EQ(mask.At(0, 5), 1.0f);
}

TEST(ArtRaster, GradientsRunBetweenTheirEnds) {
    Paint paint;
    paint.kind = Paint::kLinear;
    paint.from = {0, 0, 0, 1};
    paint.to = {1, 1, 1, 1};
    paint.x1 = 10.0;
    EXPECT_NEAR(paint.At(5.0, 3.0).r, 0.5, 1e-9);
    EXPECT_NEAR(paint.At(-4.0, 3.0).r, 0.0, 1e-9);
    EXPECT_NEAR(paint.At(14.0, 3.0).r, 1.0, 1e-9);
    paint.kind = Paint::kRadial;
    paint.radius = 4.0;
    EXPECT_NEAR(paint.At(0.0, 2.0).g, 0.5, 1e-9);
}

const char kPicture[] =
    "picture test 48 40\n"
    "fill radial(red,black@0,24,20,20) circle 24 20 18\n"
    "fill linear(white,red,0,0,48,0) poly 3 3 40 8 12 37\n"
    "fill red@128 line 3 2 30 46 4\n"
    "erase circle 30 20 5\n";

ArtBook Book() {
    const ColourNames colours{{"red", 0xFFC0302Au}, {"white", 0xFFFFFFFFu}, {"black", 0xFF000000u}};
    ArtBook book;
    std::string error;
    EXPECT_TRUE(ParseArt(kPicture, "test.art", colours, book, error)) << error;
    return book;
}

TEST(ArtRaster, TheSameSourcesGiveTheSameBytes) {
    const SheetPixels a = DrawPicture(*Book().Find(Drawing::kPicture, "test"));
    const SheetPixels b = DrawPicture(*Book().Find(Drawing::kPicture, "test"));
    mappictures::Picture pa{a.width, a.height, a.pixels};
    mappictures::Picture pb{b.width, b.height, b.pixels};
    EXPECT_EQ(mappictures::EncodePicture(pa), mappictures::EncodePicture(pb));
}

TEST(ArtRaster, BleedLeavesNoBlackNextToVisibleTexels) {
    const SheetPixels p = DrawPicture(*Book().Find(Drawing::kPicture, "test"));
    int transparent = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t c = p.At(x, y);
            if ((c >> 24) != 0) continue;
            ++transparent;
            bool nearVisible = false;
            for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const int nx = x + dx;
                const int ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < p.width && ny < p.height && (p.At(nx, ny) >> 24) != 0) nearVisible = true;
            }
            if (nearVisible) {
                EXPECT_NE(c & 0xFFFFFFu, 0u) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(transparent, 100);
}

}  // namespace
}  // namespace artgen
