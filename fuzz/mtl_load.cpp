// Reads arbitrary bytes as a material file into a small table whose texture loads all fail. A refused file
// must leave the table as it was; a loaded one must hold a lighting model and shader set the caches can index.
#include <cstddef>
#include <cstdint>

#include "engine/render/material_def.h"
#include "engine/render/material_file.h"
#include "engine/render/shader_set_codes.h"

namespace {

class NoTextures : public engine::MaterialTextureSource {
public:
    int Load(const engine::WideString&, int) override { return 0; }
    int LoadCubeMap(const engine::WideString&) override { return 0; }
    int LoadFlagged(const engine::WideString&) override { return 0; }
    int MakeCheckTexture(int, int, std::uint32_t, std::uint32_t) override { return 0; }
    int Width(int) const override { return 0; }
};

int LiveCount(const engine::MaterialLib& lib) {
    int n = 0;
    for (int h = 1; h < lib.Count(); ++h) n += lib.Get(h) != nullptr ? 1 : 0;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    NoTextures textures;
    engine::MaterialLib lib;
    if (!lib.Init(8, &textures)) __builtin_trap();
    const int before = LiveCount(lib);
    const int handle = engine::ParseMaterialFile(lib, "Fuzz/Material", input, size);
    if (handle == 0) {
        if (LiveCount(lib) != before) __builtin_trap();
        return 0;
    }
    const engine::MaterialDef* m = lib.Get(handle);
    if (m == nullptr || m->GetIndex() != handle || LiveCount(lib) != before + 1) __builtin_trap();
    if (m->lightingModel < 0 || m->lightingModel > 4) __builtin_trap();
    if (m->shaderSetIndex < 0 || m->shaderSetIndex >= engine::kShaderSetCount) __builtin_trap();
    for (int stage = 0; stage < engine::kMaterialStages; ++stage) {
        if (m->GetTexture(stage) != 0) __builtin_trap();
    }
    return 0;
}
