// A render target's 2D operations: immediate ones through the 2D drawing in the target's pixels, deferred ones
// into the target's quad queue, which is made with its first item.
#include <utility>

#include "engine/render/quad_queue.h"
#include "engine/render/render_target.h"

namespace engine {
namespace {

QueuedTextDrawer& TextDrawer() {
    static QueuedTextDrawer drawer;
    return drawer;
}

}  // namespace

void SetQueuedTextDrawer(QueuedTextDrawer drawer) { TextDrawer() = std::move(drawer); }

class RenderTarget::QueueReplay final : public QuadQueueDrawer {
public:
    explicit QueueReplay(RenderTarget& target) : target_(target) {}

    void DrawTextureScaled(int x, int y, float scaleX, float scaleY, std::uint32_t handle, std::uint32_t colour,
                           int blend, int mono) override {
        target_.DrawTextureScaled(static_cast<float>(x), static_cast<float>(y), scaleX, scaleY, handle, colour,
                                  blend, mono);
    }
    void DrawTextureRect(const IntRect& destination, const IntRect& source, std::uint32_t handle,
                         std::uint32_t colour, int blend, int mono) override {
        target_.DrawTextureRect(destination, source, handle, colour, blend, mono);
    }
    void FillRectGradient(const IntRect& rect, std::uint32_t topLeft, std::uint32_t topRight,
                          std::uint32_t bottomLeft, std::uint32_t bottomRight, int blend) override {
        target_.FillRectGradient(rect, topLeft, topRight, bottomLeft, bottomRight, blend);
    }
    void DrawQueuedText(const QuadQueueEntry& entry) override {
        if (TextDrawer()) TextDrawer()(target_, entry);
    }

private:
    RenderTarget& target_;
};

void RenderTarget::End() {
    Resolve();
    if (queue_ != nullptr) {
        QueueReplay replay(*this);
        queue_->Replay(replay);
    }
    state_ = 2;
}

void RenderTarget::DrawTextureRect(const IntRect& destination, const IntRect& source, std::uint32_t handle,
                                   std::uint32_t colour, int blend, int mono) {
    if (drawing_ != nullptr) drawing_->DrawTextureRect(Target2D(), destination, source, handle, colour, blend, mono);
}

void RenderTarget::DrawTexture(float x, float y, std::uint32_t handle, std::uint32_t colour, int blend, int mono) {
    if (drawing_ != nullptr) drawing_->DrawTexture(Target2D(), x, y, handle, colour, blend, mono);
}

void RenderTarget::DrawTextureScaled(float x, float y, float scaleX, float scaleY, std::uint32_t handle,
                                     std::uint32_t colour, int blend, int mono) {
    if (drawing_ != nullptr) drawing_->DrawTextureScaled(Target2D(), x, y, scaleX, scaleY, handle, colour, blend, mono);
}

void RenderTarget::DrawTextureOffsetScaled(float x, float y, float scaleX, float scaleY, float pivotX, float pivotY,
                                           std::uint32_t handle, std::uint32_t colour, int blend, int mono) {
    if (drawing_ == nullptr) return;
    drawing_->DrawTextureOffsetScaled(Target2D(), x, y, scaleX, scaleY, pivotX, pivotY, handle, colour, blend, mono);
}

void RenderTarget::DrawTextureRotated(float x, float y, float pivotX, float pivotY, float angle,
                                      std::uint32_t handle, std::uint32_t colour, int blend, int mono) {
    if (drawing_ == nullptr) return;
    drawing_->DrawTextureRotated(Target2D(), x, y, pivotX, pivotY, angle, handle, colour, blend, mono);
}

void RenderTarget::DrawTextureTransformed(float x, float y, float pivotX, float pivotY, float angle, float scaleX,
                                          float scaleY, std::uint32_t handle, std::uint32_t colour, int blend,
                                          int mono) {
    if (drawing_ == nullptr) return;
    drawing_->DrawTextureTransformed(Target2D(), x, y, pivotX, pivotY, angle, scaleX, scaleY, handle, colour, blend,
                                     mono);
}

void RenderTarget::DrawSprite(int x, int y, std::uint32_t handle, const IntRect& source) {
    if (drawing_ != nullptr) drawing_->DrawSprite(Target2D(), x, y, handle, source);
}

void RenderTarget::DrawSpriteScaled(int x, int y, std::uint32_t handle, float scaleX, float scaleY,
                                    const IntRect& source) {
    if (drawing_ != nullptr) drawing_->DrawSpriteScaled(Target2D(), x, y, handle, scaleX, scaleY, source);
}

void RenderTarget::FillRect(const IntRect& rect, std::uint32_t colour, int blend) {
    if (drawing_ != nullptr) drawing_->FillRect(Target2D(), rect, colour, blend);
}

void RenderTarget::FillRectGradient(const IntRect& rect, std::uint32_t topLeft, std::uint32_t topRight,
                                    std::uint32_t bottomLeft, std::uint32_t bottomRight, int blend) {
    if (drawing_ == nullptr) return;
    drawing_->FillRectGradient(Target2D(), rect, topLeft, topRight, bottomLeft, bottomRight, blend);
}

void RenderTarget::DrawTriangles(int vertexFormat, int triangleCount, const void* vertices, std::uint32_t handle) {
    if (drawing_ != nullptr) drawing_->DrawTriangles(Target2D(), vertexFormat, triangleCount, vertices, handle);
}

QuadQueue& RenderTarget::EnsureQueue() {
    if (queue_ == nullptr) queue_ = std::make_unique<QuadQueue>();
    return *queue_;
}

QuadQueueEntry& RenderTarget::QueueTexture(int layer, const IntRect& destination, const IntRect& source,
                                           std::uint32_t handle, std::uint32_t colour, int blend) {
    return EnsureQueue().QueueTexture(layer, destination, source, handle, colour, blend);
}

QuadQueueEntry& RenderTarget::QueueGradientRect(int layer, const IntRect& rect, std::uint32_t topLeft,
                                                std::uint32_t topRight, std::uint32_t bottomLeft,
                                                std::uint32_t bottomRight, int blend) {
    return EnsureQueue().QueueGradientRect(layer, rect, topLeft, topRight, bottomLeft, bottomRight, blend);
}

}  // namespace engine
