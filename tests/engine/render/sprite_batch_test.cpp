#include "engine/render/sprite_batch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"
#include "recording_render_device.h"

namespace {

using engine::IntRect;
using engine::SpriteBatch;
using engine::SpriteVertex;
using testsupport::HostDynamicBuffer;
using testsupport::RecordingRenderDevice;

class RecordingBindings final : public engine::SpriteBatchBindings {
public:
    void BindTexture(std::uint32_t stage, std::uint32_t handle) override {
        boundStage = static_cast<int>(stage);
        boundHandle = handle;
    }
    void UseTextureColourShaders() override { ++shaderUses; }

    int boundStage = -1;
    std::uint32_t boundHandle = 0;
    int shaderUses = 0;
};

class SpriteBatchTest : public ::testing::Test {
protected:
    SpriteBatchTest() : batch(device, bindings, &buffer) {
        batch.SetTexture(42, 256, 128);
        batch.SetTargetSize(640, 480);
    }

    std::vector<SpriteVertex> Vertices() const {
        std::vector<SpriteVertex> out(buffer.bytes.size() / sizeof(SpriteVertex));
        std::memcpy(out.data(), buffer.bytes.data(), out.size() * sizeof(SpriteVertex));
        return out;
    }

    RecordingRenderDevice device;
    RecordingBindings bindings;
    HostDynamicBuffer buffer;
    SpriteBatch batch;
};

TEST_F(SpriteBatchTest, BeginSetsTheGlyphStates) {
    batch.Begin();
    EXPECT_FALSE(device.depthTest);
    EXPECT_FALSE(device.depthWrite);
    EXPECT_EQ(device.blendMode, engine::kBlendPremultiplied);
    EXPECT_EQ(device.alphaTestMode, 2);
    EXPECT_EQ(device.colourMask, 7u);
    EXPECT_EQ(device.filter0, 0);
    EXPECT_EQ(bindings.boundStage, 0);
    EXPECT_EQ(bindings.boundHandle, 42u);
    EXPECT_EQ(bindings.shaderUses, 1);
}

TEST_F(SpriteBatchTest, EndWithNoQuadsDrawsNothing) {
    batch.Begin();
    batch.End(false);
    EXPECT_TRUE(device.draws.empty());
    EXPECT_TRUE(buffer.bytes.empty());
}

TEST_F(SpriteBatchTest, OneQuadIsSixVerticesInTriangleOrderMappedOneToOne) {
    batch.Begin();
    const std::uint32_t colour = 0x80402010u;
    batch.AddQuad(10.0f, 20.0f, colour, IntRect{32, 16, 8, 12});
    batch.End(false);

    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].type, sys::kPrimTriangleList);
    EXPECT_EQ(device.draws[0].primitiveCount, 2u);
    EXPECT_EQ(device.draws[0].vertexFormat, engine::kVertexMesh);
    EXPECT_EQ(device.draws[0].cullMode, 3u);
    EXPECT_EQ(buffer.lockedFormat, engine::kVertexMesh);
    EXPECT_EQ(buffer.unlocks, 1);

    const auto v = Vertices();
    ASSERT_EQ(v.size(), 6u);
    const float left = (10.0f - 0.35f) * 2.0f / 640.0f - 1.0f;
    const float right = (18.0f - 0.35f) * 2.0f / 640.0f - 1.0f;
    const float top = 1.0f - (20.0f - 0.35f) * 2.0f / 480.0f;
    const float bottom = 1.0f - (32.0f - 0.35f) * 2.0f / 480.0f;
    const float u0 = 32.0f / 256.0f, u1 = 40.0f / 256.0f, v0 = 16.0f / 128.0f, v1 = 28.0f / 128.0f;
    struct Corner {
        float x, y, u, v;
    };
    const Corner expected[6] = {{left, top, u0, v0},  {right, bottom, u1, v1}, {left, bottom, u0, v1},
                                {left, top, u0, v0},  {right, top, u1, v0},    {right, bottom, u1, v1}};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(v[i].x, expected[i].x);
        EXPECT_FLOAT_EQ(v[i].y, expected[i].y);
        EXPECT_EQ(v[i].z, 0.0f);
        EXPECT_EQ(v[i].uv0, engine::PackUV(expected[i].u, expected[i].v));
        EXPECT_EQ(v[i].normal, colour);
        EXPECT_EQ(v[i].tangent, colour);
        EXPECT_EQ(v[i].colour, colour);
    }
}

TEST_F(SpriteBatchTest, The257thQuadDrawsAFullBatchBeforeItIsAdded) {
    batch.Begin();
    for (int i = 0; i < SpriteBatch::kMaxQuads; ++i) batch.AddQuad(0.0f, 0.0f, 0xFFFFFFFFu, IntRect{0, 0, 1, 1});
    EXPECT_TRUE(device.draws.empty());
    batch.AddQuad(0.0f, 0.0f, 0xFFFFFFFFu, IntRect{0, 0, 1, 1});
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].primitiveCount, 512u);
    EXPECT_EQ(batch.QuadCount(), 1);
    batch.End(false);
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[1].primitiveCount, 2u);
    EXPECT_EQ(device.draws[1].startVertex, 256u * 6u);
}

TEST_F(SpriteBatchTest, InterleavedBatchesKeepTheirOwnQuads) {
    SpriteBatch other(device, bindings, &buffer);
    other.SetTexture(7, 256, 128);
    other.SetTargetSize(640, 480);
    batch.Begin();
    batch.AddQuad(1.0f, 1.0f, 0xFF0000FFu, IntRect{0, 0, 4, 4});
    other.Begin();
    other.AddQuad(100.0f, 100.0f, 0xFF00FF00u, IntRect{8, 8, 4, 4});
    other.End(false);
    batch.End(false);

    const auto v = Vertices();
    ASSERT_EQ(v.size(), 12u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(v[i].colour, 0xFF00FF00u) << i;
    for (int i = 6; i < 12; ++i) EXPECT_EQ(v[i].colour, 0xFF0000FFu) << i;
}

class IconBatch final : public SpriteBatch {
public:
    using SpriteBatch::SpriteBatch;
    int iconDraws = 0;

protected:
    void DrawQueuedIcons() override { ++iconDraws; }
};

TEST(SpriteBatchIcons, EndDrawsQueuedIconsOnlyWithTheFlag) {
    RecordingRenderDevice device;
    RecordingBindings bindings;
    HostDynamicBuffer buffer;
    IconBatch batch(device, bindings, &buffer);
    batch.Begin();
    batch.End(false);
    EXPECT_EQ(batch.iconDraws, 0);
    batch.End(true);
    EXPECT_EQ(batch.iconDraws, 1);
}

}  // namespace
