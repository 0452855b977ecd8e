#include "artgen/raster.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The largest distance allowed between a flattened arc and the true one, in pixels.
constexpr double kArcTolerance = 0.01;

int ArcSteps(double radius, double angle) {
    if (radius <= kArcTolerance) return 1;
    const double step = std::acos(std::max(-1.0, 1.0 - kArcTolerance / radius));
    return std::max(2, static_cast<int>(std::ceil(angle / std::max(step, 1e-3))));
}

void AppendArc(Outline& out, double cx, double cy, double rx, double ry, double from, double to) {
    const int steps = ArcSteps(std::max(rx, ry), std::fabs(to - from));
    for (int i = 0; i <= steps; ++i) {
        const double t = from + (to - from) * i / steps;
        out.push_back({cx + rx * std::cos(t), cy + ry * std::sin(t)});
    }
}

// Adds one edge's signed area to the accumulation rows (each row width + 2 wide); x is clamped to the grid
// so that area left of it lands in column 0 and area right of it falls past the last column.
void AccumulateEdge(std::vector<float>& acc, int width, int height, Point p0, Point p1) {
    if (p0.y == p1.y) return;
    double dir = 1.0;
    if (p0.y > p1.y) {
        std::swap(p0, p1);
        dir = -1.0;
    }
    p0.x = std::clamp(p0.x, 0.0, static_cast<double>(width));
    p1.x = std::clamp(p1.x, 0.0, static_cast<double>(width));
    const double dxdy = (p1.x - p0.x) / (p1.y - p0.y);
    double x = p0.x;
    if (p0.y < 0.0) x -= p0.y * dxdy;
    const int rowWidth = width + 2;
    const int yStart = std::max(0, static_cast<int>(std::floor(p0.y)));
    const int yEnd = std::min(height, static_cast<int>(std::ceil(p1.y)));
    for (int y = yStart; y < yEnd; ++y) {
        float* line = acc.data() + static_cast<std::size_t>(y) * rowWidth;
        const double dy = std::min(static_cast<double>(y + 1), p1.y) - std::max(static_cast<double>(y), p0.y);
        const double xNext = x + dxdy * dy;
        const double d = dy * dir;
        const double x0 = std::min(x, xNext);
        const double x1 = std::max(x, xNext);
        const double x0Floor = std::floor(x0);
        const int x0i = static_cast<int>(x0Floor);
        const double x1Ceil = std::ceil(x1);
        const int x1i = static_cast<int>(x1Ceil);
        if (x1i <= x0i + 1) {
            const double xmf = 0.5 * (x + xNext) - x0Floor;
            line[x0i] += static_cast<float>(d - d * xmf);
            line[x0i + 1] += static_cast<float>(d * xmf);
        } else {
            const double s = 1.0 / (x1 - x0);
            const double x0f = x0 - x0Floor;
            const double a0 = 0.5 * s * (1.0 - x0f) * (1.0 - x0f);
            const double x1f = x1 - x1Ceil + 1.0;
            const double am = 0.5 * s * x1f * x1f;
            line[x0i] += static_cast<float>(d * a0);
            if (x1i == x0i + 2) {
                line[x0i + 1] += static_cast<float>(d * (1.0 - a0 - am));
            } else {
                const double a1 = s * (1.5 - x0f);
                line[x0i + 1] += static_cast<float>(d * (a1 - a0));
                for (int xi = x0i + 2; xi < x1i - 1; ++xi) line[xi] += static_cast<float>(d * s);
                const double a2 = a1 + (x1i - x0i - 3) * s;
                line[x1i - 1] += static_cast<float>(d * (1.0 - a2 - am));
            }
            line[x1i] += static_cast<float>(d * am);
        }
        x = xNext;
    }
}

}  // namespace

std::vector<float> Mask::Rasterise(const Outline& outline) const {
    const int rowWidth = width + 2;
    std::vector<float> acc(static_cast<std::size_t>(rowWidth) * height, 0.0f);
    for (std::size_t i = 0; i < outline.size(); ++i) {
        AccumulateEdge(acc, width, height, outline[i], outline[(i + 1) % outline.size()]);
    }
    std::vector<float> out(static_cast<std::size_t>(width) * height, 0.0f);
    for (int y = 0; y < height; ++y) {
        double sum = 0.0;
        for (int x = 0; x < width; ++x) {
            sum += acc[static_cast<std::size_t>(y) * rowWidth + x];
            out[static_cast<std::size_t>(y) * width + x] = static_cast<float>(std::min(std::fabs(sum), 1.0));
        }
    }
    return out;
}

void Mask::AddOutline(const Outline& outline) {
    if (outline.size() < 3) return;
    const std::vector<float> shape = Rasterise(outline);
    for (std::size_t i = 0; i < coverage.size(); ++i) coverage[i] = std::max(coverage[i], shape[i]);
}

void Mask::CutOutline(const Outline& outline) {
    if (outline.size() < 3) return;
    const std::vector<float> shape = Rasterise(outline);
    for (std::size_t i = 0; i < coverage.size(); ++i) coverage[i] *= 1.0f - shape[i];
}

Outline RectOutline(double x, double y, double w, double h) { return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}; }

Outline RoundedRectOutline(double x, double y, double w, double h, double radius) {
    radius = std::clamp(radius, 0.0, std::min(w, h) * 0.5);
    if (radius <= 0.0) return RectOutline(x, y, w, h);
    Outline out;
    AppendArc(out, x + w - radius, y + radius, radius, radius, -kPi / 2, 0.0);
    AppendArc(out, x + w - radius, y + h - radius, radius, radius, 0.0, kPi / 2);
    AppendArc(out, x + radius, y + h - radius, radius, radius, kPi / 2, kPi);
    AppendArc(out, x + radius, y + radius, radius, radius, kPi, kPi * 1.5);
    return out;
}

Outline EllipseOutline(double cx, double cy, double rx, double ry) {
    Outline out;
    AppendArc(out, cx, cy, rx, ry, 0.0, 2.0 * kPi);
    out.pop_back();
    return out;
}

Outline SegmentOutline(Point a, Point b, double width) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0.0) return {};
    const double nx = -dy / length * width * 0.5;
    const double ny = dx / length * width * 0.5;
    return {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
}

Colour FromArgb(std::uint32_t argb) {
    return {((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0, (argb >> 24) / 255.0};
}

std::uint32_t ToArgb(const Colour& c) {
    auto byte = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

Colour Paint::At(double x, double y) const {
    double t = 0.0;
    if (kind == kLinear) {
        const double dx = x1 - x0;
        const double dy = y1 - y0;
        const double length2 = dx * dx + dy * dy;
        t = length2 > 0.0 ? ((x - x0) * dx + (y - y0) * dy) / length2 : 0.0;
    } else if (kind == kRadial) {
        t = radius > 0.0 ? std::sqrt((x - x0) * (x - x0) + (y - y0) * (y - y0)) / radius : 0.0;
    } else {
        return from;
    }
    t = std::clamp(t, 0.0, 1.0);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}

void Canvas::Fill(const Mask& mask, int ox, int oy, const Paint& paint, int clipX, int clipY, int clipW, int clipH) {
    const int x0 = std::max({0, ox, clipX});
    const int y0 = std::max({0, oy, clipY});
    const int x1 = std::min({width_, ox + mask.width, clipX + clipW});
    const int y1 = std::min({height_, oy + mask.height, clipY + clipH});
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const double coverage = mask.At(x - ox, y - oy);
            if (coverage <= 0.0) continue;
            const Colour src = paint.At(x - ox + 0.5, y - oy + 0.5);
            const double sa = src.a * coverage;
            Colour& dst = At(x, y);
            const double outA = sa + dst.a * (1.0 - sa);
            if (outA <= 0.0) continue;
            const double keep = dst.a * (1.0 - sa);
            dst = {(src.r * sa + dst.r * keep) / outA, (src.g * sa + dst.g * keep) / outA,
                   (src.b * sa + dst.b * keep) / outA, outA};
        }
    }
}

void Canvas::Erase(const Mask& mask, int ox, int oy, int clipX, int clipY, int clipW, int clipH) {
    const int x0 = std::max({0, ox, clipX});
    const int y0 = std::max({0, oy, clipY});
    const int x1 = std::min({width_, ox + mask.width, clipX + clipW});
    const int y1 = std::min({height_, oy + mask.height, clipY + clipH});
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) At(x, y).a *= 1.0 - mask.At(x - ox, y - oy);
    }
}

void Canvas::BleedColours() {
    // Alpha is rounded to bytes when written, so "transparent" is what rounds to 0.
    auto visible = [](const Colour& c) { return c.a >= 0.5 / 255.0; };
    std::vector<std::uint8_t> done(pixels_.size(), 0);
    std::vector<std::size_t> wave;
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        if (visible(pixels_[i])) {
            done[i] = 1;
            wave.push_back(i);
        } else {
            pixels_[i].a = 0.0;
        }
    }
    if (wave.empty()) return;
    const int dx[4] = {-1, 0, 1, 0};
    const int dy[4] = {0, -1, 0, 1};
    while (!wave.empty()) {
        // Each pixel of the next wave takes its colour from its first finished neighbour in a fixed order.
        std::vector<std::size_t> candidates;
        for (std::size_t i : wave) {
            const int x = static_cast<int>(i % width_);
            const int y = static_cast<int>(i / width_);
            for (int k = 0; k < 4; ++k) {
                const int nx = x + dx[k];
                const int ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_) continue;
                const std::size_t n = Index(nx, ny);
                if (done[n] == 0) {
                    done[n] = 2;
                    candidates.push_back(n);
                }
            }
        }
        std::sort(candidates.begin(), candidates.end());
        for (std::size_t n : candidates) {
            const int x = static_cast<int>(n % width_);
            const int y = static_cast<int>(n / width_);
            for (int k = 0; k < 4; ++k) {
                const int nx = x + dx[k];
                const int ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_) continue;
                const std::size_t m = Index(nx, ny);
                if (done[m] == 1) {
                    pixels_[n] = {pixels_[m].r, pixels_[m].g, pixels_[m].b, 0.0};
                    break;
                }
            }
        }
        for (std::size_t n : candidates) done[n] = 1;
        wave.swap(candidates);
    }
}

std::vector<std::uint32_t> Canvas::ToArgbPixels() const {
    std::vector<std::uint32_t> out(pixels_.size());
    for (std::size_t i = 0; i < pixels_.size(); ++i) out[i] = ToArgb(pixels_[i]);
    return out;
}

}  // namespace artgen
