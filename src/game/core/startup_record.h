#pragma once
// The start-up record the program hands CreateEngine: title and maker, window or full screen, the window's
// size from the desktop's width, the icons, and the engine's fixed choices for this game.
#include "engine/platform/startup_params.h"

namespace game {

inline constexpr int kLargeWindowWidth = 1024;
inline constexpr int kLargeWindowHeight = 768;
inline constexpr int kSmallWindowWidth = 960;
inline constexpr int kSmallWindowHeight = 640;

// Windowed when the settings file's full-screen flag is 0; 1024 x 768 on a desktop wider than 1024 pixels,
// else 960 x 640. Table sizes 0 (the engine's defaults), picking of animated models on, flagged materials
// left out of triangle queries, a cull margin of 2, a captioned window, no external window, menu or hook.
engine::StartupParams BuildStartupParams(int desktopWidth, int fullScreenFlag);

}  // namespace game
