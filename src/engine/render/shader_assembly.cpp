#include "engine/render/shader_assembly.h"

#include "engine/render/material_pixel_pieces.h"
#include "engine/render/shader_emitters.h"
#include "engine/render/shader_format.h"

namespace engine {

void BuildGenericVertexShader(std::string& text, bool skinned, bool instanced, bool shell, std::uint32_t lightFlags,
                              bool bump) {
    text.clear();
    EmitVertexUniforms(text, lightFlags, skinned, instanced);
    if (shell) EmitShellUniforms(text);
    EmitShaderLine(text, "struct VS_IN");
    EmitShaderLine(text, "{");
    EmitVertexInputFields(text, skinned, instanced);
    EmitShaderLine(text, "};");
    EmitShaderLine(text, "struct VS_OUT");
    EmitShaderLine(text, "{");
    EmitVertexOutputFields(text, lightFlags, bump);
    EmitShaderLine(text, "};");
    EmitShaderLine(text, "VS_OUT main (VS_IN In)");
    EmitShaderLine(text, "{");
    EmitShaderLine(text, "\tVS_OUT Out;");
    EmitVertexBody(text, skinned, instanced, shell, lightFlags, bump);
    EmitShaderLine(text, "}");
}

void BuildGenericPixelShader(std::string& text, std::uint32_t lightFlags, int lightingModel, bool bump,
                             std::string_view declarations, std::string_view mainPix) {
    BeginLitPixelShader(text, lightFlags, lightingModel, bump, bump, declarations);
    text.append(mainPix);
    EmitPixelNormal(text, bump);
    EmitLighting(text, lightFlags, lightingModel);
    EmitPixelOutput(text, lightingModel);
    EmitShaderLine(text, "}");
}

void BuildDepthOnlyVertexShader(std::string& text, bool skinned, bool instanced) {
    text.clear();
    EmitShadowVertexUniforms(text, skinned, instanced);
    EmitShaderLine(text, "struct VS_IN");
    EmitShaderLine(text, "{");
    EmitShadowVertexInputFields(text, skinned, instanced);
    EmitShaderLine(text, "};");
    EmitShaderLine(text, "struct VS_OUT");
    EmitShaderLine(text, "{");
    EmitShaderLine(text, "\tfloat4 ProjPos : POSITION0;");
    EmitShaderLine(text, "\tfloat ShadowMapDepth : TEXCOORD0;");
    EmitShaderLine(text, "};");
    EmitShaderLine(text, "VS_OUT main (VS_IN In)");
    EmitShaderLine(text, "{");
    EmitShaderLine(text, "\tVS_OUT Out;");
    EmitShadowVertexBody(text, skinned, instanced);
    EmitShaderLine(text, "}");
}

}  // namespace engine
