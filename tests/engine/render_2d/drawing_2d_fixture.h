#pragma once
// 2D drawing on the engine's graphics device: an offscreen colour surface of its own as the target, the texture
// table on the device, and CPU helpers for textures and read-back.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "engine/image/image.h"
#include "engine/render/target_drawing_2d.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render_gl/render_test_fixture.h"

namespace drawtest {

using Rgba = std::array<int, 4>;

// An ARGB word as R, G, B, A.
inline Rgba RgbaOf(std::uint32_t argb) { return rendertest::Rgba(argb); }

inline ::testing::AssertionResult Near(const Rgba& actual, const Rgba& expected, int tolerance) {
    for (int c = 0; c < 4; ++c) {
        if (std::abs(actual[c] - expected[c]) > tolerance) {
            return ::testing::AssertionFailure()
                   << "got (" << actual[0] << ", " << actual[1] << ", " << actual[2] << ", " << actual[3]
                   << ") expected (" << expected[0] << ", " << expected[1] << ", " << expected[2] << ", "
                   << expected[3] << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

class Drawing2DTest : public rendertest::GraphicsDeviceTest {
protected:
    static constexpr int kTargetWidth = 64;
    static constexpr int kTargetHeight = 48;
    static constexpr std::uint32_t kClear = 0xFF102030u;  // opaque, so that kept alpha shows as 255

    void SetUp() override {
        GraphicsDeviceTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(CreateWithTextureTable());
        surface_ = Gpu().CreateRenderTarget(kTargetWidth, kTargetHeight, sys::kFmtA8R8G8B8, 0);
        ASSERT_NE(surface_, nullptr);
        device_->SetRenderTargetSurface(surface_);
        // The back buffer's smaller depth surface would limit drawing to its size; 2D drawing tests no depth.
        device_->SetDepthSurfaceCached(nullptr);
        drawing_ = std::make_unique<engine::TargetDrawing2D>(*device_, *vertexShaders_, *pixelShaders_);
        Clear(kClear);
    }
    void TearDown() override {
        drawing_.reset();
        if (device_) {
            device_->SetRenderTargetSurface(device_->BackBufferSurface());
            device_->SetDepthSurfaceCached(device_->BackBufferDepthSurface());
            device_->UnbindAllTextures();
        }
        rendertest::ReleaseObject(surface_);
        FreeTextureTable();
        GraphicsDeviceTest::TearDown();
    }

    engine::DrawTarget2D Target(bool pointSampling = false) const {
        engine::DrawTarget2D target;
        target.width = kTargetWidth;
        target.height = kTargetHeight;
        target.invWidth = 1.0f / kTargetWidth;
        target.invHeight = 1.0f / kTargetHeight;
        target.pointSampling = pointSampling;
        return target;
    }

    void Clear(std::uint32_t argb) {
        device_->SetColourWriteMask(15);
        ASSERT_EQ(Gpu().Clear(0, nullptr, sys::kClearTarget, argb, 1.0f, 0), sys::kGpuOk);
    }

    // A texture of width x height from an ARGB function of the texel, with the given alpha kind.
    int MakeTexture(int width, int height, const std::function<std::uint32_t(int, int)>& texel,
                    engine::AlphaKind kind = engine::kAlphaOpaque) {
        engine::Image image;
        EXPECT_TRUE(image.Create(width, height, engine::WideString("Quad")));
        std::uint8_t* p = image.Pixels();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t argb = texel(x, y);
                for (int b = 0; b < 4; ++b) *p++ = static_cast<std::uint8_t>(argb >> (8 * b));
            }
        }
        image.SetAlphaKind(kind);
        const int handle = engine::TextureTable::CreateFromImage(image, 0);
        EXPECT_NE(handle, 0);
        return handle;
    }

    std::vector<std::uint8_t> Read() {
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(Gpu().ReadSurfaceRgba8(surface_, pixels));
        pixels.resize(static_cast<std::size_t>(kTargetWidth) * kTargetHeight * 4);
        return pixels;
    }
    static Rgba At(const std::vector<std::uint8_t>& picture, int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * kTargetWidth + x) * 4;
        return {picture[at], picture[at + 1], picture[at + 2], picture[at + 3]};
    }
    // Every pixel outside the rectangle still holds the clear colour.
    static ::testing::AssertionResult UntouchedOutside(const std::vector<std::uint8_t>& picture,
                                                       const engine::IntRect& rect) {
        for (int y = 0; y < kTargetHeight; ++y) {
            for (int x = 0; x < kTargetWidth; ++x) {
                if (rect.Contains(x, y)) continue;
                if (At(picture, x, y) != RgbaOf(kClear)) {
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") was drawn";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    sys::GpuSurface* surface_ = nullptr;
    std::unique_ptr<engine::TargetDrawing2D> drawing_;
};

// A pseudo-random opaque ARGB texel.
inline std::uint32_t NoiseTexel(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return 0xFF000000u | (h & 0xFFFFFFu);
}

}  // namespace drawtest
