#include "mappictures/map_pictures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "engine/image/image_writers.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map_source.h"
#include "game/battle/team_colours.h"

namespace mappictures {

namespace {

// Hex centres in map units: columns 0.75 apart, rows sqrt(3)/2 apart, even columns half a row lower.
constexpr double kColumnStep = 0.75;
constexpr double kRowStep = 0.8660254037844386;

void MapPoint(game::HexCoord hex, double& x, double& y) {
    x = hex.column * kColumnStep;
    y = (hex.row + ((hex.column & 1) == 0 ? 0.5 : 0.0)) * kRowStep;
}

bool Colour(const Palette& palette, const std::string& name, std::uint32_t& out, std::string& error) {
    const auto it = palette.find(name);
    if (it == palette.end()) {
        error = "the palette has no colour \"" + name + "\"";
        return false;
    }
    out = it->second;
    return true;
}

std::uint32_t Lighter(std::uint32_t argb, int steps) {
    std::uint32_t out = argb & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int channel = static_cast<int>((argb >> shift) & 0xFF);
        const int lifted = channel + (255 - channel) * std::min(steps, 4) / 6;
        out |= static_cast<std::uint32_t>(lifted) << shift;
    }
    return out;
}

bool InsideRecords(const game::HexFileImage& image, game::HexCoord hex) {
    return hex.column >= 0 && hex.row >= 0 && hex.column < image.header.width && hex.row < image.header.height;
}

}  // namespace

bool ParsePalette(const std::string& text, Palette& out, std::string& error) {
    out.clear();
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string name, value, rest;
        if (!(words >> name)) continue;
        const bool hex = (words >> value) && value.size() == 6 &&
                         value.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos && !(words >> rest);
        if (!hex) {
            error = "line " + std::to_string(number) + ": not \"name RRGGBB\"";
            return false;
        }
        if (!out.emplace(name, 0xFF000000u | static_cast<std::uint32_t>(std::stoul(value, nullptr, 16))).second) {
            error = "line " + std::to_string(number) + ": colour \"" + name + "\" given twice";
            return false;
        }
    }
    return true;
}

ThumbnailLayout::ThumbnailLayout(const game::HexFileImage& image) : image_(image) {
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
    for (int row = 0; row < image.header.height; ++row) {
        for (int column = 0; column < image.header.width; ++column) {
            if (image.At(column, row).terrain == game::kTerrainNone) continue;
            double x = 0, y = 0;
            MapPoint(game::MakeHexCoord(column, row), x, y);
            minX = std::min(minX, x - 0.5), maxX = std::max(maxX, x + 0.5);
            minY = std::min(minY, y - 0.5), maxY = std::max(maxY, y + 0.5);
        }
    }
    if (minX > maxX) minX = minY = 0, maxX = maxY = 1;
    const double width = kThumbnailWidth - kThumbnailCut;
    const double height = kThumbnailHeight - kThumbnailCut;
    scale_ = std::min(width / (maxX - minX), height / (maxY - minY));
    originX_ = minX - (width / scale_ - (maxX - minX)) / 2;
    originY_ = minY - (height / scale_ - (maxY - minY)) / 2;
}

void ThumbnailLayout::Centre(game::HexCoord hex, double& x, double& y) const {
    MapPoint(hex, x, y);
    x = (x - originX_) * scale_;
    y = (y - originY_) * scale_;
}

bool ThumbnailLayout::HexAt(int px, int py, game::HexCoord& hex) const {
    const double x = (px + 0.5) / scale_ + originX_;
    const double y = (py + 0.5) / scale_ + originY_;
    const int column = static_cast<int>(std::lround(x / kColumnStep));
    double best = std::numeric_limits<double>::max();
    for (int c = column - 1; c <= column + 1; ++c) {
        const double shift = (c & 1) == 0 ? 0.5 : 0.0;
        const int row = static_cast<int>(std::lround(y / kRowStep - shift));
        for (int r = row - 1; r <= row + 1; ++r) {
            double cx = 0, cy = 0;
            MapPoint(game::MakeHexCoord(c, r), cx, cy);
            const double distance = (cx - x) * (cx - x) + (cy - y) * (cy - y);
            if (distance < best) best = distance, hex = game::MakeHexCoord(c, r);
        }
    }
    return InsideRecords(image_, hex);
}

bool DrawThumbnail(const game::HexFileImage& image, const Palette& palette, Picture& out, std::string& error) {
    struct Named {
        const char* name;
        std::uint32_t colour = 0;
    };
    Named background{"background"}, water{"water"}, blocked{"blocked"}, land{"land"}, shore{"shore"}, ford{"ford"},
        road{"road"}, high{"high"}, hill{"hill"}, wall{"wall"}, tree{"tree"};
    for (Named* named : {&background, &water, &blocked, &land, &shore, &ford, &road, &high, &hill, &wall, &tree}) {
        if (!Colour(palette, named->name, named->colour, error)) return false;
    }
    game::InitTeamColours();

    // Per tile: its colour, structures painted over their whole footprint.
    const std::size_t count = image.records.size();
    std::vector<std::uint32_t> colours(count, background.colour);
    const auto index = [&](game::HexCoord hex) {
        return static_cast<std::size_t>(hex.row * image.header.width + hex.column);
    };
    for (int row = 0; row < image.header.height; ++row) {
        for (int column = 0; column < image.header.width; ++column) {
            const game::HexFileRecord& record = image.At(column, row);
            std::uint32_t colour = background.colour;
            switch (record.terrain) {
                case game::kTerrainWater: colour = water.colour; break;
                case game::kTerrainBlocked: colour = blocked.colour; break;
                case game::kTerrainLand: colour = record.level > 0 ? Lighter(high.colour, record.level - 1) : land.colour; break;
                case game::kTerrainShore: colour = shore.colour; break;
                case game::kTerrainLand2: colour = ford.colour; break;
                default: break;
            }
            if (record.overlay != 0 && record.terrain != game::kTerrainWater) colour = road.colour;
            if (record.objectClass == game::kObjectFeature) {
                colour = record.objectType == game::kFeatureRaised ? hill.colour
                         : record.objectType >= 4 && record.objectType != 7 ? wall.colour
                         : record.objectType == 1 ? tree.colour
                                                  : colour;
            }
            if (record.objectClass == game::kObjectUnitStart) colour = game::GetTeamColour(record.objectOwner);
            colours[index(game::MakeHexCoord(column, row))] = colour;
        }
    }
    for (int row = 0; row < image.header.height; ++row) {
        for (int column = 0; column < image.header.width; ++column) {
            const game::HexFileRecord& record = image.At(column, row);
            if (record.objectClass != game::kObjectStructure) continue;
            for (game::HexCoord hex : game::StructureFootprint(game::MakeHexCoord(column, row), record.objectType,
                                                               record.mirrored != 0)) {
                if (InsideRecords(image, hex)) colours[index(hex)] = game::GetTeamColour(record.objectOwner);
            }
        }
    }

    const ThumbnailLayout layout(image);
    out.width = kThumbnailWidth;
    out.height = kThumbnailHeight;
    out.pixels.assign(static_cast<std::size_t>(out.width * out.height), background.colour);
    for (int y = 0; y < kThumbnailHeight - kThumbnailCut; ++y) {
        for (int x = 0; x < kThumbnailWidth - kThumbnailCut; ++x) {
            game::HexCoord hex;
            if (layout.HexAt(x, y, hex)) out.pixels[static_cast<std::size_t>(y * out.width + x)] = colours[index(hex)];
        }
    }
    return true;
}

namespace {

// Even-odd fill of a polygon, sampled at pixel centres.
void FillPolygon(Picture& picture, const std::vector<double>& points, std::uint32_t colour) {
    const std::size_t corners = points.size() / 2;
    for (int y = 0; y < picture.height; ++y) {
        const double sy = y + 0.5;
        std::vector<double> crossings;
        for (std::size_t i = 0, j = corners - 1; i < corners; j = i++) {
            const double yi = points[2 * i + 1], yj = points[2 * j + 1];
            if ((yi > sy) != (yj > sy)) {
                crossings.push_back(points[2 * i] + (sy - yi) * (points[2 * j] - points[2 * i]) / (yj - yi));
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            const int from = std::max(0, static_cast<int>(std::ceil(crossings[k] - 0.5)));
            const int to = std::min(picture.width - 1, static_cast<int>(std::floor(crossings[k + 1] - 0.5)));
            for (int x = from; x <= to; ++x) picture.pixels[static_cast<std::size_t>(y * picture.width + x)] = colour;
        }
    }
}

// A line of the given width through the points: every pixel whose centre lies within half the width.
void DrawPolyline(Picture& picture, const std::vector<double>& points, double width, std::uint32_t colour) {
    const double half = width / 2;
    for (std::size_t i = 0; i + 3 < points.size(); i += 2) {
        const double ax = points[i], ay = points[i + 1], bx = points[i + 2], by = points[i + 3];
        const int x0 = std::max(0, static_cast<int>(std::min(ax, bx) - half - 1));
        const int x1 = std::min(picture.width - 1, static_cast<int>(std::max(ax, bx) + half + 1));
        const int y0 = std::max(0, static_cast<int>(std::min(ay, by) - half - 1));
        const int y1 = std::min(picture.height - 1, static_cast<int>(std::max(ay, by) + half + 1));
        const double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5 - ax, py = y + 0.5 - ay;
                const double t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0.0;
                const double ex = px - t * dx, ey = py - t * dy;
                if (ex * ex + ey * ey <= half * half) picture.pixels[static_cast<std::size_t>(y * picture.width + x)] = colour;
            }
        }
    }
}

}  // namespace

bool DrawCampaignMap(const std::string& text, const Palette& palette, Picture& out, std::string& error) {
    out.width = out.height = kCampaignMapSize;
    out.pixels.assign(static_cast<std::size_t>(kCampaignMapSize * kCampaignMapSize), 0xFF000000u);
    std::istringstream lines(text);
    std::string line;
    bool sea = false;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string keyword, colourName;
        if (!(words >> keyword)) continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        std::uint32_t colour = 0;
        if (!(words >> colourName) || !Colour(palette, colourName, colour, error)) {
            error = where + (colourName.empty() ? "no colour" : error);
            return false;
        }
        double width = 0;
        if (keyword == "route" && (!(words >> width) || width <= 0 || width > 64)) {
            error = where + "a route needs a width of 1 to 64";
            return false;
        }
        std::vector<double> points;
        for (double value; words >> value;) {
            if (value < 0 || value > kCampaignMapSize) {
                error = where + "a point outside the 1024 x 1024 picture";
                return false;
            }
            points.push_back(value);
        }
        if (!words.eof() || points.size() % 2 != 0) {
            error = where + "points must be pairs of numbers";
            return false;
        }
        if ((keyword == "sea") == sea) {
            error = where + (sea ? "a second \"sea\" line" : "the first line must be \"sea <colour>\"");
            return false;
        }
        if (keyword == "sea" && points.empty()) {
            std::fill(out.pixels.begin(), out.pixels.end(), colour);
            sea = true;
        } else if (keyword == "land" && points.size() >= 6) {
            FillPolygon(out, points, colour);
        } else if (keyword == "route" && points.size() >= 4) {
            DrawPolyline(out, points, width, colour);
        } else {
            error = where + "expected \"sea <colour>\", \"land <colour> <3+ points>\" or \"route <colour> <width> <2+ points>\"";
            return false;
        }
    }
    if (!sea) {
        error = "no \"sea\" line";
        return false;
    }
    return true;
}

std::vector<std::uint8_t> EncodePicture(const Picture& picture) {
    // ARGB words are B, G, R, A bytes in memory on a little-endian machine; spell them out to stay exact.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(picture.pixels.size() * 4);
    for (std::uint32_t argb : picture.pixels) {
        bytes.push_back(static_cast<std::uint8_t>(argb));
        bytes.push_back(static_cast<std::uint8_t>(argb >> 8));
        bytes.push_back(static_cast<std::uint8_t>(argb >> 16));
        bytes.push_back(static_cast<std::uint8_t>(argb >> 24));
    }
    engine::ConstSurfaceView view{engine::SurfaceFormat::kA8R8G8B8, static_cast<std::uint32_t>(picture.width),
                                  static_cast<std::uint32_t>(picture.height),
                                  static_cast<std::size_t>(picture.width) * 4, bytes.data()};
    return engine::EncodePng(view);
}

}  // namespace mappictures
