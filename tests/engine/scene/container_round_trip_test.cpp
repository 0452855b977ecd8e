// The authoring path: a tree with every written type and its actions goes through WriteContainer and comes
// back through the game's reader unchanged; trees the data set must not hold are refused before writing.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cnt_writer.h"
#include "container_fixture.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/spline.h"
#include "scene_test_support.h"
#include "support/temp_folder.h"

using namespace engine;
using cntbuild::AuthorAction;
using cntbuild::AuthorNode;
using cntbuild::EndMode;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct RoundTripTest : ::testing::Test {
    RoundTripTest() {
        AuthorNode root = scenetest::Node(-1, kNodeGroup, "anything");
        Matrix44 lifted;
        lifted.SetTranslation(0, 1, 0);
        root.frames = {Matrix44(), lifted};
        root.remap = {0, 1, 1};
        AuthorNode hull = scenetest::Node(0, kNodeMesh, "H\xC3\xBCll");  // u with diaeresis
        hull.mesh = "Units/Tank/Hull";
        hull.material = "Units/Tank/Paint";
        hull.local.InitRotationY(30.0f);
        AuthorNode crew = scenetest::Node(1, kNodeAnimatedMesh, "Crew");
        crew.mesh = "Units/Tank/Crew";
        crew.attachBone = 2;
        crew.frames = {lifted};
        AuthorNode smoke = scenetest::Node(0, kNodeEmitter, "Smoke");
        smoke.emitter.particleLife = 2.0f, smoke.emitter.emissionRate = 8.0f, smoke.emitter.quadKind = kParticleStreaks;
        smoke.emitter.spriteRows = 5, smoke.emitter.rise = 0.5f, smoke.emitter.spinMax = 45.0f;
        smoke.emitter.colourKeyCount = 1, smoke.emitter.colourKeys[0] = 0x80FFFFFFu;
        smoke.emitterMaterial = "Effects/Smoke";
        smoke.playForward = 0;
        AuthorNode box = scenetest::Node(0, kNodeBox, "Bounds");
        box.boxMax = {3, 4, 5};
        AuthorNode path = scenetest::Node(0, kNodeSpline, "Path");
        path.tension = 0.25f;
        path.knots = {{0, 0, 0}, {2, 0, 0}};
        nodes = {root, hull, crew, smoke, box, path};
        actions = {{"idle", EndMode::kLoop, "", {{0, 0, 0.5f}}},
                   {"Fire", EndMode::kSpawn, "idle", {{1, 3, 0.1f}, {0, 0, 0.25f}}},
                   {"dead", EndMode::kHold, "", {{2, 2, 1.0f}}}};
        world.models = {{"Units/Tank/Hull", 1}, {"Units/Tank/Crew", 2}};
        world.materials = {{"Units/Tank/Paint", 3}, {"Effects/Smoke", 4}};
    }
    bool Write(std::string& error) {
        const auto check = [this](const std::string& name) { return world.materials.count(name) != 0; };
        return cntbuild::WriteContainer(folder.Path().string(), "Units/Tank/Tank", nodes, actions, check, error);
    }
    testsupport::TempFolder folder;
    std::vector<AuthorNode> nodes;
    std::vector<AuthorAction> actions;
    scenetest::FakeContainerWorld world;
};

TEST_F(RoundTripTest, TheWrittenTreeAndActionsReadBackEqual) {
    std::string error;
    ASSERT_TRUE(Write(error)) << error;
    world.texts["Units/Tank/ZavicTank.TXT"] = ReadAll(folder.File("Units/Tank/ZavicTank.TXT"));
    const std::string bytes = ReadAll(folder.File("Units/Tank/Tank.CNT"));
    scenetest::NodePtr root(world.Parse(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    ASSERT_NE(root, nullptr);
    // The root is named after the container, so both text candidates name the same file.
    EXPECT_EQ(world.textsAsked.front(), "Units/Tank/ZavicTank.TXT");

    std::vector<const SceneNode*> read{root.get()};
    for (std::size_t i = 0; i < read.size(); ++i) {
        for (int c = 0; c < read[i]->GetChildCount(); ++c) read.push_back(read[i]->GetChild(c));
    }
    ASSERT_EQ(read.size(), nodes.size());
    const std::vector<int> order{0, 1, 3, 4, 5, 2};  // breadth first: the crew sits under the hull
    for (std::size_t i = 0; i < read.size(); ++i) {
        const AuthorNode& want = nodes[static_cast<std::size_t>(order[i])];
        const SceneNode* got = read[i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(static_cast<int>(got->GetType()), want.type);
        EXPECT_TRUE(got->IsActive());
        if (i > 0 && i != 1) {
            EXPECT_TRUE(got->GetName().EqualsNarrow(want.name.c_str()));
        }
        scenetest::ExpectMatrixNear(got->GetLocalMatrix(), want.local);
        EXPECT_EQ(got->GetAttachBone(), want.attachBone);
        EXPECT_EQ(got->GetFrameMatrices() != nullptr ? got->GetFrameMatrices()->size() : 0u, want.frames.size());
        EXPECT_EQ(got->GetFrameRemap() != nullptr ? *got->GetFrameRemap() : std::vector<std::uint16_t>{}, want.remap);
    }
    // UTF-8 in, one Latin-1 byte per character in the file.
    EXPECT_EQ(read[1]->GetName().Length(), 4u);
    EXPECT_EQ(read[1]->GetName().Data()[1], u'\u00FC');
    EXPECT_EQ(read[1]->GetModelIndex(), 1);
    EXPECT_EQ(read[1]->GetMaterial(), 3);
    EXPECT_EQ(read[5]->GetModelIndex(), 2);
    const ParticleEmitter* smoke = read[2]->GetParticleEmitter();
    ASSERT_NE(smoke, nullptr);
    EXPECT_EQ(smoke->GetParams().quadKind, kParticleStreaks);
    EXPECT_EQ(smoke->GetParams().spriteRows, 5);
    EXPECT_FLOAT_EQ(smoke->GetParams().rise, 0.5f);
    EXPECT_FLOAT_EQ(smoke->GetParams().spinMax, 45.0f);
    EXPECT_EQ(smoke->GetParams().colourKeys[0], 0x80FFFFFFu);
    EXPECT_EQ(smoke->GetMaterial(), 4);
    EXPECT_EQ(smoke->GetPlayForward(), 0);
    EXPECT_FLOAT_EQ(read[3]->GetBox()->max.z, 5.0f);
    EXPECT_FLOAT_EQ(read[4]->GetSpline()->tension, 0.25f);
    EXPECT_EQ(read[4]->GetSpline()->KnotCount(), 2);

    const AnimationSet* set = root->GetAnimationSet();
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->RecordCount(), 3);
    for (const AuthorAction& want : actions) {
        const AnimationRecord* got = set->Find(want.name.c_str());
        ASSERT_NE(got, nullptr) << want.name;
        const int mode = want.end == EndMode::kLoop ? kAnimationLoop : want.end == EndMode::kHold ? kAnimationHold : kAnimationSpawn;
        EXPECT_EQ(got->endMode, mode) << want.name;
        std::vector<AnimationEntry> expected;
        for (const AuthorAction::Frames& f : want.frames) {
            for (int frame = f.first; frame <= f.last; ++frame) expected.push_back({frame, f.seconds});
        }
        ASSERT_EQ(got->entries.size(), expected.size()) << want.name;
        for (std::size_t e = 0; e < expected.size(); ++e) {
            EXPECT_EQ(got->entries[e].frame, expected[e].frame);
            EXPECT_FLOAT_EQ(got->entries[e].seconds, expected[e].seconds);
        }
    }
    EXPECT_EQ(set->Find("Fire")->spawnTarget, set->Find("idle"));
}

TEST_F(RoundTripTest, TreesTheDataSetMustNotHoldAreRefused) {
    struct Case {
        const char* expected;
        void (*damage)(std::vector<AuthorNode>&, std::vector<AuthorAction>&);
    };
    const Case cases[] = {
        {"type 3", [](auto& n, auto&) { n[1].type = kNodeSkipped; }},
        {"type 5", [](auto& n, auto&) { n[1].type = kNodeBillboards; }},
        {"longer than 255", [](auto& n, auto&) { n[1].name.assign(256, 'a'); }},
        {"Latin-1", [](auto& n, auto&) { n[1].name = "5 \xE2\x82\xAC"; }},
        {"no .MTL", [](auto& n, auto&) { n[1].material = "Missing"; }},
        {"needs a mesh", [](auto& n, auto&) { n[1].mesh.clear(); }},
        {"extra values", [](auto& n, auto&) { n[1].extra = {1.0f}; }},
        {"depths", [](auto& n, auto&) { n[2].depth = 16; }},
        {"engine refuses", [](auto& n, auto&) { n[3].emitter.emissionDuration = -1.0f; }},
        {"not written before", [](auto&, auto& a) { std::swap(a[0], a[1]); }},
        {"frame line", [](auto&, auto& a) { a[2].frames[0].last = 70000; }},
        {"action name", [](auto&, auto& a) { a[2].name = "[dead]"; }},
    };
    for (const Case& c : cases) {
        std::vector<AuthorNode> keepNodes = nodes;
        std::vector<AuthorAction> keepActions = actions;
        c.damage(nodes, actions);
        std::string error;
        EXPECT_FALSE(Write(error)) << c.expected;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(folder.File("Units/Tank/Tank.CNT"))) << c.expected;
        nodes = keepNodes;
        actions = keepActions;
    }
}

}  // namespace
