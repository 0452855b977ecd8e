// Builds battle map files from their text sources and prints them back.
//   hexmap build <source.txt> <GameMap.Hex>   refuses, naming the tile, what the game would misread
//   hexmap dump <GameMap.Hex>                 prints the file as a source (regions as comments)
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

namespace {

bool ReadFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes beside the target and renames over it, so that an interrupted write leaves the old file whole.
bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
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

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "build") return Build(args[1], args[2]);
    if (args.size() == 2 && args[0] == "dump") return Dump(args[1]);
    std::cerr << "usage: hexmap build <source.txt> <GameMap.Hex>\n"
                 "       hexmap dump <GameMap.Hex>\n";
    return 2;
}
