// Bakes the game's bitmap fonts from TrueType faces: for every font of a description, a glyph sheet
// "<name>.png" and its metrics "<name>.RFN" in the output folder.
//   fontbake [--sample <text>] <description.txt> <output folder>
// The description has one font per line, "<name> <face file> <pixel size> [vertical offset]"; "#" starts a
// comment and a relative face path is taken from the description's folder. With --sample, each font's line
// says how wide the sample text measures with the baked metrics.
//
// The sheet is premultiplied RGBA (every channel the glyph's coverage) on a power-of-two square, one transparent
// pixel between cells. Cells are drawn at the pen with their own size, so each cell is as tall as the font
// (ascender - descender) with the baseline on row "ascender", starts at the pen (a negative left bearing is
// clamped), and is as wide as the larger of the advance and the bearing plus the bitmap. The ".RFN" is version
// 2 with the last code 255 and advance rows of full pen advances: round(advance(c) + kerning(c, n)).
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/little_endian.h"
#include "engine/image/image_writers.h"
#include "files/replace_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFirstRow = 32;
constexpr int kFirstCell = 33;
constexpr int kLastCode = 255;
constexpr int kCodes = kLastCode - kFirstRow + 1;
constexpr int kMaxSheet = 4096;

struct FontLine {
    std::string name;
    fs::path face;
    int pixelSize = 0;
    int verticalOffset = 0;
};

struct Glyph {
    unsigned index = 0;  // 0: the face has no glyph for the code
    double advance = 0.0;
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;
    // The cell in the sheet.
    int x = 0;
    int y = 0;
    int cellWidth = 0;
};

struct BakedFont {
    int ascender = 0;
    int glyphHeight = 0;
    int lineSpacing = 0;
    int sheetSize = 0;
    std::vector<Glyph> glyphs;  // codes 32 .. 255
    std::vector<std::int16_t> advances;  // [c - 32][n - 32]

    Glyph& At(int code) { return glyphs[static_cast<std::size_t>(code - kFirstRow)]; }
    int Advance(int c, int n) const {
        return advances[static_cast<std::size_t>((c - kFirstRow) * kCodes + (n - kFirstRow))];
    }
};

int RoundPixels(long value26_6) { return static_cast<int>((value26_6 + 32) >> 6); }

bool ParseDescription(const fs::path& path, std::vector<FontLine>& fonts) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "fontbake: cannot read " << path << "\n";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream fields(line);
        FontLine font;
        std::string face;
        if (!(fields >> font.name)) continue;
        if (!(fields >> face >> font.pixelSize) || font.pixelSize < 4 || font.pixelSize > 200) {
            std::cerr << "fontbake: line " << number << ": expected <name> <face> <pixel size 4-200>\n";
            return false;
        }
        fields >> font.verticalOffset;
        if (font.verticalOffset < 0 || font.verticalOffset > 255 || (fields.fail() && !fields.eof())) {
            std::cerr << "fontbake: line " << number << ": vertical offset must be 0-255\n";
            return false;
        }
        font.face = fs::path(face).is_absolute() ? fs::path(face) : path.parent_path() / face;
        fonts.push_back(font);
    }
    if (fonts.empty()) {
        std::cerr << "fontbake: " << path << " names no font\n";
        return false;
    }
    return true;
}

// Shelf-packs the cells into the smallest power-of-two square that holds them.
bool PackCells(BakedFont& font) {
    for (int size = 64; size <= kMaxSheet; size *= 2) {
        int x = 0;
        int y = 0;
        bool fits = true;
        for (int code = kFirstCell; code <= kLastCode && fits; ++code) {
            Glyph& glyph = font.At(code);
            if (glyph.cellWidth == 0) continue;
            if (x + glyph.cellWidth > size) {
                x = 0;
                y += font.glyphHeight + 1;
            }
            if (glyph.cellWidth > size || y + font.glyphHeight > size) fits = false;
            glyph.x = x;
            glyph.y = y;
            x += glyph.cellWidth + 1;
        }
        if (fits) {
            font.sheetSize = size;
            return true;
        }
    }
    return false;
}

bool Bake(FT_Library library, const FontLine& line, BakedFont& font) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, line.face.string().c_str(), 0, &face) != 0) {
        std::cerr << "fontbake: cannot open the face " << line.face << "\n";
        return false;
    }
    bool ok = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(line.pixelSize)) == 0;
    if (ok) {
        font.ascender = RoundPixels(face->size->metrics.ascender);
        font.glyphHeight = font.ascender - RoundPixels(face->size->metrics.descender);
        font.lineSpacing = RoundPixels(face->size->metrics.height);
        ok = font.glyphHeight > 0 && font.glyphHeight <= 255 && font.lineSpacing <= 255;
    }
    font.glyphs.assign(kCodes, Glyph{});
    for (int code = kFirstRow; ok && code <= kLastCode; ++code) {
        Glyph& glyph = font.At(code);
        glyph.index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
        if (glyph.index == 0) continue;
        if (FT_Load_Glyph(face, glyph.index, FT_LOAD_RENDER) != 0) {
            glyph.index = 0;
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        glyph.advance = static_cast<double>(slot->advance.x) / 64.0;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = static_cast<int>(slot->bitmap.width);
        glyph.rows = static_cast<int>(slot->bitmap.rows);
        glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.rows));
        for (int row = 0; row < glyph.rows; ++row) {
            const std::uint8_t* source = slot->bitmap.buffer + static_cast<std::ptrdiff_t>(row) * slot->bitmap.pitch;
            std::copy_n(source, glyph.width, glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
        }
        if (code != kFirstRow) {
            glyph.cellWidth = std::max(static_cast<int>(std::lround(glyph.advance)),
                                       std::max(glyph.left, 0) + glyph.width);
        }
    }
    font.advances.assign(static_cast<std::size_t>(kCodes) * kCodes, 0);
    const bool kerning = FT_HAS_KERNING(face);
    for (int c = kFirstRow; ok && c <= kLastCode; ++c) {
        const Glyph& first = font.At(c);
        if (first.index == 0) continue;
        for (int n = kFirstRow; n <= kLastCode; ++n) {
            double kern = 0.0;
            const Glyph& second = font.At(n);
            FT_Vector delta{};
            if (kerning && second.index != 0 &&
                FT_Get_Kerning(face, first.index, second.index, FT_KERNING_DEFAULT, &delta) == 0) {
                kern = static_cast<double>(delta.x) / 64.0;
            }
            font.advances[static_cast<std::size_t>((c - kFirstRow) * kCodes + (n - kFirstRow))] =
                static_cast<std::int16_t>(std::lround(first.advance + kern));
        }
    }
    FT_Done_Face(face);
    if (!ok) {
        std::cerr << "fontbake: " << line.name << ": the face does not fit a bitmap font at this size\n";
        return false;
    }
    if (!PackCells(font)) {
        std::cerr << "fontbake: " << line.name << ": the glyphs do not fit a " << kMaxSheet << " sheet\n";
        return false;
    }
    return true;
}

std::vector<std::uint8_t> SheetPixels(BakedFont& font) {
    const auto size = static_cast<std::size_t>(font.sheetSize);
    std::vector<std::uint8_t> pixels(size * size * 4, 0);
    for (int code = kFirstCell; code <= kLastCode; ++code) {
        const Glyph& glyph = font.At(code);
        if (glyph.cellWidth == 0) continue;
        const int originX = glyph.x + std::max(glyph.left, 0);
        const int originY = glyph.y + font.ascender - glyph.top;
        for (int row = 0; row < glyph.rows; ++row) {
            const int y = originY + row;
            if (y < glyph.y || y >= glyph.y + font.glyphHeight) continue;  // outside the cell
            for (int column = 0; column < glyph.width; ++column) {
                const int x = originX + column;
                if (x >= glyph.x + glyph.cellWidth) continue;
                const std::uint8_t value =
                    glyph.coverage[static_cast<std::size_t>(row) * static_cast<std::size_t>(glyph.width) + column];
                std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * size + static_cast<std::size_t>(x)) * 4];
                std::fill_n(pixel, 4, value);
            }
        }
    }
    return pixels;
}

std::vector<std::uint8_t> MetricsFile(BakedFont& font, int verticalOffset) {
    std::vector<std::uint8_t> out = {2, 0, 0, 0, kLastCode, 0, 0, 0};
    out.push_back(static_cast<std::uint8_t>(font.glyphHeight));
    out.push_back(static_cast<std::uint8_t>(font.lineSpacing));
    out.push_back(static_cast<std::uint8_t>(verticalOffset));
    auto u16 = [&out](int value) {
        std::uint8_t bytes[2];
        engine::StoreU16(bytes, static_cast<std::uint32_t>(value) & 0xFFFFu);
        out.insert(out.end(), bytes, bytes + 2);
    };
    for (int code = kFirstCell; code <= kLastCode; ++code) {
        const Glyph& glyph = font.At(code);
        const bool empty = glyph.cellWidth == 0;
        u16(empty ? 0 : glyph.x);
        u16(empty ? 0 : glyph.y);
        u16(glyph.cellWidth);
        u16(empty ? 0 : font.glyphHeight);
    }
    for (const std::int16_t advance : font.advances) u16(advance);
    return out;
}

// Writes under a temporary name and renames it over the file, so that a reader never sees half a file.
bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::string error;
    if (tools::WriteFileReplacing(path.string(), bytes, error)) return true;
    std::cerr << "fontbake: " << error << "\n";
    return false;
}

// The sample's width as the game measures it: each character's advance before the next, the last one's cell.
int SampleWidth(const BakedFont& font, const std::string& sample) {
    int width = 0;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        const int c = static_cast<unsigned char>(sample[i]);
        if (c < kFirstRow) continue;
        const int n = i + 1 < sample.size() ? static_cast<unsigned char>(sample[i + 1]) : 0;
        if (n >= kFirstRow) {
            width += font.Advance(c, n);
        } else if (c == kFirstRow) {
            width += font.Advance(c, c);
        } else {
            width += font.glyphs[static_cast<std::size_t>(c - kFirstRow)].cellWidth;
        }
    }
    return width;
}

}  // namespace

int main(int argc, char** argv) {
    std::string sample;
    bool withSample = false;
    int arg = 1;
    if (argc > 2 && std::string(argv[1]) == "--sample") {
        sample = argv[2];
        withSample = true;
        arg = 3;
    }
    if (argc - arg != 2) {
        std::cerr << "usage: fontbake [--sample <text>] <description.txt> <output folder>\n";
        return 2;
    }
    std::vector<FontLine> fonts;
    if (!ParseDescription(argv[arg], fonts)) return 1;
    const fs::path folder = argv[arg + 1];
    std::error_code error;
    fs::create_directories(folder, error);
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::cerr << "fontbake: FreeType does not start\n";
        return 1;
    }
    int status = 0;
    for (const FontLine& line : fonts) {
        BakedFont font;
        if (!Bake(library, line, font)) {
            status = 1;
            break;
        }
        const std::vector<std::uint8_t> pixels = SheetPixels(font);
        const auto size = static_cast<std::uint32_t>(font.sheetSize);
        const engine::ConstSurfaceView view{engine::SurfaceFormat::kA8R8G8B8, size, size, size * 4u, pixels.data()};
        const std::vector<std::uint8_t> png = engine::EncodePng(view);
        if (png.empty() || !WriteFile(folder / (line.name + ".png"), png) ||
            !WriteFile(folder / (line.name + ".RFN"), MetricsFile(font, line.verticalOffset))) {
            status = 1;
            break;
        }
        std::cout << line.name << ": " << font.sheetSize << "x" << font.sheetSize << " sheet, glyph height "
                  << font.glyphHeight << ", line spacing " << font.lineSpacing << ", ascender " << font.ascender;
        if (withSample) std::cout << ", sample width " << SampleWidth(font, sample);
        std::cout << "\n";
    }
    FT_Done_FreeType(library);
    return status;
}
