// Cancelling the planning pass: at a checkpoint of the buying, the front goals or the unit goals the pass
// returns at once without its done flag; in the scores or the plans the loop stops and the pass goes on. A
// level exit in mid-plan cancels and joins the planning thread.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "computer_battle.h"

namespace ai_test {
namespace {

using level_test::LandSource;

const std::string kMission =
    "[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n"
    "[UNLOCK]\nUT_LIGHT_TANK\nUT_TROOPER\nUT_TRUCK\n[ENDUNLOCK]\n";

// A factory with cash to buy, an engineer and a truck (goals without squads), tanks for the squads and
// unit goals, and blue units to make front goals on.
const char* kLevel =
    "structure C4 2 owner 4\nstructure D6 1\nstructure M3 6 owner 4\nstructure H10 8\n"
    "unit G3 2 owner 4\nunit F5 3 owner 4\nunit G6 3 owner 4\nunit H4 9 owner 4\nunit K12 3 owner 1\n"
    "unit K14 3 owner 1\n";

struct Outcome {
    bool done = false;
    int lastStep = 0;
    bool turnEnded = false;
};

// One computer turn, cancelled at checkpoint cancelAt (0: never); steps records the pass's step at every
// checkpoint.
Outcome PlayCancelledTurn(int cancelAt, std::map<int, int>* steps = nullptr) {
    ComputerBattle battle("cancel", false, WrittenLevel(LandSource(16, kLevel), kMission), false);
    EXPECT_TRUE(battle.driver->Loaded());
    ComputerPlayer& ai = *battle.computer;
    ai.SetCheckpointHook([&ai, cancelAt, steps](int n) {
        if (steps != nullptr) (*steps)[n] = ai.GetPassStep();
        if (n == cancelAt) ai.Cancel();
    });
    Outcome outcome;
    battle.driver->RunUntilIdle();
    battle.driver->EndTurn();
    outcome.turnEnded = battle.PlayComputerTurn(20000);
    outcome.done = ai.IsDone();
    outcome.lastStep = ai.GetPassStep();
    return outcome;
}

TEST(PlanningPassTest, ACancelReturnsAtOnceOrStopsOnlyTheScoringAndPlanningLoops) {
    std::map<int, int> steps;
    const Outcome whole = PlayCancelledTurn(0, &steps);
    ASSERT_TRUE(whole.turnEnded);
    EXPECT_TRUE(whole.done);
    EXPECT_EQ(whole.lastStep, 16);
    // The first and last checkpoint of every step.
    std::map<int, std::pair<int, int>> bounds;
    for (const auto& [n, step] : steps) {
        auto [it, added] = bounds.try_emplace(step, n, n);
        if (!added) it->second.second = n;
    }
    for (int step : {3, 7, 9, 10, 13}) ASSERT_TRUE(bounds.count(step)) << "no checkpoint in step " << step;
    for (const auto& [step, range] : bounds) {
        for (int n : {range.first, range.second}) {
            const Outcome cut = PlayCancelledTurn(n);
            EXPECT_TRUE(cut.turnEnded) << n;
            switch (step) {
                case 9:  // the scores stop, the pass goes on, and returns after the first unit goal
                    EXPECT_EQ(cut.lastStep, 10) << n;
                    EXPECT_FALSE(cut.done) << n;
                    break;
                case 13:  // the plans stop, the pass finishes
                    EXPECT_EQ(cut.lastStep, 16) << n;
                    EXPECT_TRUE(cut.done) << n;
                    break;
                default:  // buying, front goals, unit goals: at once
                    EXPECT_EQ(cut.lastStep, step) << n;
                    EXPECT_FALSE(cut.done) << n;
                    break;
            }
        }
    }
}

TEST(PlanningPassTest, ALevelExitInMidPlanCancelsAndJoinsTheThread) {
    std::atomic<bool> holding{false};
    {
        ComputerBattle battle("exit", true, WrittenLevel(LandSource(16, kLevel), kMission), false);
        ASSERT_TRUE(battle.driver->Loaded());
        ComputerPlayer& ai = *battle.computer;
        // The plan waits at its first checkpoint until it is cancelled.
        ai.SetCheckpointHook([&ai, &holding](int) {
            holding = true;
            while (!ai.IsCancelled()) std::this_thread::yield();
        });
        battle.driver->RunUntilIdle();
        battle.driver->EndTurn();
        for (int i = 0; i < 100000 && !holding; ++i) {
            battle.driver->Frame(level_test::BattleDriver::kTick);
            std::this_thread::yield();
        }
        ASSERT_TRUE(holding);
        EXPECT_TRUE(ai.IsPlanning());
        // The battle goes: the team manager stops the plan before the teams are deleted.
    }
    EXPECT_TRUE(holding);
}

}  // namespace
}  // namespace ai_test
