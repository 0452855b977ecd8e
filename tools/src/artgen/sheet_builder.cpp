#include "artgen/sheet_builder.h"

namespace artgen {

namespace {

SheetPixels Pixels(Canvas& canvas) {
    canvas.BleedColours();
    SheetPixels out;
    out.width = canvas.Width();
    out.height = canvas.Height();
    out.pixels = canvas.ToArgbPixels();
    return out;
}

}  // namespace

std::vector<std::string> DrawSheet(const CellMap& map, const ArtBook& book, const std::string& sheetName,
                                   SheetPixels& out) {
    std::vector<std::string> faults;
    const Sheet* sheet = map.FindSheet(sheetName);
    if (sheet == nullptr) return {sheetName + ": not a sheet of the cell map"};
    for (const std::string& f : CheckCellLayout(map)) {
        if (f.compare(0, sheetName.size() + 1, sheetName + " ") == 0) faults.push_back(f);
    }
    Canvas canvas(sheet->width, sheet->height);
    if (const Drawing* ground = book.Find(Drawing::kGround, "")) {
        Render(*ground, canvas, 0, 0, sheet->width, sheet->height, false);
    }
    const std::vector<const Cell*> cells = map.CellsOf(sheetName);
    for (const Drawing& d : book.drawings) {
        if (d.kind == Drawing::kCell && map.FindCell(sheetName, d.name) == nullptr) {
            faults.push_back(d.file + " line " + std::to_string(d.line) + ": \"" + d.name + "\" is no cell of " + sheetName);
        }
    }
    for (const Cell* c : cells) {
        if (const Drawing* d = book.Find(Drawing::kCell, c->name)) {
            Render(*d, canvas, c->x, c->y, c->width, c->height);
            continue;
        }
        if (c->spare) continue;
        bool heldByDrawn = false;
        for (const Cell* other : cells) {
            if (other != c && other->Contains(*c) && book.Find(Drawing::kCell, other->name) != nullptr) {
                heldByDrawn = true;
            }
        }
        if (!c->shared || !heldByDrawn) faults.push_back(c->Describe() + ": used, but no drawing fills it");
    }
    out = Pixels(canvas);
    for (const std::string& f : CheckSheetPixels(map, sheetName, out)) faults.push_back(f);
    return faults;
}

SheetPixels DrawPicture(const Drawing& picture) {
    Canvas canvas(picture.width, picture.height);
    Render(picture, canvas, 0, 0, picture.width, picture.height);
    return Pixels(canvas);
}

}  // namespace artgen
