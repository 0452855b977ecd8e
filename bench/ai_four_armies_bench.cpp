// The map searches the computer player makes, on the largest battle (tests/data/levels/four_armies: 48 x 38,
// four armies of 48 units, a dozen structures) with the level's own map and the teams' own unit lookups: a
// route for each of the computer's ground units to the blue HQ, a route to a goal no ground unit reaches, a
// fighter's movement fill, the attack fill at ranges 1 to 8, and the whole computer turn played out headless
// (the plan and every order ticked to its end) at normal speed and with fast-forward, in CPU time.
#include <benchmark/benchmark.h>

#include <vector>

#include "../tests/game/ai/four_armies_battle.h"
#include "game/battle/hex_map.h"
#include "game/battle/path_finder.h"
#include "game/level/level.h"

namespace {

using namespace game;
using ai_test::FourArmiesBattle;
using level_test::BattleDriver;

HexMap& MapOf(FourArmiesBattle& battle) { return battle.driver->GetLevel().GetHexMap(); }

// The computer's units that walk, at most 44.
std::vector<Unit*> GroundUnits(FourArmiesBattle& battle) {
    std::vector<Unit*> units;
    for (int slot = 0; slot < kMaxTeamUnits && units.size() < 44; ++slot) {
        Unit* unit = battle.Enemy().GetUnit(slot);
        if (unit != nullptr && unit->GetState() == kUnitIdle && !IsAircraftType(unit->GetType()) &&
            unit->GetType() < UT_SUBMARINE) {
            units.push_back(unit);
        }
    }
    return units;
}

void BM_RouteToTheBlueHQ(benchmark::State& state) {
    FourArmiesBattle battle(false, 48);
    if (!battle.loaded) return state.SkipWithError("the four armies did not load");
    const std::vector<Unit*> units = GroundUnits(battle);
    const HexCoord hq = level_test::L(FourArmiesBattle::kBlueHQ);
    HexMap& map = MapOf(battle);
    HexPath path;
    std::size_t next = 0;
    int found = 0;
    for (auto _ : state) {
        const Unit& unit = *units[next];
        next = (next + 1) % units.size();
        found += map.FindRoute(unit.GetHexPos(), hq, path, unit.GetType(), 2, true) ? 1 : 0;
        benchmark::DoNotOptimize(path);
    }
    state.counters["units"] = static_cast<double>(units.size());
    state.counters["found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RouteToTheBlueHQ)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_RouteToAnUnreachableGoal(benchmark::State& state) {
    FourArmiesBattle battle(false, 48);
    if (!battle.loaded) return state.SkipWithError("the four armies did not load");
    const std::vector<Unit*> units = GroundUnits(battle);
    HexMap& map = MapOf(battle);
    const Unit* tank = nullptr;
    for (const Unit* unit : units) tank = tank == nullptr && unit->GetType() == UT_LIGHT_TANK ? unit : tank;
    if (tank == nullptr) tank = units.front();
    // The first water hex no route of the tank reaches: the search exhausts all it can reach.
    HexPath path;
    HexCoord goal{-1, -1};
    for (int c = 0; c < kMapColumns && !IsValidHex(goal); ++c) {
        for (int r = 0; r < kMapRows && !IsValidHex(goal); ++r) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (IsValidHex(hex) && map.GetTile(hex).terrain == kTerrainWater &&
                !map.FindRoute(tank->GetHexPos(), hex, path, tank->GetType(), 2, false)) {
                goal = hex;
            }
        }
    }
    if (!IsValidHex(goal)) return state.SkipWithError("no unreachable water hex");
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.FindRoute(tank->GetHexPos(), goal, path, tank->GetType(), 2, false));
    }
    state.counters["nodes"] = PathFinder::ForThisThread().LastStats().nodesTaken;
}
BENCHMARK(BM_RouteToAnUnreachableGoal)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_FighterMoveFill(benchmark::State& state) {
    FourArmiesBattle battle(false, 48);
    if (!battle.loaded) return state.SkipWithError("the four armies did not load");
    Unit* fighter = battle.FirstOfType(UT_FIGHTER);
    if (fighter == nullptr) return state.SkipWithError("no fighter");
    fighter->SetFuel(fighter->GetParams().fuelCapacity);
    HexMap& map = MapOf(battle);
    for (auto _ : state) {
        map.ClearMarkBits(kMarkAll);
        map.SetTileScratch(0.0f);
        map.ClearRangeSteps();
        map.MarkMoveRange(*fighter);
        benchmark::DoNotOptimize(map.GetMarkBits(fighter->GetHexPos()));
    }
    int reached = 0;
    for (int c = 0; c < kMapColumns; ++c) {
        for (int r = 0; r < kMapRows; ++r) {
            const HexCoord hex = MakeHexCoord(c, r);
            reached += IsValidHex(hex) && (map.GetMarkBits(hex) & kMarkMove) != 0 ? 1 : 0;
        }
    }
    state.counters["tiles"] = reached;
}
BENCHMARK(BM_FighterMoveFill)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// The attack fill of a medium tank from its hex, the range from 1 to the argument.
void BM_AttackFill(benchmark::State& state) {
    FourArmiesBattle battle(false, 48);
    if (!battle.loaded) return state.SkipWithError("the four armies did not load");
    const Unit* tank = battle.FirstOfType(UT_MED_TANK);
    if (tank == nullptr) return state.SkipWithError("no tank");
    HexMap& map = MapOf(battle);
    const int range = static_cast<int>(state.range(0));
    const HexCoord hex = tank->GetHexPos();
    for (auto _ : state) {
        map.ClearMarkBits(kMarkAll);
        map.ClearRangeSteps();
        map.FloodAttackRange(hex, 0, 1, range, map.GetTile(hex).level, tank);
        benchmark::DoNotOptimize(map.GetMarkBits(hex));
    }
}
BENCHMARK(BM_AttackFill)->DenseRange(1, 8)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// One whole computer turn from the level's start, inline: the plan, then every frame until the turn is over,
// at normal speed (argument 0) and with fast-forward on (1). The counter gives the turn's length in game
// seconds.
void BM_WholeComputerTurnHeadless(benchmark::State& state) {
    const bool fastForward = state.range(0) != 0;
    double gameSeconds = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        FourArmiesBattle battle(false, 48);
        if (!battle.loaded) return state.SkipWithError("the four armies did not load");
        battle.StartComputerTurn();
        battle.driver->Battle().fastForward = fastForward;
        state.ResumeTiming();
        int frames = 0;
        while (frames < 50000 && !battle.computer->IsTurnOver()) {
            battle.driver->Frame(BattleDriver::kTick);
            ++frames;
        }
        state.PauseTiming();
        if (!battle.computer->IsTurnOver()) return state.SkipWithError("the turn did not end");
        gameSeconds = frames * BattleDriver::kTick;
        state.ResumeTiming();
    }
    state.counters["game_s"] = gameSeconds;
}
BENCHMARK(BM_WholeComputerTurnHeadless)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
