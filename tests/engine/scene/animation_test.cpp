#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/scene_node.h"
#include "scene_test_support.h"

using namespace engine;

namespace {

AnimationRecord* MakeRecord(const char* name, int endMode, std::initializer_list<AnimationEntry> entries) {
    auto* record = new AnimationRecord;
    record->Init(name);
    record->endMode = endMode;
    for (const AnimationEntry& e : entries) record->AddEntry(e.frame, e.seconds);
    return record;
}

// A node with a player on the fake clock and a set the test fills.
struct PlayerFixture : ::testing::Test {
    PlayerFixture() {
        node = scenetest::MakeNode(kNodeGroup, "unit");
        set = std::make_shared<AnimationSet>();
        node->SetAnimationSet(set);
        player = node->CreateAnimationPlayer(&time.timer);
    }
    AnimationRecord* Add(AnimationRecord* record) {
        set->Add(record);
        return record;
    }
    scenetest::FakeTime time;
    scenetest::NodePtr node;
    std::shared_ptr<AnimationSet> set;
    AnimationPlayer* player = nullptr;
};

TEST(AnimationRecord, FrameAtBoundariesNeedsTheRunningSumToExceedT) {
    std::unique_ptr<AnimationRecord> record(MakeRecord("r", kAnimationHold, {{4, 0.25f}, {5, 0.25f}, {6, 0.5f}}));
    const struct {
        double t;
        int frame;
    } cases[] = {{0.0, 4}, {0.2499, 4}, {0.25, 5}, {0.4999, 5}, {0.5, 6}, {0.9999, 6}, {1.0, 6}, {7.0, 6}, {-1.0, 4}};
    for (const auto& c : cases) EXPECT_EQ(record->FrameAt(c.t), c.frame) << c.t;
    EXPECT_FLOAT_EQ(record->GetLength(), 1.0f);
    std::unique_ptr<AnimationRecord> empty(MakeRecord("e", kAnimationLoop, {}));
    EXPECT_EQ(empty->FrameAt(0.5), 0);
    EXPECT_EQ(empty->GetLength(), 0.0f);
}

TEST(AnimationRecord, CapacityStartsAt32AndGrowsByHalf) {
    std::unique_ptr<AnimationRecord> record(MakeRecord("r", kAnimationHold, {}));
    EXPECT_EQ(record->Capacity(), 32);
    for (int i = 0; i < 33; ++i) record->AddEntry(i, 0.1f);
    EXPECT_EQ(record->Capacity(), 48);
    EXPECT_EQ(record->EntryCount(), 33);
}

TEST_F(PlayerFixture, LoopRestartsFromTheRemainder) {
    Add(MakeRecord("walk", kAnimationLoop, {{0, 0.5f}, {1, 0.5f}}));
    ASSERT_EQ(player->Play("walk", false), 1);
    time.seconds = 2.25;
    EXPECT_EQ(player->GetFrame(), 0);  // the frame at 0.25 s
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 2.0);
    EXPECT_TRUE(player->IsFinished());
    time.seconds = 2.75;
    EXPECT_EQ(player->GetFrame(), 1);
}

TEST_F(PlayerFixture, HoldKeepsTheLastFrameAndReportsFinishedOncePerTake) {
    Add(MakeRecord("die", kAnimationHold, {{3, 0.5f}, {8, 0.5f}}));
    ASSERT_EQ(player->Play("die", false), 1);
    time.seconds = 0.5;
    EXPECT_EQ(player->TakeFinished(), 0);
    EXPECT_FALSE(player->IsPastEnd());
    time.seconds = 1.0;
    EXPECT_TRUE(player->IsPastEnd());
    EXPECT_EQ(player->GetFrame(), 8);
    EXPECT_EQ(player->TakeFinished(), 1);
    EXPECT_FALSE(player->IsFinished());
    time.seconds = 30.0;
    EXPECT_EQ(player->GetFrame(), 8);
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 0.0);
    EXPECT_EQ(player->TakeFinished(), 1);  // the update of the take sets it again
}

TEST_F(PlayerFixture, SpawnSwitchesToItsTarget) {
    AnimationRecord* idle = Add(MakeRecord("idle", kAnimationLoop, {{10, 1.0f}, {11, 1.0f}}));
    AnimationRecord* fire = Add(MakeRecord("fire", kAnimationSpawn, {{20, 0.5f}}));
    fire->spawnTarget = idle;
    ASSERT_EQ(player->Play("fire", false), 1);
    time.seconds = 0.25;
    EXPECT_EQ(player->GetFrame(), 20);
    time.seconds = 1.75;  // 1.25 s past the start of idle's 0.5 s record: 0.25 s into idle
    EXPECT_EQ(player->GetFrame(), 10);
    EXPECT_TRUE(player->GetCurrentName().EqualsNarrow("idle"));
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 1.5);
    EXPECT_TRUE(player->IsFinished());
}

TEST_F(PlayerFixture, PlayOfTheCurrentNameRestartsOnlyWhenAsked) {
    Add(MakeRecord("walk", kAnimationLoop, {{0, 1.0f}}));
    Add(MakeRecord("run", kAnimationLoop, {{0, 1.0f}}));
    EXPECT_EQ(player->Play("swim", false), 0);
    EXPECT_EQ(player->GetFrame(), -1);
    EXPECT_EQ(player->TakeFinished(), 0);
    EXPECT_TRUE(player->GetCurrentName().IsEmpty());
    ASSERT_EQ(player->Play("walk", false), 1);
    time.seconds = 0.5;
    ASSERT_EQ(player->Play("WALK", false), 1);
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 0.0);
    ASSERT_EQ(player->Play("walk", true), 1);
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 0.5);
    time.seconds = 0.75;
    ASSERT_EQ(player->Play("run", false), 1);
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 0.75);
    time.seconds = 1.0;
    player->Restart();
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 1.0);
}

TEST_F(PlayerFixture, PlayWithoutASetFails) {
    node->SetAnimationSet(nullptr);
    auto other = scenetest::MakeNode(kNodeGroup, "bare");
    AnimationPlayer* bare = other->CreateAnimationPlayer(&time.timer);
    EXPECT_EQ(bare->Play("walk", false), 0);
    EXPECT_EQ(bare->GetAnimationSet(), nullptr);
}

TEST_F(PlayerFixture, ZeroLengthRecordGivesFrameZeroNeverNaN) {
    Add(MakeRecord("empty", kAnimationLoop, {}));
    Add(MakeRecord("instant", kAnimationLoop, {{5, 0.0f}}));
    for (const char* name : {"empty", "instant"}) {
        SCOPED_TRACE(name);
        time.seconds = 3.0;
        ASSERT_EQ(player->Play(name, true), 1);
        time.seconds = 4.0;
        EXPECT_EQ(player->GetFrame(), 0);
        EXPECT_TRUE(player->IsFinished());
        EXPECT_DOUBLE_EQ(player->GetStartTime(), 3.0);
        EXPECT_FALSE(std::isnan(player->GetStartTime()));
    }
}

TEST_F(PlayerFixture, SpawnCycleOfZeroLengthRecordsReturns) {
    AnimationRecord* a = Add(MakeRecord("a", kAnimationSpawn, {}));
    AnimationRecord* b = Add(MakeRecord("b", kAnimationSpawn, {}));
    a->spawnTarget = b;
    b->spawnTarget = a;
    ASSERT_EQ(player->Play("a", false), 1);
    time.seconds = 2.0;
    EXPECT_EQ(player->GetFrame(), 0);
    EXPECT_TRUE(player->IsFinished());
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 2.0);
}

TEST_F(PlayerFixture, ZeroLengthSpawnHandsOverWithStartNow) {
    AnimationRecord* walk = Add(MakeRecord("walk", kAnimationLoop, {{7, 1.0f}}));
    AnimationRecord* blink = Add(MakeRecord("blink", kAnimationSpawn, {}));
    blink->spawnTarget = walk;
    ASSERT_EQ(player->Play("blink", false), 1);
    time.seconds = 2.5;
    EXPECT_EQ(player->GetFrame(), 7);
    EXPECT_EQ(player->GetCurrent(), walk);
    EXPECT_DOUBLE_EQ(player->GetStartTime(), 2.5);
}

TEST(AnimationSet, DuplicateNamesAndClonedSpawnLinks) {
    AnimationSet set;
    AnimationRecord* first = MakeRecord("Attack", kAnimationHold, {{1, 1.0f}});
    AnimationRecord* idle = MakeRecord("idle", kAnimationLoop, {{0, 1.0f}});
    AnimationRecord* second = MakeRecord("attack", kAnimationSpawn, {{2, 1.0f}});
    second->spawnTarget = idle;
    set.Add(first);
    set.Add(idle);
    set.Add(second);  // read later: nearer the head
    EXPECT_EQ(set.Find("ATTACK"), second);
    EXPECT_EQ(set.Find("missing"), nullptr);

    std::unique_ptr<AnimationSet> clone(set.Clone());
    ASSERT_NE(clone, nullptr);
    ASSERT_EQ(clone->RecordCount(), 3);
    AnimationRecord* found = clone->Find("attack");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->entries[0].frame, 1);  // the earlier-read one in a clone
    AnimationRecord* spawner = clone->At(2);
    EXPECT_EQ(spawner->entries[0].frame, 2);
    ASSERT_NE(spawner->spawnTarget, nullptr);
    EXPECT_EQ(spawner->spawnTarget, clone->Find("idle"));
    EXPECT_EQ(set.IndexOf(spawner->spawnTarget), -1);  // never into the source
    set.Destroy();
    EXPECT_EQ(set.RecordCount(), 0);
    EXPECT_EQ(set.Head(), nullptr);
    EXPECT_TRUE(spawner->spawnTarget->name.EqualsNarrow("idle"));
}

}  // namespace

namespace {

TEST_F(PlayerFixture, AClonesPlayerReadsTheSourcesClock) {
    Add(MakeRecord("run", kAnimationHold, {{0, 0.5f}, {4, 0.5f}}));
    time.seconds = 2.0;
    ASSERT_EQ(player->Play("run", false), 1);
    for (const bool deep : {false, true}) {
        SCOPED_TRACE(deep);
        scenetest::NodePtr clone(node->Clone(deep));
        ASSERT_NE(clone, nullptr);
        AnimationPlayer* copy = clone->GetAnimationPlayer();
        ASSERT_NE(copy, nullptr);
        time.seconds = 2.6;
        EXPECT_EQ(copy->GetFrame(), 4);
        EXPECT_FALSE(copy->IsPastEnd());
        time.seconds = 3.0;
        EXPECT_TRUE(copy->IsPastEnd());
        time.seconds = 2.0;
    }
}

}  // namespace
