#pragma once
// The data build's map pictures: the map picker's thumbnail of a battle map and the campaign map's
// backdrop. Colours come by name from a palette file ("name RRGGBB" lines, "#" comments), so that the art
// can change them without touching the code; structures and unit starts take the game's team colours.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "game/battle/hex_coord.h"
#include "game/battle/hex_map_file.h"

namespace mappictures {

// ARGB colours by name.
using Palette = std::map<std::string, std::uint32_t>;

// False with "line N: reason" for a line that is not "name RRGGBB" or a name given twice.
bool ParsePalette(const std::string& text, Palette& out, std::string& error);

// 32-bit ARGB pixels, rows top first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

inline constexpr int kThumbnailWidth = 416;
inline constexpr int kThumbnailHeight = 240;
// The map picker shows the thumbnail less 5 pixels at the right and bottom; the map stays clear of them.
inline constexpr int kThumbnailCut = 5;

// Where the thumbnail draws a map's hexes: the used tiles (terrain other than none) scaled to fit.
class ThumbnailLayout {
public:
    explicit ThumbnailLayout(const game::HexFileImage& image);
    // The pixel at the centre of a hex.
    void Centre(game::HexCoord hex, double& x, double& y) const;
    // The hex whose centre is nearest to the pixel centre; false when that hex lies off the image's records.
    bool HexAt(int x, int y, game::HexCoord& hex) const;

private:
    const game::HexFileImage& image_;
    double scale_ = 1.0;
    double originX_ = 0.0;
    double originY_ = 0.0;
};

// Flat colours per hex: terrain ("water", "blocked", "land", "shore", "ford"; "road" under an overlay), a
// lighter land on higher levels ("high"), features ("hill", "wall", "tree"); structures on every hex of their
// footprint and unit starts in the team colour of their owner. Outside the map "background". False naming
// the first palette colour that is missing.
bool DrawThumbnail(const game::HexFileImage& image, const Palette& palette, Picture& out, std::string& error);

inline constexpr int kCampaignMapSize = 1024;

// The campaign map from its description:
//   sea <colour>                        the background
//   land <colour> x y x y x y ...       a filled outline, at least three corners
//   route <colour> <width> x y x y ...  a line through the points, at least two
// in pixels of the 1024 x 1024 picture, colours by palette name. False with "line N: reason".
bool DrawCampaignMap(const std::string& text, const Palette& palette, Picture& out, std::string& error);

// The picture as an 8-bit RGBA PNG without a time chunk.
std::vector<std::uint8_t> EncodePicture(const Picture& picture);

}  // namespace mappictures
