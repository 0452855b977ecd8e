#pragma once
// What an input device needs from the engine that owns it: whether the application is active, the back
// buffer's size, the window, the window layer's cursor request and the game clock.

namespace engine {

class InputHost {
public:
    virtual ~InputHost() = default;

    // False while the application is in the background: keys then read up and the pad is not read.
    virtual bool IsActive() const = 0;
    virtual int GetBackBufferWidth() const = 0;
    virtual int GetBackBufferHeight() const = 0;
    // The window (an SDL_Window) the pointer is warped in; null when there is none.
    virtual void* GetWindow() const = 0;
    // Shows (with the arrow cursor) or hides the system cursor over the window.
    virtual void ShowSystemCursor(bool show) = 0;
    // The game clock and the game delta of the last frame, in milliseconds.
    virtual double GetGameMilliseconds() const = 0;
    virtual double GetGameDeltaMilliseconds() const = 0;
};

}  // namespace engine
