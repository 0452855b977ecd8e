// Dynamic vertex buffers: the lock sequence, wrapping, the registry and device loss.
#include <memory>

#include "render_test_fixture.h"

namespace {

using engine::DynamicVertexBuffer;
using rendertest::GraphicsDeviceTest;

TEST_F(GraphicsDeviceTest, LocksAppendUntilFullThenWrapOrFail) {
    Create();
    constexpr std::uint32_t kSize = 160;  // ten format-2 vertices, five format-4 vertices
    for (bool wrap : {true, false}) {
        SCOPED_TRACE(wrap ? "wrapping" : "not wrapping");
        DynamicVertexBuffer buffer(device_.get(), wrap, kSize);
        ASSERT_NE(buffer.Buffer(), nullptr);
        int first = -1;
        ASSERT_NE(buffer.Lock(engine::kVertexColour, 1, first), nullptr);
        buffer.Unlock();
        EXPECT_EQ(first, 0);
        // The start is rounded up to the stride: 16 bytes in, the first 32-byte vertex is vertex 1.
        ASSERT_NE(buffer.Lock(engine::kVertexMesh, 2, first), nullptr);
        buffer.Unlock();
        EXPECT_EQ(first, 1);
        EXPECT_EQ(buffer.WritePosition(), 96u);
        // Exactly filling the rest succeeds.
        ASSERT_NE(buffer.Lock(engine::kVertexColour, 4, first), nullptr);
        buffer.Unlock();
        EXPECT_EQ(first, 6);
        EXPECT_EQ(buffer.WritePosition(), kSize);
        void* next = buffer.Lock(engine::kVertexColour, 3, first);
        EXPECT_EQ(first, 0);
        if (wrap) {
            ASSERT_NE(next, nullptr);
            buffer.Unlock();
            EXPECT_EQ(buffer.WritePosition(), 48u);
        } else {
            EXPECT_EQ(next, nullptr);
            EXPECT_EQ(buffer.WritePosition(), kSize);
        }
        // More than the whole buffer is refused, wrapping or not.
        EXPECT_EQ(buffer.Lock(engine::kVertexColour, 11, first), nullptr);
        EXPECT_FALSE(buffer.IsLocked());
        buffer.Restart();
        ASSERT_NE(buffer.Lock(engine::kVertexInstanceRows, 1, first), nullptr);
        buffer.Unlock();
        EXPECT_EQ(first, 0);
        EXPECT_EQ(buffer.WritePosition(), 48u);
        EXPECT_EQ(buffer.Lock(0, 1, first), nullptr);
        EXPECT_EQ(buffer.Lock(engine::kVertexColour, 0, first), nullptr);
    }
}

TEST_F(GraphicsDeviceTest, TheRegistryListsBuffersAndReleasesThemAll) {
    Create();
    DynamicVertexBuffer* global = engine::GlobalDynamicVertexBuffer();
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(global->Size(), DynamicVertexBuffer::kGlobalSize);
    EXPECT_TRUE(global->IsRegistered());
    std::vector<std::unique_ptr<DynamicVertexBuffer>> buffers;
    for (int i = 0; i < DynamicVertexBuffer::kRegistrySize; ++i) {
        buffers.push_back(std::make_unique<DynamicVertexBuffer>(device_.get(), false, 64));
    }
    EXPECT_TRUE(buffers[126]->IsRegistered());
    EXPECT_FALSE(buffers[127]->IsRegistered()) << "the 129th buffer";
    int first = 0;
    ASSERT_NE(buffers[3]->Lock(engine::kVertexColour, 1, first), nullptr);
    engine::ReleaseDynamicVertexBuffers();
    EXPECT_FALSE(buffers[3]->IsLocked());
    EXPECT_EQ(buffers[3]->Buffer(), nullptr);
    EXPECT_EQ(global->Buffer(), nullptr);
    EXPECT_NE(buffers[127]->Buffer(), nullptr);
    buffers.erase(buffers.begin());
    DynamicVertexBuffer late(device_.get(), false, 64);
    EXPECT_TRUE(late.IsRegistered()) << "a freed slot is taken again";

    sys::GpuHooks().FailNext(sys::GpuCreateKind::VertexBuffer);
    DynamicVertexBuffer failed(device_.get(), true, 64);
    EXPECT_EQ(failed.Buffer(), nullptr);
    EXPECT_EQ(failed.Size(), 0u);
    EXPECT_EQ(failed.Lock(engine::kVertexColour, 1, first), nullptr);
}

}  // namespace
