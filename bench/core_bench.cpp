// Throughput of the core's hot helpers: the CRC key and the guarded random draw.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/core/random_streams.h"

namespace {

void BM_Crc32OfLength64KiB(benchmark::State& state) {
    std::vector<std::uint8_t> data(64 * 1024);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 131u + 7u);
    for (auto _ : state) benchmark::DoNotOptimize(engine::Crc32OfLength(data.data(), data.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_Crc32OfLength64KiB);

void BM_NextRaw(benchmark::State& state) {
    engine::RandomStreams streams([] { return 12345u; });
    for (auto _ : state) benchmark::DoNotOptimize(streams.NextRaw(0));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NextRaw);

}  // namespace
