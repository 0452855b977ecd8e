#include <gtest/gtest.h>

#include <random>

#include "engine/core/matrix.h"
#include "engine/platform/engine_root.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/camera.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/visible_node_list.h"
#include "model_test_support.h"
#include "recording_render_device.h"
#include "recording_shader_device.h"
#include "scene_test_support.h"

namespace {

using namespace engine;
using scenetest::BuildMesh;
using scenetest::ModelTest;

const Aabb kUnit{{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}};

class TestCamera final : public Camera {
public:
    void Render(RenderQueue*, RenderTarget&) override {}
    void DrawSkybox() override {}
    void SetWorldMatrix(const Matrix44& m) override { worlds.push_back(m); }
    std::vector<Matrix44> worlds;
};

class LineDevice : public testsupport::RecordingRenderDevice {
public:
    void DrawVertexColoured(const ColouredVertex* vertices, int count) override {
        calls.emplace_back(vertices, vertices + count);
    }
    std::vector<std::vector<ColouredVertex>> calls;
};

class QueryTest : public ModelTest {
protected:
    QueryTest() : constants(shaders, counters) {}
    // A camera at the origin looking along +Z (perspective, 90 degrees, 100 x 100 pixels).
    void Look(TestCamera& camera, float farDistance = 100.0f) {
        camera.Init({0, 0, 100, 100}, 1.0f, 0.5f, farDistance, &constants);
        camera.GetViewTransform().SetFov(90.0f);
        camera.UpdateFrustum();
    }
    scenetest::NodePtr MeshNode(int handle, const Matrix44& world, const char* name = "mesh") {
        scenetest::NodePtr node = scenetest::MakeNode(kNodeMesh, name);
        node->SetPayload(handle);
        node->SetLocalMatrix(world);
        node->UpdateWorldMatrix();
        return node;
    }
    rendertest::RecordingShaderDevice shaders;
    ShaderBindCounters counters;
    ShaderConstantCache constants;
};

Matrix44 At(float x, float y, float z) {
    Matrix44 m;
    m.m[3][0] = x, m.m[3][1] = y, m.m[3][2] = z;
    return m;
}

// A box tree over all triangles of a model in one leaf under one node.
void OneLeafTree(MeshModel& model) {
    auto tree = std::make_unique<BoxTree>();
    tree->nodes.push_back({model.boundsMin, model.boundsMax, BoxTree::LeafLink(0), 0});
    tree->leaves.push_back({model.boundsMin, model.boundsMax, static_cast<std::uint32_t>(model.GetTriangleCount()), 0});
    for (int i = 0; i < model.GetTriangleCount(); ++i) tree->indices.push_back(static_cast<std::uint32_t>(i));
    model.boxTree = std::move(tree);
}

TEST(QueryMath, RayAgainstBoxes) {
    float t = 5;
    EXPECT_EQ(RayAabbIntersect({0, 0, 0}, {1, 0, 0}, kUnit, t), -1);
    EXPECT_EQ(t, 0.0f);
    EXPECT_EQ(RayAabbIntersect({2, 0, 0}, {1, 0, 0}, kUnit, t), 0);  // pointing away
    EXPECT_EQ(RayAabbIntersect({-2, 0, 0}, {4, 0, 0}, kUnit, t), 1);
    EXPECT_FLOAT_EQ(t, 0.375f);
    EXPECT_TRUE(SegmentOverlapsBox(kUnit, {-2, 0, 0}, {4, 0, 0}));
    EXPECT_FALSE(SegmentOverlapsBox(kUnit, {-2, 2, 0}, {4, 0, 0}));
    EXPECT_EQ(RaySphereTest({0, 0, 0}, {0, 0, -5}, 1, {0, 0, 1}), 1);
    EXPECT_EQ(RaySphereTest({0, 0, 0}, {0, 0, -5}, 1, {0, 0, -1}), 0);
    EXPECT_EQ(RaySphereTest({0, 0, 0}, {0, 0.5f, 0}, 1, {0, 0, -1}), 1);  // starts inside
}

TEST(QueryMath, AabbTransformAndTriangleBoxAgainstBruteForce) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> u(-2, 2);
    for (int n = 0; n < 200; ++n) {
        Matrix44 m;
        m.InitRotationAxis({u(random), u(random), u(random) + 0.01f}, u(random) * 90);
        m.ScaleLocal(1.5f, 0.5f, 2);
        m.m[3][0] = u(random), m.m[3][1] = u(random), m.m[3][2] = u(random);
        const Aabb box{{-1, -0.5f, 0}, {0.5f, 1, 2}};
        const Aabb out = Aabb::Transform(box, m);
        Vec3 lo(1e9f, 1e9f, 1e9f), hi(-1e9f, -1e9f, -1e9f);
        for (int c = 0; c < 8; ++c) {
            const Vec3 p = m.TransformPoint({c & 1 ? box.max.x : box.min.x, c & 2 ? box.max.y : box.min.y,
                                             c & 4 ? box.max.z : box.min.z});
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        scenetest::ExpectVecNear(out.min, lo, 1e-4f);
        scenetest::ExpectVecNear(out.max, hi, 1e-4f);
        // Triangle against box: sample points of the triangle inside the box prove overlap; the exact test
        // must never deny it.
        const Vec3 a(u(random), u(random), u(random)), b(u(random), u(random), u(random)), c(u(random), u(random), u(random));
        const Vec3 half(0.6f, 0.4f, 0.8f);
        bool sampled = false;
        for (int i = 0; i <= 40 && !sampled; ++i) {
            for (int j = 0; j <= 40 - i && !sampled; ++j) {
                const float wa = i / 40.0f, wb = j / 40.0f;
                const Vec3 p = a.Scale(wa).Add(b.Scale(wb)).Add(c.Scale(1 - wa - wb));
                sampled = std::fabs(p.x) <= half.x && std::fabs(p.y) <= half.y && std::fabs(p.z) <= half.z;
            }
        }
        if (sampled) {
            EXPECT_TRUE(TriangleBoxOverlap(a, b, c, {}, half)) << n;
        }
    }
    // A triangle far outside on every axis does not overlap; one in a face plane does.
    EXPECT_FALSE(TriangleBoxOverlap({3, 3, 3}, {4, 3, 3}, {3, 4, 3}, {}, {1, 1, 1}));
    EXPECT_TRUE(TriangleBoxOverlap({1, -3, -3}, {1, 3, -3}, {1, 0, 3}, {}, {1, 1, 1}));
}

TEST(QueryMath, ListsGrowByAQuarterFrom400) {
    TriangleList big(1250);
    big.Grow();
    EXPECT_EQ(big.GetCapacity(), 1562);
    big.Grow();
    EXPECT_EQ(big.GetCapacity(), 1952);
    TriangleList small(100);
    small.Grow();
    EXPECT_EQ(small.GetCapacity(), 200);
}

TEST_F(QueryTest, BoxNodesArePickedOnlyWithTheSwitch) {
    ModelRayHit hit;
    PickSegment inside;
    inside.Init({0, 0, 0}, {5, 0, 0});
    float best = 1;
    EXPECT_EQ(RayTestBox(hit, kUnit, inside, best, nullptr, Matrix44()), 1);
    EXPECT_EQ(best, 0.0f);
    EXPECT_EQ(hit.triangle, -1);
    PickSegment away;
    away.Init({2, 0, 0}, {5, 0, 0});
    best = 1;
    EXPECT_EQ(RayTestBox(hit, kUnit, away, best, nullptr, Matrix44()), 0);
    // Without an engine the switch reads 0.
    scenetest::NodePtr box = scenetest::MakeNode(kNodeBox, "volume");
    Vec3 point;
    float distance;
    PickHit pick;
    EXPECT_EQ(SceneNode::RayPick(point, distance, pick, box.get(), {-10, 0, 0}, {20, 0, 0}), 0);
}

TEST_F(QueryTest, ScanAndTreeTreatFlaggedMaterialsDifferently) {
    const int flagged = GetMaterialLib().Create("glass", 0, 0, 0, 0);
    GetMaterialLib().Get(flagged)->SetFlags(0x1);
    // A floor quad of the flagged material at y = 0.
    MeshModel* model = BuildMesh("floor", {{-1, 0, -1}, {1, 0, -1}, {-1, 0, 1}, {1, 0, 1}},
                                 {{0, 2, 1, flagged}, {1, 2, 3, flagged}});
    ASSERT_NE(model, nullptr);
    scenetest::NodePtr node = MeshNode(model->handle, Matrix44());
    const Aabb query{{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}};
    auto gathered = [&] { return SceneNode::GatherTrianglesInBox(query, nullptr, node.get(), Matrix44())->GetCount(); };
    auto picked = [&] {
        Vec3 point;
        float distance;
        PickHit hit;
        return SceneNode::RayPick(point, distance, hit, node.get(), {0.2f, 5, 0.1f}, {0, -10, 0});
    };
    EXPECT_EQ(gathered(), 0);
    EXPECT_EQ(picked(), 1);
    OneLeafTree(*model);
    EXPECT_EQ(gathered(), 0);
    EXPECT_EQ(picked(), 0);
    GetModelQueryOptions().flaggedMaterialQueries = 1;
    EXPECT_EQ(gathered(), 2);
    EXPECT_EQ(picked(), 1);
}

TEST_F(QueryTest, ATriangleOnAFaceOfTheQueryBoxIsGathered) {
    MeshModel* model = BuildMesh("wall", {{0.5f, -1, -1}, {0.5f, 1, -1}, {0.5f, 0, 1}}, {{0, 1, 2}});
    ASSERT_NE(model, nullptr);
    scenetest::NodePtr node = MeshNode(model->handle, Matrix44());
    for (bool tree : {false, true}) {
        if (tree) OneLeafTree(*model);
        TriangleList list;
        EXPECT_EQ(SceneNode::GatherTrianglesInBox(kUnit, &list, node.get(), Matrix44())->GetCount(), 1) << tree;
        EXPECT_EQ(list.Get(0).material, GetMaterialLib().DefaultHandle());
    }
}

TEST_F(QueryTest, BackFacesNeedCullModeOneOrTheCallersAsking) {
    MeshModel* model = BuildMesh("floor", {{-1, 0, -1}, {1, 0, -1}, {-1, 0, 1}}, {{0, 2, 1}});  // faces +Y
    ASSERT_NE(model, nullptr);
    OneLeafTree(*model);
    const Vec3 o(-0.5f, -1, -0.5f), d(0, 2, 0);  // from below
    ModelRayHit hit;
    float best = 1;
    EXPECT_EQ(RayTestBoxTree(*model->boxTree, *model, o, d, best, hit, nullptr, Matrix44(), 0, 0), 0);
    EXPECT_EQ(RayTestBoxTree(*model->boxTree, *model, o, d, best, hit, nullptr, Matrix44(), 0, 1), 1);
    EXPECT_EQ(hit.backFace, 1);
    EXPECT_NEAR(best, 0.5f, 1e-5f);
    const int twoSided = GetMaterialLib().Create("leaf", 0, 0, 0, 0);
    GetMaterialLib().Get(twoSided)->cullMode = 1;
    best = 1;
    EXPECT_EQ(RayTestBoxTree(*model->boxTree, *model, o, d, best, hit, nullptr, Matrix44(), twoSided, 0), 1);
    // From above it is a front face.
    best = 1;
    EXPECT_EQ(RayTestBoxTree(*model->boxTree, *model, {-0.5f, 1, -0.5f}, {0, -2, 0}, best, hit, nullptr, Matrix44(), 0, 0), 1);
    EXPECT_EQ(hit.backFace, 0);
}

TEST_F(QueryTest, RayPickTakesTheNearestPickableActiveHit) {
    const int cube = CreateBoxModel(kUnit, WideString("cube"), 0);
    scenetest::NodePtr root = scenetest::MakeNode(kNodeGroup, "root");
    auto add = [&](float z, std::uint32_t type, const char* name) {
        SceneNode* node = scenetest::AddNode(root.get(), name, type);
        node->SetPayload(cube);
        node->SetLocalMatrix(At(0, 0, z));
        return node;
    };
    SceneNode* far = add(9, kNodeMesh, "far");
    SceneNode* near = add(5, kNodeMesh, "near");
    SceneNode* hidden = add(3, kNodeMesh, "hidden");
    hidden->SetActive(false);
    SceneNode* unpickable = add(2, kNodeGroup, "unpickable");
    unpickable->SetFlags(unpickable->GetFlags() | kNodeNotPickable);
    SceneNode* child = scenetest::AddNode(unpickable, "child", kNodeMesh);
    child->SetPayload(cube);
    SceneNode* animated = add(4, kNodeAnimatedMesh, "animated");
    root->UpdateWorldMatrix();
    Vec3 point;
    float distance;
    PickHit hit;
    ASSERT_EQ(SceneNode::RayPick(point, distance, hit, root.get(), {0, 0, -10}, {0, 0, 30}), 1);
    EXPECT_EQ(hit.node, near);
    EXPECT_NEAR(point.z, 4.5f, 1e-4f);
    EXPECT_NEAR(distance, 14.5f / 30.0f, 1e-5f);
    EXPECT_GE(hit.triangle, 0);
    EXPECT_NEAR(hit.normal.z, -1.0f, 1e-4f);
    GetModelQueryOptions().animatedMeshPicking = 1;
    ASSERT_EQ(SceneNode::RayPick(point, distance, hit, root.get(), {0, 0, -10}, {0, 0, 30}), 1);
    EXPECT_EQ(hit.node, animated);
    (void)far;
}

TEST_F(QueryTest, PickAtScreenFindsTheFrontCubeAndRotatedScaledModels) {
    TestCamera camera;
    Look(camera);
    const int red = GetMaterialLib().Create("red", 0, 0, 0, 0);
    const int cube = CreateBoxModel(kUnit, WideString("cube"), 0);
    scenetest::NodePtr root = scenetest::MakeNode(kNodeGroup, "root");
    SceneNode* nodes[3];
    const float depths[3] = {8, 4, 12};
    for (int i = 0; i < 3; ++i) {
        nodes[i] = scenetest::AddNode(root.get(), "cube", kNodeMesh);
        nodes[i]->SetPayload(cube);
        nodes[i]->SetMaterial(red + i);
        nodes[i]->SetLocalMatrix(At(0, 0, depths[i]));
    }
    root->UpdateWorldMatrix();
    PickHit hit;
    Vec3 point;
    PickSegment segment;
    ASSERT_EQ(camera.PickAtScreen(&segment, 50, 50, hit, point, root.get()), 1);
    EXPECT_EQ(hit.node, nodes[1]);
    EXPECT_EQ(hit.material, red + 1);
    EXPECT_NEAR(point.z, 3.5f, 1e-3f);
    EXPECT_NEAR(hit.planeDistance, -3.5f, 1e-3f);
    EXPECT_EQ(camera.PickAtScreen(nullptr, 50, 50, hit, point, nullptr), 0);
    // 120 degrees about (1, 1, 1) and scaled 3: the 3x3 diagonal is near 0, yet the model is picked.
    Matrix44 turned;
    turned.InitRotationAxis({1, 1, 1}, 120.0f);
    turned.ScaleLocal(3, 3, 3);
    turned.m[3][2] = 20;
    scenetest::NodePtr lone = MeshNode(cube, turned);
    ASSERT_EQ(camera.PickAtScreen(nullptr, 50, 50, hit, point, lone.get()), 1);
    EXPECT_NEAR(point.z, 18.5f, 1e-3f);
}

TEST_F(QueryTest, OctreeQueryCullsCubesAndPicksMaterials) {
    const int batchMaterial = GetMaterialLib().Create("painted", 0, 0, 0, 0);
    // Two batches: one straight ahead at z = 10, one far to the side.
    MeshModel* model = BuildMesh("level", {{-1, 0, 9}, {1, 0, 9}, {0, 1, 10}, {200, 0, 10}, {201, 0, 10}, {200, 1, 10}},
                                 {{0, 1, 2, 0}, {3, 4, 5, batchMaterial}});
    ASSERT_NE(model, nullptr);
    auto octree = std::make_unique<ModelOctree>();
    octree->leaves = {{{-1, 0, 9}, {1, 1, 10}, 0, 1}, {{200, 0, 10}, {201, 1, 10}, 1, 1}};
    OctreeNode root;
    root.centre = {100, 0, 10};
    root.halfSize = 110;
    root.children[0] = 1;
    root.children[5] = 2;
    OctreeNode ahead, aside;
    ahead.centre = {0, 0, 10}, ahead.halfSize = 2, ahead.leaf = 0;
    aside.centre = {200, 0, 10}, aside.halfSize = 2, aside.leaf = 1;
    octree->nodes = {root, ahead, aside};
    model->octree = std::move(octree);
    TestCamera camera;
    Look(camera);
    scenetest::NodePtr node = MeshNode(model->handle, Matrix44());
    std::vector<std::pair<int, int>> seen;
    auto sink = [&seen](int, int batch, int material) { seen.emplace_back(batch, material); };
    ModelOctree::ClearVisitedNodeCount();
    ModelOctree::QueryNode(camera, *node, sink);
    EXPECT_EQ(ModelOctree::VisitedNodeCount(), 3);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_pair(0, GetMaterialLib().DefaultHandle()));
    // Node material, then the subtree material, take precedence in that order over "Default".
    const int nodeMaterial = GetMaterialLib().Create("node", 0, 0, 0, 0);
    const int subtree = GetMaterialLib().Create("subtree", 0, 0, 0, 0);
    node->SetMaterial(nodeMaterial);
    seen.clear();
    ModelOctree::QueryNode(camera, *node, sink);
    EXPECT_EQ(seen.at(0).second, nodeMaterial);
    node->SetSubtreeMaterial(subtree);
    seen.clear();
    ModelOctree::QueryNode(camera, *node, sink);
    EXPECT_EQ(seen.at(0).second, subtree);
    // Looking the other way culls the root cube; a batch just behind the near plane comes back with margin.
    Matrix44 back;
    back.InitRotationY(180);
    camera.GetViewTransform().SetMatrix(back);
    camera.UpdateFrustum();
    seen.clear();
    ModelOctree::QueryNode(camera, *node, sink);
    EXPECT_TRUE(seen.empty());
    // The batch side: it is visible only when its sphere, grown by the margin, reaches the frustum.
    model->octree->nodes[0].halfSize = 1000;
    model->octree->nodes[1].halfSize = 1000;
    model->octree->leaves[0] = {{-1000, -1000, -1000}, {1000, 1000, 1000}, 0, 1};
    seen.clear();
    ModelOctree::QueryNode(camera, *node, sink);
    EXPECT_TRUE(seen.empty());
    GetModelQueryOptions().cullMargin = 20;
    ModelOctree::QueryNode(camera, *node, sink);
    EXPECT_EQ(seen.size(), 1u);
    // A batch with its own material uses it under the node's.
    node->SetSubtreeMaterial(0);
    GetModelQueryOptions().cullMargin = 0;
    camera.GetViewTransform().SetMatrix(At(200, 0, 0));
    camera.UpdateFrustum();
    seen.clear();
    ModelOctree::QueryNode(camera, *node, sink);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), std::make_pair(1, batchMaterial));
}

TEST_F(QueryTest, DebugShapesDrawBoxCornersInOneCall) {
    TestCamera camera;
    Look(camera);
    const int cube = CreateBoxModel(kUnit, WideString("cube"), 0);
    scenetest::NodePtr node = MeshNode(cube, At(1, 2, 3));
    node->SetFlags(node->GetFlags() | kNodeDebugBoxCorners);
    VisibleNodeList visible;
    ASSERT_TRUE(visible.Add(node.get(), nullptr, 0));
    LineDevice device;
    camera.DrawDebugShapes(visible, &device);
    ASSERT_EQ(device.calls.size(), 1u);
    ASSERT_EQ(device.calls[0].size(), 48u);
    for (const ColouredVertex& v : device.calls[0]) EXPECT_EQ(v.colour, 0xFFFFFF00u);
    EXPECT_NEAR(device.calls[0][0].x, -0.505f, 1e-5f);
    EXPECT_NEAR(device.calls[0][1].x, -0.505f + 1.01f * 0.3f, 1e-5f);
    ASSERT_EQ(camera.worlds.size(), 1u);
    EXPECT_EQ(camera.worlds[0].m[3][2], 3.0f);
    // Bounds and normal lines each go in their own call.
    node->SetFlags(kNodeActive | kNodeDebugBounds | kNodeDebugNormals);
    device.calls.clear();
    camera.DrawDebugShapes(visible, &device);
    EXPECT_EQ(device.calls.size(), 2u);
}

TEST_F(QueryTest, GatherWithoutAListUsesTheSharedList) {
    const int cube = CreateBoxModel(kUnit, WideString("cube"), 0);
    scenetest::NodePtr node = MeshNode(cube, Matrix44());
    TriangleList* shared = SceneNode::GatherTrianglesInBox(kUnit, nullptr, node.get(), Matrix44());
    EXPECT_EQ(shared, &GetSharedTriangleList());
    EXPECT_EQ(shared->GetCount(), 12);
    {
        TriangleList own;
        SceneNode::GatherTrianglesInBox(kUnit, &own, node.get(), Matrix44());
    }
    // The freed list is never reused.
    EXPECT_EQ(SceneNode::GatherTrianglesInBox(kUnit, nullptr, node.get(), Matrix44()), &GetSharedTriangleList());
    // Corners are in world space: a moved query box finds the moved node.
    node->SetLocalMatrix(At(10, 0, 0));
    node->UpdateWorldMatrix();
    EXPECT_EQ(SceneNode::GatherTrianglesInBox(kUnit, nullptr, node.get(), At(10, 0, 0))->GetCount(), 12);
    EXPECT_EQ(SceneNode::GatherTrianglesInBox(kUnit, nullptr, node.get(), Matrix44())->GetCount(), 0);
}

TEST_F(QueryTest, ArrowNodesAreCachedAndUnpickable) {
    SceneNode* xy = GetDebugArrowNode(0);
    ASSERT_NE(xy, nullptr);
    EXPECT_EQ(GetDebugArrowNode(0), xy);
    EXPECT_EQ(xy->GetFlags() & 0x408u, 0x408u);
    const Model* model = xy->GetModel();
    ASSERT_NE(model, nullptr);
    // Kind 0 is turned 90 degrees about X: the arrow lies along Z.
    EXPECT_NEAR(model->boundsMax.y - model->boundsMin.y, 0.14f, 1e-3f);
    EXPECT_NEAR(std::max(std::fabs(model->boundsMax.z), std::fabs(model->boundsMin.z)), 1.0f, 1e-3f);
    EXPECT_EQ(GetDebugArrowNode(3), nullptr);
}

}  // namespace
