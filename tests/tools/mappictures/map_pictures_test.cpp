#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/battle/battle_types.h"
#include "game/battle/hex_map_source.h"
#include "game/battle/team_colours.h"
#include "mappictures/map_pictures.h"

namespace {

using mappictures::Palette;
using mappictures::Picture;

const char* const kPalette =
    "# test colours\n"
    "background 000000\nwater 0000A0\nblocked 202020\nland 00A000\nhigh 808000\nshore C0C000\n"
    "ford 00C0C0\nroad A08060\nhill 604000\nwall 404040\ntree 004000\n"
    "sea 000080\ncoast C0C000 # a trailing comment\nroute FFFF00\n";

Palette TestPalette() {
    Palette palette;
    std::string error;
    EXPECT_TRUE(mappictures::ParsePalette(kPalette, palette, error)) << error;
    return palette;
}

// The PNG's chunk types in order.
std::vector<std::string> Chunks(const std::vector<std::uint8_t>& png) {
    std::vector<std::string> types;
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const std::size_t length = (std::size_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        types.emplace_back(reinterpret_cast<const char*>(&png[at + 4]), 4);
        at += 12 + length;
    }
    return types;
}

TEST(MapPictures, ThumbnailShowsTerrainAndTheTeamColoursOnEveryHexOfTheHeadquarters) {
    // A small field: water on the left column, headquarters of blue and green, a blue unit start.
    std::string source = "weather 2\ngrid 9 7\n";
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 9; ++column) {
            const bool lastEven = row == 6 && column % 2 == 0;
            source += lastEven ? ". " : column == 0 ? "W0 " : "L0 ";
        }
        source += "\n";
    }
    source += "structure B3 6 owner 1\nstructure C5 6 owner 2 mirrored\nunit E2 2 owner 1\n";
    game::HexFileImage image;
    std::string error;
    ASSERT_TRUE(game::ParseHexMapSource(source, image, error)) << error;

    Picture picture;
    ASSERT_TRUE(mappictures::DrawThumbnail(image, TestPalette(), picture, error)) << error;
    ASSERT_EQ(picture.width, 416);
    ASSERT_EQ(picture.height, 240);
    ASSERT_EQ(picture.pixels.size(), 416u * 240u);

    const mappictures::ThumbnailLayout layout(image);
    const auto pixelAt = [&](game::HexCoord hex) {
        double x = 0, y = 0;
        layout.Centre(hex, x, y);
        EXPECT_TRUE(x >= 0 && x < 411 && y >= 0 && y < 235) << "hex centres stay clear of the cut";
        return picture.At(static_cast<int>(x), static_cast<int>(y));
    };
    for (game::HexCoord hex : game::StructureFootprint(game::MakeHexCoord(3, 1), game::kStructureHQ, false)) {
        EXPECT_EQ(pixelAt(hex), game::GetTeamColour(game::kTeamBlue)) << hex.column << "," << hex.row;
    }
    for (game::HexCoord hex : game::StructureFootprint(game::MakeHexCoord(5, 2), game::kStructureHQ, true)) {
        EXPECT_EQ(pixelAt(hex), game::GetTeamColour(game::kTeamGreen)) << hex.column << "," << hex.row;
    }
    EXPECT_EQ(pixelAt(game::MakeHexCoord(2, 4)), game::GetTeamColour(game::kTeamBlue));
    EXPECT_EQ(pixelAt(game::MakeHexCoord(0, 3)), 0xFF0000A0u);  // water
    EXPECT_EQ(pixelAt(game::MakeHexCoord(7, 4)), 0xFF00A000u);  // land
    EXPECT_EQ(picture.At(415, 239), 0xFF000000u);  // the cut keeps the background

    const std::vector<std::uint8_t> png = mappictures::EncodePicture(picture);
    EXPECT_EQ(Chunks(png), (std::vector<std::string>{"IHDR", "IDAT", "IEND"})) << "no time chunk";

    Palette missing = TestPalette();
    missing.erase("ford");
    EXPECT_FALSE(mappictures::DrawThumbnail(image, missing, picture, error));
    EXPECT_NE(error.find("\"ford\""), std::string::npos) << error;
}

TEST(MapPictures, CampaignMapDrawsSeaLandAndRoute) {
    const std::string text =
        "sea sea\n"
        "land coast 100 100 600 100 600 600 100 600  # a square island\n"
        "route route 6 200 300 500 300\n";
    Picture picture;
    std::string error;
    ASSERT_TRUE(mappictures::DrawCampaignMap(text, TestPalette(), picture, error)) << error;
    ASSERT_EQ(picture.width, 1024);
    ASSERT_EQ(picture.height, 1024);
    EXPECT_EQ(picture.At(50, 50), 0xFF000080u);
    EXPECT_EQ(picture.At(300, 500), 0xFFC0C000u);
    EXPECT_EQ(picture.At(350, 300), 0xFFFFFF00u);
    EXPECT_EQ(picture.At(350, 296), 0xFFC0C000u) << "the route is 6 pixels wide";
    EXPECT_EQ(picture.At(800, 800), 0xFF000080u);

    struct Case {
        const char* text;
        const char* message;
    };
    const Case faults[] = {
        {"land coast 1 1 5 5 9 1\n", "line 1: the first line must be \"sea <colour>\""},
        {"sea sea\nland coast 1 1 5 5\n", "line 2: expected"},
        {"sea sea\nland lava 1 1 5 5 9 1\n", "line 2: the palette has no colour \"lava\""},
        {"sea sea\nroute route 4 1 1 2000 5\n", "line 2: a point outside"},
        {"sea sea\nroute route 4 1 1 5\n", "line 2: points must be pairs"},
        {"sea sea\nsea sea\n", "line 2: a second \"sea\" line"},
    };
    for (const Case& c : faults) {
        EXPECT_FALSE(mappictures::DrawCampaignMap(c.text, TestPalette(), picture, error)) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.text << " -> " << error;
    }
}

TEST(MapPictures, PaletteRefusesBadLinesAndRepeatedNames) {
    Palette palette;
    std::string error;
    EXPECT_FALSE(mappictures::ParsePalette("land 00A000\nwater 12345\n", palette, error));
    EXPECT_EQ(error, "line 2: not \"name RRGGBB\"");
    EXPECT_FALSE(mappictures::ParsePalette("land 00A000\nland 00A001\n", palette, error));
    EXPECT_EQ(error, "line 2: colour \"land\" given twice");
}

}  // namespace
