#include "artgen/cell_map.h"

#include <cctype>
#include <set>
#include <sstream>

namespace artgen {

namespace {

// The largest texture side the game's readers take.
constexpr int kMaxSheetSide = 16384;

std::string Trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) fields.push_back(Trim(field));
    return fields;
}

bool ToInt(const std::string& s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    std::size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    for (std::size_t k = i; k < s.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(s[k]))) return false;
    }
    out = std::stoi(s);
    return true;
}

}  // namespace

bool Cell::Contains(const Cell& o) const {
    return o.x >= x && o.y >= y && o.x + o.width <= x + width && o.y + o.height <= y + height;
}

bool Cell::Overlaps(const Cell& o) const {
    return o.x < x + width && x < o.x + o.width && o.y < y + height && y < o.y + o.height;
}

std::string Cell::Describe() const {
    return sheet + " " + name + " (" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(width) +
           ", " + std::to_string(height) + ")";
}

const Sheet* CellMap::FindSheet(const std::string& name) const {
    for (const Sheet& s : sheets) {
        if (s.name == name) return &s;
    }
    return nullptr;
}

const Cell* CellMap::FindCell(const std::string& sheet, const std::string& name) const {
    for (const Cell& c : cells) {
        if (c.sheet == sheet && c.name == name) return &c;
    }
    return nullptr;
}

std::vector<const Cell*> CellMap::CellsOf(const std::string& sheet) const {
    std::vector<const Cell*> out;
    for (const Cell& c : cells) {
        if (c.sheet == sheet) out.push_back(&c);
    }
    return out;
}

bool ParseCellMap(const std::string& text, CellMap& out, std::string& error) {
    out = {};
    std::istringstream lines(text);
    std::string line;
    std::set<std::string> names;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        if (Trim(line).empty()) continue;
        const std::vector<std::string> f = SplitFields(line);
        auto fail = [&](const std::string& reason) {
            error = "line " + std::to_string(number) + ": " + reason;
            return false;
        };
        if (f[0] == "sheet") {
            Sheet sheet;
            if (f.size() != 4 || f[1].empty() || !ToInt(f[2], sheet.width) || !ToInt(f[3], sheet.height)) {
                return fail("not \"sheet, <name>, <width>, <height>\"");
            }
            if (sheet.width <= 0 || sheet.height <= 0 || sheet.width > kMaxSheetSide || sheet.height > kMaxSheetSide) {
                return fail("sheet size is not 1-" + std::to_string(kMaxSheetSide));
            }
            if (out.FindSheet(f[1]) != nullptr) return fail("sheet \"" + f[1] + "\" given twice");
            sheet.name = f[1];
            out.sheets.push_back(sheet);
            continue;
        }
        Cell cell;
        if (f.size() < 8 || f.size() > 10 || !ToInt(f[1], cell.x) || !ToInt(f[2], cell.y) || !ToInt(f[3], cell.width) ||
            !ToInt(f[4], cell.height) || f[5].empty()) {
            return fail("not \"<sheet>, x, y, width, height, <name>, <drawn>, <users>[, shared][, spare]\"");
        }
        if (out.FindSheet(f[0]) == nullptr) return fail("unknown sheet \"" + f[0] + "\"");
        if (cell.width <= 0 || cell.height <= 0) return fail("cell size is not positive");
        if (f[6] == "plain") {
            cell.drawn = DrawnAs::kPlain;
        } else if (f[6] == "tinted") {
            cell.drawn = DrawnAs::kTinted;
        } else if (f[6] == "additive") {
            cell.drawn = DrawnAs::kAdditive;
        } else {
            return fail("drawn as \"" + f[6] + "\", not plain, tinted or additive");
        }
        for (std::size_t i = 8; i < f.size(); ++i) {
            bool& mark = f[i] == "shared" ? cell.shared : cell.spare;
            if ((f[i] != "shared" && f[i] != "spare") || mark) {
                return fail("\"" + f[i] + "\" where only \"shared\" or \"spare\" may stand, each once");
            }
            mark = true;
        }
        if (!names.insert(f[0] + "\n" + f[5]).second) return fail("cell \"" + f[5] + "\" given twice");
        cell.sheet = f[0];
        cell.name = f[5];
        cell.users = f[7];
        cell.line = number;
        out.cells.push_back(cell);
    }
    return true;
}

std::vector<std::string> CheckCellLayout(const CellMap& map) {
    std::vector<std::string> faults;
    for (const Cell& c : map.cells) {
        const Sheet* sheet = map.FindSheet(c.sheet);
        if (c.x < 0 || c.y < 0 || c.x + c.width > sheet->width || c.y + c.height > sheet->height) {
            faults.push_back(c.Describe() + ": lies outside the " + std::to_string(sheet->width) + " x " +
                             std::to_string(sheet->height) + " sheet");
        }
    }
    for (std::size_t i = 0; i < map.cells.size(); ++i) {
        for (std::size_t j = i + 1; j < map.cells.size(); ++j) {
            const Cell& a = map.cells[i];
            const Cell& b = map.cells[j];
            if (a.sheet != b.sheet || !a.Overlaps(b) || (a.shared && b.shared)) continue;
            faults.push_back(a.Describe() + ": overlaps " + b.name + ", and the map does not declare both shared");
        }
    }
    return faults;
}

}  // namespace artgen
