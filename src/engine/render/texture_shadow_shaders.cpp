// The TEXTURE set's shadow pass: materials whose colour or texture has alpha cast shadows through shaders
// that clip the pixels whose MainPix alpha is below one half.
#include "engine/render/material_def.h"
#include "engine/render/material_shader_sets.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/shader_emitters.h"
#include "engine/render/shader_format.h"

namespace engine {

int TextureShaderSet::BindShadowPass(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix,
                                     bool skinned, bool instanced) {
    return BindConstants(material, view, matrix, skinned, instanced);
}

bool TextureShaderSet::NeedsAlphaShadow(const MaterialDef& material) const {
    if (material.GetColourF(0).a < 0.999f) return true;
    const int texture = material.GetTexture(0);
    return texture != 0 && Services().textures->Alpha(texture) != kAlphaOpaque;
}

std::unique_ptr<VertexShader> TextureShaderSet::BuildShadowVertexShader(bool skinned, bool instanced) {
    std::string& text = Text();
    text.clear();
    EmitShadowVertexUniforms(text, skinned, instanced);
    EmitShaderLine(text, "struct VS_IN");
    EmitShaderLine(text, "{");
    EmitShadowVertexInputFields(text, skinned, instanced);
    EmitShaderLine(text, "\tfloat2 UV1 : TEXCOORD0;");
    EmitShaderLine(text, "};");
    EmitShaderLine(text, "struct VS_OUT");
    EmitShaderLine(text, "{");
    EmitShaderLine(text, "\tfloat4 ProjPos : POSITION0;");
    EmitShaderLine(text, "\tfloat ShadowMapDepth : TEXCOORD6;");
    EmitShaderLine(text, "\tfloat2 UV1 : TEXCOORD0;");
    EmitShaderLine(text, "};");
    EmitShaderLine(text, "VS_OUT main (VS_IN In)");
    EmitShaderLine(text, "{");
    EmitShaderLine(text, "\tVS_OUT Out;");
    EmitShaderLine(text, "\tOut.UV1 = In.UV1 / 4095;");
    EmitShadowVertexBody(text, skinned, instanced);
    EmitShaderLine(text, "}");
    return CompileVertexText();
}

std::unique_ptr<PixelShader> TextureShaderSet::BuildShadowPixelShader() {
    std::string& text = Text();
    text.clear();
    EmitShaderLine(text, "sampler2D Tex0 : register(s0);");
    EmitShaderLine(text, "float4 Col0 : register(c0);");
    EmitShaderLine(text, "struct PS_IN");
    EmitShaderLine(text, "{");
    EmitShaderLine(text, "\tfloat2 UV1 : TEXCOORD0;");
    EmitShaderLine(text, "\tfloat ShadowMapDepth : TEXCOORD6;");
    EmitShaderLine(text, "};");
    EmitShaderLine(text, "float4 main (PS_IN In):COLOR");
    EmitShaderLine(text, "{");
    EmitShaderLine(text, "\tfloat4 MainPix = tex2D(Tex0, In.UV1) * Col0;");
    EmitShaderLine(text, "\tclip(MainPix.a - 0.5);");
    EmitShaderLine(text, "\treturn In.ShadowMapDepth;");
    EmitShaderLine(text, "}");
    return CompilePixelText();
}

}  // namespace engine
