// Every built-in vertex shader and every representative variant translates, links on the GL context with a
// pixel shader that reads its outputs, and reflects the registers of its key.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../render/expected_registers.h"
#include "../render/representative_keys.h"
#include "engine/platform/scoped_env.h"
#include "engine/render/builtin_shaders.h"
#include "engine/render/shader_cache.h"
#include "engine/render/shader_constant_cache.h"
#include "support/gl_test_environment.h"
#include "support/temp_folder.h"
#include "translating_shader_device.h"

namespace {

using namespace engine;
using rendertest::ExpectedRegister;
using rendertest::LinkedPair;
using rendertest::TranslatingShaderDevice;

constexpr const char* kDepthPixel = "float4 main(float ShadowMapDepth : TEXCOORD0) : COLOR { return ShadowMapDepth; }";

std::vector<ExpectedRegister> Reflected(const sys::ShaderReflection& reflection) {
    std::vector<ExpectedRegister> found;
    for (const sys::ShaderConstant& c : reflection.constants)
        found.push_back({c.name, 'c', c.firstRegister, c.registerCount});
    for (const sys::ShaderSampler& s : reflection.samplers) found.push_back({s.name, 's', s.samplerRegister, 0});
    return rendertest::Sorted(found);
}

std::string Describe(const std::vector<ExpectedRegister>& registers) {
    std::string text;
    for (const ExpectedRegister& r : registers) {
        text += r.name + " " + r.kind + std::to_string(r.reg) + "x" + std::to_string(r.count) + "; ";
    }
    return text;
}

// The layout GL reports for the linked program: each constant at 16 bytes per register, each sampler on the
// unit of its register. GL reports only the samplers the program reads (a shadow map without its light is
// declared but never read); the count of those checked is added to `samplersChecked`.
void ExpectGlLayout(std::uint32_t program, const char* block, const sys::ShaderReflection& reflection,
                    int* samplersChecked = nullptr) {
    EXPECT_EQ(testsupport::UniformBlockSize(program, block), 4096) << block;
    for (const sys::ShaderConstant& c : reflection.constants) {
        std::string name = std::string(block) + "." + c.name;
        if (testsupport::UniformOffset(program, name) < 0) name += "[0]";
        EXPECT_EQ(testsupport::UniformOffset(program, name), 16 * c.firstRegister) << name;
    }
    for (const sys::ShaderSampler& s : reflection.samplers) {
        const int unit = testsupport::SamplerUnit(program, "PS_s" + std::to_string(s.samplerRegister));
        if (unit < 0) continue;
        EXPECT_EQ(unit, s.samplerRegister) << s.name;
        if (samplersChecked != nullptr) ++*samplersChecked;
    }
}

class ShaderVariants : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testsupport::GlEnvironment().Ready()); }

    testsupport::TempFolder home;
    platformtest::ScopedEnv cacheHome{"XDG_CACHE_HOME", home.Path().c_str()};
    TranslatingShaderDevice device;
};

TEST_F(ShaderVariants, BuiltinVertexShadersLinkWithPixelShadersReadingTheirOutputs) {
    const std::map<int, std::string> pixelTexts = {
        {1, "float4 main(float2 TexCoord : TEXCOORD0) : COLOR { return float4(TexCoord, 0, 1); }"},
        {2, "float4 main(float4 Colour : COLOR0) : COLOR { return Colour; }"},
        {3, "float4 main(float4 Colour : COLOR0) : COLOR { return Colour; }"},
        {4, "float4 main(float4 PosWorld : TEXCOORD0) : COLOR { return PosWorld; }"},
        {5, "float4 main(float4 Colour : COLOR0, float2 TexCoord : TEXCOORD0) : COLOR { return Colour * TexCoord.x; }"},
        {6, "float4 main(float2 TexCoord : TEXCOORD0) : COLOR { return float4(TexCoord, 0, 1); }"},
        {7, "float4 main(float2 TexCoord : TEXCOORD0) : COLOR { return float4(TexCoord, 0, 1); }"},
        {8, "float4 main() : COLOR { return 1; }"},
        {9, kDepthPixel},
        {10, kDepthPixel},
        {11, kDepthPixel},
    };
    const std::vector<ExpectedRegister> proj = {{"Proj", 'c', 0, 4}};
    const std::vector<ExpectedRegister> projWorld = {{"Proj", 'c', 0, 4}, {"ModelToWorld", 'c', 8, 4}};
    const std::vector<ExpectedRegister> skinned = {
        {"Proj", 'c', 0, 4}, {"ModelToWorld", 'c', 8, 4}, {"BonePalette", 'c', 33, 160}};
    const std::map<int, std::vector<ExpectedRegister>> registers = {
        {1, {}},   {2, {}},      {3, projWorld}, {4, projWorld}, {5, proj},    {6, projWorld},
        {7, proj}, {8, skinned}, {9, projWorld}, {10, proj},     {11, skinned}};

    ShaderBindCounters counters;
    ShaderConstantCache vertex(device, counters);
    for (int kind = 1; kind <= kBuiltinVertexShaderKinds; ++kind) {
        SCOPED_TRACE(testing::Message() << "built-in vertex shader " << kind);
        VertexShader* shader = vertex.BuiltinVertexShader(kind);
        ASSERT_NE(shader, nullptr) << device.lastError;
        EXPECT_EQ(Reflected(rendertest::Glsl(shader).reflection), rendertest::Sorted(registers.at(kind)));
        const std::unique_ptr<PixelShader> pixel = CompilePixelShader(device, pixelTexts.at(kind));
        ASSERT_NE(pixel, nullptr) << device.lastError;
        const LinkedPair pair(shader, pixel.get());
        ASSERT_NE(pair.Id(), 0u) << pair.Error();
        ExpectGlLayout(pair.Id(), "VSRegs", rendertest::Glsl(shader).reflection);
    }
}

TEST_F(ShaderVariants, RepresentativePixelShadersLinkAndReflectTheirRegisters) {
    int samplersChecked = 0;
    for (const rendertest::PixelKey& key : rendertest::RepresentativePixelKeys()) {
        SCOPED_TRACE(testing::Message() << "flags " << key.flags << " model " << key.model << " bump " << key.bump);
        const std::unique_ptr<PixelShader> pixel = CompilePixelShader(device, rendertest::PixelText(key));
        ASSERT_NE(pixel, nullptr) << device.lastError;
        const std::unique_ptr<VertexShader> vertex =
            CompileVertexShader(device, rendertest::VertexText({rendertest::VertexPath::Plain, key.flags, key.bump}));
        ASSERT_NE(vertex, nullptr) << device.lastError;
        const std::vector<ExpectedRegister> expected =
            rendertest::ExpectedPixelRegisters(key.flags, key.model, key.bump);
        const std::vector<ExpectedRegister> reflected = Reflected(rendertest::Glsl(pixel.get()).reflection);
        EXPECT_EQ(reflected, expected) << Describe(reflected) << "\n" << Describe(expected);

        const LinkedPair pair(vertex.get(), pixel.get());
        ASSERT_NE(pair.Id(), 0u) << pair.Error();
        ExpectGlLayout(pair.Id(), "PSRegs", rendertest::Glsl(pixel.get()).reflection, &samplersChecked);
    }
    EXPECT_GT(samplersChecked, 40);
}

TEST_F(ShaderVariants, RepresentativeVertexShadersLinkAndReflectTheirRegisters) {
    for (const rendertest::VertexKey& key : rendertest::RepresentativeVertexKeys()) {
        SCOPED_TRACE(testing::Message() << "path " << static_cast<int>(key.path) << " flags " << key.flags << " bump "
                                        << key.bump);
        const std::unique_ptr<VertexShader> vertex = CompileVertexShader(device, rendertest::VertexText(key));
        ASSERT_NE(vertex, nullptr) << device.lastError;
        std::vector<ExpectedRegister> expected;
        std::string pixelText;
        if (key.path == rendertest::VertexPath::DepthOnly) {
            expected.push_back({"Proj", 'c', 0, 4});
            if (key.flags != 2) expected.push_back({"ModelToWorld", 'c', 8, 4});
            if (key.flags == 1) expected.push_back({"BonePalette", 'c', 33, 160});
            expected = rendertest::Sorted(expected);
            pixelText = kDepthPixel;
        } else {
            expected = rendertest::ExpectedVertexRegisters(key.flags, key.path == rendertest::VertexPath::Skinned,
                                                           key.path == rendertest::VertexPath::Instanced,
                                                           key.path == rendertest::VertexPath::Shell);
            pixelText = rendertest::PixelText({key.flags, 1, key.bump});
        }
        const std::vector<ExpectedRegister> reflected = Reflected(rendertest::Glsl(vertex.get()).reflection);
        EXPECT_EQ(reflected, expected) << Describe(reflected) << "\n" << Describe(expected);

        const std::unique_ptr<PixelShader> pixel = CompilePixelShader(device, pixelText);
        ASSERT_NE(pixel, nullptr) << device.lastError;
        const LinkedPair pair(vertex.get(), pixel.get());
        ASSERT_NE(pair.Id(), 0u) << pair.Error();
        ExpectGlLayout(pair.Id(), "VSRegs", rendertest::Glsl(vertex.get()).reflection);
    }
}

}  // namespace
