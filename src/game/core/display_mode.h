#pragma once
// The screen size the game lays itself out by, and the switch between windowed and full-screen display that
// the settings screen offers: the engine changes the mode, the screen-size values follow the back buffer, the
// parts laid out by the screen size are re-laid through the callbacks their owners register, and the new
// mode is saved in the settings file.
#include <functional>

namespace game {

// The back buffer's size and its halves (integer division); the game object fills them first.
struct ScreenSize {
    int width = 0;
    int height = 0;
    int halfWidth = 0;
    int halfHeight = 0;
};

const ScreenSize& GetScreenSize();
void SetScreenSize(int width, int height);

// The parts re-laid after a mode switch, in the order they are called: the three screen windows (the
// campaign map's window, the turn-button panel, the comic overlay's button), then the viewport and aspect of
// the scene view's camera and of the announcer's camera.
enum class RelayoutSlot : int {
    kCampaignMapWindow,
    kTurnButtonPanel,
    kComicOverlayButton,
    kSceneViewCamera,
    kAnnouncerCamera,
    kCount,
};

// Called with the new screen width and height.
using RelayoutCallback = std::function<void(int width, int height)>;
// Registers the slot's callback (an empty one clears it).
void SetRelayoutCallback(RelayoutSlot slot, RelayoutCallback callback);

// Toggles the engine between windowed and full screen, takes the new back-buffer size into the screen-size
// values, runs the re-layout callbacks in slot order, then writes the settings file (version 1 and the
// engine's full-screen flag) through a temporary file renamed over the old one, making the user folder when
// it is missing. False, with one line on stderr, when there is no engine or the file cannot be written: the
// old file is then left as it was, while the mode has switched.
bool SwitchDisplayModeAndSave();

}  // namespace game
