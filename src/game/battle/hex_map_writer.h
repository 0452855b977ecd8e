#pragma once
// Writing "GameMap.Hex" images, and the region numbers that the tools compute for them.
#include <cstdint>
#include <string>
#include <vector>

#include "game/battle/hex_map_file.h"

namespace game {

// The bytes of the image in the layout of its header's version (8 to 12 and above). False when the size
// does not fit the header (more than 255 columns or rows, or a record count that differs from width x
// height).
bool EncodeHexMapImage(const HexFileImage& image, std::vector<std::uint8_t>& out);

// Region numbers: land tiles (terrain 3, 4 or 5) joined through neighbours whose stored levels differ by at
// most 1 form one region; water tiles joined to each other form regions of their own; terrain 0 and 2 get
// 0. Regions are numbered from 1 in row-then-column order of their first tile. More than 255 regions
// fail, naming the tile that would start region 256.
bool AssignRegions(HexFileImage& image, std::string& error);

}  // namespace game
