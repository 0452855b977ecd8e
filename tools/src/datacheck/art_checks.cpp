// The art: the GUI sheets against the cell map (each cell inside its sheet and drawn, tinted cells light,
// colours bled into transparent texels, nothing outside the cells), the cells the code computes against the
// map's entries, white text legible on the label areas, icons told apart by their shapes, and the fonts:
// every character of the shipped texts has a glyph in every font, and the texts of fixed boxes fit them.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "artgen/cell_map.h"
#include "artgen/sheet_checks.h"
#include "datacheck/data_check.h"
#include "datacheck/headless_game.h"
#include "engine/gui/font_metrics.h"
#include "engine/image/png_decoder.h"
#include "game/core/achievement_list.h"
#include "game/core/game.h"
#include "game/core/game_resources.h"
#include "game/screens/zone_layout.h"

namespace datacheck {

namespace {

constexpr const char* kCellMapName = "data/Art/cells.txt";

// The game's fonts with the letter spacing the start-up font table gives them.
struct FontUse {
    const char* name;
    int letterSpacing;
};
constexpr FontUse kFonts[] = {{"TinyFont", 0},  {"MainFont", -1},  {"MedFont", 0}, {"LargeFont", -2},
                              {"TitleFont", -2}, {"EpicFont", -8}, {"Comic", 0}};

// Texts drawn in one line in a box of fixed width: keys by prefix (and suffix), the font and the width.
struct FitRule {
    const char* prefix;
    const char* suffix;
    const char* font;
    int width;
    const char* what;
};
// Menu labels start 120 px into a 430 px button and keep 12 px from its far end; list rows keep 40 px of
// their 406 px strip for the icon; titles are centred on the 960 px base; captions sweep across it.
constexpr FitRule kFitRules[] = {
    {"MM_", "", "LargeFont", 430 - 120 - 12, "menu label"},
    {"SET_", "", "MedFont", 406 - 40, "list row"},
    {"ACH_", "_TITLE", "MedFont", 406 - 40, "list row"},
    {"ZT_", "", "TitleFont", 900, "title"},
    {"ANN_", "", "EpicFont", 940, "announcer caption"},
};

// Contrast white text needs against its ground.
constexpr double kMinContrast = 4.5;
// Two icons' alpha masks at 32 x 32 must differ in at least this share of the texels.
constexpr double kMinMaskDifference = 0.08;
constexpr int kMaskSide = 32;

std::string RectText(const engine::IntRect& r) {
    return "(" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.width) + ", " +
           std::to_string(r.height) + ")";
}

// A label area: a part of a cell, in the cell's own pixels.
struct LabelArea {
    const char* sheet;
    const char* cell;
    int x;
    int y;
    int width;
    int height;
};
// The menu plate is drawn mirrored in the right column, so its label runs from either end. The outline of a
// plate (its outer 8 px) carries no text and is left out.
constexpr LabelArea kLabelAreas[] = {
    {"GUI/ButtonBits", "menu_plate", 120, 8, 384 - 120 - 8, 112 - 16},
    {"GUI/ButtonBits", "menu_plate", 8, 8, 384 - 120 - 8, 112 - 16},
    {"GUI/ButtonBits", "list_strip", 8, 8, 406 - 16, 80 - 16},
    {"GUI/ButtonBits", "short_list_strip", 8, 8, 406 - 16, 74 - 16},
    {"GUI/Zoomer", "panel", 8, 8, 960 - 16, 68},    // the title band, below the announcer's strip
    {"GUI/Zoomer", "panel", 8, 78, 960 - 16, 554},  // the content
};

// The alpha mask of a cell box-filtered to 32 x 32, 1 where the mean alpha is at least one half.
std::vector<std::uint8_t> IconMask(const artgen::SheetPixels& px, const artgen::Cell& c) {
    std::vector<std::uint8_t> mask(kMaskSide * kMaskSide, 0);
    for (int my = 0; my < kMaskSide; ++my) {
        for (int mx = 0; mx < kMaskSide; ++mx) {
            const int x0 = c.x + mx * c.width / kMaskSide;
            const int x1 = std::max(x0 + 1, c.x + (mx + 1) * c.width / kMaskSide);
            const int y0 = c.y + my * c.height / kMaskSide;
            const int y1 = std::max(y0 + 1, c.y + (my + 1) * c.height / kMaskSide);
            double sum = 0.0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) sum += (px.At(x, y) >> 24) / 255.0;
            }
            mask[static_cast<std::size_t>(my * kMaskSide + mx)] = sum / ((x1 - x0) * (y1 - y0)) >= 0.5 ? 1 : 0;
        }
    }
    return mask;
}

// UTF-16LE text after its byte-order mark.
std::u16string Utf16(const std::vector<std::uint8_t>& bytes) {
    std::u16string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) out.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    return out;
}

// The text without markup commands ("@C[2]", "@X[004]": "@", a letter and a bracketed argument).
std::u16string WithoutMarkup(const std::u16string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'@' && i + 2 < text.size() && text[i + 2] == u'[') {
            const std::size_t close = text.find(u']', i + 3);
            if (close != std::u16string::npos) {
                i = close;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// The width of one line as the font's measure gives it: the pen advances with the letter spacing.
int MeasureLine(const engine::FontMetrics& font, int letterSpacing, const std::u16string& line) {
    int width = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const int next = i + 1 < line.size() ? line[i + 1] : 0;
        width += font.Advance(line[i], next) + letterSpacing;
    }
    return width;
}

}  // namespace

std::string ShippedCellMap() {
    std::ifstream in(TINMARCH_CELL_MAP, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void DataCheck::CheckArt(const std::string& cellMapText) {
    artgen::CellMap map;
    std::string error;
    if (!artgen::ParseCellMap(cellMapText, map, error)) {
        Fault(kCellMapName, "", error);
        return;
    }
    for (const std::string& f : artgen::CheckCellLayout(map)) Fault(kCellMapName, "", f);

    // The sheets as the game's PNG reader decodes them.
    std::map<std::string, artgen::SheetPixels> sheets;
    for (const artgen::Sheet& sheet : map.sheets) {
        const std::string file = sheet.name + ".png";
        const std::vector<std::uint8_t>* bytes = Find(file);
        if (bytes == nullptr) {
            Fault(file, "", "missing");
            continue;
        }
        const engine::DecodedPng png = engine::DecodePng(bytes->data(), bytes->size());
        if (png.error != engine::kPngOk) {
            Fault(file, "", "does not decode (error " + std::to_string(png.error) + ")");
            continue;
        }
        if (static_cast<int>(png.width) != sheet.width || static_cast<int>(png.height) != sheet.height) {
            Fault(file, "", std::to_string(png.width) + " x " + std::to_string(png.height) + ", not the map's " +
                                std::to_string(sheet.width) + " x " + std::to_string(sheet.height));
            continue;
        }
        artgen::SheetPixels px;
        px.width = sheet.width;
        px.height = sheet.height;
        px.pixels.resize(static_cast<std::size_t>(px.width) * px.height);
        for (std::size_t i = 0; i < px.pixels.size(); ++i) {
            const std::uint8_t* p = png.pixels.get() + i * 4;
            px.pixels[i] = static_cast<std::uint32_t>(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0];
        }
        for (const std::string& f : artgen::CheckSheetPixels(map, sheet.name, px)) Fault(file, "", f);
        sheets.emplace(sheet.name, std::move(px));
    }
    CheckCodeCells(map);
    CheckIconUses(map, sheets);

    // White text on the label areas, composited over black (and lit, for additive cells).
    for (const LabelArea& area : kLabelAreas) {
        const artgen::Cell* cell = map.FindCell(area.sheet, area.cell);
        const auto sheet = sheets.find(area.sheet);
        if (cell == nullptr || sheet == sheets.end()) continue;
        const int x0 = cell->x + area.x;
        const int y0 = cell->y + area.y;
        const int x1 = std::min(x0 + area.width, cell->x + cell->width);
        const int y1 = std::min(y0 + area.height, cell->y + cell->height);
        double worst = 1e9;
        int wx = 0, wy = 0;
        for (int y = y0; y < std::min(y1, sheet->second.height); ++y) {
            for (int x = x0; x < std::min(x1, sheet->second.width); ++x) {
                const std::uint32_t p = sheet->second.At(x, y);
                const std::uint32_t a = p >> 24;
                // Over black; an additive cell is also seen lit, its colour added once more.
                const std::uint32_t lit = cell->drawn == artgen::DrawnAs::kAdditive ? 2 : 1;
                auto over = [&](int shift) {
                    return std::min<std::uint32_t>(255, lit * ((((p >> shift) & 0xFF) * a + 127) / 255)) << shift;
                };
                const double contrast = artgen::Contrast(1.0, artgen::Luminance(over(16) | over(8) | over(0)));
                if (contrast < worst) {
                    worst = contrast;
                    wx = x;
                    wy = y;
                }
            }
        }
        if (worst < kMinContrast) {
            char text[64];
            std::snprintf(text, sizeof(text), "%.2f", worst);
            Fault(std::string(area.sheet) + ".png", cell->name,
                  "white text has a contrast of " + std::string(text) + ":1 at (" + std::to_string(wx) + ", " +
                      std::to_string(wy) + "), below 4.5:1");
        }
    }

    // Unit icons and button icons are told apart by their shapes alone, as tinting leaves nothing else.
    std::vector<std::pair<const artgen::Cell*, std::vector<std::uint8_t>>> masks;
    for (const artgen::Cell& c : map.cells) {
        const bool icon = (c.sheet == "GUI/ingameUi" && c.name.rfind("unit_icon.", 0) == 0) ||
                          (c.sheet == "GUI/ButtonBits" && c.name.rfind("button_icon.", 0) == 0);
        const auto sheet = sheets.find(c.sheet);
        if (!icon || sheet == sheets.end()) continue;
        std::vector<std::uint8_t> mask = IconMask(sheet->second, c);
        // An empty spare cell has no shape to be taken for another's.
        if (std::find(mask.begin(), mask.end(), 1) != mask.end()) masks.emplace_back(&c, std::move(mask));
    }
    for (std::size_t i = 0; i < masks.size(); ++i) {
        for (std::size_t j = i + 1; j < masks.size(); ++j) {
            int differ = 0;
            for (std::size_t k = 0; k < masks[i].second.size(); ++k) differ += masks[i].second[k] != masks[j].second[k];
            const double share = static_cast<double>(differ) / (kMaskSide * kMaskSide);
            if (share < kMinMaskDifference) {
                Fault(masks[i].first->sheet + ".png", masks[i].first->name,
                      "its shape differs from " + masks[j].first->sheet + " " + masks[j].first->name + " in only " +
                          std::to_string(static_cast<int>(share * 100.0)) + " % of the texels at 32 x 32");
            }
        }
    }
    CheckFonts();
}

void DataCheck::CheckCodeCells(const artgen::CellMap& map) {
    // Each cell the code computes against the map's entry of that name.
    auto expect = [&](const char* sheet, const std::string& name, const engine::IntRect& rect, const std::string& from) {
        const artgen::Cell* cell = map.FindCell(sheet, name);
        if (cell == nullptr) {
            Fault(kCellMapName, "", std::string(sheet) + " " + name + ": missing, but " + from + " cuts " + RectText(rect));
        } else if (cell->x != rect.x || cell->y != rect.y || cell->width != rect.width || cell->height != rect.height) {
            Fault(kCellMapName, "line " + std::to_string(cell->line),
                  cell->Describe() + ": " + from + " cuts " + RectText(rect));
        }
    };
    for (int icon = 0; icon < 42; ++icon) {
        expect("GUI/ButtonBits", "button_icon." + std::to_string(icon), game::ButtonIconRect(icon),
               "ButtonIconRect(" + std::to_string(icon) + ")");
    }
    for (int k = 0; k < 24; ++k) {
        expect("GUI/ingameUi", "unit_icon." + std::to_string(k), game::UnitIconRect(k + 1),
               "UnitIconRect(" + std::to_string(k + 1) + ")");
    }
    for (int icon = 0; icon < 16; ++icon) {
        const std::string n = std::to_string(icon);
        expect("GUI/ingameUi", "small_icon." + n, game::GameResources::SmallIconCell(icon),
               "the small inline-icon callback (icon " + n + ")");
        expect("GUI/ButtonBits", "large_icon." + n, game::GameResources::LargeIconCell(icon),
               "the large inline-icon callback (icon " + n + ")");
    }
    for (int id = 0; id < game::kAchievementCount; ++id) {
        expect("GUI/achievements", "achievement." + std::to_string(id), game::AchievementList::GetIconRect(id),
               "AchievementList::GetIconRect(" + std::to_string(id) + ")");
    }
    HeadlessGame headless;
    for (int index = 1; index <= 4; ++index) {
        engine::IntRect rect;
        headless.Game().GetButtonRowRect(rect, index);
        expect("GUI/ingameUi", "medal." + std::to_string(index), rect, "Game::GetButtonRowRect(" + std::to_string(index) + ")");
    }
}

void DataCheck::CheckFonts() {
    std::map<std::string, engine::FontMetrics> fonts;
    for (const FontUse& use : kFonts) {
        const std::string file = std::string("Common/") + use.name + ".RFN";
        const std::vector<std::uint8_t>* bytes = Find(file);
        if (Find(std::string("Common/") + use.name + ".png") == nullptr) Fault(std::string("Common/") + use.name + ".png", "", "missing");
        engine::FontMetrics metrics;
        if (bytes == nullptr) {
            Fault(file, "", "missing");
        } else if (!engine::ParseFontMetrics(bytes->data(), bytes->size(), metrics)) {
            Fault(file, "", "does not read as font metrics");
        } else {
            fonts.emplace(use.name, std::move(metrics));
        }
    }
    if (fonts.empty()) return;

    // Every character of the locale files, in every font.
    for (const auto& [key, entry] : entries_) {
        const auto& [name, bytes] = entry;
        const bool locale = key.size() > 4 && key.compare(key.size() - 4, 4, ".TXT") == 0 &&
                            (key.rfind("LOCALE/", 0) == 0 || (key.rfind("CAMPAIGNS/", 0) == 0 && key.find("/LOCALE/") != std::string::npos));
        if (!locale || bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) continue;
        std::set<char16_t> seen;
        for (char16_t c : Utf16(bytes)) {
            if (c < 32 || !seen.insert(c).second) continue;
            for (const auto& [fontName, font] : fonts) {
                const bool drawn = c <= 255 && font.Advance(c, 0) > 0 &&
                                   (c == 32 || (font.HasCell(c) && font.Cell(c).width > 0));
                if (!drawn) {
                    char code[16];
                    std::snprintf(code, sizeof(code), "U+%04X", static_cast<unsigned>(c));
                    Fault(name, "", std::string("character ") + code + " has no glyph in " + fontName);
                }
            }
        }
    }

    // The texts of fixed boxes, measured in their fonts.
    const std::vector<std::uint8_t>* global = Find("Locale/eng.txt");
    if (global == nullptr) return;
    const std::u16string text = Utf16(*global);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        if (line.empty() || line[0] != u'[') continue;
        const std::size_t close = line.find(u']');
        if (close == std::u16string::npos) continue;
        const std::string key = Narrow(line.substr(1, close - 1));
        std::u16string value = line.substr(close + 1);
        if (!value.empty() && value[0] == u' ') value.erase(0, 1);
        CheckFit(fonts, key, WithoutMarkup(value));
    }
}

void DataCheck::CheckFit(const std::map<std::string, engine::FontMetrics>& fonts, const std::string& key,
                         const std::u16string& text) {
    for (const FitRule& rule : kFitRules) {
        const std::string prefix = rule.prefix;
        const std::string suffix = rule.suffix;
        if (key.rfind(prefix, 0) != 0 || key.size() < prefix.size() + suffix.size() ||
            key.compare(key.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        const auto font = fonts.find(rule.font);
        if (font == fonts.end()) continue;
        int spacing = 0;
        for (const FontUse& use : kFonts) {
            if (rule.font == std::string(use.name)) spacing = use.letterSpacing;
        }
        const int width = MeasureLine(font->second, spacing, text);
        if (width > rule.width) {
            Fault("Locale/eng.txt", key,
                  std::string("the ") + rule.what + " measures " + std::to_string(width) + " px in " + rule.font +
                      ", wider than its " + std::to_string(rule.width) + " px");
        }
        return;
    }
}

}  // namespace datacheck
