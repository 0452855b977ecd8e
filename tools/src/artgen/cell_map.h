#pragma once
// The cell map of the GUI sheets (data/Art/cells.txt): each sheet with its size and every region the game
// cuts from it, how the game draws it and who cuts it. The art generator and the data check read it.
#include <string>
#include <vector>

namespace artgen {

enum class DrawnAs { kPlain, kTinted, kAdditive };

struct Cell {
    std::string sheet;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string name;
    DrawnAs drawn = DrawnAs::kPlain;
    std::string users;
    // May overlap other shared cells of its sheet; with no art of its own it takes the art of a cell that
    // holds it.
    bool shared = false;
    // Kept in the sheet for no screen that draws it yet: it may stay empty, and a walk need not draw it.
    bool spare = false;
    int line = 0;

    bool Contains(const Cell& other) const;
    bool Overlaps(const Cell& other) const;
    // "GUI/ingameUi fuel_pip (98, 120, 30, 32)"
    std::string Describe() const;
};

struct Sheet {
    std::string name;
    int width = 0;
    int height = 0;
};

struct CellMap {
    std::vector<Sheet> sheets;
    std::vector<Cell> cells;

    const Sheet* FindSheet(const std::string& name) const;
    const Cell* FindCell(const std::string& sheet, const std::string& name) const;
    std::vector<const Cell*> CellsOf(const std::string& sheet) const;
};

// False with "line N: reason" for a malformed line, an unknown sheet, a size that is not positive (or, for a
// sheet, above 16384) or a name given twice.
bool ParseCellMap(const std::string& text, CellMap& out, std::string& error);

// The checks every sheet of the map must pass, as "<cell>: reason" lines: each cell inside its sheet, and
// overlaps only between shared cells.
std::vector<std::string> CheckCellLayout(const CellMap& map);

}  // namespace artgen
