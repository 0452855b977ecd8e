#include "sys/app_window.h"

#include <SDL.h>

#include <string>

#include "sys/input_events.h"
#include "sys/pointer.h"

namespace sys {
namespace {

constexpr Uint32 kVideo = SDL_INIT_VIDEO | SDL_INIT_EVENTS;

// SDL falls back to a driver without a screen when no display answers; a game run there is never seen, so such
// a driver is taken only when SDL_VIDEODRIVER names it (as headless runs do).
bool IsHeadlessDriver(const char* driver) {
    return driver != nullptr && (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0);
}

bool IsDriverRequested(const char* driver) {
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    if (requested == nullptr) return false;
    // The variable may list several drivers, separated by commas.
    const std::string list = requested;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        if (SDL_strcasecmp(list.substr(start, end - start).c_str(), driver) == 0) return true;
        start = end + 1;
    }
    return false;
}

void SetGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    // The window's framebuffer only receives the finished frame; depth lives in the back buffer.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

}  // namespace

AppWindow::~AppWindow() { Close(); }

bool AppWindow::Create(const AppWindowDesc& desc) {
    Close();
    // A close request reaches the engine once, as the window's close event; the engine decides what ends.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(kVideo) != 0) {
        error_ = SDL_GetError();
        return false;
    }
    videoStarted_ = true;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (IsHeadlessDriver(driver) && !IsDriverRequested(driver)) {
        error_ = "no display could be opened (set SDL_VIDEODRIVER=offscreen to run without one)";
        Close();
        return false;
    }
    SetGlAttributes();
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (!desc.captioned) flags |= SDL_WINDOW_BORDERLESS;
    if (desc.fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(desc.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               desc.width > 0 ? desc.width : 1, desc.height > 0 ? desc.height : 1, flags);
    if (window_ != nullptr) context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr || SDL_GL_MakeCurrent(window_, context_) != 0) {
        error_ = SDL_GetError();
        Close();
        return false;
    }
    title_ = desc.title;
    icon_ = desc.icon;
    SetIcon();
    SDL_StopTextInput();
    SDL_DisableScreenSaver();
    return true;
}

bool AppWindow::Adopt(SDL_Window* window) {
    Close();
    if (window == nullptr) return false;
    if (SDL_InitSubSystem(kVideo) != 0) {
        error_ = SDL_GetError();
        return false;
    }
    videoStarted_ = true;
    window_ = window;
    adopted_ = true;
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) != 0) {
        SetGlAttributes();
        context_ = SDL_GL_CreateContext(window);
        if (context_ != nullptr) SDL_GL_MakeCurrent(window, context_);
    }
    return true;
}

void AppWindow::Destroy() {
    if (context_ != nullptr) {
        SDL_GL_MakeCurrent(window_, context_);
        backBuffer_.Release();
        SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (arrowCursor_ != nullptr) {
        SDL_FreeCursor(static_cast<SDL_Cursor*>(arrowCursor_));
        arrowCursor_ = nullptr;
    }
    if (window_ != nullptr && !adopted_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    adopted_ = false;
    closed_ = false;
}

void AppWindow::Close() {
    Destroy();
    if (videoStarted_) {
        SDL_QuitSubSystem(kVideo);
        videoStarted_ = false;
    }
}

bool AppWindow::MakeCurrent() { return context_ != nullptr && SDL_GL_MakeCurrent(window_, context_) == 0; }

void AppWindow::SetIcon() {
    if (window_ == nullptr || !icon_.IsValid()) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon_.pixels.data(), icon_.width, icon_.height, 32,
                                                              icon_.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(window_, surface);
    SDL_FreeSurface(surface);
}

void AppWindow::Pump(const EventHandler& handler) {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        HandleInputEvent(&event);
        const WindowEvent translated = Translate(&event);
        if (handler) handler(translated);
    }
}

WindowEvent AppWindow::Translate(const void* sdlEvent) const {
    const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
    WindowEvent out;
    out.native = sdlEvent;
    switch (event.type) {
    case SDL_QUIT:
        out.kind = WindowEventKind::kClose;
        break;
    case SDL_MOUSEWHEEL:
        // The input layer has just counted this event's step; it is handed on with the event.
        out.param1 = TakeWheelSteps();
        if (out.param1 != 0) out.kind = WindowEventKind::kWheel;
        break;
    case SDL_WINDOWEVENT:
        if (window_ == nullptr || event.window.windowID != SDL_GetWindowID(window_)) break;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out.kind = WindowEventKind::kClose;
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.kind = WindowEventKind::kFocusGained;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.kind = WindowEventKind::kFocusLost;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.kind = WindowEventKind::kSizeChanged;
            out.param1 = event.window.data1;
            out.param2 = event.window.data2;
            break;
        case SDL_WINDOWEVENT_MOVED:
            out.kind = WindowEventKind::kMoved;
            out.param1 = event.window.data1;
            out.param2 = event.window.data2;
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return out;
}

void AppWindow::HideAfterClose() {
    if (window_ == nullptr || adopted_) return;
    closed_ = true;
    SDL_HideWindow(window_);
}

bool AppWindow::IsShown() const {
    return window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0;
}

bool AppWindow::HasInputFocus() const {
    return window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void AppWindow::ResizeAndCentre(int width, int height) {
    if (window_ == nullptr || adopted_ || width <= 0 || height <= 0) return;
    SDL_SetWindowSize(window_, width, height);
    int display = SDL_GetWindowDisplayIndex(window_);
    if (display < 0) display = 0;
    SDL_Rect area{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(display, &area) != 0) SDL_GetDisplayBounds(display, &area);
    SDL_SetWindowPosition(window_, area.x + area.w / 2 - width / 2, area.y + area.h / 2 - height / 2);
    if (!closed_) SDL_ShowWindow(window_);
}

void AppWindow::ShowCursor(bool show) {
    if (show) {
        if (arrowCursor_ == nullptr) arrowCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        SDL_SetCursor(arrowCursor_ != nullptr ? static_cast<SDL_Cursor*>(arrowCursor_) : SDL_GetDefaultCursor());
    }
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void AppWindow::SetFullScreen(bool fullScreen, bool captioned, int width, int height) {
    if (window_ == nullptr || adopted_) return;
    if (fullScreen) {
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowBordered(window_, captioned ? SDL_TRUE : SDL_FALSE);
        ResizeAndCentre(width, height);
    }
    SDL_SetWindowTitle(window_, title_.c_str());
    SetIcon();
    if (!closed_) SDL_ShowWindow(window_);
}

void AppWindow::SetMouseGrab(bool grab) {
    if (window_ != nullptr) SDL_SetWindowGrab(window_, grab ? SDL_TRUE : SDL_FALSE);
}

bool AppWindow::CaptureMouse(bool capture) { return SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE) == 0; }

void AppWindow::GetPosition(int& x, int& y) const {
    x = y = 0;
    if (window_ != nullptr) SDL_GetWindowPosition(window_, &x, &y);
}

void AppWindow::GetClientSize(int& width, int& height) const {
    width = height = 0;
    if (window_ != nullptr) SDL_GetWindowSize(window_, &width, &height);
}

void AppWindow::GetDrawableSize(int& width, int& height) const {
    width = height = 0;
    if (window_ != nullptr) SDL_GL_GetDrawableSize(window_, &width, &height);
}

std::uint32_t AppWindow::WindowId() const { return window_ != nullptr ? SDL_GetWindowID(window_) : 0; }

bool AppWindow::SetBackBufferSize(int width, int height) {
    if (!MakeCurrent()) return false;
    return backBuffer_.Resize(width, height);
}

bool AppWindow::Present() {
    if (!MakeCurrent()) return false;
    int width = 0;
    int height = 0;
    GetDrawableSize(width, height);
    backBuffer_.BlitToWindow(width, height);
    SDL_GL_SwapWindow(window_);
    return true;
}

namespace {

bool DesktopMode(SDL_DisplayMode& mode) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const bool ok = SDL_GetDesktopDisplayMode(0, &mode) == 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return ok;
}

}  // namespace

int GetDesktopWidth() {
    SDL_DisplayMode mode{};
    return DesktopMode(mode) ? mode.w : 0;
}

int GetDesktopHeight() {
    SDL_DisplayMode mode{};
    return DesktopMode(mode) ? mode.h : 0;
}

}  // namespace sys
