// The device's life: creation, the back buffer, presentation, reset and the loss protocol, scenes, counting.
#include "sys/gpu_device.h"

#include <SDL.h>

#include <algorithm>
#include <numeric>

#include "sys/gpu_gl.h"
#include "sys/gpu_test_hooks.h"

namespace sys {

namespace gpu_internal {
std::uint64_t g_glCalls = 0;
}  // namespace gpu_internal

namespace {

constexpr std::uint32_t kRegisterBytes = 256 * 16;

SDL_Window* AsWindow(void* window) { return static_cast<SDL_Window*>(window); }

}  // namespace

bool GpuDevice::Initialise(const GpuPresentParameters& params) {
    params_ = params;
    window_ = params.deviceWindow;

    GL(glGenFramebuffers(1, &drawFramebuffer_));
    GL(glGenFramebuffers(2, copyFramebuffers_));
    GL(glGenVertexArrays(1, &vertexArray_));
    GL(glBindVertexArray(vertexArray_));
    GL(glGenBuffers(2, registerBuffers_));
    for (GLuint i = 0; i < 2; ++i) {
        GL(glBindBuffer(GL_UNIFORM_BUFFER, registerBuffers_[i]));
        GL(glBufferData(GL_UNIFORM_BUFFER, kRegisterBytes, nullptr, GL_DYNAMIC_DRAW));
        GL(glBindBufferBase(GL_UNIFORM_BUFFER, i, registerBuffers_[i]));
    }
    GL(glGenSamplers(kSamplerStages, samplers_.data()));
    for (GLuint stage = 0; stage < kSamplerStages; ++stage) GL(glBindSampler(stage, samplers_[stage]));
    GL(glEnable(GL_PROGRAM_POINT_SIZE));

    if (!CreateBackBuffer()) return false;
    Rebind(renderTarget_, backBuffer_);
    if (params_.enableAutoDepthStencil != 0) Rebind(depthStencil_, backDepth_);
    SetDefaultStates();
    ApplyWindowMode();
    return true;
}

GpuDevice::~GpuDevice() {
    Drop(renderTarget_);
    Drop(depthStencil_);
    for (GpuBaseTexture*& texture : textures_) Drop(texture);
    for (Stream& stream : streams_) Drop(stream.buffer);
    Drop(indices_);
    Drop(declaration_);
    Drop(vertexShader_);
    Drop(pixelShader_);
    Drop(backBuffer_);
    Drop(backDepth_);

    // Objects the engine still holds keep their memory but lose their GL names now, while the context lives.
    const std::vector<GpuResource*> left(resources_.begin(), resources_.end());
    for (GpuResource* resource : left) resource->Orphan();
    resources_.clear();
    for (auto& [pair, program] : programs_) {
        if (program.name != 0) GL(glDeleteProgram(program.name));
    }
    programs_.clear();

    RestoreGlDefaults();
    // A full-screen device gives the desktop back.
    if (window_ != nullptr && params_.windowed == 0) SDL_SetWindowFullscreen(AsWindow(window_), 0);
    GL(glDeleteFramebuffers(1, &drawFramebuffer_));
    GL(glDeleteFramebuffers(2, copyFramebuffers_));
    GL(glDeleteVertexArrays(1, &vertexArray_));
    GL(glDeleteBuffers(2, registerBuffers_));
    GL(glDeleteSamplers(kSamplerStages, samplers_.data()));
    if (streamBuffer_ != 0) GL(glDeleteBuffers(1, &streamBuffer_));
}

bool GpuDevice::CreateBackBuffer() {
    const auto make = [&](GLenum internalFormat, GpuFormat format, std::uint32_t usage) {
        GLuint renderbuffer = 0;
        GL(glGenRenderbuffers(1, &renderbuffer));
        GL(glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer));
        GL(glRenderbufferStorage(GL_RENDERBUFFER, internalFormat, static_cast<GLsizei>(params_.backBufferWidth),
                                 static_cast<GLsizei>(params_.backBufferHeight)));
        GpuSurfaceDesc desc;
        desc.format = format;
        desc.usage = usage;
        desc.width = params_.backBufferWidth;
        desc.height = params_.backBufferHeight;
        return new GpuSurface(this, desc, renderbuffer, 0);
    };
    backBuffer_ = make(GL_RGBA8, params_.backBufferFormat == kFmtUnknown ? kFmtX8R8G8B8 : params_.backBufferFormat,
                       kUsageRenderTarget);
    const GpuFormat depthFormat =
        params_.autoDepthStencilFormat == kFmtUnknown ? kFmtD24S8 : params_.autoDepthStencilFormat;
    backDepth_ = make(GL_DEPTH24_STENCIL8, depthFormat, kUsageDepthStencil);
    framebufferDirty_ = true;
    return GL(glGetError()) == GL_NO_ERROR;
}

void GpuDevice::ApplyWindowMode() {
    if (window_ == nullptr) return;
    SDL_GL_SetSwapInterval(params_.presentationInterval == kPresentIntervalImmediate ? 0 : 1);
    SDL_Window* window = AsWindow(window_);
    if (params_.windowed != 0) {
        if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) SDL_SetWindowFullscreen(window, 0);
        return;
    }
    SDL_DisplayMode desktop;
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    if (SDL_GetDesktopDisplayMode(display, &desktop) == 0 &&
        desktop.w == static_cast<int>(params_.backBufferWidth) &&
        desktop.h == static_cast<int>(params_.backBufferHeight)) {
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    SDL_DisplayMode mode = {};
    mode.format = SDL_PIXELFORMAT_RGB888;
    mode.w = static_cast<int>(params_.backBufferWidth);
    mode.h = static_cast<int>(params_.backBufferHeight);
    mode.refresh_rate = static_cast<int>(params_.fullScreenRefreshRateInHz);
    SDL_SetWindowDisplayMode(window, &mode);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
}

GpuResult GpuDevice::TestCooperativeLevel() {
    Count(GpuCall::TestCooperativeLevel);
    switch (GpuHooks().loss) {
        case GpuLossState::Lost:
            return kGpuDeviceLost;
        case GpuLossState::NotReset:
            return kGpuDeviceNotReset;
        case GpuLossState::None:
            break;
    }
    return kGpuOk;
}

GpuResult GpuDevice::Reset(const GpuPresentParameters& params) {
    Count(GpuCall::Reset);
    if (GpuHooks().loss == GpuLossState::Lost) return kGpuDeviceLost;
    if (params.backBufferWidth == 0 || params.backBufferHeight == 0) return kGpuInvalidCall;
    void* const window = params.deviceWindow != nullptr ? params.deviceWindow : window_;
    params_ = params;
    params_.deviceWindow = window;
    window_ = window;
    if (GpuHooks().loss == GpuLossState::NotReset) GpuHooks().loss = GpuLossState::None;

    // The back buffer keeps its surface objects; only their storage takes the new size.
    for (GpuSurface* surface : {backBuffer_, backDepth_}) {
        GL(glBindRenderbuffer(GL_RENDERBUFFER, surface->renderbuffer_));
        GL(glRenderbufferStorage(GL_RENDERBUFFER, surface == backBuffer_ ? GL_RGBA8 : GL_DEPTH24_STENCIL8,
                                 static_cast<GLsizei>(params_.backBufferWidth),
                                 static_cast<GLsizei>(params_.backBufferHeight)));
        surface->desc_.width = params_.backBufferWidth;
        surface->desc_.height = params_.backBufferHeight;
    }
    if (params_.backBufferFormat != kFmtUnknown) backBuffer_->desc_.format = params_.backBufferFormat;
    if (params_.autoDepthStencilFormat != kFmtUnknown) backDepth_->desc_.format = params_.autoDepthStencilFormat;
    inScene_ = false;
    Rebind(renderTarget_, backBuffer_);
    if (params_.enableAutoDepthStencil != 0) {
        Rebind(depthStencil_, backDepth_);
    } else {
        Drop(depthStencil_);
    }
    framebufferDirty_ = true;
    SetDefaultStates();
    ApplyWindowMode();
    return kGpuOk;
}

GpuResult GpuDevice::Present() {
    Count(GpuCall::Present);
    if (GpuHooks().loss == GpuLossState::Lost) return kGpuDeviceLost;
    if (GpuHooks().loss == GpuLossState::NotReset) return kGpuDeviceNotReset;

    const int width = static_cast<int>(backBuffer_->desc_.width);
    const int height = static_cast<int>(backBuffer_->desc_.height);
    GpuTestHooks& hooks = GpuHooks();
    if (window_ == nullptr) {
        // No window: the back buffer itself is what would be shown.
        if (hooks.keepPresentedImage && ReadSurfaceRgba8(backBuffer_, hooks.presentedImage)) {
            hooks.presentedWidth = width;
            hooks.presentedHeight = height;
        }
        return kGpuOk;
    }
    // A frame that was only recorded has no picture to show.
    if (hooks.recordDrawsOnly) return kGpuOk;
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GL_GetDrawableSize(AsWindow(window_), &windowWidth, &windowHeight);

    const bool scissor = renderStates_[kRsScissorTestEnable] != 0;
    if (scissor) GL(glDisable(GL_SCISSOR_TEST));
    GL(glBindFramebuffer(GL_READ_FRAMEBUFFER, copyFramebuffers_[0]));
    GL(glFramebufferRenderbuffer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                 backBuffer_->renderbuffer_));
    GL(glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0));
    // Row 0 of the back buffer is the top row; the window's row 0 is its bottom row.
    const bool sameSize = windowWidth == width && windowHeight == height;
    GL(glBlitFramebuffer(0, 0, width, height, 0, windowHeight, windowWidth, 0, GL_COLOR_BUFFER_BIT,
                         sameSize ? GL_NEAREST : GL_LINEAR));
    GL(glFramebufferRenderbuffer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, 0));
    if (hooks.keepPresentedImage && windowWidth > 0 && windowHeight > 0) {
        GL(glBindFramebuffer(GL_READ_FRAMEBUFFER, 0));
        GL(glPixelStorei(GL_PACK_ALIGNMENT, 1));
        const std::size_t rowBytes = static_cast<std::size_t>(windowWidth) * 4;
        std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(windowHeight));
        GL(glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rows.data()));
        hooks.presentedImage.resize(rows.size());
        for (int y = 0; y < windowHeight; ++y) {
            std::copy_n(rows.begin() + static_cast<std::ptrdiff_t>(rowBytes * (windowHeight - 1 - y)), rowBytes,
                        hooks.presentedImage.begin() + static_cast<std::ptrdiff_t>(rowBytes * y));
        }
        hooks.presentedWidth = windowWidth;
        hooks.presentedHeight = windowHeight;
    }
    if (scissor) GL(glEnable(GL_SCISSOR_TEST));
    SDL_GL_SwapWindow(AsWindow(window_));
    GL(glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_));
    return kGpuOk;
}

GpuResult GpuDevice::BeginScene() {
    Count(GpuCall::BeginScene);
    if (inScene_) return kGpuInvalidCall;
    inScene_ = true;
    return kGpuOk;
}

GpuResult GpuDevice::EndScene() {
    Count(GpuCall::EndScene);
    if (!inScene_) return kGpuInvalidCall;
    inScene_ = false;
    return kGpuOk;
}

GpuSurface* GpuDevice::GetBackBuffer() {
    backBuffer_->AddRef();
    return backBuffer_;
}

GpuSurface* GpuDevice::GetDepthStencilSurface() {
    if (depthStencil_ != nullptr) depthStencil_->AddRef();
    return depthStencil_;
}

GpuSurface* GpuDevice::GetRenderTarget(std::uint32_t index) {
    if (index != 0 || renderTarget_ == nullptr) return nullptr;
    renderTarget_->AddRef();
    return renderTarget_;
}

GpuCaps GpuDevice::GetDeviceCaps() const { return GpuLayerCaps(); }

std::uint64_t GpuDevice::TotalCallCount() const {
    return std::accumulate(calls_.begin(), calls_.end(), std::uint64_t{0});
}

void GpuDevice::ResetCallCounts() { calls_.fill(0); }

std::uint64_t GpuDevice::GlCallCount() { return gpu_internal::g_glCalls; }

void GpuDevice::RestoreGlDefaults() {
    GL(glBindFramebuffer(GL_FRAMEBUFFER, 0));
    GL(glUseProgram(0));
    GL(glBindVertexArray(0));
    GL(glBindBuffer(GL_ARRAY_BUFFER, 0));
    for (GLuint i = 0; i < 2; ++i) GL(glBindBufferBase(GL_UNIFORM_BUFFER, i, 0));
    for (GLuint stage = 0; stage < kSamplerStages; ++stage) {
        GL(glBindSampler(stage, 0));
        GL(glActiveTexture(GL_TEXTURE0 + stage));
        GL(glBindTexture(GL_TEXTURE_2D, 0));
        GL(glBindTexture(GL_TEXTURE_CUBE_MAP, 0));
    }
    GL(glActiveTexture(GL_TEXTURE0));
    for (GLenum capability : {GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND, GL_SCISSOR_TEST, GL_PROGRAM_POINT_SIZE}) {
        GL(glDisable(capability));
    }
    GL(glDepthMask(GL_TRUE));
    GL(glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE));
    GL(glStencilMask(0xFFFFFFFFu));
    GL(glDepthFunc(GL_LESS));
    GL(glDepthRange(0.0, 1.0));
    GL(glPolygonMode(GL_FRONT_AND_BACK, GL_FILL));
    GL(glFrontFace(GL_CCW));
    GL(glCullFace(GL_BACK));
    GL(glBlendFunc(GL_ONE, GL_ZERO));
    GL(glBlendEquation(GL_FUNC_ADD));
}

}  // namespace sys
