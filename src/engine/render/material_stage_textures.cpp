#include "engine/render/material_stage_textures.h"

#include "engine/render/graphics_device.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"

namespace engine {

void TableStageTextures::Bind(std::uint32_t stage, int handle) { device_.SetTexture(stage, handle); }

void TableStageTextures::Unbind(std::uint32_t stage) { device_.UnbindTexture(stage); }

std::uint32_t TableStageTextures::Flags(int handle) const {
    const Texture* texture = TextureTable::Get(handle);
    return texture != nullptr ? texture->flags : 0;
}

AlphaKind TableStageTextures::Alpha(int handle) const {
    const Texture* texture = TextureTable::Get(handle);
    return texture != nullptr ? texture->alphaKind : kAlphaOpaque;
}

template <typename Make>
int TableStageTextures::KeptOrMade(Kept& kept, Make make) {
    if (kept.handle != 0 && TextureTable::Get(kept.handle) == kept.texture) return kept.handle;
    kept.handle = make();
    kept.texture = TextureTable::Get(kept.handle);
    if (kept.texture == nullptr) kept.handle = 0;
    return kept.handle;
}

int TableStageTextures::CheckTexture() {
    return KeptOrMade(check_, [] { return TextureTable::MakeCheckTexture(kCheckBlue, kCheckRed, kCheckTextureSize); });
}

int TableStageTextures::CheckCubeMap() {
    return KeptOrMade(cube_, [] { return TextureTable::MakeCheckCubeMap(kCheckBlue, kCheckRed); });
}

}  // namespace engine
