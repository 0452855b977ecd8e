// The shader managers over the engine's device: shaders made, bound and released through the GPU layer,
// the device's state-cache reset, the bone palette through the constant cache, and coloured lines drawn
// with the managers' built-in shaders.
#include <vector>

#include "engine/render/light_setup.h"
#include "engine/render/shader_cache.h"
#include "render_test_fixture.h"

namespace {

using engine::ColouredVertex;
using engine::GpuShaderDevice;
using engine::Matrix44;
using engine::Vec4;
using rendertest::GraphicsDeviceTest;
using rendertest::Rgba;

constexpr const char* kConstantColourPixelShader = R"(
float4 Tint : register(c3);
float4 main(float4 Colour : COLOR0) : COLOR { return Colour * Tint; }
)";

// One triangle over the whole target, in clip space.
std::vector<ColouredVertex> Cover(std::uint32_t argb) {
    return {{-1, -1, 0.5f, argb}, {-1, 3, 0.5f, argb}, {3, -1, 0.5f, argb}};
}

using ShaderManagerTest = GraphicsDeviceTest;

TEST_F(ShaderManagerTest, ABuiltinVertexShaderAndAPixelShaderDrawThroughTheManagers) {
    Create(true);
    vertexShaders_->SetMatrix(Matrix44(), 0);
    vertexShaders_->SetMatrix(Matrix44(), 8);
    engine::VertexShader* vertex = vertexShaders_->BuiltinVertexShader(3);
    ASSERT_NE(vertex, nullptr);
    std::unique_ptr<engine::PixelShader> pixel = engine::CompilePixelShader(shaderDevice_, kConstantColourPixelShader);
    ASSERT_NE(pixel, nullptr);
    pixelShaders_->BindPixelShader(pixel.get());
    pixelShaders_->SetPixelVector(Vec4{0.5f, 1.0f, 0.0f, 1.0f}, 3);
    EXPECT_EQ(Gpu().GetVertexShader(), GpuShaderDevice::GpuShader(vertex));
    EXPECT_EQ(Gpu().GetPixelShader(), GpuShaderDevice::GpuShader(pixel.get()));

    device_->SetCullMode(sys::kCullNone);
    ASSERT_TRUE(declarations_->Select(engine::kVertexColour));
    const std::vector<ColouredVertex> cover = Cover(0xFFC080FF);
    ASSERT_EQ(Gpu().DrawPrimitiveUP(sys::kPrimTriangleList, 1, cover.data(), sizeof(ColouredVertex)), sys::kGpuOk);
    EXPECT_EQ(Gpu().LinkFailures(), 0) << Gpu().LastLinkError();
    const std::array<int, 4> drawn = Pixel(5, 7);
    const std::array<int, 4> expected = {0x60, 0x80, 0x00, 0xFF};
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(drawn[c], expected[c], 1) << "channel " << c;

    // The object owns one reference to the layer's shader: unbound and destroyed, the shader is gone.
    sys::GpuPixelShader* layerShader = GpuShaderDevice::GpuShader(pixel.get());
    layerShader->AddRef();
    pixelShaders_->BindPixelShader(nullptr);
    pixel.reset();
    EXPECT_EQ(layerShader->Release(), 0u);
}

TEST_F(ShaderManagerTest, TheAdapterRefusesWhatTheLayerRefusesAndSendsNothingWithoutADevice) {
    Create(true);
    const std::vector<std::uint32_t> garbage = {0x07230203, 1, 2, 3, 4};
    EXPECT_EQ(shaderDevice_.CreateVertexShader(garbage), nullptr);
    EXPECT_EQ(shaderDevice_.CreatePixelShader(garbage), nullptr);
    const std::vector<std::uint32_t> words =
        rendertest::Words("float4 main() : COLOR { return 1; }", sys::ShaderStage::Pixel);
    EXPECT_EQ(shaderDevice_.CreateVertexShader(words), nullptr) << "pixel words are no vertex shader";

    GpuShaderDevice detached;
    EXPECT_EQ(detached.CreatePixelShader(words), nullptr);
    const float values[4] = {1, 2, 3, 4};
    Gpu().ResetCallCounts();
    detached.SetVertexShaderConstantF(0, values, 1);
    detached.SetPixelShaderConstantF(0, values, 1);
    detached.SetVertexShader(nullptr);
    detached.SetPixelShader(nullptr);
    EXPECT_EQ(Gpu().TotalCallCount(), 0u);
}

// Every way the device resets its state cache leaves the constants unknown and no shader current.
TEST_F(ShaderManagerTest, AStateCacheResetMakesTheNextConstantAndBindReachTheDevice) {
    Create(true);
    engine::VertexShader* vertex = vertexShaders_->BuiltinVertexShader(2);
    ASSERT_NE(vertex, nullptr);
    engine::PixelShader* pixel = pixelShaders_->GetBuiltinPixelShader(
        engine::BuiltinPixelShader::VertexColour, "float4 main(float4 c : COLOR0) : COLOR { return c; }");
    ASSERT_NE(pixel, nullptr);
    pixelShaders_->BindPixelShader(pixel);
    const Vec4 value{0, 0, 0, 0};
    const struct {
        const char* name;
        void (*reset)(engine::GraphicsDevice&);
    } kResets[] = {
        {"ResetStateCache", [](engine::GraphicsDevice& d) { d.ResetStateCache(); }},
        {"UnbindAll(true)", [](engine::GraphicsDevice& d) { d.UnbindAll(true); }},
        {"RecoverLostDevice(false)", [](engine::GraphicsDevice& d) { d.RecoverLostDevice(false); }},
    };
    for (const auto& reset : kResets) {
        SCOPED_TRACE(reset.name);
        vertexShaders_->SetVector(value, 5);
        vertexShaders_->BindVertexShader(vertex);
        pixelShaders_->BindPixelShader(pixel);
        Gpu().ResetCallCounts();
        vertexShaders_->SetVector(value, 5);
        vertexShaders_->BindVertexShader(vertex);
        pixelShaders_->BindPixelShader(pixel);
        EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetVertexShaderConstantF), 0u);
        EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetVertexShader), 0u);
        EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetPixelShader), 0u);

        reset.reset(*device_);
        EXPECT_EQ(vertexShaders_->Current(), nullptr);
        EXPECT_EQ(pixelShaders_->Current(), nullptr);
        Gpu().ResetCallCounts();
        vertexShaders_->SetVector(value, 5);
        vertexShaders_->BindVertexShader(vertex);
        pixelShaders_->BindPixelShader(pixel);
        EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetVertexShaderConstantF), 1u) << "0 after a reset still uploads";
        EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetVertexShader), 1u);
        EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetPixelShader), 1u);
    }
}

TEST_F(ShaderManagerTest, TheBonePaletteGoesThroughTheConstantCache) {
    Create(true);
    Matrix44 bone;
    bone.SetTranslation(1.0f, 2.0f, 3.0f);
    const std::vector<Matrix44> palette = {bone, Matrix44()};
    Gpu().ResetCallCounts();
    device_->SetBonePalette(palette, {});
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetVertexShaderConstantF), 8u) << "one register per call";
    EXPECT_EQ(Gpu().VertexRegister(33)[3], 1.0f);
    EXPECT_EQ(vertexShaders_->Register(35)[3], 3.0f);
    device_->SetBonePalette(palette, {});
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetVertexShaderConstantF), 8u) << "unchanged bones are not sent";
}

TEST_F(ShaderManagerTest, TheDevicesSplitTableFeedsTheSplitShadowRegisters) {
    Create(true);
    engine::ShadowSplit (&splits)[engine::kShadowSplitCount] = device_->ShadowSplits();
    for (int i = 0; i < engine::kShadowSplitCount; ++i) {
        splits[i].endDistance = 10.0f * static_cast<float>(i + 1);
        splits[i].orthoFar = 100.0f;
        splits[i].orthoWidth = 20.0f;
    }
    engine::SetSplitShadowMatrices(device_->ShadowSplits(), *pixelShaders_);
    EXPECT_EQ(Gpu().PixelRegister(33), (sys::GpuFloat4{10, 20, 30, 40}));
    // Register 34 is the first split's x row: scale 2 / width, then the texture mapping's 0.5.
    EXPECT_FLOAT_EQ(Gpu().PixelRegister(34)[0], 0.05f);
}

TEST_F(ShaderManagerTest, ColouredLinesUseTheManagersShaders) {
    Create(true);
    // Pixels as world units through the constant cache: x right, y down.
    Matrix44 projection;
    projection.m[0][0] = 2.0f / kWidth;
    projection.m[1][1] = -2.0f / kHeight;
    projection.m[3][0] = -1.0f;
    projection.m[3][1] = 1.0f;
    vertexShaders_->SetMatrix(projection, 0);
    vertexShaders_->SetMatrix(Matrix44(), 8);
    const ColouredVertex lines[4] = {
        {2, 3, 0.5f, 0xFFFF0000}, {30, 3, 0.5f, 0xFFFF0000}, {2, 15, 0.5f, 0xFF0000FF}, {30, 15, 0.5f, 0xFF0000FF}};
    const engine::ShaderBindCounters before = counters_;
    device_->DrawVertexColoured(lines, 4);
    EXPECT_EQ(Pixel(10, 3), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(20, 15), Rgba(0xFF0000FF));
    EXPECT_EQ(Pixel(10, 9), Rgba(0xFF000000));
    EXPECT_EQ(vertexShaders_->Current(), vertexShaders_->BuiltinVertexShader(3));
    ASSERT_NE(pixelShaders_->Current(), nullptr);
    EXPECT_EQ(pixelShaders_->Current(),
              pixelShaders_->GetBuiltinPixelShader(engine::BuiltinPixelShader::VertexColour, ""));
    EXPECT_GT(counters_.vertexRequests, before.vertexRequests);
    EXPECT_GT(counters_.pixelRequests, before.pixelRequests);

    // The shaders are kept: a second draw creates none.
    Gpu().ResetCallCounts();
    device_->DrawVertexColoured(lines, 4);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::CreateVertexShader) + Gpu().CallCount(sys::GpuCall::CreatePixelShader), 0u);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::DrawPrimitiveUP), 1u);

    // Unlinked, the device has no shaders for lines and draws none.
    engine::UnlinkShaderManagers(*device_);
    Gpu().ResetCallCounts();
    device_->DrawVertexColoured(lines, 4);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::DrawPrimitiveUP), 0u);
}

}  // namespace
