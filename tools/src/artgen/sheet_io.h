#pragma once
// Files of the art generator: the palette with the team colours, the cell map, art files and PNG output.
#include <string>

#include "artgen/art_book.h"
#include "artgen/cell_map.h"
#include "artgen/sheet_checks.h"

namespace artgen {

// The palette file's colours and the game's team colours as "teamneutral", "teamblue", "teamgreen",
// "teamyellow" and "teamenemy".
bool LoadColours(const std::string& paletteFile, ColourNames& out, std::string& error);
bool LoadCellMap(const std::string& file, CellMap& out, std::string& error);
bool LoadArt(const std::string& file, const ColourNames& colours, ArtBook& book, std::string& error);
// An 8-bit RGBA PNG with no time chunk; the folders are made.
bool WritePng(const SheetPixels& pixels, const std::string& file, std::string& error);

}  // namespace artgen
