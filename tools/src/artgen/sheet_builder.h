#pragma once
// Draws a GUI sheet from the cell map and the art book, and refuses what the game could not use.
#include <string>
#include <vector>

#include "artgen/art_book.h"
#include "artgen/cell_map.h"
#include "artgen/sheet_checks.h"

namespace artgen {

// Draws the sheet's ground and cells, bleeds the colours into the transparent texels and checks the result.
// The faults name the cell and the reason: a cell outside the sheet, an overlap the map does not declare
// shared, a cell with no drawing (unless it is shared and lies in a drawn cell), a drawing of the book that
// names no cell of the sheet,
// and every fault of CheckSheetPixels. The pixels are filled even when there are faults.
std::vector<std::string> DrawSheet(const CellMap& map, const ArtBook& book, const std::string& sheet,
                                   SheetPixels& out);

// Draws a picture of the book.
SheetPixels DrawPicture(const Drawing& picture);

}  // namespace artgen
