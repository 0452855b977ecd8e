#include "engine/render/material_pixel_pieces.h"

#include "engine/render/light_flags.h"
#include "engine/render/shader_emitters.h"
#include "engine/render/shader_format.h"

namespace engine {

namespace {
bool HasSpecular(int lightingModel) {
    return lightingModel == kLightingBlinn || lightingModel == kLightingCookTorrance;
}
}  // namespace

void BeginLitPixelShader(std::string& text, std::uint32_t lightFlags, int lightingModel, bool bump,
                         bool tangentFrame, std::string_view declarations) {
    text.clear();
    EmitPixelUniforms(text, lightingModel, lightFlags, bump);
    text.append(declarations);
    EmitShaderLine(text, "struct PS_IN");
    EmitShaderLine(text, "{");
    EmitPixelInputFields(text, lightFlags, tangentFrame);
    EmitShaderLine(text, "};");
    EmitLightingFunctions(text, lightingModel);
    EmitShaderLine(text, "float4 main (PS_IN In):COLOR");
    EmitShaderLine(text, "{");
}

void EmitWaveNormal(std::string& text) {
    EmitShaderLine(text, "\tfloat3 Munk = tex2D(Tex0, In.UV1).rgb;");
    EmitShaderLine(text, "\tfloat2 UV1a = In.UV1 * Params1.w + Munk.x + float2(Params1.x * Params1.y, 0);");
    EmitShaderLine(text, "\tfloat2 UV1b = In.UV1 * Params1.w + Munk.y + float2(0, Params1.x * Params1.z);");
    EmitShaderLine(text, "\tfloat3 Wave1 = tex2D(Tex0, UV1a).xyz * 2 - 1;");
    EmitShaderLine(text, "\tfloat3 Wave2 = tex2D(Tex0, UV1b).xyz * 2 - 1;");
    EmitShaderLine(text, "\tWave1.z *= 0.3;");
    EmitShaderLine(text, "\tWave2.z *= 0.3;");
    EmitShaderLine(text, "\tfloat3 WaveNormal = normalize(Wave1 + Wave2);");
    EmitShaderLine(text, "\tfloat3x3 TangentSpace = float3x3(In.TanNormWorld, In.BiNormWorld, In.NormWorld.xyz);");
    EmitShaderLine(text, "\tfloat3 Normal = normalize(mul(WaveNormal, TangentSpace));");
}

void EmitGridSpecular(std::string& text, int lightingModel) {
    if (!HasSpecular(lightingModel)) return;
    EmitShaderLine(text, "\tfloat3 Grid2 = Grid * Grid;");
    EmitShaderLine(text, "\tfloat3 Grid4 = Grid2 * Grid2;");
    EmitShaderLine(text, "\tCalculatedSpecular.rgb *= Grid4 * Grid4;");
}

void EmitLitMainPix(std::string& text, int lightingModel) {
    if (lightingModel == kLightingUnlit) {
        EmitShaderLine(text, "\tMainPix *= In.VertCol;");
        return;
    }
    EmitShaderLine(text, "\tfloat3 Lighting = (Ambient.rgb + Diffuse.rgb * CalculatedDiffuse) * In.VertCol.rgb;");
    if (HasSpecular(lightingModel)) {
        EmitShaderLine(text,
                       "\tMainPix = float4(MainPix.rgb * Lighting + Specular.rgb * CalculatedSpecular.rgb, "
                       "MainPix.a * CalculatedSpecular.a);");
    } else {
        EmitShaderLine(text, "\tMainPix.rgb *= Lighting;");
    }
}

void EmitFogResult(std::string& text, const char* params) {
    EmitShaderLine(text,
                   "\tfloat3 FogPixel = tex2D(Tex5, In.UV2 * 5 + float2(%s.x, 0)).rgb * "
                   "tex2D(Tex5, In.UV2 * 5 + float2(0, %s.x + 0.5)).rgb;",
                   params, params);
    EmitShaderLine(text, "\treturn float4(lerp(FogPixel, MainPix.rgb, FogVal), 1);");
}

}  // namespace engine
