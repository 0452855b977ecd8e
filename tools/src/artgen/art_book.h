#pragma once
// Drawings of the art files (data/Art/*.art): named blocks of fills on their own grid, colours by palette
// name.
//   cell <name> [grid <w> <h>]        a drawing for the sheet's cell of that name, clipped to the cell; the grid
//                                     (the cell's size when not given) is stretched over the cell
//   picture <name> <w> <h>            a whole picture of that size
//   ground                            the whole sheet, unclipped (a stray texel outside the cells is refused)
// followed by operations, one a line:
//   fill <paint> <shape>              erase <shape>             (erase punches a hole through what is drawn)
// shapes:
//   rect x y w h | rrect x y w h r | circle cx cy r | ellipse cx cy rx ry | poly x y x y x y ...
//   ring cx cy r width | frame x y w h r width | line width x y x y ...   (a stroke through the points)
// paints: <colour>, <colour>@<alpha 0-255>, linear(<c>,<c>,x0,y0,x1,y1), radial(<c>,<c>,cx,cy,r)
// "#" starts a comment.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "artgen/raster.h"

namespace artgen {

// ARGB colours by name.
using ColourNames = std::map<std::string, std::uint32_t>;

struct DrawOp {
    bool erase = false;
    Paint paint;
    // The shape as outlines on the drawing's grid: the first ones are united, the cut ones removed after.
    std::vector<Outline> outlines;
    std::vector<Outline> cuts;
    int line = 0;
};

struct Drawing {
    enum Kind { kCell, kPicture, kGround } kind = kCell;
    std::string name;
    double gridWidth = 0.0;  // 0: the target's own size
    double gridHeight = 0.0;
    int width = 0;  // pictures
    int height = 0;
    std::vector<DrawOp> ops;
    std::string file;
    int line = 0;
};

struct ArtBook {
    std::vector<Drawing> drawings;

    const Drawing* Find(Drawing::Kind kind, const std::string& name) const;
};

// Adds the file's drawings. False with "<file> line N: reason" for a malformed line, a colour with no name in
// the palette or a drawing given twice.
bool ParseArt(const std::string& text, const std::string& fileName, const ColourNames& colours, ArtBook& book,
              std::string& error);

// Draws the drawing into the canvas rectangle (x, y, w, h), scaling its grid onto it; clipped to the
// rectangle unless `clip` is false.
void Render(const Drawing& drawing, Canvas& canvas, int x, int y, int w, int h, bool clip = true);

}  // namespace artgen
