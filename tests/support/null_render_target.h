#pragma once
// A render target of a given size on which every operation does nothing; recording test targets derive from it
// and override the operations they note.
#include <cstdint>

#include "engine/render/quad_queue.h"
#include "engine/render/render_target.h"

namespace testsupport {

class NullRenderTarget : public engine::RenderTargetBase {
public:
    NullRenderTarget(int width, int height) : width_(width), height_(height) {}

    void BeginCube(sys::GpuCubeTexture*) override {}
    void Begin(std::uint32_t) override {}
    void BeginNoMultisample(std::uint32_t) override {}
    void End() override {}
    void DrawTextureRect(const engine::IntRect&, const engine::IntRect&, std::uint32_t, std::uint32_t, int,
                         int) override {}
    void DrawTexture(float, float, std::uint32_t, std::uint32_t, int, int) override {}
    void DrawTextureScaled(float, float, float, float, std::uint32_t, std::uint32_t, int, int) override {}
    void DrawTextureOffsetScaled(float, float, float, float, float, float, std::uint32_t, std::uint32_t, int,
                                 int) override {}
    void DrawTextureRotated(float, float, float, float, float, std::uint32_t, std::uint32_t, int, int) override {}
    void DrawTextureTransformed(float, float, float, float, float, float, float, std::uint32_t, std::uint32_t, int,
                                int) override {}
    void DrawSprite(int, int, std::uint32_t, const engine::IntRect&) override {}
    // Queued quads land in one spare entry that nothing replays.
    engine::QuadQueueEntry& QueueTexture(int, const engine::IntRect&, const engine::IntRect&, std::uint32_t,
                                         std::uint32_t, int) override {
        return spare_;
    }
    void DrawSpriteScaled(int, int, std::uint32_t, float, float, const engine::IntRect&) override {}
    void FillRect(const engine::IntRect&, std::uint32_t, int) override {}
    void FillRectGradient(const engine::IntRect&, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                          int) override {}
    engine::QuadQueueEntry& QueueGradientRect(int, const engine::IntRect&, std::uint32_t, std::uint32_t,
                                              std::uint32_t, std::uint32_t, int) override {
        return spare_;
    }
    void SetClipRect(const engine::IntRect*) override {}
    void RenderScene(engine::RenderQueue*, engine::SceneRenderView*) override {}
    void DrawTriangles(int, int, const void*, std::uint32_t) override {}
    int CopyToTexture() override { return 0; }
    int ApplyMonochrome(float, std::uint32_t) override { return 0; }
    void ApplyBlurBloom() override {}
    int MakeTexture() override { return 0; }
    int ScreenDump() override { return 0; }
    void ClearRect(const engine::IntRect&) override {}
    void SetViewport(const engine::IntRect&) override {}
    void ClearDepth() override {}
    void Resolve() override {}
    void OnDeviceReset(bool) override {}
    void RenderCubeFace(engine::RenderQueue*, engine::SceneRenderView*, int) override {}
    void CreateSurfaces() override {}
    void ApplyView(const engine::RenderView*) override {}
    void Clear() override {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }

private:
    int width_;
    int height_;
    engine::QuadQueueEntry spare_{};
};

}  // namespace testsupport
