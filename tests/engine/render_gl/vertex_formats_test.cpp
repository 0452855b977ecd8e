// Each vertex format reaches the shaders with the values its encodings stand for.
#include <string>

#include "engine/render/vertex_packing.h"
#include "render_test_fixture.h"
#include "support/quad_mesh.h"

namespace {

using engine::Matrix44;
using engine::VertexSource;
using rendertest::GraphicsDeviceTest;

// One triangle over the whole target (positions in clip space) in a packed format.
std::vector<std::uint8_t> Cover(int format, VertexSource source) {
    const float corners[3][2] = {{-1, -1}, {-1, 3}, {3, -1}};
    const int stride = engine::VertexFormatStride(format);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stride) * 3);
    for (int i = 0; i < 3; ++i) {
        source.position = {corners[i][0], corners[i][1], 0.5f};
        EXPECT_TRUE(engine::WritePackedVertex(format, source, {}, bytes.data() + i * stride));
    }
    return bytes;
}

// A vertex shader showing one input as the colour: `input` is its declaration, `colour` the expression.
std::string ShowInput(const std::string& input, const std::string& colour, const std::string& uniforms = "") {
    return uniforms + "struct VS_OUT { float4 Pos : POSITION; float4 Col : COLOR0; };\n"
                      "VS_OUT main(float4 Pos : POSITION0, " +
           input + ") { VS_OUT o; o.Pos = Pos; o.Col = " + colour + "; return o; }\n";
}

constexpr const char* kColourPixelShader = "float4 main(float4 Col : COLOR0) : COLOR { return Col; }";

class VertexFormatTest : public GraphicsDeviceTest {
protected:
    void SetUp() override {
        GraphicsDeviceTest::SetUp();
        Create();
        device_->SetCullMode(sys::kCullNone);
        device_->SetDepthMode(false, false, false);
    }
    std::array<int, 4> Draw(int format, const VertexSource& source, const std::string& vertexShader) {
        UseShaders(vertexShader, kColourPixelShader);
        EXPECT_TRUE(declarations_->Select(format));
        const std::vector<std::uint8_t> bytes = Cover(format, source);
        EXPECT_EQ(Gpu().DrawPrimitiveUP(sys::kPrimTriangleList, 1, bytes.data(),
                                        static_cast<std::uint32_t>(engine::VertexFormatStride(format))),
                  sys::kGpuOk);
        return Pixel(5, 5);
    }
};

TEST_F(VertexFormatTest, NormalBytesReadUnnormalised) {
    VertexSource source;
    source.normal = {-1.0f, 0.0f, 1.0f};
    EXPECT_EQ(Draw(engine::kVertexNormal, source, ShowInput("float4 N : NORMAL0", "N / 255")),
              (std::array<int, 4>{0, 127, 254, 0}));
}

TEST_F(VertexFormatTest, ColourReadsNormalisedWithAlpha) {
    VertexSource source;
    source.colour = 0xFF102030;
    EXPECT_EQ(Draw(engine::kVertexColour, source, ShowInput("float4 C : COLOR0", "C")),
              (std::array<int, 4>{0x10, 0x20, 0x30, 0xFF}));
}

TEST_F(VertexFormatTest, TextureCoordinatesReadAsShorts) {
    VertexSource source;
    source.uv0 = {1.0f, -0.5f};
    // 4095 and -2047 arrive unnormalised.
    EXPECT_EQ(Draw(engine::kVertexTexture, source,
                   ShowInput("float2 T : TEXCOORD0", "float4(T.x / 4095, -T.y / 4095, T.x == 4095, T.y == -2047)")),
              (std::array<int, 4>{255, 127, 255, 255}));
}

TEST_F(VertexFormatTest, MeshFormatsCarryEveryElement) {
    VertexSource source;
    source.normal = {0.0f, 1.0f, 0.0f};
    source.tangent = {1.0f, 0.0f, 0.0f};
    source.bitangent = {0.0f, 0.0f, -1.0f};  // (normal x tangent) = (0, 0, -1): right-handed, 0xFE
    source.colour = 0x80402010;
    source.uv0 = {0.25f, 0.375f};
    source.uv1 = {0.75f, 0.125f};
    source.boneIndices[0] = 1;
    source.boneIndices[1] = 3;
    source.packedWeights = 0x10204080;
    for (int format : {engine::kVertexMesh, engine::kVertexSkinned}) {
        SCOPED_TRACE(format);
        EXPECT_EQ(Draw(format, source, ShowInput("float4 N : NORMAL0", "N / 255")),
                  (std::array<int, 4>{127, 254, 127, 0}));
        EXPECT_EQ(Draw(format, source, ShowInput("float4 T : NORMAL1", "T / 255")),
                  (std::array<int, 4>{254, 127, 127, 0xFE}));
        EXPECT_EQ(Draw(format, source, ShowInput("float4 C : COLOR0", "C")),
                  (std::array<int, 4>{0x40, 0x20, 0x10, 0x80}));
        EXPECT_EQ(Draw(format, source, ShowInput("float2 A : TEXCOORD0, float2 B : TEXCOORD1", "float4(A, B) / 4095")),
                  (std::array<int, 4>{64, 96, 191, 32}));
    }
    const std::string bones = "float4 Bones[4] : register(c33);\n";
    const float values[4][4] = {{0, 0, 0, 1}, {0.2f, 0, 0, 1}, {0, 0.4f, 0, 1}, {0, 0, 0.6f, 1}};
    Gpu().SetVertexShaderConstantF(33, &values[0][0], 4);
    EXPECT_EQ(Draw(engine::kVertexSkinned, source, ShowInput("int4 I : BLENDINDICES0", "Bones[I.y]", bones)),
              (std::array<int, 4>{0, 0, 153, 255}))
        << "bone index 3 selects register c36";
    EXPECT_EQ(Draw(engine::kVertexSkinned, source, ShowInput("float4 W : BLENDWEIGHT0", "W / 255")),
              (std::array<int, 4>{0x80, 0x40, 0x20, 0x10}));
}

TEST_F(VertexFormatTest, AnInstancedDrawOfFourEqualsFourSingleDraws) {
    const std::string singleShader = ShowInput("float4 C : COLOR0", "C", "float4x3 ModelToWorld : register(c8);\n");
    const std::string single = std::string(singleShader).replace(singleShader.find("o.Pos = Pos;"), 12,
                                                                 "o.Pos = float4(mul(Pos, ModelToWorld), 1);");
    // A quad in format 4, colours per corner.
    const testsupport::QuadBuffers quad = testsupport::MakeQuadBuffers(Gpu(), [](int i, VertexSource& source) {
        source.colour = 0xFF000000u | (0x40u << (8 * (i % 3))) | 0x202020u;
    });
    sys::GpuVertexBuffer* vertices = quad.vertices;
    sys::GpuIndexBuffer* indexBuffer = quad.indices;
    ASSERT_TRUE(vertices != nullptr && indexBuffer != nullptr);
    Gpu().SetStreamSource(0, vertices, 0, 32);
    Gpu().SetIndices(indexBuffer);

    UseShaders(single, kColourPixelShader);
    declarations_->Select(engine::kVertexMesh);
    Gpu().Clear(0, nullptr, sys::kClearTarget, 0xFF000000, 1.0f, 0);
    for (int i = 0; i < 4; ++i) {
        const Matrix44 transposed = rendertest::InstancePlacement(i).Transpose();
        Gpu().SetVertexShaderConstantF(8, &transposed.m[0][0], 4);
        ASSERT_EQ(Gpu().DrawIndexedPrimitive(sys::kPrimTriangleList, 0, 0, 4, 0, 2), sys::kGpuOk);
    }
    const std::vector<std::uint8_t> singles = Picture();

    // The instance rows go through the engine's dynamic buffer in format 7.
    int first = -1;
    auto* rows = static_cast<float*>(engine::GlobalDynamicVertexBuffer()->Lock(engine::kVertexInstanceRows, 4, first));
    ASSERT_NE(rows, nullptr);
    for (int i = 0; i < 4; ++i) {
        const Matrix44 m = rendertest::InstancePlacement(i);
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 3; ++c) *rows++ = m.m[r][c];
        }
    }
    engine::GlobalDynamicVertexBuffer()->Unlock();
    UseShaders(rendertest::kInstancedColourVertexShader, kColourPixelShader);
    declarations_->Select(engine::kVertexInstancedMesh);
    Gpu().Clear(0, nullptr, sys::kClearTarget, 0xFF000000, 1.0f, 0);
    Gpu().SetStreamSource(1, engine::GlobalDynamicVertexBuffer()->Buffer(), static_cast<std::uint32_t>(first) * 48, 48);
    Gpu().SetStreamSourceFreq(0, sys::kStreamIndexedData | 4);
    Gpu().SetStreamSourceFreq(1, sys::kStreamInstanceData | 1);
    ASSERT_EQ(Gpu().DrawIndexedPrimitive(sys::kPrimTriangleList, 0, 0, 4, 0, 2), sys::kGpuOk);
    Gpu().SetStreamSourceFreq(0, 1);
    Gpu().SetStreamSourceFreq(1, 1);
    const std::vector<std::uint8_t> instancedPicture = Picture();
    EXPECT_EQ(instancedPicture, singles);
    bool drawn = false;
    for (std::size_t i = 0; i < singles.size(); i += 4) drawn = drawn || singles[i] != 0 || singles[i + 1] != 0;
    EXPECT_TRUE(drawn);
    Gpu().SetStreamSource(1, nullptr, 0, 0);
    vertices->Release();
    indexBuffer->Release();
}

}  // namespace
