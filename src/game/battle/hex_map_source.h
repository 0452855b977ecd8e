#pragma once
// The text form from which the project's maps are built, and back:
//
//   # a comment; blank lines are ignored
//   weather 2                       weather byte (0 or 1 rain, 2 none, 3 snow)
//   grid <columns> <rows>           then one line per row, one cell per column:
//   L0 L0 S0 W0 . ...               terrain letter and stored file level: . none, W water, X blocked,
//                                   L land, S shore, R second land kind; "." alone is no tile at level 0
//   overlay <tile>                  overlay set on the tile
//   height <tile> <value>           world height (default: HexSourceDefaultHeight)
//   feature <tile> <kind 1-8> [owner <0-4>]
//   structure <tile> <type 1-11> [owner <0-4>] [mirrored]
//   unit <tile> <type 1-24> [owner <0-4>] [immobile]
//
// Tiles are named by their labels (B12: row B, column 12). Region numbers are computed, never written.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/battle/hex_coord.h"
#include "game/battle/hex_map_file.h"

namespace game {

// The label of a hex of the grid: row letter(s), then the column number.
std::string FormatHexLabel(HexCoord hex);

// The world height of a tile whose source gives none: the stored level x 0.25, raised by the height of what
// stands on it, since a feature's top is the tile height (aircraft fly above it, lines of sight meet it):
// 1.0 for a tall obstacle (1) and for walls (4, 5 and 8), 0.5 for a low obstacle (3). A road (overlay) on
// a feature tile keeps the ground height, where units then stand.
float HexSourceDefaultHeight(const HexFileRecord& record);

// Parses a source into a version-12 image with regions 0. False with a message naming the line.
bool ParseHexMapSource(std::string_view text, HexFileImage& out, std::string& error);

// What the game would misread, named by tile: a grid larger than 48 x 38, terrain or an object off the
// grid, fields the reader refuses, a three-hex building whose footprint is off the grid, without terrain,
// holding an object or shared with another footprint, and a build pad with no producer, RepairS or
// SupplyShed beside it.
bool CheckHexMapForGame(const HexFileImage& image, std::string& error);

// True for the structure types that stand on three hexes (factory, airport, dockyard, barracks, HQ, silo).
bool IsThreeHexBuilding(int type);
// The hexes a structure record covers: its anchor, and for a three-hex building the hex below and the one
// below-right (below-left when mirrored). The hexes may lie off the grid.
std::vector<HexCoord> StructureFootprint(HexCoord anchor, int type, bool mirrored);

// Parse, check, compute regions and encode as version 12; then the game's map reader loads the bytes, and a
// file it refuses is not handed out (the error gives the reader's reason).
bool BuildHexMapFromSource(std::string_view text, std::vector<std::uint8_t>& out, std::string& error);

// The source of an image, region numbers as a trailing comment block. False, naming the tile, when the
// image holds what the source cannot say (a terrain or object class out of range, mirrored off a
// structure, immobile off a unit start).
bool FormatHexMapSource(const HexFileImage& image, std::string& out, std::string& error);

}  // namespace game
