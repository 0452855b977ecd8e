#include "engine/render/light_flags.h"
#include "engine/render/shader_emitters.h"
#include "engine/render/shader_format.h"

namespace engine {

void EmitPixelUniforms(std::string& text, int lightingModel, std::uint32_t lightFlags, bool bump) {
    if (bump) EmitShaderLine(text, "sampler2D BumpMap : register(s6);");
    EmitShaderLine(text, "float4 CamPosWorld : register(c11);");
    if (lightFlags & kShadowDirectional) {
        EmitShaderLine(text, "float4 ShadowParams_LT_DIRECTIONAL : register(c12);");
        EmitShaderLine(text, "float4 SplitDist : register(c33);");
        EmitShaderLine(text, "float4x4 PSSM_4x4[4] : register(c34);");
        EmitShaderLine(text, "sampler2D ShadowMap_LT_DIRECTIONAL : register(s7);");
    }
    for (int which = 0; which < 2; ++which) {
        if (lightFlags & (which == 0 ? kShadowSpot1 : kShadowSpot2)) {
            EmitShaderLine(text, "float4 ShadowParams_%s : register(c%d);", kSpotSuffix[which], 13 + which);
            EmitShaderLine(text, "sampler2D ShadowMap_%s : register(s%d);", kSpotSuffix[which], 8 + which);
        }
    }
    if (lightingModel != kLightingUnlit) {
        EmitShaderLine(text, "float4 Ambient : register(c6);");
        EmitShaderLine(text, "float4 Diffuse : register(c7);");
    }
    if (lightingModel == kLightingBlinn || lightingModel == kLightingCookTorrance)
        EmitShaderLine(text, "float4 Specular : register(c8);");
    if (lightingModel == kLightingBlinn || lightingModel == kLightingViewDiffuse)
        EmitShaderLine(text, "float4 SpecularValues : register(c9);");
    if (lightingModel == kLightingCookTorrance) EmitShaderLine(text, "float4 CookTValues : register(c10);");
    if (lightFlags & kLightDirectional) {
        EmitShaderLine(text, "float4 LightDir_LT_DIRECTIONAL : register(c17);");
        EmitShaderLine(text, "float4 LightCol_LT_DIRECTIONAL : register(c18);");
    }
    for (int which = 0; which < 2; ++which) {
        if (lightFlags & (which == 0 ? kLightSpot1 : kLightSpot2)) {
            const int base = 19 + 4 * which;
            const char* suffix = kSpotSuffix[which];
            EmitShaderLine(text, "float4 LightDir_%s : register(c%d);", suffix, base);
            EmitShaderLine(text, "float4 LightPos_%s : register(c%d);", suffix, base + 1);
            EmitShaderLine(text, "float4 LightCol_%s : register(c%d);", suffix, base + 2);
            EmitShaderLine(text, "float4 LightVal_%s : register(c%d);", suffix, base + 3);
        }
    }
    for (int which = 0; which < 2; ++which) {
        if (lightFlags & (which == 0 ? kLightPoint1 : kLightPoint2)) {
            const int base = 27 + 3 * which;
            const char* suffix = kPointSuffix[which];
            EmitShaderLine(text, "float4 LightPos_%s : register(c%d);", suffix, base);
            EmitShaderLine(text, "float4 LightCol_%s : register(c%d);", suffix, base + 1);
            EmitShaderLine(text, "float4 LightVal_%s : register(c%d);", suffix, base + 2);
        }
    }
}

void EmitPixelInputFields(std::string& text, std::uint32_t lightFlags, bool bump) {
    EmitShaderLine(text, "\tfloat4 VertCol : COLOR0;");
    EmitShaderLine(text, "\tfloat2 UV1 : TEXCOORD0;");
    EmitShaderLine(text, "\tfloat2 UV2 : TEXCOORD1;");
    EmitShaderLine(text, "\tfloat4 PosWorld : TEXCOORD6;");
    EmitShaderLine(text, "\tfloat4 NormWorld : TEXCOORD7;");
    if (bump) {
        EmitShaderLine(text, "\tfloat3 BiNormWorld : TEXCOORD8;");
        EmitShaderLine(text, "\tfloat3 TanNormWorld : TEXCOORD9;");
    }
    if (lightFlags & kShadowSpot1) EmitShaderLine(text, "\tfloat4 ShadPos_LT_SPOT_1 : TEXCOORD4;");
    if (lightFlags & kShadowSpot2) EmitShaderLine(text, "\tfloat4 ShadPos_LT_SPOT_2 : TEXCOORD5;");
}

void EmitPixelNormal(std::string& text, bool bump) {
    if (bump) {
        EmitShaderLine(text,
                       "\tfloat3x3 TangentSpace = float3x3(In.TanNormWorld, normalize(In.BiNormWorld), "
                       "In.NormWorld.xyz);");
        EmitShaderLine(text, "\tfloat3 BumpNormal = tex2D(BumpMap, In.UV1).xyz * 2 - 1;");
        EmitShaderLine(text, "\tfloat3 Normal = normalize(mul(BumpNormal, TangentSpace));");
    } else {
        EmitShaderLine(text, "\tfloat3 Normal = normalize(In.NormWorld.xyz);");
    }
}

void EmitPixelOutput(std::string& text, int lightingModel) {
    if (lightingModel == kLightingUnlit) {
        EmitShaderLine(text, "\treturn MainPix * In.VertCol;");
        return;
    }
    EmitShaderLine(text, "\tfloat3 Lighting = (Ambient.rgb + Diffuse.rgb * CalculatedDiffuse) * In.VertCol.rgb;");
    if (lightingModel == kLightingBlinn || lightingModel == kLightingCookTorrance) {
        EmitShaderLine(text,
                       "\treturn float4(MainPix.rgb * Lighting + Specular.rgb * CalculatedSpecular.rgb, "
                       "MainPix.a * CalculatedSpecular.a);");
    } else {
        EmitShaderLine(text, "\treturn float4(MainPix.rgb * Lighting, MainPix.a);");
    }
}

}  // namespace engine
