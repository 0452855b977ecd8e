// The "levels" command: build the level models into a data folder, or check them in a built archive.
#include "levels_command.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/posix_zip_archive.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/model_table.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "level_checks.h"
#include "level_writer.h"

namespace tools {
namespace {

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The engine tables the model writer and the container reader fill, for the life of the command.
class ModelTables {
public:
    explicit ModelTables(engine::MaterialTextureSource* textures = nullptr) {
        engine::GetMaterialLib().Init(4096, textures);
        engine::ModelTable::Init(1024);
    }
    ~ModelTables() {
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
    }
    ModelTables(const ModelTables&) = delete;
    ModelTables& operator=(const ModelTables&) = delete;
};

int Build(const std::string& data, const std::string& palettePath, const std::vector<std::string>& folders) {
    std::vector<std::uint8_t> paletteBytes;
    levelmodel::Palette palette;
    std::string error;
    if (!ReadFile(palettePath, paletteBytes) ||
        !levelmodel::ParsePalette(std::string(paletteBytes.begin(), paletteBytes.end()), palette, error)) {
        std::cerr << "levels: " << palettePath << ": " << (error.empty() ? "cannot read" : error) << "\n";
        return 1;
    }
    ModelTables tables;
    if (!levelmodel::WriteCommonAssets(data, palette, error)) {
        std::cerr << "levels: " << error << "\n";
        return 1;
    }
    for (const std::string& folder : folders) {
        game::HexMap map;
        if (!game::LoadHexMap(map, folder, [&data](const std::string& path, std::vector<std::uint8_t>& out) {
                return ReadFile(data + "/" + path, out);
            })) {
            std::cerr << "levels: " << folder << ": the map file does not load\n";
            return 1;
        }
        if (!levelmodel::WriteLevel(data, folder, map, palette, error)) {
            std::cerr << "levels: " << error << "\n";
            return 1;
        }
    }
    return 0;
}

int Check(const std::string& archivePath, const std::vector<std::string>& folders) {
    auto archive = std::make_unique<engine::PosixZipArchive>();
    if (archive->Open(archivePath) != 1) {
        std::cerr << "levels: cannot open " << archivePath << "\n";
        return 1;
    }
    engine::ArchiveSet mounted;
    mounted.Mount(std::move(archive), "MainWad");
    engine::SetActiveArchiveSet(&mounted);
    engine::SetBaseFolderNarrow("/nonexistent/levels");
    int faults = 0;
    {
        levelmodel::DecodingTextureSource textures;
        ModelTables tables(&textures);
        for (const std::string& folder : folders) {
            levelmodel::LevelCheckCounts counts;
            const std::vector<levelmodel::LevelFault> found = levelmodel::CheckLevelFolder(folder, &counts);
            std::cout << folder << ": " << counts.triangles << " triangles, " << counts.picks << " picks, "
                      << counts.clicks << " clicks, lines of sight " << counts.clearLines << " open, "
                      << counts.wallLines << " past walls, " << counts.heightLines << " past heights\n";
            for (const levelmodel::LevelFault& fault : found) {
                std::cout << folder << "/Map" << (fault.where.empty() ? "" : ", " + fault.where) << ": "
                          << fault.message << "\n";
                ++faults;
            }
        }
    }
    engine::SetActiveArchiveSet(nullptr);
    std::cout << folders.size() << " levels checked, " << faults << " faults\n";
    return faults == 0 ? 0 : 1;
}

}  // namespace

int RunLevelsCommand(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    std::vector<std::string> rest;
    for (int i = 2; i < argc; ++i) rest.emplace_back(argv[i]);
    if (verb == "build" && rest.size() >= 2) {
        const std::string data = rest[0], palette = rest[1];
        return Build(data, palette, std::vector<std::string>(rest.begin() + 2, rest.end()));
    }
    if (verb == "check" && !rest.empty()) {
        return Check(rest[0], std::vector<std::string>(rest.begin() + 1, rest.end()));
    }
    std::cerr << "usage: levels build <data folder> <palette.txt> <level folder>...\n"
                 "       levels check <archive> <level folder>...\n";
    return 2;
}

}  // namespace tools
