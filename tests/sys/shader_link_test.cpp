#include <string>

#include <gtest/gtest.h>

#include "shader_test_helpers.h"
#include "support/gl_test_environment.h"
#include "support/shader_draw_fixture.h"
#include "sys/shader_link.h"

namespace {

using shadertest::Program;
using sys::ShaderStage;

// Every type the engine's shaders put in registers, declared out of register order.
constexpr const char* kManyConstantsVertex = R"(
float4 Last : register(c254);
float4x4 BonePalette[2] : register(c40);
float4x3 Skin[2] : register(c32);
float3x4 Wide : register(c26);
float3x3 Rot : register(c22);
float4x4 Proj : register(c12);
float3 V3 : register(c10);
float2 V2 : register(c9);
float F : register(c8);
float FA[3] : register(c4);
float4 V4 : register(c0);
struct VS_OUT { float4 Pos : POSITION; float4 T : TEXCOORD0; };
VS_OUT main(float4 p : POSITION) {
	VS_OUT o;
	o.Pos = mul(p, Proj) + mul(p, BonePalette[1]) + Last;
	o.T = float4(mul(p.xyz, Rot) + mul(p, Skin[1]) + mul(p.xyz, Wide).xyz + V3, F + FA[2]) + V4 + V2.xyxy;
	return o;
}
)";

constexpr const char* kManyConstantsPixel = R"(
float4x4 PSSM_4x4[4] : register(c34);
float4 SplitDist : register(c33);
float4 MatColour : register(c0);
float Scale : register(c5);
sampler2D Tex0 : register(s0);
sampler2D BumpMap : register(s6);
sampler2D ShadowMap_LT_SPOT_2 : register(s9);
sampler2D Last : register(s15);
float4 main(float4 t : TEXCOORD0) : COLOR {
	return mul(t, PSSM_4x4[3]) * SplitDist * MatColour * Scale + tex2D(Tex0, t.xy) + tex2D(BumpMap, t.xy)
	       + tex2D(ShadowMap_LT_SPOT_2, t.xy) + tex2D(Last, t.xy);
}
)";

std::string GlName(const char* block, const sys::ShaderConstant& constant, std::uint32_t program) {
    const std::string plain = std::string(block) + "." + constant.name;
    return testsupport::UniformOffset(program, plain) >= 0 ? plain : plain + "[0]";
}

TEST(LinkShaderPair, ReflectedOffsetsAreSixteenTimesTheRegister) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    const Program program(kManyConstantsVertex, kManyConstantsPixel);
    ASSERT_NE(program.Id(), 0u) << program.Error();

    const struct {
        const char* block;
        const sys::GlslShader& shader;
    } stages[] = {{"VSRegs", program.Vertex()}, {"PSRegs", program.Pixel()}};
    for (const auto& stage : stages) {
        EXPECT_EQ(testsupport::UniformBlockSize(program.Id(), stage.block), 4096);
        EXPECT_EQ(testsupport::UniformOffset(program.Id(), std::string(stage.block) + ".c255"), 255 * 16);
        for (const sys::ShaderConstant& constant : stage.shader.reflection.constants) {
            EXPECT_EQ(testsupport::UniformOffset(program.Id(), GlName(stage.block, constant, program.Id())),
                      16 * constant.firstRegister)
                << constant.name;
        }
    }
    const auto& vs = program.Vertex().reflection.constants;
    ASSERT_EQ(vs.size(), 11u);
    const int firsts[] = {0, 4, 8, 9, 10, 12, 22, 26, 32, 40, 254};
    const int counts[] = {1, 3, 1, 1, 1, 4, 3, 4, 6, 8, 1};
    for (std::size_t i = 0; i < vs.size(); ++i) {
        EXPECT_EQ(vs[i].firstRegister, firsts[i]) << vs[i].name;
        EXPECT_EQ(vs[i].registerCount, counts[i]) << vs[i].name;
    }
}

TEST(LinkShaderPair, BothBlocksSpanAllRegistersWithoutConstants) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    const Program program(R"(
struct VS_OUT { float4 P : POSITION; float Size : PSIZE; };
VS_OUT main(float4 p : POSITION) { VS_OUT o; o.P = p; o.Size = 2; return o; }
)",
                          "float4 main() : COLOR { return 1; }");
    ASSERT_NE(program.Id(), 0u) << program.Error();
    EXPECT_NE(program.Vertex().text.find("gl_PointSize = "), std::string::npos) << program.Vertex().text;
    EXPECT_TRUE(program.Vertex().reflection.outputs.empty());
    for (const char* block : {"VSRegs", "PSRegs"}) {
        EXPECT_EQ(testsupport::UniformBlockSize(program.Id(), block), 4096) << block;
        EXPECT_EQ(testsupport::UniformOffset(program.Id(), std::string(block) + ".c255"), 255 * 16) << block;
    }
}

TEST(LinkShaderPair, SamplerUnitsAreTheRegisters) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    const Program program(kManyConstantsVertex, kManyConstantsPixel);
    ASSERT_NE(program.Id(), 0u) << program.Error();
    ASSERT_EQ(program.Pixel().reflection.samplers.size(), 4u);
    for (const sys::ShaderSampler& sampler : program.Pixel().reflection.samplers) {
        EXPECT_EQ(testsupport::SamplerUnit(program.Id(), "PS_s" + std::to_string(sampler.samplerRegister)),
                  sampler.samplerRegister)
            << sampler.name;
    }
}

TEST(LinkShaderPair, ReportsCompileAndLinkFailures) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    const sys::GlslShader vertex = shadertest::Translate(kManyConstantsVertex, ShaderStage::Vertex);
    sys::GlslShader pixel = shadertest::Translate(kManyConstantsPixel, ShaderStage::Pixel);

    sys::ShaderLinkResult swapped = sys::LinkShaderPair(pixel, vertex);
    EXPECT_EQ(swapped.program, 0u);
    EXPECT_FALSE(swapped.error.empty());

    pixel.text += "this is not GLSL";
    const sys::ShaderLinkResult broken = sys::LinkShaderPair(vertex, pixel);
    EXPECT_EQ(broken.program, 0u);
    EXPECT_NE(broken.error.find("pixel shader does not compile"), std::string::npos) << broken.error;
}

TEST(PairFixupPixelGlsl, ConvertsMismatchedInputsAndZeroesUnwrittenOnes) {
    const sys::GlslShader vertex = shadertest::Translate(R"(
struct O { float4 P : POSITION; float4 A : TEXCOORD1; float2 B : TEXCOORD2; float4 C : COLOR0; };
O main(float4 p : POSITION) { O o; o.P = p; o.A = p; o.B = p.xy; o.C = p; return o; }
)",
                                                         ShaderStage::Vertex);
    const sys::GlslShader pixel = shadertest::Translate(R"(
struct I { float4 C : COLOR0; float2 A : TEXCOORD1; float4 B : TEXCOORD2; float3 Missing : TEXCOORD5; };
float4 main(I In) : COLOR { return In.C + float4(In.A, In.B.zw) + In.B + In.Missing.xyzx; }
)",
                                                        ShaderStage::Pixel);
    const sys::PixelFixupResult fixed = sys::PairFixupPixelGlsl(vertex.reflection, pixel);
    ASSERT_TRUE(fixed.Ok()) << fixed.error;
    const std::string& text = fixed.text;
    // Same type: untouched.
    EXPECT_NE(text.find("in vec4 v_COLOR0;"), std::string::npos) << text;
    // Declared as the vertex shader writes them, converted at the top of main.
    EXPECT_NE(text.find("in vec4 v_TEXCOORD1;"), std::string::npos) << text;
    EXPECT_NE(text.find("= v_TEXCOORD1.xy;"), std::string::npos) << text;
    EXPECT_NE(text.find("in vec2 v_TEXCOORD2;"), std::string::npos) << text;
    EXPECT_NE(text.find("= vec4(v_TEXCOORD2, 0.0, 1.0);"), std::string::npos) << text;
    // Never written: no interface variable at all.
    EXPECT_EQ(text.find("in vec3 v_TEXCOORD5;"), std::string::npos) << text;
    EXPECT_EQ(text.find("v_TEXCOORD5"), std::string::npos) << text;

    // The same pixel shader with a vertex shader that writes exactly its inputs needs no change.
    sys::ShaderReflection exact = vertex.reflection;
    exact.outputs = pixel.reflection.inputs;
    EXPECT_EQ(sys::PairFixupPixelGlsl(exact, pixel).text, pixel.text);
}

}  // namespace
