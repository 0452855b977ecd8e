#pragma once
// The game's one window: a native window with an OpenGL 3.3 core context and the back buffer that frames are
// drawn into, or a window the host program made and hands in. It is created hidden; the first
// resize-and-centre request shows it. The window's event pump passes every event to the input layer and
// reports the window's own events to the engine as WindowEvent values.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sys/present_blit.h"
#include "sys/window_event.h"

struct SDL_Window;

namespace sys {

// An image with 4 bytes per pixel in the order R, G, B, A, top row first.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    bool IsValid() const {
        return width > 0 && height > 0 && pixels.size() >= static_cast<std::size_t>(width) * height * 4;
    }
};

struct AppWindowDesc {
    std::string title;
    int width = 960;  // client size in windowed mode
    int height = 640;
    bool fullScreen = false;  // full screen at the desktop's size
    bool captioned = true;    // windowed with a title bar and border; false: borderless
    RgbaImage icon;
};

class AppWindow {
public:
    using EventHandler = std::function<void(const WindowEvent&)>;

    AppWindow() = default;
    ~AppWindow();
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    // Starts SDL video (reference-counted), then makes the window hidden with its GL context current. Text
    // input is stopped (keys arrive untranslated) and the screen saver is kept off. False, with the reason in
    // LastError() and nothing left open, when video, the window or the context cannot be made.
    bool Create(const AppWindowDesc& desc);
    // Takes a window the host made as this window. It is never pumped, hidden or destroyed here. When it is an
    // OpenGL window a context of our own is made for it. False for a null window.
    bool Adopt(SDL_Window* window);
    // Deletes the back buffer and the context and destroys the window unless it was adopted.
    void Destroy();
    // Destroy, then ends this window's use of SDL video.
    void Close();

    bool IsOpen() const { return window_ != nullptr; }
    bool IsAdopted() const { return adopted_; }
    SDL_Window* Handle() const { return window_; }
    bool HasContext() const { return context_ != nullptr; }
    bool MakeCurrent();
    const std::string& LastError() const { return error_; }

    // Takes every waiting event: each goes to the input layer first, then, as a WindowEvent, to the handler.
    // Events of other windows reach the handler as kOther.
    void Pump(const EventHandler& handler);
    // The window's answer to a close request: hidden for the rest of its life (a later resize request no
    // longer shows it), while frames may still be presented into it.
    void HideAfterClose();
    bool IsShown() const;
    bool HasInputFocus() const;

    // Sets the client size, centres the window in the usable area of its display and shows it (unless it was
    // closed). Nothing happens to an adopted window.
    void ResizeAndCentre(int width, int height);
    // Shows the system arrow cursor, or hides the cursor.
    void ShowCursor(bool show);
    // Full screen at the desktop's size, or windowed again: bordered by the captioned flag, at the client
    // size, centred. Title and icon are set again.
    void SetFullScreen(bool fullScreen, bool captioned, int width, int height);
    // Keeps the pointer inside the window (full screen), or lets it go.
    void SetMouseGrab(bool grab);
    // Lets the window see the mouse outside its area while a button is held, or stops it. False when the
    // system refuses.
    bool CaptureMouse(bool capture);

    void GetPosition(int& x, int& y) const;
    void GetClientSize(int& width, int& height) const;
    void GetDrawableSize(int& width, int& height) const;
    std::uint32_t WindowId() const;

    // The back buffer, (re)made at this size in the window's context. False when it cannot be made.
    bool SetBackBufferSize(int width, int height);
    BackBuffer& GetBackBuffer() { return backBuffer_; }
    // Copies the back buffer to the window the right way up, scaled to the drawable size, then swaps.
    // False when there is no context.
    bool Present();

private:
    WindowEvent Translate(const void* sdlEvent) const;
    void SetIcon();

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    void* arrowCursor_ = nullptr;
    BackBuffer backBuffer_;
    std::string title_;
    RgbaImage icon_;
    std::string error_;
    bool videoStarted_ = false;
    bool adopted_ = false;
    bool closed_ = false;
};

// The desktop's width and height in pixels (display 0); 0 when video cannot be started. Works before any
// window exists: SDL video is started for the call and ended again (reference-counted).
int GetDesktopWidth();
int GetDesktopHeight();

}  // namespace sys
