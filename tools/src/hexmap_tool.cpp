// Builds battle map files from their text sources and prints them back.
//   hexmap build <source.txt> <GameMap.Hex>   refuses, naming the tile, what the game would misread
//   hexmap dump <GameMap.Hex>                 prints the file as a source (regions as comments)
//   hexmap thumbnail <GameMap.Hex> <palette.txt> <thumbnail.png>
//                                             the map picker's picture of the map
//   hexmap campaignmap <campaignmap.txt> <palette.txt> <CampaignMap.png>
//                                             the campaign map's backdrop from its description
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"
#include "mappictures/map_pictures.h"
#include "files/replace_file.h"

namespace {

bool ReadFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes beside the target and renames over it, so that an interrupted write leaves the old file whole.
bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string error;
    return tools::WriteFileReplacing(path, bytes, error);
}

int Build(const std::string& sourcePath, const std::string& outPath) {
    std::string source;
    if (!ReadFile(sourcePath, source)) {
        std::cerr << "hexmap: cannot read " << sourcePath << "\n";
        return 1;
    }
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!game::BuildHexMapFromSource(source, bytes, error)) {
        std::cerr << sourcePath << ": " << error << "\n";
        return 1;
    }
    if (!WriteFileReplacing(outPath, bytes)) {
        std::cerr << "hexmap: cannot write " << outPath << "\n";
        return 1;
    }
    return 0;
}

int Dump(const std::string& path) {
    std::string file;
    if (!ReadFile(path, file)) {
        std::cerr << "hexmap: cannot read " << path << "\n";
        return 1;
    }
    game::HexFileImage image;
    if (!game::DecodeHexMapImage(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), image)) {
        std::cerr << path << ": shorter than its header announces\n";
        return 1;
    }
    std::string text;
    std::string error;
    if (!game::FormatHexMapSource(image, text, error)) {
        std::cerr << path << ": " << error << "\n";
        return 1;
    }
    std::cout << text;
    return std::cout ? 0 : 1;
}

bool ReadPalette(const std::string& path, mappictures::Palette& palette) {
    std::string text;
    std::string error;
    if (!ReadFile(path, text)) {
        std::cerr << "hexmap: cannot read " << path << "\n";
        return false;
    }
    if (!mappictures::ParsePalette(text, palette, error)) {
        std::cerr << path << ": " << error << "\n";
        return false;
    }
    return true;
}

int WritePicture(const mappictures::Picture& picture, const std::string& outPath) {
    if (!WriteFileReplacing(outPath, mappictures::EncodePicture(picture))) {
        std::cerr << "hexmap: cannot write " << outPath << "\n";
        return 1;
    }
    return 0;
}

int Thumbnail(const std::string& mapPath, const std::string& palettePath, const std::string& outPath) {
    std::string file;
    mappictures::Palette palette;
    if (!ReadFile(mapPath, file)) {
        std::cerr << "hexmap: cannot read " << mapPath << "\n";
        return 1;
    }
    if (!ReadPalette(palettePath, palette)) return 1;
    game::HexFileImage image;
    if (!game::DecodeHexMapImage(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), image)) {
        std::cerr << mapPath << ": shorter than its header announces\n";
        return 1;
    }
    mappictures::Picture picture;
    std::string error;
    if (!mappictures::DrawThumbnail(image, palette, picture, error)) {
        std::cerr << palettePath << ": " << error << "\n";
        return 1;
    }
    return WritePicture(picture, outPath);
}

int CampaignMap(const std::string& sourcePath, const std::string& palettePath, const std::string& outPath) {
    std::string source;
    mappictures::Palette palette;
    if (!ReadFile(sourcePath, source)) {
        std::cerr << "hexmap: cannot read " << sourcePath << "\n";
        return 1;
    }
    if (!ReadPalette(palettePath, palette)) return 1;
    mappictures::Picture picture;
    std::string error;
    if (!mappictures::DrawCampaignMap(source, palette, picture, error)) {
        std::cerr << sourcePath << ": " << error << "\n";
        return 1;
    }
    return WritePicture(picture, outPath);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "build") return Build(args[1], args[2]);
    if (args.size() == 2 && args[0] == "dump") return Dump(args[1]);
    if (args.size() == 4 && args[0] == "thumbnail") return Thumbnail(args[1], args[2], args[3]);
    if (args.size() == 4 && args[0] == "campaignmap") return CampaignMap(args[1], args[2], args[3]);
    std::cerr << "usage: hexmap build <source.txt> <GameMap.Hex>\n"
                 "       hexmap dump <GameMap.Hex>\n"
                 "       hexmap thumbnail <GameMap.Hex> <palette.txt> <thumbnail.png>\n"
                 "       hexmap campaignmap <campaignmap.txt> <palette.txt> <CampaignMap.png>\n";
    return 2;
}
