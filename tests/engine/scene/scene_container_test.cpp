// Scene containers: every version's fields land on the right nodes, the tree is linked by depth, damaged
// files are refused without leaving nodes behind, and the animation text reaches the player that plays it.
#include <gtest/gtest.h>

#include "container_fixture.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/spline.h"
#include "scene_test_support.h"

using namespace engine;
using cntbuild::AuthorNode;
using scenetest::Encode;
using scenetest::Node;

namespace {

Matrix44 Moved(float x, float y, float z) {
    Matrix44 m;
    m.SetTranslation(x, y, z);
    return m;
}

ParticleParams RichEmitter() {
    ParticleParams p;
    p.quadSize = 0.7f, p.emissionDuration = 2.0f, p.particleLife = 1.0f, p.emissionRate = 10.0f;
    p.startSize = 0.5f, p.endSize = 2.0f, p.gravity = 9.8f, p.drag = 0.5f;
    p.colourKeyCount = 2, p.colourKeys[0] = 0xFF102030u, p.colourKeys[1] = 0x00405060u;
    p.spinMode = 2, p.spinMin = 30.0f, p.spinMax = 60.0f;
    p.positionMode = 1, p.directionMode = 0, p.speedMode = 1, p.sizeMode = 1;
    p.positionRadiusMin = 0.1f, p.positionRadiusMax = 0.2f, p.coneAngleMin = 5.0f, p.coneAngleMax = 15.0f;
    p.speedMin = 1.0f, p.speedMax = 3.0f, p.extraValue = 4.0f, p.deleteWhenFinished = 1;
    p.spriteFrameCount = 10, p.spriteColumns = 4, p.spriteRows = 2, p.spriteDuration = 0.5f, p.spriteFrameMode = 0;
    p.quadKind = kParticleStreaks, p.trailLag = 0.05f, p.trailValue = 7.0f, p.rise = 0.25f, p.sortFlag = 1;
    return p;
}

// Root with frames, remap and extra data; a mesh with an emitter and a skipped record below it; a box; a
// spline.
std::vector<AuthorNode> RichTree() {
    AuthorNode root = Node(-1, kNodeGroup, "Units/Tank/Tank");
    root.flags = kNodeActive | kNodePickAsCube;
    root.frames = {Moved(0, 0, 0), Moved(0, 1, 0)};
    root.remap = {1, 0};
    root.extraKind = 7;
    root.extra = {1.0f, 2.0f, 3.0f};
    AuthorNode hull = Node(0, kNodeMesh, "Hull");
    hull.mesh = "Units/Tank/Hull";
    hull.material = "Paint";
    hull.local = Moved(1, 2, 3);
    hull.attachBone = 3;
    AuthorNode smoke = Node(1, kNodeEmitter, "Smoke");
    smoke.emitter = RichEmitter();
    smoke.emitterMaterial = "Smoke";
    smoke.playForward = 0;
    smoke.quadListMode = 1;
    AuthorNode box = Node(0, kNodeBox, "Bounds");
    box.boxMin = {-1, 0, -2};
    box.boxMax = {1, 1, 2};
    AuthorNode spline = Node(0, kNodeSpline, "Path");
    spline.splineKind = 0;
    spline.tension = 0.5f;
    spline.knots = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}};
    return {root, hull, smoke, Node(1, kNodeSkipped, "Skip"), box, spline};
}

struct ContainerTest : ::testing::Test {
    ContainerTest() {
        world.materials = {{"Units/Tank/Paint", 5}, {"Smoke", 6}};
        world.models = {{"Units/Tank/Hull", 11}};
    }
    scenetest::FakeContainerWorld world;
};

TEST_F(ContainerTest, EachVersionReadsTheFieldsItCarries) {
    for (int version : {0, 4, 8, 9, 11, 13, 14, 15, 16, 18}) {
        SCOPED_TRACE("version " + std::to_string(version));
        scenetest::NodePtr root(world.Parse(Encode(RichTree(), version, version != 0)));
        ASSERT_NE(root, nullptr);
        EXPECT_TRUE(root->GetName().EqualsNarrow("Units/Tank/Tank.CNT"));
        EXPECT_EQ(root->GetFlags(), kNodeActive | kNodePickAsCube);
        ASSERT_EQ(root->GetChildCount(), 3);
        SceneNode* hull = root->GetChild(0);
        EXPECT_TRUE(hull->GetName().EqualsNarrow("Hull"));
        EXPECT_EQ(hull->GetModelIndex(), 11);
        EXPECT_EQ(hull->GetMaterial(), 5);  // found with the container's folder put before it
        scenetest::ExpectMatrixNear(hull->GetWorldMatrix(), Moved(1, 2, 3));
        EXPECT_EQ(root->GetChild(1)->GetType(), kNodeBox);
        EXPECT_FLOAT_EQ(root->GetChild(1)->GetBox()->min.z, -2.0f);

        const bool extras = version >= 4;
        EXPECT_EQ(hull->GetAttachBone(), extras ? 3 : 0);
        ASSERT_EQ(root->GetExtraData() != nullptr, extras);
        if (extras) {
            EXPECT_EQ(root->GetExtraData()->kind, 7);
            EXPECT_FLOAT_EQ(root->GetExtraData()->values[2], 3.0f);
            EXPECT_FLOAT_EQ(root->GetExtraData()->values[3], 0.0f);
        }
        EXPECT_EQ(root->GetFrameMatrices() != nullptr, version >= 11);
        EXPECT_EQ(root->GetFrameRemap() != nullptr, version >= 13);

        Spline* spline = root->GetChild(2)->GetSpline();
        ASSERT_NE(spline, nullptr);
        EXPECT_EQ(spline->kind, 0);
        EXPECT_EQ(spline->KnotCount(), 3);
        EXPECT_FLOAT_EQ(spline->tension, version >= 7 ? 0.5f : 1.0f);

        ASSERT_EQ(hull->GetChildCount(), 2);
        EXPECT_EQ(hull->GetChild(1)->GetType(), kNodeSkipped);
        const ParticleEmitter* emitter = hull->GetChild(0)->GetParticleEmitter();
        ASSERT_NE(emitter, nullptr);
        const ParticleParams& p = emitter->GetParams();
        EXPECT_FLOAT_EQ(p.quadSize, 0.7f);
        EXPECT_FLOAT_EQ(p.drag, 0.5f);
        EXPECT_EQ(p.colourKeyCount, 2);
        EXPECT_EQ(p.colourKeys[1], 0x00405060u);
        EXPECT_EQ(p.spinMode, 2);
        EXPECT_EQ(p.positionMode, 1);
        EXPECT_EQ(p.sizeMode, 1);
        EXPECT_FLOAT_EQ(p.coneAngleMax, 15.0f);
        EXPECT_FLOAT_EQ(p.extraValue, 4.0f);
        EXPECT_EQ(p.deleteWhenFinished, 1);
        EXPECT_EQ(p.sortFlag, 1);
        EXPECT_EQ(emitter->GetMaterial(), 6);
        EXPECT_EQ(emitter->GetPlayForward(), version >= 8 ? 0 : 1);
        EXPECT_EQ(emitter->GetQuadListMode(), version >= 8 ? 1 : 0);
        EXPECT_EQ(p.spriteFrameCount, version >= 9 ? 10 : 0);
        // Rows are stored from version 14; before that they are what 10 frames in 4 columns need.
        EXPECT_EQ(p.spriteRows, version >= 14 ? 2 : version >= 9 ? 3 : 0);
        EXPECT_FLOAT_EQ(p.spriteDuration, version >= 9 ? 0.5f : 0.0f);
        EXPECT_FLOAT_EQ(p.spinMax, version >= 15 ? 60.0f : 30.0f);
        EXPECT_EQ(p.quadKind, version >= 15 ? kParticleStreaks : kParticleSprites);
        EXPECT_FLOAT_EQ(p.trailLag, version >= 15 ? 0.05f : 0.0f);
        EXPECT_FLOAT_EQ(p.trailValue, version >= 15 ? 7.0f : 0.0f);
        EXPECT_FLOAT_EQ(p.rise, version >= 16 ? 0.25f : 0.0f);
    }
}

TEST(ContainerSkippedBytes, TypeThreeDataByVersion) {
    const std::pair<int, std::size_t> cases[] = {{0, 21}, {1, 21}, {2, 26}, {3, 30}, {5, 30}, {6, 18},
                                                 {9, 18}, {10, 34}, {11, 34}, {12, 22}, {18, 22}};
    for (const auto& [version, bytes] : cases) EXPECT_EQ(ContainerSkippedBytes(version), bytes) << version;
}

TEST_F(ContainerTest, OldSheetsWithoutColumnsGetNoRows) {
    AuthorNode root = Node(-1, kNodeEmitter, "fx");
    root.emitter.particleLife = 1.0f;
    root.emitter.emissionRate = 1.0f;
    root.emitter.spriteFrameCount = 10;
    root.emitter.spriteColumns = 0;
    scenetest::NodePtr node(world.Parse(Encode({root}, 11)));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetParticleEmitter()->GetParams().spriteRows, 0);
}

// The parent of each record under a root, for the depths of the records after it.
std::vector<std::string> Parents(scenetest::FakeContainerWorld& world, const std::vector<int>& depths) {
    std::vector<AuthorNode> nodes{Node(-1, kNodeGroup, "root")};
    for (std::size_t i = 0; i < depths.size(); ++i) nodes.push_back(Node(depths[i], kNodeGroup, std::to_string(i + 1)));
    scenetest::NodePtr root(world.Parse(Encode(nodes)));
    if (root == nullptr) return {"refused"};
    std::vector<std::string> parents;
    for (std::size_t i = 0; i < depths.size(); ++i) {
        SceneNode* node = root->FindDescendant(WideString(std::to_string(i + 1).c_str()));
        const SceneNode* parent = node != nullptr ? node->GetParent() : nullptr;
        parents.push_back(parent == root.get() ? "root" : parent != nullptr ? parent->GetName().GetNarrow() : "none");
    }
    return parents;
}

TEST_F(ContainerTest, DepthsLinkTheTree) {
    using P = std::vector<std::string>;
    EXPECT_EQ(Parents(world, {0, 1, 1, 0}), (P{"root", "1", "1", "root"}));
    // A rise by two still hangs the record under the one before it.
    EXPECT_EQ(Parents(world, {0, 2, 0}), (P{"root", "1", "root"}));
    // Fifteen levels deep is the limit.
    std::vector<int> deep;
    for (int d = 0; d <= 15; ++d) deep.push_back(d);
    EXPECT_EQ(Parents(world, deep).back(), "15");
    deep.push_back(16);
    EXPECT_EQ(Parents(world, deep), (P{"refused"}));
    EXPECT_EQ(Parents(world, {0, -1}), (P{"refused"}));
    EXPECT_EQ(Parents(world, {0, -2}), (P{"refused"}));
}

TEST_F(ContainerTest, WrapperIsSkippedOnlyWhenItsLengthMatches) {
    // Count 1, empty name and mesh: the first word of this unmarked file reads as 1.
    const std::vector<std::uint8_t> plain = Encode({Node(-1, kNodeGroup, "")}, 0, false);
    ASSERT_EQ(plain[0] + plain[1] + plain[2] + plain[3], 1);
    scenetest::NodePtr fromStart(world.Parse(plain));
    EXPECT_NE(fromStart, nullptr);

    scenetest::NodePtr wrapped(world.Parse(Encode(RichTree(), 18, true, true)));
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(wrapped->GetChildCount(), 3);
}

TEST_F(ContainerTest, NodeCountsOutsideTheLimitsAreRefused) {
    std::vector<std::uint8_t> none = Encode({Node(-1, kNodeGroup, "root")});
    none[5] = 0, none[6] = 0;
    EXPECT_EQ(world.Parse(none), nullptr);
    std::vector<AuthorNode> many(2001, Node(0, kNodeGroup, "n"));
    many[0].depth = -1;
    EXPECT_EQ(world.Parse(Encode(many)), nullptr);
    many.pop_back();
    scenetest::NodePtr most(world.Parse(Encode(many)));
    ASSERT_NE(most, nullptr);
    EXPECT_EQ(most->GetChildCount(), 1999);
}

TEST_F(ContainerTest, MissingModelsBecomeUnitBoxesAndEmptyMeshNamesInactive) {
    AuthorNode lost = Node(0, kNodeMesh, "lost");
    lost.mesh = "Props/Crate";
    AuthorNode empty = Node(0, kNodeMesh, "empty");
    scenetest::NodePtr root(world.Parse(Encode({Node(-1, kNodeGroup, "r"), lost, empty})));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(world.unitBoxes, std::vector<std::string>{"Props/Crate"});
    EXPECT_EQ(root->GetChild(0)->GetModelIndex(), 900);
    EXPECT_TRUE(root->GetChild(0)->IsActive());
    EXPECT_EQ(root->GetChild(1)->GetModelIndex(), 0);
    EXPECT_FALSE(root->GetChild(1)->IsActive());
}

TEST_F(ContainerTest, TypesWithoutAFilePayloadAreInactive) {
    scenetest::NodePtr root(world.Parse(
        Encode({Node(-1, kNodeGroup, "r"), Node(0, kNodeBillboards, "b"), Node(0, 40, "odd"), Node(0, kNodeGroup, "g")})));
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(root->GetChild(0)->IsActive());
    EXPECT_FALSE(root->GetChild(1)->IsActive());
    EXPECT_TRUE(root->GetChild(2)->IsActive());
}

TEST_F(ContainerTest, AGroupOfEmittersBecomesAnEmitterGroup) {
    AuthorNode a = Node(1, kNodeEmitter, "a"), b = Node(1, kNodeEmitter, "b");
    a.emitter.particleLife = b.emitter.particleLife = 1.0f;
    scenetest::NodePtr root(world.Parse(Encode({Node(-1, kNodeGroup, "r"), Node(0, kNodeGroup, "fx"), a, b})));
    ASSERT_NE(root, nullptr);
    SceneNode* group = root->GetChild(0);
    EXPECT_EQ(group->GetType(), kNodeEmitter);
    EXPECT_EQ(group->GetParticleEmitter(), nullptr);
    EXPECT_TRUE(group->GetChild(0)->GetParticleEmitter()->IsRestartPending());
}

TEST_F(ContainerTest, EveryTruncationIsRefused) {
    for (int version : {0, 4, 8, 9, 11, 13, 14, 15, 16, 18}) {
        const std::vector<std::uint8_t> whole = Encode(RichTree(), version, version != 0);
        for (std::size_t size = 0; size < whole.size(); ++size) {
            const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            SceneNode* root = world.Parse(cut);
            EXPECT_EQ(root, nullptr) << "version " << version << " cut at " << size;
            if (root != nullptr) root->Destroy();
        }
    }
}

TEST_F(ContainerTest, RecordsThatDoNotFitAreRefused) {
    struct Case {
        const char* what;
        void (*damage)(AuthorNode&);
    };
    const Case cases[] = {
        {"nine colour keys", [](AuthorNode& n) { n.emitter.colourKeyCount = 9; }},
        {"negative colour keys", [](AuthorNode& n) { n.emitter.colourKeyCount = -1; }},
        {"nine extra values", [](AuthorNode& n) { n.extra.assign(9, 1.0f); }},
    };
    for (const Case& c : cases) {
        std::vector<AuthorNode> nodes = RichTree();
        c.damage(nodes[2]);
        EXPECT_EQ(world.Parse(Encode(nodes)), nullptr) << c.what;
    }
    // Counts larger than the bytes left: frames and knots.
    std::vector<std::uint8_t> frames = Encode({Node(-1, kNodeGroup, "")});
    const std::size_t frameCount = frames.size() - 4;  // the u16 frame count, then the u16 remap count
    frames[frameCount] = 0xFF;
    EXPECT_EQ(world.Parse(frames), nullptr);
    AuthorNode path = Node(-1, kNodeSpline, "");
    path.knots = {{0, 0, 0}};
    std::vector<std::uint8_t> knots = Encode({path});
    knots[knots.size() - 12 - 4 - 4 + 2] = 0x40;  // the knot count's third byte
    EXPECT_EQ(world.Parse(knots), nullptr);
    // A version beyond the last one known.
    std::vector<std::uint8_t> future = Encode({Node(-1, kNodeGroup, "")});
    future[4] = 19;
    EXPECT_EQ(world.Parse(future), nullptr);
}

TEST(AnimationTextName, FolderZavicAndTheNameCutAtItsTag) {
    const std::pair<const char*, const char*> cases[] = {
        {"Units/Tank/Tank", "Units/Tank/ZavicTank.TXT"},
        {"Tank", "ZavicTank.TXT"},
        {"Units\\Jeep\\Jeep_$$2.CNT", "Units\\Jeep\\ZavicJeep.TXT"},
        {"Fx/Burst_$$a_$$b", "Fx/ZavicBurst.TXT"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_STREQ(AnimationTextName(WideString(name)).GetNarrow(), expected) << name;
    }
}

TEST_F(ContainerTest, TheTextIsLookedForByNodeNameThenByContainerPath) {
    world.texts["Units/Tank/ZavicTank.TXT"] = "[ANIMATION_V1]\n[ACTION]\nidle\nloop\n0,1\n[ENDANIMATION]\n";
    scenetest::NodePtr byPath(world.Parse(Encode({Node(-1, kNodeGroup, "Shared/Hull_$$1")})));
    ASSERT_NE(byPath, nullptr);
    EXPECT_EQ(world.textsAsked, (std::vector<std::string>{"Shared/ZavicHull.TXT", "Units/Tank/ZavicTank.TXT"}));
    ASSERT_NE(byPath->GetAnimationSet(), nullptr);
    EXPECT_NE(byPath->GetAnimationSet()->Find("idle"), nullptr);
    // A player is given, but nothing plays without "default".
    ASSERT_NE(byPath->GetAnimationPlayer(), nullptr);
    EXPECT_EQ(byPath->GetAnimationPlayer()->GetCurrent(), nullptr);
}

TEST_F(ContainerTest, DefaultPlaysTheRootsFrameMatrices) {
    scenetest::FakeTime time;
    world.timer = &time.timer;
    world.texts["Units/Tank/ZavicTank.TXT"] =
        "[ANIMATION_V1]\n[ACTION]\ndefault\nloop\n0-2,0.5\n[ENDANIMATION]\n";
    AuthorNode root = Node(-1, kNodeGroup, "Units/Tank/Tank");
    root.frames = {Moved(0, 0, 0), Moved(0, 1, 0), Moved(0, 2, 0)};
    scenetest::NodePtr node(world.Parse(Encode({root})));
    ASSERT_NE(node, nullptr);
    for (const auto& [seconds, height] : {std::pair{0.1, 0.0f}, {0.6, 1.0f}, {1.2, 2.0f}, {1.6, 0.0f}}) {
        time.seconds = seconds;
        const Matrix44* frame = node->GetFrameMatrix();
        ASSERT_NE(frame, nullptr);
        EXPECT_FLOAT_EQ(frame->m[3][1], height) << seconds;
    }
}

}  // namespace
