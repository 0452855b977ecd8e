// The computer player's turn driver: the start waits for scripts, the goal results 0 to 6, the pauses and
// the funds.
#include <gtest/gtest.h>

#include "ai_fakes.h"

namespace ai_test {
namespace {

using TurnDriverTest = ComputerTest;

TEST_F(TurnDriverTest, ATurnWithoutGoalsEndsOneUpdateAfterTheGoalPhase) {
    ai->StartTurn();
    EXPECT_EQ(ai->GetState(), kAIStateTurnStart);
    ai->Update();  // plan (inline), then 2 -> 5 at once
    EXPECT_EQ(ai->GetState(), kAIStateFinishing);
    EXPECT_FALSE(ai->IsTurnOver());
    ai->Update();
    EXPECT_TRUE(ai->IsTurnOver());
    EXPECT_EQ(ports.unreserves, 1);
}

TEST_F(TurnDriverTest, PlanningWaitsForTheScriptBlocksAndSeesTheTurnsIncome) {
    int plans = 0;
    int cashSeen = -1;
    factoryLog.pass = [&](ComputerPlayer& player, CancelToken&) {
        ++plans;
        cashSeen = player.GetFunds();
    };
    enemy->SetCash(100);
    ports.refineries = 2;
    ports.blockRunning = true;
    ai->StartTurn();
    for (int i = 0; i < 5; ++i) ai->Update();
    EXPECT_EQ(plans, 0);
    EXPECT_EQ(ai->GetState(), kAIStateTurnStart);
    ports.blockRunning = false;
    ai->Update();
    EXPECT_EQ(plans, 1);
    EXPECT_EQ(cashSeen, 200);
}

TEST_F(TurnDriverTest, FundsByModeDifficultyAndRefineries) {
    struct Case {
        int mode;
        int difficulty;
        float donation;
        int refineries;
        int income;
    };
    const Case cases[] = {
        {kGameModeCampaign, 0, 0.0f, 0, 0},      {kGameModeCampaign, 1, 0.0f, 0, 20},
        {kGameModeCampaign, 2, 25.9f, 3, 215},   {kGameModeCampaign, 3, -4.7f, 1, 136},
        {kGameModeSkirmish, 3, 0.0f, 0, 70},     {kGameModeSkirmish, 0, 0.0f, 2, 170},
        {kGameModePassAndPlay, 2, 0.0f, 1, 50},
    };
    for (const Case& c : cases) {
        ports.mode = c.mode;
        ports.difficulty = c.difficulty;
        ports.donation = c.donation;
        ports.refineries = c.refineries;
        enemy->SetCash(1000);
        ai->StartTurn();
        EXPECT_EQ(enemy->GetCash(), 1000 + c.income) << c.mode << " " << c.difficulty << " " << c.refineries;
        ai->Update();
        ai->Update();
        ASSERT_TRUE(ai->IsTurnOver());
    }
}

TEST_F(TurnDriverTest, SkirmishFirstDayWishesForTwoEngineersBeforePlanning) {
    ports.mode = kGameModeSkirmish;
    ports.day = 1;
    int wishesSeen = -1;
    factoryLog.pass = [&](ComputerPlayer& player, CancelToken&) { wishesSeen = player.GetWishCount(); };
    ai->StartTurn();
    ASSERT_EQ(ai->GetWishCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ai->GetWish(i).unitType, UT_ENGINEER);
        EXPECT_EQ(ai->GetWish(i).priority, 10000.0f);
        EXPECT_EQ(ai->GetWish(i).target.column, -1);
        EXPECT_EQ(ai->GetWish(i).goalId, 0);
    }
    EXPECT_EQ(factoryLog.structureGoalCalls, 1);
    ai->Update();
    EXPECT_EQ(wishesSeen, 2);
}

TEST_F(TurnDriverTest, StructureGoalsAreMadeOnDayOneAndOnceAfterwards) {
    ports.day = 3;
    for (int turn = 0; turn < 3; ++turn) {
        ai->StartTurn();
        ai->Update();
        ai->Update();
    }
    EXPECT_EQ(factoryLog.structureGoalCalls, 0);  // the fixture's first turn made them
    ports.day = 1;
    ai->StartTurn();
    EXPECT_EQ(factoryLog.structureGoalCalls, 1);
    EXPECT_EQ(ai->GetWishCount(), 0);  // not a skirmish
}

TEST_F(TurnDriverTest, ResultZeroDeletesTheGoalWithoutAdvancingAndEndsTheZoom) {
    const int first = AddScripted({kExecuteFinished});
    const int second = AddScripted({kExecuteAgain});
    StartAndPlan();
    ai->Update();
    EXPECT_EQ(ai->FindGoalById(first), nullptr);
    EXPECT_EQ(ai->GetCurrentGoal(), 0);
    EXPECT_EQ(ports.zoomEnds, 1);
    ai->Update();
    ASSERT_EQ(executions.size(), 2u);
    EXPECT_EQ(executions[1], std::make_pair(second, true));
}

TEST_F(TurnDriverTest, TheLastGoalFinishingEndsTheGoalPhaseInTheSameTick) {
    AddScripted({kExecuteFinished});
    StartAndPlan();
    ai->Update();
    EXPECT_EQ(ai->GetState(), kAIStateFinishing);
    EXPECT_EQ(ai->GetGoalCount(), 0);
    ai->Update();
    EXPECT_TRUE(ai->IsTurnOver());
}

TEST_F(TurnDriverTest, ResultOneRunsTheNextGoalInTheSameTickAndKeepsTheGoal) {
    const int first = AddScripted({kExecuteNext});
    const int second = AddScripted({kExecuteNext});
    StartAndPlan();
    ai->Update();
    ASSERT_EQ(executions.size(), 2u);
    EXPECT_EQ(executions[0], std::make_pair(first, true));
    EXPECT_EQ(executions[1], std::make_pair(second, true));
    EXPECT_EQ(ai->GetState(), kAIStateFinishing);
    EXPECT_EQ(ai->GetGoalCount(), 2);  // unfinished goals stay for the next turn
}

TEST_F(TurnDriverTest, ResultTwoMovesOnAfterAPauseOf25QuietTicks) {
    AddScripted({kExecuteNextPaused});
    const int second = AddScripted({kExecuteAgain});
    StartAndPlan();
    ai->Update();
    EXPECT_EQ(ai->GetState(), kAIStatePause);
    EXPECT_FLOAT_EQ(ai->GetPauseLeft(), 0.5f);
    ports.busy = true;
    for (int i = 0; i < 40; ++i) ai->Update();
    ports.busy = false;
    ports.structureBusy = true;
    for (int i = 0; i < 40; ++i) ai->Update();
    ports.structureBusy = false;
    EXPECT_EQ(ai->GetState(), kAIStatePause);
    int ticks = 0;
    while (ai->GetState() == kAIStatePause && ticks < 100) {
        ai->Update();
        ++ticks;
    }
    EXPECT_GE(ticks, 24);
    EXPECT_LE(ticks, 26);
    ai->Update();
    EXPECT_EQ(executions.back(), std::make_pair(second, true));
}

TEST_F(TurnDriverTest, AQuickPauseEndsOnTheFirstQuietTick) {
    ports.quick = true;
    AddScripted({kExecutePauseAgain, kExecuteFinished});
    StartAndPlan();
    ai->Update();
    EXPECT_EQ(ai->GetState(), kAIStatePause);
    ports.busy = true;
    ai->Update();
    EXPECT_EQ(ai->GetState(), kAIStatePause);
    ports.busy = false;
    ai->Update();
    EXPECT_EQ(ai->GetState(), kAIStateRunGoals);
}

TEST_F(TurnDriverTest, RepeatAndRestartResults) {
    struct Case {
        int result;
        int stateAfter;
        bool nextFirstStep;
    };
    const Case cases[] = {
        {kExecuteAgain, kAIStateRunGoals, false},
        {kExecutePauseAgain, kAIStatePause, false},
        {kExecuteRestart, kAIStateRunGoals, true},
        {kExecutePauseRestart, kAIStatePause, true},
        {42, kAIStateRunGoals, false},
    };
    ports.quick = true;
    for (const Case& c : cases) {
        ai->ClearGoals();
        executions.clear();
        const int id = AddScripted({c.result, kExecuteFinished});
        StartAndPlan();
        ai->Update();
        EXPECT_EQ(ai->GetState(), c.stateAfter) << c.result;
        while (ai->GetState() == kAIStatePause) ai->Update();
        ai->Update();
        ASSERT_EQ(executions.size(), 2u) << c.result;
        EXPECT_EQ(executions[0], std::make_pair(id, true));
        EXPECT_EQ(executions[1], std::make_pair(id, c.nextFirstStep)) << c.result;
        ai->Update();
        EXPECT_TRUE(ai->IsTurnOver());
    }
}

// A goal whose step empties the whole goal list (as a rebuild of the structure goals does) before it answers.
class ListClearingGoal : public AIGoal {
public:
    ListClearingGoal(ComputerPlayer& player, int result) : player_(player), result_(result) {}
    int GetKind() const override { return kGoalUnit; }
    void Score() override {}
    void Plan() override {}
    int Execute(bool) override {
        // The clear deletes this goal: only locals are used after it.
        const int result = result_;
        ComputerPlayer& player = player_;
        player.ClearGoals();
        return result;
    }

private:
    ComputerPlayer& player_;
    int result_;
};

TEST_F(TurnDriverTest, TheTurnEndsWhenTheGoalsAreClearedWhileTheyRun) {
    ports.quick = true;
    for (int result = kExecuteFinished; result <= kExecutePauseRestart; ++result) {
        // Cleared by the goal's own step, whatever it answers.
        ASSERT_TRUE(ai->AddGoal(std::make_unique<ListClearingGoal>(*ai, result)));
        AddScripted({kExecuteAgain});
        StartAndPlan();
        for (int i = 0; i < 10 && !ai->IsTurnOver(); ++i) ai->Update();
        EXPECT_TRUE(ai->IsTurnOver()) << "result " << result << ", state " << ai->GetState();
        EXPECT_EQ(ai->GetGoalCount(), 0) << result;
    }
    // Cleared between steps, while the driver pauses after the first goal's step.
    AddScripted({kExecuteNextPaused});
    AddScripted({kExecuteAgain});
    StartAndPlan();
    ai->Update();
    ASSERT_EQ(ai->GetState(), kAIStatePause);
    ai->ClearGoals();
    for (int i = 0; i < 10 && !ai->IsTurnOver(); ++i) ai->Update();
    EXPECT_TRUE(ai->IsTurnOver()) << "state " << ai->GetState();
}

TEST_F(TurnDriverTest, GoalListRefusesThe257thGoal) {
    for (int i = 0; i < kMaxGoals; ++i) AddScripted({kExecuteNext});
    EXPECT_FALSE(ai->AddGoal(std::make_unique<ScriptedGoal>(kGoalUnit, std::vector<int>{0})));
    EXPECT_EQ(ai->GetGoalCount(), kMaxGoals);
    for (int i = 0; i < kMaxWishes; ++i) EXPECT_TRUE(ai->AddBuildWish({UT_TROOPER, 1.0f, {-1, -1}, 0}));
    EXPECT_FALSE(ai->AddBuildWish({UT_TROOPER, 1.0f, {-1, -1}, 0}));
}

TEST_F(TurnDriverTest, GoalIdsCountUpFromOneAndAreFoundById) {
    const int a = AddScripted({0});
    const int b = AddScripted({0});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(ai->FindGoalById(b)->GetId(), b);
    EXPECT_EQ(ai->FindGoalById(99), nullptr);
    ai->ClearGoals();
    EXPECT_EQ(ai->GetGoalCount(), 0);
    EXPECT_EQ(AddScripted({0}), 3);
}

}  // namespace
}  // namespace ai_test
