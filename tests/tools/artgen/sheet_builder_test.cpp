// The generator refuses what the game could not use, each fault named by its cell.
#include <gtest/gtest.h>

#include <string>

#include "artgen/art_book.h"
#include "artgen/cell_map.h"
#include "artgen/sheet_builder.h"

namespace artgen {
namespace {

const ColourNames kColours{{"white", 0xFFFFFFFFu}, {"ink", 0xFF12161Cu}};

const char kMap[] =
    "sheet, GUI/test, 64, 64\n"
    "GUI/test, 0, 0, 32, 32, plate, plain, a screen\n"
    "GUI/test, 32, 0, 32, 32, icon, tinted, the HUD, shared\n"
    "GUI/test, 34, 0, 28, 32, pip, tinted, a screen, shared\n";

const char kArt[] =
    "cell plate\n"
    "fill ink rrect 1 1 30 30 4\n"
    "cell icon\n"
    "fill white circle 16 16 10\n";

// Draws the map and art after replacing `from` by `to` in one of them; the faults joined by lines.
std::string Faults(const std::string& map, const std::string& art) {
    CellMap cells;
    std::string error;
    if (!ParseCellMap(map, cells, error)) return error;
    ArtBook book;
    if (!ParseArt(art, "test.art", kColours, book, error)) return error;
    SheetPixels pixels;
    std::string out;
    for (const std::string& f : DrawSheet(cells, book, "GUI/test", pixels)) out += f + "\n";
    return out;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(ArtSheet, TheSampleDrawsCleanly) {
    EXPECT_EQ(Faults(kMap, kArt), "");
    // A spare cell, cut by no screen, may stay empty; marked used it must be drawn.
    const std::string noPlate = Replaced(kArt, "cell plate\nfill ink rrect 1 1 30 30 4\n", "");
    EXPECT_EQ(Faults(Replaced(kMap, "plate, plain, a screen", "plate, plain, a screen, spare"), noPlate), "");
}

TEST(ArtSheet, FaultsAreRefusedAndNamed) {
    struct Case {
        const char* what;
        std::string map;
        std::string art;
        const char* expected;
    };
    const Case cases[] = {
        {"a region one pixel past its sheet", Replaced(kMap, "32, 0, 32, 32, icon", "33, 0, 32, 32, icon"), kArt,
         "GUI/test icon (33, 0, 32, 32): lies outside the 64 x 64 sheet"},
        {"an undeclared overlap", Replaced(kMap, "a screen, shared", "a screen"), kArt,
         "GUI/test icon (32, 0, 32, 32): overlaps pip, and the map does not declare both shared"},
        {"a used cell left empty", kMap, Replaced(kArt, "cell plate\nfill ink rrect 1 1 30 30 4\n", ""),
         "GUI/test plate (0, 0, 32, 32): used, but no drawing fills it"},
        {"a cell drawn with nothing visible", kMap, Replaced(kArt, "fill ink rrect 1 1 30 30 4", "fill ink@0 rect 1 1 9 9"),
         "GUI/test plate (0, 0, 32, 32): empty"},
        {"a stray texel outside the cells", Replaced(kMap, "sheet, GUI/test, 64, 64", "sheet, GUI/test, 64, 65"),
         std::string(kArt) + "ground\nfill white rect 10 64 1 1\n",
         "GUI/test: 1 visible texels outside every cell, the first at (10, 64)"},
        {"a tinted cell drawn dark", kMap, Replaced(kArt, "fill white circle", "fill ink circle"),
         "GUI/test icon (32, 0, 32, 32): tinted, but its mean luminance is 0.00, below 0.75"},
        {"a colour with no palette name", kMap, Replaced(kArt, "fill white circle", "fill snow circle"),
         "test.art line 4: colour \"snow\" has no name in the palette"},
        {"a drawing of no cell", kMap, std::string(kArt) + "cell knob\nfill white circle 3 3 2\n",
         "test.art line 5: \"knob\" is no cell of GUI/test"},
    };
    for (const Case& c : cases) {
        EXPECT_NE(Faults(c.map, c.art).find(c.expected), std::string::npos)
            << c.what << "\n got: " << Faults(c.map, c.art);
    }
}

TEST(ArtSheet, MalformedMapLinesAreRefusedByLine) {
    CellMap cells;
    std::string error;
    EXPECT_FALSE(ParseCellMap(Replaced(kMap, "plain", "glowing"), cells, error));
    EXPECT_EQ(error, "line 2: drawn as \"glowing\", not plain, tinted or additive");
    EXPECT_FALSE(ParseCellMap(std::string(kMap) + "GUI/other, 0, 0, 4, 4, x, plain, y\n", cells, error));
    EXPECT_EQ(error, "line 5: unknown sheet \"GUI/other\"");
    EXPECT_FALSE(ParseCellMap(std::string(kMap) + "GUI/test, 0, 40, 4, 4, icon, plain, y\n", cells, error));
    EXPECT_EQ(error, "line 5: cell \"icon\" given twice");
    EXPECT_FALSE(ParseCellMap(Replaced(kMap, "the HUD, shared", "the HUD, shared, shared"), cells, error));
    EXPECT_EQ(error, "line 3: \"shared\" where only \"shared\" or \"spare\" may stand, each once");
    EXPECT_FALSE(ParseCellMap(Replaced(kMap, "64, 64", "64, 999999999"), cells, error));
    EXPECT_EQ(error, "line 1: sheet size is not 1-16384");
}

}  // namespace
}  // namespace artgen
