#include <gtest/gtest.h>

#include <string>

#include "engine/scene/lod_group.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"
#include "engine/scene/spline.h"
#include "engine/scene/visible_node_list.h"
#include "scene_test_support.h"

using namespace engine;
using scenetest::AddNode;
using scenetest::MakeNode;

namespace {

void ExpectVecNear(const Vec3& actual, const Vec3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(Spline, StraightParametersFollowArcLength) {
    for (int kind : {kSplineStraight, kSplineCurve}) {  // a curve of 3 knots is treated as straight
        SCOPED_TRACE(kind);
        Spline spline;
        spline.kind = kind;
        for (float x : {0.0f, 1.0f, 3.0f}) ASSERT_TRUE(spline.InsertKnot({x, 0, 0}));
        ExpectVecNear(spline.PointAt(0.5f), {1.5f, 0, 0});
        EXPECT_FLOAT_EQ(spline.GetKnot(0).parameter, 0.0f);
        EXPECT_NEAR(spline.GetKnot(1).parameter, 1.0f / 3.0f, 1e-6f);
        EXPECT_FLOAT_EQ(spline.GetKnot(2).parameter, 1.0f);
        EXPECT_FLOAT_EQ(spline.TotalLength(), 3.0f);
        ExpectVecNear(spline.PointAt(-1.0f), {0, 0, 0});
        ExpectVecNear(spline.PointAt(2.0f), {3, 0, 0});
        ExpectVecNear(spline.PointAt(1.0f / 6.0f), {0.5f, 0, 0});
        ASSERT_NE(spline.GetKnot(1).marker, nullptr);
        EXPECT_TRUE(spline.GetKnot(1).marker->GetName().EqualsNarrow("$$$Knot"));
        EXPECT_EQ(spline.GetKnot(1).marker->GetType(), kNodeMesh);
    }
}

TEST(Spline, InsertingAKnotRebuildsTheTable) {
    Spline spline;
    spline.kind = kSplineStraight;
    spline.InsertKnot({0, 0, 0});
    spline.InsertKnot({2, 0, 0});
    ExpectVecNear(spline.PointAt(0.5f), {1, 0, 0});
    spline.InsertKnot({2, 2, 0});
    ExpectVecNear(spline.PointAt(0.75f), {2, 1, 0});
    spline.FreeKnots();
    EXPECT_EQ(spline.KnotCount(), 0);
    ExpectVecNear(spline.PointAt(0.5f), {0, 0, 0});
}

TEST(Spline, CardinalSegmentsPassThroughTheirKnots) {
    const Vec3 knots[] = {{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, 2}, {6, -1, 0}};
    for (float tension : {0.0f, 1.0f, 0.5f}) {
        Spline spline;
        spline.tension = tension;
        for (const Vec3& k : knots) spline.InsertKnot(k);
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE("tension " + std::to_string(tension) + " segment " + std::to_string(i));
            ExpectVecNear(spline.Segment(i, 0.0f), knots[i]);
            ExpectVecNear(spline.Segment(i, 1.0f), knots[(i + 1) % 5]);  // the last segment wraps to knot 0
        }
    }
    // Tension 1 leaves no tangent: the midpoint is the knots' midpoint.
    Spline straightish;
    straightish.tension = 1.0f;
    for (const Vec3& k : knots) straightish.InsertKnot(k);
    ExpectVecNear(straightish.Segment(1, 0.5f), {2, 2, 0.5f});
}

TEST(Spline, CurvePointsWalkTheKnotsInOrder) {
    Spline spline;
    for (float x : {0.0f, 1.0f, 2.0f, 3.0f, 4.0f}) spline.InsertKnot({x, 0, 0});
    spline.tension = 1.0f;  // along a line of evenly spaced knots the curve is the line itself
    EXPECT_NEAR(spline.TotalLength(), 4.0f, 1e-3f);
    ExpectVecNear(spline.PointAt(0.5f), {2, 0, 0}, 1e-3f);
    ExpectVecNear(spline.PointAt(0.125f), {0.5f, 0, 0}, 1e-3f);
    float previous = -1.0f;
    for (int i = 1; i < 20; ++i) {
        const float x = spline.PointAt(i / 20.0f).x;
        EXPECT_GT(x, previous);
        previous = x;
    }
}

TEST(LodGroup, FirstEntryWhoseRangeEndExceedsTheValue) {
    auto group = MakeNode(kNodeLodGroup, "lod");
    SceneNode* nearNode = SceneNode::Init(kNodeMesh, "near");
    SceneNode* farNode = SceneNode::Init(kNodeMesh, "far");
    LodGroup* lod = group->GetLodGroup();
    lod->AddChild(nearNode, 0, 10);
    lod->AddChild(farNode, 10, 20);
    EXPECT_EQ(lod->FindChildForDistance(5), nearNode);
    EXPECT_EQ(lod->FindChildForDistance(10), farNode);
    EXPECT_EQ(lod->FindChildForDistance(15), farNode);
    EXPECT_EQ(lod->FindChildForDistance(30), nullptr);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(lod->AddChild(SceneNode::Init(kNodeMesh, "more"), 30, 10));
    SceneNode* fifth = SceneNode::Init(kNodeMesh, "fifth");
    EXPECT_FALSE(lod->AddChild(fifth, 50, 10));
    fifth->Destroy();
}

Skeleton MakeSkeleton(std::initializer_list<int> parents) {
    Skeleton skeleton;
    skeleton.Init(static_cast<int>(parents.size()));
    int i = 0;
    for (int parent : parents) skeleton.bones[i++].parent = static_cast<std::int16_t>(parent);
    skeleton.Link();
    return skeleton;
}

TEST(Skeleton, LinkNumbersBonesAndFindsTheRoot) {
    Skeleton twoRoots = MakeSkeleton({0, 0});
    EXPECT_EQ(twoRoots.Root(), 1);
    EXPECT_TRUE(twoRoots.bones[0].children.empty());

    // Parent index p names bone p - 1; an index beyond the bones is a root.
    Skeleton chain = MakeSkeleton({0, 1, 1, 2, 9});
    EXPECT_EQ(chain.Root(), 4);
    EXPECT_EQ(chain.bones[0].children, (std::vector<int>{1, 2}));
    EXPECT_EQ(chain.bones[1].children, (std::vector<int>{3}));
    EXPECT_EQ(chain.bones[3].index, 3);
    chain.Link();  // linking again does not repeat the children
    EXPECT_EQ(chain.bones[0].children, (std::vector<int>{1, 2}));
    Skeleton empty = MakeSkeleton({});
    EXPECT_EQ(empty.Root(), -1);
}

TEST(Skeleton, GatherBoneMatricesClampsFramesAndRemaps) {
    Skeleton skeleton = MakeSkeleton({0, 1, 1});
    for (int b = 0; b < 3; ++b) {
        for (int f = 0; f < 4; ++f) {
            Matrix44 m;
            m.m[3][0] = static_cast<float>(b * 10 + f);
            skeleton.bones[b].frames.push_back(m);
        }
    }
    skeleton.bones[1].remap = {3, 2, 1, 0};
    skeleton.bones[2].remap = {1, 99};
    SkinMatrixCache cache(3);
    struct Case {
        int frame;
        float bone0, bone1, bone2;
    };
    const Case cases[] = {
        {0, 0, 13, 21},
        {1, 1, 12, 23},   // bone 2's remap entry 99 clamps to its last frame
        {3, 3, 10, 23},   // frame 3 is beyond bone 2's remap: its last entry
        {7, 3, 10, 23},   // past the last frame
        {-2, 0, 13, 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        skeleton.GatherBoneMatrices(c.frame, cache);
        EXPECT_EQ(cache.matrices[0].m[3][0], c.bone0);
        EXPECT_EQ(cache.matrices[1].m[3][0], c.bone1);
        EXPECT_EQ(cache.matrices[2].m[3][0], c.bone2);
        scenetest::ExpectMatrixNear(cache.matrices[3], IdentityMatrix());
        EXPECT_EQ(cache.boneCount, 3);
        EXPECT_EQ(cache.previousFrame, c.frame);
    }
    SkinMatrixCache small(1);  // fewer slots than bones: only what fits is written
    skeleton.GatherBoneMatrices(0, small);
    EXPECT_EQ(small.boneCount, 1);
    EXPECT_EQ(small.matrices.size(), 2u);
}

TEST(Skeleton, DebugTreeHasOneBoneNodePerBone) {
    Skeleton skeleton = MakeSkeleton({0, 1, 2});
    scenetest::NodePtr tree(skeleton.BuildDebugTree());
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->GetName().EqualsNarrow("Skelly Root"));
    EXPECT_NE(tree->GetFlags() & kNodeNothingToDraw, 0u);
    ASSERT_EQ(tree->GetChildCount(), 3);
    EXPECT_TRUE(tree->GetChild(2)->GetName().EqualsNarrow("Skelly Bone"));
    EXPECT_EQ(tree->GetChild(2)->GetType(), kNodeMesh);
}

TEST(VisibleNodeList, GrowsBy256AndRemovesWithTheNode) {
    auto root = MakeNode(kNodeGroup, "root");
    VisibleNodeList list;
    for (int i = 0; i < 257; ++i) ASSERT_TRUE(list.Add(root.get(), nullptr, i));
    EXPECT_EQ(list.Capacity(), 512);
    EXPECT_EQ(list.Get(256).overrideMaterial, 256);
    list.Clear();
    SceneNode* a = AddNode(root.get(), "a");
    SceneNode* b = AddNode(root.get(), "b");
    list.Add(a, nullptr, 0);
    list.Add(b, nullptr, 0);
    list.RemoveAt(0);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Get(0).node, b);
    EXPECT_EQ(root->GetChildCount(), 1);
}

TEST(VisibleNodeList, GivenMatrixIsAppliedFirst) {
    auto node = MakeNode(kNodeMesh, "m");
    node->SetLocalMatrix(scenetest::RotateThenMove(90, 5, 0, 0));
    node->UpdateWorldMatrix();
    const Matrix44 extra = scenetest::RotateThenMove(0, 0, 0, 2);
    VisibleNodeList list;
    list.Add(node.get(), &extra, 0);
    Matrix44 expected;
    Matrix44::Multiply(extra, node->GetWorldMatrix(), expected);
    scenetest::ExpectMatrixNear(list.Get(0).matrix, expected);
}

TEST(VisibleNodeList, AttachBonePoseUnderAMovingGroup) {
    using scenetest::RotateThenMove;
    auto group = MakeNode(kNodeGroup, "group");
    SceneNode* figure = AddNode(group.get(), "figure", kNodeAnimatedMesh);
    SceneNode* weapon = AddNode(figure, "weapon", kNodeMesh);
    SceneNode* muzzle = AddNode(weapon, "muzzle");
    group->SetLocalMatrix(RotateThenMove(90, 100, 0, 0));
    figure->SetLocalMatrix(RotateThenMove(-30, 0, 0, 4));
    weapon->SetLocalMatrix(RotateThenMove(15, 0, 1, 0));
    muzzle->SetLocalMatrix(RotateThenMove(0, 0, 0, 2));
    group->UpdateWorldMatrix();

    SkinMatrixCache* cache = figure->EnsureSkinCache(3);
    cache->matrices[0] = RotateThenMove(0, 9, 9, 9);
    cache->matrices[1] = RotateThenMove(45, 0, 3, 0);  // bone 2 (1-based) is slot 1
    cache->matrices[2] = RotateThenMove(0, -9, -9, -9);
    weapon->SetAttachBone(2);

    VisibleNodeList list;
    list.Add(weapon, nullptr, 0);
    // By hand: the weapon's origin goes through its local matrix, bone slot 1 and the figure's world matrix.
    const Matrix44& figureWorld = figure->GetWorldMatrix();
    const Vec3 origin = figureWorld.TransformPoint(
        cache->matrices[1].TransformPoint(weapon->GetLocalMatrix().TransformPoint({0, 0, 0})));
    const Vec3 drawn = list.Get(0).matrix.TransformPoint({0, 0, 0});
    ExpectVecNear(drawn, origin);
    Matrix44 t, expected;
    Matrix44::Multiply(weapon->GetLocalMatrix(), cache->matrices[1], t);
    Matrix44::Multiply(t, figureWorld, expected);
    scenetest::ExpectMatrixNear(list.Get(0).matrix, expected);
    scenetest::ExpectMatrixNear(weapon->GetWorldMatrix(), expected);
    // The muzzle is re-posed from the weapon.
    ExpectVecNear(muzzle->GetWorldMatrix().GetTranslation(), expected.TransformPoint({0, 0, 2}));

    // A bone beyond the cache, or a parent without a cache: drawn as a plain mesh.
    weapon->SetAttachBone(4);
    group->UpdateWorldMatrix();
    list.Clear();
    list.Add(weapon, nullptr, 0);
    scenetest::ExpectMatrixNear(list.Get(0).matrix, weapon->GetWorldMatrix());
    auto plainParent = MakeNode(kNodeGroup, "plain");
    SceneNode* hung = AddNode(plainParent.get(), "hung", kNodeMesh);
    hung->SetAttachBone(1);
    hung->SetLocalMatrix(RotateThenMove(0, 1, 2, 3));
    plainParent->UpdateWorldMatrix();
    list.Add(hung, nullptr, 0);
    ExpectVecNear(list.Get(1).matrix.GetTranslation(), {1, 2, 3});
}

}  // namespace
