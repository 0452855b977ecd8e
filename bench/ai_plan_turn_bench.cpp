// The computer player on the largest battle: four armies of 48 units on a 48 x 38 map of land, water, shore
// and cliffs with a dozen structures (tests/data/levels/four_armies), the enemy's side in the middle of its
// war (see tests/game/ai/four_armies_battle.h): a fighter short of fuel, a tank without ammunition, a GRUNT
// waiting to be carried. One computer turn planned on the main thread: the whole planning pass (wishes and
// buying, the hand-over, the map scan, front goals on the other armies, the scores, a goal for every idle
// unit, the order and the plans), with the turn start's structure goals and the resupply and transport goals
// of the last turn's end in play. The argument is the side's live units: 48, the most to plan for (at the
// cap, it buys nothing), or 34 (it buys the truck wished for last turn on its factory's pad). A turn is timed
// alone, in the processor time of its thread: the battle is set up again for every turn, outside the timing,
// and a turn whose pass misses a goal kind or the purchase gives an error instead of a figure. The same pass
// with 27, 96 and 192 units on the battle shows how it scales. Beside it, one battle frame of the main thread
// (the teams' tick and the animation update) while the worker runs the pass turn after turn (first argument
// 1), and the same frame with the worker idle (0): their medians compare what the plan takes from the battle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include <time.h>

#include "../tests/game/ai/four_armies_battle.h"
#include "game/ai/unit_goals.h"

namespace {

using namespace game;
using ai_test::FourArmiesBattle;
using level_test::BattleDriver;

// The processor time of the calling thread: on a busy machine it tells the plan's own work from waiting.
double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// What the pass left: its goals by kind, the wishes it made and the units it bought (waiting on a pad).
struct PassFigures {
    std::array<int, kGoalTarget + 1> kinds{};
    int goals = 0;
    int orders = 0;
    int wishes = 0;
    int bought = 0;

    explicit PassFigures(const ComputerPlayer& computer) {
        goals = computer.GetGoalCount();
        for (int i = 0; i < goals; ++i) ++kinds[static_cast<std::size_t>(computer.GetGoal(i)->GetKind())];
        wishes = computer.GetWishCount();
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            if (const AIUnitPlanner* planner = computer.GetPlanner(slot)) orders += planner->GetPendingCount();
            const Unit* unit = computer.GetTeam().GetUnit(slot);
            if (unit != nullptr && unit->GetState() == kUnitNotPlaced) ++bought;
        }
    }
    // The kinds the bench is about, and the purchase when the side is below the cap.
    bool AllInPlay(int liveUnits) const {
        return kinds[kGoalStructure] > 0 && kinds[kGoalFront] > 0 && kinds[kGoalResupply] > 0 &&
               kinds[kGoalTransport] > 0 && wishes > 0 && (bought > 0) == (liveUnits < kMaxLiveUnitsForBuying);
    }
};

// Plans the computer's first turn on the battle, inline, and gives the pass's processor time on its thread as
// the iteration's time, its wall-clock time as a counter; false, with an error for the bench, when the battle
// did not load.
bool TimeOneTurn(benchmark::State& state, FourArmiesBattle& battle) {
    if (!battle.loaded) {
        state.SkipWithError("the four armies did not load");
        return false;
    }
    double seconds = 0.0;
    double cpuMilliseconds = 0.0;
    battle.factory->pass = [&](ComputerPlayer& player, CancelToken&) {
        battle.PrepareTurn(player);
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
    state.SetIterationTime(cpuMilliseconds / 1000.0);
    state.counters["wall_ms"] = seconds * 1000.0;
    return true;
}

void BM_PlanComputerTurn(benchmark::State& state) {
    const int liveUnits = static_cast<int>(state.range(0));
    for (auto _ : state) {
        FourArmiesBattle battle(false, liveUnits);
        if (!TimeOneTurn(state, battle)) return;
        const PassFigures figures(*battle.computer);
        if (!figures.AllInPlay(liveUnits)) {
            state.SkipWithError("a goal kind or the purchase is missing from the pass");
            return;
        }
        state.counters["goals"] = figures.goals;
        state.counters["structure"] = figures.kinds[kGoalStructure];
        state.counters["front"] = figures.kinds[kGoalFront];
        state.counters["resupply"] = figures.kinds[kGoalResupply];
        state.counters["transport"] = figures.kinds[kGoalTransport];
        state.counters["wishes"] = figures.wishes;
        state.counters["bought"] = figures.bought;
        state.counters["orders"] = figures.orders;
    }
}
BENCHMARK(BM_PlanComputerTurn)
    ->Arg(48)
    ->Arg(FourArmiesBattle::kAtWar)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The same pass on the battle with fewer units in all (the argument): a quarter each, but the computer keeps
// at least the 18 its fighter, tank and GRUNT need (27 in all: 18 and three to each other side). The
// counters give the computer's units, the goals and the orders.
void BM_PlanScaling(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    const int own = std::max(FourArmiesBattle::kFewestLiveUnits, total / 4);
    const int others = (total - own) / 3;
    for (auto _ : state) {
        FourArmiesBattle battle(false, own, others);
        if (!TimeOneTurn(state, battle)) return;
        const PassFigures figures(*battle.computer);
        if (figures.goals == 0) {
            state.SkipWithError("the pass planned no goal");
            return;
        }
        int units = 0;
        for (const int kind : {kTeamBlue, kTeamGreen, kTeamYellow, kTeamEnemy}) {
            if (const Team* team = battle.driver->Teams().FindTeam(kind)) units += team->CountLiveUnits();
        }
        state.counters["units"] = units;
        state.counters["own"] = battle.Enemy().CountLiveUnits();
        state.counters["goals"] = figures.goals;
        state.counters["orders"] = figures.orders;
    }
}
BENCHMARK(BM_PlanScaling)
    ->Arg(27)
    ->Arg(96)
    ->Arg(192)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// One main-thread frame during the computer's turn, its driver polling a worker that plans (first argument
// 1) or waits (0) all the while; the second argument is the side's live units. Every pass starts from the
// turn's start; with 34 units, from the second pass on the truck the first one bought waits on the pad, so
// they wish but find the pad taken.
void BM_BattleFrameBesideThePlan(benchmark::State& state) {
    const bool planning = state.range(0) != 0;
    FourArmiesBattle battle(true, static_cast<int>(state.range(1)));
    if (!battle.loaded) {
        state.SkipWithError("the four armies did not load");
        return;
    }
    std::atomic<bool> stop{false};
    std::atomic<int> plans{0};
    battle.factory->pass = [&](ComputerPlayer& player, CancelToken&) {
        while (!stop.load()) {
            if (planning) {
                battle.PlanFromTurnStart(player);
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
    ->ArgsProduct({{0, 1}, {48, FourArmiesBattle::kAtWar}})
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
