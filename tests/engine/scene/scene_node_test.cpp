#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/render/material_def.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/dynamic_geometry.h"
#include "engine/scene/lod_group.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"
#include "engine/scene/spline.h"
#include "scene_test_support.h"

using namespace engine;
using scenetest::AddNode;
using scenetest::MakeNode;

namespace {

TEST(SceneNodeInit, PayloadsFollowTheType) {
    auto group = MakeNode(kNodeGroup, "g");
    EXPECT_EQ(group->GetFlags(), kNodeActive);
    EXPECT_EQ(group->GetFixedFrame(), -1);
    scenetest::ExpectMatrixNear(group->GetLocalMatrix(), IdentityMatrix());

    auto geometry = MakeNode(kNodeDynamicGeometry, "d");
    ASSERT_NE(geometry->GetDynamicGeometry(), nullptr);
    EXPECT_EQ(geometry->GetDynamicGeometry()->owner, geometry.get());
    EXPECT_EQ(geometry->GetDynamicGeometry()->vertexCount, 0);

    auto lod = MakeNode(kNodeLodGroup, "l");
    ASSERT_NE(lod->GetLodGroup(), nullptr);
    EXPECT_EQ(lod->GetLodGroup()->Owner(), lod.get());

    auto animated = MakeNode(kNodeAnimatedMesh, "a");
    EXPECT_NE(animated->GetAnimationPlayer(), nullptr);

    auto box = MakeNode(kNodeBox, "b");
    ASSERT_NE(box->GetBox(), nullptr);
    EXPECT_FLOAT_EQ(box->GetBox()->min.x, -2.5f);
    EXPECT_FLOAT_EQ(box->GetBox()->min.y, -1.0f);
    EXPECT_FLOAT_EQ(box->GetBox()->max.z, 2.5f);

    auto spline = MakeNode(kNodeSpline, "s");
    ASSERT_NE(spline->GetSpline(), nullptr);
    EXPECT_EQ(spline->GetSpline()->kind, kSplineCurve);
    EXPECT_EQ(spline->GetSpline()->KnotCount(), 0);

    auto emitter = MakeNode(kNodeEmitter, "e");
    ASSERT_NE(emitter->GetParticleEmitter(), nullptr);
    EXPECT_EQ(emitter->GetParticleEmitter()->GetOwner(), emitter.get());

    for (std::uint32_t type : {3u, 5u, 8u, 9u, 12u}) {
        auto node = MakeNode(type, "x");
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->GetBox(), nullptr);
        EXPECT_EQ(node->GetParticleEmitter(), nullptr);
        EXPECT_EQ(node->GetAnimationPlayer(), nullptr);
    }
    EXPECT_EQ(SceneNode::Init(13, "bad"), nullptr);
}

TEST(SceneNodeInit, ModelHandleOnlyOnMeshTypes) {
    auto mesh = MakeNode(kNodeMesh, "m");
    mesh->SetPayload(7);
    EXPECT_EQ(mesh->GetModelIndex(), 7);
    auto group = MakeNode(kNodeGroup, "g");
    group->SetPayload(7);
    EXPECT_EQ(group->GetModelIndex(), 0);
}

// One table of small trees and queries. Trees are written as "name(child,child)" with '-' before an
// inactive node's name.
struct FinderCase {
    const char* tree;
    enum Kind { kEquals, kContains, kPart } kind;
    const char* query;
    const char* expected;  // the found node's id (its position in pre-order, as text), or null
};

class TreeBuilder {
public:
    explicit TreeBuilder(const char* text) : text_(text) {}
    scenetest::NodePtr Build() {
        std::size_t pos = 0;
        return scenetest::NodePtr(Parse(pos));
    }
    std::vector<SceneNode*> order;

private:
    SceneNode* Parse(std::size_t& pos) {
        bool inactive = false;
        if (text_[pos] == '-') inactive = true, ++pos;
        std::string name;
        while (pos < text_.size() && text_[pos] != '(' && text_[pos] != ',' && text_[pos] != ')') name += text_[pos++];
        SceneNode* node = SceneNode::Init(kNodeGroup, name.c_str());
        node->SetActive(!inactive);
        order.push_back(node);
        if (pos < text_.size() && text_[pos] == '(') {
            do {
                ++pos;
                node->AddChild(Parse(pos));
            } while (text_[pos] == ',');
            ++pos;  // ')'
        }
        return node;
    }
    std::string text_;
};

TEST(SceneNodeFinders, LastMatchInPreOrderOverActiveNodes) {
    const FinderCase cases[] = {
        // Turret and Turret2 under one root: the later in pre-order.
        {"Root(Turret,Turret2)", FinderCase::kContains, "turret", "2"},
        {"Root(Turret2,Turret)", FinderCase::kContains, "turret", "2"},
        // A match inside an earlier match's subtree is not found.
        {"Root(Turret(TurretBarrel))", FinderCase::kContains, "turret", "1"},
        {"Root(Turret(TurretBarrel),Hull)", FinderCase::kPart, "TURRET", "1"},
        // An inactive subtree is invisible.
        {"Root(Turret,-Hidden(Turret))", FinderCase::kEquals, "turret", "1"},
        {"Root(-Turret)", FinderCase::kEquals, "Turret", nullptr},
        // Case is ignored; equals needs the whole name.
        {"Root(Hull(tURRET),Turret2)", FinderCase::kEquals, "Turret", "2"},
        {"Root(Hull,Wheel)", FinderCase::kEquals, "turret", nullptr},
        // The node itself is part of the walk.
        {"Turret(Hull)", FinderCase::kEquals, "turret", "0"},
        {"-Turret(Turret)", FinderCase::kContains, "turret", nullptr},
    };
    for (const FinderCase& c : cases) {
        SCOPED_TRACE(std::string(c.tree) + " / " + c.query);
        TreeBuilder builder(c.tree);
        auto root = builder.Build();
        const WideString query(c.query);
        SceneNode* found = nullptr;
        switch (c.kind) {
            case FinderCase::kEquals: found = root->FindDescendant(query); break;
            case FinderCase::kContains: found = root->FindDescendantContaining(query); break;
            case FinderCase::kPart: found = root->FindByNamePart(c.query); break;
        }
        if (c.expected == nullptr) {
            EXPECT_EQ(found, nullptr);
        } else {
            EXPECT_EQ(found, builder.order[std::stoi(c.expected)]);
        }
    }
}

TEST(SceneNodeFinders, MaterialNameUsesTheMaterialsName) {
    MaterialLib lib;
    ASSERT_TRUE(lib.Init(16, nullptr));
    const int paint = lib.Create("TankPaint", 0, 0, 0, 0);
    const int glass = lib.Create("Glass", 0, 0, 0, 0);
    ASSERT_GT(paint, 0);
    auto root = MakeNode(kNodeGroup, "Root");
    SceneNode* hull = AddNode(root.get(), "Glass");  // the node's name does not count
    hull->SetMaterial(paint);
    SceneNode* window = AddNode(root.get(), "Window");
    window->SetMaterial(glass);
    SceneNode* outOfRange = AddNode(root.get(), "Far");
    outOfRange->SetMaterial(500);
    EXPECT_EQ(root->FindByMaterialName("paint", &lib), hull);
    EXPECT_EQ(root->FindByMaterialName("GLASS", &lib), window);
    EXPECT_EQ(root->FindByMaterialName("Default", &lib), nullptr);  // handle 500 is not read as handle 1
    root.reset();
    lib.Free();
}

int CountVisit(SceneNode* node, void* user) {
    auto* names = static_cast<std::vector<std::string>*>(user);
    names->push_back(node->GetName().GetNarrow());
    return node->GetName().EqualsNarrow("Stop") ? 0 : 1;
}

TEST(SceneNodeWalk, VisitActiveSkipsInactiveAndStoppedSubtrees) {
    TreeBuilder builder("A(B(C),Stop(D),-E(F),G)");
    auto root = builder.Build();
    std::vector<std::string> names;
    root->VisitActive(&CountVisit, &names);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C", "Stop", "G"}));
}

TEST(SceneNodeStructure, DetachOfTheLastChildFreesTheArray) {
    auto root = MakeNode(kNodeGroup, "root");
    SceneNode* a = AddNode(root.get(), "a");
    SceneNode* b = AddNode(root.get(), "b");
    SceneNode* c = AddNode(root.get(), "c");
    b->Detach();
    ASSERT_EQ(root->GetChildCount(), 2);
    EXPECT_EQ(root->GetChild(0), a);
    EXPECT_EQ(root->GetChild(1), c);
    EXPECT_EQ(b->GetParent(), nullptr);
    b->Destroy();
    a->Destroy();
    c->Destroy();
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(root->GetChildArray(), nullptr);
}

TEST(SceneNodeStructure, AddChildMovesAndRefusesCycles) {
    auto first = MakeNode(kNodeGroup, "first");
    auto second = MakeNode(kNodeGroup, "second");
    SceneNode* child = AddNode(first.get(), "child");
    SceneNode* grandchild = AddNode(child, "grandchild");
    ASSERT_TRUE(second->AddChild(child));
    EXPECT_EQ(first->GetChildCount(), 0);
    EXPECT_EQ(child->GetParent(), second.get());
    EXPECT_FALSE(grandchild->AddChild(second.get()));
    EXPECT_FALSE(child->AddChild(child));
    EXPECT_FALSE(child->AddChild(nullptr));
    EXPECT_EQ(second->GetParent(), nullptr);
}

TEST(SceneNodeStructure, DetachFromDistanceGroupKeepsRangesInTheirSlots) {
    auto group = MakeNode(kNodeLodGroup, "lod");
    LodGroup* lod = group->GetLodGroup();
    SceneNode* nodes[3];
    const float ranges[3][2] = {{0, 10}, {10, 20}, {30, 50}};
    for (int i = 0; i < 3; ++i) {
        nodes[i] = SceneNode::Init(kNodeMesh, "level");
        ASSERT_TRUE(lod->AddChild(nodes[i], ranges[i][0], ranges[i][1]));
        EXPECT_EQ(nodes[i]->GetParent(), group.get());
    }
    EXPECT_EQ(group->GetChildCount(), 0);  // entries are not in the child array
    nodes[0]->Detach();
    EXPECT_EQ(nodes[0]->GetParent(), nullptr);
    ASSERT_EQ(lod->Count(), 2);
    EXPECT_EQ(lod->GetEntry(0).node, nodes[1]);
    EXPECT_EQ(lod->GetEntry(1).node, nodes[2]);
    EXPECT_EQ(lod->GetEntry(2).node, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lod->GetEntry(i).rangeStart, ranges[i][0]);
        EXPECT_EQ(lod->GetEntry(i).rangeLength, ranges[i][1]);
    }
    nodes[0]->Destroy();
    // The group deletes the nodes of its entries with itself (ASan reports a leak otherwise).
}

TEST(SceneNodeTransforms, WorldIsLocalTimesParentWorldThroughGroupsAndInactiveNodes) {
    using scenetest::RotateThenMove;
    auto root = MakeNode(kNodeGroup, "root");
    SceneNode* lodNode = AddNode(root.get(), "lod", kNodeLodGroup);
    SceneNode* inactive = SceneNode::Init(kNodeGroup, "inactive");
    ASSERT_TRUE(lodNode->GetLodGroup()->AddChild(inactive, 0, 100));
    inactive->SetActive(false);
    SceneNode* leaf = AddNode(inactive, "leaf");

    const Matrix44 l0 = RotateThenMove(90, 10, 0, 0);
    const Matrix44 l1 = RotateThenMove(-30, 0, 2, 5);
    const Matrix44 l2 = RotateThenMove(45, 1, 0, 0);
    const Matrix44 l3 = RotateThenMove(10, 0, 0, 3);
    root->SetLocalMatrix(l0);
    lodNode->SetLocalMatrix(l1);
    inactive->SetLocalMatrix(l2);
    leaf->SetLocalMatrix(l3);
    root->UpdateWorldMatrix();

    Matrix44 expected = l3, t;
    Matrix44::Multiply(expected, l2, t);
    Matrix44::Multiply(t, l1, expected);
    Matrix44::Multiply(expected, l0, t);
    scenetest::ExpectMatrixNear(leaf->GetWorldMatrix(), t);
    // The order matters: the rotation and translation pairs do not commute.
    Matrix44 reversed, r;
    Matrix44::Multiply(l0, l1, reversed);
    Matrix44::Multiply(reversed, l2, r);
    Matrix44::Multiply(r, l3, reversed);
    EXPECT_GT(std::abs(reversed.m[3][0] - t.m[3][0]) + std::abs(reversed.m[3][2] - t.m[3][2]), 1.0f);
    // A point at the leaf's origin ends where the hand computation puts it: each local first.
    const Vec3 p = leaf->GetWorldMatrix().TransformPoint({0, 0, 0});
    const Vec3 byHand = l0.TransformPoint(l1.TransformPoint(l2.TransformPoint(l3.TransformPoint({0, 0, 0}))));
    EXPECT_NEAR(p.x, byHand.x, 1e-4f);
    EXPECT_NEAR(p.y, byHand.y, 1e-4f);
    EXPECT_NEAR(p.z, byHand.z, 1e-4f);
}

// ----- sharing between clones -----

std::shared_ptr<AnimationSet> MakeSet(std::initializer_list<const char*> names) {
    auto set = std::make_shared<AnimationSet>();
    for (const char* name : names) {
        auto* record = new AnimationRecord;
        record->Init(name);
        record->AddEntry(0, 0.5f);
        record->AddEntry(1, 0.5f);
        set->Add(record);
    }
    return set;
}

struct SharedParts {
    std::weak_ptr<AnimationSet> set;
    std::weak_ptr<std::vector<Matrix44>> frames;
    std::weak_ptr<std::vector<std::uint16_t>> remap;
    std::weak_ptr<NodeExtraData> extra;
    bool AllAlive() const { return !set.expired() && !frames.expired() && !remap.expired() && !extra.expired(); }
    bool AllFreed() const { return set.expired() && frames.expired() && remap.expired() && extra.expired(); }
};

SharedParts GiveParts(SceneNode& node) {
    node.SetAnimationSet(MakeSet({"idle", "walk"}));
    node.SetFrameMatrices(std::make_shared<std::vector<Matrix44>>(3));
    node.SetFrameRemap(std::make_shared<std::vector<std::uint16_t>>(std::vector<std::uint16_t>{0, 2, 1}));
    node.SetExtraData(std::make_shared<NodeExtraData>());
    return {node.GetAnimationSetShared(), node.GetFrameMatricesShared(), node.GetFrameRemapShared(),
            node.GetExtraDataShared()};
}

TEST(SceneNodeClone, ShallowCloneSharesUntilTheLastHolderGoes) {
    for (bool sourceFirst : {false, true}) {
        SCOPED_TRACE(sourceFirst ? "source deleted first" : "clone deleted first");
        scenetest::FakeTime time;
        SceneNode* source = SceneNode::Init(kNodeAnimatedMesh, "unit");
        source->CreateAnimationPlayer(&time.timer);
        AddNode(source, "turret");
        const SharedParts parts = GiveParts(*source);
        ASSERT_EQ(source->GetAnimationPlayer()->Play("walk", false), 1);

        SceneNode* clone = source->Clone(false);
        ASSERT_NE(clone, nullptr);
        EXPECT_TRUE(clone->IsShared());
        EXPECT_EQ(clone->GetAnimationSet(), source->GetAnimationSet());
        EXPECT_EQ(clone->GetFrameMatrices(), source->GetFrameMatrices());
        ASSERT_EQ(clone->GetChildCount(), 1);
        EXPECT_TRUE(clone->GetChild(0)->GetName().EqualsNarrow("turret"));
        EXPECT_EQ(clone->GetAnimationPlayer()->GetNode(), clone);

        (sourceFirst ? source : clone)->Destroy();
        EXPECT_TRUE(parts.AllAlive());
        SceneNode* survivor = sourceFirst ? clone : source;
        EXPECT_TRUE(survivor->GetAnimationPlayer()->GetCurrentName().EqualsNarrow("walk"));
        EXPECT_EQ(survivor->GetAnimationPlayer()->GetFrame(), 0);
        EXPECT_NE(survivor->GetFrameMatrix(), nullptr);
        survivor->Destroy();
        EXPECT_TRUE(parts.AllFreed());
    }
}

TEST(SceneNodeClone, PlayerKeepsTheSetItPlays) {
    scenetest::FakeTime time;
    SceneNode* node = SceneNode::Init(kNodeGroup, "n");
    AnimationPlayer* player = node->CreateAnimationPlayer(&time.timer);
    const SharedParts parts = GiveParts(*node);
    ASSERT_EQ(player->Play("idle", false), 1);
    node->SetAnimationSet(nullptr);  // the node lets go; the player still plays from it
    EXPECT_FALSE(parts.set.expired());
    EXPECT_EQ(player->GetFrame(), 0);
    node->Destroy();
    EXPECT_TRUE(parts.AllFreed());
}

TEST(SceneNodeClone, DeepCloneOwnsCopiesAndItsPlayerIsNotFinished) {
    scenetest::FakeTime time;
    SceneNode* source = SceneNode::Init(kNodeAnimatedMesh, "unit");
    source->CreateAnimationPlayer(&time.timer);
    source->SetMaterial(3);
    source->SetSubtreeMaterial(4);
    source->SetAttachBone(2);
    source->SetPayload(9);
    const SharedParts parts = GiveParts(*source);
    AnimationPlayer* player = source->GetAnimationPlayer();
    ASSERT_EQ(player->Play("walk", false), 1);
    time.seconds = 5.0;  // past the end of the holding record
    player->GetFrame();
    ASSERT_TRUE(player->IsFinished());

    SceneNode* clone = source->Clone(true);
    ASSERT_NE(clone, nullptr);
    EXPECT_FALSE(clone->IsShared());
    EXPECT_NE(clone->GetAnimationSet(), source->GetAnimationSet());
    EXPECT_NE(clone->GetFrameMatrices(), source->GetFrameMatrices());
    EXPECT_NE(clone->GetFrameRemap(), source->GetFrameRemap());
    EXPECT_NE(clone->GetExtraData(), source->GetExtraData());
    EXPECT_EQ(*clone->GetFrameRemap(), *source->GetFrameRemap());
    EXPECT_EQ(clone->GetMaterial(), 3);
    EXPECT_EQ(clone->GetSubtreeMaterial(), 4);
    EXPECT_EQ(clone->GetAttachBone(), 2);
    EXPECT_EQ(clone->GetModelIndex(), 9);
    AnimationPlayer* clonePlayer = clone->GetAnimationPlayer();
    EXPECT_FALSE(clonePlayer->IsFinished());
    EXPECT_EQ(clonePlayer->GetStartTime(), player->GetStartTime());
    EXPECT_TRUE(clonePlayer->GetCurrentName().EqualsNarrow("walk"));
    EXPECT_EQ(clone->GetAnimationSet()->IndexOf(clonePlayer->GetCurrent()), 1);  // in the clone's own set

    source->Destroy();
    EXPECT_TRUE(parts.AllFreed());
    EXPECT_EQ(clonePlayer->GetFrame(), 1);
    clone->Destroy();
}

TEST(SceneNodeClone, CopiesBoxAndDistanceGroupEntries) {
    auto group = MakeNode(kNodeLodGroup, "lod");
    group->GetLodGroup()->AddChild(SceneNode::Init(kNodeBox, "near"), 0, 10);
    group->GetLodGroup()->AddChild(SceneNode::Init(kNodeMesh, "far"), 10, 20);
    group->GetLodGroup()->GetEntry(0).node->GetBox()->max.x = 9.0f;
    scenetest::NodePtr clone(group->Clone(false));
    LodGroup* lod = clone->GetLodGroup();
    ASSERT_EQ(lod->Count(), 2);
    EXPECT_TRUE(lod->GetEntry(1).node->GetName().EqualsNarrow("far"));
    EXPECT_EQ(lod->GetEntry(1).node->GetParent(), clone.get());
    EXPECT_EQ(lod->GetEntry(1).rangeStart, 10.0f);
    EXPECT_EQ(lod->GetEntry(0).node->GetBox()->max.x, 9.0f);
}

// ----- frames -----

TEST(SceneNodeFrames, FrameMatrixFollowsPlayerFixedFrameAndRemap) {
    scenetest::FakeTime time;
    auto root = MakeNode(kNodeGroup, "root");
    SceneNode* part = AddNode(root.get(), "part");
    auto frames = std::make_shared<std::vector<Matrix44>>(4);
    for (int i = 0; i < 4; ++i) (*frames)[i].m[3][0] = static_cast<float>(i);
    part->SetFrameMatrices(frames);
    EXPECT_EQ(part->GetFrameMatrix(), nullptr);  // no player anywhere above

    AnimationPlayer* player = root->CreateAnimationPlayer(&time.timer);
    auto set = std::make_shared<AnimationSet>();
    auto* record = new AnimationRecord;
    record->Init("run");
    for (int frame : {0, 1, 2, 3, 9}) record->AddEntry(frame, 1.0f);
    set->Add(record);
    root->SetAnimationSet(set);
    ASSERT_EQ(player->Play("run", false), 1);

    struct Case {
        double seconds;
        int fixed;
        std::vector<std::uint16_t> remap;
        float expected;
    };
    const Case cases[] = {
        {1.5, -1, {}, 1},          // the player's frame
        {1.5, 2, {}, 2},           // a fixed frame wins
        {4.5, -1, {}, 3},          // frame 9 beyond the end clamps to the last matrix
        {0.5, 7, {}, 3},           // so does a fixed frame
        {2.5, -1, {3, 0, 1}, 1},   // through the remap
        {4.5, -1, {3, 0, 2}, 2},   // beyond the remap: its last entry
        {0.5, -1, {40}, 3},        // a remap entry beyond the matrices clamps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        time.seconds = c.seconds;
        part->SetFixedFrame(c.fixed);
        part->SetFrameRemap(c.remap.empty() ? nullptr : std::make_shared<std::vector<std::uint16_t>>(c.remap));
        const Matrix44* m = part->GetFrameMatrix();
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->m[3][0], c.expected);
    }
}

TEST(SceneNodeSkin, EnsureSkinCacheKeepsOrReplaces) {
    auto node = MakeNode(kNodeAnimatedMesh, "skinned");
    SkinMatrixCache* cache = node->EnsureSkinCache(3);
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->matrices.size(), 4u);
    EXPECT_EQ(cache->previousFrame, -1);
    EXPECT_EQ(node->EnsureSkinCache(3), cache);
    cache->previousFrame = 12;
    cache->debugTree = Skeleton::BuildDebugTree(3);
    SkinMatrixCache* bigger = node->EnsureSkinCache(5);
    ASSERT_NE(bigger, nullptr);
    EXPECT_EQ(bigger->boneCount, 5);
    EXPECT_EQ(bigger->matrices.size(), 6u);
    EXPECT_EQ(bigger->previousFrame, 12);
    ASSERT_NE(bigger->debugTree, nullptr);
    EXPECT_EQ(bigger->debugTree->GetChildCount(), 5);
}

TEST(SceneNodeEmitters, GroupsOfEmittersBecomeEmitterGroups) {
    auto root = MakeNode(kNodeGroup, "root");
    SceneNode* smoke = AddNode(root.get(), "smoke");
    AddNode(smoke, "puff", kNodeEmitter);
    AddNode(smoke, "spark", kNodeEmitter);
    SceneNode* mixed = AddNode(root.get(), "mixed");
    AddNode(mixed, "puff", kNodeEmitter);
    AddNode(mixed, "hull", kNodeMesh);
    SceneNode* empty = AddNode(root.get(), "empty");
    root->ResolveEmitterGroup();
    EXPECT_EQ(smoke->GetType(), kNodeEmitter);
    EXPECT_EQ(mixed->GetType(), kNodeGroup);
    EXPECT_EQ(empty->GetType(), kNodeGroup);
    EXPECT_EQ(root->GetType(), kNodeGroup);
}

}  // namespace
