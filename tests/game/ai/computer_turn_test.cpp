// A computer turn in the level's battle driver: planning waits for the start-of-turn queue and the script
// blocks, sees the turn's income, and the turn ends once the goals have run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

#include "computer_battle.h"
#include "four_armies_battle.h"
#include "game/ai/front_goal.h"
#include "game/ai/level_computer_ports.h"
#include "game/ai/map_scan.h"
#include "game/ai/unit_goals.h"

namespace ai_test {
namespace {

using level_test::BattleDriver;

TEST(ComputerTurnTest, PlanningWaitsForTheTurnStartAndTheScriptsAndSeesTheTurnsIncome) {
    ComputerBattle battle("four_days");
    BattleDriver& driver = *battle.driver;
    ASSERT_TRUE(driver.Loaded());
    ASSERT_NE(battle.computer, nullptr);
    driver.LevelLog().difficulty = 2;
    driver.RunUntilIdle();
    ASSERT_EQ(driver.Current()->GetKind(), 1);
    Team& enemy = *driver.Teams().FindTeam(4);
    const int before = enemy.GetCash();

    int plans = 0;
    int stateAtPlan = -1;
    bool scriptAtPlan = true;
    int cashAtPlan = 0;
    battle.log.pass = [&](ComputerPlayer& player, CancelToken&) {
        ++plans;
        stateAtPlan = driver.State();
        scriptAtPlan = driver.TeamLog().scriptRunning;
        cashAtPlan = player.GetFunds();
    };
    // A script block runs from the enemy's turn start until 10 ticks into its turn.
    int sideTicks = 0;
    driver.afterTick = [&] {
        if (driver.Current() != &enemy) return;
        if (driver.State() == level_test::kStateSideTurn) ++sideTicks;
        driver.TeamLog().scriptRunning = sideTicks < 10;
        if (sideTicks < 10) {
            EXPECT_EQ(plans, 0);
        }
    };
    driver.EndTurn();
    ASSERT_TRUE(battle.PlayComputerTurn());
    EXPECT_EQ(plans, 1);
    EXPECT_EQ(stateAtPlan, level_test::kStateSideTurn);
    EXPECT_FALSE(scriptAtPlan);
    EXPECT_GE(sideTicks, 10);
    // Hard campaign: 40 and 50 for the refinery (the enemy's refineries pay through its funds, not the queue).
    EXPECT_EQ(cashAtPlan, before + 40 + 50);
    driver.afterTick = nullptr;
    driver.RunUntilIdle();
    EXPECT_EQ(driver.Current()->GetKind(), 1);
}

TEST(ComputerTurnTest, AThreadedPlanEndsTheTurnWhileTheBattleGoesOn) {
    ComputerBattle battle("four_days", true);
    BattleDriver& driver = *battle.driver;
    ASSERT_TRUE(driver.Loaded());
    driver.RunUntilIdle();
    std::atomic<int> plans{0};
    battle.log.pass = [&](ComputerPlayer&, CancelToken& token) {
        for (int i = 0; i < 100 && !token.Checkpoint(); ++i) {
        }
        ++plans;
    };
    for (int turn = 0; turn < 3; ++turn) {
        driver.EndTurn();
        ASSERT_TRUE(battle.PlayComputerTurn()) << turn << " state " << driver.State() << " ai "
                                                << battle.computer->GetState() << " kind "
                                                << driver.Current()->GetKind();
        driver.RunUntilIdle();
    }
    EXPECT_EQ(plans.load(), 3);
}

// The battle goes on while the plan is held at its first checkpoint: the enemy's trooper plays its idle
// loop frame after frame, and the turn completes after the release.
void HoldThePlanWhileTheBattleRuns(BattleDriver& driver, ComputerPlayer& computer,
                                   const std::function<void()>& startTurn, const std::function<bool()>& playTurn,
                                   const char* what, const std::function<void()>& atHold = nullptr) {
    Latch latch;
    computer.SetCheckpointHook([&latch, &atHold](int n) {
        if (n != 1) return;
        if (atHold) atHold();
        latch.Hold();
    });
    startTurn();
    while (!latch.reached.load()) {
        driver.Frame(BattleDriver::kTick);
        std::this_thread::yield();
    }
    // The enemy's trooper stands idle: each time its idle loop ends, the next frame plays it again.
    Unit* trooper = nullptr;
    for (int slot = 0; slot < kMaxTeamUnits && trooper == nullptr; ++slot) {
        Unit* unit = driver.Teams().FindTeam(4)->GetUnit(slot);
        if (unit != nullptr && unit->GetType() == UT_TROOPER) trooper = unit;
    }
    ASSERT_NE(trooper, nullptr) << what;
    units_test::ViewLog& view = dynamic_cast<units_test::RecordingUnitView&>(trooper->GetView()).Log();
    const long ticks = driver.Ticks();
    const std::size_t played = view.animations.size();
    for (int frame = 0; frame < 100; ++frame) {
        view.EndAnimation();
        driver.Frame(BattleDriver::kTick);
        ASSERT_EQ(driver.State(), level_test::kStateSideTurn) << frame << " " << what;
        ASSERT_EQ(computer.GetState(), kAIStatePlanning) << frame << " " << what;
    }
    EXPECT_EQ(driver.Ticks() - ticks, 100) << what;
    EXPECT_EQ(view.animations.size() - played, 100u) << what;
    EXPECT_TRUE(computer.IsPlanning()) << what;
    latch.release.store(true);
    EXPECT_TRUE(playTurn()) << what;
    computer.SetCheckpointHook(nullptr);
}

// A one-checkpoint pass of the test's and the whole standard pass on a small level; the whole pass on the
// four armies, held in its buying just after the truck was bought.
TEST(ComputerTurnTest, APlanHeldOnTheWorkerNeverHoldsTheBattle) {
    for (const bool wholePass : {false, true}) {
        ComputerBattle battle("four_days", true, {}, !wholePass);
        BattleDriver& driver = *battle.driver;
        ASSERT_TRUE(driver.Loaded());
        driver.RunUntilIdle();
        if (!wholePass) battle.log.pass = [](ComputerPlayer&, CancelToken& token) { token.Checkpoint(); };
        HoldThePlanWhileTheBattleRuns(
            driver, *battle.computer, [&] { driver.EndTurn(); }, [&] { return battle.PlayComputerTurn(); },
            wholePass ? "whole pass" : "one checkpoint");
    }
    FourArmiesBattle armies(true);
    ASSERT_TRUE(armies.loaded);
    armies.factory->pass = [&armies](ComputerPlayer& player, CancelToken&) {
        armies.PrepareTurn(player);
        player.RunPlanningPass();
    };
    int stepAtHold = 0;
    int boughtAtHold = 0;
    HoldThePlanWhileTheBattleRuns(
        *armies.driver, *armies.computer, [&] { armies.StartComputerTurn(); },
        [&] { return armies.PlayComputerTurn(); }, "four armies", [&] {
            stepAtHold = armies.computer->GetPassStep();
            boughtAtHold = armies.computer->GetBoughtCount();
        });
    EXPECT_EQ(stepAtHold, 3);
    EXPECT_EQ(boughtAtHold, 1);
}

// What a plan left: per own unit its planned tile and pending order kinds, per unit its planned damage.
struct PlanRecord {
    std::vector<std::tuple<int, int, int, int>> planners;  // unit id, planned tile (packed, or -1), orders, kinds
    std::vector<std::pair<int, float>> damage;
    bool operator==(const PlanRecord&) const = default;
};

// A plan that scans the map and gives every own unit a unit goal, scored and planned.
std::function<void(ComputerPlayer&, CancelToken&)> ScanAndPlanEveryUnit(TeamManager& teams) {
    return [&teams](ComputerPlayer& player, CancelToken& token) {
        RebuildTileScratch(player.PlanMap(), teams, 4, &player);
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            Unit* unit = player.GetTeam().GetUnit(slot);
            if (unit == nullptr || token.Checkpoint()) continue;
            auto goal = std::make_unique<AIUnitGoal>(player, *unit);
            goal->Score();
            goal->Plan();
            player.AddGoal(std::move(goal));
        }
    };
}

// One computer turn on the clash level with that plan; the record is taken on the main thread once the plan
// has been joined.
PlanRecord PlanClashTurn(bool threaded) {
    ComputerBattle battle("clash", threaded);
    BattleDriver& driver = *battle.driver;
    EXPECT_TRUE(driver.Loaded());
    driver.RunUntilIdle();
    TeamManager& teams = driver.Teams();
    battle.log.pass = ScanAndPlanEveryUnit(teams);
    PlanRecord record;
    driver.EndTurn();
    for (int i = 0; i < 100000 && battle.computer->GetState() != kAIStateRunGoals; ++i) {
        driver.Frame(BattleDriver::kTick);
        if (battle.computer->IsPlanning()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    EXPECT_EQ(battle.computer->GetState(), kAIStateRunGoals);
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        const AIUnitPlanner* planner = battle.computer->GetPlanner(slot);
        if (planner == nullptr) continue;
        HexCoord tile;
        const int packed = planner->GetTarget(tile) ? static_cast<int>(tile.Packed()) : -1;
        int kinds = 0;
        for (int i = 0; i < planner->GetPendingCount(); ++i) kinds = kinds * 16 + planner->GetPendingOrder(i)->Kind() + 1;
        record.planners.emplace_back(planner->GetUnitId(), packed, planner->GetPendingCount(), kinds);
    }
    for (int kind = 0; kind < kTeamKindCount; ++kind) {
        const Team* team = teams.FindTeam(kind);
        for (int slot = 0; team != nullptr && slot < kMaxTeamUnits; ++slot) {
            if (const Unit* unit = team->GetUnit(slot)) {
                record.damage.emplace_back(unit->GetId(), battle.computer->GetPlannedDamage(unit->GetId()));
            }
        }
    }
    // The goals then run to the end of the turn.
    EXPECT_TRUE(battle.PlayComputerTurn(20000));
    return record;
}

// The mean distance from the enemy's units to the blue units' centre.
float MeanDistanceToBlue(TeamManager& teams) {
    const Team& blue = *teams.FindTeam(1);
    const Team& enemy = *teams.FindTeam(4);
    int columns = 0;
    int rows = 0;
    int count = 0;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        if (const Unit* unit = blue.GetUnit(slot); unit != nullptr && unit->GetState() != kUnitGone) {
            columns += unit->GetHexPos().column;
            rows += unit->GetHexPos().row;
            ++count;
        }
    }
    const HexCoord centre = MakeHexCoord(columns / std::max(count, 1), rows / std::max(count, 1));
    float sum = 0.0f;
    int units = 0;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        if (const Unit* unit = enemy.GetUnit(slot); unit != nullptr && unit->GetState() != kUnitGone) {
            sum += static_cast<float>(HexDistance(unit->GetHexPos(), centre));
            ++units;
        }
    }
    return units > 0 ? sum / static_cast<float>(units) : 0.0f;
}

TEST(ComputerTurnTest, AFrontGoalLeadsItsSquadTowardTheEnemyOverTwoTurns) {
    ComputerBattle battle("clash");
    BattleDriver& driver = *battle.driver;
    ASSERT_TRUE(driver.Loaded());
    driver.RunUntilIdle();
    TeamManager& teams = driver.Teams();
    AIFrontGoal* front = nullptr;
    battle.log.pass = [&](ComputerPlayer& player, CancelToken& token) {
        RebuildTileScratch(player.PlanMap(), teams, 4, &player);
        if (front == nullptr) {
            // The blue cluster in the north of the level.
            auto goal = std::make_unique<AIFrontGoal>(player, 4, 1.0f, MakeHexCoord(3, 1));
            front = goal.get();
            player.AddGoal(std::move(goal));
        }
        for (int i = 0; i < player.GetGoalCount() && !token.Checkpoint(); ++i) player.GetGoal(i)->Score();
        for (int i = 0; i < player.GetGoalCount() && !token.Checkpoint(); ++i) player.GetGoal(i)->Plan();
    };
    const float before = MeanDistanceToBlue(teams);
    for (int turn = 0; turn < 2; ++turn) {
        driver.EndTurn();
        ASSERT_TRUE(battle.PlayComputerTurn(20000)) << turn;
        driver.RunUntilIdle();
        if (driver.State() != level_test::kStateSideTurn) break;
    }
    ASSERT_NE(front, nullptr);
    EXPECT_GT(front->GetSquadCount(), 0);
    EXPECT_LT(MeanDistanceToBlue(teams), before);
}

TEST(ComputerTurnTest, APlanIsTheSameTwiceAndOnEitherRunner) {
    const PlanRecord first = PlanClashTurn(false);
    const PlanRecord again = PlanClashTurn(false);
    const PlanRecord threaded = PlanClashTurn(true);
    EXPECT_EQ(first, again);
    EXPECT_EQ(first, threaded);
    // The plan did something: some unit moves or attacks.
    int orders = 0;
    for (const auto& p : first.planners) orders += std::get<2>(p);
    EXPECT_GT(orders, 0);
}

// That plan on the worker, 50 turns running, while the main thread ticks the battle, plays the units'
// animations through the recording views, looks up every hex and polls the driver. Built with the thread
// sanitizer this shows that nothing races; in any build, that no view and no main-thread port is touched
// from the worker (their fakes fail the test then).
TEST(ComputerTurnTest, FiftyPlansOnTheWorkerBesideABusyMainThread) {
    ComputerBattle battle("clash", true);
    BattleDriver& driver = *battle.driver;
    ASSERT_TRUE(driver.Loaded());
    driver.RunUntilIdle();
    TeamManager& teams = driver.Teams();
    std::atomic<int> plans{0};
    const auto pass = ScanAndPlanEveryUnit(teams);
    battle.log.pass = [&](ComputerPlayer& player, CancelToken& token) {
        pass(player, token);
        ++plans;
    };
    int found = 0;
    for (int round = 0; round < 50; ++round) {
        ASSERT_EQ(driver.Current()->GetKind(), 1) << round;
        driver.EndTurn();
        // Until this turn's plan has run and been joined.
        for (int frame = 0; frame < 100000 && (plans.load() <= round || battle.computer->IsPlanning()); ++frame) {
            for (const auto& view : driver.Views().logs) view->EndAnimation();
            driver.Frame(BattleDriver::kTick);
            for (int i = 0; i < kMapTileCount; ++i) {
                const HexCoord hex = MakeHexCoord(i / kMapRows, i % kMapRows);
                found += teams.FindUnitAt(hex) != nullptr ? 1 : 0;
                found += teams.FindAirUnitAt(hex) != nullptr ? 1 : 0;
            }
            std::this_thread::yield();
        }
        ASSERT_EQ(plans.load(), round + 1);
        ASSERT_FALSE(battle.computer->IsPlanning());
        // The goals are not carried out, so that the armies stand as they are for the next round.
        battle.computer->SetState(kAIStateGoalsFinished);
        ASSERT_TRUE(battle.PlayComputerTurn()) << round;
        driver.RunUntilIdle();
    }
    EXPECT_GT(found, 0);
}

}  // namespace
}  // namespace ai_test
