// The front goal: its survey and score, the squad it recruits, units it takes and drops, and its plan.
#include <gtest/gtest.h>

#include "ai_fakes.h"
#include "game/ai/front_goal.h"

namespace ai_test {
namespace {

class FrontGoalTest : public ComputerTest {
protected:
    Unit* Spawn(Team* team, int type, HexCoord hex) {
        Unit* unit = team->FindUnitById(team->SpawnUnit(type, hex, 0, false, 1.0f));
        unit->StartTurn();
        return unit;
    }
    AIFrontGoal& AddFront(HexCoord hex, float weight = 0.5f) {
        auto goal = std::make_unique<AIFrontGoal>(*ai, 4, weight, hex);
        AIFrontGoal& ref = *goal;
        EXPECT_TRUE(ai->AddGoal(std::move(goal)));
        ai->RefreshPlanMap();
        return ref;
    }
};

TEST_F(FrontGoalTest, AnAreaWithoutTargetsScoresNothing) {
    Spawn(enemy, UT_MED_TANK, H(2, 2));
    AIFrontGoal& goal = AddFront(H(8, 8));
    goal.Score();
    EXPECT_EQ(goal.GetScore(), 0.0f);
    EXPECT_EQ(goal.GetSquadCount(), 0);
}

TEST_F(FrontGoalTest, TargetsWithoutASquadScoreTheBasePlusFive) {
    Unit* trooper = Spawn(blue, UT_TROOPER, H(8, 8));
    AIFrontGoal& goal = AddFront(H(8, 8));
    goal.Score();
    EXPECT_FLOAT_EQ(goal.GetScore(), 0.2f + 0.2f + 5.0f);
    EXPECT_EQ(ai->GetUnitClaim(trooper->GetId()), goal.GetId());
    EXPECT_EQ(goal.GetTargetCount(), 1);
}

TEST_F(FrontGoalTest, AnEnemyGeneralScoresAtLeastTenPointFourAndTheSquadGathers) {
    Spawn(blue, UT_GENERAL, H(8, 8));
    Unit* tank = Spawn(enemy, UT_MED_TANK, H(2, 8));
    AIFrontGoal& goal = AddFront(H(8, 8), 0.5f);
    goal.Score();
    EXPECT_GE(goal.GetScore(), 10.4f);
    ASSERT_EQ(goal.GetSquadCount(), 1);
    EXPECT_EQ(goal.GetSquadUnitId(0), tank->GetId());
    EXPECT_EQ(tank->GetAIGoalId(), goal.GetId());
    EXPECT_FLOAT_EQ(goal.GetScore(), 0.2f + 0.2f + 10.0f + 0.5f);
}

TEST_F(FrontGoalTest, AnImmobilisedMemberIsDroppedFromTheFirstFrontGoal) {
    Spawn(blue, UT_TROOPER, H(8, 8));
    Unit* tank = Spawn(enemy, UT_MED_TANK, H(2, 8));
    AIFrontGoal& goal = AddFront(H(8, 8));
    goal.Score();
    ASSERT_TRUE(goal.HoldsUnit(tank->GetId()));
    ai->SetUnitImmobilized(tank->GetId(), true);
    EXPECT_FALSE(goal.HoldsUnit(tank->GetId()));
    EXPECT_EQ(tank->GetAIGoalId(), 0);
    goal.Score();  // never recruited while immobilised
    EXPECT_FALSE(goal.HoldsUnit(tank->GetId()));
}

TEST_F(FrontGoalTest, ACarriedUnitIsTheCheapestCandidate) {
    Spawn(blue, UT_TROOPER, H(8, 8));
    Unit* walker = Spawn(enemy, UT_MED_TANK, H(7, 5));
    Unit* apc = Spawn(enemy, UT_APC, H(1, 1));
    Unit* rider = Spawn(enemy, UT_GRENADIER, H(1, 2));
    ASSERT_TRUE(apc->LinkPassenger(*rider));
    AIFrontGoal& goal = AddFront(H(8, 8));
    goal.Score();
    ASSERT_EQ(goal.GetSquadCount(), 2);
    EXPECT_TRUE(goal.HoldsUnit(walker->GetId()));
    EXPECT_TRUE(goal.HoldsUnit(rider->GetId()));
    // The carried unit asks for transport to the area instead of walking.
    goal.Plan();
    EXPECT_TRUE(ai->FindUnitPlanner(rider->GetId())->WantsTransport());
}

TEST_F(FrontGoalTest, TheSquadAdvancesAndExecutesMemberByMember) {
    Unit* trooper = Spawn(blue, UT_TROOPER, H(8, 10));
    Unit* tank = Spawn(enemy, UT_MED_TANK, H(8, 2));
    AIFrontGoal& goal = AddFront(H(8, 10));
    goal.Score();
    ASSERT_TRUE(goal.HoldsUnit(tank->GetId()));
    goal.Plan();
    AIUnitPlanner& planner = *ai->FindUnitPlanner(tank->GetId());
    ASSERT_GT(planner.GetPendingCount(), 0);
    HexCoord tile;
    ASSERT_TRUE(planner.GetTarget(tile));
    EXPECT_LT(HexDistance(tile, trooper->GetHexPos()), HexDistance(tank->GetHexPos(), trooper->GetHexPos()));
    EXPECT_EQ(goal.Execute(true), kExecuteAgain);
    for (int i = 0; i < 3000 && tank->IsBusy(); ++i) {
        manager.Update();
        battle.Tick();
    }
    EXPECT_EQ(goal.Execute(false), kExecutePauseAgain);
    EXPECT_EQ(goal.Execute(false), kExecuteNext);  // stays in the list for later turns
    EXPECT_EQ(tank->GetHexPos(), tile);
}

TEST_F(FrontGoalTest, TakeUnitJoinsTheSquadUntilItIsFull) {
    Spawn(blue, UT_TROOPER, H(8, 8));
    AIFrontGoal& goal = AddFront(H(8, 8));
    EXPECT_FALSE(goal.TakeUnit(999));
    Unit* tank = Spawn(enemy, UT_MED_TANK, H(2, 2));
    EXPECT_TRUE(goal.TakeUnit(tank->GetId()));
    EXPECT_EQ(tank->GetAIGoalId(), goal.GetId());
    ai->ClearGoals();  // deleting the goal releases its squad
    EXPECT_EQ(tank->GetAIGoalId(), 0);
}

}  // namespace
}  // namespace ai_test
