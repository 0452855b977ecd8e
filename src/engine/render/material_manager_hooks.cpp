#include "engine/render/material_manager_hooks.h"

#include <memory>
#include <utility>

#include "engine/core/frame_timer.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_manager.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/texture_table.h"

namespace engine {

int TextureTableMaterialSource::Load(const WideString& name, int mipKind) {
    return TextureTable::Load(name.GetNarrow(), mipKind);
}

int TextureTableMaterialSource::LoadCubeMap(const WideString& name) { return TextureTable::LoadCubeMap(name.GetNarrow()); }

int TextureTableMaterialSource::LoadFlagged(const WideString& name) { return TextureTable::LoadFlagged(name.GetNarrow()); }

int TextureTableMaterialSource::MakeCheckTexture(int width, int height, std::uint32_t colourA, std::uint32_t colourB) {
    return width == height ? TextureTable::MakeCheckTexture(colourA, colourB, width) : 0;
}

int TextureTableMaterialSource::Width(int handle) const { return static_cast<int>(TextureTable::GetWidth(handle)); }

namespace {

struct ManagerService {
    TextureTableMaterialSource source;
    std::unique_ptr<TableStageTextures> stageTextures;
    std::unique_ptr<MaterialManager> manager;
};

ManagerService& Service() {
    static ManagerService service;
    return service;
}

bool CreateManager() {
    ManagerService& service = Service();
    GraphicsDevice* device = GetGraphicsDevice();
    ShaderConstantCache* vertexShaders = GetShaderConstantCache();
    ShaderTextBuffer* pixelShaders = GetShaderTextBuffer();
    if (device == nullptr || vertexShaders == nullptr || pixelShaders == nullptr) return false;
    service.manager.reset();
    service.stageTextures = std::make_unique<TableStageTextures>(*device);
    ShaderSetServices services;
    services.states = device;
    services.textures = service.stageTextures.get();
    services.vertexShaders = vertexShaders;
    services.pixelShaders = pixelShaders;
    const Engine* engine = GetEngine();
    services.timer = engine != nullptr ? engine->GetTimer() : nullptr;
    service.manager = std::make_unique<MaterialManager>(services);
    service.manager->CreateShaderSets();
    // The device's batch drawing binds every batch's material through the manager.
    device->AttachMaterialBinder(service.manager.get());
    return true;
}

void DeleteManager() {
    ManagerService& service = Service();
    GraphicsDevice* device = GetGraphicsDevice();
    if (device != nullptr && device->AttachedMaterialBinder() == service.manager.get()) {
        device->AttachMaterialBinder(nullptr);
    }
    service.manager.reset();
    service.stageTextures.reset();
}

}  // namespace

MaterialManager* GetMaterialManager() { return Service().manager.get(); }

void InstallMaterialManagerHooks() {
    SetMaterialTextureSource(&Service().source);
    MaterialHooks hooks = GetEngineHooks().materials;
    hooks.createManager = CreateManager;
    hooks.deleteManager = DeleteManager;
    InstallMaterialHooks(std::move(hooks));
}

}  // namespace engine
