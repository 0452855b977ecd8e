#include "engine/render/quad_queue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using engine::IntRect;
using engine::QuadQueue;
using engine::QuadQueueEntry;

// Records each replayed item as "kind:value", the value being the texture handle or the top-left colour.
class RecordingDrawer final : public engine::QuadQueueDrawer {
public:
    void DrawTextureScaled(int, int, float, float, std::uint32_t handle, std::uint32_t, int, int) override {
        drawn.push_back("scaled:" + std::to_string(handle));
    }
    void DrawTextureRect(const IntRect& dst, const IntRect& src, std::uint32_t handle, std::uint32_t, int,
                         int mono) override {
        drawn.push_back("rect:" + std::to_string(handle));
        lastDestination = dst;
        lastSource = src;
        lastMono = mono;
    }
    void FillRectGradient(const IntRect&, std::uint32_t topLeft, std::uint32_t, std::uint32_t, std::uint32_t,
                          int) override {
        drawn.push_back("gradient:" + std::to_string(topLeft));
    }
    void DrawQueuedText(const QuadQueueEntry& entry) override { drawn.push_back("text:" + std::to_string(entry.type)); }

    std::vector<std::string> drawn;
    IntRect lastDestination;
    IntRect lastSource;
    int lastMono = -1;
};

class QuadQueueTest : public ::testing::Test {
protected:
    void QueueTex(int layer, std::uint32_t handle) {
        queue->QueueTexture(layer, IntRect{1, 2, 3, 4}, IntRect{5, 6, 7, 8}, handle, 0xFFFFFFFFu, 3);
    }
    void QueueGrad(int layer, std::uint32_t colour) {
        queue->QueueGradientRect(layer, IntRect{0, 0, 10, 10}, colour, 0, 0, 0, 3);
    }

    std::unique_ptr<QuadQueue> queue = std::make_unique<QuadQueue>();
    RecordingDrawer drawer;
};

TEST_F(QuadQueueTest, HigherHandlesDrawFirstAndLaterLayersOnTop) {
    QueueTex(8, 1);
    QueueTex(1, 3);
    QueueTex(1, 7);
    QueueGrad(1, 99);
    queue->Replay(drawer);
    EXPECT_EQ(drawer.drawn, (std::vector<std::string>{"rect:7", "rect:3", "gradient:99", "rect:1"}));
    EXPECT_EQ(drawer.lastDestination.x, 1);
    EXPECT_EQ(drawer.lastSource.width, 7);
    EXPECT_EQ(drawer.lastMono, 0);
}

TEST_F(QuadQueueTest, EqualKeysKeepTheOrderTheyWereQueuedIn) {
    for (std::uint32_t c = 1; c <= 40; ++c) QueueGrad(2, c);
    queue->Replay(drawer);
    ASSERT_EQ(drawer.drawn.size(), 40u);
    for (std::size_t i = 0; i < 40; ++i) EXPECT_EQ(drawer.drawn[i], "gradient:" + std::to_string(i + 1));
}

TEST_F(QuadQueueTest, The65thItemAndOutOfRangeLayersAreDrawnNowhere) {
    for (int i = 0; i < QuadQueue::kLayerCapacity; ++i) QueueTex(3, 5);
    QuadQueueEntry& extra = queue->QueueTexture(3, IntRect{}, IntRect{}, 500, 0, 0);
    EXPECT_TRUE(queue->IsSpare(extra));
    for (int layer : {0, 9, -1, 1000}) {
        EXPECT_TRUE(queue->IsSpare(queue->QueueTexture(layer, IntRect{}, IntRect{}, 600, 0, 0))) << layer;
    }
    EXPECT_EQ(queue->Count(3), 64);
    queue->Replay(drawer);
    ASSERT_EQ(drawer.drawn.size(), 64u);
    for (const auto& d : drawer.drawn) EXPECT_EQ(d, "rect:5");
}

TEST_F(QuadQueueTest, TheQueueIsEmptyAfterReplayAndAfterClear) {
    QueueTex(1, 3);
    queue->Replay(drawer);
    EXPECT_EQ(queue->Count(1), 0);
    drawer.drawn.clear();
    queue->Replay(drawer);
    EXPECT_TRUE(drawer.drawn.empty());

    QueueTex(4, 3);
    QueueGrad(6, 1);
    queue->Clear();
    queue->Replay(drawer);
    EXPECT_TRUE(drawer.drawn.empty());
}

TEST_F(QuadQueueTest, EntriesCanBeChangedAfterQueueingAndEveryTypeIsReplayed) {
    QuadQueueEntry& scaled = queue->Add(2);
    scaled.type = engine::kQueuedScaledTexture;
    scaled.texture = 11;
    scaled.sortKey = 3;
    QuadQueueEntry& text = queue->Add(2);
    text.type = engine::kQueuedText;
    text.sortKey = 2;
    QuadQueueEntry& block = queue->Add(2);
    block.type = engine::kQueuedTextBlock;
    block.sortKey = 1;
    queue->Replay(drawer);
    EXPECT_EQ(drawer.drawn, (std::vector<std::string>{"scaled:11", "text:3", "text:4"}));
}

}  // namespace
