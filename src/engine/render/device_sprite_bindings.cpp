#include "engine/render/device_sprite_bindings.h"

#include "engine/core/matrix.h"
#include "engine/render/graphics_device.h"
#include "engine/render/quad_shader_binding.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render/vertex_formats.h"
#include "sys/gpu_resource.h"

namespace engine {

DeviceSpriteBindings::DeviceSpriteBindings(GraphicsDevice& device, ShaderConstantCache& vertexShaders,
                                           ShaderTextBuffer& pixelShaders)
    : device_(device), vertexShaders_(vertexShaders), pixelShaders_(pixelShaders) {}

void DeviceSpriteBindings::BindTexture(std::uint32_t stage, std::uint32_t handle) {
    const Texture* texture = TextureTable::Get(static_cast<int>(handle));
    if (texture != nullptr && texture->texture != nullptr) {
        device_.SetRawTexture(stage, texture->texture);
    } else {
        device_.UnbindTexture(stage);
    }
}

void DeviceSpriteBindings::UseTextureColourShaders() {
    if (!BindQuadShaders(vertexShaders_, pixelShaders_, QuadPixelShader::TextureVertexColour)) return;
    vertexShaders_.SetMatrix(IdentityMatrix(), 0);
    device_.SelectVertexFormat(kVertexMesh);
}

}  // namespace engine
