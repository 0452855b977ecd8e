#include "sys/gl_window.h"

#include <SDL.h>
#include <epoxy/gl.h>

namespace sys {

GlWindow::~GlWindow() { Close(); }

bool GlWindow::Open(const GlWindowDesc& desc) {
    Close();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error_ = SDL_GetError();
        return false;
    }
    videoInitialised_ = true;

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    int flags = SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG;
    if (desc.debugContext) flags |= SDL_GL_CONTEXT_DEBUG_FLAG;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, flags);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);

    Uint32 windowFlags = SDL_WINDOW_OPENGL | (desc.hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    window_ = SDL_CreateWindow(desc.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, desc.width,
                               desc.height, windowFlags);
    if (window_ == nullptr) {
        error_ = SDL_GetError();
        Close();
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr || SDL_GL_MakeCurrent(window_, context_) != 0) {
        error_ = SDL_GetError();
        Close();
        return false;
    }
    return true;
}

void GlWindow::Close() {
    if (context_ != nullptr) {
        SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    if (videoInitialised_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        videoInitialised_ = false;
    }
}

bool GlWindow::MakeCurrent() {
    return context_ != nullptr && SDL_GL_MakeCurrent(window_, context_) == 0;
}

void GlWindow::Swap() {
    if (window_ != nullptr) SDL_GL_SwapWindow(window_);
}

bool GlWindow::PollQuit() {
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT) quit = true;
    }
    return quit;
}

GlContextInfo QueryGlContext() {
    GlContextInfo info;
    glGetIntegerv(GL_MAJOR_VERSION, &info.major);
    glGetIntegerv(GL_MINOR_VERSION, &info.minor);
    GLint mask = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
    info.core = (mask & GL_CONTEXT_CORE_PROFILE_BIT) != 0;
    if (const GLubyte* r = glGetString(GL_RENDERER)) info.renderer = reinterpret_cast<const char*>(r);
    return info;
}

void ClearColour(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
}

void ReadPixelsRgba8(int x, int y, int width, int height, std::uint8_t* out) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out);
}

}  // namespace sys
