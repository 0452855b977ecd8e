#include "mdl_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "engine/core/byte_buffer.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_file.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"

namespace {

using namespace engine;
using mdlbuild::AuthorMesh;

class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetMaterialLib().Init(64, nullptr));
        ASSERT_TRUE(ModelTable::Init(64));
    }
    void TearDown() override {
        ModelTable::Free();
        GetMaterialLib().Free();
    }
};

// A bumpy terrain of n x n cells (2 n^2 triangles) over [0, n] x [0, n].
AuthorMesh Terrain(int n) {
    AuthorMesh mesh;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            mdlbuild::AuthorVertex v;
            v.position = {static_cast<float>(j), std::sin(i * 0.3f) * std::cos(j * 0.2f) * 2.0f, static_cast<float>(i)};
            mesh.vertices.push_back(v);
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int s = i * (n + 1) + j;
            mdlbuild::AuthorTriangle a, b;
            a.corners[0] = s, a.corners[1] = s + n + 1, a.corners[2] = s + 1;
            b.corners[0] = s + 1, b.corners[1] = s + n + 1, b.corners[2] = s + n + 2;
            a.smoothing = b.smoothing = 1;
            mesh.triangles.push_back(a);
            mesh.triangles.push_back(b);
        }
    }
    return mesh;
}

TEST_F(BuilderTest, LevelModelTreeAgreesWithScanAndExactTest) {
    AuthorMesh mesh = Terrain(100);  // 20,000 triangles
    mesh.boxTree = true;
    std::string error;
    MeshModel* model = mdlbuild::BuildModel(mesh, nullptr, error);
    ASSERT_NE(model, nullptr) << error;
    ASSERT_NE(model->boxTree, nullptr);
    ASSERT_TRUE(model->boxTree->Validate(static_cast<std::uint32_t>(model->GetTriangleCount())));
    // Every leaf holds at most 8 triangles, inside its box; every node box holds its children's boxes.
    for (const BoxTreeLeaf& leaf : model->boxTree->leaves) {
        EXPECT_LE(leaf.count, 8u);
        for (std::uint32_t k = leaf.first; k < leaf.first + leaf.count; ++k) {
            Vec3 c[3];
            model->GetTriangleCorners(static_cast<int>(model->boxTree->indices[k]), c[0], c[1], c[2]);
            for (const Vec3& p : c) {
                EXPECT_TRUE(p.x >= leaf.min.x && p.y >= leaf.min.y && p.z >= leaf.min.z && p.x <= leaf.max.x &&
                            p.y <= leaf.max.y && p.z <= leaf.max.z);
            }
        }
    }
    SceneNode* node = SceneNode::Init(kNodeMesh, "level");
    node->SetPayload(model->handle);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> where(0.5f, 99.5f);
    // Gathering through the tree equals the exact test over every triangle.
    for (int q = 0; q < 20; ++q) {
        const Vec3 c(where(random), 0, where(random));
        const Aabb box{{c.x - 1.3f, c.y - 0.4f, c.z - 2.1f}, {c.x + 1.3f, c.y + 0.4f, c.z + 2.1f}};
        TriangleList list;
        SceneNode::GatherTrianglesInBox(box, &list, node, Matrix44());
        std::vector<int> expected, got;
        for (int i = 0; i < model->GetTriangleCount(); ++i) {
            Vec3 a, b, cc;
            model->GetTriangleCorners(i, a, b, cc);
            if (TriangleBoxOverlap(a, b, cc, box.GetCentre(), box.max.Sub(box.min).Scale(0.5f))) expected.push_back(i);
        }
        for (int i = 0; i < list.GetCount(); ++i) got.push_back(list.Get(i).triangle);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected) << q;
    }
    // 200 downward picks hit the same triangle at the same distance through the tree and the scan.
    auto tree = std::move(model->boxTree);
    for (int p = 0; p < 200; ++p) {
        PickSegment segment;
        segment.Init({where(random), 10, where(random)}, {0, -20, 0});
        ModelRayHit byTree, byScan;
        float tTree = 1, tScan = 1;
        model->boxTree = std::move(tree);
        const int hitTree = RayTestModel(*model, segment, tTree, byTree, node, Matrix44(), 0);
        tree = std::move(model->boxTree);
        const int hitScan = RayTestModel(*model, segment, tScan, byScan, node, Matrix44(), 0);
        ASSERT_EQ(hitTree, 1);
        ASSERT_EQ(hitScan, 1);
        EXPECT_EQ(byTree.triangle, byScan.triangle);
        EXPECT_NEAR(tTree, tScan, 1e-4f);
    }
    node->Destroy();
}

TEST_F(BuilderTest, OctreeLeavesAreConsecutiveBatchesInsideTheirCubes) {
    AuthorMesh mesh = Terrain(40);
    mesh.octree = true;
    mesh.octreeLeafTriangles = 300;
    std::string error;
    MeshModel* model = mdlbuild::BuildModel(mesh, nullptr, error);
    ASSERT_NE(model, nullptr) << error;
    ASSERT_NE(model->octree, nullptr);
    const ModelOctree& octree = *model->octree;
    ASSERT_TRUE(octree.Validate(model->GetBatchCount()));
    EXPECT_GT(octree.leaves.size(), 4u);
    EXPECT_EQ(model->GetTriangleCount(), 3200);
    int next = 0;
    for (const OctreeLeaf& leaf : octree.leaves) {
        EXPECT_EQ(leaf.firstBatch, next);
        next += leaf.batchCount;
    }
    EXPECT_EQ(next, model->GetBatchCount());
    // Each node's cube holds the leaf boxes below it.
    for (const OctreeNode& node : octree.nodes) {
        std::vector<std::uint16_t> stack{static_cast<std::uint16_t>(&node - octree.nodes.data())};
        while (!stack.empty()) {
            const OctreeNode& n = octree.nodes[stack.back()];
            stack.pop_back();
            if (n.leaf != ModelOctree::kNone) {
                const OctreeLeaf& l = octree.leaves[n.leaf];
                for (const Vec3& p : {l.min, l.max}) {
                    EXPECT_LE(std::fabs(p.x - node.centre.x), node.halfSize + 1e-4f);
                    EXPECT_LE(std::fabs(p.y - node.centre.y), node.halfSize + 1e-4f);
                    EXPECT_LE(std::fabs(p.z - node.centre.z), node.halfSize + 1e-4f);
                }
                continue;
            }
            for (std::uint16_t child : n.children) {
                if (child != ModelOctree::kNone) stack.push_back(child);
            }
        }
    }
    // Saved, loaded and saved again: a fixed point.
    std::unique_ptr<ByteBuffer> first = model->SaveToBuffer();
    ModelDescription description;
    ASSERT_TRUE(ParseModelFile(first->Data(), first->Size(), WideString("level"), nullptr, description));
    MeshModel* loaded = NewMeshModel(WideString("loaded"), 0, 0);
    ASSERT_TRUE(loaded->Upload(std::move(description)));
    std::unique_ptr<ByteBuffer> second = loaded->SaveToBuffer();
    ASSERT_EQ(first->Size(), second->Size());
    EXPECT_EQ(std::memcmp(first->Data(), second->Data(), first->Size()), 0);
}

TEST_F(BuilderTest, SkinnedMeshesGetBoneSetsWeightsAndRelativeFrames) {
    const char* text =
        "bone 0\nbone 1\n"
        "frame 0 1 0 0 0 1 0 0 0 1 0 0 0\nframe 0 0 1 0 -1 0 0 0 0 1 0 0 0\n"
        "frame 1 1 0 0 0 1 0 0 0 1 0 1 0\nframe 1 1 0 0 0 1 0 0 0 1 3 1 0\n"
        "v 0 0 0\nw 0 1\nv 1 0 0\nw 0 3 1 1\nv 0 1 0\nw 1 1\n"
        "t 0 1 2 0 0 1 0 0 1\n";
    AuthorMesh mesh;
    std::string error;
    ASSERT_TRUE(mdlbuild::ParseMeshText(text, mesh, error)) << error;
    MeshModel* model = mdlbuild::BuildModel(mesh, nullptr, error);
    ASSERT_NE(model, nullptr) << error;
    const MeshBatch& batch = *model->GetBatch(0);
    EXPECT_EQ(batch.vertexFormat, 5);
    ASSERT_NE(batch.boneSet, nullptr);
    EXPECT_EQ(batch.boneSet->count, 2);
    // Weight bytes sum to 255 in every vertex.
    for (int v = 0; v < batch.vertexCount; ++v) {
        const std::uint8_t* w = batch.vertexData.data() + static_cast<std::size_t>(v) * 40 + 36;
        EXPECT_EQ(w[0] + w[1] + w[2] + w[3], 255);
    }
    std::unique_ptr<ByteBuffer> saved = model->SaveToBuffer();
    ModelDescription description;
    ASSERT_TRUE(ParseModelFile(saved->Data(), saved->Size(), WideString("figure"), nullptr, description));
    MeshModel* loaded = NewMeshModel(WideString("figure"), 0, 0);
    ASSERT_TRUE(loaded->Upload(std::move(description)));
    SceneNode* node = SceneNode::Init(kNodeAnimatedMesh, "figure");
    node->SetPayload(loaded->handle);
    node->SetFixedFrame(1);
    SkinMatrixCache* cache = node->GetSkinMatrices();
    ASSERT_NE(cache, nullptr);
    // inverse(F0) x F1: bone 1 moved by (3, 0, 0); bone 0 turned 90 degrees about Z.
    EXPECT_NEAR(cache->matrices[1].m[3][0], 3.0f, 1e-5f);
    EXPECT_NEAR(cache->matrices[1].m[3][1], 0.0f, 1e-5f);
    EXPECT_NEAR(cache->matrices[0].m[0][1], 1.0f, 1e-5f);
    node->Destroy();
}

TEST_F(BuilderTest, RefusalsNameTheirCause) {
    AuthorMesh mesh = Terrain(1);
    std::string error;
    mesh.triangles[0].material = "Units/Tank";
    EXPECT_EQ(mdlbuild::BuildModel(mesh, [](const std::string&) { return false; }, error), nullptr);
    EXPECT_NE(error.find("no .MTL"), std::string::npos);
    mesh.triangles[0].material = std::string(256, 'a');
    EXPECT_EQ(mdlbuild::BuildModel(mesh, nullptr, error), nullptr);
    EXPECT_NE(error.find("255"), std::string::npos);
    mesh.triangles[0].material = "caf\xE2\x82\xAC";  // a euro sign is beyond Latin-1
    EXPECT_EQ(mdlbuild::BuildModel(mesh, nullptr, error), nullptr);
    EXPECT_NE(error.find("Latin-1"), std::string::npos);
    std::string latin;
    EXPECT_TRUE(mdlbuild::Utf8ToLatin1("caf\xC3\xA9", latin));
    EXPECT_EQ(latin, "caf\xE9");
    mesh.triangles[0].material.clear();
    mesh.triangles[0].uv[1][0] = 9.5f;
    EXPECT_EQ(mdlbuild::BuildModel(mesh, nullptr, error), nullptr);
    EXPECT_NE(error.find("1/4095"), std::string::npos);
    EXPECT_EQ(ModelTable::Count(), 0);
}

}  // namespace
