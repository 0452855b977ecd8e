#include "game/battle/hex_map_writer.h"

#include <cstdlib>
#include <cstring>

#include "game/battle/battle_types.h"
#include "game/battle/hex_coord.h"
#include "game/battle/hex_map_source.h"

namespace game {

namespace {

void PutU8(std::vector<std::uint8_t>& out, int value) { out.push_back(static_cast<std::uint8_t>(value)); }

void PutU16(std::vector<std::uint8_t>& out, int value) {
    PutU8(out, value & 0xFF);
    PutU8(out, (value >> 8) & 0xFF);
}

void PutFloat(std::vector<std::uint8_t>& out, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    for (int i = 0; i < 4; ++i) PutU8(out, static_cast<int>((bits >> (8 * i)) & 0xFF));
}

bool IsLandKind(int terrain) {
    return terrain == kTerrainLand || terrain == kTerrainShore || terrain == kTerrainLand2;
}

}  // namespace

bool EncodeHexMapImage(const HexFileImage& image, std::vector<std::uint8_t>& out) {
    const HexFileHeader& header = image.header;
    if (header.width < 0 || header.width > 255 || header.height < 0 || header.height > 255 ||
        image.records.size() != static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height)) {
        return false;
    }
    out.clear();
    PutU16(out, header.version);
    PutU8(out, header.width);
    PutU8(out, header.height);
    if (header.version >= 10) {
        PutU8(out, header.weather);
        PutU8(out, header.reserved);
    }
    for (const HexFileRecord& record : image.records) {
        if (header.version >= 9) PutFloat(out, record.height);
        PutU8(out, record.terrain);
        PutU8(out, record.overlay);
        PutU8(out, record.level);
        PutU8(out, record.objectClass);
        PutU8(out, record.objectType);
        PutU8(out, record.objectOwner);
        PutU8(out, record.mirrored);
        if (header.version >= 11) PutU8(out, record.immobile);
        if (header.version >= 12) PutU8(out, record.regionId);
    }
    return true;
}

bool AssignRegions(HexFileImage& image, std::string& error) {
    const int width = image.header.width;
    const int height = image.header.height;
    for (HexFileRecord& record : image.records) record.regionId = 0;
    auto onGrid = [&](HexCoord hex) { return IsValidHex(hex) && hex.column < width && hex.row < height; };

    std::vector<int> region(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    std::vector<HexCoord> queue;
    int regions = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const HexCoord first = MakeHexCoord(column, row);
            const int terrain = image.At(column, row).terrain;
            const bool water = terrain == kTerrainWater;
            if (!onGrid(first) || (!water && !IsLandKind(terrain)) || region[row * width + column] != 0) continue;
            if (regions == 255) {
                error = FormatHexLabel(first) + ": more than 255 regions";
                return false;
            }
            ++regions;
            region[row * width + column] = regions;
            queue.assign(1, first);
            for (std::size_t next = 0; next < queue.size(); ++next) {
                const HexCoord hex = queue[next];
                const HexFileRecord& here = image.At(hex.column, hex.row);
                for (int d = 0; d < kDirectionCount; ++d) {
                    HexCoord to;
                    if (!HexNeighbour(hex, d, to) || !onGrid(to) || region[to.row * width + to.column] != 0) continue;
                    const HexFileRecord& there = image.At(to.column, to.row);
                    const bool joined =
                        water ? there.terrain == kTerrainWater
                              : IsLandKind(there.terrain) &&
                                    std::abs(HexFileStoredLevel(there) - HexFileStoredLevel(here)) <= 1;
                    if (!joined) continue;
                    region[to.row * width + to.column] = regions;
                    queue.push_back(to);
                }
            }
        }
    }
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            image.At(column, row).regionId = static_cast<std::uint8_t>(region[row * width + column]);
        }
    }
    return true;
}

}  // namespace game
