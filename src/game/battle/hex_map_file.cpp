#include "game/battle/hex_map_file.h"

#include <cmath>

#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_source.h"

namespace game {

namespace {

HexTile TileFromRecord(const HexFileRecord& record, int version) {
    HexTile tile;
    tile.terrain = record.terrain;
    tile.overlay = record.overlay != 0 ? 1 : 0;
    tile.objectClass = record.objectClass;
    tile.objectType = record.objectType;
    tile.objectOwner = record.objectOwner;
    tile.mirrored = record.mirrored;
    tile.immobile = version >= 11 ? record.immobile : 0;
    tile.regionId = version >= 12 ? record.regionId : 0;
    tile.level = HexFileStoredLevel(record);
    // Shore keeps its kind only where the file gives level 0.
    if (tile.terrain == kTerrainShore && tile.level != 1) tile.terrain = kTerrainLand;
    tile.height = version >= 9 ? record.height : static_cast<float>(tile.level) * 0.25f;
    if (tile.objectClass == kObjectStructure && tile.objectType == kStructureBuildPad) tile.objectOwner = 0;
    if (tile.objectClass == kObjectFeature && tile.objectType == kFeatureRemoved) {
        tile.objectClass = kObjectNone;
        tile.objectType = 0;
        tile.objectOwner = 0;
    }
    return tile;
}

void ClearMap(HexMap& map) {
    map.ClearTiles();
    map.SetPlacement(engine::Vec3{}, engine::Vec3{});
}

}  // namespace

bool HexFileRecordInRange(const HexFileRecord& record) {
    if (record.terrain > kMaxTerrain || record.objectOwner > kMaxTeamKind) return false;
    switch (record.objectClass) {
        case kObjectNone: return true;
        case kObjectFeature: return record.objectType >= 1 && record.objectType <= kMaxFeatureKind;
        case kObjectStructure: return record.objectType >= 1 && record.objectType <= kMaxStructureType;
        case kObjectUnitStart: return record.objectType >= 1 && record.objectType <= UT_DOOR;
        default: return false;
    }
}

int HexFileRecordSize(int version) {
    if (version < 9) return 7;
    if (version < 11) return 11;
    if (version < 12) return 12;
    return 13;
}

int HexFileStoredLevel(const HexFileRecord& record) {
    int level = record.level * 2;
    if (record.objectClass == kObjectFeature && record.objectType == kFeatureRaised) level += 1;
    if (record.terrain == kTerrainShore) level += 1;
    return level;
}

bool ReadHexFileHeader(engine::ByteCursor& cursor, HexFileHeader& out) {
    std::uint16_t version = 0;
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::uint8_t weather = 0;
    std::uint8_t reserved = 0;
    engine::ReadU16(cursor, version);
    engine::ReadU8(cursor, width);
    engine::ReadU8(cursor, height);
    if (version >= 10) {
        engine::ReadU8(cursor, weather);
        engine::ReadU8(cursor, reserved);
    }
    if (cursor.Failed()) return false;
    out.version = version;
    out.width = width;
    out.height = height;
    out.weather = weather;
    out.reserved = reserved;
    return true;
}

bool ReadHexFileRecord(engine::ByteCursor& cursor, int version, HexFileRecord& out) {
    HexFileRecord record;
    if (version >= 9) engine::ReadFloat(cursor, record.height);
    engine::ReadU8(cursor, record.terrain);
    engine::ReadU8(cursor, record.overlay);
    engine::ReadU8(cursor, record.level);
    engine::ReadU8(cursor, record.objectClass);
    engine::ReadU8(cursor, record.objectType);
    engine::ReadU8(cursor, record.objectOwner);
    engine::ReadU8(cursor, record.mirrored);
    if (version >= 11) engine::ReadU8(cursor, record.immobile);
    if (version >= 12) engine::ReadU8(cursor, record.regionId);
    if (cursor.Failed()) return false;
    out = record;
    return true;
}

bool DecodeHexMapImage(const std::uint8_t* data, std::size_t size, HexFileImage& out) {
    engine::ByteCursor cursor(data, size);
    HexFileHeader header;
    if (!ReadHexFileHeader(cursor, header)) return false;
    const std::size_t count = static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height);
    if (cursor.Remaining() / static_cast<std::size_t>(HexFileRecordSize(header.version)) < count) return false;
    out.header = header;
    out.records.assign(count, HexFileRecord{});
    for (HexFileRecord& record : out.records) {
        if (!ReadHexFileRecord(cursor, header.version, record)) return false;
    }
    return true;
}

bool LoadHexMapFromMemory(HexMap& map, const std::uint8_t* data, std::size_t size, std::string* reason) {
    ClearMap(map);
    const auto refuse = [&](const std::string& why) {
        ClearMap(map);
        if (reason != nullptr) *reason = why;
        return false;
    };
    engine::ByteCursor cursor(data, size);
    HexFileHeader header;
    if (!ReadHexFileHeader(cursor, header)) return refuse("shorter than its header");
    if (header.width == 0 || header.height == 0) return refuse("a grid of no columns or no rows");
    const int version = header.version > kHexMapNewestVersion ? kHexMapNewestVersion : header.version;
    const std::size_t count = static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height);
    // A file shorter than its header announces is refused whole; a partial map is worse than none.
    if (cursor.Remaining() / static_cast<std::size_t>(HexFileRecordSize(version)) < count) {
        return refuse("shorter than its header announces");
    }

    int minColumn = kMapColumns, maxColumn = -1, minRow = kMapRows, maxRow = -1;
    for (int row = 0; row < header.height; ++row) {
        for (int column = 0; column < header.width; ++column) {
            HexFileRecord record;
            if (!ReadHexFileRecord(cursor, version, record)) return refuse("shorter than its header announces");
            // Records beyond the grid, and row 37 of an even column, are read and dropped.
            const HexCoord hex = MakeHexCoord(column, row);
            if (column >= kMapColumns || row >= kMapRows || !IsValidHex(hex)) continue;
            // Later rules index palettes, factories and tables with these fields.
            if (!HexFileRecordInRange(record)) {
                return refuse(FormatHexLabel(hex) + ": a terrain, object class, type or owner out of range");
            }
            if (version >= 9 && !std::isfinite(record.height)) {
                return refuse(FormatHexLabel(hex) + ": a height that is not a finite number");
            }
            *map.EditTile(hex) = TileFromRecord(record, version);
            if (record.terrain != kTerrainNone) {
                if (column < minColumn) minColumn = column;
                if (column > maxColumn) maxColumn = column;
                if (row < minRow) minRow = row;
                if (row > maxRow) maxRow = row;
            }
        }
    }
    // With no used tile the centre would come from an empty box.
    if (maxColumn < 0) return refuse("no tile on the grid has terrain");
    const int width = maxColumn - minColumn;
    const int height = maxRow - minRow;
    const int centreColumn = minColumn + width / 2;
    const int centreRow = minRow + height / 2;
    const float half = static_cast<float>(width > height ? width : height) / 2.0f;
    map.SetPlacement(engine::Vec3(static_cast<float>(centreColumn - 24), static_cast<float>(19 - centreRow), 0.0f),
                     engine::Vec3(half, 0.0f, half));
    map.SetWeatherType(version >= 10 ? header.weather : 0);
    return true;
}

bool LoadHexMap(HexMap& map, const std::string& folder, const HexMapFileLoader& load) {
    ClearMap(map);
    std::vector<std::uint8_t> bytes;
    if (!load || !load(folder + "/" + kHexMapFileName, bytes)) return false;
    return LoadHexMapFromMemory(map, bytes.data(), bytes.size());
}

}  // namespace game
