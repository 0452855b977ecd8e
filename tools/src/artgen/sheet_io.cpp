#include "artgen/sheet_io.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/battle/battle_types.h"
#include "game/battle/team_colours.h"
#include "mappictures/map_pictures.h"

namespace artgen {

namespace {

bool ReadText(const std::string& file, std::string& out, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = file + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

}  // namespace

bool LoadColours(const std::string& paletteFile, ColourNames& out, std::string& error) {
    std::string text;
    if (!ReadText(paletteFile, text, error)) return false;
    mappictures::Palette palette;
    if (!mappictures::ParsePalette(text, palette, error)) {
        error = paletteFile + " " + error;
        return false;
    }
    out = ColourNames(palette.begin(), palette.end());
    game::InitTeamColours();
    const std::pair<int, const char*> teams[] = {{game::kTeamNeutral, "teamneutral"}, {game::kTeamBlue, "teamblue"},
                                                 {game::kTeamGreen, "teamgreen"},     {game::kTeamYellow, "teamyellow"},
                                                 {game::kTeamEnemy, "teamenemy"}};
    for (const auto& [kind, name] : teams) out[name] = game::GetTeamColour(kind) | 0xFF000000u;
    return true;
}

bool LoadCellMap(const std::string& file, CellMap& out, std::string& error) {
    std::string text;
    if (!ReadText(file, text, error)) return false;
    if (ParseCellMap(text, out, error)) return true;
    error = file + " " + error;
    return false;
}

bool LoadArt(const std::string& file, const ColourNames& colours, ArtBook& book, std::string& error) {
    std::string text;
    return ReadText(file, text, error) && ParseArt(text, file, colours, book, error);
}

bool WritePng(const SheetPixels& pixels, const std::string& file, std::string& error) {
    mappictures::Picture picture;
    picture.width = pixels.width;
    picture.height = pixels.height;
    picture.pixels = pixels.pixels;
    const std::vector<std::uint8_t> png = mappictures::EncodePicture(picture);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    std::ofstream out(file, std::ios::binary);
    if (png.empty() || !out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()))) {
        error = file + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace artgen
