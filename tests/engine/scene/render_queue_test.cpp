#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/sort_array.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/dynamic_geometry.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_view.h"
#include "render_queue_support.h"

namespace {

using namespace engine;
using scenetest::AddNode;
using scenetest::BuildMesh;
using scenetest::NodePtr;

class RenderQueueTest : public scenetest::QueueTest {
protected:
    // One triangle per material around (0, 0, 10); each distinct material makes a batch.
    MeshModel* Model(std::vector<int> materials, const char* name = "model") {
        std::vector<Vec3> positions;
        std::vector<scenetest::Tri> triangles;
        for (int m : materials) {
            const int base = static_cast<int>(positions.size());
            positions.insert(positions.end(), {{-1, 0, 10}, {1, 0, 10}, {0, 1, 10}});
            triangles.push_back({base, base + 1, base + 2, m});
        }
        return BuildMesh(name, positions, triangles);
    }
    int Material(const char* name, int lightingModel = 1, int blend = 0) {
        return GetMaterialLib().Create(name, 0, lightingModel, 0, blend);
    }
    MaterialDef* Def(int handle) { return GetMaterialLib().Get(handle); }
};

TEST_F(RenderQueueTest, BuildWalksActiveNodesByType) {
    const int lit = Material("lit");
    MeshModel* model = Model({lit});
    ASSERT_NE(model, nullptr);
    NodePtr root = scenetest::MakeNode(kNodeGroup, "root");
    SceneNode* hidden = AddNode(root.get(), "hidden");
    hidden->SetActive(false);
    AddNode(hidden, "child", kNodeMesh)->SetPayload(model->handle);
    SceneNode* shown = AddNode(root.get(), "shown", kNodeMesh);
    shown->SetPayload(model->handle);
    SceneNode* bounds = AddNode(root.get(), "bounds");
    AddNode(root.get(), "box", kNodeBox);
    AddNode(root.get(), "spline", kNodeSpline);
    root->UpdateWorldMatrix();

    RenderQueue queue(16);
    queue.SetScene(root.get());
    queue.Build();
    // Only the active mesh: the inactive group hides its active child; groups, boxes (switch off) and
    // splines without 0x8000 give nothing.
    ASSERT_EQ(queue.GetVisibleNodes().Count(), 1);
    EXPECT_EQ(queue.GetVisibleNodes().Get(0).node, shown);
    ASSERT_EQ(queue.GetDrawList(0).Count(), 1);
    EXPECT_EQ(queue.GetDrawList(1).Count(), 0);
    const DrawEntry& entry = queue.GetDrawList(0).Get(0);
    EXPECT_EQ(entry.kind, kEntryMesh);
    EXPECT_EQ(entry.object, model);
    EXPECT_EQ(entry.material, Def(lit));
    EXPECT_EQ(entry.flags & kEntryNoShadow, 0u);

    // 0x4000 turns a group into a bounds cube in the blended list, casting no shadow.
    bounds->SetFlags(bounds->GetFlags() | kEntryShowBounds);
    queue.Build();
    ASSERT_EQ(queue.GetDrawList(1).Count(), 1);
    const DrawEntry& cube = queue.GetDrawList(1).Get(0);
    EXPECT_EQ(cube.object, GetNullCubeModel());
    EXPECT_EQ(cube.material, GetMaterialLib().NullMaterial());
    EXPECT_NE(cube.flags & kEntryNoShadow, 0u);
}

TEST_F(RenderQueueTest, MaterialsChooseListsShellsAndSwaps) {
    const int unlit = Material("unlit", 0);
    const int blended = Material("glass", 1, 2);
    const int fur = Material("fur");
    const int swapped = Material("swapped");
    Def(fur)->flags |= kMaterialFurShells;
    Def(fur)->furShellCount = 3;
    MeshModel* model = Model({unlit, blended, fur});
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->GetBatchCount(), 3);
    NodePtr node = MeshNode(model->handle, Matrix44());
    RenderQueue queue(32);
    queue.SetScene(node.get());
    queue.Build();
    DrawList& opaque = queue.GetDrawList(0);
    DrawList& glass = queue.GetDrawList(1);
    ASSERT_EQ(glass.Count(), 1);
    EXPECT_EQ(glass.Get(0).material, Def(blended));
    // Unlit base, fur base, then the three fur shells with radius + 1 and no shadow.
    ASSERT_EQ(opaque.Count(), 5);
    EXPECT_NE(opaque.Get(0).flags & kEntryNoShadow, 0u);
    EXPECT_EQ(opaque.Get(1).shell, 0);
    for (int s = 1; s <= 3; ++s) {
        const DrawEntry& e = opaque.Get(1 + s);
        EXPECT_EQ(e.shell, s);
        EXPECT_FLOAT_EQ(e.radius, opaque.Get(1).radius + 1.0f);
        EXPECT_NE(e.flags & kEntryNoShadow, 0u);
    }
    // The swap pair replaces the batch's material; a pair with a zero side does nothing.
    node->SetMaterialSwap(unlit, swapped);
    queue.Build();
    EXPECT_EQ(opaque.Get(0).material, Def(swapped));
    node->SetMaterialSwap(unlit, 0);
    queue.Build();
    EXPECT_EQ(opaque.Get(0).material, Def(unlit));
}

TEST_F(RenderQueueTest, FinishedNodesArePrunedWithoutDanglingEntries) {
    MeshModel* model = Model({0});
    NodePtr root = scenetest::MakeNode(kNodeGroup, "root");
    AddNode(root.get(), "empty emitter", kNodeEmitter)->MakeEmitterGroup();
    SceneNode* emitterGroup = AddNode(root.get(), "emitter group", kNodeEmitter);
    emitterGroup->MakeEmitterGroup();
    AddNode(emitterGroup, "spark", kNodeMesh)->SetPayload(model->handle);
    SceneNode* doomed = AddNode(root.get(), "doomed", kNodeMesh);
    doomed->SetPayload(model->handle);
    AddNode(doomed, "rider", kNodeMesh)->SetPayload(model->handle);
    doomed->SetFlags(doomed->GetFlags() | kEntryDelete);
    root->UpdateWorldMatrix();
    RenderQueue queue(16);
    queue.SetScene(root.get());
    queue.Build();
    // The childless emitter node and the marked node with its child are deleted from the scene.
    ASSERT_EQ(root->GetChildCount(), 1);
    EXPECT_EQ(root->GetChild(0), emitterGroup);
    ASSERT_EQ(queue.GetVisibleNodes().Count(), 2);
    EXPECT_EQ(queue.GetVisibleNodes().Get(0).node, emitterGroup);
    EXPECT_EQ(queue.GetDrawList(0).Count(), 1);
}

TEST_F(RenderQueueTest, ListsRefuseAppendsAtCapacity) {
    const int a = Material("a"), b = Material("b");
    MeshModel* model = Model({a, b});
    ASSERT_EQ(model->GetBatchCount(), 2);
    DrawList list(3, 0);
    EXPECT_EQ(list.AddModel(model->handle, 0, 0, 0, Matrix44(), nullptr), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_NE(list.Get(0).flags & kEntryActive, 0u);
    // One free entry for a two-batch model: one is added and the call reports the overflow.
    EXPECT_EQ(list.AddModel(model->handle, 0, 0, 0, Matrix44(), nullptr), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.AddModel(9999, 0, 0, 0, Matrix44(), nullptr), 0);
    BillboardList lines;
    EXPECT_EQ(list.AddBillboardList(0, Matrix44(), &lines), 0);
    // Octree batches of a full list are dropped.
    OctreeRecord record{model, Matrix44(), nullptr};
    list.AddVisitedBatchEntry(record, 0, a, {0, 0, 10}, 1.0f);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Visible().Count(), 0);
    EXPECT_EQ(list.AddOctreeRecord(model, Matrix44(), nullptr), true);
}

TEST_F(RenderQueueTest, BillboardEntriesNeverCarryANullMaterial) {
    DrawList list(4, 1);
    BillboardList lines;
    SortedBillboardList sprites;
    lines.Reserve(2, 900, 3.0f);     // outside the table
    sprites.Resize(2, 1, 1, 0xFFFFFFFFu, 60, 7.0f);  // an empty slot
    const Matrix44 world = QueueTest::At(1, 2, 3);
    ASSERT_EQ(list.AddBillboardList(0, world, &lines), 1);
    ASSERT_EQ(list.AddSortedBillboardList(0, world, &sprites), 1);
    for (int i = 0; i < 2; ++i) {
        const DrawEntry& e = list.Get(i);
        EXPECT_EQ(e.material, Def(GetMaterialLib().DefaultHandle()));
        EXPECT_EQ(e.centre.x, 1.0f);
        EXPECT_EQ(e.centre.z, 3.0f);
        EXPECT_EQ(e.centre.w, 1.0f);
    }
    EXPECT_EQ(list.Get(0).kind, kEntryBillboards);
    EXPECT_EQ(list.Get(0).radius, 3.0f);
    EXPECT_EQ(list.Get(1).kind, kEntrySortedBillboards);
    EXPECT_EQ(list.Get(1).radius, 7.0f);
    // Node payloads of types 5 and 8 become entries too.
    NodePtr root = scenetest::MakeNode(kNodeGroup, "root");
    SceneNode* node = AddNode(root.get(), "sprites", kNodeSortedBillboards);
    ASSERT_NE(node->GetSortedBillboardList(), nullptr);
    node->GetSortedBillboardList()->Resize(1, 1, 1, 0xFFFFFFFFu, 0, 2.0f);
    ASSERT_NE(AddNode(root.get(), "lines", kNodeBillboards)->GetBillboardList(), nullptr);
    RenderQueue queue(8);
    queue.SetScene(root.get());
    queue.Build();
    EXPECT_EQ(queue.GetDrawList(0).Count(), 2);
    EXPECT_NE(queue.GetDrawList(0).Get(0).material, nullptr);
}

// Payload nodes drawn with an unlit material cast no shadow, as unlit mesh batches do: their entries carry
// 0x800, so the shadow pass skips them and the fitted shadow range ignores them.
TEST_F(RenderQueueTest, UnlitPayloadEntriesCastNoShadow) {
    const int lit = Material("lit payload", 1, 1);
    const int unlit = Material("unlit payload", 0, 1);
    struct Case {
        std::uint32_t type;
        std::uint32_t kind;
    };
    const Case cases[] = {{kNodeDynamicGeometry, kEntryDynamicGeometry},
                          {kNodeBillboards, kEntryBillboards},
                          {kNodeSortedBillboards, kEntrySortedBillboards}};
    for (const Case& c : cases) {
        for (const int material : {lit, unlit}) {
            SCOPED_TRACE(testing::Message() << "kind " << c.kind << (material == unlit ? " unlit" : " lit"));
            NodePtr root = scenetest::MakeNode(kNodeGroup, "root");
            SceneNode* node = AddNode(root.get(), "payload", c.type);
            if (c.type == kNodeDynamicGeometry) node->GetDynamicGeometry()->material = material;
            if (c.type == kNodeBillboards) node->GetBillboardList()->Reserve(1, material, 2.0f);
            if (c.type == kNodeSortedBillboards) {
                node->GetSortedBillboardList()->Resize(1, 1, 1, 0xFFFFFFFFu, material, 2.0f);
            }
            node->SetLocalMatrix(QueueTest::At(0, 0, 60));
            // A lit mesh at depth 10 casts.
            MeshModel* model = Model({lit}, "caster");
            ASSERT_NE(model, nullptr);
            AddNode(root.get(), "caster", kNodeMesh)->SetPayload(model->handle);
            root->UpdateWorldMatrix();
            RenderQueue queue(8);
            queue.SetScene(root.get());
            queue.Build();
            DrawList& blended = queue.GetDrawList(1);
            const DrawEntry* entry = nullptr;
            for (int i = 0; i < blended.Count(); ++i) {
                if (blended.Get(i).kind == c.kind) entry = &blended.Get(i);
            }
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ((entry->flags & kEntryNoShadow) != 0, material == unlit);
            // The payload 60 ahead widens the shadow range to it only when it casts.
            DrawPointerList& opaque = queue.GetDrawList(0).CollectVisible(camera);
            DrawPointerList& seen = queue.GetDrawList(1).CollectVisible(camera);
            float nearDistance = -1.0f, farDistance = -1.0f;
            SceneView::FitShadowRange(&opaque, &seen, 0.5f, 100.0f, nearDistance, farDistance);
            if (material == unlit) {
                EXPECT_LT(farDistance, 20.0f);
            } else {
                EXPECT_GT(farDistance, 50.0f);
            }
        }
    }
}

TEST_F(RenderQueueTest, CollectVisibleHonoursTheMarginAndSkipsEmptyEmitters) {
    MeshModel* model = Model({0});
    DrawList list(8, 0);
    // Centre 1.5 to the left of the 45-degree side plane at z = 10: outside by about 1.06.
    auto add = [&](float x, std::uint32_t flags) {
        DrawEntry* e = list.NewEntry();
        e->object = model, e->kind = kEntryMesh, e->radius = 0.5f, e->flags = flags;
        e->centre = {x, 0, 10, 1};
        e->material = Def(GetMaterialLib().DefaultHandle());
    };
    add(0, kEntryActive);
    add(-11.5f, kEntryActive);
    add(0, kEntryActive | kEntryNothingToDraw);
    Def(GetMaterialLib().DefaultHandle())->storedFloat0 = 0.25f;
    EXPECT_EQ(list.CollectVisible(camera).Count(), 1);
    EXPECT_FLOAT_EQ(list.Get(0).depth, 10.25f);
    GetModelQueryOptions().cullMargin = 1.0f;
    DrawPointerList& visible = list.CollectVisible(camera);
    ASSERT_EQ(visible.Count(), 2);
    EXPECT_EQ(visible.Get(1), &list.Get(1));
}

TEST_F(RenderQueueTest, OctreeModelsGiveVisibleBatchesAgainForEachView) {
    MeshModel* model = Model({0});
    auto octree = std::make_unique<ModelOctree>();
    octree->leaves = {{{-1, 0, 9}, {1, 1, 10}, 0, 1}};
    OctreeNode root;
    root.centre = {0, 0, 10}, root.halfSize = 2, root.leaf = 0;
    octree->nodes = {root};
    model->octree = std::move(octree);
    NodePtr node = MeshNode(model->handle, Matrix44());
    RenderQueue queue(4);
    queue.SetScene(node.get());
    queue.Build();
    DrawList& list = queue.GetDrawList(0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.OctreeRecordCount(), 1);
    // Several views of one build (cube faces) each see the batch once; the list does not fill up.
    for (int view = 0; view < 6; ++view) {
        DrawPointerList& visible = list.CollectVisible(camera);
        ASSERT_EQ(visible.Count(), 1) << view;
        EXPECT_EQ(visible.Get(0)->object, model);
        EXPECT_EQ(visible.Get(0)->material, Def(GetMaterialLib().DefaultHandle()));
        EXPECT_EQ(list.Count(), 1);
    }
}

TEST(DrawOrdering, OpaqueAndBlendedComparatorsFollowTheirKeys) {
    MaterialDef early, late, setA, setB;
    early.drawOrder = 10, late.drawOrder = 20;
    setA.shaderSetIndex = 1, setB.shaderSetIndex = 2;
    int objects[2];
    struct Case {
        const char* name;
        DrawEntry first, second;  // first must sort before second
    };
    auto entry = [](MaterialDef* m, int shell, void* object, int batch, float depth = 0) {
        DrawEntry e;
        e.kind = kEntryMesh, e.material = m, e.shell = shell, e.object = object, e.batch = batch, e.depth = depth;
        return e;
    };
    const Case cases[] = {
        {"draw order", entry(&early, 5, &objects[1], 0), entry(&late, 0, &objects[0], 9)},
        {"shader set", entry(&setA, 5, &objects[1], 0), entry(&setB, 0, &objects[0], 9)},
        {"shell", entry(&setA, 0, &objects[1], 0), entry(&setA, 1, &objects[0], 9)},
        {"batch descending", entry(&setA, 0, &objects[0], 7), entry(&setA, 0, &objects[0], 2)},
    };
    for (const Case& c : cases) {
        const DrawEntry* a = &c.first;
        const DrawEntry* b = &c.second;
        EXPECT_LT(CompareOpaqueEntries(&a, &b), 0) << c.name;
        EXPECT_GT(CompareOpaqueEntries(&b, &a), 0) << c.name;
    }
    // Equal materials and models group together whatever the input order.
    DrawEntry mixed[6] = {entry(&setA, 0, &objects[0], 0), entry(&setA, 0, &objects[1], 0),
                          entry(&setA, 0, &objects[0], 0), entry(&setA, 0, &objects[1], 0),
                          entry(&setA, 0, &objects[0], 0), entry(&setA, 0, &objects[1], 0)};
    DrawEntry* pointers[6];
    for (int i = 0; i < 6; ++i) pointers[i] = &mixed[i];
    SortArray(pointers, 6, sizeof(DrawEntry*), &CompareOpaqueEntries);
    for (int i = 1; i < 3; ++i) EXPECT_EQ(pointers[i]->object, pointers[0]->object);
    for (int i = 4; i < 6; ++i) EXPECT_EQ(pointers[i]->object, pointers[3]->object);

    // Blended: draw order first, then the farthest first; NaN depths sort without fault.
    const DrawEntry nearLate = entry(&late, 0, nullptr, 0, 1.0f);
    const DrawEntry farEarly = entry(&early, 0, nullptr, 0, 50.0f);
    const DrawEntry nearEarly = entry(&early, 0, nullptr, 0, 5.0f);
    const DrawEntry* p[3] = {&nearLate, &nearEarly, &farEarly};
    SortArray(p, 3, sizeof(DrawEntry*), &CompareBlendedEntries);
    EXPECT_EQ(p[0], &farEarly);
    EXPECT_EQ(p[1], &nearEarly);
    EXPECT_EQ(p[2], &nearLate);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<DrawEntry> withNan;
    for (float d : {3.0f, nan, 9.0f, nan, 1.0f, 7.0f}) withNan.push_back(entry(&early, 0, nullptr, 0, d));
    std::vector<const DrawEntry*> q;
    for (const DrawEntry& e : withNan) q.push_back(&e);
    SortArray(q.data(), static_cast<int>(q.size()), sizeof(DrawEntry*), &CompareBlendedEntries);
    EXPECT_EQ(q.size(), 6u);
}

TEST_F(RenderQueueTest, InstanceRunsCountEqualFormatFourBatches) {
    MeshModel* model = Model({0});
    MeshModel* other = Model({0}, "other");
    MaterialDef* material = Def(GetMaterialLib().DefaultHandle());
    std::vector<DrawEntry> entries(8);
    for (DrawEntry& e : entries) e.kind = kEntryMesh, e.object = model, e.material = material;
    entries[4].object = other;
    entries[5].object = other;
    entries[6].object = other;
    entries[7].object = model;
    DrawPointerList list;
    list.Init(nullptr, 8, 0);
    for (DrawEntry& e : entries) list.Append(&e);
    EXPECT_EQ(CountInstanceRun(0, list, true), 4);
    EXPECT_EQ(CountInstanceRun(4, list, true), 3);
    EXPECT_EQ(CountInstanceRun(6, list, true), 1);  // the next entry's model differs
    EXPECT_EQ(CountInstanceRun(7, list, true), 1);  // last position
    EXPECT_EQ(CountInstanceRun(0, list, false), 0);  // below shader model 3
    std::vector<Matrix44> bones(2);
    entries[0].skin = &bones;
    EXPECT_EQ(CountInstanceRun(0, list, true), 0);
    entries[0].skin = nullptr;
    const_cast<MeshBatch*>(model->GetBatch(0))->vertexFormat = 1;
    EXPECT_EQ(CountInstanceRun(0, list, true), 0);
    entries[1].kind = kEntryBillboards;
    EXPECT_EQ(CountInstanceRun(1, list, true), 0);
}

TEST(LightDescTest, DefaultsFollowTheType) {
    for (int type = 0; type < 5; ++type) {
        LightDesc light(type);
        EXPECT_EQ(light.enabled, 0);
        EXPECT_EQ(light.castsShadow, type < 3 ? 1 : 0) << type;
        EXPECT_FLOAT_EQ(light.depthBias, type == 1 || type == 2 ? 0.05f : 0.001f) << type;
        EXPECT_EQ(light.colour, 0xFFFFFFFFu);
    }
    LightDesc light(1);
    light.SetRange(0.0f);
    EXPECT_FLOAT_EQ(light.range, 0.001f);
    RenderQueue queue(4);
    EXPECT_EQ(queue.GetLight(3).type, 3);
    EXPECT_EQ(queue.GetDrawList(0).Capacity(), 4);
}

}  // namespace
