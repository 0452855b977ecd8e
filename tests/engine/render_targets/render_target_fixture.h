#pragma once
// Render targets on the engine's graphics device over the shared test window: the texture table and the 2D
// drawing on the device, targets made with those services, a fake scene view that fills a rectangle, and
// pixel read-back.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/image/image.h"
#include "engine/render/render_target.h"
#include "engine/render/render_target_registry.h"
#include "engine/render/render_view.h"
#include "engine/render/target_drawing_2d.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render_gl/render_test_fixture.h"
#include "support/temp_folder.h"

namespace targettest {

using Rgba = std::array<int, 4>;

inline Rgba RgbaOf(std::uint32_t argb) { return rendertest::Rgba(argb); }

// The pixel (x, y) of an RGBA picture of the width, rows top first.
inline Rgba PixelAt(const std::vector<std::uint8_t>& picture, int width, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
    if (picture.size() < at + 4) return {-1, -1, -1, -1};
    return {picture[at], picture[at + 1], picture[at + 2], picture[at + 3]};
}

// A pseudo-random ARGB value of (x, y, seed), alpha included.
inline std::uint32_t Noise(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^
                      seed * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

// Fills a rectangle of the target with a colour through the target's 2D drawing, counting its calls.
class FillingView final : public engine::SceneRenderView {
public:
    FillingView(const engine::IntRect& viewport, const engine::IntRect& fill, std::uint32_t colour)
        : viewport_(viewport), fill_(fill), colour_(colour) {}

    engine::IntRect ViewportRect() const override { return viewport_; }
    float MinDepth() const override { return 0.25f; }
    float MaxDepth() const override { return 0.75f; }
    void Render(engine::RenderQueue* /*queue*/, engine::RenderTarget& target) override {
        ++renders;
        seenViewport = target.Device()->Device()->GetViewport();
        target.FillRect(fill_, colour_, 0);
    }

    int renders = 0;
    sys::GpuViewport seenViewport;

private:
    engine::IntRect viewport_;
    engine::IntRect fill_;
    std::uint32_t colour_;
};

class RenderTargetTest : public rendertest::GraphicsDeviceTest {
protected:
    void SetUp() override {
        GraphicsDeviceTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(CreateWithTextureTable());
        engine::ClearRenderTargetRegistry();
        drawing_ = std::make_unique<engine::TargetDrawing2D>(*device_, *vertexShaders_, *pixelShaders_);
        services_.device = device_.get();
        services_.drawing = drawing_.get();
        services_.dumpFolder = dumps_.Path().string();
        services_.dumpTitle = "Tinmarch";
        engine::SetRenderTargetServices(services_);
        resetHook_ = device_->AddResetHook(engine::ResizeRenderTargets);
    }
    void TearDown() override {
        engine::SetQueuedTextDrawer({});
        engine::DeleteAllRenderTargets();
        if (device_) {
            device_->RemoveResetHook(resetHook_);
            device_->SetRenderTargetSurface(device_->BackBufferSurface());
            device_->SetDepthSurfaceCached(device_->BackBufferDepthSurface());
            device_->UnbindAllTextures();
        }
        engine::SetRenderTargetServices({});
        drawing_.reset();
        FreeTextureTable();
        GraphicsDeviceTest::TearDown();
    }

    engine::RenderTarget* Make(int width, int height, int kind) {
        engine::RenderTarget* target = engine::CreateRenderTarget("Test RT", width, height, kind);
        EXPECT_NE(target, nullptr);
        return target;
    }

    std::vector<std::uint8_t> Read(sys::GpuSurface* surface) {
        std::vector<std::uint8_t> pixels;
        EXPECT_NE(surface, nullptr);
        if (surface != nullptr) {
            EXPECT_TRUE(Gpu().ReadSurfaceRgba8(surface, pixels));
        }
        return pixels;
    }
    // The picture of a target: its current colour texture.
    std::vector<std::uint8_t> Read(const engine::RenderTarget& target) {
        return Read(target.ColourSurface(target.CurrentIndex()));
    }
    static Rgba At(const std::vector<std::uint8_t>& picture, int width, int x, int y) {
        return PixelAt(picture, width, x, y);
    }
    // Every pixel is `inside` within the rectangle and `outside` elsewhere.
    static ::testing::AssertionResult Split(const std::vector<std::uint8_t>& picture, int width, int height,
                                            const engine::IntRect& rect, std::uint32_t inside,
                                            std::uint32_t outside) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgba expected = RgbaOf(rect.Contains(x, y) ? inside : outside);
                const Rgba got = At(picture, width, x, y);
                if (got != expected) {
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << got[0] << ", "
                                                         << got[1] << ", " << got[2] << ", " << got[3] << ")";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    // A texture of random RGBA texels (blended alpha kind, so the alpha bytes are kept); its handle.
    int NoiseTexture(int width, int height, std::uint32_t seed) {
        engine::Image image;
        EXPECT_TRUE(image.Create(width, height, engine::WideString("Noise")));
        std::uint8_t* p = image.Pixels();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t argb = Noise(x, y, seed);
                for (int b = 0; b < 4; ++b) *p++ = static_cast<std::uint8_t>(argb >> (8 * b));
            }
        }
        image.SetAlphaKind(engine::kAlphaBlended);
        const int handle = engine::TextureTable::CreateFromImage(image, 0);
        EXPECT_NE(handle, 0);
        return handle;
    }
    // The RGBA picture NoiseTexture(width, height, seed) holds.
    static std::vector<std::uint8_t> NoisePicture(int width, int height, std::uint32_t seed) {
        std::vector<std::uint8_t> picture;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgba c = RgbaOf(Noise(x, y, seed));
                picture.insert(picture.end(), {static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
                                               static_cast<std::uint8_t>(c[2]), static_cast<std::uint8_t>(c[3])});
            }
        }
        return picture;
    }
    // Draws the texture one to one at the top-left corner of the target as a raw copy (every alpha kept).
    void DrawRaw(engine::RenderTarget& target, int handle) {
        const engine::Texture* texture = engine::TextureTable::Get(handle);
        ASSERT_NE(texture, nullptr);
        drawing_->DrawTextureQuad(target.Target2D(), 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, texture->texture,
                                  0xFFFFFFFFu, 0, 0, 0);
    }

    testsupport::TempFolder dumps_;
    std::unique_ptr<engine::TargetDrawing2D> drawing_;
    engine::RenderTargetServices services_;
    int resetHook_ = 0;
};

}  // namespace targettest
