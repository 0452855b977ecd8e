#include "sfx/text.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace sfx {

void Fail(const std::string& source, int line, const std::string& message) {
    throw Error(source + ":" + std::to_string(line) + ": " + message);
}

std::vector<TextLine> ReadLines(std::string_view text, const std::string& source) {
    std::vector<TextLine> lines;
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte != '\t' && (byte < 0x20 || byte > 0x7E)) Fail(source, number, "a character outside ASCII");
        }
        // A comment starts with a word that begins with "#" (a sharp inside a note name such as "F#3" stays).
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
                line = line.substr(0, i);
                break;
            }
        }

        TextLine out;
        out.number = number;
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
            if (i >= line.size()) break;
            std::size_t j = i;
            while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
            if (out.words.empty()) {
                std::size_t r = j;
                while (r < line.size() && (line[r] == ' ' || line[r] == '\t')) ++r;
                std::size_t e = line.size();
                while (e > r && (line[e - 1] == ' ' || line[e - 1] == '\t')) --e;
                out.rest = std::string(line.substr(r, e - r));
            }
            out.words.emplace_back(line.substr(i, j - i));
            i = j;
        }
        if (!out.words.empty()) lines.push_back(std::move(out));
    }
    return lines;
}

double ParseNumber(const std::string& word, double low, double high, const std::string& source, int line) {
    double value = 0.0;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) Fail(source, line, "\"" + word + "\" is not a number");
    if (value < low || value > high) {
        Fail(source, line, "\"" + word + "\" lies outside " + std::to_string(low) + " .. " + std::to_string(high));
    }
    return value;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(path + ": cannot be read");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    const std::filesystem::path target(path);
    std::error_code ignored;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw Error(path + ": cannot be written");
}

}  // namespace sfx
