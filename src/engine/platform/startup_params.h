#pragma once
// The start-up record: everything the program tells the engine before it is built. The program entry fills
// one, CreateEngine copies it whole, and every engine part reads the copy for the rest of the run. A zero
// table size or count selects the engine's default.
#include <chrono>
#include <functional>
#include <string>

#include "sys/app_window.h"
#include "sys/window_event.h"

struct SDL_Window;

namespace engine {

// Sees every event of the engine's window before the engine does; a non-zero result ends that event's
// handling. The window is the engine's (an SDL_Window).
using MessageHook = std::function<int(SDL_Window* window, const sys::WindowEvent& event)>;

struct StartupParams {
    // Window title, name of the program's folders and prefix of screen dumps.
    std::string title;
    // Kept with the record; nothing reads it.
    std::string makerName;
    // 1: a window of width x height; 0: full screen at the desktop's size.
    int windowed = 0;
    int width = 0;
    int height = 0;
    // Non-zero: full-screen frames are shown without waiting for the vertical retrace.
    int immediatePresent = 0;
    // Blocks of the wide-string pool (0: 2048).
    int stringPoolSize = 0;
    // Table sizes (0: 1024 each).
    int modelTableSize = 0;
    int materialTableSize = 0;
    int textureTableSize = 0;
    // Entries of each of the render queue's draw lists (0: 2000).
    int drawListCapacity = 0;
    // Non-zero: a dark grey border of this percentage of the screen around the picture.
    float safeFrameBorder = 0.0f;
    // Ray tests against scene nodes include animated models.
    int animatedMeshPicking = 0;
    // Non-zero: triangles of flagged materials take part in picking and collision queries.
    int flaggedMaterialQueries = 0;
    // World units added to every bounding-sphere radius in view-frustum tests.
    float cullMargin = 0.0f;
    // Non-null: the engine draws into this window of the host instead of making its own, and pumps no
    // events itself.
    SDL_Window* externalWindow = nullptr;
    // Kept with the record; unused on this platform.
    void* instance = nullptr;
    void* menu = nullptr;
    // 1: a windowed window has a title bar and border; 0: borderless. Full screen never has them.
    int captioned = 0;
    // The window's icons at 16 and 64 pixels; the 64-pixel one is shown.
    sys::RgbaImage smallIcon;
    sys::RgbaImage bigIcon;
    MessageHook messageHook;
    // The clock the engine's frame timer reads (nanoseconds, never going backwards); null: the steady clock.
    // Tests step game time with a clock of their own.
    std::function<std::chrono::nanoseconds()> clock;
};

// The engine's copy of the record, taken by CreateEngine (all defaults before that).
const StartupParams& GetStartupParams();

}  // namespace engine
