// Drawing through the engine's device: blend modes on pixels, coloured lines, dynamic-buffer draws and the
// bone palette.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "render_test_fixture.h"

namespace {

using engine::ColouredVertex;
using engine::Matrix44;
using rendertest::GraphicsDeviceTest;
using rendertest::Rgba;

constexpr const char* kColourVertexShader = R"(
struct VS_OUT { float4 Pos : POSITION; float4 Col : COLOR0; };
VS_OUT main(float4 Pos : POSITION0, float4 Col : COLOR0) { VS_OUT o; o.Pos = Pos; o.Col = Col; return o; }
)";
constexpr const char* kColourPixelShader = "float4 main(float4 Col : COLOR0) : COLOR { return Col; }";

// One triangle over the whole target, in clip space.
std::vector<ColouredVertex> Cover(std::uint32_t argb) {
    return {{-1, -1, 0.5f, argb}, {-1, 3, 0.5f, argb}, {3, -1, 0.5f, argb}};
}

float Channel(std::uint32_t argb, int channel) {
    const int shifts[4] = {16, 8, 0, 24};
    return static_cast<float>((argb >> shifts[channel]) & 0xFF) / 255.0f;
}

TEST_F(GraphicsDeviceTest, BlendModesGiveTheComputedColours) {
    Create();
    UseShaders(kColourVertexShader, kColourPixelShader);
    sys::GpuTexture* texture =
        Gpu().CreateTexture(1, 1, 1, sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
    sys::GpuSurface* target = texture->GetSurfaceLevel(0);
    device_->SetRenderTargetSurface(target);
    device_->SetDepthMode(false, false, false);
    device_->SetCullMode(sys::kCullNone);
    declarations_->Select(engine::kVertexColour);
    const std::uint32_t dest = 0xCC336699;
    const std::uint32_t source = 0x80CC9966;
    const std::vector<ColouredVertex> cover = Cover(source);
    for (int mode = 0; mode <= 5; ++mode) {
        device_->SetBlendMode(0);
        Gpu().Clear(0, nullptr, sys::kClearTarget, dest, 1.0f, 0);
        device_->SetBlendMode(mode);
        ASSERT_EQ(Gpu().DrawPrimitiveUP(sys::kPrimTriangleList, 1, cover.data(), sizeof(ColouredVertex)), sys::kGpuOk);
        const std::array<int, 4> pixel = Pixel(0, 0, target);
        const float sa = Channel(source, 3);
        for (int c = 0; c < 4; ++c) {
            const float s = Channel(source, c);
            const float d = Channel(dest, c);
            const float expected[6] = {s, s * sa + d, d * (1 - s), s * sa + d * (1 - sa), s + d * (1 - sa), s + d};
            EXPECT_NEAR(pixel[c], std::lround(std::min(1.0f, expected[mode]) * 255.0f), 2)
                << "mode " << mode << " channel " << c;
        }
    }
    target->Release();
    texture->Release();
}

TEST_F(GraphicsDeviceTest, ColouredLinesLightThePixelsTheProjectionNames) {
    Create(true);
    // Pixels as world units: x right, y down, onto the back buffer's clip space.
    Matrix44 projection;
    projection.m[0][0] = 2.0f / kWidth;
    projection.m[1][1] = -2.0f / kHeight;
    projection.m[3][0] = -1.0f;
    projection.m[3][1] = 1.0f;
    Matrix44 model;
    model.SetTranslation(3.0f, 4.0f, 0.0f);
    const Matrix44 projectionT = projection.Transpose();
    const Matrix44 modelT = model.Transpose();
    Gpu().SetVertexShaderConstantF(0, &projectionT.m[0][0], 4);
    Gpu().SetVertexShaderConstantF(8, &modelT.m[0][0], 4);

    const ColouredVertex line[2] = {{0, 5, 0.5f, 0xFF00FF00}, {20, 5, 0.5f, 0xFF00FF00}};
    // Where the CPU puts the line's middle.
    const engine::Vec3 world = model.TransformPoint({10, 5, 0.5f});
    const engine::Vec4 clip = projection.TransformVec4({world.x, world.y, world.z, 1.0f});
    const int x = static_cast<int>(std::lround((clip.x + 1.0f) * kWidth / 2.0f));
    const int y = static_cast<int>(std::lround((1.0f - clip.y) * kHeight / 2.0f));
    ASSERT_EQ(x, 13);
    ASSERT_EQ(y, 9);

    device_->DrawVertexColoured(line, 2);
    EXPECT_EQ(Pixel(x, y), Rgba(0xFF00FF00));
    EXPECT_EQ(Pixel(x, y - 2), Rgba(0xFF000000));
    EXPECT_EQ(Pixel(x, y + 2), Rgba(0xFF000000));
    EXPECT_EQ(Gpu().GetRenderState(sys::kRsZWriteEnable), 1u);
    EXPECT_EQ(Gpu().GetRenderState(sys::kRsAlphaBlendEnable), 0u);

    Gpu().ResetCallCounts();
    device_->DrawVertexColoured(line, 0);
    EXPECT_EQ(Gpu().TotalCallCount(), 0u);
}

TEST_F(GraphicsDeviceTest, DrawDynamicBindsTheStreamOnceAndForgetsItAfterAFailedDraw) {
    Create(true);
    UseShaders(kColourVertexShader, kColourPixelShader);
    declarations_->Select(engine::kVertexColour);
    engine::DynamicVertexBuffer* buffer = engine::GlobalDynamicVertexBuffer();
    const std::vector<ColouredVertex> cover = Cover(0xFF4080C0);
    int first = -1;
    void* data = buffer->Lock(engine::kVertexColour, 3, first);
    ASSERT_NE(data, nullptr);
    std::memcpy(data, cover.data(), sizeof(ColouredVertex) * 3);
    buffer->Unlock();
    device_->SetCullMode(sys::kCullNone);
    Gpu().ResetCallCounts();
    EXPECT_EQ(device_->DrawDynamic(sys::kPrimTriangleList, static_cast<std::uint32_t>(first), 1, nullptr,
                                   engine::kVertexColour),
              sys::kGpuOk);
    EXPECT_EQ(device_->DrawDynamic(sys::kPrimTriangleList, static_cast<std::uint32_t>(first), 1, buffer,
                                   engine::kVertexColour),
              sys::kGpuOk);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetStreamSource), 1u);
    EXPECT_EQ(Pixel(4, 4), Rgba(0xFF4080C0));

    Gpu().SetVertexShader(nullptr);
    EXPECT_NE(device_->DrawDynamic(sys::kPrimTriangleList, 0, 1, nullptr, engine::kVertexColour), sys::kGpuOk);
    Gpu().SetVertexShader(vertexShader_);
    EXPECT_EQ(device_->DrawDynamic(sys::kPrimTriangleList, 0, 1, nullptr, engine::kVertexColour), sys::kGpuOk);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetStreamSource), 2u);

    // Coloured lines are drawn from memory, which leaves stream 0 unbound: the next dynamic draw binds again.
    const ColouredVertex line[2] = {{-1, 0, 0.5f, 0xFFFFFFFF}, {1, 0, 0.5f, 0xFFFFFFFF}};
    device_->DrawVertexColoured(line, 2);
    Gpu().SetVertexShader(vertexShader_);
    Gpu().SetPixelShader(pixelShader_);
    declarations_->Select(engine::kVertexColour);
    EXPECT_EQ(device_->DrawDynamic(sys::kPrimTriangleList, 0, 1, nullptr, engine::kVertexColour), sys::kGpuOk);

    // A buffer without a device buffer draws nothing.
    buffer->Release();
    Gpu().ResetCallCounts();
    EXPECT_NE(device_->DrawDynamic(sys::kPrimTriangleList, 0, 1, nullptr, engine::kVertexColour), sys::kGpuOk);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::DrawPrimitive), 0u);
}

Matrix44 Numbered(int i) {
    Matrix44 m;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) m.m[r][c] = static_cast<float>(i * 100 + r * 4 + c);
    }
    return m;
}

void ExpectBone(const sys::GpuDevice& gpu, int bone, const Matrix44& matrix) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(gpu.VertexRegister(static_cast<std::uint32_t>(33 + 4 * bone + r))[c], matrix.m[c][r])
                << "bone " << bone;
        }
    }
}

TEST_F(GraphicsDeviceTest, TheBonePaletteStopsAtFortyBones) {
    Create();
    std::vector<Matrix44> palette;
    for (int i = 0; i < 60; ++i) palette.push_back(Numbered(i + 1));
    std::vector<std::uint8_t> remap;
    for (int i = 0; i < 60; ++i) remap.push_back(static_cast<std::uint8_t>(59 - i));
    device_->SetBonePalette(palette, remap);
    ExpectBone(Gpu(), 0, palette[59]);
    ExpectBone(Gpu(), 39, palette[20]);
    for (std::uint32_t r = 193; r < 255; ++r) {
        EXPECT_EQ(Gpu().VertexRegister(r), (sys::GpuFloat4{0, 0, 0, 0})) << "register " << r;
    }

    // Without a remap list the palette's own order; a remap byte beyond the palette is skipped.
    const std::vector<Matrix44> small = {Numbered(7), Numbered(8)};
    device_->SetBonePalette(small, {});
    ExpectBone(Gpu(), 1, small[1]);
    const std::uint8_t outside[] = {1, 9, 0};
    device_->SetBonePalette(small, outside);
    ExpectBone(Gpu(), 0, small[1]);
    ExpectBone(Gpu(), 1, small[1]);
    ExpectBone(Gpu(), 2, small[0]);

    struct Recorder : engine::BoneMatrixWriter {
        void SetBoneMatrix(int firstRegister, const Matrix44&) override { registers.push_back(firstRegister); }
        std::vector<int> registers;
    } recorder;
    device_->SetBoneMatrixWriter(&recorder);
    device_->SetBonePalette(small, {});
    EXPECT_EQ(recorder.registers, (std::vector<int>{33, 37}));
    device_->SetBoneMatrixWriter(nullptr);
}

}  // namespace
