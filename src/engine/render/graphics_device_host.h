#pragma once
// What the graphics device needs from the engine root: the window it presents into, the start-up settings it
// reads, the engine's screen size and full-screen flag it writes, the size message, the cursor confinement and
// the frame time the loss protocol counts down with.

namespace engine {

// The start-up record's settings the device reads.
struct GraphicsDeviceSettings {
    bool windowed = true;
    int width = 960;
    int height = 640;
    bool externalWindow = false;    // the engine draws into a window handed in from outside
    bool immediatePresent = false;  // full-screen frames do not wait for the vertical retrace
};

class GraphicsDeviceHost {
public:
    virtual ~GraphicsDeviceHost() = default;

    // The SDL window (as an opaque pointer) whose GL context is current; null presents nowhere.
    virtual void* DeviceWindow() = 0;
    // The desktop's size in pixels; false when it cannot be read.
    virtual bool DesktopSize(int& width, int& height) = 0;
    virtual bool IsFullScreen() const = 0;
    virtual void SetFullScreen(bool fullScreen) = 0;
    // The engine's screen size (back-buffer width and height).
    virtual void SetScreenSize(int width, int height) = 0;
    // The window's size message: resize the client area to this size and centre it.
    virtual void SendSizeMessage(int width, int height) = 0;
    // Full screen: confine the cursor to the screen.
    virtual void ClipCursor() = 0;
    // The last frame's duration in milliseconds.
    virtual int FrameMilliseconds() = 0;
};

}  // namespace engine
