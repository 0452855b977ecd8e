#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "battle_fakes.h"

namespace {

using namespace battle_test;

HexFileImage Image(int version, int width, int height, HexFileRecord fill = {}) {
    HexFileImage image;
    image.header.version = version;
    image.header.width = width;
    image.header.height = height;
    image.header.weather = 3;
    image.records.assign(static_cast<std::size_t>(width * height), fill);
    return image;
}

HexFileRecord Land(int level = 0) {
    HexFileRecord r;
    r.terrain = kTerrainLand;
    r.level = static_cast<std::uint8_t>(level);
    r.height = 0.5f;
    return r;
}

std::vector<std::uint8_t> Bytes(const HexFileImage& image) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(EncodeHexMapImage(image, bytes));
    return bytes;
}

// Loads from a heap block of exactly the data's size, so that a read past the end is an ASan report.
bool Load(HexMap& map, const std::vector<std::uint8_t>& bytes, std::size_t size) {
    auto block = std::make_unique<std::uint8_t[]>(size == 0 ? 1 : size);
    if (size > 0) std::memcpy(block.get(), bytes.data(), size);
    return LoadHexMapFromMemory(map, size == 0 ? nullptr : block.get(), size);
}
bool Load(HexMap& map, const std::vector<std::uint8_t>& bytes) { return Load(map, bytes, bytes.size()); }

bool IsCleared(const HexMap& map) {
    for (int c = 0; c < kMapColumns; ++c) {
        for (int r = 0; r < kMapRows; ++r) {
            if (map.GetTile(H(c, r)).terrain != 0 || map.GetTile(H(c, r)).objectClass != 0) return false;
        }
    }
    return map.GetWeatherType() == 0 && map.GetHalfExtent().x == 0.0f;
}

TEST(HexMapFile, RecordSizesByVersion) {
    const int sizes[][2] = {{8, 7}, {9, 11}, {10, 11}, {11, 12}, {12, 13}, {13, 13}};
    for (const auto& s : sizes) {
        EXPECT_EQ(HexFileRecordSize(s[0]), s[1]);
        const std::vector<std::uint8_t> bytes = Bytes(Image(s[0], 2, 3, Land()));
        const std::size_t header = s[0] >= 10 ? 6 : 4;
        EXPECT_EQ(bytes.size(), header + 6u * static_cast<std::size_t>(s[1])) << "version " << s[0];
    }
}

TEST(HexMapFile, Version8HasLevelHeightsAndNoWeather) {
    HexFileImage image = Image(8, 48, 38, Land(2));
    image.At(5, 5).level = 3;
    HexMap map;
    ASSERT_TRUE(Load(map, Bytes(image)));
    EXPECT_EQ(map.GetWeatherType(), 0);
    EXPECT_EQ(map.GetTile(H(4, 4)).level, 4);
    EXPECT_FLOAT_EQ(map.GetTile(H(4, 4)).height, 1.0f);
    EXPECT_FLOAT_EQ(map.GetTile(H(5, 5)).height, 1.5f);
    EXPECT_EQ(map.GetTile(H(0, 37)).terrain, 0);  // row 37 of an even column is no tile
    EXPECT_EQ(map.GetTile(H(1, 37)).terrain, kTerrainLand);
}

TEST(HexMapFile, LaterVersionsAddWeatherImmobileAndRegion) {
    HexFileRecord record = Land();
    record.immobile = 1;
    record.regionId = 7;
    record.height = 0.625f;
    struct Case {
        int version, weather, immobile, region;
        float height;
    } cases[] = {{9, 0, 0, 0, 0.625f}, {10, 3, 0, 0, 0.625f}, {11, 3, 1, 0, 0.625f}, {12, 3, 1, 7, 0.625f},
                 {13, 3, 1, 7, 0.625f}, {200, 3, 1, 7, 0.625f}};
    for (const Case& c : cases) {
        HexMap map;
        ASSERT_TRUE(Load(map, Bytes(Image(c.version, 4, 4, record)))) << c.version;
        EXPECT_EQ(map.GetWeatherType(), c.weather) << c.version;
        EXPECT_EQ(map.GetTile(H(1, 1)).immobile, c.immobile) << c.version;
        EXPECT_EQ(map.GetTile(H(1, 1)).regionId, c.region) << c.version;
        EXPECT_FLOAT_EQ(map.GetTile(H(1, 1)).height, c.height) << c.version;
    }
}

void CheckCorrections(const HexMap& map, int version);

TEST(HexMapFile, CorrectionsAtEveryVersion) {
    HexFileImage image = Image(12, 8, 2, Land());
    auto& shoreLow = image.At(0, 0);
    shoreLow.terrain = kTerrainShore;
    auto& shoreHigh = image.At(1, 0);
    shoreHigh.terrain = kTerrainShore;
    shoreHigh.level = 1;
    auto& raised = image.At(2, 0);
    raised.objectClass = kObjectFeature, raised.objectType = kFeatureRaised, raised.level = 2;
    auto& pad = image.At(3, 0);
    pad.objectClass = kObjectStructure, pad.objectType = kStructureBuildPad, pad.objectOwner = 3;
    auto& removed = image.At(4, 0);
    removed.objectClass = kObjectFeature, removed.objectType = kFeatureRemoved, removed.objectOwner = 2;
    auto& overlay = image.At(5, 0);
    overlay.overlay = 9;
    auto& raisedShore = image.At(6, 0);
    raisedShore.terrain = kTerrainShore;
    raisedShore.objectClass = kObjectFeature, raisedShore.objectType = kFeatureRaised;
    auto& factory = image.At(7, 0);
    factory.objectClass = kObjectStructure, factory.objectType = kStructureFactory, factory.objectOwner = 2;
    factory.mirrored = 1;

    for (int version : {8, 10, 11, 12}) {
        SCOPED_TRACE(version);
        image.header.version = version;
        HexMap map;
        ASSERT_TRUE(Load(map, Bytes(image)));
        CheckCorrections(map, version);
    }
}

void CheckCorrections(const HexMap& map, int version) {
    EXPECT_EQ(map.GetTile(H(0, 0)).terrain, kTerrainShore);
    EXPECT_EQ(map.GetTile(H(0, 0)).level, 1);
    EXPECT_EQ(map.GetTile(H(1, 0)).terrain, kTerrainLand);
    EXPECT_EQ(map.GetTile(H(1, 0)).level, 3);
    EXPECT_EQ(map.GetTile(H(2, 0)).level, 5);
    EXPECT_EQ(map.GetTile(H(3, 0)).objectOwner, 0);
    EXPECT_EQ(map.GetTile(H(3, 0)).objectType, kStructureBuildPad);
    EXPECT_EQ(map.GetTile(H(4, 0)).objectClass, 0);
    EXPECT_EQ(map.GetTile(H(4, 0)).objectType, 0);
    EXPECT_EQ(map.GetTile(H(4, 0)).objectOwner, 0);
    EXPECT_EQ(map.GetTile(H(5, 0)).overlay, 1);
    EXPECT_EQ(map.GetTile(H(6, 0)).terrain, kTerrainLand);  // raised to 1 before the shore rule
    EXPECT_EQ(map.GetTile(H(6, 0)).level, 2);
    EXPECT_EQ(map.GetTile(H(7, 0)).objectOwner, 2);
    EXPECT_EQ(map.GetTile(H(7, 0)).mirrored, 1);
    // Run-time fields start at zero.
    EXPECT_EQ(map.GetMarkBits(H(1, 1)), 0);
    EXPECT_EQ(map.GetTile(H(1, 1)).unitWeight, 0.0f);
    EXPECT_EQ(map.GetTile(H(1, 1)).trigger, nullptr);
    // Before version 9 heights come from the corrected levels.
    EXPECT_FLOAT_EQ(map.GetTile(H(2, 0)).height, version < 9 ? 5 * 0.25f : 0.5f);
    EXPECT_FLOAT_EQ(map.GetTile(H(1, 0)).height, version < 9 ? 3 * 0.25f : 0.5f);
}

TEST(HexMapFile, ColumnsAndRowsBeyondTheGridAreDropped) {
    HexFileImage image = Image(12, 50, 40, Land());
    for (int row = 0; row < 40; ++row) {
        image.At(48, row).terrain = 9;  // out of range, but dropped
        image.At(49, row).objectClass = 2;
    }
    image.At(47, 5).level = 4;
    image.At(0, 37).terrain = 7;  // row 37 of an even column: off the grid, dropped
    HexMap map;
    ASSERT_TRUE(Load(map, Bytes(image)));
    EXPECT_EQ(map.GetTile(H(47, 5)).level, 8);  // the record after 48 + 2 per row lands right
    EXPECT_EQ(map.GetTile(H(1, 37)).terrain, kTerrainLand);
    EXPECT_EQ(map.GetTile(H(0, 37)).terrain, 0);
}

TEST(HexMapFile, CentreAndExtent) {
    HexFileImage image = Image(12, 48, 38);
    image.At(10, 12).terrain = kTerrainLand;
    image.At(37, 5).terrain = kTerrainWater;
    image.At(20, 30).terrain = kTerrainBlocked;
    HexMap map;
    ASSERT_TRUE(Load(map, Bytes(image)));
    EXPECT_FLOAT_EQ(map.GetCentreOffset().x, -1.0f);
    EXPECT_FLOAT_EQ(map.GetCentreOffset().y, 2.0f);
    EXPECT_FLOAT_EQ(map.GetCentreOffset().z, 0.0f);
    EXPECT_FLOAT_EQ(map.GetHalfExtent().x, 13.5f);
    EXPECT_FLOAT_EQ(map.GetHalfExtent().y, 0.0f);
    EXPECT_FLOAT_EQ(map.GetHalfExtent().z, 13.5f);
}

TEST(HexMapFile, DamagedFilesFailAndLeaveTheMapCleared) {
    HexFileRecord land = Land();
    for (int version : {8, 10, 11, 12}) {
        const std::vector<std::uint8_t> bytes = Bytes(Image(version, 3, 2, land));
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            HexMap map;
            ASSERT_TRUE(Load(map, Bytes(Image(12, 2, 2, land))));
            EXPECT_FALSE(Load(map, bytes, cut)) << "version " << version << " cut at " << cut;
            EXPECT_TRUE(IsCleared(map)) << "version " << version << " cut at " << cut;
        }
        HexMap map;
        EXPECT_TRUE(Load(map, bytes));
    }

    // A header that announces more records than the data holds.
    std::vector<std::uint8_t> lying = Bytes(Image(12, 3, 2, land));
    lying[2] = 4;
    HexMap map;
    EXPECT_FALSE(Load(map, lying));
    lying[2] = 3;
    lying[3] = 255;
    EXPECT_FALSE(Load(map, lying));
    EXPECT_TRUE(IsCleared(map));
}

TEST(HexMapFile, RefusesEmptyMapsAndFieldsOutOfRange) {
    HexMap map;
    EXPECT_FALSE(Load(map, Bytes(Image(12, 0, 5, Land()))));
    EXPECT_FALSE(Load(map, Bytes(Image(12, 5, 0, Land()))));
    EXPECT_FALSE(Load(map, Bytes(Image(12, 5, 5))));  // no used tile

    struct Case {
        const char* what;
        int terrain, objectClass, objectType, owner;
        float height;
        bool loads;
    } cases[] = {
        {"terrain 5", 5, 0, 0, 0, 0.0f, true},
        {"terrain 6", 6, 0, 0, 0, 0.0f, false},
        {"class 2", 3, 2, 1, 0, 0.0f, false},
        {"class 5", 3, 5, 1, 0, 0.0f, false},
        {"structure 0", 3, 3, 0, 0, 0.0f, false},
        {"structure 11", 3, 3, 11, 0, 0.0f, true},
        {"structure 12", 3, 3, 12, 0, 0.0f, false},
        {"unit 0", 3, 4, 0, 0, 0.0f, false},
        {"unit 24", 3, 4, 24, 4, 0.0f, true},
        {"unit 25", 3, 4, 25, 0, 0.0f, false},
        {"feature 0", 3, 1, 0, 0, 0.0f, false},
        {"feature 8", 3, 1, 8, 0, 0.0f, true},
        {"feature 9", 3, 1, 9, 0, 0.0f, false},
        {"owner 5", 3, 0, 0, 5, 0.0f, false},
        {"infinite height", 3, 0, 0, 0, std::numeric_limits<float>::infinity(), false},
        {"no-number height", 3, 0, 0, 0, std::numeric_limits<float>::quiet_NaN(), false},
    };
    for (const Case& c : cases) {
        HexFileImage image = Image(12, 3, 3, Land());
        HexFileRecord& r = image.At(1, 2);
        r.terrain = static_cast<std::uint8_t>(c.terrain);
        r.objectClass = static_cast<std::uint8_t>(c.objectClass);
        r.objectType = static_cast<std::uint8_t>(c.objectType);
        r.objectOwner = static_cast<std::uint8_t>(c.owner);
        r.height = c.height;
        EXPECT_EQ(Load(map, Bytes(image)), c.loads) << c.what;
        if (!c.loads) {
            EXPECT_TRUE(IsCleared(map)) << c.what;
        }
    }
}

TEST(HexMapFile, LoadsThroughTheFileLoader) {
    const std::vector<std::uint8_t> file = Bytes(Image(12, 4, 4, Land()));
    std::string asked;
    auto loader = [&](const std::string& path, std::vector<std::uint8_t>& out) {
        asked = path;
        if (path != "Campaigns/One/GameMap.Hex") return false;
        out = file;
        return true;
    };
    HexMap map;
    EXPECT_TRUE(LoadHexMap(map, "Campaigns/One", loader));
    EXPECT_EQ(asked, "Campaigns/One/GameMap.Hex");
    EXPECT_EQ(map.GetTile(H(3, 3)).terrain, kTerrainLand);
    EXPECT_FALSE(LoadHexMap(map, "Campaigns/Two", loader));
    EXPECT_TRUE(IsCleared(map));
    EXPECT_FALSE(LoadHexMap(map, "Campaigns/One", HexMapFileLoader{}));
}

TEST(HexMapFile, DecodeGivesTheRecordsAsStored) {
    HexFileImage image = Image(11, 3, 2, Land(4));
    image.At(2, 1).immobile = 1;
    const std::vector<std::uint8_t> bytes = Bytes(image);
    HexFileImage decoded;
    ASSERT_TRUE(DecodeHexMapImage(bytes.data(), bytes.size(), decoded));
    EXPECT_EQ(decoded.header.version, 11);
    EXPECT_EQ(decoded.header.weather, 3);
    EXPECT_EQ(decoded.At(2, 1).immobile, 1);
    EXPECT_EQ(decoded.At(0, 0).level, 4);
    EXPECT_FALSE(DecodeHexMapImage(bytes.data(), bytes.size() - 1, decoded));
}

}  // namespace
