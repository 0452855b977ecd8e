// The animation text: actions, endings and frame lines into an animation set, and where a container's set
// goes (the node, or a skinned model's skeleton).
#include <gtest/gtest.h>

#include "container_fixture.h"
#include "engine/platform/script_reader.h"
#include "engine/scene/action_parser.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/skeleton.h"
#include "scene_test_support.h"

using namespace engine;

namespace {

std::shared_ptr<AnimationSet> ParseText(const std::string& body) {
    const std::string text = "[ANIMATION_V1]\n" + body + "[ENDANIMATION]\n";
    ScriptReader reader;
    reader.LoadFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "test");
    return ActionParser::ReadFile(reader);
}

// The frames of a record as "frame@seconds" items.
std::string Entries(const AnimationRecord* record) {
    if (record == nullptr) return "missing";
    std::string out;
    for (const AnimationEntry& e : record->entries) {
        char item[48];
        std::snprintf(item, sizeof item, "%s%d@%g", out.empty() ? "" : " ", e.frame, static_cast<double>(e.seconds));
        out += item;
    }
    return out;
}

TEST(ActionParser, FrameLines) {
    const std::pair<const char*, const char*> cases[] = {
        {"3,0.1", "3@0.1"},
        {"5-3,0.1", ""},
        {"0-2,0.5", "0@0.5 1@0.5 2@0.5"},
        {"4,0.00001", "4@0.0001"},
        {"4", "4@0.0001"},
        {"4,nan", "4@0.0001"},
        {"4,inf", "4@0.0001"},
        {"65536,0.1", ""},
        {"65534-65536,0.1", ""},
        {"-3,0.1", ""},
        {"x,0.1", ""},
    };
    for (const auto& [line, expected] : cases) {
        const auto set = ParseText(std::string("[ACTION]\nwalk\nloop\n") + line + "\n");
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(Entries(set->Find("walk")), expected) << line;
    }
    // A record holds at most 65,536 entries however many lines there are.
    const auto big = ParseText("[ACTION]\nbig\nhold\n0-65535,0.1\n0-65535,0.1\n");
    EXPECT_EQ(big->Find("big")->EntryCount(), ActionParser::kMaxEntries);
}

TEST(ActionParser, EndingsAndEmptyActions) {
    const auto set = ParseText(
        "[ACTION]\nidle\nLOOP\n0,1\n"
        "[ACTION]\nfire\nspawn,idle\n1-2,0.1\n"
        "[ACTION]\nearly\nspawn,late\n3,0.1\n"
        "[ACTION]\nlate\nHold\n4,0.1\n"
        "[ACTION]\nbare\n[ACTION]\nafter\nwhatever\n5,0.2\n");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->Find("idle")->endMode, kAnimationLoop);
    EXPECT_EQ(set->Find("fire")->endMode, kAnimationSpawn);
    EXPECT_EQ(set->Find("fire")->spawnTarget, set->Find("idle"));
    // The target is read after the action that names it.
    EXPECT_EQ(set->Find("early")->endMode, kAnimationHold);
    EXPECT_EQ(set->Find("early")->spawnTarget, nullptr);
    EXPECT_EQ(set->Find("late")->endMode, kAnimationHold);
    EXPECT_EQ(set->Find("bare")->EntryCount(), 0);
    EXPECT_EQ(set->Find("bare")->endMode, kAnimationHold);
    EXPECT_EQ(Entries(set->Find("after")), "5@0.2");
    EXPECT_EQ(set->Find("after")->endMode, kAnimationHold);
    // New records go to the head.
    EXPECT_TRUE(set->Head()->name.EqualsNarrow("after"));
}

TEST(ActionParser, TextWithoutTheBlockGivesNoSet) {
    const std::string text = "[ACTION]\nwalk\nloop\n0,1\n";
    ScriptReader reader;
    reader.LoadFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "test");
    EXPECT_EQ(ActionParser::ReadFile(reader), nullptr);
}

// A container whose root is a skinned mesh: its set goes to the model's skeleton and plays there.
struct SkinnedContainerTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(ModelTable::Init(16));
        MeshModel* model = NewMeshModel(WideString("Units/Soldier/Body"), 0, 0);
        ASSERT_NE(model, nullptr);
        model->skeleton = std::make_unique<Skeleton>();
        ASSERT_TRUE(model->skeleton->Init(1));
        for (int f = 0; f < 3; ++f) {
            Matrix44 m;
            m.SetTranslation(0, static_cast<float>(f), 0);
            model->skeleton->bones[0].frames.push_back(m);
        }
        model->skeleton->Link();
        skeleton = model->skeleton.get();
        world.models["Units/Soldier/Body"] = model->handle;
        world.timer = &time.timer;
        world.texts["Units/Soldier/ZavicSoldier.TXT"] =
            "[ANIMATION_V1]\n[ACTION]\ndefault\nloop\n0-2,0.5\n[ENDANIMATION]\n";
    }
    void TearDown() override { ModelTable::Free(); }
    std::vector<std::uint8_t> Soldier() {
        cntbuild::AuthorNode root = scenetest::Node(-1, kNodeAnimatedMesh, "Units/Soldier/Soldier");
        root.mesh = "Units/Soldier/Body";
        return scenetest::Encode({root});
    }
    scenetest::FakeContainerWorld world;
    scenetest::FakeTime time;
    Skeleton* skeleton = nullptr;
};

TEST_F(SkinnedContainerTest, TheSetLandsOnTheSkeletonAndPlaysThere) {
    scenetest::NodePtr soldier(world.Parse(Soldier(), "Units/Soldier/Soldier.CNT"));
    ASSERT_NE(soldier, nullptr);
    EXPECT_EQ(soldier->GetAnimationSet(), nullptr);
    ASSERT_NE(skeleton->animationSet, nullptr);
    AnimationPlayer* player = soldier->GetAnimationPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->GetCurrentName().EqualsNarrow("default"));
    time.seconds = 0.7;
    SkinMatrixCache* skin = soldier->GetSkinMatrices();
    ASSERT_NE(skin, nullptr);
    EXPECT_FLOAT_EQ(skin->matrices[0].m[3][1], 1.0f);
    EXPECT_EQ(player->GetFrame(), 1);

    // A second container of the same model keeps the skeleton's set and reads no text.
    const std::size_t asked = world.textsAsked.size();
    const AnimationSet* first = skeleton->animationSet.get();
    scenetest::NodePtr second(world.Parse(Soldier(), "Units/Soldier/Soldier.CNT"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(world.textsAsked.size(), asked);
    EXPECT_EQ(skeleton->animationSet.get(), first);
    EXPECT_TRUE(second->GetAnimationPlayer()->GetCurrentName().EqualsNarrow("default"));
}

TEST_F(SkinnedContainerTest, AGroupRootKeepsItsOwnSetSoLaterContainersReadTheirs) {
    // Group roots all share the unit cube model; their sets must not go there.
    world.texts["Fx/ZavicA.TXT"] = "[ANIMATION_V1]\n[ACTION]\ndefault\nhold\n0,1\n[ENDANIMATION]\n";
    world.texts["Fx/ZavicB.TXT"] = "[ANIMATION_V1]\n[ACTION]\nidle\nhold\n0,1\n[ENDANIMATION]\n";
    scenetest::NodePtr a(world.Parse(scenetest::Encode({scenetest::Node(-1, kNodeGroup, "Fx/A")}), "Fx/A.CNT"));
    scenetest::NodePtr b(world.Parse(scenetest::Encode({scenetest::Node(-1, kNodeGroup, "Fx/B")}), "Fx/B.CNT"));
    ASSERT_NE(a->GetAnimationSet(), nullptr);
    ASSERT_NE(b->GetAnimationSet(), nullptr);
    EXPECT_NE(b->GetAnimationSet()->Find("idle"), nullptr);
    EXPECT_EQ(b->GetAnimationSet()->Find("default"), nullptr);
}

}  // namespace
