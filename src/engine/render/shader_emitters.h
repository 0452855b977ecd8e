#pragma once
// The pieces that the generated vertex and pixel shaders are assembled from. Each emitter appends HLSL
// lines to `text`. The registers are fixed and shared by every generated shader:
//
// Vertex constants: Proj c0, ModelToWorld c8 (not instanced), WorldToModel c12 (fur shells),
// WorldToLight_LT_SPOT_1 c18 (0x40), WorldToLight_LT_SPOT_2 c22 (0x80), WorldToCam c26 (0x20), UVOffset c30,
// ShellParams c31 and FurDir c32 (fur shells), BonePalette[40] c33 (skinned).
//
// Pixel constants: the material's own c0-c2, Ambient c6 and Diffuse c7 (lit), Specular c8 (models 2, 3),
// SpecularValues c9 (models 2, 4), CookTValues c10 (model 3), CamPosWorld c11, ShadowParams c12-c14 (0x20,
// 0x40, 0x80), the directional light c17-c18, spot 1 c19-c22, spot 2 c23-c26, point 1 c27-c29, point 2
// c30-c32, SplitDist c33 and PSSM_4x4[4] c34 (0x20). Samplers: the material's s0-s4, BumpMap s6,
// ShadowMap_LT_DIRECTIONAL s7, ShadowMap_LT_SPOT_1 s8, ShadowMap_LT_SPOT_2 s9.
//
// Vertex outputs and pixel inputs meet by semantic: Col/VertCol COLOR0, UV1 TEXCOORD0, UV2 TEXCOORD1,
// ShadPos_LT_SPOT_1/2 TEXCOORD4/5, PosW/PosWorld TEXCOORD6, NormW/NormWorld TEXCOORD7 (w = view depth),
// BiNormW/BiNormWorld TEXCOORD8 and TanNormW/TanNormWorld TEXCOORD9 (bump).
#include <cstdint>
#include <string>

namespace engine {

// Vertex side.
void EmitVertexUniforms(std::string& text, std::uint32_t lightFlags, bool skinned, bool instanced);
// The fur-shell uniforms: ShellParams c31, FurDir c32, WorldToModel c12.
void EmitShellUniforms(std::string& text);
// The members of VS_IN and VS_OUT (without the braces).
void EmitVertexInputFields(std::string& text, bool skinned, bool instanced);
void EmitVertexOutputFields(std::string& text, std::uint32_t lightFlags, bool bump);
// The statements of main, ending "return Out;". Expects VS_OUT Out to be declared by the caller.
void EmitVertexBody(std::string& text, bool skinned, bool instanced, bool shell, std::uint32_t lightFlags, bool bump);

// The depth-only vertex path: its uniforms (Proj c0, ModelToWorld c8 unless instanced, BonePalette c33 when
// skinned), VS_IN members, and the body writing Out.ProjPos and Out.ShadowMapDepth.
void EmitShadowVertexUniforms(std::string& text, bool skinned, bool instanced);
void EmitShadowVertexInputFields(std::string& text, bool skinned, bool instanced);
void EmitShadowVertexBody(std::string& text, bool skinned, bool instanced);

// Pixel side.
void EmitPixelUniforms(std::string& text, int lightingModel, std::uint32_t lightFlags, bool bump);
void EmitPixelInputFields(std::string& text, std::uint32_t lightFlags, bool bump);
// The per-pixel Normal: from the bump map through the tangent frame, or the interpolated normal.
void EmitPixelNormal(std::string& text, bool bump);
// The functions the light blocks call, written before main: CookTorrance for model 3, nothing otherwise.
void EmitLightingFunctions(std::string& text, int lightingModel);
// CalculatedDiffuse (and CalculatedSpecular for models 2 and 3) from every light in lightFlags, in the order
// directional, spot 1, spot 2, point 1, point 2. Nothing for model 0.
void EmitLighting(std::string& text, std::uint32_t lightFlags, int lightingModel);
void EmitDirectionalLight(std::string& text, int lightingModel, std::uint32_t lightFlags);
void EmitSpotLight(std::string& text, int which, int lightingModel, std::uint32_t lightFlags);
void EmitPointLight(std::string& text, int lightingModel, int which);
// ShadowPix from four taps of a spot light's shadow map (which = 0 or 1).
void EmitSpotShadowTaps(std::string& text, int which);
// ShadowPix from the directional light's four-split atlas; 1 (lit) beyond the last split.
void EmitSplitShadow(std::string& text);
// The return statement: MainPix times the vertex colour, lit by the model's terms.
void EmitPixelOutput(std::string& text, int lightingModel);

// "pow(max(base, tiny), exponent)": a base at or below 0 counts as 0 and 0 to the power 0 gives 1, as in
// HLSL, where GLSL leaves both undefined.
std::string GuardedPow(const std::string& base, const std::string& exponent);

}  // namespace engine
