#pragma once
// Checks of a drawn GUI sheet against its cells, shared by the art generator and the data check.
#include <cstdint>
#include <string>
#include <vector>

#include "artgen/cell_map.h"

namespace artgen {

// 32-bit ARGB pixels, rows top first.
struct SheetPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The relative luminance 0..1 of the colour's RGB (sRGB decoded, then weighted 0.2126 / 0.7152 / 0.0722).
double Luminance(std::uint32_t argb);
// The contrast ratio of two luminances, (lighter + 0.05) / (darker + 0.05).
double Contrast(double a, double b);

// The lowest mean luminance a tinted cell's visible texels may have, so that the tint is the colour seen.
inline constexpr double kTintedMinLuminance = 0.75;

// Faults of the drawn sheet, "<cell>: reason": a cell with no visible texel, a tinted cell whose visible
// texels are dark on average, a transparent texel next to a visible one that does not carry a visible
// neighbour's colour, and a visible texel outside every cell.
std::vector<std::string> CheckSheetPixels(const CellMap& map, const std::string& sheet, const SheetPixels& pixels);

}  // namespace artgen
