// The sets that fill the generic pixel shader with their own MainPix: JUSTCOL, TEXTURE, COLOURD, DRUVLAND.
#include "engine/render/material_def.h"
#include "engine/render/material_shader_sets.h"
#include "engine/render/shader_assembly.h"

namespace engine {

int GenericShaderSet::BindConstants(const MaterialDef& material, const MaterialView*, const Matrix44*, bool, bool) {
    SetPixelColourSlot(material, 0, 0);
    for (const int* stage = Stages(); *stage >= 0; ++stage) BindTexture(*stage, material);
    return 1;
}

std::unique_ptr<VertexShader> GenericShaderSet::BuildVertexShader(bool skinned, bool instanced,
                                                                  std::uint32_t lightFlags, bool bump) {
    BuildGenericVertexShader(Text(), skinned, instanced, false, lightFlags, bump);
    return CompileVertexText();
}

std::unique_ptr<PixelShader> GenericShaderSet::BuildPixelShader(std::uint32_t lightFlags, int lightingModel,
                                                                bool bump) {
    BuildGenericPixelShader(Text(), lightFlags, lightingModel, bump, Declarations(), MainPix());
    return CompilePixelText();
}

namespace {
constexpr int kNoStages[] = {-1};
constexpr int kStage0[] = {0, -1};
constexpr int kTerrainStages[] = {0, 1, 3, -1};
constexpr const char* kTextureDeclarations =
    "sampler2D Tex0 : register(s0);\n"
    "float4 Col0 : register(c0);\n";
}  // namespace

const char* PlainColourShaderSet::Declarations() const { return "float4 MatColour : register(c0);\n"; }
const char* PlainColourShaderSet::MainPix() const { return "\tfloat4 MainPix = MatColour;\n"; }
const int* PlainColourShaderSet::Stages() const { return kNoStages; }

const char* TextureShaderSet::Declarations() const { return kTextureDeclarations; }
const char* TextureShaderSet::MainPix() const { return "\tfloat4 MainPix = tex2D(Tex0, In.UV1) * Col0;\n"; }
const int* TextureShaderSet::Stages() const { return kStage0; }

const char* ColourDecalShaderSet::Declarations() const { return kTextureDeclarations; }
const char* ColourDecalShaderSet::MainPix() const {
    return "\tfloat4 Pix = tex2D(Tex0, In.UV1);\n"
           "\tfloat Fader = Pix.a * Col0.a * In.VertCol.a;\n"
           "\tfloat4 MainPix = float4(Col0.rgb * (1 - Fader) + Pix.rgb * Fader, Col0.a);\n";
}
const int* ColourDecalShaderSet::Stages() const { return kStage0; }

const char* TerrainShaderSet::Declarations() const {
    return "sampler2D Tex1 : register(s0);\n"
           "sampler2D Tex2 : register(s1);\n"
           "sampler2D Tex4 : register(s3);\n"
           "float4 Col0 : register(c0);\n";
}
const char* TerrainShaderSet::MainPix() const {
    return "\tfloat PixA = tex2D(Tex1, In.UV2).a;\n"
           "\tfloat3 TopPixel = tex2D(Tex1, In.UV1).rgb * PixA + tex2D(Tex2, In.UV1).rgb * (1 - PixA);\n"
           "\tfloat Fader = In.VertCol.a;\n"
           "\tfloat4 MainPix = float4(Col0.rgb * (1 - Fader) + TopPixel * tex2D(Tex4, In.UV2).rgb * Fader, 1);\n";
}
const int* TerrainShaderSet::Stages() const { return kTerrainStages; }

}  // namespace engine
