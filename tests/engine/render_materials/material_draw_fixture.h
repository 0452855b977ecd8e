#pragma once
// The material manager on the engine's graphics device over the GL test context: textures in the texture
// table, the engine's stage textures, shader managers and a frame timer on a fake clock, and a full-screen
// quad of mesh vertices (format 4) drawn with whatever BindMaterial bound.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/core/frame_timer.h"
#include "engine/image/image.h"
#include "engine/render/material_def.h"
#include "engine/render/material_manager.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/texture_table.h"
#include "engine/render_gl/render_test_fixture.h"

namespace mtltest {

// A format-4 vertex: position, normal and tangent bytes (0-254 map to -1..1), ARGB colour, two texture
// coordinates in 4095ths.
struct MeshVertex {
    float x = 0, y = 0, z = 0.5f;
    std::uint8_t normal[4] = {127, 127, 0, 127};     // (0, 0, -1)
    std::uint8_t tangent[4] = {254, 127, 127, 254};  // (1, 0, 0), w = 1
    std::uint32_t colour = 0xFFFFFFFFu;
    std::int16_t uv1[2] = {0, 0};
    std::int16_t uv2[2] = {0, 0};
};
static_assert(sizeof(MeshVertex) == 32);

inline std::uint8_t NormalByte(float v) { return static_cast<std::uint8_t>(std::lround((v + 1.0f) * 127.0f)); }

class MaterialDrawTest : public rendertest::GraphicsDeviceTest {
protected:
    void SetUp() override {
        GraphicsDeviceTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(CreateWithTextureTable());
        stageTextures = std::make_unique<engine::TableStageTextures>(*device_);
        engine::ShaderSetServices services;
        services.states = device_.get();
        services.textures = stageTextures.get();
        services.vertexShaders = vertexShaders_.get();
        services.pixelShaders = pixelShaders_.get();
        services.timer = &timer;
        manager = std::make_unique<engine::MaterialManager>(services);
        manager->CreateShaderSets();
        // Clip space is world space: Proj and ModelToWorld are identities.
        vertexShaders_->SetMatrix(engine::Matrix44(), 0);
        vertexShaders_->SetMatrix(engine::Matrix44(), 8);
        vertexShaders_->ClearShellParams();
        vertexShaders_->SetVector(engine::Vec4{0, 0, 0, 0}, 32);
    }
    void TearDown() override {
        manager.reset();
        stageTextures.reset();
        if (device_) device_->UnbindAllTextures();
        FreeTextureTable();
        GraphicsDeviceTest::TearDown();
    }

    // A texture of ARGB texels from a function of (x, y), one level.
    static int MakeTexture(int width, int height, const std::function<std::uint32_t(int, int)>& argb) {
        engine::Image image;
        if (!image.Create(width, height, engine::WideString("T"))) return 0;
        engine::AlphaKindScan scan;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t c = argb(x, y);
                std::uint8_t* p = image.Pixels() + y * image.Pitch() + x * 4;
                for (int b = 0; b < 4; ++b) p[b] = static_cast<std::uint8_t>(c >> (8 * b));
                scan.Add(static_cast<std::uint8_t>(c >> 24));
            }
        }
        image.SetAlphaKind(scan.Kind());
        return engine::TextureTable::CreateFromImage(image, 0);
    }
    static int Solid(std::uint32_t argb) {
        return MakeTexture(4, 4, [argb](int, int) { return argb; });
    }

    // Binds the material and draws the quad over the whole back buffer with every vertex like `v`; false when
    // BindMaterial fails.
    bool Draw(engine::MaterialDef& material, const MeshVertex& v, const engine::MaterialView* view = nullptr) {
        device_->SetDepthMode(false, false, false);
        device_->SetCullMode(sys::kCullNone);
        device_->SetBlendMode(0);
        device_->SetAlphaTest(0, 0);
        device_->SetColourWriteMask(15);
        if (manager->BindMaterial(material, view, &identity, false, false) != 1) return false;
        DrawBound(v);
        return true;
    }
    // With spreadUv1, UV1 runs from 0 at the left edge to 4095 at the right (and top to bottom).
    void DrawBound(const MeshVertex& v, bool spreadUv1 = false) {
        Gpu().Clear(0, nullptr, sys::kClearTarget | sys::kClearZBuffer, 0, 1.0f, 0);
        MeshVertex quad[6];
        const float corners[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
        for (int i = 0; i < 6; ++i) {
            quad[i] = v;
            quad[i].x = corners[i][0];
            quad[i].y = corners[i][1];
            if (spreadUv1) {
                quad[i].uv1[0] = static_cast<std::int16_t>(corners[i][0] > 0 ? 4095 : 0);
                quad[i].uv1[1] = static_cast<std::int16_t>(corners[i][1] > 0 ? 4095 : 0);
            }
        }
        declarations_->Select(engine::kVertexMesh);
        ASSERT_EQ(Gpu().DrawPrimitiveUP(sys::kPrimTriangleList, 2, quad, sizeof(MeshVertex)), sys::kGpuOk);
    }
    std::array<int, 4> Centre() { return Pixel(kWidth / 2, kHeight / 2); }

    void SetTime(double milliseconds) {
        now = std::chrono::nanoseconds(static_cast<std::int64_t>(milliseconds * 1e6));
    }

    std::chrono::nanoseconds now{0};
    engine::FrameTimer timer{[this] { return now; }};
    engine::Matrix44 identity;
    std::unique_ptr<engine::TableStageTextures> stageTextures;
    std::unique_ptr<engine::MaterialManager> manager;
};

// 0..1 to a byte as the target stores it.
inline int Byte(float v) { return static_cast<int>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f)); }
inline float Unit(std::uint32_t argb, int shift) { return static_cast<float>((argb >> shift) & 0xFF) / 255.0f; }

inline void ExpectPixel(const std::array<int, 4>& pixel, const std::array<float, 4>& expected, int tolerance,
                        const std::string& what) {
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(pixel[c], Byte(expected[c]), tolerance) << what << ", channel " << c;
}

}  // namespace mtltest
