#pragma once
// The engine's graphics device on the shared test window: a recording host, shaders from HLSL, pixel and
// register read-back.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/matrix.h"
#include "engine/platform/scoped_env.h"
#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/gpu_shader_device.h"
#include "engine/render/graphics_device.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_manager_link.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/texture_table.h"
#include "engine/render/vertex_formats.h"
#include "support/gl_test_environment.h"
#include "support/temp_folder.h"
#include "sys/gpu_device.h"
#include "sys/gpu_test_hooks.h"
#include "sys/hlsl_compiler.h"

namespace rendertest {

class FakeHost : public engine::GraphicsDeviceHost {
public:
    void* DeviceWindow() override { return testsupport::GlEnvironment().Window().Native(); }
    bool DesktopSize(int& width, int& height) override {
        width = desktopWidth;
        height = desktopHeight;
        return desktopReadable;
    }
    bool IsFullScreen() const override { return fullScreen; }
    void SetFullScreen(bool value) override { fullScreen = value; }
    void SetScreenSize(int width, int height) override {
        screenWidth = width;
        screenHeight = height;
    }
    void SendSizeMessage(int width, int height) override { sizeMessages.push_back({width, height}); }
    void ClipCursor() override { ++cursorClips; }
    int FrameMilliseconds() override { return frameMilliseconds; }

    int desktopWidth = 1024;
    int desktopHeight = 768;
    bool desktopReadable = true;
    bool fullScreen = false;
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<std::array<int, 2>> sizeMessages;
    int cursorClips = 0;
    int frameMilliseconds = 16;
};

template <typename T>
void ReleaseObject(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

inline std::vector<std::uint32_t> Words(std::string_view hlsl, sys::ShaderStage stage) {
    sys::HlslCompileResult compiled = sys::CompileHlsl(hlsl, stage);
    EXPECT_TRUE(compiled.Ok()) << compiled.error << "\n" << hlsl;
    return compiled.words;
}

inline std::array<int, 4> Rgba(std::uint32_t argb) {
    return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
            static_cast<int>(argb & 0xFF), static_cast<int>(argb >> 24)};
}

// Instance i of the instanced-draw tests: turned 15 degrees a step, scaled by 0.4 and moved along a diagonal.
// Instance rows carry only the first three columns of a world matrix.
inline engine::Matrix44 InstancePlacement(int i) {
    engine::Matrix44 m;
    m.InitRotationZ(15.0f * static_cast<float>(i));
    m.ScaleLocal(0.4f, 0.4f, 1.0f);
    m.SetRow(3, {-0.6f + 0.4f * static_cast<float>(i), 0.5f - 0.3f * static_cast<float>(i), 0.0f});
    return m;
}

// A vertex shader for instanced draws: POSITION0 placed by the instance rows POSITION1 to POSITION4 (vertex format
// 7), COLOR0 passed on.
constexpr const char* kInstancedColourVertexShader = R"(
struct VS_OUT { float4 Pos : POSITION; float4 Col : COLOR0; };
VS_OUT main(float4 Pos : POSITION0, float4 C : COLOR0, float3 R1 : POSITION1, float3 R2 : POSITION2,
            float3 R3 : POSITION3, float3 R4 : POSITION4) {
  float4x3 M = float4x3(R1, R2, R3, R4); VS_OUT o; o.Pos = float4(mul(Pos, M), 1); o.Col = C; return o;
}
)";

class GraphicsDeviceTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 32;
    static constexpr int kHeight = 24;

    void SetUp() override {
        ASSERT_TRUE(testsupport::GlEnvironment().Ready());
        sys::ResetGpuHooks();
        settings_.width = kWidth;
        settings_.height = kHeight;
    }
    void TearDown() override {
        ReleaseObject(vertexShader_);
        ReleaseObject(pixelShader_);
        vertexShaders_.reset();
        pixelShaders_.reset();
        engine::ShutdownDynamicVertexBuffers();
        declarations_.reset();
        device_.reset();
        sys::ResetGpuHooks();
    }

    // Creates the device, the declaration set and the engine's dynamic buffer; with shader managers, also the
    // two managers over the device, linked with it.
    void Create(bool withShaderManagers = false) {
        device_ = std::make_unique<engine::GraphicsDevice>(host_, settings_);
        ASSERT_TRUE(device_->HasDevice());
        declarations_ = std::make_unique<engine::VertexDeclSet>(*device_->Device());
        device_->AttachVertexDeclSet(declarations_.get());
        engine::InitDynamicVertexBuffers(device_.get());
        if (!withShaderManagers) return;
        shaderDevice_.SetDevice(device_->Device());
        vertexShaders_ = std::make_unique<engine::ShaderConstantCache>(shaderDevice_, counters_);
        pixelShaders_ = std::make_unique<engine::ShaderTextBuffer>(shaderDevice_, counters_);
        engine::LinkShaderManagers(*device_, *vertexShaders_, *pixelShaders_);
    }
    // Create, then the engine's texture table (64 entries) on the device; FreeTextureTable undoes the table.
    void CreateWithTextureTable(bool withShaderManagers = true) {
        Create(withShaderManagers);
        ASSERT_TRUE(engine::TextureTable::Init(64));
        engine::TextureTable::SetDevice(&Gpu());
    }
    static void FreeTextureTable() {
        engine::TextureTable::Free();
        engine::TextureTable::SetDevice(nullptr);
    }
    sys::GpuDevice& Gpu() { return *device_->Device(); }

    void UseShaders(std::string_view vertexHlsl, std::string_view pixelHlsl) {
        ReleaseObject(vertexShader_);
        ReleaseObject(pixelShader_);
        vertexShader_ = Gpu().CreateVertexShader(Words(vertexHlsl, sys::ShaderStage::Vertex));
        pixelShader_ = Gpu().CreatePixelShader(Words(pixelHlsl, sys::ShaderStage::Pixel));
        ASSERT_TRUE(vertexShader_ != nullptr && pixelShader_ != nullptr);
        Gpu().SetVertexShader(vertexShader_);
        Gpu().SetPixelShader(pixelShader_);
    }

    // RGBA of a pixel (row 0 is the top row) of a surface, the back buffer when null.
    std::array<int, 4> Pixel(int x, int y, sys::GpuSurface* surface = nullptr) {
        sys::GpuSurface* target = surface != nullptr ? surface : device_->BackBufferSurface();
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(Gpu().ReadSurfaceRgba8(target, pixels));
        const std::size_t at = (static_cast<std::size_t>(y) * target->GetDesc().width + x) * 4;
        if (pixels.size() < at + 4) return {-1, -1, -1, -1};
        return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
    }
    std::vector<std::uint8_t> Picture() {
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(Gpu().ReadSurfaceRgba8(device_->BackBufferSurface(), pixels));
        return pixels;
    }

    // Compiled shaders go to a cache folder of the test's own.
    testsupport::TempFolder cacheFolder_;
    platformtest::ScopedEnv cacheHome_{"XDG_CACHE_HOME", cacheFolder_.Path().c_str()};
    FakeHost host_;
    engine::GraphicsDeviceSettings settings_;
    std::unique_ptr<engine::GraphicsDevice> device_;
    std::unique_ptr<engine::VertexDeclSet> declarations_;
    sys::GpuVertexShader* vertexShader_ = nullptr;
    sys::GpuPixelShader* pixelShader_ = nullptr;
    engine::GpuShaderDevice shaderDevice_;
    engine::ShaderBindCounters counters_;
    std::unique_ptr<engine::ShaderConstantCache> vertexShaders_;
    std::unique_ptr<engine::ShaderTextBuffer> pixelShaders_;
};

}  // namespace rendertest
