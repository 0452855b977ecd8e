// The computer player's unit bookkeeping: planners per unit, planned tiles and the hex lookups, the unit
// table, the transport count, captured units, and calls that arrive while a threaded plan runs.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ai_fakes.h"

namespace ai_test {
namespace {

using BookkeepingTest = ComputerTest;

TEST_F(BookkeepingTest, EveryNewEnemyUnitGetsOnePlannerAndLosesItWhenRemoved) {
    const int a = enemy->SpawnUnit(UT_TROOPER, H(2, 2), 0, false, 1.0f);
    const int b = enemy->SpawnUnit(UT_TROOPER, H(3, 2), 0, false, 1.0f);
    ASSERT_NE(ai->FindUnitPlanner(a), nullptr);
    ASSERT_NE(ai->FindUnitPlanner(b), nullptr);
    EXPECT_EQ(ai->FindUnitPlanner(a)->GetPosition(), H(2, 2));
    ai->AddUnitPlanner(a);  // never twice
    int count = 0;
    for (int i = 0; i < kMaxTeamUnits; ++i) count += ai->GetPlanner(i) != nullptr ? 1 : 0;
    EXPECT_EQ(count, 2);
    ai->RemoveUnit(a);
    EXPECT_EQ(ai->FindUnitPlanner(a), nullptr);
    EXPECT_NE(ai->FindUnitPlanner(b), nullptr);
}

TEST_F(BookkeepingTest, ImmobilisingAUnitReleasesItsGoalClaim) {
    const int id = enemy->SpawnUnit(UT_TROOPER, H(2, 2), 0, false, 1.0f);
    enemy->FindUnitById(id)->SetAIGoalId(5);
    ai->SetUnitImmobilized(id, true);
    EXPECT_TRUE(ai->IsUnitImmobilized(id));
    EXPECT_EQ(enemy->FindUnitById(id)->GetAIGoalId(), 0);
    ai->SetUnitImmobilized(id, false);
    EXPECT_FALSE(ai->IsUnitImmobilized(id));
    EXPECT_FALSE(ai->IsUnitImmobilized(999));
}

TEST_F(BookkeepingTest, TheUnitTargetingATileIsTheFirstGroundOneElseTheLastAirborne) {
    const int ground1 = enemy->SpawnUnit(UT_TROOPER, H(1, 1), 0, false, 1.0f);
    const int air1 = enemy->SpawnUnit(UT_FIGHTER, H(2, 1), 0, false, 1.0f);
    const int ground2 = enemy->SpawnUnit(UT_TROOPER, H(3, 1), 0, false, 1.0f);
    const int air2 = enemy->SpawnUnit(UT_FIGHTER, H(4, 1), 0, false, 1.0f);
    enemy->FindUnitById(air1)->SetAirborneFlag(true);
    enemy->FindUnitById(air2)->SetAirborneFlag(true);
    const HexCoord tile = H(6, 6);
    EXPECT_EQ(ai->FindUnitTargetingTile(tile, false), 0);
    ai->SetUnitPlannedTile(air1, tile);
    ai->SetUnitPlannedTile(air2, tile);
    EXPECT_EQ(ai->FindUnitTargetingTile(tile, false), air2);
    EXPECT_EQ(ai->FindUnitTargetingTile(tile, true), air2);
    ai->SetUnitPlannedTile(ground2, tile);
    ai->SetUnitPlannedTile(ground1, tile);
    EXPECT_EQ(ai->FindUnitTargetingTile(tile, false), ground1);
    EXPECT_EQ(ai->FindUnitTargetingTile(tile, true), air2);
    HexCoord out;
    ASSERT_TRUE(ai->GetUnitPlannedTile(ground2, out));
    EXPECT_EQ(out, tile);
    // The team's lookup sees the planned unit on its planned tile.
    EXPECT_EQ(enemy->FindUnitAt(tile), enemy->FindUnitById(ground1));
}

TEST_F(BookkeepingTest, TheUnitTableKeepsDamageAndClaimsForMoreThan48Units) {
    // Every unit of the battle may be planned against: 60 targets all keep their damage.
    for (int id = 1000; id < 1060; ++id) {
        ai->AddPlannedDamage(id, 0.25f);
        ai->AddPlannedDamage(id, 0.5f);
        ai->SetUnitClaim(id + 100, id);
    }
    for (int id = 1000; id < 1060; ++id) {
        EXPECT_FLOAT_EQ(ai->GetPlannedDamage(id), 0.75f) << id;
        EXPECT_EQ(ai->GetUnitClaim(id + 100), id) << id;
    }
    EXPECT_EQ(ai->GetPlannedDamage(5), 0.0f);
    EXPECT_EQ(ai->GetUnitClaim(5), 0);
    ai->StartTurn();  // a new turn clears the table
    EXPECT_EQ(ai->GetPlannedDamage(1000), 0.0f);
}

TEST_F(BookkeepingTest, ACarriedUnitsTransportRequestCountsOnce) {
    const int apc = enemy->SpawnUnit(UT_APC, H(2, 2), 0, false, 1.0f);
    const int rider = enemy->SpawnUnit(UT_TROOPER, H(3, 3), 0, false, 1.0f);
    ASSERT_TRUE(enemy->FindUnitById(apc)->LinkPassenger(*enemy->FindUnitById(rider)));
    AIUnitPlanner& planner = *ai->FindUnitPlanner(rider);
    EXPECT_EQ(ai->GetTransportGoalCount(), 0);
    ai->RequestTransport(planner, H(9, 9));
    EXPECT_EQ(ai->GetTransportGoalCount(), 1);  // reserved at once
    ai->RequestTransport(planner, H(9, 9));
    EXPECT_EQ(ai->GetTransportGoalCount(), 1);
    ai->TurnStep(planner);  // the goal takes the reservation over
    EXPECT_EQ(factoryLog.transportCalls, 1);
    EXPECT_EQ(ai->GetTransportGoalCount(), 1);
    EXPECT_NE(planner.GetTransportGoalId(), 0);
    // Its end brings the count back to where it was.
    ports.quick = true;
    ai->StartTurn();
    for (int i = 0; i < 10 && !ai->IsTurnOver(); ++i) ai->Update();
    EXPECT_EQ(ai->GetTransportGoalCount(), 0);
    EXPECT_EQ(planner.GetTransportGoalId(), 0);
}

TEST_F(BookkeepingTest, ARequestThatGetsNoGoalLeavesNoCount) {
    const int apc = enemy->SpawnUnit(UT_APC, H(2, 2), 0, false, 1.0f);
    const int rider = enemy->SpawnUnit(UT_TROOPER, H(3, 3), 0, false, 1.0f);
    ASSERT_TRUE(enemy->FindUnitById(apc)->LinkPassenger(*enemy->FindUnitById(rider)));
    factoryLog.makeTransportGoals = false;
    AIUnitPlanner& planner = *ai->FindUnitPlanner(rider);
    ai->RequestTransport(planner, H(9, 9));
    ai->TurnStep(planner);
    EXPECT_EQ(ai->GetTransportGoalCount(), 0);
    EXPECT_FALSE(planner.WantsTransport());
}

TEST_F(BookkeepingTest, AFifthTransportGoalWaitsUnlessTheUnitIsCarried) {
    for (int i = 0; i < kMaxTransportGoals; ++i) {
        ASSERT_TRUE(ai->AddGoal(std::make_unique<ScriptedGoal>(kGoalTransport, std::vector<int>{0})));
    }
    EXPECT_EQ(ai->GetTransportGoalCount(), 4);
    const int walker = enemy->SpawnUnit(UT_TROOPER, H(3, 3), 0, false, 1.0f);
    AIUnitPlanner& planner = *ai->FindUnitPlanner(walker);
    ai->RequestTransport(planner, H(9, 9));
    ai->TurnStep(planner);
    EXPECT_EQ(factoryLog.transportCalls, 0);
    EXPECT_TRUE(planner.WantsTransport());  // asked again next turn
    const int apc = enemy->SpawnUnit(UT_APC, H(5, 5), 0, false, 1.0f);
    const int rider = enemy->SpawnUnit(UT_TROOPER, H(6, 6), 0, false, 1.0f);
    ASSERT_TRUE(enemy->FindUnitById(apc)->LinkPassenger(*enemy->FindUnitById(rider)));
    AIUnitPlanner& carried = *ai->FindUnitPlanner(rider);
    ai->RequestTransport(carried, H(9, 9));
    ai->TurnStep(carried);
    EXPECT_EQ(factoryLog.transportCalls, 1);
    EXPECT_EQ(ai->GetTransportGoalCount(), 5);
    ai->ClearGoals();
    EXPECT_EQ(ai->GetTransportGoalCount(), 0);
}

TEST_F(BookkeepingTest, ACapturedUnitChangesPlanner) {
    const int id = blue->SpawnUnit(UT_TROOPER, H(2, 2), 0, false, 1.0f);
    EXPECT_EQ(ai->FindUnitPlanner(id), nullptr);
    blue->TransferUnit(*blue->FindUnitById(id), 4);
    ASSERT_NE(enemy->FindUnitById(id), nullptr);
    EXPECT_NE(ai->FindUnitPlanner(id), nullptr);
    enemy->TransferUnit(*enemy->FindUnitById(id), 1);
    EXPECT_EQ(ai->FindUnitPlanner(id), nullptr);
}

TEST_F(BookkeepingTest, TurnStepAsksForResupplyAndDropsStalePlans) {
    const int id = enemy->SpawnUnit(UT_LIGHT_TANK, H(2, 2), 0, false, 1.0f);
    enemy->FindUnitById(id)->SetFuel(0.0f);
    enemy->FindUnitById(id)->SetAmmo(0);
    ASSERT_TRUE(enemy->FindUnitById(id)->NeedsResupply(0.6f, false));
    AIUnitPlanner& planner = *ai->FindUnitPlanner(id);
    planner.SetPlannedTile(H(5, 5));
    planner.RequestMakeWay();
    ai->TurnStep(planner);
    HexCoord out;
    EXPECT_FALSE(planner.GetTarget(out));
    EXPECT_FALSE(planner.IsMakingWay());
    EXPECT_EQ(planner.GetPosition(), H(2, 2));
    EXPECT_EQ(factoryLog.resupplyCalls, 1);
    EXPECT_NE(planner.GetResupplyGoalId(), 0);
    ai->TurnStep(planner);
    EXPECT_EQ(factoryLog.resupplyCalls, 1);  // one goal at a time
    // A goal that has gone frees the id at the end of the step; the next step asks again.
    ai->ClearGoals();
    ai->TurnStep(planner);
    EXPECT_EQ(planner.GetResupplyGoalId(), 0);
    ai->TurnStep(planner);
    EXPECT_EQ(factoryLog.resupplyCalls, 2);
}

TEST_F(BookkeepingTest, CallsDuringAThreadedPlanWaitForTheJoinAndTheMainThreadSeesNoPlan) {
    ports.threaded = true;
    const int mover = enemy->SpawnUnit(UT_TROOPER, H(2, 2), 0, false, 1.0f);
    const int target = blue->SpawnUnit(UT_TROOPER, H(5, 5), 0, false, 1.0f);
    Latch latch;
    factoryLog.pass = [&](ComputerPlayer& player, CancelToken& token) {
        player.SetUnitPlannedTile(mover, H(3, 3));
        player.AddPlannedDamage(target, 1.0f);
        token.Checkpoint();
    };
    ai->SetCheckpointHook([&](int n) {
        if (n == 1) latch.Hold();
    });
    ai->StartTurn();
    ai->Update();
    while (!latch.reached.load()) std::this_thread::yield();
    // The main thread goes on: lookups skip the plan, bookkeeping waits.
    for (int i = 0; i < 100; ++i) {
        ai->Update();
        manager.Update();
        EXPECT_EQ(ai->GetState(), kAIStatePlanning);
    }
    EXPECT_EQ(ai->FindUnitTargetingTile(H(3, 3), false), 0);
    EXPECT_EQ(ai->GetPlannedDamage(target), 0.0f);
    EXPECT_EQ(manager.FindUnitAt(H(5, 5)), blue->FindUnitById(target));
    ai->SetUnitImmobilized(mover, true);
    ai->RemoveUnit(mover);
    ai->AddUnitPlanner(mover);
    EXPECT_FALSE(ai->IsUnitImmobilized(mover));
    latch.release.store(true);
    while (ai->GetState() == kAIStatePlanning) ai->Update();
    // Applied in order after the join: immobilised, removed, added afresh.
    ASSERT_NE(ai->FindUnitPlanner(mover), nullptr);
    EXPECT_FALSE(ai->IsUnitImmobilized(mover));
    EXPECT_FLOAT_EQ(ai->GetPlannedDamage(target), 1.0f);
    EXPECT_TRUE(ai->IsDone());
    while (!ai->IsTurnOver()) ai->Update();
}

TEST_F(BookkeepingTest, StoppingAPlanMidwayCancelsAndJoins) {
    ports.threaded = true;
    std::atomic<int> checkpoints{0};
    factoryLog.pass = [&](ComputerPlayer&, CancelToken& token) {
        while (!token.Checkpoint()) ++checkpoints;
    };
    ai->StartTurn();
    ai->Update();
    while (checkpoints.load() < 10) std::this_thread::yield();
    EXPECT_TRUE(ai->IsPlanning());
    ai->StopPlanning();
    EXPECT_FALSE(ai->IsPlanning());
    EXPECT_FALSE(ai->IsDone());
    // The level exit deletes the teams next (the fixture's TearDown).
}

TEST_F(BookkeepingTest, ATestHookCancelsThePlanAtACheckpoint) {
    int steps = 0;
    factoryLog.pass = [&](ComputerPlayer&, CancelToken& token) {
        while (!token.Checkpoint()) ++steps;
    };
    ai->SetCheckpointHook([&](int n) {
        if (n == 5) ai->Cancel();
    });
    ai->StartTurn();
    ai->Update();
    EXPECT_EQ(steps, 4);
    EXPECT_FALSE(ai->IsDone());
    EXPECT_EQ(ai->GetState(), kAIStateFinishing);
}

}  // namespace
}  // namespace ai_test
