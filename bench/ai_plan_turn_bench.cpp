// The computer player on the largest battle: four armies of 48 units on a 48 x 38 map of land, water,
// shore and cliffs with a dozen structures (tests/data/levels/four_armies). One computer turn planned on
// the main thread: the whole planning pass (wishes and buying, the hand-over, the map scan, front goals
// on the other armies, the scores, a goal for every idle unit, the order and the plans), with the turn
// start's structure goals and the planners' transport and resupply goals in play. It is timed alone: the
// battle is set up again for every turn, outside the timing. (With 48 units the side is above the live-unit
// cap, so the pass buys nothing here.) Beside it, one battle frame of the main thread (the teams' tick and
// the animation update) while the worker runs the pass turn after turn, and the same frame with the worker
// idle: their medians compare what the plan takes from the battle.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include <time.h>

#include "../tests/game/level/battle_driver.h"
#include "game/ai/ai_goal_factory.h"
#include "game/ai/computer_player.h"
#include "game/ai/level_computer_ports.h"
#include "game/ai/unit_goals.h"
#include "game/teams/team.h"

namespace {

using namespace game;
using level_test::BattleDriver;

// The standard goals and pass, with the pass handed to the bench when it asks for it.
class BenchFactory : public AIGoalFactory {
public:
    void RunPlanningPass(ComputerPlayer& player, CancelToken& token) override {
        if (pass) {
            pass(player, token);
        } else {
            AIGoalFactory::RunPlanningPass(player, token);
        }
    }
    std::function<void(ComputerPlayer&, CancelToken&)> pass;
};

struct Battle {
    explicit Battle(bool threaded) {
        AIGoal::ResetIdCounter();
        level_test::DriverSetup setup;
        setup.makeComputer = [this, threaded](Team& team, Level& level, TeamManager& teams) {
            auto made = std::make_unique<BenchFactory>();
            factory = made.get();
            auto ai = std::make_unique<ComputerPlayer>(team, std::make_unique<LevelComputerPorts>(level, teams, threaded),
                                                       std::move(made));
            computer = ai.get();
            return ai;
        };
        driver = std::make_unique<BattleDriver>("four_armies", setup);
        if (!driver->Loaded() || computer == nullptr) return;
        driver->RunUntilIdle();
        loaded = true;
    }
    // Ends the turns of the three other sides until the computer's turn starts.
    void StartComputerTurn() {
        for (int i = 0; i < 3 && driver->Current()->GetKind() != kTeamEnemy; ++i) {
            driver->EndTurn();
            driver->RunUntilIdle();
        }
    }

    BenchFactory* factory = nullptr;
    ComputerPlayer* computer = nullptr;
    std::unique_ptr<BattleDriver> driver;
    bool loaded = false;
};

// The processor time of the calling thread: on a busy machine it tells the plan's own work from waiting.
double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_PlanComputerTurn(benchmark::State& state) {
    double cpuMilliseconds = 0.0;
    int goals = 0;
    int orders = 0;
    for (auto _ : state) {
        Battle battle(false);
        if (!battle.loaded) {
            state.SkipWithError("the four armies did not load");
            return;
        }
        double seconds = 0.0;
        battle.factory->pass = [&](ComputerPlayer& player, CancelToken&) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = ThreadCpuSeconds();
            player.RunPlanningPass();
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            cpuMilliseconds = (ThreadCpuSeconds() - cpuStart) * 1000.0;
        };
        battle.StartComputerTurn();
        // The inline plan runs in the first frames of the turn.
        for (int i = 0; i < 100 && battle.computer->GetState() < kAIStateRunGoals; ++i) {
            battle.driver->Frame(BattleDriver::kTick);
        }
        state.SetIterationTime(seconds);
        goals = battle.computer->GetGoalCount();
        orders = 0;
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            if (const AIUnitPlanner* planner = battle.computer->GetPlanner(slot)) orders += planner->GetPendingCount();
        }
    }
    state.counters["cpu_ms"] = cpuMilliseconds;  // of the last turn
    state.counters["goals"] = goals;
    state.counters["orders"] = orders;
}
BENCHMARK(BM_PlanComputerTurn)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// One main-thread frame during the computer's turn, its driver polling a worker that plans (argument 1)
// or waits (argument 0) all the while.
void BM_BattleFrameBesideThePlan(benchmark::State& state) {
    const bool planning = state.range(0) != 0;
    Battle battle(true);
    if (!battle.loaded) {
        state.SkipWithError("the four armies did not load");
        return;
    }
    std::atomic<bool> stop{false};
    std::atomic<int> plans{0};
    battle.factory->pass = [&](ComputerPlayer& player, CancelToken&) {
        while (!stop.load()) {
            if (planning) {
                // Every pass starts from a turn start: no goal, no claim.
                player.ClearGoals();
                for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
                    if (Unit* unit = player.GetTeam().GetUnit(slot)) unit->SetAIGoalId(0);
                }
                player.RunPlanningPass();
                ++plans;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    };
    battle.StartComputerTurn();
    battle.driver->Frame(BattleDriver::kTick);
    if (!battle.computer->IsPlanning()) {
        state.SkipWithError("the plan did not start");
        return;
    }
    for (auto _ : state) battle.driver->Frame(BattleDriver::kTick);
    stop.store(true);
    while (battle.computer->IsPlanning()) battle.driver->Frame(BattleDriver::kTick);
    state.counters["plans"] = plans.load();
}
BENCHMARK(BM_BattleFrameBesideThePlan)
    ->Arg(0)
    ->Arg(1)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
