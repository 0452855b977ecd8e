// The graphics layer's draws: buffers, indices, instancing, drawing from memory, the alpha test, constant
// registers and shader pairs.
#include <cstring>

#include "gpu_test_fixture.h"

namespace {

using gputest::ColourVertex;
using gputest::GpuDeviceTest;
using gputest::Ref;
using gputest::Rgba;
using gputest::Words;
using namespace sys;

// A quad over the screen rectangle [x0, x1] x [y0, y1] in clip space, as a strip-free list of 4 corners
// (top-left, top-right, bottom-right, bottom-left).
std::vector<ColourVertex> Corners(float x0, float y0, float x1, float y1, std::uint32_t argb) {
    return {{x0, y0, 0.5f, argb}, {x1, y0, 0.5f, argb}, {x1, y1, 0.5f, argb}, {x0, y1, 0.5f, argb}};
}

constexpr std::uint16_t kQuadIndices[] = {0, 1, 2, 0, 2, 3};

template <typename Buffer, typename T>
void Fill(Buffer* buffer, std::uint32_t offset, const T* data, std::size_t bytes, std::uint32_t flags = 0) {
    void* target = nullptr;
    ASSERT_EQ(buffer->Lock(offset, static_cast<std::uint32_t>(bytes), &target, flags), kGpuOk);
    std::memcpy(target, data, bytes);
    ASSERT_EQ(buffer->Unlock(), kGpuOk);
}

TEST_F(GpuDeviceTest, IndexedDrawsUseTheBaseVertexAndTheIndexRange) {
    UseColourShaders();
    std::vector<ColourVertex> vertices = Corners(-1, 1, 0, -1, 0xFFFF0000);
    const std::vector<ColourVertex> right = Corners(0, 1, 1, -1, 0xFF00FF00);
    vertices.insert(vertices.end(), right.begin(), right.end());
    Ref<GpuVertexBuffer> buffer(device_->CreateVertexBuffer(sizeof(ColourVertex) * 8, kUsageWriteOnly, kPoolManaged));
    Ref<GpuIndexBuffer> indices(device_->CreateIndexBuffer(sizeof kQuadIndices, kUsageWriteOnly, kFmtIndex16,
                                                           kPoolManaged));
    ASSERT_TRUE(buffer && indices);
    Fill(buffer.get(), 0, vertices.data(), vertices.size() * sizeof(ColourVertex));
    Fill(indices.get(), 0, kQuadIndices, sizeof kQuadIndices);
    device_->SetStreamSource(0, buffer.get(), 0, sizeof(ColourVertex));
    device_->SetIndices(indices.get());
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device_->DrawIndexedPrimitive(kPrimTriangleList, 4, 0, 4, 0, 2), kGpuOk);
    EXPECT_EQ(Pixel(4, 4), Rgba(0xFF000000));
    EXPECT_EQ(Pixel(27, 4), Rgba(0xFF00FF00));
    ASSERT_EQ(device_->DrawIndexedPrimitive(kPrimTriangleList, 0, 0, 4, 3, 1), kGpuOk);
    EXPECT_EQ(Pixel(2, 20), Rgba(0xFFFF0000));  // the second triangle: top-left, bottom-right, bottom-left
    EXPECT_EQ(Pixel(13, 2), Rgba(0xFF000000));
    // Indices beyond the buffer are refused.
    EXPECT_EQ(device_->DrawIndexedPrimitive(kPrimTriangleList, 0, 0, 4, 3, 2), kGpuInvalidCall);
}

TEST_F(GpuDeviceTest, DynamicBuffersAppendWithoutOverwriteAndStartAfreshOnDiscard) {
    UseColourShaders();
    Ref<GpuVertexBuffer> buffer(
        device_->CreateVertexBuffer(sizeof(ColourVertex) * 12, kUsageDynamic | kUsageWriteOnly, kPoolDefault));
    ASSERT_TRUE(buffer);
    const std::uint32_t red = 0xFFFF0000;
    const std::uint32_t blue = 0xFF0000FF;
    const std::vector<ColourVertex> left = {{-1, 1, 0.5f, red}, {0, 1, 0.5f, red}, {0, -1, 0.5f, red}};
    const std::vector<ColourVertex> right = {{0, 1, 0.5f, blue}, {1, 1, 0.5f, blue}, {1, -1, 0.5f, blue}};
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    Fill(buffer.get(), 0, left.data(), sizeof(ColourVertex) * 3, kLockDiscard);
    device_->SetStreamSource(0, buffer.get(), 0, sizeof(ColourVertex));
    ASSERT_EQ(device_->DrawPrimitive(kPrimTriangleList, 0, 1), kGpuOk);
    Fill(buffer.get(), sizeof(ColourVertex) * 3, right.data(), sizeof(ColourVertex) * 3, kLockNoOverwrite);
    ASSERT_EQ(device_->DrawPrimitive(kPrimTriangleList, 3, 1), kGpuOk);
    EXPECT_EQ(Pixel(12, 2), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(30, 2), Rgba(0xFF0000FF));

    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(sizeof(ColourVertex) * 12, 1, &data, kLockNoOverwrite), kGpuInvalidCall);
    EXPECT_EQ(data, nullptr);
    ASSERT_EQ(buffer->Lock(0, 0, &data, kLockDiscard), kGpuOk);
    EXPECT_EQ(buffer->Lock(0, 0, &data, kLockDiscard), kGpuInvalidCall);
    EXPECT_EQ(buffer->Unlock(), kGpuOk);
    EXPECT_EQ(buffer->Unlock(), kGpuInvalidCall);
}

TEST_F(GpuDeviceTest, DrawingFromMemoryLeavesStreamZeroUnbound) {
    UseColourShaders();
    Ref<GpuVertexBuffer> buffer(device_->CreateVertexBuffer(sizeof(ColourVertex) * 6, 0, kPoolManaged));
    const std::vector<ColourVertex> screen = FullScreen(0xFF00FF00);
    Fill(buffer.get(), 0, screen.data(), screen.size() * sizeof(ColourVertex));
    device_->SetStreamSource(0, buffer.get(), 0, sizeof(ColourVertex));
    ASSERT_EQ(device_->DrawPrimitive(kPrimTriangleList, 0, 2), kGpuOk);
    DrawUp(FullScreen(0xFF0000FF));
    EXPECT_EQ(Pixel(5, 5), Rgba(0xFF0000FF));
    EXPECT_EQ(device_->DrawPrimitive(kPrimTriangleList, 0, 2), kGpuInvalidCall);
    // Large draws from memory wrap the streaming buffer (degenerate triangles, then the screen).
    for (std::uint32_t colour : {0xFF400000u, 0xFF004000u, 0xFF000040u}) {
        std::vector<ColourVertex> many(30000, ColourVertex{0, 0, 0.5f, colour});
        const std::vector<ColourVertex> screenQuad = FullScreen(colour);
        std::copy(screenQuad.begin(), screenQuad.end(), many.end() - 6);
        DrawUp(many);
        EXPECT_EQ(Pixel(5, 5), Rgba(colour));
    }
}

TEST_F(GpuDeviceTest, AnInstancedDrawEqualsSingleDraws) {
    constexpr const char* kVertex = R"(
struct VS_OUT { float4 Pos : POSITION; float4 Col : COLOR0; };
VS_OUT main(float4 Pos : POSITION0, float4 Col : COLOR0, float3 Offset : POSITION1) {
	VS_OUT o; o.Pos = float4(Pos.xy + Offset.xy, Pos.z, 1); o.Col = Col; return o;
}
)";
    vertexShader_ = device_->CreateVertexShader(Words(kVertex, ShaderStage::Vertex));
    pixelShader_ = device_->CreatePixelShader(Words(gputest::kColourPixelShader, ShaderStage::Pixel));
    const GpuVertexElement elements[] = {{0, 0, kDeclFloat3, 0, kUsagePosition, 0},
                                         {0, 12, kDeclColour, 0, kUsageColour, 0},
                                         {1, 0, kDeclFloat3, 0, kUsagePosition, 1}};
    declaration_ = device_->CreateVertexDeclaration(elements);
    ASSERT_TRUE(vertexShader_ && pixelShader_ && declaration_);
    device_->SetVertexShader(vertexShader_.get());
    device_->SetPixelShader(pixelShader_.get());
    device_->SetVertexDeclaration(declaration_.get());

    // A quarter-width quad in the top-left corner, moved right by each instance.
    const std::vector<ColourVertex> quad = Corners(-1, 1, -0.5f, 0, 0xFFFFFFFF);
    const float offsets[4][3] = {{0, 0, 0}, {0.5f, 0, 0}, {1.0f, -1.0f, 0}, {1.5f, 0, 0}};
    Ref<GpuVertexBuffer> vertices(device_->CreateVertexBuffer(sizeof(ColourVertex) * 4, 0, kPoolManaged));
    Ref<GpuVertexBuffer> instances(device_->CreateVertexBuffer(sizeof offsets, 0, kPoolManaged));
    Ref<GpuIndexBuffer> indices(device_->CreateIndexBuffer(sizeof kQuadIndices, 0, kFmtIndex16, kPoolManaged));
    Fill(vertices.get(), 0, quad.data(), quad.size() * sizeof(ColourVertex));
    Fill(instances.get(), 0, &offsets[0][0], sizeof offsets);
    Fill(indices.get(), 0, kQuadIndices, sizeof kQuadIndices);
    device_->SetStreamSource(0, vertices.get(), 0, sizeof(ColourVertex));
    device_->SetIndices(indices.get());

    const auto picture = [&] {
        std::vector<std::uint8_t> pixels;
        Ref<GpuSurface> back(device_->GetBackBuffer());
        EXPECT_TRUE(device_->ReadSurfaceRgba8(back.get(), pixels));
        return pixels;
    };
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    device_->SetStreamSourceFreq(0, kStreamIndexedData | 1);
    device_->SetStreamSourceFreq(1, kStreamInstanceData | 1);
    for (int i = 0; i < 4; ++i) {
        device_->SetStreamSource(1, instances.get(), static_cast<std::uint32_t>(i * 12), 12);
        ASSERT_EQ(device_->DrawIndexedPrimitive(kPrimTriangleList, 0, 0, 4, 0, 2), kGpuOk);
    }
    const std::vector<std::uint8_t> single = picture();

    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    device_->SetStreamSource(1, instances.get(), 0, 12);
    device_->SetStreamSourceFreq(0, kStreamIndexedData | 4);
    ASSERT_EQ(device_->DrawIndexedPrimitive(kPrimTriangleList, 0, 0, 4, 0, 2), kGpuOk);
    const std::vector<std::uint8_t> instanced = picture();
    // Draws without indices ignore the frequencies: stream 1 is read per vertex, as after the reset below.
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device_->DrawPrimitive(kPrimTriangleList, 0, 1), kGpuOk);
    const std::vector<std::uint8_t> perVertexWithFrequencies = picture();
    device_->SetStreamSourceFreq(0, 1);
    device_->SetStreamSourceFreq(1, 1);
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device_->DrawPrimitive(kPrimTriangleList, 0, 1), kGpuOk);
    EXPECT_EQ(picture(), perVertexWithFrequencies);
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device_->DrawIndexedPrimitive(kPrimTriangleList, 0, 0, 4, 0, 2), kGpuOk);
    EXPECT_NE(picture(), instanced);
    EXPECT_EQ(instanced, single);
    const auto at = [&](int x, int y) { return instanced[(static_cast<std::size_t>(y) * kWidth + x) * 4]; };
    EXPECT_EQ(at(2, 2), 255);
    EXPECT_EQ(at(20, 14), 255);
    EXPECT_EQ(at(26, 2), 255);
    EXPECT_EQ(at(20, 2), 0);
}

TEST_F(GpuDeviceTest, TheAlphaTestKeepsAlphaAtOrAboveTheReference) {
    UseColourShaders();
    device_->SetRenderState(kRsAlphaTestEnable, 1);
    device_->SetRenderState(kRsAlphaFunc, kCmpGreaterEqual);
    device_->SetRenderState(kRsAlphaRef, 0x80);
    EXPECT_EQ(device_->PixelRegister(255)[0], 1.0f);
    EXPECT_EQ(device_->PixelRegister(255)[1], 128.0f);
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawUp(FullScreen(0x7FFF0000));
    EXPECT_EQ(Pixel(5, 5), Rgba(0xFF000000));
    DrawUp(FullScreen(0x80FF0000));
    EXPECT_EQ(Pixel(5, 5), Rgba(0x80FF0000));
    device_->SetRenderState(kRsAlphaTestEnable, 0);
    EXPECT_EQ(device_->PixelRegister(255)[0], 0.0f);
    DrawUp(FullScreen(0x0000FF00));
    EXPECT_EQ(Pixel(5, 5), Rgba(0x0000FF00));
}

TEST_F(GpuDeviceTest, RegisterC255BelongsToTheLayer) {
#ifndef NDEBUG
    GTEST_SKIP() << "debug builds assert on the write";
#endif
    const float values[4 * 6] = {};
    EXPECT_EQ(device_->SetVertexShaderConstantF(255, values, 1), kGpuInvalidCall);
    EXPECT_EQ(device_->SetVertexShaderConstantF(250, values, 6), kGpuInvalidCall);
    EXPECT_EQ(device_->SetPixelShaderConstantF(254, values, 2), kGpuInvalidCall);
    EXPECT_FLOAT_EQ(device_->VertexRegister(255)[0], 1.0f / kWidth);
    EXPECT_EQ(device_->SetVertexShaderConstantF(249, values, 6), kGpuOk);
    EXPECT_EQ(device_->SetPixelShaderConstantF(254, values, 1), kGpuOk);
}

TEST_F(GpuDeviceTest, ConstantsReachTheShadersOfBothStages) {
    constexpr const char* kVertex = R"(
float4 Shift : register(c7);
struct VS_OUT { float4 Pos : POSITION; float4 Col : COLOR0; };
VS_OUT main(float4 Pos : POSITION0, float4 Col : COLOR0) { VS_OUT o; o.Pos = Pos; o.Col = Col + Shift; return o; }
)";
    constexpr const char* kPixel = R"(
float4 Scale : register(c49);
float4 main(float4 Col : COLOR0) : COLOR { return Col * Scale; }
)";
    vertexShader_ = device_->CreateVertexShader(Words(kVertex, ShaderStage::Vertex));
    pixelShader_ = device_->CreatePixelShader(Words(kPixel, ShaderStage::Pixel));
    declaration_ = device_->CreateVertexDeclaration(gputest::kColourElements);
    device_->SetVertexShader(vertexShader_.get());
    device_->SetPixelShader(pixelShader_.get());
    device_->SetVertexDeclaration(declaration_.get());
    const float shift[4] = {0.5f, 0.25f, 0.0f, 1.0f};
    const float scale[4] = {1.0f, 2.0f, 0.0f, 1.0f};
    ASSERT_EQ(device_->SetVertexShaderConstantF(7, shift, 1), kGpuOk);
    ASSERT_EQ(device_->SetPixelShaderConstantF(49, scale, 1), kGpuOk);
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawUp(FullScreen(0x00000000));
    EXPECT_EQ(Pixel(5, 5), (std::array<int, 4>{128, 128, 0, 255}));
    // A changed register reaches the next draw.
    const float brighter[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    device_->SetVertexShaderConstantF(7, brighter, 1);
    DrawUp(FullScreen(0x00000000));
    EXPECT_EQ(Pixel(5, 5), (std::array<int, 4>{255, 0, 0, 255}));
}

TEST_F(GpuDeviceTest, APairThatCannotLinkIsReportedOnceAndItsDrawsSkipped) {
    constexpr const char* kVertex = R"(
struct VS_OUT { float4 Pos : POSITION; int4 Id : TEXCOORD0; };
VS_OUT main(float4 Pos : POSITION0) { VS_OUT o; o.Pos = Pos; o.Id = int4(1, 2, 3, 4); return o; }
)";
    constexpr const char* kPixel = "float4 main(float4 Id : TEXCOORD0) : COLOR { return Id; }";
    vertexShader_ = device_->CreateVertexShader(Words(kVertex, ShaderStage::Vertex));
    pixelShader_ = device_->CreatePixelShader(Words(kPixel, ShaderStage::Pixel));
    declaration_ = device_->CreateVertexDeclaration(gputest::kColourElements);
    ASSERT_TRUE(vertexShader_ && pixelShader_);
    device_->SetVertexShader(vertexShader_.get());
    device_->SetPixelShader(pixelShader_.get());
    device_->SetVertexDeclaration(declaration_.get());
    const std::vector<ColourVertex> screen = FullScreen(0xFFFFFFFF);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(device_->DrawPrimitiveUP(kPrimTriangleList, 2, screen.data(), sizeof(ColourVertex)),
                  kGpuInvalidCall);
    }
    EXPECT_EQ(device_->LinkFailures(), 1);
    EXPECT_FALSE(device_->LastLinkError().empty());
}

TEST_F(GpuDeviceTest, ShaderAndDeclarationCreationFailCleanly) {
    const std::uint32_t garbage[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(device_->CreateVertexShader(garbage), nullptr);
    EXPECT_EQ(device_->CreatePixelShader({}), nullptr);
    const std::vector<std::uint32_t> words = Words(gputest::kColourPixelShader, ShaderStage::Pixel);
    EXPECT_EQ(device_->CreateVertexShader(words), nullptr) << "a pixel shader is no vertex shader";
    GpuHooks().FailNext(GpuCreateKind::PixelShader);
    EXPECT_EQ(device_->CreatePixelShader(words), nullptr);
    Ref<GpuPixelShader> shader(device_->CreatePixelShader(words));
    EXPECT_TRUE(shader);
    const GpuVertexElement badStream[] = {{2, 0, kDeclFloat3, 0, kUsagePosition, 0}};
    EXPECT_EQ(device_->CreateVertexDeclaration(badStream), nullptr);
    EXPECT_EQ(device_->CreateVertexDeclaration({}), nullptr);
    EXPECT_EQ(device_->CallCount(GpuCall::CreatePixelShader), 3u);
}

}  // namespace
