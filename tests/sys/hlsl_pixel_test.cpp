// Draws with translated shaders and checks the pixels against values computed on the CPU (±1 per channel).
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shader_test_helpers.h"
#include "support/gl_test_environment.h"
#include "support/shader_draw_fixture.h"

namespace {

using shadertest::Program;
using testsupport::Float4;
using testsupport::ShaderDrawFixture;

constexpr const char* kPassThroughVertex = "float4 main(float4 p : POSITION) : POSITION { return p; }";

int Byte(float value) { return static_cast<int>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

void ExpectPixel(const ShaderDrawFixture& fixture, int x, int y, const Float4& expected, const std::string& what) {
    const std::array<int, 4> pixel = fixture.Pixel(x, y);
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(pixel[c], Byte(expected[c]), 1) << what << ", channel " << c;
    }
}

// Two triangles covering the whole target, in clip space (D3D: z 0..w), with a w to scale by.
std::vector<float> FullScreen(float z = 0.5f, float w = 1.0f) {
    const float corners[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
    std::vector<float> values;
    for (const auto& corner : corners) values.insert(values.end(), {corner[0] * w, corner[1] * w, z * w, w});
    return values;
}

// The D3D9 screen rectangle [left, right] x [top, bottom] (pixel centres on integers, y down) in clip space.
std::vector<float> ScreenQuad(const ShaderDrawFixture& fixture, float left, float top, float right, float bottom,
                              float z, float w) {
    const auto clipX = [&](float x) { return (2.0f * x / static_cast<float>(fixture.Width()) - 1.0f) * w; };
    const auto clipY = [&](float y) { return (1.0f - 2.0f * y / static_cast<float>(fixture.Height())) * w; };
    const float corners[6][2] = {{left, top}, {right, top}, {right, bottom}, {left, top}, {right, bottom}, {left, bottom}};
    std::vector<float> values;
    for (const auto& corner : corners) values.insert(values.end(), {clipX(corner[0]), clipY(corner[1]), z * w, w});
    return values;
}

class HlslPixels : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testsupport::GlEnvironment().Ready()); }
};

TEST_F(HlslPixels, VaryingsLinkBySemanticNotByNameOrOrder) {
    const Program program(R"(
struct VS_OUT { float4 ProjPos : POSITION0; float4 Col : COLOR0; float4 NormW : TEXCOORD7; float4 PosW : TEXCOORD6;
                float2 UV1 : TEXCOORD0; };
VS_OUT main(float4 Pos : POSITION0) {
	VS_OUT Out;
	Out.ProjPos = Pos;
	Out.Col = float4(0.1, 0.2, 0.3, 0.4);
	Out.NormW = float4(0.5, 0.6, 0.7, 0.8);
	Out.PosW = float4(0.15, 0.25, 0.35, 0.45);
	Out.UV1 = float2(0.55, 0.65);
	return Out;
}
)",
                          R"(
float4 Select : register(c0);
struct PS_IN { float2 UV1 : TEXCOORD0; float4 PosWorld : TEXCOORD6; float4 VertCol : COLOR0; float4 NormWorld : TEXCOORD7; };
float4 main(PS_IN In) : COLOR {
	return Select.x * In.VertCol + Select.y * In.NormWorld + Select.z * In.PosWorld + Select.w * float4(In.UV1, 0.75, 0.85);
}
)");
    ASSERT_NE(program.Id(), 0u) << program.Error();
    ShaderDrawFixture fixture(4, 4);
    fixture.SetAttribute("POSITION0", 4, FullScreen());
    const struct {
        Float4 select;
        Float4 expected;
    } cases[] = {{{1, 0, 0, 0}, {0.1f, 0.2f, 0.3f, 0.4f}},
                 {{0, 1, 0, 0}, {0.5f, 0.6f, 0.7f, 0.8f}},
                 {{0, 0, 1, 0}, {0.15f, 0.25f, 0.35f, 0.45f}},
                 {{0, 0, 0, 1}, {0.55f, 0.65f, 0.75f, 0.85f}}};
    for (const auto& c : cases) {
        fixture.SetPixelRegister(0, c.select);
        fixture.Clear({0, 0, 0, 0});
        ASSERT_TRUE(fixture.Draw(program.Id(), 6)) << fixture.LastError();
        ExpectPixel(fixture, 2, 1, c.expected, "select " + std::to_string(c.select[1]) + std::to_string(c.select[2]));
    }
}

TEST_F(HlslPixels, MismatchedAndUnwrittenInputsLinkAndReadAsShaderModel3Does) {
    const Program program(R"(
struct VS_OUT { float4 P : POSITION; float4 Wide : TEXCOORD1; float2 Narrow : TEXCOORD2; float One : TEXCOORD3; };
VS_OUT main(float4 p : POSITION) {
	VS_OUT o;
	o.P = p;
	o.Wide = float4(0.1, 0.2, 0.3, 0.4);
	o.Narrow = float2(0.5, 0.6);
	o.One = 0.7;
	return o;
}
)",
                          R"(
float4 Select : register(c0);
struct PS_IN { float2 Wide : TEXCOORD1; float4 Narrow : TEXCOORD2; float3 One : TEXCOORD3; float4 Unwritten : TEXCOORD5; };
float4 main(PS_IN In) : COLOR {
	return Select.x * float4(In.Wide, 0.9, 0.8) + Select.y * In.Narrow + Select.z * float4(In.One, 0.95)
	       + Select.w * (In.Unwritten + 0.5);
}
)");
    ASSERT_NE(program.Id(), 0u) << program.Error();
    ShaderDrawFixture fixture(4, 4);
    fixture.SetAttribute("POSITION0", 4, FullScreen());
    const struct {
        Float4 select;
        Float4 expected;
    } cases[] = {{{1, 0, 0, 0}, {0.1f, 0.2f, 0.9f, 0.8f}},
                 {{0, 1, 0, 0}, {0.5f, 0.6f, 0.0f, 1.0f}},
                 {{0, 0, 1, 0}, {0.7f, 0.0f, 0.0f, 0.95f}},
                 {{0, 0, 0, 1}, {0.5f, 0.5f, 0.5f, 0.5f}}};
    for (const auto& c : cases) {
        fixture.SetPixelRegister(0, c.select);
        fixture.Clear({0, 0, 0, 0});
        ASSERT_TRUE(fixture.Draw(program.Id(), 6)) << fixture.LastError();
        ExpectPixel(fixture, 1, 2, c.expected, "case " + std::to_string(&c - cases));
    }
}

TEST_F(HlslPixels, MatrixProductsMatchTheRowVectorConvention) {
    // Non-symmetric, uploaded as the engine uploads a row-vector matrix (transposed, four registers).
    float m[4][4];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) m[r][c] = static_cast<float>(r * 4 + c + 1) / 80.0f;
    }
    const Float4 v = {0.9f, 0.7f, 0.5f, 0.3f};
    Float4 vM{}, v3M3{0, 0, 0, 1}, Mv{};
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            vM[j] += v[i] * m[i][j];
            Mv[j] += m[j][i] * v[i];
            if (i < 3 && j < 3) v3M3[j] += v[i] * m[i][j];
        }
    }
    const struct {
        const char* expression;
        Float4 expected;
    } cases[] = {{"mul(V, M)", vM}, {"float4(mul(V.xyz, (float3x3)M), 1)", v3M3}, {"mul(M, V)", Mv}};

    for (const auto& c : cases) {
        const std::string vertex = std::string(R"(
float4x4 M : register(c0);
float4 V : register(c4);
struct VS_OUT { float4 Pos : POSITION; float4 R : TEXCOORD0; };
VS_OUT main(float4 p : POSITION) { VS_OUT o; o.Pos = p; o.R = )") +
                                   c.expression + "; return o; }";
        const Program program(vertex, "float4 main(float4 r : TEXCOORD0) : COLOR { return r; }");
        ASSERT_NE(program.Id(), 0u) << program.Error();
        ShaderDrawFixture fixture(4, 4);
        fixture.SetAttribute("POSITION0", 4, FullScreen());
        fixture.SetVertexMatrix(0, m);
        fixture.SetVertexRegister(4, v);
        fixture.Clear({0, 0, 0, 0});
        ASSERT_TRUE(fixture.Draw(program.Id(), 6)) << fixture.LastError();
        ExpectPixel(fixture, 3, 3, c.expected, c.expression);
    }
}

TEST_F(HlslPixels, AOnePixelQuadLightsExactlyItsPixelAtItsDepth) {
    const Program program(kPassThroughVertex, "float4 main() : COLOR { return float4(1, 0.5, 0.25, 1); }");
    ASSERT_NE(program.Id(), 0u) << program.Error();
    ShaderDrawFixture fixture(8, 6);
    const struct {
        int x, y;
        float w;
    } cases[] = {{0, 0, 1.0f}, {7, 5, 1.0f}, {3, 1, 2.0f}, {5, 4, 0.5f}};
    for (const auto& c : cases) {
        const std::string what = "pixel " + std::to_string(c.x) + "," + std::to_string(c.y) + " w " + std::to_string(c.w);
        const auto fx = static_cast<float>(c.x);
        const auto fy = static_cast<float>(c.y);
        fixture.SetAttribute("POSITION0", 4, ScreenQuad(fixture, fx - 0.5f, fy - 0.5f, fx + 0.5f, fy + 0.5f, 0.5f, c.w));
        fixture.Clear({0, 0, 0, 0});
        ASSERT_TRUE(fixture.Draw(program.Id(), 6)) << fixture.LastError();

        // Read-back rows come top first: the lit byte is at row y.
        const std::vector<std::uint8_t> pixels = fixture.ReadColour();
        for (int y = 0; y < fixture.Height(); ++y) {
            for (int x = 0; x < fixture.Width(); ++x) {
                const bool lit = pixels[(static_cast<std::size_t>(y) * fixture.Width() + x) * 4] != 0;
                EXPECT_EQ(lit, x == c.x && y == c.y) << what << ": pixel " << x << "," << y;
            }
        }
        EXPECT_NEAR(fixture.ReadDepth(c.x, c.y), 0.5f, 1e-5f) << what;
        EXPECT_NEAR(fixture.ReadDepth((c.x + 1) % fixture.Width(), c.y), 1.0f, 1e-5f) << what;
    }
}

TEST_F(HlslPixels, DepthOutputWritesTheDepth) {
    const Program program(kPassThroughVertex, R"(
struct PS_OUT { float4 Colour : COLOR0; float Depth : DEPTH; };
PS_OUT main() { PS_OUT o; o.Colour = 1; o.Depth = 0.25; return o; }
)");
    ASSERT_NE(program.Id(), 0u) << program.Error();
    ShaderDrawFixture fixture(2, 2);
    fixture.SetAttribute("POSITION0", 4, FullScreen(0.75f));
    fixture.Clear({0, 0, 0, 0});
    ASSERT_TRUE(fixture.Draw(program.Id(), 6)) << fixture.LastError();
    EXPECT_NEAR(fixture.ReadDepth(1, 0), 0.25f, 1e-5f);
}

TEST_F(HlslPixels, AlphaTestKeepsAlphaAtOrAboveTheReference) {
    const Program program(kPassThroughVertex, "float4 A : register(c0);\nfloat4 main() : COLOR { return A; }");
    ASSERT_NE(program.Id(), 0u) << program.Error();
    ShaderDrawFixture fixture(2, 2);
    fixture.SetAttribute("POSITION0", 4, FullScreen());
    const struct {
        float enable;
        float reference;
        int alpha;
        bool drawn;
    } cases[] = {{1, 128, 128, true}, {1, 128, 127, false}, {0, 128, 127, true}, {0, 255, 0, true},
                 {1, 0, 0, true},     {1, 255, 255, true},  {1, 255, 254, false}};
    for (const auto& c : cases) {
        const std::string what = "enable " + std::to_string(c.enable) + " reference " + std::to_string(c.reference) +
                                 " alpha " + std::to_string(c.alpha);
        fixture.SetPixelRegister(0, {1.0f, 1.0f, 1.0f, static_cast<float>(c.alpha) / 255.0f});
        fixture.SetPixelRegister(255, {c.enable, c.reference, 0, 0});
        fixture.Clear({0, 0, 0, 0});
        ASSERT_TRUE(fixture.Draw(program.Id(), 6)) << fixture.LastError();
        const std::array<int, 4> pixel = fixture.Pixel(1, 1);
        EXPECT_EQ(pixel[0], c.drawn ? 255 : 0) << what;
        if (c.drawn) {
            EXPECT_EQ(pixel[3], c.alpha) << what;
        }
    }
}

TEST_F(HlslPixels, FmodTruncatesTowardZero) {
    // Negative texture coordinates, a negative constant and a literal the compiler folds: fmod(-1.25, 1) is -0.25,
    // where a flooring mod gives 0.75. Each result r is written as (r + 1) / 2.
    const Program program(R"(
struct VS_OUT { float4 P : POSITION; float2 UV : TEXCOORD0; };
VS_OUT main(float4 p : POSITION, float2 uv : TEXCOORD0) { VS_OUT o; o.P = p; o.UV = uv; return o; }
)",
                          R"(
float4 C : register(c0);
float4 main(float2 uv : TEXCOORD0) : COLOR {
	return (float4(fmod(uv, 1.0), fmod(C.x, C.y), fmod(-1.25, 1.0)) + 1) * 0.5;
}
)");
    ASSERT_NE(program.Id(), 0u) << program.Error();
    ShaderDrawFixture fixture(2, 2);
    fixture.SetAttribute("POSITION0", 4, FullScreen());
    std::vector<float> uv;
    for (int i = 0; i < 6; ++i) uv.insert(uv.end(), {-1.25f, -2.75f});
    fixture.SetAttribute("TEXCOORD0", 2, uv);
    fixture.SetPixelRegister(0, {-2.5f, 2.0f, 0, 0});
    fixture.Clear({0, 0, 0, 0});
    ASSERT_TRUE(fixture.Draw(program.Id(), 6)) << fixture.LastError();
    const auto half = [](float r) { return (r + 1.0f) * 0.5f; };
    ExpectPixel(fixture, 0, 1, {half(-0.25f), half(-0.75f), half(-0.5f), half(-0.25f)}, "fmod");
}

}  // namespace
