#pragma once
// Events of the game window as the engine sees them: what the window system reported during a pump, and the
// two requests the engine sends its own window (resize-and-centre, show or hide the cursor). Plain values,
// so that code above the platform layer can read them without knowing the window system.

namespace sys {

enum class WindowEventKind : int {
    kOther = 0,        // any other event of the pump (keys, buttons, motion, controllers...)
    kClose,            // the window's close button, or a request to end the program (SIGINT, SIGTERM)
    kFocusGained,      // the window got the keyboard focus
    kFocusLost,        // the window lost it
    kWheel,            // param1: wheel steps (+1 away from the user, -1 towards, sign-corrected)
    kSizeChanged,      // param1, param2: the new client width and height, set by the window system
    kMoved,            // param1, param2: the new screen position of the client area
    kResizeAndCentre,  // param1, param2: client width and height to set; the window is centred and shown
    kShowCursor,       // param1: non-zero shows the system arrow cursor, zero hides it
};

struct WindowEvent {
    WindowEventKind kind = WindowEventKind::kOther;
    int param1 = 0;
    int param2 = 0;
    // The window system's own event (an SDL_Event) for pumped events; null for the engine's requests.
    const void* native = nullptr;
};

}  // namespace sys
