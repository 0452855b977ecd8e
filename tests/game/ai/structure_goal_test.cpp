// The structure goal: its score by type, range and bonuses, its engineer claim and wishes, the route cut to
// the turn, the nearby capture and the hand-over of the orders.
#include <gtest/gtest.h>

#include <cmath>

#include "computer_battle.h"
#include "game/ai/structure_goal.h"
#include "game/battle/structure.h"

namespace ai_test {
namespace {

using level_test::L;
using level_test::LandSource;

std::string Mission(const std::string& agro) {
    std::string text = "[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n";
    if (!agro.empty()) text += "[AICONFIG]\nAICFG_ENGINEER_AGRO, " + agro + "\n[ENDAICONFIG]\n";
    return text;
}

class StructureGoalTest : public PlanLevelTest {
protected:
    // The enemy HQ in the south-east corner and a blue trooper in the north-west one, besides the test's own.
    void LoadWith(const std::string& extra, const std::string& agro = "") {
        Load(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\n" + extra), Mission(agro));
    }
    AIStructureGoal& Goal(const char* label) {
        auto goal = std::make_unique<AIStructureGoal>(*ai, 4, *StructureAt(label));
        AIStructureGoal& ref = *goal;
        EXPECT_TRUE(ai->AddGoal(std::move(goal)));
        return ref;
    }
    float Cost(const char* from, const char* to, bool allowBlocked) {
        HexPath route;
        const bool found = allowBlocked
                               ? ai->PlanMap().FindRouteAllowBlocked(L(from), L(to), route, UT_ENGINEER, 0, true)
                               : ai->PlanMap().FindRoute(L(from), L(to), route, UT_ENGINEER, 0, true);
        EXPECT_TRUE(found);
        return route.cost;
    }
    int EngineerWishes() {
        int n = 0;
        for (int i = 0; i < ai->GetWishCount(); ++i) n += ai->GetWish(i).unitType == UT_ENGINEER;
        return n;
    }
};

TEST_F(StructureGoalTest, EngineerAgroSetsTheRangeTheBonusAndTheWishes) {
    struct Case {
        const char* agro;
        float range;
        float bonus;
        bool wishes;
    };
    // A barracks with its pad to send a bought engineer from; a neutral factory to take.
    const Case cases[] = {{"0", 6000.0f, 0.0f, false},
                          {"-1", 6000.0f, 0.0f, true},
                          {"20", 12000.0f, 5.0f, true},
                          {"0.4", 240.0f, 0.0f, true}};
    for (const Case& c : cases) {
        LoadWith("structure C4 5 owner 4\nstructure D6 1\nstructure K10 2\n", c.agro);
        AIStructureGoal& goal = Goal("K10");
        goal.Score();
        const float share = 1.0f - Cost("D6", "K10", true) / c.range;
        EXPECT_NEAR(goal.GetScore(), 1.1f * share * share + c.bonus, 1e-4f) << c.agro;
        goal.Plan();
        EXPECT_EQ(EngineerWishes(), c.wishes ? 1 : 0) << c.agro;
        if (c.wishes) {
            EXPECT_EQ(ai->GetWish(0).target, L("K10"));
        }
    }
}

TEST_F(StructureGoalTest, WithoutEngineersOrABarracksPadOnlyTheHQKeepsItsBase) {
    LoadWith("structure C4 2\nstructure K4 6 owner 1\nstructure H10 8\n");
    struct Case {
        const char* at;
        float score;
    };
    for (const Case& c : {Case{"C4", 0.0f}, Case{"K4", 2.0f}, Case{"H10", 0.0f}}) {
        AIStructureGoal& goal = Goal(c.at);
        goal.Score();
        EXPECT_FLOAT_EQ(goal.GetScore(), c.score) << c.at;
        EXPECT_EQ(StructureAt(c.at)->GetAITag(), static_cast<int>(c.score));
    }
}

TEST_F(StructureGoalTest, AnOwnBuildingScoresNothingUntilAnotherSideCapturesIt) {
    LoadWith("structure H6 8 owner 4\nunit H9 2 owner 4\n");
    AIStructureGoal& goal = Goal("H6");
    goal.Score();
    EXPECT_EQ(goal.GetScore(), 0.0f);
    goal.Plan();
    EXPECT_EQ(goal.GetEngineerId(), 0);  // nothing to do for an unchallenged own building
    StructureAt("H6")->AddCaptureProgress(0.5f, 1);
    goal.Score();
    EXPECT_GE(goal.GetScore(), 100.0f);
    goal.Plan();
    EXPECT_NE(goal.GetEngineerId(), 0);
}

TEST_F(StructureGoalTest, BeyondTheRangeOnlyTheBonusesCount) {
    // Range 6: every building is out of reach of the engineer; the side owns no barracks or factory.
    LoadWith("structure C4 5\nstructure K4 2\nstructure H12 8\nunit H8 2 owner 4\n", "0.01");
    struct Case {
        const char* at;
        float score;
    };
    for (const Case& c : {Case{"C4", 10.0f}, Case{"K4", 5.0f}, Case{"H12", 0.0f}}) {
        AIStructureGoal& goal = Goal(c.at);
        goal.Score();
        EXPECT_FLOAT_EQ(goal.GetScore(), c.score) << c.at;
    }
}

TEST_F(StructureGoalTest, TheCaptureIsOrderedOnlyOnTheTurnTheEngineerArrives) {
    LoadWith("structure A10 8\nstructure M3 8\nunit L10 2 owner 4\nunit L3 2 owner 4\n");
    AIStructureGoal& far = Goal("A10");
    AIStructureGoal& near = Goal("M3");
    for (AIStructureGoal* goal : {&far, &near}) goal->Score();
    for (AIStructureGoal* goal : {&near, &far}) goal->Plan();
    Unit* walker = UnitAt("L10");
    ASSERT_EQ(far.GetEngineerId(), walker->GetId());
    EXPECT_TRUE(far.HasPathOrder());
    EXPECT_FALSE(far.HasCaptureOrder());
    HexCoord tile;
    ASSERT_TRUE(ai->GetUnitPlannedTile(far.GetEngineerId(), tile));
    EXPECT_EQ(tile, far.GetEndHex());
    EXPECT_LT(HexDistance(tile, L("A10")), HexDistance(L("L10"), L("A10")));
    // Beside its building already: no move, the capture.
    ASSERT_EQ(near.GetEngineerId(), UnitAt("L3")->GetId());
    EXPECT_FALSE(near.HasPathOrder());
    EXPECT_TRUE(near.HasCaptureOrder());

    // Executed: the orders go to the engineers, which walk and capture.
    EXPECT_EQ(far.Execute(true), kExecuteAgain);
    EXPECT_EQ(near.Execute(true), kExecuteAgain);
    Settle();
    EXPECT_EQ(far.Execute(false), kExecuteNextPaused);
    EXPECT_EQ(walker->GetHexPos(), far.GetEndHex());
    EXPECT_EQ(StructureAt("M3")->GetTeam(), 4);
}

TEST_F(StructureGoalTest, ArmedEnemiesNearbySendTheEngineerToABuildingItReachesThisTurn) {
    LoadWith("structure H5 8\nstructure B13 8\nunit H8 2 owner 4\nunit K8 3 owner 1\n");
    AIStructureGoal& goal = Goal("B13");
    goal.Score();
    goal.Plan();
    ASSERT_NE(goal.GetNearbyTarget(), nullptr);
    EXPECT_EQ(goal.GetNearbyTarget()->GetHex(), L("H5"));
    EXPECT_TRUE(StructureAt("H5")->IsReserved());
    EXPECT_TRUE(goal.HasCaptureOrder());
    // Another goal for the reserved building gives up its engineer; the turn's end frees the building.
    AIStructureGoal& other = Goal("H5");
    other.Score();
    other.Plan();
    EXPECT_EQ(other.GetEngineerId(), 0);
}

TEST_F(StructureGoalTest, ANearbyBuildingBeyondThisTurnsReachLeavesNoOrderPlannedTileOrEndHex) {
    // A blue tank within six steps, and the one building to take a dozen steps away: more than the engineer
    // walks in a turn (five land hexes).
    LoadWith("structure B15 8\nunit H3 2 owner 4\nunit K3 3 owner 1\n");
    AIStructureGoal& goal = Goal("B15");
    Unit* engineer = UnitAt("H3");
    ASSERT_NE(engineer, nullptr);
    EXPECT_FALSE(goal.PlanNearbyCapture(*engineer));
    EXPECT_EQ(goal.GetNearbyTarget(), nullptr);
    EXPECT_FALSE(goal.HasPathOrder());
    EXPECT_FALSE(goal.HasCaptureOrder());
    EXPECT_EQ(goal.GetEndHex(), HexCoord{});
    HexCoord tile;
    EXPECT_FALSE(ai->GetUnitPlannedTile(engineer->GetId(), tile));
    EXPECT_FALSE(StructureAt("B15")->IsReserved());
}

TEST_F(StructureGoalTest, ALostEngineerHoldsWishesBackForTwoToFourTurns) {
    LoadWith("structure C4 5 owner 4\nstructure D6 1\nstructure K10 2\nunit H8 2 owner 4\n", "5");
    AIStructureGoal& goal = Goal("K10");
    goal.Score();
    goal.Plan();
    ASSERT_NE(goal.GetEngineerId(), 0);
    Enemy().FindUnitById(goal.GetEngineerId())->Kill(true, nullptr);
    goal.Score();
    goal.Plan();
    EXPECT_EQ(goal.GetEngineerId(), 0);
    EXPECT_GE(goal.GetWishCooldown(), 2);
    EXPECT_LE(goal.GetWishCooldown(), 4);
    EXPECT_EQ(EngineerWishes(), 0);
    int turns = 0;
    while (EngineerWishes() == 0 && turns < 10) {
        ++turns;
        goal.Score();
        goal.Plan();
    }
    EXPECT_GE(turns, 2);
    EXPECT_LE(turns, 4);
}

TEST_F(StructureGoalTest, ABoughtEngineerIsDeployedFirstThenGetsItsOrders) {
    LoadWith("structure C4 5 owner 4\nstructure D6 1\nstructure K10 2\n");
    AIStructureGoal& goal = Goal("K10");
    const int id = Enemy().CreateUnplacedUnit(UT_ENGINEER, L("D6"));
    goal.AssignUnit(id);
    goal.Score();
    goal.Plan();
    ASSERT_TRUE(goal.HasPathOrder());
    Unit* engineer = Enemy().FindUnitById(id);
    EXPECT_EQ(goal.Execute(true), kExecutePauseRestart);
    EXPECT_EQ(engineer->GetState(), kUnitIdle);
    EXPECT_EQ(goal.Execute(true), kExecuteAgain);
    EXPECT_FALSE(goal.HasPathOrder());
    Settle();
    EXPECT_EQ(goal.Execute(false), kExecuteNextPaused);
    EXPECT_NE(engineer->GetHexPos(), L("D6"));
    ai->ClearGoals();  // the goal lets its engineer go
    EXPECT_EQ(engineer->GetAIGoalId(), 0);
}

}  // namespace
}  // namespace ai_test
