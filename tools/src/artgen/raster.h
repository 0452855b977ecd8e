#pragma once
// The art generator's rasteriser: closed outlines become exact-area coverage masks (the share of each pixel
// square that the outline covers, accumulated per scanline from signed edge areas), and paints blend them
// into a canvas of straight-alpha colour. Curves (circles, ellipses, rounded corners) are flattened finely
// enough that their error stays below a hundredth of a pixel's area per edge pixel.
#include <cstdint>
#include <vector>

namespace artgen {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

using Outline = std::vector<Point>;

// Coverage 0..1 per pixel of a width x height grid.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> coverage;

    Mask(int w, int h) : width(w), height(h), coverage(static_cast<std::size_t>(w) * h, 0.0f) {}
    float At(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
    // Adds the outline (its own coverage is exact area; overlapping outlines of one mask are united by the
    // larger coverage of the two).
    void AddOutline(const Outline& outline);
    // Removes the outline from the mask (coverage times the uncovered share).
    void CutOutline(const Outline& outline);

private:
    std::vector<float> Rasterise(const Outline& outline) const;
};

// Outlines of the primitive shapes; coordinates in pixels, y down.
Outline RectOutline(double x, double y, double w, double h);
Outline RoundedRectOutline(double x, double y, double w, double h, double radius);
Outline EllipseOutline(double cx, double cy, double rx, double ry);
// A segment of the given width with square ends, as a quadrilateral.
Outline SegmentOutline(Point a, Point b, double width);

// Straight RGBA colour, 0..1 per channel.
struct Colour {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 0.0;
};

Colour FromArgb(std::uint32_t argb);
std::uint32_t ToArgb(const Colour& colour);

// A fill: a flat colour, or a linear gradient from (x0, y0) to (x1, y1), or a radial one from the centre
// (x0, y0) out to radius r. Colours between the two ends mix linearly and are clamped at the ends.
struct Paint {
    enum Kind { kFlat, kLinear, kRadial } kind = kFlat;
    Colour from;
    Colour to;
    double x0 = 0.0;
    double y0 = 0.0;
    double x1 = 0.0;
    double y1 = 0.0;
    double radius = 0.0;

    Colour At(double x, double y) const;
};

// Straight-alpha RGBA pixels.
class Canvas {
public:
    Canvas(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    const Colour& At(int x, int y) const { return pixels_[Index(x, y)]; }
    Colour& At(int x, int y) { return pixels_[Index(x, y)]; }
    // Blends the paint over the pixels the mask covers; the mask's (0, 0) lies at (ox, oy) of the canvas and
    // only the clip rectangle (x, y, w, h) is touched.
    void Fill(const Mask& mask, int ox, int oy, const Paint& paint, int clipX, int clipY, int clipW, int clipH);
    // Lowers the alpha of the covered pixels by the coverage (a hole punched through).
    void Erase(const Mask& mask, int ox, int oy, int clipX, int clipY, int clipW, int clipH);
    // Gives every fully transparent pixel the colour of its nearest pixel with some alpha (by steps across
    // edges, ties to the earlier neighbour in the order left, up, right, down), so that filtering between a
    // shape and the transparent ground shows no dark fringe.
    void BleedColours();
    // 32-bit ARGB, rounded; a pixel with alpha 0 keeps its colour.
    std::vector<std::uint32_t> ToArgbPixels() const;

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

}  // namespace artgen
