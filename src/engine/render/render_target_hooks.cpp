#include "engine/render/render_target_hooks.h"

#include <memory>
#include <utility>

#include "engine/platform/engine_root.h"
#include "engine/platform/save_store.h"
#include "engine/platform/startup_params.h"
#include "engine/platform/user_folder.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/render_target.h"
#include "engine/render/render_target_registry.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/target_drawing_2d.h"
#include "sys/gpu_device.h"
#include "sys/gpu_resource.h"

namespace engine {
namespace {

struct TargetServices {
    std::unique_ptr<TargetDrawing2D> drawing;
    GraphicsDevice* hookedDevice = nullptr;
    int resetHookId = 0;
};

TargetServices& Services() {
    static TargetServices services;
    return services;
}

void Detach() {
    TargetServices& services = Services();
    if (services.resetHookId != 0 && services.hookedDevice != nullptr &&
        services.hookedDevice == GetGraphicsDevice()) {
        services.hookedDevice->RemoveResetHook(services.resetHookId);
    }
    services.resetHookId = 0;
    services.hookedDevice = nullptr;
    services.drawing.reset();
    SetRenderTargetServices({});
}

// CreateEngine's step: an empty registry and the services every target is made with.
void Attach() {
    ClearRenderTargetRegistry();
    Detach();
    TargetServices& services = Services();
    GraphicsDevice* device = GetGraphicsDevice();
    ShaderConstantCache* vertexShaders = GetShaderConstantCache();
    ShaderTextBuffer* pixelShaders = GetShaderTextBuffer();
    if (device != nullptr && vertexShaders != nullptr && pixelShaders != nullptr) {
        services.drawing = std::make_unique<TargetDrawing2D>(*device, *vertexShaders, *pixelShaders);
    }
    RenderTargetServices targets;
    targets.device = device;
    targets.drawing = services.drawing.get();
    const Engine* engine = GetEngine();
    const SaveStore* store = engine != nullptr ? engine->GetSaveStore() : nullptr;
    targets.dumpFolder = store != nullptr && !store->Folder().empty() ? store->Folder() : UserFolder();
    const StartupParams& params = GetStartupParams();
    targets.dumpTitle = params.title;
    targets.externalWindow = params.externalWindow != nullptr;
    SetRenderTargetServices(targets);
    if (device != nullptr) {
        services.hookedDevice = device;
        services.resetHookId = device->AddResetHook(ResizeRenderTargets);
    }
}

}  // namespace

TargetDrawing2D* GetEngineDrawing2D() { return Services().drawing.get(); }

void DrawRenderTargetIntoBackBuffer(RenderTarget& target, TargetDrawing2D& drawing) {
    GraphicsDevice* device = target.Device();
    if (device == nullptr || !device->HasDevice()) return;
    sys::GpuSurface* backBuffer = device->BackBufferSurface();
    if (backBuffer == nullptr) return;
    device->SetColourWriteMask(15);
    device->UnbindAll(false);
    // A clip rectangle left on by the frame would cut the picture.
    device->SetRenderStateCached(sys::kRsScissorTestEnable, 0);
    device->SetRenderTargetSurface(backBuffer);
    const sys::GpuSurfaceDesc& desc = backBuffer->GetDesc();
    sys::GpuViewport whole;
    whole.width = desc.width;
    whole.height = desc.height;
    device->Device()->SetViewport(whole);
    device->SetDepthSurfaceCached(target.DepthSurface());
    DrawTarget2D backTarget;
    backTarget.width = static_cast<int>(desc.width);
    backTarget.height = static_cast<int>(desc.height);
    backTarget.invWidth = desc.width > 0 ? 1.0f / static_cast<float>(desc.width) : 0.0f;
    backTarget.invHeight = desc.height > 0 ? 1.0f / static_cast<float>(desc.height) : 0.0f;
    drawing.DrawTextureQuad(backTarget, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, target.CurrentColourTexture(),
                            0xFFFFFFFFu, 0, 0, 0);
    device->UnbindTexture(0);
}

void InstallRenderTargetHooks() {
    RenderTargetHooks hooks;
    hooks.clearRegistry = Attach;
    hooks.create = [](const char* name, int width, int height, int kind) {
        return CreateRenderTarget(name, width, height, kind);
    };
    hooks.drawMainIntoBackBuffer = [](WindowsEngine& engine) {
        RenderTarget* main = engine.GetMainRenderTarget();
        TargetDrawing2D* drawing = GetEngineDrawing2D();
        if (main != nullptr && drawing != nullptr) DrawRenderTargetIntoBackBuffer(*main, *drawing);
    };
    hooks.deleteAll = [] {
        DeleteAllRenderTargets();
        Detach();
    };
    InstallRenderTargetHooks(std::move(hooks));
}

}  // namespace engine
