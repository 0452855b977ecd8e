#include "engine/render/material_lib_hooks.h"

#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/render/material_def.h"

namespace engine {
namespace {

MaterialTextureSource*& TextureSource() {
    static MaterialTextureSource* source = nullptr;
    return source;
}

}  // namespace

MaterialLib& GetMaterialLib() {
    static MaterialLib lib;
    return lib;
}

void SetMaterialTextureSource(MaterialTextureSource* source) { TextureSource() = source; }

void InstallMaterialLibraryHooks() {
    MaterialHooks hooks = GetEngineHooks().materials;
    hooks.initLibrary = [](int tableSize) {
        MaterialLib& lib = GetMaterialLib();
        lib.SetGroupSource([] {
            const Engine* engine = GetEngine();
            return engine != nullptr ? engine->GetResourceGroup() : 0;
        });
        return lib.Init(tableSize, TextureSource());
    };
    hooks.purge = [](int group) { GetMaterialLib().PurgeResourceGroup(group); };
    hooks.freeTable = [] { GetMaterialLib().Free(); };
    InstallMaterialHooks(std::move(hooks));
}

}  // namespace engine
