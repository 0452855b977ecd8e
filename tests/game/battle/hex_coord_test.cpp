#include <gtest/gtest.h>

#include <vector>

#include "engine/core/sort_array.h"
#include "game/battle/hex_coord.h"

namespace {

using namespace game;

TEST(HexCoord, PacksColumnLowAndRowHighAsSignedHalves) {
    const HexCoord hex = MakeHexCoord(-1, 37);
    EXPECT_EQ(hex.Packed(), 0x0025FFFFu);
    EXPECT_EQ(HexCoord::FromPacked(hex.Packed()), hex);
    EXPECT_EQ(HexCoord::FromPacked(0xFFFF0003u), MakeHexCoord(3, -1));
}

TEST(HexCoord, Validity) {
    struct Case {
        int column, row;
        bool valid;
    } cases[] = {{0, 37, false}, {1, 37, true},  {47, 0, true},  {48, 0, false}, {-1, 0, false},
                 {0, -1, false}, {0, 36, true},  {47, 37, true}, {46, 37, false}, {1, 38, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidHex(MakeHexCoord(c.column, c.row)), c.valid) << c.column << "/" << c.row;
    }
}

TEST(HexCoord, NeighboursFollowColumnParity) {
    struct Case {
        int column, row, direction, toColumn, toRow;
    } cases[] = {
        {2, 5, 1, 3, 5}, {3, 5, 1, 4, 4},  // the two parities of right-up
        {2, 5, 0, 2, 4}, {2, 5, 2, 3, 6}, {2, 5, 3, 2, 6}, {2, 5, 4, 1, 6}, {2, 5, 5, 1, 5},
        {3, 5, 0, 3, 4}, {3, 5, 2, 4, 5}, {3, 5, 3, 3, 6}, {3, 5, 4, 2, 5}, {3, 5, 5, 2, 4},
    };
    for (const Case& c : cases) {
        HexCoord out;
        EXPECT_TRUE(HexNeighbour(MakeHexCoord(c.column, c.row), c.direction, out));
        EXPECT_EQ(out, MakeHexCoord(c.toColumn, c.toRow)) << c.column << "/" << c.row << " dir " << c.direction;
        // Stepping back the opposite way returns.
        HexCoord back;
        EXPECT_TRUE(HexNeighbour(out, (c.direction + 3) % 6, back));
        EXPECT_EQ(back, MakeHexCoord(c.column, c.row));
    }
}

TEST(HexCoord, StepsOffTheGridAndBadDirections) {
    HexCoord out;
    EXPECT_FALSE(HexNeighbour(MakeHexCoord(0, 0), 0, out));
    EXPECT_EQ(out, MakeHexCoord(0, -1));  // the invalid hex is written
    EXPECT_FALSE(HexNeighbour(MakeHexCoord(0, 36), 3, out));
    EXPECT_EQ(out, MakeHexCoord(0, 37));
    for (int direction : {6, -1}) {
        EXPECT_FALSE(HexNeighbour(MakeHexCoord(5, 5), direction, out));
        EXPECT_EQ(out, MakeHexCoord(5, 5));  // the start is written
    }
    EXPECT_FALSE(HexNeighbour(MakeHexCoord(48, 5), 0, out));
    EXPECT_EQ(out, MakeHexCoord(48, 5));
}

TEST(HexCoord, HexToWorld) {
    engine::Vec2 a = HexToWorld(MakeHexCoord(0, 0));
    EXPECT_NEAR(a.x, -20.351f, 1e-4f);
    EXPECT_NEAR(a.y, 18.0f, 1e-5f);
    engine::Vec2 b = HexToWorld(MakeHexCoord(1, 0));
    EXPECT_NEAR(b.x, -19.485f, 1e-4f);
    EXPECT_NEAR(b.y, 18.5f, 1e-5f);
    // Neighbouring centres are one unit apart.
    for (int d = 0; d < 6; ++d) {
        HexCoord n;
        ASSERT_TRUE(HexNeighbour(MakeHexCoord(10, 10), d, n));
        EXPECT_NEAR(HexToWorld(n).Distance(HexToWorld(MakeHexCoord(10, 10))), 1.0f, 0.001f) << d;
    }
}

TEST(HexCoord, Headings) {
    const int angles[] = {90, 30, 330, 270, 210, 150};
    for (int d = 0; d < 6; ++d) EXPECT_EQ(DirectionToAngle(d), angles[d]);
    struct Case {
        float degrees;
        int snapped;
    } cases[] = {{-2.4f, 0}, {357.6f, 0}, {-370.0f, 350}, {720.0f, 0}, {2.5f, 5},
                 {-373.0f, 345}, {1e9f, 280}, {-1e9f, 80}, {47.4f, 45}, {47.6f, 50}};
    for (const Case& c : cases) EXPECT_EQ(SnapAngle5(c.degrees), c.snapped) << c.degrees;
}

TEST(HexCoord, HexDistanceIsTheComputerPlayersMeasure) {
    EXPECT_EQ(HexDistance(MakeHexCoord(0, 0), MakeHexCoord(3, 2)), 3);
    EXPECT_EQ(HexDistance(MakeHexCoord(0, 0), MakeHexCoord(3, -2)), 5);
    // The left-down neighbour of an even column is 2 away by this measure.
    EXPECT_EQ(HexDistance(MakeHexCoord(2, 2), MakeHexCoord(1, 3)), 2);
    EXPECT_EQ(HexDistance(MakeHexCoord(4, 4), MakeHexCoord(4, 4)), 0);
}

TEST(HexCoord, CompareHexDistanceSortsStably) {
    std::vector<HexDistancePair> pairs = {{MakeHexCoord(1, 0), 2.0f}, {MakeHexCoord(2, 0), 1.0f},
                                          {MakeHexCoord(3, 0), 2.0f}, {MakeHexCoord(4, 0), 0.5f}};
    engine::SortArray(pairs.data(), 4, sizeof(HexDistancePair), CompareHexDistance);
    const int order[] = {4, 2, 1, 3};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(pairs[static_cast<std::size_t>(i)].hex.column, order[i]);
}

TEST(HexCoord, ParseHexLabel) {
    struct Good {
        const char* text;
        int column, row;
    } good[] = {{"b12", 12, 1}, {"AC5", 5, 28},  {"AC05", 5, 28}, {" b12", 12, 1}, {"AC5 ", 5, 28},
                {"\tA0 ", 0, 0}, {"ak47", 47, 36}, {"AL1", 1, 37},  {"Z9", 9, 25}};
    for (const Good& g : good) {
        HexCoord out = MakeHexCoord(-7, -7);
        EXPECT_TRUE(ParseHexLabel(g.text, out)) << g.text;
        EXPECT_EQ(out, MakeHexCoord(g.column, g.row)) << g.text;
    }
    const char* bad[] = {"5A", "B@5", "BC5", "AM5", "A48", "AL0", "AC123", "", "  ", "B", "B1 2", "AB", "B-1"};
    for (const char* text : bad) {
        HexCoord out = MakeHexCoord(-7, -7);
        EXPECT_FALSE(ParseHexLabel(text, out)) << '"' << text << '"';
        EXPECT_EQ(out, MakeHexCoord(-7, -7)) << text;
    }
}

}  // namespace
