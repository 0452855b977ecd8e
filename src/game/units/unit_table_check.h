#pragma once
// The strict check of the two unit tables that the data build and the unittables tool run: it refuses
// everything the game would misread or that breaks the rules the unit code relies on, and names the file,
// row and column of the first fault.
//
// Both files present and ASCII; every line under 1023 characters; 25 rows (a header and the 24 types); 20 cells a row
// in BasicParams and 25 in Damage; column 0 of rows 1..24 the type's "UT_" keyword in type order; every
// other cell of those rows a decimal number, an integer where the game reads one; all-zero damage rows for
// the types that cannot attack; an ENGINEER range of 1..1; aircraft that can enter water and obstacles.
#include <cstdint>
#include <string>
#include <vector>

namespace game {

struct UnitTableText {
    std::string name;  // as named in faults, e.g. "Units/BasicParams.TXT"
    std::vector<std::uint8_t> bytes;
};

struct UnitTableFault {
    std::string file;
    int line = -1;  // a text line (1-based), or -1
    int row = -1;  // a table row (0 = the header), or -1
    int column = -1;  // a cell (0 = the keyword), or -1
    std::string message;

    // "file: row R, column C: message" (with only the parts that are known).
    std::string Describe() const;
};

// Null stands for a missing file (named "Units/BasicParams" or "Units/Damage" in the fault). True when both
// tables pass; the game's loader then accepts them.
bool CheckUnitTables(const UnitTableText* basicParams, const UnitTableText* damage, UnitTableFault& fault);

}  // namespace game
