#include <algorithm>
#include <cctype>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shader_test_helpers.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace {

using sys::ShaderStage;

constexpr std::uint32_t kSpirvMagic = 0x07230203;

constexpr const char* kSkinnedVertex = R"(
float4x4 Proj : register(c0);
float4x4 ModelToWorld : register(c8);
float4 UVOffset : register(c30);
float4x4 BonePalette[40] : register(c33);
struct VS_IN {
	float4 Pos : POSITION0;
	float4 Col : COLOR0;
	float2 UV1 : TEXCOORD0;
	int4 BoneIndex : BLENDINDICES0;
	float4 BoneWeight : BLENDWEIGHT;
};
struct VS_OUT {
	float4 ProjPos : POSITION0;
	float4 Col : COLOR0;
	float2 UV1 : texcoord;
	float4 PosW : TEXCOORD6;
	float3 TanNormW : TEXCOORD9;
};
VS_OUT main(VS_IN In) {
	VS_OUT Out;
	float4 WorldPos = mul(mul(In.Pos, BonePalette[In.BoneIndex.x]), ModelToWorld);
	Out.ProjPos = mul(WorldPos, Proj);
	Out.PosW = WorldPos;
	Out.Col = In.Col * In.BoneWeight;
	Out.UV1 = In.UV1 / 4095 * UVOffset.xy + UVOffset.zw;
	Out.TanNormW = mul(In.Pos.xyz, (float3x3)ModelToWorld);
	return Out;
}
)";

constexpr const char* kTexturedPixel = R"(
float4 MatColour : register(c0);
float4 CamPosWorld : register(c11);
sampler2D Diffuse : register(s0);
sampler2D ShadowMap : register(s7);
struct PS_IN { float4 PosWorld : TEXCOORD6; float4 VertCol : COLOR0; float2 UV1 : TEXCOORD0; };
float4 main(PS_IN In) : COLOR {
	return tex2D(Diffuse, In.UV1) * tex2D(ShadowMap, In.UV1).r * MatColour * In.VertCol + CamPosWorld * In.PosWorld;
}
)";

TEST(CompileHlsl, GivesSpirvWordsAndCountsEveryCall) {
    const std::uint64_t before = sys::HlslCompileCount();
    const sys::HlslCompileResult plain = sys::CompileHlsl(kSkinnedVertex, ShaderStage::Vertex);
    ASSERT_TRUE(plain.Ok()) << plain.error;
    EXPECT_EQ(plain.words[0], kSpirvMagic);
    EXPECT_TRUE(plain.error.empty());

    const sys::HlslCompileResult legalised =
        sys::CompileHlsl(kTexturedPixel, ShaderStage::Pixel, sys::SpirvOptimiser::Legalise);
    ASSERT_TRUE(legalised.Ok()) << legalised.error;
    EXPECT_TRUE(sys::SpirvToGlsl(legalised.words, ShaderStage::Pixel).Ok());

    const sys::HlslCompileResult broken = sys::CompileHlsl("float4 main( : COLOR {", ShaderStage::Pixel);
    EXPECT_FALSE(broken.Ok());
    EXPECT_FALSE(broken.error.empty());
    EXPECT_EQ(sys::HlslCompileCount() - before, 3u);
}

TEST(CompileHlsl, SameTextGivesSameWordsAndSameGlsl) {
    const sys::HlslCompileResult first = sys::CompileHlsl(kTexturedPixel, ShaderStage::Pixel);
    const sys::HlslCompileResult second = sys::CompileHlsl(kTexturedPixel, ShaderStage::Pixel);
    ASSERT_TRUE(first.Ok());
    EXPECT_EQ(first.words, second.words);
    EXPECT_EQ(sys::SpirvToGlsl(first.words, ShaderStage::Pixel).shader.text,
              sys::SpirvToGlsl(second.words, ShaderStage::Pixel).shader.text);
}

TEST(SpirvToGlsl, ReflectsRegistersSamplersAndStageVariables) {
    const sys::GlslShader vertex = shadertest::Translate(kSkinnedVertex, ShaderStage::Vertex);
    const sys::ShaderReflection& vs = vertex.reflection;
    EXPECT_EQ(vs.stage, ShaderStage::Vertex);
    ASSERT_EQ(vs.constants.size(), 4u);
    const std::vector<std::pair<std::string, int>> expectedConstants = {
        {"Proj", 0}, {"ModelToWorld", 8}, {"UVOffset", 30}, {"BonePalette", 33}};
    const int expectedCounts[] = {4, 4, 1, 160};
    for (std::size_t i = 0; i < expectedConstants.size(); ++i) {
        EXPECT_EQ(vs.constants[i].name, expectedConstants[i].first);
        EXPECT_EQ(vs.constants[i].firstRegister, expectedConstants[i].second);
        EXPECT_EQ(vs.constants[i].registerCount, expectedCounts[i]);
    }
    EXPECT_TRUE(vs.samplers.empty());

    struct Expected {
        const char* semantic;
        const char* type;
        bool integer;
        int location;
    };
    const Expected inputs[] = {{"POSITION0", "vec4", false, 0},
                               {"COLOR0", "vec4", false, 3},
                               {"TEXCOORD0", "vec2", false, 5},
                               {"BLENDINDICES0", "ivec4", true, 7},
                               {"BLENDWEIGHT0", "vec4", false, 8}};
    ASSERT_EQ(vs.inputs.size(), std::size(inputs));
    for (const Expected& expected : inputs) {
        const auto found = std::find_if(vs.inputs.begin(), vs.inputs.end(),
                                        [&](const sys::ShaderStageVariable& v) { return v.semantic == expected.semantic; });
        ASSERT_NE(found, vs.inputs.end()) << expected.semantic;
        EXPECT_EQ(found->glslType, expected.type);
        EXPECT_EQ(found->isInteger, expected.integer);
        EXPECT_EQ(found->location, expected.location);
        EXPECT_NE(vertex.text.find("in " + found->glslType + " a_" + found->semantic + ";"), std::string::npos);
    }
    // POSITION became gl_Position; the varyings are named and slotted by semantic.
    const Expected outputs[] = {
        {"COLOR0", "vec4", false, 0}, {"TEXCOORD0", "vec2", false, 2}, {"TEXCOORD6", "vec4", false, 8},
        {"TEXCOORD9", "vec3", false, 11}};
    ASSERT_EQ(vs.outputs.size(), std::size(outputs));
    for (const Expected& expected : outputs) {
        const auto found = std::find_if(vs.outputs.begin(), vs.outputs.end(),
                                        [&](const sys::ShaderStageVariable& v) { return v.semantic == expected.semantic; });
        ASSERT_NE(found, vs.outputs.end()) << expected.semantic;
        EXPECT_EQ(found->glslType, expected.type);
        EXPECT_EQ(found->location, expected.location);
        EXPECT_NE(vertex.text.find("out " + found->glslType + " v_" + found->semantic + ";"), std::string::npos);
    }

    const sys::GlslShader pixel = shadertest::Translate(kTexturedPixel, ShaderStage::Pixel);
    const sys::ShaderReflection& ps = pixel.reflection;
    ASSERT_EQ(ps.samplers.size(), 2u);
    EXPECT_EQ(ps.samplers[0].name, "Diffuse");
    EXPECT_EQ(ps.samplers[0].samplerRegister, 0);
    EXPECT_EQ(ps.samplers[1].name, "ShadowMap");
    EXPECT_EQ(ps.samplers[1].samplerRegister, 7);
    EXPECT_NE(pixel.text.find("uniform sampler2D PS_s7;"), std::string::npos);
    ASSERT_EQ(ps.outputs.size(), 1u);
    EXPECT_EQ(ps.outputs[0].semantic, "COLOR0");
    EXPECT_EQ(ps.inputs.size(), 3u);
}

TEST(SpirvToGlsl, WritesPlainStd140BlocksOfAllRegisters) {
    // Declared out of register order: the back end writes explicit, decreasing offsets for these.
    const sys::GlslShader pixel = shadertest::Translate(R"(
float4 Late : register(c40);
float Scalar : register(c3);
float4x4 Early : register(c4);
float4 main() : COLOR { return Late * Scalar + Early[0]; }
)",
                                                        ShaderStage::Pixel);
    const sys::GlslShader empty = shadertest::Translate(
        "float4 main(float4 p : POSITION) : POSITION { return p; }", ShaderStage::Vertex);
    for (const std::string& text : {pixel.text, empty.text}) {
        EXPECT_EQ(text.find("offset"), std::string::npos) << text;
        EXPECT_EQ(text.find("#extension"), std::string::npos) << text;
        EXPECT_NE(text.find("    vec4 c255;\n"), std::string::npos) << text;
    }
    EXPECT_NE(empty.text.find("uniform VSRegs"), std::string::npos);
    const std::size_t scalar = pixel.text.find(" Scalar;");
    const std::size_t early = pixel.text.find(" Early;");
    const std::size_t late = pixel.text.find(" Late;");
    EXPECT_LT(scalar, early);
    EXPECT_LT(early, late);
}

TEST(SpirvToGlsl, RejectsWordsThatAreNotAModuleForTheStage) {
    const sys::HlslCompileResult vertex = sys::CompileHlsl(kSkinnedVertex, ShaderStage::Vertex);
    ASSERT_TRUE(vertex.Ok());
    std::vector<std::uint32_t> badMagic = vertex.words;
    badMagic[0] = 0x12345678;
    std::vector<std::uint32_t> truncated(vertex.words.begin(), vertex.words.begin() + vertex.words.size() / 2);
    std::vector<std::uint32_t> junk = {kSpirvMagic, 0x00010000, 0, 100, 0, 0xFFFFFFFF, 7, 7, 7};

    const std::vector<std::uint32_t> empty;
    struct Case {
        const char* what;
        const std::vector<std::uint32_t>* words;
        ShaderStage stage;
    };
    const Case cases[] = {{"empty", &empty, ShaderStage::Vertex},
                          {"wrong magic", &badMagic, ShaderStage::Vertex},
                          {"truncated", &truncated, ShaderStage::Vertex},
                          {"junk after the header", &junk, ShaderStage::Vertex},
                          {"vertex words for the pixel stage", &vertex.words, ShaderStage::Pixel}};
    for (const Case& c : cases) {
        const sys::SpirvToGlslResult result = sys::SpirvToGlsl(*c.words, c.stage);
        EXPECT_FALSE(result.Ok()) << c.what;
        EXPECT_FALSE(result.refused) << c.what;
        EXPECT_TRUE(result.shader.text.empty()) << c.what;
    }
}

struct Refusal {
    const char* what;
    ShaderStage stage;
    const char* hlsl;
    const char* mentions;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.what; }

class HlslRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(HlslRefusal, GivesAnErrorAndNoText) {
    const Refusal& refusal = GetParam();
    std::vector<std::uint32_t> words = {1, 2, 3};
    const sys::SpirvToGlslResult result = sys::TranslateHlsl(refusal.hlsl, refusal.stage, &words);
    EXPECT_FALSE(result.Ok());
    EXPECT_TRUE(result.refused);
    EXPECT_NE(result.error.find(refusal.mentions), std::string::npos) << result.error;
    EXPECT_TRUE(result.shader.text.empty());
    EXPECT_TRUE(result.shader.reflection.constants.empty());
    EXPECT_TRUE(result.shader.reflection.inputs.empty());
    EXPECT_TRUE(words.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Constructs, HlslRefusal,
    ::testing::Values(
        Refusal{"VPOS", ShaderStage::Pixel, "float4 main(float2 p : VPOS) : COLOR { return p.xyxy; }", "VPOS"},
        Refusal{"VFACE", ShaderStage::Pixel, "float4 main(float f : VFACE) : COLOR { return f; }", "VFACE"},
        Refusal{"unknown vertex input", ShaderStage::Vertex,
                "float4 main(float4 p : BINORMAL0) : POSITION { return p; }", "BINORMAL0"},
        Refusal{"unknown varying", ShaderStage::Vertex,
                "struct O { float4 p : POSITION; float4 t : TEXCOORD12; };\n"
                "O main(float4 p : POSITION) { O o; o.p = p; o.t = p; return o; }",
                "TEXCOORD12"},
        Refusal{"unknown pixel output", ShaderStage::Pixel, "float4 main() : COLOR5 { return 1; }", "COLOR5"},
        Refusal{"system-value semantic", ShaderStage::Vertex,
                "float4 main(float4 p : POSITION) : SV_Position { return p; }", "SV_"},
        Refusal{"constant without register", ShaderStage::Pixel,
                "float4 A : register(c0);\nfloat4 B;\nfloat4 main() : COLOR { return A + B; }", "register(cN)"},
        Refusal{"sampler without register", ShaderStage::Pixel,
                "sampler2D S;\nfloat4 main(float2 uv : TEXCOORD0) : COLOR { return tex2D(S, uv); }",
                "register(sN)"},
        Refusal{"overlapping registers", ShaderStage::Vertex,
                "float4x4 M : register(c0);\nfloat4 V : register(c3);\n"
                "float4 main(float4 p : POSITION) : POSITION { return mul(p, M) + V; }",
                "overlap"},
        Refusal{"constant in c255", ShaderStage::Pixel,
                "float4 A : register(c255);\nfloat4 main() : COLOR { return A; }", "c255"},
        Refusal{"matrix reaching c255", ShaderStage::Vertex,
                "float4x4 M : register(c252);\nfloat4 main(float4 p : POSITION) : POSITION { return mul(p, M); }",
                "c255"},
        Refusal{"sampler in the vertex stage", ShaderStage::Vertex,
                "sampler2D S : register(s0);\n"
                "float4 main(float4 p : POSITION) : POSITION { return p + tex2Dlod(S, float4(0, 0, 0, 0)); }",
                "vertex"},
        Refusal{"text that does not compile", ShaderStage::Pixel, "float4 main() : COLOR { return x; }",
                "x"}),
    [](const ::testing::TestParamInfo<Refusal>& info) {
        std::string name;
        for (const char* c = info.param.what; *c != '\0'; ++c) {
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        }
        return name;
    });

}  // namespace
