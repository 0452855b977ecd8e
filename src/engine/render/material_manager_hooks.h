#pragma once
// The material manager as the engine root's service: InstallMaterialManagerHooks installs the hooks through
// which CreateEngine makes the manager with its nine shader sets (over the engine's graphics device, shader
// managers, texture table and frame timer) and shutdown deletes it, and it makes the texture table the
// source from which materials load their textures.
#include "engine/render/material_def.h"

namespace engine {

class MaterialManager;

// Materials' texture loads over the engine's texture table.
class TextureTableMaterialSource final : public MaterialTextureSource {
public:
    int Load(const WideString& name, int mipKind) override;
    int LoadCubeMap(const WideString& name) override;
    int LoadFlagged(const WideString& name) override;
    // Square checkerboards only (width == height, a multiple of 8); 0 otherwise.
    int MakeCheckTexture(int width, int height, std::uint32_t colourA, std::uint32_t colourB) override;
    int Width(int handle) const override;
};

void InstallMaterialManagerHooks();
// The engine's manager; null while there is none.
MaterialManager* GetMaterialManager();

}  // namespace engine
