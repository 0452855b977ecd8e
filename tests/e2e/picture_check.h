#pragma once
// A look at a screen picture as a player takes it in: each control of the shown screens stands inside the
// screen and shows its art over its own place, a labelled button shows its label and a slider its track.
//
// The check reads the picture's pixels where the controls are and compares each control's band (the rows
// through its middle) with the backdrop just above the control, column by column: a column whose band differs
// from its backdrop, or (for a plate as dark as the backdrop) that shows a bright frame line along the
// control's top edge, is covered by the control's art. So it needs no knowledge of the art itself:
// - a control whose art is not over most of its place, or whose art reaches a screen edge that its place
//   does not reach (with no other control between it and that edge in its rows, whose art it would be), was
//   drawn somewhere else (past the edge);
// - a labelled button shows a label when its middle rows hold text pixels, clearly brighter than the plate
//   around them, away from the icon ends;
// - a slider's track runs through its place: most columns of the rows through its middle are covered.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/int_rect.h"

namespace e2e {

// Pixels as 0xRRGGBB, rows top first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// A PNG file's pixels; false when it cannot be read.
bool ReadPicture(const std::string& path, Picture& picture);

// The pixels of the area that stand out as text from their row: clearly brighter than the row's middle
// value across the area. Art without text (a plate, a panel) has none or few.
int TextPixels(const Picture& picture, const engine::IntRect& area);

enum class ControlKind { kButton, kSlider };

struct PictureControl {
    std::string name;     // how a finding names it
    engine::IntRect rect;  // on the screen
    ControlKind kind = ControlKind::kButton;
    bool labelled = false;  // a button with a label text to show
    bool dimmed = false;    // disabled: its art is drawn grey, too dark to tell from the backdrop
};

// One line for each fault seen; empty for a picture that looks right.
std::vector<std::string> CheckPicture(const Picture& picture, const std::vector<PictureControl>& controls);

}  // namespace e2e
