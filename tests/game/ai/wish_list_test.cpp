// The shuffle bag, the wish list's rules, pruning, the goal order and the hot-spot scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ai_fakes.h"
#include "game/ai/shuffle_bag.h"

namespace ai_test {
namespace {

class ScoredGoal : public ScriptedGoal {
public:
    ScoredGoal(int kind, float score) : ScriptedGoal(kind, {kExecuteFinished}) { score_ = score; }
};

using WishListTest = ComputerTest;

TEST(ShuffleBagTest, DrawsWithoutReplacementThenRefillsAndGrowsByHalf) {
    engine::RandomStreams random([] { return 11u; });
    ShuffleBag bag(13);
    EXPECT_EQ(bag.Draw(random), 0);  // empty
    for (int v = 1; v <= 13; ++v) bag.Add(v);
    EXPECT_EQ(bag.GetCapacity(), 13u);
    for (int round = 0; round < 3; ++round) {
        std::multiset<int> drawn;
        for (int i = 0; i < 13; ++i) drawn.insert(bag.Draw(random));
        EXPECT_EQ(drawn, std::multiset<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13})) << round;
    }
    bag.Add(14);
    EXPECT_EQ(bag.GetCapacity(), 20u);  // 13 x 3 / 2 + 1
    bag.AddRepeated(15, 6);
    EXPECT_EQ(bag.GetCapacity(), 20u);
    bag.Add(16);
    EXPECT_EQ(bag.GetCapacity(), 31u);
    bag.AddRepeated(17, 40);  // more than half again: the count itself
    EXPECT_EQ(bag.GetCapacity(), 61u);
    EXPECT_EQ(bag.GetCount(), 61u);
    bag.Clear();
    EXPECT_EQ(bag.Draw(random), 0);
}

TEST(ShuffleBagTest, ASingleItemIsDrawnForEver) {
    engine::RandomStreams random([] { return 3u; });
    ShuffleBag bag(0);
    bag.Add(7);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(bag.Draw(random), 7);
}

TEST_F(WishListTest, DomainRatiosScaleEveryTypeButTheEngineer) {
    ports.config = {{kAIConfigLandRatio, 0.5f}, {kAIConfigAirRatio, 0.0f}, {kAIConfigSeaRatio, 2.0f}};
    struct Case {
        int type;
        float priority;
    };
    const Case cases[] = {{UT_ENGINEER, 3.0f}, {UT_FIGHTER, 0.0f}, {UT_SKYHOOK, 0.0f}, {UT_FERRY, 6.0f},
                          {UT_DESTROYER, 6.0f}, {UT_TRUCK, 1.5f},  {UT_GRUNT, 1.5f}};
    for (const Case& c : cases) {
        ASSERT_TRUE(ai->AddBuildWish(c.type, 3.0f, 0, H(2, 3)));
        const BuildWish& wish = ai->GetWish(ai->GetWishCount() - 1);
        EXPECT_FLOAT_EQ(wish.priority, c.priority) << c.type;
        EXPECT_EQ(wish.target, H(2, 3));
    }
}

TEST_F(WishListTest, AtMostFourGruntOrLightTankWishesATurnUntilPruning) {
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(ai->AddBuildWishAnywhere(UT_GRUNT, 1.0f, 0));
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(ai->AddBuildWishAnywhere(UT_LIGHT_TANK, 1.0f, 0));
    EXPECT_FALSE(ai->AddBuildWishAnywhere(UT_GRUNT, 1.0f, 0));
    EXPECT_FALSE(ai->AddBuildWishAnywhere(UT_LIGHT_TANK, 1.0f, 0));
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(ai->AddBuildWishAnywhere(UT_TROOPER, 1.0f, 0));
    EXPECT_EQ(ai->GetWishCount(), 14);
    ai->PruneWishes();  // a new turn's counters
    EXPECT_TRUE(ai->AddBuildWishAnywhere(UT_GRUNT, 1.0f, 0));
}

TEST_F(WishListTest, PruningKeepsOnlyTheWishesOfLiveResupplyAndTransportGoalsInOrder) {
    auto add = [&](int kind) {
        auto goal = std::make_unique<ScoredGoal>(kind, 1.0f);
        const int id = goal->GetId();
        EXPECT_TRUE(ai->AddGoal(std::move(goal)));
        return id;
    };
    const int resupply = add(kGoalResupply);
    const int transport = add(kGoalTransport);
    const int structure = add(kGoalStructure);
    const int front = add(kGoalFront);
    const int finished = 999;
    const int wishes[][2] = {{UT_TRUCK, finished},  {UT_APC, finished},     {UT_TRUCK, resupply},
                             {UT_ENGINEER, structure}, {UT_SKYHOOK, transport}, {UT_TROOPER, front},
                             {UT_TROOPER, 0},       {UT_FERRY, transport}};
    for (const auto& w : wishes) ASSERT_TRUE(ai->AddBuildWishAnywhere(w[0], 1.0f, w[1]));
    ASSERT_TRUE(ai->AddBoughtUnit({H(1, 1), 5, 0}));
    ai->PruneWishes();
    ASSERT_EQ(ai->GetWishCount(), 3);
    EXPECT_EQ(ai->GetWish(0).goalId, resupply);
    EXPECT_EQ(ai->GetWish(1).unitType, UT_SKYHOOK);
    EXPECT_EQ(ai->GetWish(2).unitType, UT_FERRY);
    EXPECT_EQ(ai->GetBoughtCount(), 0);
}

TEST_F(WishListTest, GoalsSortByKindThenUnitGoalsByIdAndOthersByScoreWhateverTheInputOrder) {
    // {kind, score} in the order added: ids 1..8.
    const std::pair<int, float> made[] = {{kGoalTarget, 0.1f}, {kGoalUnit, 0.9f}, {kGoalFront, 2.0f},
                                          {kGoalUnit, 0.1f},   {kGoalFront, 5.0f}, {kGoalFront, 2.0f},
                                          {kGoalStructure, 1.0f}, {kGoalUnit, 0.5f}};
    const int expected[] = {7, 5, 3, 6, 2, 4, 8, 1};
    std::vector<int> order = {0, 1, 2, 3, 4, 5, 6, 7};
    for (int shuffle = 0; shuffle < 3; ++shuffle) {
        ai->ClearGoals();
        std::vector<std::unique_ptr<AIGoal>> copies;
        AIGoal::ResetIdCounter();
        for (const auto& m : made) copies.push_back(std::make_unique<ScoredGoal>(m.first, m.second));
        for (int i : order) ASSERT_TRUE(ai->AddGoal(std::move(copies[static_cast<std::size_t>(i)])));
        ai->SortGoals();
        for (int i = 0; i < 8; ++i) EXPECT_EQ(ai->GetGoal(i)->GetId(), expected[i]) << shuffle << " at " << i;
        std::reverse(order.begin(), order.end());
        if (shuffle == 1) std::rotate(order.begin(), order.begin() + 3, order.end());
    }
}

class HotSpotTest : public ComputerTest {
protected:
    void SetWeight(HexCoord hex, float w) { ai->PlanMap().EditTile(hex)->unitWeight = w; }
    int Collect(bool own, int capacity) {
        records.assign(static_cast<std::size_t>(capacity), HotSpot{});
        return ai->CollectHotSpots(own, capacity, records.data());
    }
    std::vector<HotSpot> records;
};

TEST_F(HotSpotTest, NearTilesMergeAndTheStrongerTileHoldsTheCluster) {
    struct Case {
        float first, second;
        HexCoord at;
    };
    // Scanned row by row: (2, 2) before (2, 5), three hexes apart.
    const Case cases[] = {{1.0f, 2.0f, H(2, 5)}, {2.0f, 1.0f, H(2, 2)}};
    for (const Case& c : cases) {
        ai->RefreshPlanMap();
        SetWeight(H(2, 2), c.first);
        SetWeight(H(2, 5), c.second);
        SetWeight(H(10, 10), -4.0f);  // another side's: only in the other scan
        ASSERT_EQ(Collect(true, 20), 1);
        EXPECT_FLOAT_EQ(records[0].weight, 3.0f);
        EXPECT_EQ(records[0].hex, c.at);
        ASSERT_EQ(Collect(false, 20), 1);
        EXPECT_FLOAT_EQ(records[0].weight, 4.0f);
        EXPECT_EQ(records[0].hex, H(10, 10));
    }
}

TEST_F(HotSpotTest, AFullListGivesTheFirstWeakerRecordToAStrongerTile) {
    ai->RefreshPlanMap();
    // Scanned in this order, all far apart.
    SetWeight(H(0, 0), 1.0f);
    SetWeight(H(11, 0), 0.5f);
    SetWeight(H(0, 10), 2.0f);
    SetWeight(H(11, 10), 0.25f);  // weaker than both records: none
    ASSERT_EQ(Collect(true, 2), 2);
    EXPECT_EQ(records[0].hex, H(0, 10));
    EXPECT_FLOAT_EQ(records[0].weight, 2.0f);
    EXPECT_EQ(records[1].hex, H(11, 0));
    EXPECT_FLOAT_EQ(records[1].weight, 0.5f);
}

TEST_F(WishListTest, RandomWishesNeedCashAndDrawFromTheUnlockedCheapTypes) {
    services.unlocked = [](int type) { return type == UT_GRUNT || type == UT_LIGHT_TANK; };
    ports.config = {{kAIConfigLandRatio, 0.5f}};
    ShuffleBag bag;
    ai->FillRandomWishBag(bag, 125);
    EXPECT_EQ(bag.GetCount(), 8u);
    ai->FillRandomWishBag(bag, 124);
    EXPECT_EQ(bag.GetCount(), 4u);

    enemy->SetCash(49);
    ai->AddRandomWishes();
    EXPECT_EQ(ai->GetWishCount(), 0);
    enemy->SetCash(125);
    std::set<int> counts;
    for (std::uint32_t seed = 1; seed < 12; ++seed) {
        ai->PruneWishes();
        ai->PlanRandom().Reseed(0, seed);
        ai->AddRandomWishes();
        counts.insert(ai->GetWishCount());
        for (int i = 0; i < ai->GetWishCount(); ++i) {
            EXPECT_TRUE(ai->GetWish(i).unitType == UT_GRUNT || ai->GetWish(i).unitType == UT_LIGHT_TANK);
            EXPECT_FLOAT_EQ(ai->GetWish(i).priority, 0.005f);
            EXPECT_EQ(ai->GetWish(i).goalId, 0);
        }
        // Wishes waiting: no more are made.
        const int before = ai->GetWishCount();
        ai->AddRandomWishes();
        EXPECT_EQ(ai->GetWishCount(), before);
        for (int i = 0; i < before; ++i) ai->PruneWishes();
    }
    EXPECT_EQ(counts, std::set<int>({1, 2}));
}

}  // namespace
}  // namespace ai_test
