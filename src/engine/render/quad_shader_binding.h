#pragma once
// Binds the shader pair of one 2D pixel shader: the pixel shader kept in its built-in slot of the pixel-shader
// manager (compiled on first use) and the built-in vertex shader it pairs with.
#include "engine/render/quad_shaders.h"
#include "engine/render/shader_text_buffer.h"

namespace engine {

class ShaderConstantCache;

// The pixel-shader manager's slot of a 2D pixel shader.
BuiltinPixelShader QuadPixelShaderSlot(QuadPixelShader shader);

// False when either shader does not build; nothing is bound then.
bool BindQuadShaders(ShaderConstantCache& vertexShaders, ShaderTextBuffer& pixelShaders, QuadPixelShader shader);

}  // namespace engine
