// Creation, display modes, depth formats, frames, surface clears and the shared surfaces.
#include "engine/render/graphics_device.h"

#include <algorithm>
#include <cstring>

#include "sys/gpu_adapter.h"
#include "sys/gpu_device.h"

namespace engine {
namespace {

constexpr sys::GpuFormat kAdapterFormats[] = {sys::kFmtA8R8G8B8, sys::kFmtX8R8G8B8, sys::kFmtR5G6B5,
                                              sys::kFmtA1R5G5B5, sys::kFmtX1R5G5B5};
constexpr sys::GpuFormat kDepthFormats[] = {sys::kFmtD24S8, sys::kFmtD32, sys::kFmtD24X8, sys::kFmtD16};
constexpr int kShadowDepthSize = 2048;

template <typename T>
void ReleaseAndForget(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

}  // namespace

GraphicsDevice::GraphicsDevice(GraphicsDeviceHost& host, const GraphicsDeviceSettings& settings)
    : host_(host), settings_(settings) {
    adapter_ = sys::GpuAdapter::Create();
    if (!adapter_) return;
    ReadCaps();
    DisplayMode mode;
    const bool fullScreen = ChooseStartMode(mode);
    if (SetDisplayMode(mode) != kDisplayModeOk && fullScreen) {
        // A full-screen mode the device refuses: the window of the start-up record instead.
        host_.SetFullScreen(false);
        SetDisplayMode({0, settings_.width, settings_.height, 0});
    }
    if (!device_) return;

    std::fill(renderStates_.begin(), renderStates_.end(), 0u);
    primaryTextures_.fill(nullptr);
    alternateTextures_.fill(nullptr);
    ResetStateCache();
    if (!inScene_) BeginScene();
    vertexProfile_ = sys::GpuAdapter::VertexShaderProfile();
    pixelProfile_ = sys::GpuAdapter::PixelShaderProfile();
    shaderModel3_ = shaderModel_ >= 3;
    RefreshBackBufferSurfaces(false);
    Flip(true);
}

GraphicsDevice::~GraphicsDevice() {
    if (device_) {
        UnbindIndexBuffer();
        for (std::uint32_t stage = 0; stage < kStages; ++stage) UnbindTexture(stage);
    }
    RefreshBackBufferSurfaces(true);
    device_.reset();
    adapter_.reset();
}

void GraphicsDevice::ReadCaps() {
    const sys::GpuCaps caps = adapter_->GetDeviceCaps();
    const std::uint32_t version = std::min(caps.vertexShaderVersion & 0xFFFF, caps.pixelShaderVersion & 0xFFFF);
    shaderModel_ = version < 0x200 ? 2 : static_cast<int>(version >> 8);
    if (shaderModel_ == 2) {
        pixelShaderSlots_ = caps.ps20InstructionSlots != 0 ? static_cast<int>(caps.ps20InstructionSlots) : 64;
    } else {
        pixelShaderSlots_ = caps.maxPixelShader30InstructionSlots != 0
                                ? static_cast<int>(caps.maxPixelShader30InstructionSlots)
                                : 512;
    }
}

// The mode to start in; true for a full-screen one. A full-screen start without a usable mode list starts
// windowed at the start-up size, as a windowed start does.
bool GraphicsDevice::ChooseStartMode(DisplayMode& mode) {
    if (!settings_.windowed) {
        int width = 0;
        int height = 0;
        DisplayModeList list;
        if (host_.DesktopSize(width, height) && EnumDisplayModes(list)) {
            const int nearest = list.FindNearest(width, height);
            if (nearest >= 0) {
                const DisplayModeEntry& entry = list.listA.entries[nearest];
                host_.SetFullScreen(true);
                mode = {entry.format, entry.width, entry.height, entry.refreshRate};
                return true;
            }
        }
    }
    host_.SetFullScreen(false);
    mode = {0, settings_.width, settings_.height, 0};
    return false;
}

int GraphicsDevice::SetDisplayMode(const DisplayMode& mode) {
    if (!adapter_) return kDisplayModeNoDevice;
    params_ = sys::GpuPresentParameters();
    params_.backBufferWidth = static_cast<std::uint32_t>(std::max(mode.width, 0));
    params_.backBufferHeight = static_cast<std::uint32_t>(std::max(mode.height, 0));
    host_.SetScreenSize(mode.width, mode.height);
    params_.deviceWindow = host_.DeviceWindow();
    const bool windowed = mode.refresh == 0;
    if (windowed) {
        params_.presentationInterval = sys::kPresentIntervalImmediate;
        params_.swapEffect = settings_.externalWindow ? sys::kSwapCopy : sys::kSwapDiscard;
    } else {
        params_.swapEffect = sys::kSwapDiscard;
        params_.presentationInterval =
            settings_.immediatePresent ? sys::kPresentIntervalImmediate : sys::kPresentIntervalOne;
    }
    params_.backBufferCount = 1;
    sys::GpuFormat format = static_cast<sys::GpuFormat>(mode.format);
    if (format == sys::kFmtUnknown) {
        sys::GpuDisplayMode current;
        if (adapter_->GetAdapterDisplayMode(current) != sys::kGpuOk) return kDisplayModeNoAdapterMode;
        format = current.format;
    }
    params_.windowed = windowed ? 1 : 0;
    params_.fullScreenRefreshRateInHz = windowed ? 0 : static_cast<std::uint32_t>(mode.refresh);
    params_.backBufferFormat = format;
    displayFormat_ = format;
    if (ChooseDepthFormat() != kDisplayModeOk) return kDisplayModeNoDepthFormat;

    if (device_) {
        RecoverLostDevice(false);
        if (!inScene_) BeginScene();
    } else {
        // The second attempt stands for the software-processing fallback of other drivers.
        device_ = adapter_->CreateDevice(params_);
        if (!device_) device_ = adapter_->CreateDevice(params_);
        if (!device_) return kDisplayModeNoDevice;
    }
    if (!settings_.externalWindow) SendSizeMessage(mode.width, mode.height);
    return kDisplayModeOk;
}

int GraphicsDevice::ChooseDepthFormat() {
    params_.enableAutoDepthStencil = 1;
    const sys::GpuFormat display = static_cast<sys::GpuFormat>(displayFormat_);
    for (sys::GpuFormat format : kDepthFormats) {
        if (adapter_->CheckDeviceFormat(display, sys::kUsageDepthStencil, sys::kResourceSurface, format) ==
                sys::kGpuOk &&
            adapter_->CheckDepthStencilMatch(display, params_.backBufferFormat, format) == sys::kGpuOk) {
            params_.autoDepthStencilFormat = format;
            return kDisplayModeOk;
        }
    }
    return kDisplayModeNoDepthFormat;
}

bool GraphicsDevice::EnumDisplayModes(DisplayModeList& list) {
    if (!adapter_) return false;
    list.Clear();
    sys::GpuFormat format = sys::kFmtUnknown;
    for (sys::GpuFormat candidate : kAdapterFormats) {
        if (adapter_->GetAdapterModeCount(candidate) > 0) {
            format = candidate;
            break;
        }
    }
    if (format == sys::kFmtUnknown) return true;
    const std::uint32_t count = adapter_->GetAdapterModeCount(format);
    for (std::uint32_t i = 0; i < count; ++i) {
        sys::GpuDisplayMode mode;
        if (adapter_->EnumAdapterModes(format, i, mode) != sys::kGpuOk) continue;
        list.Add({mode.format, static_cast<std::uint16_t>(mode.width), static_cast<std::uint16_t>(mode.height),
                  static_cast<std::uint16_t>(mode.refreshRate)});
    }
    return true;
}

void GraphicsDevice::BeginScene() {
    if (device_ && device_->BeginScene() == sys::kGpuOk) inScene_ = true;
}

void GraphicsDevice::EndScene() {
    if (device_ && inScene_) device_->EndScene();
    inScene_ = false;
}

sys::GpuResult GraphicsDevice::Present() { return device_ ? device_->Present() : sys::kGpuInvalidCall; }

bool GraphicsDevice::PresentFrame() {
    if (!device_) return false;
    if (inScene_) EndScene();
    const sys::GpuResult result = device_->Present();
    if ((result == sys::kGpuDeviceLost || result == sys::kGpuDeviceNotReset) &&
        !RecoverLostDevice(result == sys::kGpuDeviceLost)) {
        return false;
    }
    if (!inScene_) BeginScene();
    return true;
}

bool GraphicsDevice::FollowWindowSize(int width, int height) {
    if (!device_ || params_.windowed == 0 || width <= 0 || height <= 0) return false;
    if (static_cast<std::uint32_t>(width) == params_.backBufferWidth &&
        static_cast<std::uint32_t>(height) == params_.backBufferHeight) {
        return false;
    }
    sizeMessagesHeld_ = true;
    const bool changed = SetDisplayMode({0, width, height, 0}) == kDisplayModeOk;
    sizeMessagesHeld_ = false;
    return changed;
}

void GraphicsDevice::SendSizeMessage(int width, int height) {
    if (!sizeMessagesHeld_) host_.SendSizeMessage(width, height);
}

void GraphicsDevice::Flip(bool present) {
    if (!device_) return;
    sys::GpuViewport whole;
    whole.width = params_.backBufferWidth;
    whole.height = params_.backBufferHeight;
    device_->SetViewport(whole);
    ClearSurface(backBuffer_, 0xFF000000u);
    ClearSurface(backDepth_, 0xFF000000u);
    if (!present) return;
    if (inScene_) EndScene();
    device_->Present();
    BeginScene();
    ClearSurface(backBuffer_, 0xFF000000u);
    ClearSurface(backDepth_, 0xFF000000u);
}

void GraphicsDevice::ClearSurface(sys::GpuSurface* surface, std::uint32_t colour) {
    if (!device_ || surface == nullptr) return;
    const sys::GpuSurfaceDesc& desc = surface->GetDesc();
    if (desc.pool != sys::kPoolDefault) {
        sys::GpuLockedRect locked;
        if (surface->LockRect(locked, nullptr, 0) == sys::kGpuOk) {
            std::memset(locked.bits, 0, static_cast<std::size_t>(desc.height) * locked.pitch);
            surface->UnlockRect();
        }
        return;
    }
    sys::GpuSurface* oldTarget = device_->GetRenderTarget(0);
    const sys::GpuViewport oldViewport = device_->GetViewport();
    sys::GpuViewport whole;
    whole.width = desc.width;
    whole.height = desc.height;
    if ((desc.usage & sys::kUsageDepthStencil) != 0) {
        device_->SetDepthStencilSurface(surface);
        cachedDepthKnown_ = false;
        device_->SetViewport(whole);
        device_->Clear(0, nullptr, sys::kClearZBuffer | sys::kClearStencil, colour, 1.0f, 0);
    } else {
        device_->SetRenderTarget(0, surface);
        device_->SetViewport(whole);
        device_->Clear(0, nullptr, sys::kClearTarget, colour, 1.0f, 0);
    }
    if (oldTarget != nullptr) {
        device_->SetRenderTarget(0, oldTarget);
        oldTarget->Release();
    }
    device_->SetViewport(oldViewport);
}

void GraphicsDevice::RefreshBackBufferSurfaces(bool release) {
    if (release) {
        for (sys::GpuTexture*& texture : halfScreen_) ReleaseAndForget(texture);
        ReleaseAndForget(backBuffer_);
        ReleaseAndForget(backDepth_);
        ReleaseAndForget(shadowDepth_);
        return;
    }
    if (!device_) return;
    ReleaseAndForget(backBuffer_);
    ReleaseAndForget(backDepth_);
    backBuffer_ = device_->GetBackBuffer();
    backDepth_ = device_->GetDepthStencilSurface();
    primaryTextures_.fill(nullptr);
    alternateTextures_.fill(nullptr);
}

sys::GpuSurface* GraphicsDevice::GetShadowDepthSurface() {
    if (shadowDepth_ == nullptr && device_) {
        shadowDepth_ = device_->CreateDepthStencilSurface(kShadowDepthSize, kShadowDepthSize, sys::kFmtD24S8, 0);
    }
    return shadowDepth_;
}

sys::GpuTexture* GraphicsDevice::GetHalfScreenTexture(int index) {
    if (index < 0 || index > 1 || !device_) return nullptr;
    if (halfScreen_[index] == nullptr) {
        halfScreen_[index] = device_->CreateTexture(params_.backBufferWidth / 2, params_.backBufferHeight / 2, 1,
                                                    sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
    }
    return halfScreen_[index];
}

void GraphicsDevice::SetMipLodBias(float bias) { mipLodBias_ = std::clamp(bias, -5.0f, 5.0f); }

bool GraphicsDevice::HasMoreThan64ShaderSlots() const { return shaderModel_ >= 3 || pixelShaderSlots_ > 64; }

bool GraphicsDevice::HasMoreThan256ShaderSlots() const { return shaderModel_ >= 3 || pixelShaderSlots_ > 256; }

}  // namespace engine
