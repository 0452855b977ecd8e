#include "e2e/picture_check.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/image/png_decoder.h"

namespace e2e {
namespace {

// A column is covered when its band and its backdrop differ by more than this (red + green + blue, 0..765).
constexpr int kCoveredDifference = 30;
// A frame line is this much brighter than the backdrop above it (red + green + blue).
constexpr int kFrameStep = 90;
// Of a control's columns, at least this share covered (a slider's thumb and back hide some of its track).
constexpr double kButtonCoverage = 0.7;
constexpr double kTrackCoverage = 0.5;
// A label pixel is this much brighter (luminance 0..255) than the middle of its row, and a label has at least
// this many of them.
constexpr int kTextContrast = 50;
constexpr int kLabelPixels = 12;
// The icon back at a menu button's end: no label there.
constexpr int kIconEnd = 116;
// The columns at a screen edge that art drawn past it leaves.
constexpr int kEdgeColumns = 3;
constexpr int kEdgeMargin = 8;

int Sum(std::uint32_t rgb) {
    return static_cast<int>(((rgb >> 16) & 0xFFu) + ((rgb >> 8) & 0xFFu) + (rgb & 0xFFu));
}

int Luminance(std::uint32_t rgb) {
    return static_cast<int>((((rgb >> 16) & 0xFFu) * 299 + ((rgb >> 8) & 0xFFu) * 587 + (rgb & 0xFFu) * 114) / 1000);
}

// Rows from top to bottom (inclusive), inside the picture.
struct Rows {
    int top = 0;
    int bottom = -1;
    bool Empty() const { return bottom < top; }
};

Rows Clip(const Picture& picture, int top, int bottom) {
    return {std::max(top, 0), std::min(bottom, picture.height - 1)};
}

double ColumnMean(const Picture& picture, int x, Rows rows) {
    long total = 0;
    for (int y = rows.top; y <= rows.bottom; ++y) total += Sum(picture.At(x, y));
    return static_cast<double>(total) / (rows.bottom - rows.top + 1);
}

// Where a control is looked at: the band through its middle and the backdrop rows beside it.
struct Look {
    Rows band;
    Rows backdrop;
    // The rows where a button's plate has its top edge (none for a slider).
    Rows edge;
    bool Usable() const { return !band.Empty() && !backdrop.Empty(); }
};

Look LookAt(const Picture& picture, const PictureControl& control) {
    const engine::IntRect& r = control.rect;
    const int middle = r.y + r.height / 2;
    Look look;
    if (control.kind == ControlKind::kSlider) {
        // The track is 50 px tall on the middle; the rows just above it hold nothing but the backdrop.
        look.band = Clip(picture, middle - 12, middle + 12);
        look.backdrop = Clip(picture, middle - 33, middle - 28);
        if (middle - 33 < 0) look.backdrop = {};
        return look;
    }
    look.band = Clip(picture, middle - 20, middle + 20);
    look.edge = Clip(picture, r.y - 1, r.y + 8);
    if (r.y - 8 >= 0) {
        look.backdrop = Clip(picture, r.y - 8, r.y - 3);
    } else if (r.y + r.height + 8 < picture.height) {
        look.backdrop = Clip(picture, r.y + r.height + 3, r.y + r.height + 8);
    }
    return look;
}

bool Covered(const Picture& picture, const Look& look, int x) {
    const double backdrop = ColumnMean(picture, x, look.backdrop);
    if (std::abs(ColumnMean(picture, x, look.band) - backdrop) > kCoveredDifference) return true;
    // A plate as dark as the backdrop still shows its frame: a bright line along its top edge.
    for (int y = look.edge.top; y <= look.edge.bottom; ++y) {
        if (Sum(picture.At(x, y)) - backdrop > kFrameStep) return true;
    }
    return false;
}

// The share of the control's columns that its art covers; columns off the screen count as uncovered.
double Coverage(const Picture& picture, const Look& look, const engine::IntRect& rect) {
    if (rect.width <= 0) return 0.0;
    int covered = 0;
    for (int x = std::max(rect.x, 0); x < std::min(rect.x + rect.width, picture.width); ++x) {
        if (Covered(picture, look, x)) ++covered;
    }
    return static_cast<double>(covered) / rect.width;
}

bool EdgeCovered(const Picture& picture, const Look& look, int firstColumn) {
    for (int x = firstColumn; x < firstColumn + kEdgeColumns; ++x) {
        if (!Covered(picture, look, x)) return false;
    }
    return true;
}

// Pixels of the rows through the button's middle that stand out as text from their row, away from the icon
// ends.
int LabelPixels(const Picture& picture, const engine::IntRect& rect) {
    int left = rect.x;
    int right = rect.x + rect.width;
    if (rect.width > 3 * kIconEnd) {
        left += kIconEnd;
        right -= kIconEnd;
    }
    const int middle = rect.y + rect.height / 2;
    return TextPixels(picture, {left, middle - 8, right - left, 17});
}

// Another control stands between this one and the right (or left) screen edge in the same rows: art at that
// edge in these rows is the other's, and a finding there names the other.
bool OtherControlToward(const std::vector<PictureControl>& controls, const PictureControl& control, bool right) {
    const engine::IntRect& r = control.rect;
    for (const PictureControl& other : controls) {
        const engine::IntRect& o = other.rect;
        if (&other == &control || o.width <= 0 || o.height <= 0) continue;
        const bool sameRows = o.y < r.y + r.height && r.y < o.y + o.height;
        const bool beyond = right ? o.x >= r.x + r.width : o.x + o.width <= r.x;
        if (sameRows && beyond) return true;
    }
    return false;
}

std::string Percent(double share) { return std::to_string(static_cast<int>(share * 100.0 + 0.5)) + " %"; }

}  // namespace

bool ReadPicture(const std::string& path, Picture& picture) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const engine::DecodedPng png = engine::DecodePng(bytes.data(), bytes.size());
    if (png.pixels == nullptr) return false;
    picture.width = static_cast<int>(png.width);
    picture.height = static_cast<int>(png.height);
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    // The reader gives B, G, R, A.
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const std::uint8_t* p = &png.pixels[i * 4];
        picture.pixels[i] = (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    }
    return true;
}

int TextPixels(const Picture& picture, const engine::IntRect& area) {
    const int left = std::max(area.x, 0);
    const int right = std::min(area.x + area.width, picture.width);
    if (right <= left) return 0;
    const Rows rows = Clip(picture, area.y, area.y + area.height - 1);
    int count = 0;
    std::vector<int> row;
    for (int y = rows.top; y <= rows.bottom; ++y) {
        row.clear();
        for (int x = left; x < right; ++x) row.push_back(Luminance(picture.At(x, y)));
        std::vector<int> sorted = row;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2), sorted.end());
        const int median = sorted[sorted.size() / 2];
        for (const int value : row) {
            if (value >= median + kTextContrast) ++count;
        }
    }
    return count;
}

std::vector<std::string> CheckPicture(const Picture& picture, const std::vector<PictureControl>& controls) {
    std::vector<std::string> findings;
    if (picture.width <= 0 || picture.height <= 0) return {"the picture is empty"};
    const engine::IntRect screen{0, 0, picture.width, picture.height};
    for (const PictureControl& control : controls) {
        const engine::IntRect& r = control.rect;
        if (r.width <= 0 || r.height <= 0) continue;
        if (r.x < 0 || r.y < 0 || r.x + r.width > screen.width || r.y + r.height > screen.height) {
            findings.push_back(control.name + ": its place lies past the screen edge");
            continue;
        }
        const Look look = LookAt(picture, control);
        if (!look.Usable()) continue;
        if (r.x + r.width < screen.width - kEdgeMargin && !OtherControlToward(controls, control, true) &&
            EdgeCovered(picture, look, screen.width - kEdgeColumns)) {
            findings.push_back(control.name + ": drawn past the right screen edge");
        }
        if (r.x > kEdgeMargin && !OtherControlToward(controls, control, false) && EdgeCovered(picture, look, 0)) {
            findings.push_back(control.name + ": drawn past the left screen edge");
        }
        const double coverage = Coverage(picture, look, r);
        if (control.kind == ControlKind::kSlider) {
            if (coverage < kTrackCoverage) {
                findings.push_back(control.name + ": a slider without its track (" + Percent(coverage) +
                                   " of its place covered)");
            }
            continue;
        }
        if (!control.dimmed && coverage < kButtonCoverage) {
            findings.push_back(control.name + ": its art covers " + Percent(coverage) + " of its place");
        }
        if (control.labelled && LabelPixels(picture, r) < kLabelPixels) {
            findings.push_back(control.name + ": a button whose label is missing");
        }
    }
    return findings;
}

}  // namespace e2e
