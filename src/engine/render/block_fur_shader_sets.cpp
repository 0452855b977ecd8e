// BLOX (fixed shaders: texture cells of a block atlas) and FUR (shells pushed out along the normal).
#include "engine/render/material_def.h"
#include "engine/render/material_shader_sets.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/render_device.h"
#include "engine/render/shader_assembly.h"
#include "engine/render/shader_constant_cache.h"

namespace engine {

namespace {

// Every BLOX variant: no skinning, instancing, lights or bump; texture coordinates pass on as they come.
constexpr const char* kBlockVertexShader =
    "float4x4 Proj : register(c0);\n"
    "float4x4 ModelToWorld : register(c8);\n"
    "struct VS_IN\n"
    "{\n"
    "\tfloat4 Pos : POSITION0;\n"
    "\tfloat4 Col : COLOR0;\n"
    "\tfloat2 UV1 : TEXCOORD0;\n"
    "\tfloat2 UV2 : TEXCOORD1;\n"
    "};\n"
    "struct VS_OUT\n"
    "{\n"
    "\tfloat4 ProjPos : POSITION0;\n"
    "\tfloat4 Col : COLOR0;\n"
    "\tfloat2 UV1 : TEXCOORD0;\n"
    "\tfloat2 UV2 : TEXCOORD1;\n"
    "};\n"
    "VS_OUT main (VS_IN In)\n"
    "{\n"
    "\tVS_OUT Out;\n"
    "\tOut.ProjPos = mul(mul(float4(In.Pos.xyz, 1), ModelToWorld), Proj);\n"
    "\tOut.Col = In.Col;\n"
    "\tOut.UV1 = In.UV1;\n"
    "\tOut.UV2 = In.UV2;\n"
    "\treturn Out;\n"
    "}\n";

// UV1 repeats within a cell (fmod keeps the sign of the coordinate), UV2 picks the cell of an 8 x 8 atlas,
// and the vertex red shades it.
constexpr const char* kBlockPixelShader =
    "sampler2D Tex0 : register(s0);\n"
    "float4 Col0 : register(c0);\n"
    "struct PS_IN\n"
    "{\n"
    "\tfloat4 VertCol : COLOR0;\n"
    "\tfloat2 UV1 : TEXCOORD0;\n"
    "\tfloat2 UV2 : TEXCOORD1;\n"
    "};\n"
    "float4 main (PS_IN In):COLOR\n"
    "{\n"
    "\tfloat2 BlockUV = (fmod(In.UV1 * 0.5, 1) + In.UV2) * 0.125;\n"
    "\treturn tex2D(Tex0, BlockUV) * float4(In.VertCol.r, In.VertCol.r, In.VertCol.r, 1) * Col0;\n"
    "}\n";

// FurParams = (shell / shell count, fur texture scale): a shell shows the fur texel where the fur's alpha
// reaches the shell's height, brighter towards the tips.
constexpr const char* kFurPixelShader =
    "float4 FurParams : register(c0);\n"
    "sampler2D FurTex : register(s0);\n"
    "struct PS_IN\n"
    "{\n"
    "\tfloat4 VertCol : COLOR0;\n"
    "\tfloat2 UV1 : TEXCOORD0;\n"
    "\tfloat2 UV2 : TEXCOORD1;\n"
    "};\n"
    "float4 main (PS_IN In):COLOR\n"
    "{\n"
    "\tfloat4 FurPixA = tex2D(FurTex, In.UV1 * FurParams.y);\n"
    "\tfloat3 FurPix = tex2D(FurTex, In.UV1).rgb;\n"
    "\tif (FurPixA.a > 0 && FurParams.x <= FurPixA.a)\n"
    "\t\treturn float4(FurPix * saturate(lerp(0.5, 2, FurParams.x)), 1);\n"
    "\treturn 0;\n"
    "}\n";

constexpr int kFilterPointLinearMips = 3;
constexpr int kAddressWrap = 1;

}  // namespace

int BlockShaderSet::BindConstants(const MaterialDef& material, const MaterialView*, const Matrix44*, bool, bool) {
    SetPixelColourSlot(material, 0, 0);
    // No placeholder: a block material without a texture samples nothing (zero), never the previous draw's.
    const int texture = material.GetTexture(0);
    if (texture != 0) {
        Services().textures->Bind(0, texture);
    } else {
        Services().textures->Unbind(0);
    }
    Services().states->SetTextureFilter(0, kFilterPointLinearMips, 0);
    Services().states->SetTextureAddressMode(0, kAddressWrap);
    return 1;
}

std::unique_ptr<VertexShader> BlockShaderSet::BuildVertexShader(bool, bool, std::uint32_t, bool) {
    Text() = kBlockVertexShader;
    return CompileVertexText();
}

std::unique_ptr<PixelShader> BlockShaderSet::BuildPixelShader(std::uint32_t, int, bool) {
    Text() = kBlockPixelShader;
    return CompilePixelText();
}

int FurShaderSet::BindConstants(const MaterialDef&, const MaterialView*, const Matrix44* matrix, bool, bool) {
    if (matrix != nullptr) Services().vertexShaders->SetMatrix(*matrix, 12);
    return 1;
}

std::unique_ptr<VertexShader> FurShaderSet::BuildVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags,
                                                              bool bump) {
    BuildGenericVertexShader(Text(), skinned, instanced, true, lightFlags, bump);
    return CompileVertexText();
}

std::unique_ptr<PixelShader> FurShaderSet::BuildPixelShader(std::uint32_t, int, bool) {
    Text() = kFurPixelShader;
    return CompilePixelText();
}

}  // namespace engine
