#pragma once
// Deferred 2D items of a render target in eight layers, drawn when the target ends its pass: layer 1 first, so
// layer 8 ends on top; within a layer by descending sort key, equal keys in the order they were queued.
// Textures use their handle as key so that equal textures draw together. A layer holds 64 items; items
// beyond that, or for a layer outside 1-8, go to a spare entry that is never drawn.
#include <array>
#include <cstdint>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"

namespace engine {

enum QuadQueueEntryType : int {
    kQueuedScaledTexture = 0,
    kQueuedTextureRect = 1,
    kQueuedGradientRect = 2,
    kQueuedText = 3,
    kQueuedTextBlock = 4,
};

struct QuadQueueEntry {
    int type = kQueuedTextureRect;
    std::int32_t sortKey = 0;
    // Scaled texture: position; texture rectangle: source; gradient: the rectangle.
    IntRect rect;
    // Texture rectangle: the destination.
    IntRect destination;
    // Scaled texture: the scales.
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    // Gradient: top-left, top-right, bottom-left, bottom-right (ARGB).
    std::uint32_t corners[4] = {};
    std::uint32_t colour = 0xFFFFFFFFu;
    std::uint32_t texture = 0;
    int blend = 0;
    // Text and text blocks, filled and read by the font code.
    void* font = nullptr;
    int textX = 0;
    int textY = 0;
    std::uint32_t alignment = 0;
    WideString text;
    void* textBlock = nullptr;
    int lineValue = 0;
    std::uint32_t textFlags = 0;
};

// The target's drawing operations the replay calls.
class QuadQueueDrawer {
public:
    virtual ~QuadQueueDrawer() = default;
    virtual void DrawTextureScaled(int x, int y, float scaleX, float scaleY, std::uint32_t handle,
                                   std::uint32_t colour, int blend, int mono) = 0;
    virtual void DrawTextureRect(const IntRect& destination, const IntRect& source, std::uint32_t handle,
                                 std::uint32_t colour, int blend, int mono) = 0;
    virtual void FillRectGradient(const IntRect& rect, std::uint32_t topLeft, std::uint32_t topRight,
                                  std::uint32_t bottomLeft, std::uint32_t bottomRight, int blend) = 0;
    // Text entries (types 3 and 4).
    virtual void DrawQueuedText(const QuadQueueEntry& entry) = 0;
};

class QuadQueue {
public:
    static constexpr int kLayerCount = 8;
    static constexpr int kLayerCapacity = 64;

    // A texture rectangle keyed by its handle; the caller may change the entry afterwards.
    QuadQueueEntry& QueueTexture(int layer, const IntRect& destination, const IntRect& source,
                                 std::uint32_t handle, std::uint32_t colour, int blend);
    // A gradient rectangle with key 0.
    QuadQueueEntry& QueueGradientRect(int layer, const IntRect& rect, std::uint32_t topLeft, std::uint32_t topRight,
                                      std::uint32_t bottomLeft, std::uint32_t bottomRight, int blend);
    // A fresh entry of the layer, or the spare entry when the layer is full or out of range.
    QuadQueueEntry& Add(int layer);

    // Draws layers 1 to 8 and empties them.
    void Replay(QuadQueueDrawer& drawer);
    // Empties every layer (a device reset).
    void Clear();

    int Count(int layer) const;
    bool IsSpare(const QuadQueueEntry& entry) const { return &entry == &spare_; }

private:
    struct Layer {
        int count = 0;
        std::array<QuadQueueEntry, kLayerCapacity> entries;
        std::array<QuadQueueEntry*, kLayerCapacity> order{};
    };

    std::array<Layer, kLayerCount> layers_;
    QuadQueueEntry spare_;
};

}  // namespace engine
