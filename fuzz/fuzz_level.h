#pragma once
// The fixture level of the fuzz targets: a data folder made once per process holding "Levels/Fuzz" with a
// map of both sides' bases (HQs, a factory and its pad, a RepairS and its pad, refineries) and start units.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/platform/data_folders.h"
#include "game/battle/hex_map_source.h"

namespace fuzz {

inline constexpr const char* kFuzzLevelFolder = "Levels/Fuzz";

// Sets the base folder to the fixture's data folder, made on the first call.
inline void UseFuzzLevelData() {
    static const std::string base = [] {
        std::string source = "weather 2\ngrid 12 12\n";
        for (int r = 0; r < 12; ++r) {
            for (int c = 0; c < 12; ++c) source += c + 1 < 12 ? "L0 " : "L0\n";
        }
        source +=
            "structure C2 6 owner 1\nstructure H2 2 owner 1\nstructure G2 1\nstructure C8 6 owner 4\n"
            "structure H8 7 owner 4\nstructure G8 1\nstructure K5 8 owner 1\nstructure K9 8\n"
            "unit A0 17 owner 1\nunit A1 8 owner 1\nunit A2 11 owner 1\nunit A10 17 owner 4\nunit B10 3 owner 4\n"
            "feature F6 6 owner 1\n";
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!game::BuildHexMapFromSource(source, bytes, error)) std::abort();
        char pattern[] = "/tmp/tinmarch-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) std::abort();
        const std::filesystem::path folder = std::filesystem::path(made) / "Data/PC" / kFuzzLevelFolder;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "GameMap.Hex", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        static const std::string root = made;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        });
        return root;
    }();
    engine::SetBaseFolderNarrow(base.c_str());
}

}  // namespace fuzz
