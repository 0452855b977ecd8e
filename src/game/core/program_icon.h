#pragma once
// The window's icons, compiled into the program: the window needs them before any archive is mounted. They
// are pixel art (data/icon/program_icon.txt), one drawing for each size, that the build embeds as text.
#include "sys/app_window.h"

namespace game {

// The embedded art, as the data file holds it.
const char* ProgramIconArt();
// The art's drawing that is `size` pixels square (1 to 256); an empty image when the art has no drawing of
// that size, or when any of its drawings is not a square of characters the legend gives a colour.
sys::RgbaImage DrawIconArt(const char* art, int size);
// The program's icons: 16 x 16 and 64 x 64.
sys::RgbaImage SmallProgramIcon();
sys::RgbaImage BigProgramIcon();

}  // namespace game
