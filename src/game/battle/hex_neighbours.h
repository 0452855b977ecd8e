#pragma once
// Every valid hex's neighbours by direction, with their tile indices (-1 off the grid), and every valid
// hex's centre, computed once: the route search and the movement fill ask for six neighbours a tile.
#include <cstdint>

#include "engine/core/vector.h"
#include "game/battle/hex_coord.h"

namespace game {

struct HexNeighbourTable {
    HexNeighbourTable() {
        for (int column = 0; column < kMapColumns; ++column) {
            for (int row = 0; row < kMapRows; ++row) {
                const HexCoord hex = MakeHexCoord(column, row);
                if (!IsValidHex(hex)) continue;
                const int from = HexTileIndex(hex);
                centres[from] = HexToWorld(hex);
                for (int d = 0; d < kDirectionCount; ++d) {
                    HexCoord next;
                    const bool valid = HexNeighbour(hex, d, next);
                    hexes[from][d] = next;
                    indices[from][d] = valid ? static_cast<std::int16_t>(HexTileIndex(next)) : std::int16_t{-1};
                }
            }
        }
    }
    HexCoord hexes[kMapTileCount][kDirectionCount];
    std::int16_t indices[kMapTileCount][kDirectionCount];
    engine::Vec2 centres[kMapTileCount];
};

inline const HexNeighbourTable& HexNeighbours() {
    static const HexNeighbourTable table;
    return table;
}

}  // namespace game
