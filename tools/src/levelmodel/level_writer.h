#pragma once
// Writes the level models into a data folder: the assets every level shares ("Levels/Common/" textures and
// materials, "Levels/Scenery/" models) and, per level folder, "<folder>/Map.CNT" with its terrain model,
// its materials and its map texture.
#include <string>
#include <vector>

#include "level_art.h"

namespace game {
class HexMap;
}

namespace levelmodel {

// The files WriteLevel writes for a folder, data-relative ("<folder>/Map.CNT" ...).
std::vector<std::string> LevelFiles(const std::string& folder);
// The files WriteCommonAssets writes, data-relative.
std::vector<std::string> CommonFiles();

// Needs the engine's material library and model table. False with a message.
bool WriteCommonAssets(const std::string& dataFolder, const Palette& palette, std::string& error);
// Builds the level of the map into the data folder (the common assets must be there). False with a message
// when the level is refused (over 40,000 triangles) or a file cannot be written.
bool WriteLevel(const std::string& dataFolder, const std::string& folder, game::HexMap& map, const Palette& palette,
                std::string& error);

}  // namespace levelmodel
