// The authoring checks on a map source: what the game would misread or refuse.
#include <memory>

#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"
#include "game/battle/hex_map_writer.h"

namespace game {

namespace {

const char* const kStructureNames[kMaxStructureType + 1] = {
    "",         "BuildPad", "Factory", "Airport", "Dockyard", "Barracks",
    "HQ",       "RepairS",  "Refinery", "Radio",  "Silo",     "SupplyShed"};

bool IsProducer(int type) { return type >= kStructureFactory && type <= kStructureBarracks; }

// A building that serves the build pads beside it.
bool ServesPads(int type) {
    return IsProducer(type) || type == kStructureRepairS || type == kStructureSupplyShed;
}

}  // namespace

bool IsThreeHexBuilding(int type) {
    return (type >= kStructureFactory && type <= kStructureHQ) || type == kStructureSilo;
}

std::vector<HexCoord> StructureFootprint(HexCoord anchor, int type, bool mirrored) {
    std::vector<HexCoord> hexes = {anchor};
    if (IsThreeHexBuilding(type)) {
        hexes.push_back(HexStep(anchor, 3));
        hexes.push_back(HexStep(anchor, mirrored ? 4 : 2));
    }
    return hexes;
}

namespace {

class GameChecks {
public:
    GameChecks(const HexFileImage& image, std::string& error)
        : image_(image), error_(error), anchorOf_(image.records.size(), -1) {}

    bool Run() {
        const int width = image_.header.width;
        const int height = image_.header.height;
        if (width > kMapColumns || height > kMapRows) {
            error_ = "the grid is " + std::to_string(width) + " x " + std::to_string(height) +
                     "; a map holds at most 48 x 38";
            return false;
        }
        if (!ForEachTile([this](HexCoord hex, const HexFileRecord& record) { return CheckTile(hex, record); })) {
            return false;
        }
        if (!ForEachTile([this](HexCoord hex, const HexFileRecord& record) { return ClaimFootprint(hex, record); })) {
            return false;
        }
        return ForEachTile([this](HexCoord hex, const HexFileRecord& record) { return CheckPad(hex, record); });
    }

private:
    template <typename Check>
    bool ForEachTile(Check check) {
        for (int row = 0; row < image_.header.height; ++row) {
            for (int column = 0; column < image_.header.width; ++column) {
                if (!check(MakeHexCoord(column, row), image_.At(column, row))) return false;
            }
        }
        return true;
    }

    bool Fail(HexCoord hex, const std::string& message) {
        error_ = FormatHexLabel(hex) + ": " + message;
        return false;
    }

    bool OnMap(HexCoord hex) const {
        return IsValidHex(hex) && hex.column < image_.header.width && hex.row < image_.header.height;
    }
    int IndexOf(HexCoord hex) const { return hex.row * image_.header.width + hex.column; }

    bool CheckTile(HexCoord hex, const HexFileRecord& record) {
        if (!HexFileRecordInRange(record)) return Fail(hex, "a terrain, object class, type or owner out of range");
        if (!IsValidHex(hex) && record.terrain != kTerrainNone) return Fail(hex, "terrain on a hex off the grid");
        if (!IsValidHex(hex) && record.objectClass != kObjectNone) return Fail(hex, "an object on a hex off the grid");
        return true;
    }

    bool ClaimFootprint(HexCoord anchor, const HexFileRecord& record) {
        if (record.objectClass != kObjectStructure || !IsThreeHexBuilding(record.objectType)) return true;
        const std::string building = std::string("the ") + kStructureNames[record.objectType] + " at " +
                                     FormatHexLabel(anchor);
        const int sideDirection = record.mirrored != 0 ? 4 : 2;
        for (const int direction : {3, sideDirection}) {
            HexCoord hex;
            HexNeighbour(anchor, direction, hex);
            if (!OnMap(hex)) {
                error_ = FormatHexLabel(anchor) + ": the footprint of " + building + " leaves the map";
                return false;
            }
            const HexFileRecord& under = image_.At(hex.column, hex.row);
            if (under.objectClass == kObjectStructure) {
                return Fail(hex, "a structure on the footprint of " + building + " (only its anchor carries one)");
            }
            if (under.objectClass != kObjectNone) return Fail(hex, "an object on the footprint of " + building);
            if (under.terrain == kTerrainNone) return Fail(hex, "the footprint of " + building + " has no terrain");
            int& owner = anchorOf_[static_cast<std::size_t>(IndexOf(hex))];
            if (owner >= 0) return Fail(hex, "the footprints of two buildings overlap, one is " + building);
            owner = IndexOf(anchor);
        }
        return true;
    }

    bool CheckPad(HexCoord pad, const HexFileRecord& record) {
        if (record.objectClass != kObjectStructure || record.objectType != kStructureBuildPad) return true;
        for (int d = 0; d < kDirectionCount; ++d) {
            HexCoord hex;
            if (!HexNeighbour(pad, d, hex) || !OnMap(hex)) continue;
            const HexFileRecord& beside = image_.At(hex.column, hex.row);
            if (beside.objectClass == kObjectStructure && ServesPads(beside.objectType)) return true;
            const int anchor = anchorOf_[static_cast<std::size_t>(IndexOf(hex))];
            if (anchor >= 0 && IsProducer(image_.records[static_cast<std::size_t>(anchor)].objectType)) return true;
        }
        return Fail(pad, "a build pad with no producer, RepairS or SupplyShed beside it");
    }

    const HexFileImage& image_;
    std::string& error_;
    std::vector<int> anchorOf_;  // per tile: the record index of the building whose footprint covers it
};

}  // namespace

bool CheckHexMapForGame(const HexFileImage& image, std::string& error) { return GameChecks(image, error).Run(); }

bool BuildHexMapFromSource(std::string_view text, std::vector<std::uint8_t>& out, std::string& error) {
    HexFileImage image;
    if (!ParseHexMapSource(text, image, error) || !CheckHexMapForGame(image, error) ||
        !AssignRegions(image, error)) {
        return false;
    }
    image.header.version = kHexMapNewestVersion;
    if (!EncodeHexMapImage(image, out)) {
        error = "the map does not fit the file layout";
        return false;
    }
    // The game's own reader has the last word: a file it would refuse is never written.
    auto map = std::make_unique<HexMap>();
    std::string reason;
    if (!LoadHexMapFromMemory(*map, out.data(), out.size(), &reason)) {
        error = "the game would refuse the map: " + reason;
        out.clear();
        return false;
    }
    return true;
}

}  // namespace game
