#pragma once
// Sprite batches on the engine's graphics device: glyph textures bound by texture-table handle and the
// texture-times-vertex-colour shaders with built-in vertex shader 5, whose matrix registers hold the identity so
// that the batch's screen positions pass through.
#include <cstdint>

#include "engine/render/sprite_batch.h"

namespace engine {

class GraphicsDevice;
class ShaderConstantCache;
class ShaderTextBuffer;

class DeviceSpriteBindings final : public SpriteBatchBindings {
public:
    DeviceSpriteBindings(GraphicsDevice& device, ShaderConstantCache& vertexShaders, ShaderTextBuffer& pixelShaders);

    // A handle without a plain texture empties the stage.
    void BindTexture(std::uint32_t stage, std::uint32_t handle) override;
    // Also selects vertex format 4, the batch's vertices.
    void UseTextureColourShaders() override;

private:
    GraphicsDevice& device_;
    ShaderConstantCache& vertexShaders_;
    ShaderTextBuffer& pixelShaders_;
};

}  // namespace engine
