#include "game/core/program_icon.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace game {

namespace {

constexpr int kMaxSize = 256;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "c RRGGBBAA" into the palette; false when the line is not one.
bool ReadLegendLine(std::string_view line, std::array<std::array<std::uint8_t, 4>, 256>& colours,
                    std::array<bool, 256>& known) {
    if (line.size() != 10 || line[1] != ' ') return false;
    std::array<std::uint8_t, 4> colour{};
    for (int i = 0; i < 4; ++i) {
        const int high = HexValue(line[2 + 2 * i]);
        const int low = HexValue(line[3 + 2 * i]);
        if (high < 0 || low < 0) return false;
        colour[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    const auto key = static_cast<unsigned char>(line[0]);
    colours[key] = colour;
    known[key] = true;
    return true;
}

}  // namespace

sys::RgbaImage DrawIconArt(const char* art, int size) {
    if (art == nullptr || size < 1 || size > kMaxSize) return {};
    std::array<std::array<std::uint8_t, 4>, 256> colours{};
    std::array<bool, 256> known{};
    // The rows of each drawing, in the order the art gives them.
    std::vector<std::vector<std::string_view>> drawings;
    std::string_view text(art);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.substr(0, 2) == "//") continue;
        if (line == "==") {
            drawings.emplace_back();
        } else if (drawings.empty()) {
            if (!ReadLegendLine(line, colours, known)) return {};
        } else {
            drawings.back().push_back(line);
        }
    }
    // Every drawing must be a square of known characters, whichever is asked for.
    const std::vector<std::string_view>* wanted = nullptr;
    for (const std::vector<std::string_view>& rows : drawings) {
        for (const std::string_view row : rows) {
            if (row.size() != rows.size()) return {};
            for (const char c : row) {
                if (!known[static_cast<unsigned char>(c)]) return {};
            }
        }
        if (static_cast<int>(rows.size()) == size) wanted = &rows;
    }
    if (wanted == nullptr) return {};

    sys::RgbaImage image;
    image.width = size;
    image.height = size;
    image.pixels.resize(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const auto key = static_cast<unsigned char>((*wanted)[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
            const std::size_t at = (static_cast<std::size_t>(y) * size + x) * 4;
            for (int c = 0; c < 4; ++c) image.pixels[at + c] = colours[key][c];
        }
    }
    return image;
}

sys::RgbaImage SmallProgramIcon() { return DrawIconArt(ProgramIconArt(), 16); }

sys::RgbaImage BigProgramIcon() { return DrawIconArt(ProgramIconArt(), 64); }

}  // namespace game
