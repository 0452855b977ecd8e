#include "engine/render/shader_manager_hooks.h"

#include <memory>

#include "engine/platform/engine_hooks.h"
#include "engine/render/gpu_shader_device.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_manager_link.h"
#include "engine/render/shader_text_buffer.h"

namespace engine {
namespace {

struct ShaderServices {
    GpuShaderDevice device;
    ShaderBindCounters counters;
    std::unique_ptr<ShaderConstantCache> vertexShaders;
    std::unique_ptr<ShaderTextBuffer> pixelShaders;
};

ShaderServices& Services() {
    static ShaderServices services;
    return services;
}

bool CreateManagers() {
    ShaderServices& services = Services();
    services.counters = ShaderBindCounters();
    services.vertexShaders = std::make_unique<ShaderConstantCache>(services.device, services.counters);
    services.pixelShaders = std::make_unique<ShaderTextBuffer>(services.device, services.counters);
    // A device made before the managers (not the engine's order) is joined at once.
    if (GraphicsDevice* device = GetGraphicsDevice()) AttachShaderManagersToDevice(*device);
    return true;
}

void DeleteManagers() {
    ShaderServices& services = Services();
    if (GraphicsDevice* device = GetGraphicsDevice()) UnlinkShaderManagers(*device);
    services.vertexShaders.reset();
    services.pixelShaders.reset();
    services.device.SetDevice(nullptr);
}

}  // namespace

ShaderConstantCache* GetShaderConstantCache() { return Services().vertexShaders.get(); }

ShaderTextBuffer* GetShaderTextBuffer() { return Services().pixelShaders.get(); }

const ShaderBindCounters& GetShaderBindCounters() { return Services().counters; }

void AttachShaderManagersToDevice(GraphicsDevice& device) {
    ShaderServices& services = Services();
    if (!services.vertexShaders || !services.pixelShaders) return;
    services.device.SetDevice(device.Device());
    LinkShaderManagers(device, *services.vertexShaders, *services.pixelShaders);
}

void DetachShaderManagersFromDevice(GraphicsDevice& device) {
    UnlinkShaderManagers(device);
    Services().device.SetDevice(nullptr);
}

void InstallShaderManagerHooks() { InstallShaderHooks(ShaderHooks{CreateManagers, DeleteManagers}); }

}  // namespace engine
