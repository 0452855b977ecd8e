#pragma once
// The battle map file "GameMap.Hex": a little-endian header (version, width, height and, from version 10,
// weather and a reserved byte) and width x height tile records, row by row. Records are 7 bytes before
// version 9 (no height), 11 in versions 9 and 10, 12 in 11 (immobile) and 13 from 12 (region). Versions
// above 12 read as 12.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/byte_cursor.h"

namespace game {

class HexMap;

inline constexpr int kHexMapNewestVersion = 12;
inline constexpr const char* kHexMapFileName = "GameMap.Hex";

struct HexFileHeader {
    int version = kHexMapNewestVersion;
    int width = 0;   // columns stored
    int height = 0;  // rows stored
    int weather = 0;  // 0 or 1 rain, 2 none, 3 snow
    int reserved = 0;
};

// One tile record as the file holds it, before the reader's corrections.
struct HexFileRecord {
    float height = 0.0f;
    std::uint8_t terrain = 0;
    std::uint8_t overlay = 0;
    std::uint8_t level = 0;  // whole steps
    std::uint8_t objectClass = 0;
    std::uint8_t objectType = 0;
    std::uint8_t objectOwner = 0;
    std::uint8_t mirrored = 0;
    std::uint8_t immobile = 0;
    std::uint8_t regionId = 0;
};

// A whole file: records row by row, width x height of them.
struct HexFileImage {
    HexFileHeader header;
    std::vector<HexFileRecord> records;

    HexFileRecord& At(int column, int row) { return records[static_cast<std::size_t>(row * header.width + column)]; }
    const HexFileRecord& At(int column, int row) const {
        return records[static_cast<std::size_t>(row * header.width + column)];
    }
};

int HexFileRecordSize(int version);
// True when terrain, owner, object class and the type of that class are values the game knows.
bool HexFileRecordInRange(const HexFileRecord& record);
// The stored level after the reader's corrections: level x 2, one more on a raised feature, and shore
// tiles one higher again.
int HexFileStoredLevel(const HexFileRecord& record);

bool ReadHexFileHeader(engine::ByteCursor& cursor, HexFileHeader& out);
bool ReadHexFileRecord(engine::ByteCursor& cursor, int version, HexFileRecord& out);
// The file as it stands, without corrections or range checks; false when it is shorter than its header says.
bool DecodeHexMapImage(const std::uint8_t* data, std::size_t size, HexFileImage& out);

// Loads a map from the bytes of a file. On any fault (short data, an empty size, no used tile, a field
// out of range, a height that is not finite) the map is left cleared, the result is false and, when asked
// for, the reason (naming the tile where there is one) is written to reason.
bool LoadHexMapFromMemory(HexMap& map, const std::uint8_t* data, std::size_t size, std::string* reason = nullptr);

// Reads a whole data-relative file; false when it cannot be read.
using HexMapFileLoader = std::function<bool(const std::string& path, std::vector<std::uint8_t>& out)>;
// Loads "<folder>/GameMap.Hex" through the loader. A file that cannot be read leaves the map cleared.
bool LoadHexMap(HexMap& map, const std::string& folder, const HexMapFileLoader& load);

}  // namespace game
