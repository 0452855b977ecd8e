#include "artgen/art_book.h"

#include <cmath>
#include <sstream>

namespace artgen {

namespace {

class LineError {
public:
    explicit LineError(std::string reason) : reason_(std::move(reason)) {}
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

double Number(const std::string& word) {
    try {
        std::size_t used = 0;
        const double v = std::stod(word, &used);
        if (used == word.size() && std::isfinite(v) && std::fabs(v) < 1e6) return v;
    } catch (const std::exception&) {
    }
    throw LineError("\"" + word + "\" is not a number");
}

Colour NamedColour(const std::string& token, const ColourNames& colours) {
    std::string name = token;
    double alpha = 1.0;
    if (const std::size_t at = token.find('@'); at != std::string::npos) {
        name = token.substr(0, at);
        const double a = Number(token.substr(at + 1));
        if (a < 0.0 || a > 255.0) throw LineError("alpha " + token.substr(at + 1) + " is not 0-255");
        alpha = a / 255.0;
    }
    const auto found = colours.find(name);
    if (found == colours.end()) throw LineError("colour \"" + name + "\" has no name in the palette");
    Colour c = FromArgb(found->second);
    c.a *= alpha;
    return c;
}

Paint ParsePaint(const std::string& token, const ColourNames& colours) {
    Paint paint;
    const std::size_t open = token.find('(');
    if (open == std::string::npos) {
        paint.from = NamedColour(token, colours);
        return paint;
    }
    const std::string kind = token.substr(0, open);
    if (token.back() != ')') throw LineError("paint \"" + token + "\" lacks its \")\"");
    std::vector<std::string> args;
    std::stringstream in(token.substr(open + 1, token.size() - open - 2));
    for (std::string a; std::getline(in, a, ',');) args.push_back(a);
    if (kind == "linear" && args.size() == 6) {
        paint.kind = Paint::kLinear;
        paint.x1 = Number(args[4]);
        paint.y1 = Number(args[5]);
    } else if (kind == "radial" && args.size() == 5) {
        paint.kind = Paint::kRadial;
        paint.radius = Number(args[4]);
    } else {
        throw LineError("paint \"" + token + "\" is not linear(c,c,x0,y0,x1,y1) or radial(c,c,cx,cy,r)");
    }
    paint.from = NamedColour(args[0], colours);
    paint.to = NamedColour(args[1], colours);
    paint.x0 = Number(args[2]);
    paint.y0 = Number(args[3]);
    return paint;
}

void ParseShape(const std::vector<std::string>& w, std::size_t at, DrawOp& op) {
    if (at >= w.size()) throw LineError("no shape");
    const std::string& shape = w[at];
    std::vector<double> v;
    for (std::size_t i = at + 1; i < w.size(); ++i) v.push_back(Number(w[i]));
    auto need = [&](std::size_t n, const char* form) {
        if (v.size() != n) throw LineError(std::string("not \"") + form + "\"");
    };
    if (shape == "rect") {
        need(4, "rect x y w h");
        op.outlines.push_back(RectOutline(v[0], v[1], v[2], v[3]));
    } else if (shape == "rrect") {
        need(5, "rrect x y w h r");
        op.outlines.push_back(RoundedRectOutline(v[0], v[1], v[2], v[3], v[4]));
    } else if (shape == "circle") {
        need(3, "circle cx cy r");
        op.outlines.push_back(EllipseOutline(v[0], v[1], v[2], v[2]));
    } else if (shape == "ellipse") {
        need(4, "ellipse cx cy rx ry");
        op.outlines.push_back(EllipseOutline(v[0], v[1], v[2], v[3]));
    } else if (shape == "ring") {
        need(4, "ring cx cy r width");
        op.outlines.push_back(EllipseOutline(v[0], v[1], v[2], v[2]));
        if (v[2] > v[3]) op.cuts.push_back(EllipseOutline(v[0], v[1], v[2] - v[3], v[2] - v[3]));
    } else if (shape == "frame") {
        need(6, "frame x y w h r width");
        op.outlines.push_back(RoundedRectOutline(v[0], v[1], v[2], v[3], v[4]));
        const double t = v[5];
        if (v[2] > 2 * t && v[3] > 2 * t) {
            op.cuts.push_back(RoundedRectOutline(v[0] + t, v[1] + t, v[2] - 2 * t, v[3] - 2 * t, std::max(0.0, v[4] - t)));
        }
    } else if (shape == "poly") {
        if (v.size() < 6 || v.size() % 2 != 0) throw LineError("not \"poly x y x y x y ...\"");
        Outline o;
        for (std::size_t i = 0; i < v.size(); i += 2) o.push_back({v[i], v[i + 1]});
        op.outlines.push_back(o);
    } else if (shape == "line") {
        if (v.size() < 5 || v.size() % 2 != 1) throw LineError("not \"line width x y x y ...\"");
        const double width = v[0];
        for (std::size_t i = 1; i + 2 < v.size(); i += 2) {
            op.outlines.push_back(SegmentOutline({v[i], v[i + 1]}, {v[i + 2], v[i + 3]}, width));
        }
        // Round joins and ends.
        for (std::size_t i = 1; i < v.size(); i += 2) {
            op.outlines.push_back(EllipseOutline(v[i], v[i + 1], width / 2, width / 2));
        }
    } else {
        throw LineError("unknown shape \"" + shape + "\"");
    }
}

Outline Scaled(const Outline& o, double sx, double sy) {
    Outline out = o;
    for (Point& p : out) {
        p.x *= sx;
        p.y *= sy;
    }
    return out;
}

}  // namespace

const Drawing* ArtBook::Find(Drawing::Kind kind, const std::string& name) const {
    for (const Drawing& d : drawings) {
        if (d.kind == kind && d.name == name) return &d;
    }
    return nullptr;
}

bool ParseArt(const std::string& text, const std::string& fileName, const ColourNames& colours, ArtBook& book,
              std::string& error) {
    std::istringstream lines(text);
    std::string line;
    Drawing* current = nullptr;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream in(line);
        std::vector<std::string> w;
        for (std::string word; in >> word;) w.push_back(word);
        if (w.empty()) continue;
        try {
            if (w[0] == "cell" || w[0] == "picture" || w[0] == "ground") {
                Drawing d;
                d.file = fileName;
                d.line = number;
                if (w[0] == "cell") {
                    if (w.size() != 2 && !(w.size() == 5 && w[2] == "grid")) throw LineError("not \"cell <name> [grid w h]\"");
                    d.name = w[1];
                    if (w.size() == 5) {
                        d.gridWidth = Number(w[3]);
                        d.gridHeight = Number(w[4]);
                        if (d.gridWidth <= 0 || d.gridHeight <= 0) throw LineError("grid size is not positive");
                    }
                } else if (w[0] == "picture") {
                    d.kind = Drawing::kPicture;
                    if (w.size() != 4) throw LineError("not \"picture <name> <width> <height>\"");
                    d.name = w[1];
                    d.width = static_cast<int>(Number(w[2]));
                    d.height = static_cast<int>(Number(w[3]));
                    if (d.width <= 0 || d.height <= 0 || d.width > 4096 || d.height > 4096) {
                        throw LineError("picture size is not 1-4096");
                    }
                } else {
                    d.kind = Drawing::kGround;
                    if (w.size() != 1) throw LineError("not \"ground\"");
                }
                if (book.Find(d.kind, d.name) != nullptr) throw LineError("\"" + d.name + "\" is drawn twice");
                book.drawings.push_back(d);
                current = &book.drawings.back();
                continue;
            }
            if (current == nullptr) throw LineError("an operation before any cell, picture or ground");
            DrawOp op;
            op.line = number;
            if (w[0] == "fill") {
                if (w.size() < 3) throw LineError("not \"fill <paint> <shape>\"");
                op.paint = ParsePaint(w[1], colours);
                ParseShape(w, 2, op);
            } else if (w[0] == "erase") {
                op.erase = true;
                ParseShape(w, 1, op);
            } else {
                throw LineError("unknown operation \"" + w[0] + "\"");
            }
            current->ops.push_back(std::move(op));
        } catch (const LineError& e) {
            error = fileName + " line " + std::to_string(number) + ": " + e.Reason();
            return false;
        }
    }
    return true;
}

void Render(const Drawing& drawing, Canvas& canvas, int x, int y, int w, int h, bool clip) {
    const double sx = drawing.gridWidth > 0 ? w / drawing.gridWidth : 1.0;
    const double sy = drawing.gridHeight > 0 ? h / drawing.gridHeight : 1.0;
    const int clipX = clip ? x : 0;
    const int clipY = clip ? y : 0;
    const int clipW = clip ? w : canvas.Width();
    const int clipH = clip ? h : canvas.Height();
    for (const DrawOp& op : drawing.ops) {
        // The mask covers the shape's bounds, so that large pictures do not rasterise every small shape over
        // the whole canvas.
        double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
        for (const Outline& o : op.outlines) {
            for (const Point& p : o) {
                minX = std::min(minX, p.x * sx);
                minY = std::min(minY, p.y * sy);
                maxX = std::max(maxX, p.x * sx);
                maxY = std::max(maxY, p.y * sy);
            }
        }
        if (op.outlines.empty()) continue;
        const int left = std::max(static_cast<int>(std::floor(minX)), clipX - x);
        const int top = std::max(static_cast<int>(std::floor(minY)), clipY - y);
        const int right = std::min(static_cast<int>(std::ceil(maxX)), clipX + clipW - x);
        const int bottom = std::min(static_cast<int>(std::ceil(maxY)), clipY + clipH - y);
        if (right <= left || bottom <= top) continue;
        Mask mask(right - left, bottom - top);
        auto local = [&](const Outline& o) {
            Outline out = Scaled(o, sx, sy);
            for (Point& p : out) {
                p.x -= left;
                p.y -= top;
            }
            return out;
        };
        for (const Outline& o : op.outlines) mask.AddOutline(local(o));
        for (const Outline& o : op.cuts) mask.CutOutline(local(o));
        if (op.erase) {
            canvas.Erase(mask, x + left, y + top, clipX, clipY, clipW, clipH);
        } else {
            Paint paint = op.paint;
            paint.x0 = paint.x0 * sx - left;
            paint.x1 = paint.x1 * sx - left;
            paint.y0 = paint.y0 * sy - top;
            paint.y1 = paint.y1 * sy - top;
            paint.radius *= std::sqrt(sx * sy);
            canvas.Fill(mask, x + left, y + top, paint, clipX, clipY, clipW, clipH);
        }
    }
}

}  // namespace artgen
