#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/render/shader_assembly.h"
#include "expected_registers.h"

namespace {

using namespace engine;
using rendertest::ExpectedRegister;

constexpr const char* kMatColour = "float4 MatColour : register(c0);\n";
constexpr const char* kMainPix = "\tfloat4 MainPix = MatColour;\n";

std::string PixelText(std::uint32_t flags, int model, bool bump) {
    std::string text = "stale text that the builder must replace";
    BuildGenericPixelShader(text, flags, model, bump, kMatColour, kMainPix);
    return text;
}

std::string VertexText(std::uint32_t flags, bool skinned, bool instanced, bool shell, bool bump) {
    std::string text = "stale";
    BuildGenericVertexShader(text, skinned, instanced, shell, flags, bump);
    return text;
}

// The uniforms a text declares at global scope ("float4x4 Name[4] : register(c34);").
std::vector<ExpectedRegister> DeclaredRegisters(const std::string& text) {
    static const std::regex declaration(
        R"(^(float4x4|float4|sampler2D) (\w+)(\[(\d+)\])? : register\(([cs])(\d+)\);$)");
    std::vector<ExpectedRegister> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, declaration)) continue;
        const int elements = m[4].matched ? std::stoi(m[4]) : 1;
        const int perElement = m[1] == "float4x4" ? 4 : 1;
        const char kind = m[5].str()[0];
        found.push_back({m[2], kind, std::stoi(m[6]), kind == 's' ? 0 : elements * perElement});
    }
    return rendertest::Sorted(found);
}

// Semantic -> type of the members of one structure.
std::map<std::string, std::string> StructMembers(const std::string& text, const std::string& name) {
    std::map<std::string, std::string> members;
    const std::size_t start = text.find("struct " + name + "\n{\n");
    if (start == std::string::npos) return members;
    const std::size_t end = text.find("};", start);
    static const std::regex member(R"(^\t(\w+) (\w+) : (\w+);$)");
    std::istringstream lines(text.substr(start, end - start));
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_match(line, m, member)) members[m[3]] = m[1];
    }
    return members;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(ShaderText, PixelShadersDeclareTheRegistersOfTheirKey) {
    for (std::uint32_t flags : {0x00u, 0x01u, 0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x40u, 0x80u, 0x1Fu, 0xFFu}) {
        for (int model = 0; model <= 4; ++model) {
            for (bool bump : {false, true}) {
                EXPECT_EQ(DeclaredRegisters(PixelText(flags, model, bump)),
                          rendertest::ExpectedPixelRegisters(flags, model, bump))
                    << "flags " << flags << " model " << model << " bump " << bump;
            }
        }
    }
}

TEST(ShaderText, VertexShadersDeclareTheRegistersOfTheirKey) {
    for (std::uint32_t flags : {0x00u, 0x1Fu, 0x20u, 0x40u, 0x80u, 0xE0u, 0xFFu}) {
        for (int kind = 0; kind < 4; ++kind) {
            const bool skinned = kind == 1, instanced = kind == 2, shell = kind == 3;
            EXPECT_EQ(DeclaredRegisters(VertexText(flags, skinned, instanced, shell, true)),
                      rendertest::ExpectedVertexRegisters(flags, skinned, instanced, shell))
                << "flags " << flags << " kind " << kind;
        }
    }
}

TEST(ShaderText, SplitShadowWithoutTheDirectionalLightDeclaresOnlyTheShadowResources) {
    const std::string text = PixelText(0x20, 1, false);
    EXPECT_NE(text.find("sampler2D ShadowMap_LT_DIRECTIONAL : register(s7);"), std::string::npos);
    EXPECT_NE(text.find("float4x4 PSSM_4x4[4] : register(c34);"), std::string::npos);
    EXPECT_EQ(text.find("LightDir_LT_DIRECTIONAL"), std::string::npos);
    EXPECT_EQ(text.find("LightCol_LT_DIRECTIONAL"), std::string::npos);
    EXPECT_EQ(text.find("ShadowPix"), std::string::npos);  // no light block to shadow
}

TEST(ShaderText, NoLightsLeaveOnlyTheAmbientTerm) {
    const std::string text = PixelText(0, 1, false);
    EXPECT_NE(text.find("float3 CalculatedDiffuse = 0;"), std::string::npos);
    EXPECT_EQ(Count(text, "CalculatedDiffuse +="), 0u);
    EXPECT_NE(text.find("float3 Lighting = (Ambient.rgb + Diffuse.rgb * CalculatedDiffuse) * In.VertCol.rgb;"),
              std::string::npos);
    EXPECT_NE(text.find("return float4(MainPix.rgb * Lighting, MainPix.a);"), std::string::npos);
    EXPECT_NE(PixelText(0xFF, 0, true).find("return MainPix * In.VertCol;"), std::string::npos);
}

// Every variant of the sweep carries the guarded numeric forms, one block per light and a lit ShadowPix
// before any split lookup.
TEST(ShaderText, EveryPixelVariantUsesTheGuardedForms) {
    for (std::uint32_t flags = 0; flags < 256; ++flags) {
        for (int model = 0; model <= 4; ++model) {
            for (bool bump : {false, true}) {
                SCOPED_TRACE(testing::Message() << "flags " << flags << " model " << model << " bump " << bump);
                const std::string text = PixelText(flags, model, bump);
                ASSERT_EQ(Count(text, "{"), Count(text, "}"));
                EXPECT_EQ(Count(text, "pow("), Count(text, "pow(max("));
                EXPECT_EQ(Count(text, "acos("), Count(text, "acos(saturate("));
                EXPECT_EQ(Count(text, "/ NdotH"), 0u);
                EXPECT_EQ(Count(text, "/ (NdotL * NdotV)"), 0u);
                EXPECT_EQ(Count(text, "NdotL * NdotV"), Count(text, "(saturate(NdotL * NdotV) + 0.00001)"));
                const std::size_t lights = model == 0 ? 0 : std::popcount(flags & 0x1Fu);
                // One guarded Cook-Torrance function, called once per light.
                const std::size_t cookFunctions = model == 3 ? 1 : 0;
                EXPECT_EQ(Count(text, "float G1 = 2 * NdotV;"), cookFunctions);
                EXPECT_EQ(Count(text, "/ (saturate(NdotH) + 0.00001)"), cookFunctions);
                EXPECT_EQ(Count(text, "CookTorrance(Normal, V, "), model == 3 ? lights : 0u);
                EXPECT_EQ(Count(text, "\n\t{\n"), lights);
                const bool split = model != 0 && (flags & 0x21u) == 0x21u;
                EXPECT_EQ(Count(text, "float ShadowPix = 1;"), split ? 1u : 0u);
                if (split) {
                    EXPECT_LT(text.find("float ShadowPix = 1;"), text.find("int Split = 4;"));
                }
            }
        }
    }
}

TEST(ShaderText, ShadowTapOffsetsAreOneTexelOfTheirMap) {
    const std::string spot = PixelText(0x42, 1, false);
    EXPECT_NE(spot.find("tex2D(ShadowMap_LT_SPOT_1, ShadowUV + float2(0.000244, 0.000244)).r + Bias;"),
              std::string::npos);
    const std::string split = PixelText(0x21, 1, false);
    EXPECT_NE(split.find("ShadowUV + float2(0.000488, 0.000000)"), std::string::npos);
    EXPECT_NE(split.find("ShadowUV + float2(0.000000, 0.000488)"), std::string::npos);
}

// The pixel shader reads each varying under its own name but the vertex shader's semantic and type.
TEST(ShaderText, PixelInputsMatchVertexOutputsBySemantic) {
    for (std::uint32_t flags = 0; flags < 256; ++flags) {
        for (bool bump : {false, true}) {
            const auto outputs = StructMembers(VertexText(flags, false, false, false, bump), "VS_OUT");
            const auto inputs = StructMembers(PixelText(flags, 1, bump), "PS_IN");
            ASSERT_FALSE(inputs.empty());
            for (const auto& [semantic, type] : inputs) {
                ASSERT_TRUE(outputs.count(semantic)) << semantic << " flags " << flags;
                EXPECT_EQ(outputs.at(semantic), type) << semantic;
            }
            EXPECT_EQ(outputs.size(), inputs.size() + 1) << "only POSITION0 is not read";
            EXPECT_EQ(outputs.count("POSITION0"), 1u);
        }
    }
}

TEST(ShaderText, VertexInputsFollowTheVertexKind) {
    const auto plain = StructMembers(VertexText(0, false, false, false, false), "VS_IN");
    EXPECT_EQ(plain, (std::map<std::string, std::string>{{"POSITION0", "float4"},
                                                         {"COLOR0", "float4"},
                                                         {"NORMAL0", "float4"},
                                                         {"NORMAL1", "float4"},
                                                         {"TEXCOORD0", "float2"},
                                                         {"TEXCOORD1", "float2"}}));
    const auto skinned = StructMembers(VertexText(0, true, false, false, false), "VS_IN");
    EXPECT_EQ(skinned.at("BLENDINDICES0"), "int4");
    EXPECT_EQ(skinned.at("BLENDWEIGHT0"), "float4");
    const auto instanced = StructMembers(VertexText(0, false, true, false, false), "VS_IN");
    for (const char* row : {"POSITION1", "POSITION2", "POSITION3", "POSITION4"}) EXPECT_EQ(instanced.at(row), "float3");

    std::string depth;
    BuildDepthOnlyVertexShader(depth, true, false);
    EXPECT_EQ(StructMembers(depth, "VS_OUT"),
              (std::map<std::string, std::string>{{"POSITION0", "float4"}, {"TEXCOORD0", "float"}}));
    EXPECT_EQ(StructMembers(depth, "VS_IN").size(), 3u);
    EXPECT_EQ(DeclaredRegisters(depth),
              rendertest::Sorted({{"Proj", 'c', 0, 4}, {"ModelToWorld", 'c', 8, 4}, {"BonePalette", 'c', 33, 160}}));
}

}  // namespace
