#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "engine/core/matrix.h"
#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"
#include "engine/scene/skeleton.h"
#include "model_test_support.h"
#include "recording_render_device.h"

namespace {

using namespace engine;
using scenetest::BuildMesh;
using scenetest::ExpectVecNear;
using scenetest::ModelTest;
using scenetest::Tri;

// Records the coloured vertices of each DrawVertexColoured call.
class LineDevice : public testsupport::RecordingRenderDevice {
public:
    void DrawVertexColoured(const ColouredVertex* vertices, int count) override {
        calls.emplace_back(vertices, vertices + count);
    }
    std::vector<std::vector<ColouredVertex>> calls;
};

TEST_F(ModelTest, FaceNormalsOfRepeatedCornersAndUvNormalisation) {
    MeshModel* model = NewMeshModel(WideString("m"), 3, 3);
    ASSERT_NE(model, nullptr);
    MeshData& mesh = *model->mesh;
    mesh.vertices[0].position = {0, 0, 0};
    mesh.vertices[1].position = {1, 0, 0};
    mesh.vertices[2].position = {0, 1, 0};
    mesh.triangles[0] = {};
    mesh.triangles[0].corners[0] = 0, mesh.triangles[0].corners[1] = 1, mesh.triangles[0].corners[2] = 1;
    MeshTriangle& shifted = mesh.triangles[1];
    shifted.corners[0] = 0, shifted.corners[1] = 1, shifted.corners[2] = 2;
    const float us[3] = {2.5f, 3.0f, 3.5f};
    const float vs[3] = {-1.25f, -0.5f, 0.0f};
    for (int c = 0; c < 3; ++c) shifted.uv[c][0] = us[c], shifted.uv[c][1] = vs[c];
    MeshTriangle& halved = mesh.triangles[2];
    halved.corners[0] = 0, halved.corners[1] = 2, halved.corners[2] = 1;
    const float big[3] = {20, 40, 60};
    for (int c = 0; c < 3; ++c) halved.uv[c][2] = big[c], halved.uv[c][3] = big[c];
    // Huge and non-finite values end (the shifts use floor arithmetic, not a loop over whole units).
    halved.uv[0][0] = 3e38f, halved.uv[1][0] = -3e38f, halved.uv[2][0] = std::nanf("");
    model->ComputeFaceNormals();
    ExpectVecNear(mesh.triangles[0].faceNormal, {0, 0, 1});
    EXPECT_EQ(model->normalsReady, 1);
    EXPECT_FLOAT_EQ(shifted.uv[0][0], 0.5f);
    EXPECT_FLOAT_EQ(shifted.uv[1][0], 1.0f);
    EXPECT_FLOAT_EQ(shifted.uv[2][0], 1.5f);
    EXPECT_FLOAT_EQ(shifted.uv[0][1], 0.75f);
    EXPECT_FLOAT_EQ(shifted.uv[2][1], 2.0f);
    EXPECT_FLOAT_EQ(halved.uv[0][2], 0.25f);
    EXPECT_FLOAT_EQ(halved.uv[1][2], 5.25f);
    EXPECT_FLOAT_EQ(halved.uv[2][2], 10.25f);
    // v is shifted only.
    EXPECT_FLOAT_EQ(halved.uv[0][3], 1.0f);
    EXPECT_FLOAT_EQ(halved.uv[2][3], 41.0f);
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(std::isfinite(halved.uv[c][0]) && halved.uv[c][0] <= 16.0f);
}

TEST_F(ModelTest, SharedMasksSmoothTheSharedEdge) {
    // Two triangles meeting at a right angle along the edge (0,0,0)-(1,0,0).
    const std::vector<Vec3> positions = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (auto [maskA, maskB, smooth] : {std::tuple{1, 3, true}, std::tuple{1, 2, false}}) {
        MeshModel* model = BuildMesh("edge", positions,
                                     {{0, 2, 1, 0, static_cast<std::uint16_t>(maskA)},
                                      {3, 4, 5, 0, static_cast<std::uint16_t>(maskB)}});
        ASSERT_NE(model, nullptr);
        const MeshTriangle& a = model->mesh->triangles[0];
        const MeshTriangle& b = model->mesh->triangles[1];
        const Vec3 sum = a.faceNormal.Add(b.faceNormal).Normalised();
        if (smooth) {
            ExpectVecNear(a.normals[0], sum);
            ExpectVecNear(b.normals[1], sum);
        } else {
            ExpectVecNear(a.normals[0], a.faceNormal);
            ExpectVecNear(b.normals[1], b.faceNormal);
        }
        // The corner off the shared edge keeps the face normal.
        ExpectVecNear(a.normals[1], a.faceNormal);
        model->Delete();
    }
}

TEST_F(ModelTest, FiftyThousandTrianglesOfOneMaterialMakeThreeBatches) {
    MeshModel* model = NewMeshModel(WideString("many"), 3, 50000);
    ASSERT_NE(model, nullptr);
    model->mesh->vertices[1].position = {1, 0, 0};
    model->mesh->vertices[2].position = {0, 0, 1};
    for (MeshTriangle& t : model->mesh->triangles) t.corners[0] = 0, t.corners[1] = 2, t.corners[2] = 1;
    ASSERT_TRUE(model->Finalise());
    ASSERT_EQ(model->GetBatchCount(), 3);
    EXPECT_EQ(model->GetBatch(0)->indexCount, 21800 * 3);
    EXPECT_EQ(model->GetBatch(1)->indexCount, 21800 * 3);
    EXPECT_EQ(model->GetBatch(2)->indexCount, 6400 * 3);
    EXPECT_EQ(model->GetTriangleCount(), 50000);
}

TEST_F(ModelTest, GridOfTwoByTwo) {
    const int handle = CreateGridModel(WideString("grid"), 2, 2, 1, 1);
    MeshModel* model = GetMeshModelByHandle(handle);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->mesh->vertexCount, 4);
    ASSERT_EQ(model->mesh->triangleCount, 2);
    const Vec3 expected[4] = {{-1, 0, 1}, {1, 0, 1}, {-1, 0, -1}, {1, 0, -1}};
    for (int i = 0; i < 4; ++i) ExpectVecNear(model->mesh->vertices[static_cast<std::size_t>(i)].position, expected[i]);
    for (const MeshTriangle& t : model->mesh->triangles) ExpectVecNear(t.faceNormal, {0, 1, 0});
    EXPECT_EQ(model->GetBatch(0)->vertexCount, 4);
    // A grid with n below 1 is built with n = 1.
    EXPECT_EQ(GetMeshModelByHandle(CreateGridModel(WideString("g0"), 2, 2, 2, 0))->mesh->triangleCount, 2);
}

// Every face normal points away from the given centre (or towards it).
void ExpectNormalsFacing(const MeshModel& model, const Vec3& centre, bool outward) {
    for (const MeshTriangle& t : model.mesh->triangles) {
        Vec3 mid;
        for (int c = 0; c < 3; ++c) mid.AddInPlace(model.mesh->vertices[static_cast<std::size_t>(t.corners[c])].position);
        mid = mid.Scale(1.0f / 3.0f);
        const float facing = t.faceNormal.Dot(mid.Sub(centre));
        EXPECT_TRUE(outward ? facing > 0.0f : facing < 0.0f);
    }
}

TEST_F(ModelTest, GeneratedShapesFaceTheRightWay) {
    const MeshModel* box = GetMeshModelByHandle(CreateBoxModel({{1, 2, 3}, {2, 4, 6}}, WideString("box"), 0));
    ASSERT_NE(box, nullptr);
    ExpectNormalsFacing(*box, {1.5f, 3, 4.5f}, true);
    const MeshModel* subdivided = GetMeshModelByHandle(CreateBoxModel({{0, 0, 0}, {1, 1, 1}}, WideString("box2"), 2));
    ASSERT_NE(subdivided, nullptr);
    EXPECT_EQ(subdivided->mesh->triangleCount, 12 * 9);
    // 4 x 4 points per face, welded along edges and corners: 6 x 4 inside, 12 x 2 on edges, 8 corners.
    EXPECT_EQ(subdivided->mesh->vertexCount, 56);
    ExpectNormalsFacing(*subdivided, {0.5f, 0.5f, 0.5f}, true);
    const MeshModel* knot = GetMeshModelByHandle(CreateKnotModel());
    ASSERT_NE(knot, nullptr);
    EXPECT_EQ(knot->mesh->vertexCount, 242);
    EXPECT_EQ(knot->mesh->triangleCount, 480);
    ExpectNormalsFacing(*knot, {0, 0, 0}, true);
    // All its texture coordinates are 0: no tangent may be infinite or NaN.
    for (const MeshVertex& v : knot->mesh->vertices) {
        EXPECT_TRUE(scenetest::Finite(v.tangent) && scenetest::Finite(v.bitangent));
    }
    for (int b = 0; b < knot->GetBatchCount(); ++b) {
        for (int v = 0; v < knot->GetBatch(b)->vertexCount; ++v) {
            Vec3 tangent, bitangent, normal;
            knot->GetVertexTangentFrame(v, b, tangent, bitangent);
            knot->GetVertexNormal(v, b, normal);
            EXPECT_NEAR(tangent.Length(), 1.0f, 0.05f);
            EXPECT_NEAR(tangent.Dot(normal), 0.0f, 0.05f);
        }
    }
    const MeshModel* sky = GetMeshModelByHandle(CreateSkyboxModel(WideString("Sky/Clouds")));
    ASSERT_NE(sky, nullptr);
    ExpectNormalsFacing(*sky, {0, 0, 0}, false);
    EXPECT_NE(sky->GetBatch(0)->material, 0);
    const Vec2 profile[5] = {{0, 1}, {0.07f, 0.7f}, {0.02f, 0.7f}, {0.02f, 0}, {0, 0}};
    const MeshModel* lathe = GetMeshModelByHandle(CreateLatheModel(WideString("lathe"), profile));
    ASSERT_NE(lathe, nullptr);
    EXPECT_EQ(lathe->mesh->triangleCount, 256);
    // The unit cube is made once.
    MeshModel* cube = GetNullCubeModel();
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(GetNullCubeModel(), cube);
    EXPECT_TRUE(cube->GetName().EqualsNarrow("$$$NullCube"));
}

TEST_F(ModelTest, BatchesNumberVerticesByFirstUseAndKeepCollisionOrder) {
    // Two quads of different materials sharing no vertex; the second listed first.
    const int red = GetMaterialLib().Create("red", 0, 0, 0, 0);
    MeshModel* model = BuildMesh("quads", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}, {5, 0, 0}, {6, 0, 0}, {5, 0, 1}},
                                 {{4, 6, 5, red}, {0, 2, 1}, {1, 2, 3}});
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->GetBatchCount(), 2);
    const MeshBatch& plain = *model->GetBatch(0);
    EXPECT_EQ(plain.material, 0);
    EXPECT_EQ(plain.vertexCount, 4);
    EXPECT_EQ(plain.vertexData.size(), 4u * 32u);
    // Collision triangles follow the sorted source order and address their batch's vertices.
    ASSERT_EQ(model->GetTriangleCount(), 3);
    const int sources[3][3] = {{0, 2, 1}, {1, 2, 3}, {4, 6, 5}};
    for (int i = 0; i < 3; ++i) {
        Vec3 a, b, c;
        model->GetTriangleCorners(i, a, b, c);
        ExpectVecNear(a, model->mesh->vertices[static_cast<std::size_t>(sources[i][0])].position);
        ExpectVecNear(b, model->mesh->vertices[static_cast<std::size_t>(sources[i][1])].position);
        ExpectVecNear(c, model->mesh->vertices[static_cast<std::size_t>(sources[i][2])].position);
    }
    EXPECT_EQ(model->GetTriangle(2)->batch, 1);
    // Indices name every vertex, and each vertex was first used in triangle order (before reordering the
    // faces the first-use numbers rise): all numbers below the count.
    std::set<int> used(plain.indices.begin(), plain.indices.end());
    EXPECT_EQ(static_cast<int>(used.size()), plain.vertexCount);
    EXPECT_EQ(*used.rbegin(), plain.vertexCount - 1);
}

TEST_F(ModelTest, BoneSplitHonoursTheLimitAndThePlatform) {
    // Four triangles, each on its own pair of bones.
    std::vector<Vec3> positions;
    std::vector<Tri> triangles;
    for (int t = 0; t < 4; ++t) {
        const float x = static_cast<float>(t) * 2.0f;
        positions.insert(positions.end(), {{x, 0, 0}, {x + 1, 0, 0}, {x, 0, 1}});
        triangles.push_back({3 * t, 3 * t + 2, 3 * t + 1});
    }
    for (int platform : {2, 1}) {
        MeshModel* model = NewMeshModel(WideString("skin"), 12, 4);
        ASSERT_NE(model, nullptr);
        model->skeleton = std::make_unique<Skeleton>();
        model->skeleton->Init(8);
        model->platformOverride = platform;
        model->boneLimitOverride = 4;
        for (int i = 0; i < 12; ++i) {
            MeshVertex& v = model->mesh->vertices[static_cast<std::size_t>(i)];
            v.position = positions[static_cast<std::size_t>(i)];
            v.boneIndices[0] = static_cast<std::uint8_t>(2 * (i / 3));
            v.boneIndices[1] = static_cast<std::uint8_t>(2 * (i / 3) + 1);
            v.boneWeights[0] = 200, v.boneWeights[1] = 55;
        }
        for (int t = 0; t < 4; ++t) {
            MeshTriangle& tri = model->mesh->triangles[static_cast<std::size_t>(t)];
            tri.corners[0] = triangles[t].a, tri.corners[1] = triangles[t].b, tri.corners[2] = triangles[t].c;
        }
        ASSERT_TRUE(model->Finalise());
        if (platform == 1) {
            ASSERT_EQ(model->GetBatchCount(), 1);
            EXPECT_EQ(model->GetBatch(0)->boneSet, nullptr);
        } else {
            // Limit 4: two triangles (four bones) per batch.
            ASSERT_EQ(model->GetBatchCount(), 2);
            const BoneSet* first = model->GetBatch(0)->boneSet;
            ASSERT_NE(first, nullptr);
            ASSERT_EQ(first->count, 4);
            for (int i = 0; i < 4; ++i) EXPECT_EQ(first->bones[i], i);
            EXPECT_EQ(model->GetBatch(1)->boneSet->bones[0], 4);
        }
        model->Delete();
    }
}

TEST_F(ModelTest, DebugLinesScaleWithTheRadius) {
    LineDevice device;
    for (auto [half, length] : {std::pair{4.0f / std::sqrt(3.0f), 0.5f}, std::pair{1.0f / std::sqrt(3.0f), 0.25f}}) {
        MeshModel* cube = GetMeshModelByHandle(CreateBoxModel({{-half, -half, -half}, {half, half, half}}, WideString("c"), 0));
        ASSERT_NE(cube, nullptr);
        device.calls.clear();
        cube->DrawNormalLines(&device);
        ASSERT_EQ(device.calls.size(), 1u);
        const std::vector<ColouredVertex>& lines = device.calls[0];
        ASSERT_FALSE(lines.empty());
        const Vec3 a(lines[0].x, lines[0].y, lines[0].z), b(lines[1].x, lines[1].y, lines[1].z);
        EXPECT_NEAR(b.Sub(a).Length(), length, 0.01f);
        EXPECT_EQ(lines[0].colour, 0xFF004040u);
        EXPECT_EQ(lines[1].colour, 0xFF00FFFFu);
        cube->Delete();
    }
}

TEST_F(ModelTest, AFormatOneBatchHasAFixedTangentFrame) {
    MeshModel* model = BuildMesh("f1", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 2, 1}});
    ASSERT_NE(model, nullptr);
    model->batches->batches[0].vertexFormat = 1;
    Vec3 tangent, bitangent;
    model->GetVertexTangentFrame(0, 0, tangent, bitangent);
    ExpectVecNear(tangent, {1, 0, 0});
    ExpectVecNear(bitangent, {0, 1, 0});
}

TEST(PackTangentTest, AZeroOrNonFiniteSumGivesAUnitTangentAcrossTheNormal) {
    const Vec3 normal = Vec3(0.3f, 0.9f, 0.1f).Normalised();
    for (const Vec3& sum : {Vec3(0, 0, 0), Vec3(INFINITY, 0, 0), Vec3(NAN, 1, 0)}) {
        const Vec4 t = UnpackVec4(PackTangent(normal, sum, {0, 0, 1}));
        const Vec3 tangent(t.x, t.y, t.z);
        EXPECT_NEAR(tangent.Length(), 1.0f, 0.03f);
        EXPECT_NEAR(tangent.Dot(normal), 0.0f, 0.03f);
    }
}

}  // namespace
