#pragma once
// Hex coordinates of the battle grid: packing, validity, neighbour steps, world positions, headings,
// step distance and tile labels. The grid has 48 columns; odd columns have 38 rows, even columns stand
// half a row lower and have 37.
#include <cstdint>
#include <string_view>

#include "engine/core/vector.h"

namespace game {

inline constexpr int kMapColumns = 48;
inline constexpr int kMapRows = 38;
inline constexpr int kMapTileCount = kMapColumns * kMapRows;

// Directions 0..5: up, right-up, right-down, down, left-down, left-up. 6 means none or not adjacent.
inline constexpr int kDirectionCount = 6;
inline constexpr int kNoDirection = 6;

// A column and a row, each a signed 16-bit number; the packed form keeps the column in the low half.
struct HexCoord {
    std::int16_t column = 0;
    std::int16_t row = 0;

    std::uint32_t Packed() const {
        return static_cast<std::uint16_t>(column) | (static_cast<std::uint32_t>(static_cast<std::uint16_t>(row)) << 16);
    }
    static HexCoord FromPacked(std::uint32_t value) {
        return {static_cast<std::int16_t>(value & 0xFFFFu), static_cast<std::int16_t>(value >> 16)};
    }
    bool operator==(const HexCoord&) const = default;
};

inline HexCoord MakeHexCoord(int column, int row) {
    return {static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
}

// Column 0..47; row 0..37 on odd columns, 0..36 on even ones.
inline bool IsValidHex(HexCoord hex) {
    return hex.column >= 0 && hex.column < kMapColumns && hex.row >= 0 &&
           hex.row < ((hex.column & 1) != 0 ? kMapRows : kMapRows - 1);
}

// Index of a valid hex in a column-major tile array (all rows of column 0 first).
inline int HexTileIndex(HexCoord hex) { return hex.column * kMapRows + hex.row; }

// Column step, then row step on even and on odd columns, per direction.
inline constexpr int kStepColumn[kDirectionCount] = {0, 1, 1, 0, -1, -1};
inline constexpr int kStepRowEven[kDirectionCount] = {-1, 0, 1, 1, 1, 0};
inline constexpr int kStepRowOdd[kDirectionCount] = {-1, -1, 0, 1, 0, -1};

// Offsets of one step, by direction and column parity, without any validity test (the hex itself for a
// direction outside 0..5).
inline HexCoord HexStep(HexCoord hex, int direction) {
    if (direction < 0 || direction >= kDirectionCount) return hex;
    const bool odd = (hex.column & 1) != 0;
    const int row = hex.row + (odd ? kStepRowOdd[direction] : kStepRowEven[direction]);
    return MakeHexCoord(hex.column + kStepColumn[direction], row);
}

// Steps from a valid hex in direction 0..5 and writes the new hex even when it is off the grid; true only
// when it is valid. An invalid start or direction writes the start hex and gives false.
inline bool HexNeighbour(HexCoord hex, int direction, HexCoord& out) {
    if (!IsValidHex(hex) || direction < 0 || direction >= kDirectionCount) {
        out = hex;
        return false;
    }
    out = HexStep(hex, direction);
    return IsValidHex(out);
}

// World x and z of the hex centre on the ground plane (x, y of the result). Neighbouring centres are one
// world unit apart and the full grid is centred on the origin.
engine::Vec2 HexToWorld(HexCoord hex);

// (450 - 60 d) mod 360: 90, 30, 330, 270, 210, 150 for directions 0..5.
int DirectionToAngle(int direction);

// The nearest multiple of 5 degrees, in 0..355, for any angle (0 for a value that is not finite).
int SnapAngle5(float degrees);

// The computer player's step measure: the larger of the column and row differences when they have the
// same sign (zero counts as positive), else their sum. Not the true hex distance of this layout.
int HexDistance(HexCoord a, HexCoord b);

// A hex with a distance, ordered by CompareHexDistance (a SortArray comparator).
struct HexDistancePair {
    HexCoord hex;
    float distance = 0.0f;
};
int CompareHexDistance(const void* a, const void* b);

// Tile labels: one letter (A..Z, rows 0..25) or A and a letter (rows 26..37), then a one- or two-digit
// column; letters in either case, blanks around the label ignored. Gives false and leaves the output alone
// for anything else and for a hex off the grid.
bool ParseHexLabel(std::string_view text, HexCoord& out);

}  // namespace game
