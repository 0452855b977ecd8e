// DRUV2LND and the two water sets: pixel shaders that go beyond the generic one (fog, wave normals), and
// constants that move with the frame timer.
#include "engine/render/material_def.h"
#include "engine/render/material_pixel_pieces.h"
#include "engine/render/material_shader_sets.h"
#include "engine/render/shader_assembly.h"
#include "engine/render/shader_emitters.h"
#include "engine/render/shader_format.h"
#include "engine/render/shader_text_buffer.h"

namespace engine {

namespace {

// Colour slot 1 with x replaced by `time` (time, wave speed x, wave speed y, UV multiplier) into `reg`.
void SetWaveParams(const ShaderSetServices& services, const MaterialDef& material, float time, int reg) {
    const ColourF slot = material.GetColourF(1);
    services.pixelShaders->SetPixelVector(Vec4{time, slot.g, slot.b, slot.a}, reg);
}

}  // namespace

int Terrain2ShaderSet::BindConstants(const MaterialDef& material, const MaterialView*, const Matrix44*, bool, bool) {
    SetPixelColourSlot(material, 0, 0);
    const float fogTime = static_cast<float>(Milliseconds() * 0.001 * 0.01);
    Services().pixelShaders->SetPixelVector(Vec4{fogTime, 0, 0, 0}, 1);
    for (int stage = 0; stage <= 4; ++stage) BindTexture(stage, material);
    return 1;
}

std::unique_ptr<VertexShader> Terrain2ShaderSet::BuildVertexShader(bool skinned, bool instanced,
                                                                   std::uint32_t lightFlags, bool bump) {
    BuildGenericVertexShader(Text(), skinned, instanced, false, lightFlags, bump);
    return CompileVertexText();
}

std::unique_ptr<PixelShader> Terrain2ShaderSet::BuildPixelShader(std::uint32_t lightFlags, int lightingModel,
                                                                 bool bump) {
    std::string& text = Text();
    BeginLitPixelShader(text, lightFlags, lightingModel, bump, bump,
                        "sampler2D Tex1 : register(s0);\n"
                        "sampler2D Tex2 : register(s1);\n"
                        "sampler2D Tex3 : register(s2);\n"
                        "sampler2D Tex4 : register(s3);\n"
                        "sampler2D Tex5 : register(s4);\n"
                        "float4 Col0 : register(c0);\n"
                        "float4 Params1 : register(c1);\n");
    EmitShaderLine(text, "\tfloat PixA = tex2D(Tex1, In.UV2).a;");
    EmitShaderLine(text, "\tfloat3 TopPixel = tex2D(Tex1, In.UV1).rgb * PixA + tex2D(Tex2, In.UV1).rgb * (1 - PixA);");
    EmitShaderLine(text, "\tfloat Fader = In.VertCol.a;");
    EmitShaderLine(text,
                   "\tfloat4 MainPix = float4(Col0.rgb * (1 - Fader) + TopPixel * tex2D(Tex4, In.UV2).rgb * Fader, 1);");
    EmitPixelNormal(text, bump);
    EmitLighting(text, lightFlags, lightingModel);
    EmitLitMainPix(text, lightingModel);
    EmitShaderLine(text, "\tfloat FogVal = tex2D(Tex3, In.UV2).a;");
    EmitFogResult(text, "Params1");
    EmitShaderLine(text, "}");
    return CompilePixelText();
}

int WaterShaderSet::BindConstants(const MaterialDef& material, const MaterialView*, const Matrix44*, bool, bool) {
    SetPixelColourSlot(material, 0, 0);
    SetWaveParams(Services(), material, static_cast<float>(Milliseconds() * 0.001), 1);
    BindTexture(0, material);
    BindTexture(3, material);
    return 1;
}

std::unique_ptr<VertexShader> WaterShaderSet::BuildVertexShader(bool skinned, bool instanced,
                                                                std::uint32_t lightFlags, bool) {
    // The wave normal needs the tangent frame whether or not the material has a bump map.
    BuildGenericVertexShader(Text(), skinned, instanced, false, lightFlags, true);
    return CompileVertexText();
}

std::unique_ptr<PixelShader> WaterShaderSet::BuildPixelShader(std::uint32_t lightFlags, int lightingModel, bool) {
    std::string& text = Text();
    BeginLitPixelShader(text, lightFlags, lightingModel, false, true,
                        "sampler2D Tex0 : register(s0);\n"
                        "sampler2D Tex1 : register(s3);\n"
                        "float4 Col0 : register(c0);\n"
                        "float4 Params1 : register(c1);\n");
    EmitWaveNormal(text);
    EmitLighting(text, lightFlags, lightingModel);
    EmitShaderLine(text, "\tfloat3 Grid = tex2D(Tex1, In.UV2).rgb;");
    EmitGridSpecular(text, lightingModel);
    EmitShaderLine(text, "\tfloat4 MainPix = float4(Grid, 1) * Col0;");
    EmitPixelOutput(text, lightingModel);
    EmitShaderLine(text, "}");
    return CompilePixelText();
}

int Water2ShaderSet::BindConstants(const MaterialDef& material, const MaterialView*, const Matrix44*, bool, bool) {
    SetPixelColourSlot(material, 0, 0);
    const double seconds = Milliseconds() * 0.001;
    SetWaveParams(Services(), material, static_cast<float>(seconds), 1);
    SetWaveParams(Services(), material, static_cast<float>(seconds * 0.01), 2);
    for (int stage : {0, 2, 3, 4}) BindTexture(stage, material);
    return 1;
}

std::unique_ptr<PixelShader> Water2ShaderSet::BuildPixelShader(std::uint32_t lightFlags, int lightingModel, bool) {
    std::string& text = Text();
    BeginLitPixelShader(text, lightFlags, lightingModel, false, true,
                        "sampler2D Tex0 : register(s0);\n"
                        "sampler2D Tex2 : register(s2);\n"
                        "sampler2D Tex3 : register(s3);\n"
                        "sampler2D Tex5 : register(s4);\n"
                        "float4 Col0 : register(c0);\n"
                        "float4 Params1 : register(c1);\n"
                        "float4 Params2 : register(c2);\n");
    EmitWaveNormal(text);
    EmitShaderLine(text, "\tfloat FogVal = tex2D(Tex2, In.UV2).a;");
    EmitLighting(text, lightFlags, lightingModel);
    EmitShaderLine(text, "\tfloat3 Grid = tex2D(Tex3, In.UV2).rgb;");
    EmitShaderLine(text, "\tfloat4 MainPix = float4(Grid, 1) * Col0;");
    EmitGridSpecular(text, lightingModel);
    EmitLitMainPix(text, lightingModel);
    EmitFogResult(text, "Params2");
    EmitShaderLine(text, "}");
    return CompilePixelText();
}

}  // namespace engine
