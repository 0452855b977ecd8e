// The threat range a player sees while holding a unit (the preview of the game's pointer input, on the main
// thread), on the largest battle: four armies of 48 units on a 48 x 38 map of land, water, shore, cliffs and
// a dozen structures (tests/data/levels/four_armies). The argument is the unit type: a light tank, whose
// move allowance reaches 8 land hexes and which needs a clear line of sight, and an artillery piece firing 2
// to 3 hexes from each of the 5 land hexes it reaches. Processor time, as the machine may be busy.
#include <benchmark/benchmark.h>

#include "../tests/game/level/battle_driver.h"
#include "game/teams/team_manager.h"

namespace {

using namespace game;
using level_test::BattleDriver;

Unit* FirstOfType(TeamManager& teams, int type) {
    for (int slot = 0; slot < kTeamKindCount; ++slot) {
        Team* team = teams.GetTeam(slot);
        for (int index = 0; team != nullptr && index < kMaxTeamUnits; ++index) {
            Unit* unit = team->GetUnit(index);
            if (unit != nullptr && unit->GetType() == type && unit->GetState() != kUnitGone) return unit;
        }
    }
    return nullptr;
}

void BM_MarkThreatRange(benchmark::State& state) {
    BattleDriver driver("four_armies");
    driver.RunUntilIdle();
    Unit* unit = FirstOfType(driver.Teams(), static_cast<int>(state.range(0)));
    if (!driver.Loaded() || unit == nullptr) {
        state.SkipWithError("no unit of the type on the four armies' battle");
        return;
    }
    HexMap& map = driver.GetLevel().GetHexMap();
    for (auto _ : state) {
        map.MarkThreatRange(*unit);
        benchmark::DoNotOptimize(map.GetMarkBits(unit->GetHexPos()));
    }
    int reach = 0;
    int threatened = 0;
    for (int c = 0; c < kMapColumns; ++c) {
        for (int r = 0; r < kMapRows; ++r) {
            const std::uint16_t bits = map.GetMarkBits(MakeHexCoord(c, r));
            reach += (bits & kMarkMove) != 0 ? 1 : 0;
            threatened += (bits & (kMarkAttack | kMarkAttackExt)) != 0 ? 1 : 0;
        }
    }
    state.counters["reach"] = reach;
    state.counters["threatened"] = threatened;
}
BENCHMARK(BM_MarkThreatRange)
    ->ArgName("type")
    ->Arg(UT_LIGHT_TANK)
    ->Arg(UT_ARTILLERY)
    ->MeasureProcessCPUTime()
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
