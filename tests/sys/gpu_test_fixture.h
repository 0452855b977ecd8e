#pragma once
// A graphics device on the shared test window, shaders from HLSL, and pixel read-back for the layer's tests.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/gl_test_environment.h"
#include "sys/gpu_adapter.h"
#include "sys/gpu_device.h"
#include "sys/gpu_test_hooks.h"
#include "sys/hlsl_compiler.h"

namespace gputest {

// Releases a device object when it goes out of scope.
template <typename T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* object) : object_(object) {}
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref& operator=(T* object) {
        Reset();
        object_ = object;
        return *this;
    }
    void Reset() {
        if (object_ != nullptr) object_->Release();
        object_ = nullptr;
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

inline std::vector<std::uint32_t> Words(std::string_view hlsl, sys::ShaderStage stage) {
    sys::HlslCompileResult compiled = sys::CompileHlsl(hlsl, stage);
    EXPECT_TRUE(compiled.Ok()) << compiled.error << "\n" << hlsl;
    return compiled.words;
}

// Vertex position and colour, as most layer tests draw.
struct ColourVertex {
    float x, y, z;
    std::uint32_t argb;
};

// Passes a clip-space position through and outputs the vertex colour.
constexpr const char* kColourVertexShader = R"(
struct VS_OUT { float4 Pos : POSITION; float4 Col : COLOR0; };
VS_OUT main(float4 Pos : POSITION0, float4 Col : COLOR0) { VS_OUT o; o.Pos = Pos; o.Col = Col; return o; }
)";
constexpr const char* kColourPixelShader = "float4 main(float4 Col : COLOR0) : COLOR { return Col; }";

inline const sys::GpuVertexElement kColourElements[] = {
    {0, 0, sys::kDeclFloat3, 0, sys::kUsagePosition, 0},
    {0, 12, sys::kDeclColour, 0, sys::kUsageColour, 0},
};

class GpuDeviceTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kWidth = 32;
    static constexpr std::uint32_t kHeight = 24;

    void SetUp() override {
        ASSERT_TRUE(testsupport::GlEnvironment().Ready());
        sys::ResetGpuHooks();
        adapter_ = sys::GpuAdapter::Create();
        ASSERT_NE(adapter_, nullptr);
        device_ = adapter_->CreateDevice(Parameters(kWidth, kHeight));
        ASSERT_NE(device_, nullptr);
    }
    void TearDown() override {
        vertexShader_.Reset();
        pixelShader_.Reset();
        declaration_.Reset();
        device_.reset();
        sys::ResetGpuHooks();
    }

    static sys::GpuPresentParameters Parameters(std::uint32_t width, std::uint32_t height) {
        sys::GpuPresentParameters params;
        params.backBufferWidth = width;
        params.backBufferHeight = height;
        params.backBufferFormat = sys::kFmtX8R8G8B8;
        params.deviceWindow = testsupport::GlEnvironment().Window().Native();
        params.windowed = 1;
        params.enableAutoDepthStencil = 1;
        params.autoDepthStencilFormat = sys::kFmtD24S8;
        params.presentationInterval = sys::kPresentIntervalImmediate;
        return params;
    }

    // Binds the position-and-colour shaders and declaration, and clears the back buffer to black, depth 1.
    void UseColourShaders() {
        vertexShader_ = device_->CreateVertexShader(Words(kColourVertexShader, sys::ShaderStage::Vertex));
        pixelShader_ = device_->CreatePixelShader(Words(kColourPixelShader, sys::ShaderStage::Pixel));
        declaration_ = device_->CreateVertexDeclaration(kColourElements);
        ASSERT_TRUE(vertexShader_ && pixelShader_ && declaration_);
        device_->SetVertexShader(vertexShader_.get());
        device_->SetPixelShader(pixelShader_.get());
        device_->SetVertexDeclaration(declaration_.get());
        device_->Clear(0, nullptr, sys::kClearTarget | sys::kClearZBuffer, 0xFF000000, 1.0f, 0);
    }

    // Two triangles over the whole target at depth z, clockwise on screen.
    static std::vector<ColourVertex> FullScreen(std::uint32_t argb, float z = 0.5f) {
        return {{-1, 1, z, argb}, {1, 1, z, argb},  {1, -1, z, argb},
                {-1, 1, z, argb}, {1, -1, z, argb}, {-1, -1, z, argb}};
    }

    void DrawUp(const std::vector<ColourVertex>& vertices) {
        ASSERT_EQ(device_->DrawPrimitiveUP(sys::kPrimTriangleList, static_cast<std::uint32_t>(vertices.size() / 3),
                                           vertices.data(), sizeof(ColourVertex)),
                  sys::kGpuOk);
    }

    // RGBA of a pixel of a surface (the back buffer when null); row 0 is the top row.
    std::array<int, 4> Pixel(int x, int y, sys::GpuSurface* surface = nullptr) {
        Ref<sys::GpuSurface> backBuffer(surface == nullptr ? device_->GetBackBuffer() : nullptr);
        sys::GpuSurface* target = surface != nullptr ? surface : backBuffer.get();
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(device_->ReadSurfaceRgba8(target, pixels));
        const std::size_t at = (static_cast<std::size_t>(y) * target->GetDesc().width + x) * 4;
        if (pixels.size() < at + 4) return {-1, -1, -1, -1};
        return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
    }

    float Depth(int x, int y) {
        Ref<sys::GpuSurface> depth(device_->GetDepthStencilSurface());
        std::vector<float> values;
        EXPECT_TRUE(device_->ReadSurfaceFloats(depth.get(), values));
        const std::size_t at = static_cast<std::size_t>(y) * depth->GetDesc().width + x;
        return at < values.size() ? values[at] : -1.0f;
    }

    std::unique_ptr<sys::GpuAdapter> adapter_;
    std::unique_ptr<sys::GpuDevice> device_;
    Ref<sys::GpuVertexShader> vertexShader_;
    Ref<sys::GpuPixelShader> pixelShader_;
    Ref<sys::GpuVertexDeclaration> declaration_;
};

inline std::array<int, 4> Rgba(std::uint32_t argb) {
    return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
            static_cast<int>(argb & 0xFF), static_cast<int>(argb >> 24)};
}

}  // namespace gputest
