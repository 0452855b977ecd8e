#include "engine/render/light_flags.h"
#include "engine/render/shader_emitters.h"
#include "engine/render/shader_format.h"

namespace engine {

namespace {

// Four palette matrices named by the bone indices, blended by the weights: `expr` is applied with %s
// standing for each matrix.
void EmitBoneBlend(std::string& text, const char* target, const char* expr) {
    static const char* const kComponents[4] = {"x", "y", "z", "w"};
    std::string line = std::string("\t") + target + " =";
    for (int i = 0; i < 4; ++i) {
        const std::string bone = std::string("BonePalette[In.BoneIndex.") + kComponents[i] + "]";
        std::string term;
        for (const char* p = expr; *p != '\0'; ++p) {
            if (p[0] == '%' && p[1] == 's') {
                term += bone;
                ++p;
            } else {
                term.push_back(*p);
            }
        }
        line += (i == 0 ? " " : "\n\t\t+ ") + term + " * Weights." + kComponents[i];
    }
    line += ";";
    text += line;
    text += '\n';
}

void EmitInstanceMatrix(std::string& text) {
    EmitShaderLine(text,
                   "\tfloat4x4 ModelToWorld = float4x4(float4(In.Row1, 0), float4(In.Row2, 0), "
                   "float4(In.Row3, 0), float4(In.Row4, 1));");
}

}  // namespace

void EmitVertexUniforms(std::string& text, std::uint32_t lightFlags, bool skinned, bool instanced) {
    EmitShaderLine(text, "float4x4 Proj : register(c0);");
    EmitShaderLine(text, "float4 UVOffset : register(c30);");
    if (skinned) EmitShaderLine(text, "float4x4 BonePalette[40] : register(c33);");
    if (!instanced) EmitShaderLine(text, "float4x4 ModelToWorld : register(c8);");
    if (lightFlags & kShadowSpot1) EmitShaderLine(text, "float4x4 WorldToLight_LT_SPOT_1 : register(c18);");
    if (lightFlags & kShadowSpot2) EmitShaderLine(text, "float4x4 WorldToLight_LT_SPOT_2 : register(c22);");
    if (lightFlags & kShadowDirectional) EmitShaderLine(text, "float4x4 WorldToCam : register(c26);");
}

void EmitShellUniforms(std::string& text) {
    EmitShaderLine(text, "float4 ShellParams : register(c31);");
    EmitShaderLine(text, "float4 FurDir : register(c32);");
    EmitShaderLine(text, "float4x4 WorldToModel : register(c12);");
}

void EmitVertexInputFields(std::string& text, bool skinned, bool instanced) {
    EmitShaderLine(text, "\tfloat4 Pos : POSITION0;");
    EmitShaderLine(text, "\tfloat4 Col : COLOR0;");
    EmitShaderLine(text, "\tfloat4 Norm : NORMAL0;");
    EmitShaderLine(text, "\tfloat4 TanN : NORMAL1;");
    EmitShaderLine(text, "\tfloat2 UV1 : TEXCOORD0;");
    EmitShaderLine(text, "\tfloat2 UV2 : TEXCOORD1;");
    if (instanced) {
        for (int row = 1; row <= 4; ++row) EmitShaderLine(text, "\tfloat3 Row%d : POSITION%d;", row, row);
    }
    if (skinned) {
        EmitShaderLine(text, "\tint4 BoneIndex : BLENDINDICES0;");
        EmitShaderLine(text, "\tfloat4 BoneWeight : BLENDWEIGHT0;");
    }
}

void EmitVertexOutputFields(std::string& text, std::uint32_t lightFlags, bool bump) {
    EmitShaderLine(text, "\tfloat4 ProjPos : POSITION0;");
    EmitShaderLine(text, "\tfloat4 Col : COLOR0;");
    EmitShaderLine(text, "\tfloat4 NormW : TEXCOORD7;");
    EmitShaderLine(text, "\tfloat4 PosW : TEXCOORD6;");
    EmitShaderLine(text, "\tfloat2 UV1 : TEXCOORD0;");
    EmitShaderLine(text, "\tfloat2 UV2 : TEXCOORD1;");
    if (bump) {
        EmitShaderLine(text, "\tfloat3 BiNormW : TEXCOORD8;");
        EmitShaderLine(text, "\tfloat3 TanNormW : TEXCOORD9;");
    }
    if (lightFlags & kShadowSpot1) EmitShaderLine(text, "\tfloat4 ShadPos_LT_SPOT_1 : TEXCOORD4;");
    if (lightFlags & kShadowSpot2) EmitShaderLine(text, "\tfloat4 ShadPos_LT_SPOT_2 : TEXCOORD5;");
}

void EmitVertexBody(std::string& text, bool skinned, bool instanced, bool shell, std::uint32_t lightFlags, bool bump) {
    // Normal bytes 0-254 map to -1..1.
    EmitShaderLine(text, "\tfloat4 Normal = In.Norm / 127 - 1;");
    if (bump) {
        // The binormal is the cross product of the model-space normal and tangent; skinning then turns both
        // frames alike.
        EmitShaderLine(text, "\tfloat4 TanNormal = In.TanN / 127 - 1;");
        EmitShaderLine(text, "\tfloat4 BiNormal = float4(cross(Normal.xyz, TanNormal.xyz), 0);");
    }
    if (skinned) {
        EmitShaderLine(text, "\tfloat4 Weights = In.BoneWeight / 255;");
        EmitShaderLine(text, "\tfloat4 BindPos = float4(In.Pos.xyz, 1);");
        EmitBoneBlend(text, "float4 InPos", "mul(BindPos, %s)");
        EmitBoneBlend(text, "Normal.xyz", "mul(Normal.xyz, (float3x3)%s)");
        EmitShaderLine(text, "\tNormal.xyz = normalize(Normal.xyz);");
        if (bump) {
            EmitBoneBlend(text, "TanNormal.xyz", "mul(TanNormal.xyz, (float3x3)%s)");
            EmitBoneBlend(text, "BiNormal.xyz", "mul(BiNormal.xyz, (float3x3)%s)");
        }
    } else {
        EmitShaderLine(text, "\tfloat4 InPos = float4(In.Pos.xyz, 1);");
    }
    if (bump) EmitShaderLine(text, "\tBiNormal.xyz *= TanNormal.w;");
    if (shell) {
        EmitShaderLine(text, "\tInPos.xyz += Normal.xyz * ShellParams.x * ShellParams.y;");
        EmitShaderLine(text, "\tfloat Displacement = ShellParams.x * ShellParams.x * ShellParams.x * ShellParams.y;");
        EmitShaderLine(text, "\tInPos.xyz += mul(FurDir.xyz, (float3x3)WorldToModel) * Displacement;");
    }
    if (instanced) EmitInstanceMatrix(text);
    EmitShaderLine(text, "\tfloat4 WorldPos = mul(InPos, ModelToWorld);");
    EmitShaderLine(text, "\tOut.ProjPos = mul(WorldPos, Proj);");
    EmitShaderLine(text, "\tOut.PosW = WorldPos;");
    EmitShaderLine(text, "\tOut.NormW = float4(mul(Normal.xyz, (float3x3)ModelToWorld), 0);");
    EmitShaderLine(text, "\tOut.Col = In.Col;");
    // Texture coordinates arrive as integers, 4095 per unit.
    EmitShaderLine(text, "\tOut.UV1 = (In.UV1 / 4095) * UVOffset.xy + UVOffset.zw;");
    EmitShaderLine(text, "\tOut.UV2 = (In.UV2 / 4095) * UVOffset.xy + UVOffset.zw;");
    if (bump) {
        EmitShaderLine(text, "\tOut.BiNormW = mul(BiNormal.xyz, (float3x3)ModelToWorld);");
        EmitShaderLine(text, "\tOut.TanNormW = mul(TanNormal.xyz, (float3x3)ModelToWorld);");
    }
    for (int which = 0; which < 2; ++which) {
        if (lightFlags & (which == 0 ? kShadowSpot1 : kShadowSpot2)) {
            EmitShaderLine(text, "\tOut.ShadPos_%s = mul(float4(WorldPos.xyz, 1), WorldToLight_%s);",
                           kSpotSuffix[which], kSpotSuffix[which]);
        }
    }
    // The view depth picks the shadow split in the pixel shader.
    if (lightFlags & kShadowDirectional) EmitShaderLine(text, "\tOut.NormW.w = mul(WorldPos, WorldToCam).z;");
    EmitShaderLine(text, "\treturn Out;");
}

void EmitShadowVertexUniforms(std::string& text, bool skinned, bool instanced) {
    EmitShaderLine(text, "float4x4 Proj : register(c0);");
    if (!instanced) EmitShaderLine(text, "float4x4 ModelToWorld : register(c8);");
    if (skinned) EmitShaderLine(text, "float4x4 BonePalette[40] : register(c33);");
}

void EmitShadowVertexInputFields(std::string& text, bool skinned, bool instanced) {
    EmitShaderLine(text, "\tfloat4 Pos : POSITION0;");
    if (instanced) {
        for (int row = 1; row <= 4; ++row) EmitShaderLine(text, "\tfloat3 Row%d : POSITION%d;", row, row);
    }
    if (skinned) {
        EmitShaderLine(text, "\tint4 BoneIndex : BLENDINDICES0;");
        EmitShaderLine(text, "\tfloat4 BoneWeight : BLENDWEIGHT0;");
    }
}

void EmitShadowVertexBody(std::string& text, bool skinned, bool instanced) {
    if (skinned) {
        EmitShaderLine(text, "\tfloat4 Weights = In.BoneWeight / 255;");
        EmitShaderLine(text, "\tfloat4 BindPos = float4(In.Pos.xyz, 1);");
        EmitBoneBlend(text, "float4 InPos", "mul(BindPos, %s)");
    } else {
        EmitShaderLine(text, "\tfloat4 InPos = In.Pos;");
    }
    if (instanced) EmitInstanceMatrix(text);
    EmitShaderLine(text, "\tfloat4 WorldPos = mul(InPos, ModelToWorld);");
    EmitShaderLine(text, "\tOut.ProjPos = mul(WorldPos, Proj);");
    EmitShaderLine(text, "\tOut.ShadowMapDepth = Out.ProjPos.z;");
    EmitShaderLine(text, "\treturn Out;");
}

}  // namespace engine
