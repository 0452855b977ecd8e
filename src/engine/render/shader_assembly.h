#pragma once
// Whole generated shader texts from the emitters of shader_emitters.h. Each builder replaces `text`.
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// The generic vertex shader: uniforms, VS_IN, VS_OUT and "VS_OUT main (VS_IN In)". With `shell` the fur
// uniforms are declared and the position is pushed out along the normal and the fur direction.
void BuildGenericVertexShader(std::string& text, bool skinned, bool instanced, bool shell, std::uint32_t lightFlags,
                              bool bump);

// The generic pixel shader "float4 main (PS_IN In):COLOR". `declarations` are the material's own samplers and
// constants, written after the shared uniforms; `mainPix` are the statements that declare and compute
// float4 MainPix (for example "\tfloat4 MainPix = MatColour;\n"). The lighting functions come before main;
// in main the normal, the lighting of `lightFlags` under `lightingModel`, and the lit result.
void BuildGenericPixelShader(std::string& text, std::uint32_t lightFlags, int lightingModel, bool bump,
                             std::string_view declarations, std::string_view mainPix);

// The depth-only vertex shader of the shadow pass: ProjPos and ShadowMapDepth (TEXCOORD0, the projected z).
void BuildDepthOnlyVertexShader(std::string& text, bool skinned, bool instanced);

}  // namespace engine
