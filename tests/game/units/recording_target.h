#pragma once
// A render target that keeps the filled rectangles and scaled sprites drawn on it, and a text painter that
// keeps the texts; everything else a target does is ignored.
#include <string>
#include <vector>

#include "engine/render/quad_queue.h"
#include "engine/render/render_target.h"
#include "game/units/overlay_canvas.h"

namespace units_test {

struct FilledRect {
    engine::IntRect rect;
    std::uint32_t colour = 0;
};

struct DrawnSprite {
    int x = 0;
    int y = 0;
    std::uint32_t handle = 0;
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    engine::IntRect source;
};

struct TintedCell {
    engine::IntRect destination;
    engine::IntRect source;
    std::uint32_t handle = 0;
    std::uint32_t colour = 0;
};

class RecordingTarget final : public engine::RenderTargetBase {
public:
    void BeginCube(sys::GpuCubeTexture*) override {}
    void Begin(std::uint32_t) override {}
    void BeginNoMultisample(std::uint32_t) override {}
    void End() override {}
    void DrawTextureRect(const engine::IntRect& destination, const engine::IntRect& source, std::uint32_t handle,
                         std::uint32_t colour, int, int) override {
        tinted.push_back({destination, source, handle, colour});
    }
    void DrawTexture(float, float, std::uint32_t, std::uint32_t, int, int) override {}
    void DrawTextureScaled(float, float, float, float, std::uint32_t, std::uint32_t, int, int) override {}
    void DrawTextureOffsetScaled(float, float, float, float, float, float, std::uint32_t, std::uint32_t, int,
                                 int) override {}
    void DrawTextureRotated(float, float, float, float, float, std::uint32_t, std::uint32_t, int, int) override {}
    void DrawTextureTransformed(float, float, float, float, float, float, float, std::uint32_t, std::uint32_t, int,
                                int) override {}
    void DrawSprite(int, int, std::uint32_t, const engine::IntRect&) override {}
    engine::QuadQueueEntry& QueueTexture(int, const engine::IntRect&, const engine::IntRect&, std::uint32_t,
                                         std::uint32_t, int) override {
        return entry_;
    }
    void DrawSpriteScaled(int x, int y, std::uint32_t handle, float scaleX, float scaleY,
                          const engine::IntRect& source) override {
        sprites.push_back({x, y, handle, scaleX, scaleY, source});
    }
    void FillRect(const engine::IntRect& rect, std::uint32_t colour, int) override { rects.push_back({rect, colour}); }
    void FillRectGradient(const engine::IntRect&, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                          int) override {}
    engine::QuadQueueEntry& QueueGradientRect(int, const engine::IntRect&, std::uint32_t, std::uint32_t,
                                              std::uint32_t, std::uint32_t, int) override {
        return entry_;
    }
    void SetClipRect(const engine::IntRect*) override {}
    void RenderScene(engine::RenderQueue*, engine::SceneRenderView*) override {}
    void DrawTriangles(int, int, const void*, std::uint32_t) override {}
    int CopyToTexture() override { return 0; }
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
    int Width() const override { return 960; }
    int Height() const override { return 640; }
    void Clear() override {}

    std::vector<FilledRect> rects;
    std::vector<DrawnSprite> sprites;
    std::vector<TintedCell> tinted;

private:
    engine::QuadQueueEntry entry_{};
};

struct PaintedText {
    std::string text;
    float x = 0.0f;
    float y = 0.0f;
    int flags = 0;
};

class RecordingPainter : public game::TextPainter {
public:
    void DrawText(engine::RenderTargetBase&, const engine::WideString& text, float x, float y, int flags) override {
        painted.push_back({text.GetNarrow(), x, y, flags});
    }
    std::vector<PaintedText> painted;
};

}  // namespace units_test
