#include "engine/render/quad_queue.h"

#include <algorithm>

namespace engine {

QuadQueueEntry& QuadQueue::Add(int layer) {
    if (layer < 1 || layer > kLayerCount) {
        spare_ = QuadQueueEntry{};
        return spare_;
    }
    Layer& l = layers_[static_cast<std::size_t>(layer - 1)];
    if (l.count == kLayerCapacity) {
        spare_ = QuadQueueEntry{};
        return spare_;
    }
    QuadQueueEntry& entry = l.entries[static_cast<std::size_t>(l.count++)];
    entry = QuadQueueEntry{};
    return entry;
}

QuadQueueEntry& QuadQueue::QueueTexture(int layer, const IntRect& destination, const IntRect& source,
                                        std::uint32_t handle, std::uint32_t colour, int blend) {
    QuadQueueEntry& entry = Add(layer);
    entry.type = kQueuedTextureRect;
    entry.sortKey = static_cast<std::int32_t>(handle);
    entry.rect = source;
    entry.destination = destination;
    entry.texture = handle;
    entry.colour = colour;
    entry.blend = blend;
    return entry;
}

QuadQueueEntry& QuadQueue::QueueGradientRect(int layer, const IntRect& rect, std::uint32_t topLeft,
                                             std::uint32_t topRight, std::uint32_t bottomLeft,
                                             std::uint32_t bottomRight, int blend) {
    QuadQueueEntry& entry = Add(layer);
    entry.type = kQueuedGradientRect;
    entry.sortKey = 0;
    entry.rect = rect;
    entry.corners[0] = topLeft;
    entry.corners[1] = topRight;
    entry.corners[2] = bottomLeft;
    entry.corners[3] = bottomRight;
    entry.blend = blend;
    return entry;
}

void QuadQueue::Replay(QuadQueueDrawer& drawer) {
    for (Layer& layer : layers_) {
        if (layer.count == 0) continue;
        const auto first = layer.order.begin();
        const auto last = first + layer.count;
        for (int i = 0; i < layer.count; ++i) layer.order[static_cast<std::size_t>(i)] = &layer.entries[static_cast<std::size_t>(i)];
        // Stable, so that equal keys (every gradient) keep the order they were queued in.
        std::stable_sort(first, last,
                         [](const QuadQueueEntry* a, const QuadQueueEntry* b) { return a->sortKey > b->sortKey; });
        for (auto it = first; it != last; ++it) {
            const QuadQueueEntry& e = **it;
            switch (e.type) {
                case kQueuedScaledTexture:
                    drawer.DrawTextureScaled(e.rect.x, e.rect.y, e.scaleX, e.scaleY, e.texture, e.colour, e.blend, 0);
                    break;
                case kQueuedTextureRect:
                    drawer.DrawTextureRect(e.destination, e.rect, e.texture, e.colour, e.blend, 0);
                    break;
                case kQueuedGradientRect:
                    drawer.FillRectGradient(e.rect, e.corners[0], e.corners[1], e.corners[2], e.corners[3], e.blend);
                    break;
                case kQueuedText:
                case kQueuedTextBlock:
                    drawer.DrawQueuedText(e);
                    break;
                default:
                    break;
            }
        }
        layer.count = 0;
    }
}

void QuadQueue::Clear() {
    for (Layer& layer : layers_) layer.count = 0;
}

int QuadQueue::Count(int layer) const {
    if (layer < 1 || layer > kLayerCount) return 0;
    return layers_[static_cast<std::size_t>(layer - 1)].count;
}

}  // namespace engine
