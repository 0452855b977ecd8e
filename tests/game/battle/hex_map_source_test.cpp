#include <gtest/gtest.h>

#include <sstream>

#include "battle_fakes.h"

namespace {

using namespace battle_test;

// The lines that carry content: comments and blank lines dropped.
std::vector<std::string> Significant(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

const char* const kSource = R"(# A small test island.
weather 3
grid 6 5
W0 W0 W0 W0 W0 W0
W0 S0 L0 L1 S0 W0
W0 L0 L0 L2 L0 W0
W0 S0 R0 L1 X0 W0
W0 W0 W0 W0 W0 .
overlay B2
overlay C1
height C3 0.8
height D2 -0.25
feature C3 2
feature D4 6 owner 1
structure B2 2 owner 1 mirrored
structure D1 1
structure D3 7 owner 2
unit C4 3 owner 2 immobile
unit D5 10 owner 1
)";

TEST(HexMapSource, BuildThenDumpGivesTheSourceBack) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(BuildHexMapFromSource(kSource, bytes, error)) << error;
    HexFileImage image;
    ASSERT_TRUE(DecodeHexMapImage(bytes.data(), bytes.size(), image));
    EXPECT_EQ(image.header.version, 12);
    EXPECT_EQ(image.header.weather, 3);
    std::string dumped;
    ASSERT_TRUE(FormatHexMapSource(image, dumped, error)) << error;
    EXPECT_EQ(Significant(dumped), Significant(kSource)) << dumped;

    // Heights default to the stored level x 0.25; the raised feature's level counts.
    EXPECT_FLOAT_EQ(image.At(3, 1).height, 2 * 0.25f);
    EXPECT_FLOAT_EQ(image.At(1, 1).height, 1 * 0.25f);  // shore: stored level 1
    EXPECT_FLOAT_EQ(image.At(3, 2).height, 0.8f);
    EXPECT_EQ(image.At(2, 1).mirrored, 1);
    EXPECT_EQ(image.At(4, 2).immobile, 1);
    EXPECT_EQ(image.At(1, 2).overlay, 1);

    HexMap map;
    ASSERT_TRUE(LoadHexMapFromMemory(map, bytes.data(), bytes.size()));
    EXPECT_EQ(map.GetTile(H(2, 1)).objectType, kStructureFactory);
}

// A feature's top is its tile's height: without a height line the tile stands as high as what is on it,
// and the dump writes no height line for that default.
TEST(HexMapSource, FeatureTilesDefaultToTheHeightOfWhatStandsOnThem) {
    const char* const source = "grid 7 1\nL1 L1 L1 L1 L0 L1 L1\noverlay A5\nfeature A0 1\nfeature A1 3\n"
                               "feature A2 5\nfeature A3 6\nfeature A4 2\nfeature A5 1\nfeature A6 8\n";
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(BuildHexMapFromSource(source, bytes, error)) << error;
    HexFileImage image;
    ASSERT_TRUE(DecodeHexMapImage(bytes.data(), bytes.size(), image));
    const float expected[7] = {0.5f + 1.0f, 0.5f + 0.5f, 0.5f + 1.0f, 0.5f, 0.25f, 0.5f, 0.5f + 1.0f};
    for (int column = 0; column < 7; ++column) {
        EXPECT_FLOAT_EQ(image.At(column, 0).height, expected[column]) << "column " << column;
    }
    std::string dumped;
    ASSERT_TRUE(FormatHexMapSource(image, dumped, error)) << error;
    EXPECT_EQ(dumped.find("height"), std::string::npos) << dumped;
}

TEST(HexMapSource, RegionsJoinLandWithinOneLevelAndWaterApart) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(BuildHexMapFromSource(kSource, bytes, error)) << error;
    HexFileImage image;
    ASSERT_TRUE(DecodeHexMapImage(bytes.data(), bytes.size(), image));
    // Stored levels: shore 1, L0 and R0 0, L1 2, the raised feature on L2 at C3 5. The water ring is
    // region 1 (its first tile is A0); the low land and shore of the west are 2; the L1 at B3 joins
    // the shore B4 (1) and C4 (0) through steps of one, but not the low land west of it: 3; the raised
    // feature stands alone: 4; D3 (2) has no neighbour within one level: 5. Blocked and empty tiles get 0.
    const int expected[5][6] = {
        {1, 1, 1, 1, 1, 1},
        {1, 2, 2, 3, 3, 1},
        {1, 2, 2, 4, 3, 1},
        {1, 2, 2, 5, 0, 1},
        {1, 1, 1, 1, 1, 0},
    };
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 6; ++c) EXPECT_EQ(image.At(c, r).regionId, expected[r][c]) << c << "/" << r;
    }
}

TEST(HexMapSource, MoreThan255RegionsAreRefused) {
    // Isolated land tiles on water: every land tile is its own region.
    std::string source = "weather 2\ngrid 48 38\n";
    int land = 0;
    for (int r = 0; r < 38; ++r) {
        for (int c = 0; c < 48; ++c) {
            const bool isLand = r % 2 == 0 && c % 2 == 1;
            land += isLand ? 1 : 0;
            source += (r == 37 && c % 2 == 0) ? "." : (isLand ? "L0" : "W0");
            source += c < 47 ? " " : "\n";
        }
    }
    ASSERT_GT(land + 1, 255);
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(BuildHexMapFromSource(source, bytes, error));
    EXPECT_NE(error.find("255 regions"), std::string::npos) << error;
}

TEST(HexMapSource, RefusesWhatTheGameWouldMisread) {
    const std::string base = UniformSource(8, 8, "L0");
    struct Case {
        const char* what;
        std::string extra;
        const char* tile;  // named in the message
    } cases[] = {
        {"structure on a footprint", "structure C3 2\nstructure D3 9\n", "D3"},
        {"structure on a mirrored footprint", "structure C3 2 mirrored\nstructure C2 9\n", "C2"},
        {"unit on a footprint", "structure C2 6\nunit D3 1\n", "D3"},
        {"feature on a footprint", "structure C4 10\nfeature D4 1\n", "D4"},
        {"footprint off the map, below", "structure H3 5\n", "H3"},
        {"footprint off the grid, right", "structure B7 3\n", "B7"},
        {"overlapping footprints", "structure B3 2\nstructure B5 4 mirrored\n", "B4"},
        {"pad alone", "structure E5 1\n", "E5"},
        {"pad beside a radio", "structure E5 1\nstructure E6 9\n", "E5"},
        {"pad beside a footprint of an HQ", "structure C3 6\nstructure E3 1\n", "E3"},
        {"object on an invalid hex", "unit AL0 1\n", "AL0"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        EXPECT_FALSE(BuildHexMapFromSource(base + c.extra, bytes, error)) << c.what;
        EXPECT_NE(error.find(c.tile), std::string::npos) << c.what << ": " << error;
    }
    // A footprint without terrain.
    std::string holes = base;
    holes.replace(holes.find("grid 8 8\n") + 9 + 3 * 3 * 8 + 2 * 3, 2, ". ");  // D2 (row 3, column 2)
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(BuildHexMapFromSource(holes + "structure C2 2 mirrored\n", bytes, error));
    EXPECT_NE(error.find("no terrain"), std::string::npos) << error;

    // And what is fine: pads beside producers, a RepairS, a SupplyShed or a producer's footprint.
    for (const char* extra : {"structure C3 2\nstructure B3 1\n", "structure C3 7\nstructure C4 1\n",
                              "structure C3 11\nstructure B3 1\n", "structure C3 2\nstructure E3 1\n",
                              "structure C3 5 mirrored\nstructure D1 1\n"}) {
        EXPECT_TRUE(BuildHexMapFromSource(base + extra, bytes, error)) << extra << ": " << error;
    }
}

TEST(HexMapSource, TerrainOffTheGridAndOversizedGridsAreRefused) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    // Row 37 of column 0 is off the grid.
    std::string source = UniformSource(2, 38, "L0");
    source.replace(source.rfind("\n. L0"), 5, "\nL0 L0");
    EXPECT_FALSE(BuildHexMapFromSource(source, bytes, error));
    EXPECT_NE(error.find("AL0"), std::string::npos) << error;
    EXPECT_FALSE(BuildHexMapFromSource(UniformSource(49, 2, "L0"), bytes, error));
    EXPECT_NE(error.find("48 x 38"), std::string::npos) << error;
}

// What the builder writes, the game loads: a map the game's reader would refuse is refused with its reason.
TEST(HexMapSource, TheBuilderRefusesWhatTheGameRefuses) {
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    } cases[] = {
        {"one empty hex", "grid 1 1\n.\n", "no tile"},
        {"only empty hexes", "weather 2\ngrid 3 2\n. . .\n. . .\n", "no tile"},
        {"a height that is no number", "grid 2 1\nL0 L0\nheight A1 nan\n", "A1: a height"},
        {"an endless height", "grid 2 1\nL0 L0\nheight A0 inf\n", "A0: a height"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes{1, 2, 3};
        std::string error;
        EXPECT_FALSE(BuildHexMapFromSource(c.text, bytes, error)) << c.what;
        EXPECT_NE(error.find("the game would refuse the map"), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(bytes.empty()) << c.what;
    }
}

TEST(HexMapSource, ParseErrorsNameTheLine) {
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    } cases[] = {
        {"no grid", "weather 2\n", "no grid"},
        {"bad cell", "grid 2 1\nL0 Q0\n", "line 2"},
        {"short row", "grid 3 1\nL0 L0\n", "line 2"},
        {"missing row", "grid 1 2\nL0\n", "fewer rows"},
        {"unknown line", "grid 1 1\nL0\nbridge A0\n", "line 3"},
        {"tile outside the grid", "grid 2 2\nL0 L0\nL0 L0\nunit C0 1\n", "outside"},
        {"two objects", "grid 2 2\nL0 L0\nL0 L0\nunit A0 1\nfeature A0 1\n", "already"},
        {"unit type 25", "grid 2 2\nL0 L0\nL0 L0\nunit A0 25\n", "line 4"},
        {"owner 5", "grid 2 2\nL0 L0\nL0 L0\nunit A0 3 owner 5\n", "line 4"},
        {"mirrored unit", "grid 2 2\nL0 L0\nL0 L0\nunit A0 3 mirrored\n", "line 4"},
        {"level 256", "grid 1 1\nL256\n", "line 2"},
        {"objects before the grid", "unit A0 1\ngrid 1 1\nL0\n", "line 1"},
    };
    for (const Case& c : cases) {
        HexFileImage image;
        std::string error;
        EXPECT_FALSE(ParseHexMapSource(c.text, image, error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
}

TEST(HexMapSource, DumpThenBuildGivesTheSameBytes) {
    // A height of -0 differs from the default 0 only in its sign bit, and the file keeps that bit.
    for (const std::string& source : {std::string(kSource), std::string("grid 2 1\nL0 L0\nheight A1 -0\n")}) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(BuildHexMapFromSource(source, bytes, error)) << error;
        HexFileImage image;
        ASSERT_TRUE(DecodeHexMapImage(bytes.data(), bytes.size(), image));
        std::string dumped;
        ASSERT_TRUE(FormatHexMapSource(image, dumped, error)) << error;
        std::vector<std::uint8_t> again;
        ASSERT_TRUE(BuildHexMapFromSource(dumped, again, error)) << error;
        EXPECT_EQ(again, bytes) << dumped;
    }
}

TEST(HexMapSource, LabelsRoundTrip) {
    for (int c = 0; c < kMapColumns; ++c) {
        for (int r = 0; r < kMapRows; ++r) {
            const HexCoord hex = H(c, r);
            if (!IsValidHex(hex)) continue;
            HexCoord back;
            ASSERT_TRUE(ParseHexLabel(FormatHexLabel(hex), back)) << FormatHexLabel(hex);
            EXPECT_EQ(back, hex);
        }
    }
    EXPECT_EQ(FormatHexLabel(H(12, 1)), "B12");
    EXPECT_EQ(FormatHexLabel(H(5, 28)), "AC5");
}

}  // namespace
