#pragma once
// The maps skirmish and pass-and-play battles are fought on. The list file names one map folder per line,
// relative to its own folder; each map folder holds a "details" file whose [NAMES] section gives the title,
// the subtitle and the size class (0 compact, 1 medium, 2 large), and a "thumbnail" picture.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/core/wide_string.h"

namespace engine {
class ScriptReader;
}

namespace game {

inline constexpr const char* kMapListFile = "Campaigns/Skirmish/standardpassandplaymaps";
inline constexpr const char* kMapListFolder = "Campaigns/Skirmish/";
inline constexpr int kMaxMaps = 39;
inline constexpr int kMapSizeClasses = 3;

struct MapInfo {
    // The folder path with forward slashes.
    engine::WideString folder;
    engine::WideString title;
    engine::WideString subtitle;
    // The thumbnail's texture handle; 0 when none is loaded (list entries never hold one).
    std::uint32_t thumbnail = 0;
    int size = 0;
};

// "(compact)", "(medium)" or "(large)".
const char* MapSizeLabel(int size);

// Title = the folder name, subtitle "no subtitle", size 0.
void SetMapDefaults(MapInfo& info);
// Reads the [NAMES] section of a details text into the title, subtitle and size (clamped to 0..2); false,
// with the record unchanged, when the text has no such section.
bool ReadMapDetails(engine::ScriptReader& details, MapInfo& info);
// The defaults, then the details file of the record's folder when it loads.
void LoadMapDetails(MapInfo& info);

// Reads at most kMaxMaps entries from the list text, one per line up to the first empty or overlong line,
// each folder being kMapListFolder and the line with backslashes turned into slashes; every entry gets its
// defaults and then what fillDetails reads into it.
std::vector<MapInfo> ReadMapList(engine::ScriptReader& list, const std::function<void(MapInfo&)>& fillDetails);

}  // namespace game
