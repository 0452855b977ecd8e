// Throughput of the wide string's hot paths: making and destroying short names on the pool, and comparing
// names without regard to case.
#include <benchmark/benchmark.h>

#include "engine/core/string_pool.h"
#include "engine/core/wide_string.h"

namespace {

void BM_MakeAndDestroyShortString(benchmark::State& state) {
    engine::AllowStringPool(0);
    for (auto _ : state) {
        engine::WideString s("Tank_Heavy_Blue1");  // 16 characters
        benchmark::DoNotOptimize(s.Data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MakeAndDestroyShortString);

void BM_EqualsNamesDifferingInCase(benchmark::State& state) {
    engine::AllowStringPool(0);
    const engine::WideString a("Campaigns/Skirmish/Map_Desert_01");  // 32 characters
    const engine::WideString b("CAMPAIGNS/SKIRMISH/MAP_DESERT_01");
    for (auto _ : state) {
        benchmark::DoNotOptimize(&a);
        benchmark::DoNotOptimize(a.Equals(b));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EqualsNamesDifferingInCase);

}  // namespace
