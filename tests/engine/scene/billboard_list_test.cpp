#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/material_binder.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/dynamic_geometry.h"
#include "engine/scene/spline.h"
#include "recording_render_device.h"
#include "render_queue_support.h"

namespace {

using namespace engine;

// Host memory that a restart rewinds, like the device buffer's discard.
class RewindingBuffer final : public DynamicVertexBuffer {
public:
    explicit RewindingBuffer(std::uint32_t bytes) : DynamicVertexBuffer(nullptr, false, 0), data(bytes) {}
    void* Lock(int, int count, int& firstVertex) override {
        const std::size_t need = static_cast<std::size_t>(count) * kBillboardVertexBytes;
        if (position + need > data.size()) return nullptr;
        firstVertex = static_cast<int>(position / kBillboardVertexBytes);
        void* out = data.data() + position;
        position += need;
        return out;
    }
    void Unlock() override {}
    void Restart() override {
        position = 0;
        ++restarts;
    }
    std::vector<std::uint8_t> data;
    std::size_t position = 0;
    int restarts = 0;
};

class CountingBinder final : public MaterialBinder {
public:
    int BindMaterial(MaterialDef&, const MaterialView*, const Matrix44*, bool, bool) override {
        ++binds;
        return result;
    }
    bool SupportsInstancing(const MaterialDef&) const override { return true; }
    int binds = 0;
    int result = 1;
};

class BillboardTest : public scenetest::QueueTest {
protected:
    void SetUp() override {
        QueueTest::SetUp();
        SetBillboardBufferFactory([](std::uint32_t bytes) -> std::unique_ptr<DynamicVertexBuffer> {
            return std::make_unique<RewindingBuffer>(bytes);
        });
    }
    void TearDown() override {
        SetBillboardBufferFactory(nullptr);
        QueueTest::TearDown();
    }
    static Vec3 VertexPosition(const BillboardListBase& list, int vertex) {
        const auto* buffer = static_cast<const RewindingBuffer*>(list.GetVertexBuffer());
        float p[3];
        std::memcpy(p, buffer->data.data() + static_cast<std::size_t>(list.GetFirstVertex() + vertex) * 32u, 12);
        return {p[0], p[1], p[2]};
    }
    static std::uint32_t VertexWord(const BillboardListBase& list, int vertex, int word) {
        const auto* buffer = static_cast<const RewindingBuffer*>(list.GetVertexBuffer());
        std::uint32_t w;
        std::memcpy(&w, buffer->data.data() + static_cast<std::size_t>(vertex) * 32u + 12u + 4u * word, 4);
        return w;
    }

    testsupport::RecordingRenderDevice device;
    CountingBinder binder;
    BillboardTarget Target() { return {&device, &binder}; }
};

TEST_F(BillboardTest, SpritesFaceTheCameraOrLieOnTheGround) {
    SortedBillboardList list;
    list.Resize(4, 2.0f, 2.0f, 0xFF00FF00u, GetMaterialLib().DefaultHandle(), 1.0f);
    ASSERT_EQ(list.AddItem({0, 0, 10, 1}), 1);
    list.BuildVertices(camera);
    // Camera axes are the world axes: an angle-0 quad is the screen-aligned square of edge 2.
    scenetest::ExpectVecNear(VertexPosition(list, 0), {-1, 1, 10});
    scenetest::ExpectVecNear(VertexPosition(list, 1), {1, 1, 10});
    scenetest::ExpectVecNear(VertexPosition(list, 2), {1, -1, 10});
    scenetest::ExpectVecNear(VertexPosition(list, 5), {-1, -1, 10});
    EXPECT_EQ(VertexWord(list, 0, 2), 0xFF00FF00u);
    list.SetGroundFlag(1);
    list.BuildVertices(camera);
    for (int v = 0; v < 6; ++v) EXPECT_NEAR(VertexPosition(list, v).y, 0.0f, 1e-5f);
    scenetest::ExpectVecNear(VertexPosition(list, 0), {-1, 0, 11});
}

TEST_F(BillboardTest, SortedSpritesDrawFarthestFirstAndFullListsRefuse) {
    SortedBillboardList list;
    list.Resize(2, 1.0f, 1.0f, 0xFFFFFFFFu, GetMaterialLib().DefaultHandle(), 1.0f);
    list.SetSortFlag(1);
    ASSERT_EQ(list.AddColouredItem({0, 0, 5, 1}, 0xFF000001u, 1.0f, 0.0f), 1);
    ASSERT_EQ(list.AddColouredItem({0, 0, 10, 1}, 0xFF000002u, 1.0f, 0.0f), 1);
    EXPECT_EQ(list.AddItem({0, 0, 20, 1}), 0);
    EXPECT_EQ(list.GetCount(), 2);
    list.BuildVertices(camera);
    EXPECT_EQ(VertexWord(list, 0, 2), 0xFF000002u);
    EXPECT_EQ(VertexWord(list, 6, 2), 0xFF000001u);
    list.Resize(3, 1.0f, 1.0f, 0xFFFFFFFFu, 0, 1.0f);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(BillboardTest, SegmentsAreStripsTwiceTheHalfWidthWide) {
    BillboardList list;
    list.Reserve(1, GetMaterialLib().DefaultHandle(), 1.0f);
    BillboardEnd a{{0, 0, 10, 1}, 0xFFFF0000u, 0.5f};
    BillboardEnd b{{0, 4, 10, 1}, 0xFF0000FFu, 0.5f};
    ASSERT_EQ(list.AddItemParts(a, b), 1);
    EXPECT_EQ(list.AddItemParts(a, b), 0);
    list.BuildVertices(camera);
    // Upward segment seen along +Z: the side runs along x.
    const Vec3 left = VertexPosition(list, 0), right = VertexPosition(list, 2);
    EXPECT_NEAR(left.Distance(right), 1.0f, 1e-5f);
    EXPECT_NEAR(left.y, 0.0f, 1e-5f);
    EXPECT_NEAR(VertexPosition(list, 1).y, 4.0f, 1e-5f);
    EXPECT_EQ(VertexWord(list, 0, 2), 0xFFFF0000u);
    EXPECT_EQ(VertexWord(list, 1, 2), 0xFF0000FFu);
}

TEST_F(BillboardTest, DrawsRestartTheBufferAndSkipEmptyOrUnboundLists) {
    BillboardList list;
    list.Reserve(4, GetMaterialLib().DefaultHandle(), 1.0f);
    list.Draw(camera, 0, Target());
    EXPECT_TRUE(device.draws.empty());
    EXPECT_EQ(device.blendMode, -1);  // no state touched
    BillboardEnd a{{0, 0, 10, 1}, 0xFFFFFFFFu, 0.5f};
    BillboardEnd b{{0, 4, 10, 1}, 0xFFFFFFFFu, 0.5f};
    list.AddItemParts(a, b);
    list.AddItemParts(a, b);
    // Many frames in a row all draw from the buffer's start.
    for (int frame = 0; frame < 10; ++frame) list.Draw(camera, 0, Target());
    ASSERT_EQ(device.draws.size(), 10u);
    EXPECT_EQ(device.draws.back().primitiveCount, 4u);
    EXPECT_EQ(device.draws.back().startVertex, 0u);
    EXPECT_EQ(device.draws.back().vertexFormat, 4);
    EXPECT_EQ(device.colourMask, 15u);
    // A material that does not bind leaves the list undrawn; a depth-only draw needs no binding.
    binder.result = 0;
    list.Draw(camera, 0, Target());
    EXPECT_EQ(device.draws.size(), 10u);
    list.Draw(camera, 1, Target());
    EXPECT_EQ(device.draws.size(), 11u);
    // Sprites draw with alpha reference 254.
    SortedBillboardList sprites;
    sprites.Resize(2, 1, 1, 0xFFFFFFFFu, GetMaterialLib().DefaultHandle(), 1);
    sprites.AddItem({0, 0, 10, 1});
    binder.result = 1;
    sprites.Draw(camera, 0, Target());
    EXPECT_EQ(device.alphaTestReference, 254u);
    EXPECT_EQ(device.draws.back().primitiveCount, 2u);
}

TEST_F(BillboardTest, DynamicGeometryDrawsItsTrianglesWithItsMaterial) {
    DynamicGeometry geometry;
    geometry.Init(nullptr);
    geometry.Draw(camera, Matrix44(), &device, &binder);
    EXPECT_TRUE(device.draws.empty());
    geometry.vertices = std::make_unique<RewindingBuffer>(6u * 32u);
    geometry.vertexCount = 6;
    geometry.material = 900;  // outside the table: "Default"
    binder.result = 0;
    geometry.Draw(camera, Matrix44(), &device, &binder);
    EXPECT_TRUE(device.draws.empty());
    binder.result = 1;
    geometry.Draw(camera, Matrix44(), &device, &binder);
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].primitiveCount, 2u);
    EXPECT_EQ(device.draws[0].startVertex, 0u);
    EXPECT_EQ(device.draws[0].cullMode, static_cast<std::uint32_t>(sys::kCullCcw));
    EXPECT_EQ(device.colourMask, 15u);
}

TEST_F(BillboardTest, SplinePathsBecomeStreaks) {
    Spline spline;
    for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{1, 0, 0}, Vec3{1, 0, 2}}) ASSERT_TRUE(spline.InsertKnot(p));
    BillboardList streaks;
    spline.kind = kSplineStraight;
    ASSERT_EQ(spline.BuildStreaks(streaks, GetMaterialLib().DefaultHandle()), 2);
    EXPECT_EQ(streaks.GetItem(1).b.position.z, 2.0f);
    EXPECT_FLOAT_EQ(streaks.GetItem(0).a.halfWidth, 0.0125f);
    // A curve is sampled 50 times per unit of length, plus one, from its first knot to its last.
    spline.kind = kSplineCurve;
    const int expected = static_cast<int>(std::ceil(spline.TotalLength() * 50.0f)) + 1;
    ASSERT_EQ(spline.BuildStreaks(streaks, GetMaterialLib().DefaultHandle()), expected);
    EXPECT_EQ(streaks.GetItem(0).a.position.x, 0.0f);
    EXPECT_NEAR(streaks.GetItem(expected - 1).b.position.z, 2.0f, 1e-4f);
    Spline single;
    ASSERT_TRUE(single.InsertKnot({0, 0, 0}));
    EXPECT_EQ(single.BuildStreaks(streaks, GetMaterialLib().DefaultHandle()), 0);
}

}  // namespace
