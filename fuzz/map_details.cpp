// Reads arbitrary bytes as a map list and a map details text (split at the first zero byte) the way the map
// picker does: every listed map gets the details. At most 39 maps, each folder under "Campaigns/Skirmish/"
// without a backslash, and every size class within 0..2.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/platform/script_reader.h"
#include "game/screens/map_list.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t listSize = zero != nullptr ? static_cast<std::size_t>(zero - data) : size;
    const std::uint8_t* details = zero != nullptr ? zero + 1 : data + size;
    const std::size_t detailsSize = size - listSize - (zero != nullptr ? 1 : 0);

    engine::ScriptReader list;
    if (list.LoadFromImage(data, listSize, "list") == 0) return 0;
    const auto maps = game::ReadMapList(list, [details, detailsSize](game::MapInfo& info) {
        engine::ScriptReader reader;
        if (reader.LoadFromImage(details, detailsSize, "details") != 0) game::ReadMapDetails(reader, info);
    });
    Check(static_cast<int>(maps.size()) <= game::kMaxMaps);
    for (const game::MapInfo& map : maps) {
        Check(map.size >= 0 && map.size < game::kMapSizeClasses);
        Check(map.thumbnail == 0);
        Check(std::strncmp(map.folder.GetNarrow(), game::kMapListFolder, std::strlen(game::kMapListFolder)) == 0);
        for (std::size_t i = 0; i < map.folder.Length(); ++i) Check(map.folder.Data()[i] != u'\\');
        Check(game::MapSizeLabel(map.size) != nullptr);
    }
    return 0;
}
