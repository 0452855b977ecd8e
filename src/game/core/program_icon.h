#pragma once
// The window's icons, compiled into the program: the window needs them before any archive is mounted. They
// are drawn from pixel art (data/icon/program_icon.txt) that the build embeds as text.
#include "sys/app_window.h"

namespace game {

// The embedded art, as the data file holds it.
const char* ProgramIconArt();
// The art at `scale` times its size (scale 1 to 16); an empty image when the art does not parse or the scale
// is out of range.
sys::RgbaImage DrawIconArt(const char* art, int scale);
// The program's icons: 16 x 16 and 64 x 64.
sys::RgbaImage SmallProgramIcon();
sys::RgbaImage BigProgramIcon();

}  // namespace game
