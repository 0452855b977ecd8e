#include "sys/spirv_validator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sys/hlsl_compiler.h"

namespace {

using sys::ShaderStage;

constexpr const char* kPixel = R"(
float4 Tint : register(c0);
struct PS_IN { float4 Col : COLOR0; float2 UV : TEXCOORD0; };
float4 main(PS_IN In) : COLOR { return In.Col * Tint + In.UV.x; }
)";

// The word index of the first instruction with the opcode, or 0.
std::size_t FindInstruction(const std::vector<std::uint32_t>& words, std::uint32_t opcode) {
    for (std::size_t at = 5; at < words.size() && (words[at] >> 16) != 0; at += words[at] >> 16) {
        if ((words[at] & 0xFFFFu) == opcode) return at;
    }
    return 0;
}

TEST(ValidateSpirv, AcceptsCompiledModulesOfTheirStageOnly) {
    const std::vector<std::uint32_t> pixel = sys::CompileHlsl(kPixel, ShaderStage::Pixel).words;
    ASSERT_FALSE(pixel.empty());
    std::string error;
    EXPECT_TRUE(sys::ValidateSpirv(pixel, ShaderStage::Pixel, &error)) << error;
    EXPECT_FALSE(sys::ValidateSpirv(pixel, ShaderStage::Vertex, &error));
    EXPECT_EQ(error, "no vertex entry point \"main\"");
    const std::vector<std::uint32_t> legalised =
        sys::CompileHlsl(kPixel, ShaderStage::Pixel, sys::SpirvOptimiser::Legalise).words;
    EXPECT_TRUE(sys::ValidateSpirv(legalised, ShaderStage::Pixel));
}

TEST(ValidateSpirv, RefusesDamagedModules) {
    const std::vector<std::uint32_t> good = sys::CompileHlsl(kPixel, ShaderStage::Pixel).words;
    ASSERT_GT(good.size(), 20u);
    struct Case {
        const char* what;
        std::vector<std::uint32_t> words;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"header only", {good.begin(), good.begin() + 5}},
        {"truncated", {good.begin(), good.end() - 3}},
        {"wrong magic", good},
        {"instruction length past the end", good},
        {"member decoration beyond its structure", good},
        {"member name beyond its structure", good},
    };
    cases[3].words[0] = 0x03022307;
    cases[4].words[5] = (0xFFFFu << 16) | (good[5] & 0xFFFFu);
    for (auto [index, opcode] : {std::pair{5u, 5633u}, std::pair{6u, 6u}}) {
        std::vector<std::uint32_t>& words = cases[index].words;
        std::size_t at = FindInstruction(words, opcode);
        if (at == 0 && opcode == 5633) at = FindInstruction(words, 72);  // plain OpMemberDecorate
        ASSERT_NE(at, 0u) << cases[index].what;
        words[at + 2] = 0x40000004;  // member index
    }
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(sys::ValidateSpirv(c.words, ShaderStage::Pixel, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    // The SPIR-V validator itself lets this one through; the back end would size a table by the index.
    std::string error;
    sys::ValidateSpirv(cases[5].words, ShaderStage::Pixel, &error);
    EXPECT_EQ(error, "a member name or decoration names no member of its structure");
}

}  // namespace
