#include "engine/render/quad_shader_binding.h"

#include "engine/render/shader_constant_cache.h"

namespace engine {

BuiltinPixelShader QuadPixelShaderSlot(QuadPixelShader shader) {
    switch (shader) {
        case QuadPixelShader::TextureColour: return BuiltinPixelShader::TextureColour;
        case QuadPixelShader::GreyTint: return BuiltinPixelShader::GreyTint;
        case QuadPixelShader::VertexColour: return BuiltinPixelShader::VertexColour;
        case QuadPixelShader::PlainTexture: return BuiltinPixelShader::PlainTexture;
        case QuadPixelShader::TextureVertexColour: return BuiltinPixelShader::TextureVertexColour;
        case QuadPixelShader::Count: break;
    }
    return BuiltinPixelShader::Count;
}

bool BindQuadShaders(ShaderConstantCache& vertexShaders, ShaderTextBuffer& pixelShaders, QuadPixelShader shader) {
    const char* text = QuadPixelShaderText(shader);
    if (text == nullptr) return false;
    PixelShader* pixel = pixelShaders.GetBuiltinPixelShader(QuadPixelShaderSlot(shader), text);
    if (pixel == nullptr) return false;
    if (vertexShaders.BuiltinVertexShader(QuadVertexShaderFor(shader)) == nullptr) return false;
    pixelShaders.BindPixelShader(pixel);
    return true;
}

}  // namespace engine
