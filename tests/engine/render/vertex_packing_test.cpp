#include "engine/render/vertex_packing.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/render/packed_mesh_vertices.h"
#include "engine/render/vertex_formats.h"

namespace {

using engine::VertexSource;

TEST(VertexPacking, NormalsPackToTruncatedBytes) {
    const struct {
        float component;
        std::uint32_t byte;
    } cases[] = {{1.0f, 254}, {-1.0f, 0}, {0.0f, 127}, {2.5f, 254}, {-3.0f, 0}, {0.5f, 190}, {-0.5f, 63}};
    for (const auto& test : cases) {
        const std::uint32_t packed = engine::PackNormal({test.component, test.component, test.component});
        EXPECT_EQ(packed, test.byte | (test.byte << 8) | (test.byte << 16)) << test.component;
    }
    const engine::Vec3 back = engine::UnpackNormal(engine::PackNormal({1.0f, -1.0f, 0.0f}));
    EXPECT_NEAR(back.x, 1.0f, 1e-6f);
    EXPECT_NEAR(back.y, -1.0f, 1e-6f);
    EXPECT_NEAR(back.z, 0.0f, 1e-6f);
    EXPECT_NEAR(engine::UnpackVec4(0xFE000000u).w, 1.0f, 1e-6f);
    EXPECT_NEAR(engine::UnpackVec4(0).w, -1.0f, 1e-6f);
}

TEST(VertexPacking, TextureCoordinatesAre4095PerUnit) {
    EXPECT_EQ(engine::PackUV(1.0f, 0.0f), 4095u);
    EXPECT_EQ(engine::PackUV(0.0f, 1.0f), 4095u << 16);
    EXPECT_EQ(engine::PackUV(-1.0f, 2.0f), 0xF001u | (8190u << 16));
    const engine::Vec2 back = engine::UnpackUV(engine::PackUV(-1.0f, 7.5f));
    EXPECT_NEAR(back.x, -1.0f, 1e-4f);
    EXPECT_NEAR(back.y, 7.5f, 1e-3f);
    // Beyond the 16-bit range the values saturate instead of wrapping to the other sign.
    EXPECT_EQ(engine::PackUV(100.0f, -100.0f), 0x7FFFu | (0x8000u << 16));
}

TEST(VertexPacking, TangentsCarryTheirHandedness) {
    const engine::Vec3 normal{0, 0, 1};
    const std::uint32_t right = engine::PackTangent(normal, {2, 0, 0.5f}, {0, 1, 0});
    const std::uint32_t left = engine::PackTangent(normal, {2, 0, 0.5f}, {0, -1, 0});
    EXPECT_EQ(right >> 24, 0xFEu);
    EXPECT_EQ(left >> 24, 0u);
    // The tangent is made orthogonal to the normal and normalised: (1, 0, 0).
    EXPECT_EQ(right & 0xFFFFFF, engine::PackNormal({1, 0, 0}));
    // A zero tangent sum (a triangle without a usable texture mapping) gives a fixed unit tangent across the
    // normal, not the zero vector.
    EXPECT_EQ(engine::PackTangent(normal, {0, 0, 0}, {0, 1, 0}) & 0xFFFFFF, engine::PackNormal({1, 0, 0}));
}

TEST(VertexPacking, BonesAreRemappedAndWeightsTruncated) {
    const std::uint8_t indices[4] = {5, 9, 2, 7};
    EXPECT_EQ(engine::PackBoneIndices(indices, {}), 0x07020905u);
    const std::uint8_t remap[] = {9, 7, 5};
    EXPECT_EQ(engine::PackBoneIndices(indices, remap), 0x01000002u);
    const float weights[4] = {1.0f, 0.5f, 0.25f, 0.0f};
    EXPECT_EQ(engine::PackBoneWeights(weights), 0x003F7FFFu);
}

TEST(VertexPacking, VerticesOfEachFormatRoundTrip) {
    VertexSource source;
    source.position = {1.5f, -2.0f, 3.25f};
    source.normal = {0, 1, 0};
    source.tangent = {1, 0, 0};
    source.bitangent = {0, 0, 1};
    source.colour = 0x11223344;
    source.uv0 = {0.5f, 0.25f};
    source.uv1 = {2.0f, -1.0f};
    source.boneIndices[2] = 4;
    source.packedWeights = 0x01020304;
    for (int format = engine::kVertexNormal; format <= engine::kVertexSkinned; ++format) {
        SCOPED_TRACE(format);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(engine::VertexFormatStride(format)) + 8, 0xAB);
        ASSERT_TRUE(engine::WritePackedVertex(format, source, {}, bytes.data()));
        EXPECT_EQ(bytes[static_cast<std::size_t>(engine::VertexFormatStride(format))], 0xAB)
            << "no byte past the stride";
        VertexSource back;
        ASSERT_TRUE(engine::UnpackVertex(format, bytes.data(), back));
        EXPECT_EQ(back.position.x, 1.5f);
        EXPECT_EQ(back.position.z, 3.25f);
        std::vector<std::uint8_t> again(bytes.size(), 0xAB);
        if (format == engine::kVertexSkinned) {
            engine::WriteSkinnedVertex(back, {}, again.data());
        } else {
            engine::WritePackedVertex(format, back, {}, again.data());
        }
        EXPECT_EQ(again, bytes);
    }
    std::uint8_t bytes[64];
    EXPECT_FALSE(engine::WritePackedVertex(6, source, {}, bytes));
    EXPECT_FALSE(engine::UnpackVertex(0, bytes, source));
}

TEST(PackedMeshVertices, CornersWithinThePositionToleranceAndEqualBytesShareAnIndex) {
    engine::PackedMeshVertices vertices(engine::kVertexMesh);
    VertexSource a;
    a.position = {1.0f, 2.0f, 3.0f};
    a.normal = {0, 1, 0};
    EXPECT_EQ(engine::AddPackedMeshVertex(vertices, a), 0);
    VertexSource near = a;
    near.position.x += 0.00005f;
    near.position.z -= 0.00005f;
    EXPECT_EQ(engine::AddPackedMeshVertex(vertices, near), 0);
    VertexSource far = a;
    far.position.y += 0.00015f;
    EXPECT_EQ(engine::AddPackedMeshVertex(vertices, far), 1);
    VertexSource otherColour = a;
    otherColour.colour = 0xFFFFFFFE;
    EXPECT_EQ(engine::AddPackedMeshVertex(vertices, otherColour), 2);
    VertexSource otherUv = a;
    otherUv.uv1 = {0.0f, 1.0f / 4095.0f};
    EXPECT_EQ(engine::AddPackedMeshVertex(vertices, otherUv), 3);
    // A corner matching two vertices takes the first.
    VertexSource between = a;
    between.position.y += 0.00008f;
    EXPECT_EQ(engine::AddPackedMeshVertex(vertices, between), 0);
    EXPECT_EQ(vertices.Count(), 4);
    EXPECT_EQ(vertices.Bytes().size(), 4u * 32u);
}

TEST(PackedMeshVertices, The65537thDistinctVertexIsRefused) {
    engine::PackedMeshVertices vertices(engine::kVertexColour);
    VertexSource source;
    for (int i = 0; i < engine::PackedMeshVertices::kMaxVertices; ++i) {
        source.position = {static_cast<float>(i % 256), static_cast<float>(i / 256), 0.0f};
        ASSERT_EQ(engine::AddPackedMeshVertex(vertices, source), i);
    }
    source.position = {0.5f, 0.5f, 0.0f};
    EXPECT_EQ(engine::AddPackedMeshVertex(vertices, source), -1);
    EXPECT_EQ(vertices.Count(), 65536);
    source.position = {3.0f, 2.0f, 0.0f};
    EXPECT_EQ(engine::AddPackedMeshVertex(vertices, source), 2 * 256 + 3) << "a repeat still finds its index";
    engine::PackedMeshVertices wrong(6);
    EXPECT_EQ(engine::AddPackedMeshVertex(wrong, source), -1);
}

}  // namespace
