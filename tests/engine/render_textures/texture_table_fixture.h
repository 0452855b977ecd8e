#pragma once
// The texture table on the engine's graphics device over a temporary data folder, with a textured-quad draw
// that shows what a texture samples to.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/data_folders.h"
#include "engine/image/image.h"
#include "engine/image/image_writers.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render_gl/render_test_fixture.h"
#include "support/temp_folder.h"

namespace rendertest {

constexpr const char* kQuadVertexShader = R"(
struct VS_OUT { float4 Pos : POSITION; float2 Uv : TEXCOORD0; };
VS_OUT main(float4 Pos : POSITION0, float2 Uv : TEXCOORD0) { VS_OUT o; o.Pos = Pos; o.Uv = Uv; return o; }
)";
constexpr const char* kQuadPixelShader = R"(
sampler2D Tex : register(s0);
float4 main(float2 Uv : TEXCOORD0) : COLOR { return tex2D(Tex, Uv); }
)";
constexpr const char* kCubePixelShader = R"(
samplerCUBE Cube : register(s0);
float4 Direction : register(c0);
float4 main(float2 Uv : TEXCOORD0) : COLOR { return texCUBE(Cube, Direction.xyz); }
)";

class TextureTableTest : public GraphicsDeviceTest {
protected:
    struct QuadVertex {
        float x, y, z, u, v;
    };

    void SetUp() override {
        GraphicsDeviceTest::SetUp();
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(folder_.Path().c_str());
        ASSERT_NO_FATAL_FAILURE(CreateWithTextureTable(false));
    }
    void TearDown() override {
        ReleaseObject(declaration_);
        if (device_) device_->UnbindAllTextures();
        FreeTextureTable();
        engine::SetBaseFolderNarrow("");
        GraphicsDeviceTest::TearDown();
    }

    void Put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        ASSERT_TRUE(folder_.Write("Data/PC/" + name, bytes.data(), bytes.size())) << name;
    }
    // A PNG of one colour (ARGB).
    void PutPng(const std::string& name, std::uint32_t width, std::uint32_t height, std::uint32_t argb) {
        const std::vector<std::uint32_t> texels(std::size_t{width} * height, argb);
        const auto view = engine::PackedSurface(engine::SurfaceFormat::kA8R8G8B8, width, height,
                                                reinterpret_cast<const std::uint8_t*>(texels.data()));
        Put(name, engine::EncodePng(view));
    }

    void UseQuad(const char* pixelShader) {
        UseShaders(kQuadVertexShader, pixelShader);
        const sys::GpuVertexElement elements[] = {{0, 0, sys::kDeclFloat3, 0, sys::kUsagePosition, 0},
                                                  {0, 12, sys::kDeclFloat2, 0, sys::kUsageTexCoord, 0}};
        if (declaration_ == nullptr) declaration_ = Gpu().CreateVertexDeclaration(elements);
        Gpu().SetVertexDeclaration(declaration_);
        Gpu().SetRenderState(sys::kRsZEnable, 0);
        Gpu().SetRenderState(sys::kRsAlphaBlendEnable, 0);
    }
    // Draws texture stage 0 over a width x height viewport at the top left, texel centres on pixel centres.
    void DrawQuad(std::uint32_t width, std::uint32_t height) {
        sys::GpuViewport viewport;
        viewport.width = width;
        viewport.height = height;
        Gpu().SetViewport(viewport);
        const float fw = static_cast<float>(width);
        const float fh = static_cast<float>(height);
        const float x0 = -1.0f - 1.0f / fw, x1 = 1.0f - 1.0f / fw;
        const float y0 = 1.0f + 1.0f / fh, y1 = -1.0f + 1.0f / fh;
        const QuadVertex vertices[] = {{x0, y0, 0, 0, 0}, {x1, y0, 0, 1, 0}, {x1, y1, 0, 1, 1},
                                       {x0, y0, 0, 0, 0}, {x1, y1, 0, 1, 1}, {x0, y1, 0, 0, 1}};
        ASSERT_EQ(Gpu().DrawPrimitiveUP(sys::kPrimTriangleList, 2, vertices, sizeof(QuadVertex)), sys::kGpuOk);
    }
    // Samples a texture-table handle at its level-0 size (up to the back buffer) and returns the RGBA pixels.
    std::vector<std::uint8_t> Sample(int handle, std::uint32_t width, std::uint32_t height) {
        UseQuad(kQuadPixelShader);
        device_->SetTexture(0, handle);
        DrawQuad(width, height);
        return Picture();
    }
    std::array<int, 4> SampledAt(const std::vector<std::uint8_t>& picture, int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * kWidth + x) * 4;
        return {picture[at], picture[at + 1], picture[at + 2], picture[at + 3]};
    }

    testsupport::TempFolder folder_;
    sys::GpuVertexDeclaration* declaration_ = nullptr;
};

// RGBA of a texel stored as B, G, R, A bytes.
inline std::array<int, 4> TexelRgba(const std::uint8_t* bgra) { return {bgra[2], bgra[1], bgra[0], bgra[3]}; }

}  // namespace rendertest
