#include "engine/render/quad_shaders.h"

namespace engine {

namespace {

constexpr const char* kTextureColour = R"(
sampler2D Texture0 : register(s0);
float4 Constant0 : register(c0);
float4 main(float2 TexCoord : TEXCOORD0) : COLOR
{
	return tex2D(Texture0, TexCoord) * Constant0;
}
)";

// Below mid-grey the colour is darkened towards black, above it lightened towards white; the colour's alpha
// mixes that with the plain grey.
constexpr const char* kGreyTint = R"(
sampler2D Texture0 : register(s0);
float4 Colour : register(c0);
float4 main(float2 TexCoord : TEXCOORD0) : COLOR
{
	float4 Sample = tex2D(Texture0, TexCoord);
	float Grey = dot(Sample.rgb, float3(0.299, 0.587, 0.114));
	float L = (Grey - 0.5) * 2;
	float3 Pure = lerp(Colour.rgb * Grey * 2, Colour.rgb * (1 - L) + L, step(0.5, Grey));
	return float4(Pure * Colour.a + Grey * (1 - Colour.a), Sample.a);
}
)";

constexpr const char* kVertexColour = R"(
float4 main(float4 VertColour : COLOR0) : COLOR
{
	return VertColour;
}
)";

constexpr const char* kPlainTexture = R"(
sampler2D Texture0 : register(s0);
float4 main(float2 TexCoord : TEXCOORD0) : COLOR
{
	return tex2D(Texture0, TexCoord);
}
)";

constexpr const char* kTextureVertexColour = R"(
sampler2D Texture0 : register(s0);
float4 main(float2 TexCoord : TEXCOORD0, float4 Colour : COLOR0) : COLOR
{
	return tex2D(Texture0, TexCoord) * Colour;
}
)";

}  // namespace

const char* QuadPixelShaderText(QuadPixelShader shader) {
    switch (shader) {
        case QuadPixelShader::TextureColour: return kTextureColour;
        case QuadPixelShader::GreyTint: return kGreyTint;
        case QuadPixelShader::VertexColour: return kVertexColour;
        case QuadPixelShader::PlainTexture: return kPlainTexture;
        case QuadPixelShader::TextureVertexColour: return kTextureVertexColour;
        case QuadPixelShader::Count: break;
    }
    return nullptr;
}

int QuadVertexShaderFor(QuadPixelShader shader) {
    switch (shader) {
        case QuadPixelShader::VertexColour: return 2;
        case QuadPixelShader::TextureVertexColour: return 5;
        default: return 1;
    }
}

}  // namespace engine
