// Feeds arbitrary bytes to the battle map reader. A load either fails and leaves the map cleared, or
// succeeds with every field of every tile in the range the rules rely on.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"

namespace {

using namespace game;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

bool TypeInRange(const HexTile& tile) {
    switch (tile.objectClass) {
        case kObjectNone: return true;
        case kObjectFeature: return tile.objectType >= 1 && tile.objectType <= kMaxFeatureKind && tile.objectType != kFeatureRemoved;
        case kObjectStructure: return tile.objectType >= 1 && tile.objectType <= kMaxStructureType;
        case kObjectUnitStart: return tile.objectType >= 1 && tile.objectType <= UT_DOOR;
        default: return false;
    }
}

void CheckTile(const HexMap& map, HexCoord hex) {
    const HexTile& tile = map.GetTile(hex);
    Check(tile.terrain >= 0 && tile.terrain <= kMaxTerrain);
    Check(TypeInRange(tile));
    Check(tile.objectOwner >= 0 && tile.objectOwner <= kMaxTeamKind);
    if (tile.objectClass == kObjectStructure && tile.objectType == kStructureBuildPad) Check(tile.objectOwner == 0);
    Check(tile.level >= 0 && tile.level <= 255 * 2 + 2);
    if (tile.terrain == kTerrainShore) Check(tile.level == 1);
    Check(std::isfinite(tile.height));
    Check(tile.overlay == 0 || tile.overlay == 1);
    Check(tile.regionId >= 0 && tile.regionId <= 255);
    Check(tile.trigger == nullptr && tile.unitWeight == 0.0f && tile.hotspot == 0 && tile.dropReservation == 0);
    for (std::uint16_t threat : tile.threat) Check(threat == 0);
    Check(map.GetMarkBits(hex) == 0 && map.GetMoveLeft(hex) == 0.0f && map.GetRangeStep(hex) == 0);
}

bool IsCleared(const HexMap& map) {
    for (int c = 0; c < kMapColumns; ++c) {
        for (int r = 0; r < kMapRows; ++r) {
            const HexTile& tile = map.GetTile(MakeHexCoord(c, r));
            if (tile.terrain != 0 || tile.objectClass != 0 || tile.level != 0 || tile.height != 0.0f) return false;
        }
    }
    return map.GetWeatherType() == 0 && map.GetHalfExtent().x == 0.0f && map.GetCentreOffset().x == 0.0f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto map = std::make_unique<HexMap>();
    const bool loaded = LoadHexMapFromMemory(*map, data, size);
    HexFileImage image;
    const bool decoded = DecodeHexMapImage(data, size, image);
    if (!loaded) {
        Check(IsCleared(*map));
        return 0;
    }
    Check(decoded);
    bool used = false;
    for (int c = 0; c < kMapColumns; ++c) {
        for (int r = 0; r < kMapRows; ++r) {
            CheckTile(*map, MakeHexCoord(c, r));
            used = used || map->GetTile(MakeHexCoord(c, r)).terrain != 0;
        }
    }
    Check(used);
    // Off the grid nothing is read or written.
    for (HexCoord bad : {MakeHexCoord(0, 37), MakeHexCoord(48, 0), MakeHexCoord(-1, 5)}) {
        Check(map->GetTile(bad).terrain == 0 && map->EditTile(bad) == nullptr);
    }
    const engine::Vec3& centre = map->GetCentreOffset();
    const engine::Vec3& half = map->GetHalfExtent();
    Check(centre.x >= -24.0f && centre.x <= 23.0f && centre.y >= -18.0f && centre.y <= 19.0f && centre.z == 0.0f);
    Check(half.x >= 0.0f && half.x <= 23.5f && half.x == half.z && half.y == 0.0f);
    Check(map->GetWeatherType() >= 0 && map->GetWeatherType() <= 255);
    return 0;
}
