// Draws the game's GUI sheets and pictures from the cell map and the vector art in data/Art/:
//   artgen sheets <cells.txt> <palette.txt> <art folder> <output folder>
//       every sheet "<folder>/<name>" of the map as "<output>/<folder>/<name>.png", from "<art>/<name>.art"
//   artgen picture <palette.txt> <art file> <picture name> <output.png>
// Colours are the palette's names and the game's team colours ("teamneutral", "teamblue", "teamgreen",
// "teamyellow", "teamenemy"). Any fault is printed and the exit status is 1; nothing is written for a sheet
// with faults.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "artgen/art_book.h"
#include "artgen/cell_map.h"
#include "artgen/sheet_builder.h"
#include "artgen/sheet_io.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
    std::cerr << "usage: artgen sheets <cells.txt> <palette.txt> <art folder> <output folder>\n"
                 "       artgen picture <palette.txt> <art file> <picture name> <output.png>\n";
    return 2;
}

int Fail(const std::string& message) {
    std::cerr << "artgen: " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    std::string error;
    if (args[0] == "sheets" && args.size() == 5) {
        artgen::ColourNames colours;
        artgen::CellMap map;
        if (!artgen::LoadColours(args[2], colours, error) || !artgen::LoadCellMap(args[1], map, error)) {
            return Fail(error);
        }
        int status = 0;
        for (const artgen::Sheet& sheet : map.sheets) {
            const std::string base = fs::path(sheet.name).filename().string();
            artgen::ArtBook book;
            if (!artgen::LoadArt((fs::path(args[3]) / (base + ".art")).string(), colours, book, error)) {
                status = Fail(error);
                continue;
            }
            artgen::SheetPixels pixels;
            const std::vector<std::string> faults = artgen::DrawSheet(map, book, sheet.name, pixels);
            for (const std::string& f : faults) status = Fail(f);
            if (!faults.empty()) continue;
            if (!artgen::WritePng(pixels, (fs::path(args[4]) / (sheet.name + ".png")).string(), error)) {
                status = Fail(error);
            }
        }
        return status;
    }
    if (args[0] == "picture" && args.size() == 5) {
        artgen::ColourNames colours;
        artgen::ArtBook book;
        if (!artgen::LoadColours(args[1], colours, error) || !artgen::LoadArt(args[2], colours, book, error)) {
            return Fail(error);
        }
        const artgen::Drawing* picture = book.Find(artgen::Drawing::kPicture, args[3]);
        if (picture == nullptr) return Fail(args[2] + ": no picture \"" + args[3] + "\"");
        if (!artgen::WritePng(artgen::DrawPicture(*picture), args[4], error)) return Fail(error);
        return 0;
    }
    return Usage();
}
