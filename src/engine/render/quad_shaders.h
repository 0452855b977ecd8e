#pragma once
// The fixed pixel shaders of 2D drawing, as HLSL texts, and the built-in vertex shader each pairs with.
namespace engine {

enum class QuadPixelShader {
    TextureColour,        // the texture times the colour in c0
    GreyTint,             // the texture's grey tinted by the colour in c0, mixed by its alpha
    VertexColour,         // the vertex colours
    PlainTexture,         // the texture as it is
    TextureVertexColour,  // the texture times the vertex colours (sprite batches)
    Count
};

const char* QuadPixelShaderText(QuadPixelShader shader);
// Built-in vertex shader 1, 2 or 5.
int QuadVertexShaderFor(QuadPixelShader shader);

}  // namespace engine
