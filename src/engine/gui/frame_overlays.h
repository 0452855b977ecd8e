#pragma once
// The end of every frame's 2D layer: the mouse cursor, the statistics box, the debug lines and the dark
// safe-frame border, in that order. They live here because they draw with the default font.
#include <cstdint>

#include "engine/gui/stats_overlay.h"

namespace engine {

class BitmapFont;
class InputDevice;
class RenderTargetBase;
class StatsOverlay;

// The device's cursor texture at its pointer, white; moved up and left by half the texture's size when the
// device centres its cursor. Nothing without a pointer or a texture, or while the cursor is hidden.
void DrawCursor(InputDevice& input, RenderTargetBase& target);

// Darkens a band of percent of the target's size along its four edges (what lies below keeps 3/4 of its
// brightness). Nothing for 0; bands that would overlap leave the rectangles of no size out.
void DrawScreenBorder(RenderTargetBase& target, float percent);
// The same on "Main RT", made when missing; nothing when it cannot be made.
void DrawScreenBorder(float percent);

// Everything the overlays read, so that they can be drawn from any source.
struct OverlaySources {
    InputDevice* input = nullptr;         // the cursor's device (none: no cursor)
    std::uint32_t statsFlag = 0;          // the timer's display word: the statistics show while it is not 0
    StatsSample stats;
    StatsOverlay* statsOverlay = nullptr;
    BitmapFont* font = nullptr;           // the statistics and debug lines draw nothing without it
    RenderTargetBase* borderTarget = nullptr;
    float border = 0.0f;                  // the border in percent; 0: none
};

// The four steps: cursor, statistics, debug lines when any slot holds text, border when it is not 0.
void DrawOverlays(RenderTargetBase& target, const OverlaySources& sources);
// The same from the engine: input device 0, its timer and counters, the default font, "Main RT" and the
// start-up record's safe-frame border.
void DrawOverlays(RenderTargetBase& target);

// Installs the engine hook that clears the debug lines when the engine is made and when it goes.
void InstallDebugOverlayHooks();

}  // namespace engine
