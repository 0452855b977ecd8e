#pragma once
// The pictures and scenery shapes of the levels: ground textures that tile, the water's wave texture, each
// level's map texture (hex edges and level shading), and the low-poly trees, palms, cacti and crystals
// whose nodes the decorations fade. Colours come from the data set's palette.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "mdl_builder.h"

namespace game {
class HexMap;
}

namespace levelmodel {

// "name RRGGBB" lines; "#" starts a comment.
using Palette = std::map<std::string, std::uint32_t>;
bool ParsePalette(const std::string& text, Palette& out, std::string& error);

// A picture of 32-bit texels as B, G, R, A bytes, rows top first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
};

// The shared textures of every level, by file title ("Grass", "WaveNoise" ...); they live under
// "Levels/Common/". False when a colour the textures need is missing from the palette.
bool CommonTextures(const Palette& palette, std::map<std::string, Picture>& out, std::string& error);
// The titles CommonTextures makes, in order.
const std::vector<std::string>& CommonTextureTitles();

// The map texture of a level, over its MapFrame: lighter with height, darker at hex
// edges, and blank off the map.
Picture LevelShade(const game::HexMap& map);

// The mesh of a scenery model by its kind ("Tree1", "Palm3" ...), its texture coordinates on the scenery
// palette texture; false for a kind that is not one of SceneryNames.
bool SceneryMesh(const std::string& kind, mdlbuild::AuthorMesh& out);

// The PNG bytes of a picture.
std::vector<std::uint8_t> EncodePicture(const Picture& picture);

}  // namespace levelmodel
