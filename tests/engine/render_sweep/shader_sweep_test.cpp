// The full variant sweep: every generated pixel shader (256 light words x 5 lighting models x bump off and on)
// and vertex shader (256 light words x plain, skinned and instanced x bump off and on) translates, and
// reflects exactly the registers of its key. Long: run with `ctest -L sweep`.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../render/expected_registers.h"
#include "engine/render/shader_assembly.h"
#include "sys/spirv_to_glsl.h"

namespace {

using rendertest::ExpectedRegister;

std::vector<ExpectedRegister> Reflected(const sys::ShaderReflection& reflection) {
    std::vector<ExpectedRegister> found;
    for (const sys::ShaderConstant& c : reflection.constants)
        found.push_back({c.name, 'c', c.firstRegister, c.registerCount});
    for (const sys::ShaderSampler& s : reflection.samplers) found.push_back({s.name, 's', s.samplerRegister, 0});
    return rendertest::Sorted(found);
}

TEST(ShaderSweep, EveryPixelVariantTranslatesWithTheRegistersOfItsKey) {
    std::string text;
    for (std::uint32_t flags = 0; flags < 256; ++flags) {
        for (int model = 0; model <= 4; ++model) {
            for (bool bump : {false, true}) {
                engine::BuildGenericPixelShader(text, flags, model, bump, "float4 MatColour : register(c0);\n",
                                                "\tfloat4 MainPix = MatColour;\n");
                const sys::SpirvToGlslResult result = sys::TranslateHlsl(text, sys::ShaderStage::Pixel);
                ASSERT_TRUE(result.Ok()) << "flags " << flags << " model " << model << " bump " << bump << ": "
                                         << result.error;
                EXPECT_EQ(Reflected(result.shader.reflection), rendertest::ExpectedPixelRegisters(flags, model, bump))
                    << "flags " << flags << " model " << model << " bump " << bump;
            }
        }
    }
}

TEST(ShaderSweep, EveryVertexVariantTranslatesWithTheRegistersOfItsKey) {
    std::string text;
    for (std::uint32_t flags = 0; flags < 256; ++flags) {
        for (int kind = 0; kind < 3; ++kind) {
            for (bool bump : {false, true}) {
                const bool skinned = kind == 1, instanced = kind == 2;
                engine::BuildGenericVertexShader(text, skinned, instanced, false, flags, bump);
                const sys::SpirvToGlslResult result = sys::TranslateHlsl(text, sys::ShaderStage::Vertex);
                ASSERT_TRUE(result.Ok()) << "flags " << flags << " kind " << kind << " bump " << bump << ": "
                                         << result.error;
                EXPECT_EQ(Reflected(result.shader.reflection),
                          rendertest::ExpectedVertexRegisters(flags, skinned, instanced, false))
                    << "flags " << flags << " kind " << kind << " bump " << bump;
            }
        }
    }
}

}  // namespace
