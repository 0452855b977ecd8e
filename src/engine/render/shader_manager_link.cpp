#include "engine/render/shader_manager_link.h"

#include "engine/render/graphics_device.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"

namespace engine {

void LinkShaderManagers(GraphicsDevice& device, ShaderConstantCache& vertexShaders, ShaderTextBuffer& pixelShaders) {
    device.SetStateCacheResetHook([&vertexShaders, &pixelShaders] {
        vertexShaders.MarkUnknown();
        vertexShaders.ForgetCurrent();
        pixelShaders.ForgetCurrent();
    });
    device.SetBoneMatrixWriter(&vertexShaders);
    device.AttachShaderManagers(&vertexShaders, &pixelShaders);
}

void UnlinkShaderManagers(GraphicsDevice& device) {
    device.SetStateCacheResetHook(nullptr);
    device.SetBoneMatrixWriter(nullptr);
    device.AttachShaderManagers(nullptr, nullptr);
}

}  // namespace engine
