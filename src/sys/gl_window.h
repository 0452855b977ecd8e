#pragma once
// A native window with an OpenGL 3.3 core context, the surface every frame is drawn into.
#include <cstdint>
#include <string>

struct SDL_Window;

namespace sys {

struct GlWindowDesc {
    std::string title = "Tinmarch";
    int width = 960;
    int height = 640;
    bool hidden = false;      // tests keep the window hidden
    bool debugContext = false;
};

class GlWindow {
public:
    GlWindow() = default;
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    // Initialises SDL video, creates the window and a current GL context. False on failure, with the
    // reason in LastError(); nothing is left open then.
    bool Open(const GlWindowDesc& desc);
    // Releases context, window and the SDL subsystem (reference-counted), so the process may open again.
    void Close();
    bool IsOpen() const { return window_ != nullptr; }

    // Makes this window's context current on the calling thread.
    bool MakeCurrent();
    void Swap();
    // Handles pending window-system events; true once the quit event arrived (window closed, SIGINT, SIGTERM).
    bool PollQuit();

    const std::string& LastError() const { return error_; }
    // The SDL window (null while closed), for the graphics device that presents into it.
    SDL_Window* Native() const { return window_; }

private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    bool videoInitialised_ = false;
    std::string error_;
};

struct GlContextInfo {
    int major = 0;
    int minor = 0;
    bool core = false;
    std::string renderer;
};

// Facts about the current context.
GlContextInfo QueryGlContext();
// Clears the colour buffer of the bound target (the window's framebuffer or a framebuffer object).
void ClearColour(float r, float g, float b, float a);
// Reads RGBA8 pixels of the bound target, rows as GL returns them.
void ReadPixelsRgba8(int x, int y, int width, int height, std::uint8_t* out);

}  // namespace sys
