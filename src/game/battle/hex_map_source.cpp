#include "game/battle/hex_map_source.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "game/battle/battle_types.h"

namespace game {

namespace {

constexpr char kTerrainLetters[kMaxTerrain + 1] = {'.', 'W', 'X', 'L', 'S', 'R'};

std::vector<std::string_view> Tokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t begin = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > begin) tokens.push_back(line.substr(begin, i - begin));
    }
    return tokens;
}

bool ToInt(std::string_view text, int low, int high, int& out) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < low || value > high) return false;
    out = value;
    return true;
}

bool ToFloat(std::string_view text, float& out) {
    float value = 0.0f;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return false;
    out = value;
    return true;
}

bool ParseCell(std::string_view cell, HexFileRecord& record) {
    const char* letter = static_cast<const char*>(std::memchr(kTerrainLetters, cell[0], sizeof(kTerrainLetters)));
    if (letter == nullptr) return false;
    int level = 0;
    if (cell.size() > 1 && !ToInt(cell.substr(1), 0, 255, level)) return false;
    record.terrain = static_cast<std::uint8_t>(letter - kTerrainLetters);
    record.level = static_cast<std::uint8_t>(level);
    return true;
}

// State of one parse: the image being filled and which tiles the lines have named so far.
class SourceParser {
public:
    SourceParser(HexFileImage& image, std::string& error) : image_(image), error_(error) {}

    bool Line(int number, std::string_view line) {
        number_ = number;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        const std::vector<std::string_view> t = Tokens(line);
        if (t.empty()) return true;
        if (rowsLeft_ > 0) return Row(t);
        if (t[0] == "weather") {
            int weather = 0;
            if (t.size() != 2 || !ToInt(t[1], 0, 255, weather)) return Fail("weather takes one number 0-255");
            image_.header.weather = weather;
            return true;
        }
        if (t[0] == "grid") return Grid(t);
        if (image_.header.width == 0) return Fail("\"grid\" must come before the tiles are named");
        if (t[0] == "overlay") return Overlay(t);
        if (t[0] == "height") return Height(t);
        if (t[0] == "feature") return Object(t, kObjectFeature, kMaxFeatureKind, "");
        if (t[0] == "structure") return Object(t, kObjectStructure, kMaxStructureType, "mirrored");
        if (t[0] == "unit") return Object(t, kObjectUnitStart, UT_DOOR, "immobile");
        return Fail("unknown line \"" + std::string(t[0]) + "\"");
    }

    bool Finish() {
        if (image_.header.width == 0) return Fail("no grid");
        if (rowsLeft_ > 0) return Fail("the grid has fewer rows than it announces");
        for (std::size_t i = 0; i < image_.records.size(); ++i) {
            HexFileRecord& record = image_.records[i];
            if (!heightGiven_[i]) record.height = HexSourceDefaultHeight(record);
        }
        return true;
    }

private:
    bool Fail(const std::string& message) {
        error_ = "line " + std::to_string(number_) + ": " + message;
        return false;
    }

    bool Grid(const std::vector<std::string_view>& t) {
        int width = 0;
        int height = 0;
        if (image_.header.width != 0) return Fail("a second grid");
        if (t.size() != 3 || !ToInt(t[1], 1, 255, width) || !ToInt(t[2], 1, 255, height)) {
            return Fail("grid takes columns and rows, 1-255 each");
        }
        image_.header.width = width;
        image_.header.height = height;
        image_.records.assign(static_cast<std::size_t>(width * height), HexFileRecord{});
        heightGiven_.assign(image_.records.size(), false);
        objectGiven_.assign(image_.records.size(), false);
        rowsLeft_ = height;
        return true;
    }

    bool Row(const std::vector<std::string_view>& t) {
        const int row = image_.header.height - rowsLeft_;
        if (static_cast<int>(t.size()) != image_.header.width) {
            return Fail("row " + std::to_string(row) + " has " + std::to_string(t.size()) + " cells, not " +
                        std::to_string(image_.header.width));
        }
        for (int column = 0; column < image_.header.width; ++column) {
            if (!ParseCell(t[static_cast<std::size_t>(column)], image_.At(column, row))) {
                return Fail("bad cell \"" + std::string(t[static_cast<std::size_t>(column)]) + "\"");
            }
        }
        --rowsLeft_;
        return true;
    }

    // The record of a labelled tile inside the grid, or null after reporting.
    HexFileRecord* Tile(std::string_view label, std::size_t& index) {
        HexCoord hex;
        if (!ParseHexLabel(label, hex)) {
            Fail("\"" + std::string(label) + "\" is not a hex of the grid");
            return nullptr;
        }
        if (hex.column >= image_.header.width || hex.row >= image_.header.height) {
            Fail(std::string(label) + " lies outside the grid");
            return nullptr;
        }
        index = static_cast<std::size_t>(hex.row * image_.header.width + hex.column);
        return &image_.records[index];
    }

    bool Overlay(const std::vector<std::string_view>& t) {
        std::size_t index = 0;
        if (t.size() != 2) return Fail("overlay takes one tile");
        HexFileRecord* record = Tile(t[1], index);
        if (record == nullptr) return false;
        if (record->overlay != 0) return Fail(std::string(t[1]) + ": overlay given twice");
        record->overlay = 1;
        return true;
    }

    bool Height(const std::vector<std::string_view>& t) {
        std::size_t index = 0;
        float height = 0.0f;
        if (t.size() != 3 || !ToFloat(t[2], height)) return Fail("height takes a tile and a number");
        HexFileRecord* record = Tile(t[1], index);
        if (record == nullptr) return false;
        if (heightGiven_[index]) return Fail(std::string(t[1]) + ": height given twice");
        heightGiven_[index] = true;
        record->height = height;
        return true;
    }

    bool Object(const std::vector<std::string_view>& t, int objectClass, int maxType, std::string_view flag) {
        std::size_t index = 0;
        int type = 0;
        if (t.size() < 3 || !ToInt(t[2], 1, maxType, type)) {
            return Fail(std::string(t[0]) + " takes a tile and a type 1-" + std::to_string(maxType));
        }
        HexFileRecord* record = Tile(t[1], index);
        if (record == nullptr) return false;
        if (objectGiven_[index]) return Fail(std::string(t[1]) + " already holds an object");
        objectGiven_[index] = true;
        record->objectClass = static_cast<std::uint8_t>(objectClass);
        record->objectType = static_cast<std::uint8_t>(type);
        for (std::size_t i = 3; i < t.size(); ++i) {
            int owner = 0;
            if (t[i] == "owner" && i + 1 < t.size() && ToInt(t[i + 1], 0, kMaxTeamKind, owner)) {
                record->objectOwner = static_cast<std::uint8_t>(owner);
                ++i;
            } else if (!flag.empty() && t[i] == flag) {
                (objectClass == kObjectStructure ? record->mirrored : record->immobile) = 1;
            } else {
                return Fail("unexpected \"" + std::string(t[i]) + "\"");
            }
        }
        return true;
    }

    HexFileImage& image_;
    std::string& error_;
    int number_ = 0;
    int rowsLeft_ = 0;
    std::vector<bool> heightGiven_;
    std::vector<bool> objectGiven_;
};

std::string FloatText(float value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return ec == std::errc{} ? std::string(buffer, end) : std::string("0");
}

}  // namespace

float HexSourceDefaultHeight(const HexFileRecord& record) {
    float height = static_cast<float>(HexFileStoredLevel(record)) * 0.25f;
    if (record.objectClass == kObjectFeature && record.overlay == 0) {
        switch (record.objectType) {
            case 1:
            case 4:
            case 5:
            case 8:
                height += 1.0f;
                break;
            case 3:
                height += 0.5f;
                break;
            default:
                break;
        }
    }
    return height;
}

std::string FormatHexLabel(HexCoord hex) {
    std::string label;
    if (hex.row >= 26) {
        label += 'A';
        label += static_cast<char>('A' + hex.row - 26);
    } else {
        label += static_cast<char>('A' + hex.row);
    }
    return label + std::to_string(hex.column);
}

bool ParseHexMapSource(std::string_view text, HexFileImage& out, std::string& error) {
    out = HexFileImage{};
    out.header.version = kHexMapNewestVersion;
    SourceParser parser(out, error);
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!parser.Line(++number, line)) return false;
    }
    return parser.Finish();
}

bool FormatHexMapSource(const HexFileImage& image, std::string& out, std::string& error) {
    const HexFileHeader& header = image.header;
    std::string grid, overlays, heights, features, structures, units, regions;
    for (int row = 0; row < header.height; ++row) {
        regions += "#";
        for (int column = 0; column < header.width; ++column) {
            const HexFileRecord& record = image.At(column, row);
            const HexCoord hex = MakeHexCoord(column, row);
            const std::string label = FormatHexLabel(hex);
            HexCoord named;
            const bool nameable = ParseHexLabel(label, named) && named == hex;
            if (record.terrain > kMaxTerrain) {
                error = label + ": terrain " + std::to_string(record.terrain) + " has no letter";
                return false;
            }
            if (column > 0) grid += ' ';
            grid += kTerrainLetters[record.terrain];
            if (record.terrain != kTerrainNone || record.level != 0) grid += std::to_string(record.level);
            regions += ' ' + std::to_string(record.regionId);

            const bool overlay = record.overlay != 0;
            const float defaultHeight = HexSourceDefaultHeight(record);
            // Compared bit for bit: a stored -0 differs from the default 0 in the file's bytes.
            const bool height = header.version >= 9 &&
                                std::bit_cast<std::uint32_t>(record.height) != std::bit_cast<std::uint32_t>(defaultHeight);
            const bool object = record.objectClass != kObjectNone;
            if (!nameable && (overlay || height || object || record.mirrored != 0 || record.immobile != 0)) {
                error = label + ": a tile off the grid holds more than terrain";
                return false;
            }
            if (overlay) overlays += "overlay " + label + "\n";
            if (height) heights += "height " + label + " " + FloatText(record.height) + "\n";
            if (record.mirrored > (record.objectClass == kObjectStructure ? 1 : 0) ||
                record.immobile > (record.objectClass == kObjectUnitStart ? 1 : 0)) {
                error = label + ": mirrored or immobile on the wrong kind of tile";
                return false;
            }
            if (!object) {
                if (record.objectType != 0 || record.objectOwner != 0) {
                    error = label + ": an object type or owner without an object";
                    return false;
                }
                continue;
            }
            int maxType = 0;
            std::string line;
            std::string* list = nullptr;
            switch (record.objectClass) {
                case kObjectFeature: line = "feature ", maxType = kMaxFeatureKind, list = &features; break;
                case kObjectStructure: line = "structure ", maxType = kMaxStructureType, list = &structures; break;
                case kObjectUnitStart: line = "unit ", maxType = UT_DOOR, list = &units; break;
                default:
                    error = label + ": object class " + std::to_string(record.objectClass) + " has no name";
                    return false;
            }
            if (record.objectType < 1 || record.objectType > maxType || record.objectOwner > kMaxTeamKind) {
                error = label + ": object type or owner out of range";
                return false;
            }
            line += label + " " + std::to_string(record.objectType);
            if (record.objectOwner != 0) line += " owner " + std::to_string(record.objectOwner);
            if (record.mirrored != 0) line += " mirrored";
            if (record.immobile != 0) line += " immobile";
            *list += line + "\n";
        }
        grid += "\n";
        regions += "\n";
    }
    out = "# GameMap.Hex version " + std::to_string(header.version) + "\n";
    out += "weather " + std::to_string(header.weather) + "\n";
    out += "grid " + std::to_string(header.width) + " " + std::to_string(header.height) + "\n";
    out += grid + overlays + heights + features + structures + units;
    out += "# regions\n" + regions;
    return true;
}

}  // namespace game
