#include "engine/render/graphics_device_hooks.h"

#include <cstdio>
#include <memory>

#include "engine/core/frame_timer.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/graphics_device.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/vertex_formats.h"
#include "sys/app_window.h"
#include "sys/gpu_device.h"

namespace engine {
namespace {

// The engine root as the device's host: its window, flags, sizes and frame time.
class EngineDeviceHost final : public GraphicsDeviceHost {
public:
    explicit EngineDeviceHost(WindowsEngine& engine) : engine_(engine) {}

    void* DeviceWindow() override { return engine_.GetAppWindow().Handle(); }
    bool DesktopSize(int& width, int& height) override {
        width = sys::GetDesktopWidth();
        height = sys::GetDesktopHeight();
        return width > 0 && height > 0;
    }
    bool IsFullScreen() const override { return engine_.IsFullScreen(); }
    void SetFullScreen(bool fullScreen) override { engine_.SetFullScreenFlag(fullScreen); }
    void SetScreenSize(int width, int height) override { engine_.SetBackBufferSize(width, height); }
    void SendSizeMessage(int width, int height) override { engine_.RequestResizeAndCentre(width, height); }
    void ClipCursor() override { engine_.GetAppWindow().SetMouseGrab(true); }
    int FrameMilliseconds() override {
        const FrameTimer* timer = engine_.GetTimer();
        return timer != nullptr ? timer->GetDeltaMs(true) : 0;
    }

private:
    WindowsEngine& engine_;
};

struct DeviceServices {
    std::unique_ptr<EngineDeviceHost> host;
    std::unique_ptr<GraphicsDevice> device;
    std::unique_ptr<VertexDeclSet> declarations;
    sys::GpuResult lastPresent = sys::kGpuOk;
};

DeviceServices& Services() {
    static DeviceServices services;
    return services;
}

bool CreateDevice(WindowsEngine& engine) {
    DeviceServices& services = Services();
    const StartupParams& params = GetStartupParams();
    GraphicsDeviceSettings settings;
    settings.windowed = params.windowed != 0;
    settings.width = params.width;
    settings.height = params.height;
    settings.externalWindow = params.externalWindow != nullptr;
    settings.immediatePresent = params.immediatePresent != 0;
    // A window handed in from outside keeps its own size.
    if (settings.externalWindow || settings.width <= 0 || settings.height <= 0) {
        engine.GetAppWindow().GetClientSize(settings.width, settings.height);
    }
    services.host = std::make_unique<EngineDeviceHost>(engine);
    services.device = std::make_unique<GraphicsDevice>(*services.host, settings);
    if (!services.device->HasDevice()) {
        std::fprintf(stderr, "tinmarch: no graphics device could be made on this display\n");
        services.device.reset();
        services.host.reset();
        return false;
    }
    services.declarations = std::make_unique<VertexDeclSet>(*services.device->Device());
    services.device->AttachVertexDeclSet(services.declarations.get());
    // The batch draws count into the engine's frame counters, which its frame step clears.
    static_assert(Engine::kFrameCounterCount >= kFrameCounterWords);
    services.device->AttachFrameCounters(engine.FrameCounters().data());
    AttachShaderManagersToDevice(*services.device);
    services.lastPresent = sys::kGpuOk;
    return true;
}

// The toggle's display modes: full screen at the mode nearest the desktop's size (nothing when the adapter
// lists none), or windowed at the start-up size.
void SetDisplayMode(bool fullScreen, int width, int height) {
    GraphicsDevice* device = GetGraphicsDevice();
    if (device == nullptr) return;
    if (!fullScreen) {
        device->SetDisplayMode({0, width, height, 0});
        return;
    }
    DisplayModeList list;
    if (!device->EnumDisplayModes(list)) return;
    const int nearest = list.FindNearest(width, height);
    if (nearest < 0) return;
    const DisplayModeEntry& mode = list.listA.entries[nearest];
    device->SetDisplayMode({mode.format, mode.width, mode.height, mode.refreshRate});
}

// After a present that reported loss: lost enters the lost state only, not reset resets at once.
bool RecoverLostDevice() {
    GraphicsDevice* device = GetGraphicsDevice();
    if (device == nullptr) return false;
    return device->RecoverLostDevice(!device->IsLost() && Services().lastPresent == sys::kGpuDeviceLost);
}

}  // namespace

GraphicsDevice* GetGraphicsDevice() { return Services().device.get(); }

VertexDeclSet* GetVertexDeclSet() { return Services().declarations.get(); }

void InstallGraphicsDeviceHooks() {
    DeviceHooks hooks;
    hooks.create = CreateDevice;
    hooks.initDynamicVertexBuffers = [] {
        // A buffer the device refuses is no failure of the engine: its locks give nothing to draw.
        InitDynamicVertexBuffers(GetGraphicsDevice());
        return true;
    };
    hooks.isLost = [] { return GetGraphicsDevice() != nullptr && GetGraphicsDevice()->IsLost(); };
    hooks.recoverLostDevice = RecoverLostDevice;
    hooks.endScene = [] {
        if (GetGraphicsDevice() != nullptr) GetGraphicsDevice()->EndScene();
    };
    hooks.beginScene = [] {
        if (GetGraphicsDevice() != nullptr && !GetGraphicsDevice()->InScene()) GetGraphicsDevice()->BeginScene();
    };
    hooks.present = [] {
        DeviceServices& services = Services();
        services.lastPresent = services.device ? services.device->Present() : sys::kGpuOk;
        return static_cast<std::uint32_t>(services.lastPresent);
    };
    hooks.presentResult = [] { return static_cast<std::uint32_t>(Services().lastPresent); };
    hooks.windowSizeChanged = [](int width, int height) {
        if (GetGraphicsDevice() != nullptr) GetGraphicsDevice()->FollowWindowSize(width, height);
    };
    hooks.setDisplayMode = SetDisplayMode;
    hooks.releaseDynamicVertexBuffers = ReleaseDynamicVertexBuffers;
    hooks.deleteDynamicVertexBuffer = ShutdownDynamicVertexBuffers;
    hooks.deleteVertexDecls = [] {
        DeviceServices& services = Services();
        if (services.device) services.device->AttachVertexDeclSet(nullptr);
        services.declarations.reset();
    };
    hooks.deleteDevice = [] {
        DeviceServices& services = Services();
        if (services.device) DetachShaderManagersFromDevice(*services.device);
        services.device.reset();
        services.host.reset();
    };
    InstallDeviceHooks(std::move(hooks));
}

}  // namespace engine
