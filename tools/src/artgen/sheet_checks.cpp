#include "artgen/sheet_checks.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

double Linear(std::uint32_t byte) {
    const double c = byte / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double Luminance(std::uint32_t argb) {
    return 0.2126 * Linear((argb >> 16) & 0xFF) + 0.7152 * Linear((argb >> 8) & 0xFF) + 0.0722 * Linear(argb & 0xFF);
}

double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

std::vector<std::string> CheckSheetPixels(const CellMap& map, const std::string& sheet, const SheetPixels& px) {
    std::vector<std::string> faults;
    const std::vector<const Cell*> cells = map.CellsOf(sheet);
    std::vector<std::uint8_t> inCell(px.pixels.size(), 0);
    for (const Cell* c : cells) {
        const int x0 = std::max(c->x, 0);
        const int y0 = std::max(c->y, 0);
        const int x1 = std::min(c->x + c->width, px.width);
        const int y1 = std::min(c->y + c->height, px.height);
        double weight = 0.0;
        double luminance = 0.0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                inCell[static_cast<std::size_t>(y) * px.width + x] = 1;
                const std::uint32_t p = px.At(x, y);
                const double a = (p >> 24) / 255.0;
                weight += a;
                luminance += a * Luminance(p);
            }
        }
        if (weight <= 0.0) {
            // A spare cell is cut by no screen, so it may stay empty.
            if (!c->spare) faults.push_back(c->Describe() + ": empty");
        } else if (c->drawn == DrawnAs::kTinted && luminance / weight < kTintedMinLuminance) {
            faults.push_back(c->Describe() + ": tinted, but its mean luminance is " +
                             std::to_string(luminance / weight).substr(0, 4) + ", below 0.75");
        }
    }
    int stray = 0;
    int fringe = 0;
    std::string firstStray;
    std::string firstFringe;
    for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
            const std::uint32_t p = px.At(x, y);
            if ((p >> 24) != 0) {
                if (inCell[static_cast<std::size_t>(y) * px.width + x] == 0 && stray++ == 0) {
                    firstStray = std::to_string(x) + ", " + std::to_string(y);
                }
                continue;
            }
            bool nextToVisible = false;
            bool carries = false;
            const int nx[4] = {x - 1, x, x + 1, x};
            const int ny[4] = {y, y - 1, y, y + 1};
            for (int k = 0; k < 4; ++k) {
                if (nx[k] < 0 || ny[k] < 0 || nx[k] >= px.width || ny[k] >= px.height) continue;
                const std::uint32_t n = px.At(nx[k], ny[k]);
                if ((n >> 24) == 0) continue;
                nextToVisible = true;
                if ((n & 0xFFFFFF) == (p & 0xFFFFFF)) carries = true;
            }
            if (nextToVisible && !carries && fringe++ == 0) firstFringe = std::to_string(x) + ", " + std::to_string(y);
        }
    }
    if (stray > 0) {
        faults.push_back(sheet + ": " + std::to_string(stray) + " visible texels outside every cell, the first at (" +
                         firstStray + ")");
    }
    if (fringe > 0) {
        faults.push_back(sheet + ": " + std::to_string(fringe) +
                         " transparent texels next to visible ones without their colour, the first at (" +
                         firstFringe + ")");
    }
    return faults;
}

}  // namespace artgen
