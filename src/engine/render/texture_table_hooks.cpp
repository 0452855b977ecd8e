#include "engine/render/texture_table_hooks.h"

#include <utility>

#include "engine/platform/engine_hooks.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/texture_table.h"

namespace engine {
namespace {

int& ResetHookId() {
    static int id = 0;
    return id;
}

void DetachFromDevice() {
    if (ResetHookId() != 0 && GetGraphicsDevice() != nullptr) GetGraphicsDevice()->RemoveResetHook(ResetHookId());
    ResetHookId() = 0;
    TextureTable::SetDevice(nullptr);
}

}  // namespace

void InstallTextureTableHooks() {
    TextureHooks hooks;
    hooks.init = [](int tableSize) {
        DetachFromDevice();
        if (!TextureTable::Init(tableSize)) return false;
        GraphicsDevice* device = GetGraphicsDevice();
        if (device != nullptr) {
            TextureTable::SetDevice(device->Device());
            ResetHookId() = device->AddResetHook([](bool release) {
                if (release) TextureTable::ReleaseDefaultPool();
            });
        }
        return true;
    };
    hooks.purge = [](int group) { TextureTable::PurgeGroup(group); };
    hooks.freeTable = [] {
        TextureTable::Free();
        DetachFromDevice();
    };
    InstallTextureHooks(std::move(hooks));
}

}  // namespace engine
