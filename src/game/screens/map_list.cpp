#include "game/screens/map_list.h"

#include <algorithm>
#include <string>

#include "engine/platform/script_reader.h"

namespace game {

const char* MapSizeLabel(int size) {
    switch (size) {
        case 1: return "(medium)";
        case 2: return "(large)";
        default: return "(compact)";
    }
}

void SetMapDefaults(MapInfo& info) {
    info.title = info.folder;
    info.subtitle = engine::WideString("no subtitle");
    info.size = 0;
}

bool ReadMapDetails(engine::ScriptReader& details, MapInfo& info) {
    if (details.FindKeyword("NAMES", true) == 0) return false;
    info.title = details.ReadLine();
    info.subtitle = details.ReadLine();
    int size = 0;
    if (details.ReadInt(size) == 0) size = 0;
    info.size = std::clamp(size, 0, kMapSizeClasses - 1);
    return true;
}

void LoadMapDetails(MapInfo& info) {
    SetMapDefaults(info);
    engine::ScriptReader details;
    const std::string name = std::string(info.folder.GetNarrow()) + "/details";
    if (details.Load(name.c_str()) != 0) ReadMapDetails(details, info);
}

std::vector<MapInfo> ReadMapList(engine::ScriptReader& list, const std::function<void(MapInfo&)>& fillDetails) {
    std::vector<MapInfo> maps;
    while (static_cast<int>(maps.size()) < kMaxMaps) {
        const engine::WideString line = list.ReadLine();
        if (line.IsEmpty()) break;
        MapInfo info;
        info.folder = engine::WideString(kMapListFolder);
        info.folder.Append(line);
        info.folder.BackslashesToSlashes();
        SetMapDefaults(info);
        if (fillDetails) fillDetails(info);
        maps.push_back(std::move(info));
    }
    return maps;
}

}  // namespace game
