// One weather frame of each kind at 30 frames a second: a step of 2000 flakes or 1000 drops and the fill of
// its list, and both together. The lists keep no vertex buffer: the device's upload is the renderer's cost.
#include <benchmark/benchmark.h>

#include "engine/render/dynamic_vertex_buffer.h"
#include "game/level/weather.h"

namespace {

using namespace game;

class BenchPort final : public WeatherPort {
public:
    std::uint32_t GetOptionBits() const override { return 0; }
    float GetFrameSeconds() const override { return kWeatherStep; }
    engine::Matrix44 GetCameraMatrix() const override { return camera; }
    WeatherAtmosphere ReadAtmosphere() const override { return {}; }
    void WriteAtmosphere(const WeatherAtmosphere&) override {}
    int GetMaterial(const char*) override { return 0; }
    void QueueList(engine::BillboardList& list, const engine::Vec3&) override { benchmark::DoNotOptimize(list.GetCount()); }
    void QueueList(engine::SortedBillboardList& list, const engine::Vec3&) override { benchmark::DoNotOptimize(list.GetCount()); }

    engine::Matrix44 camera;
};

struct NoBuffers {
    NoBuffers() {
        engine::SetBillboardBufferFactory(
            [](std::uint32_t) { return std::unique_ptr<engine::DynamicVertexBuffer>(); });
    }
    ~NoBuffers() { engine::SetBillboardBufferFactory(nullptr); }
};

void BM_WeatherFrame(benchmark::State& state) {
    NoBuffers noBuffers;
    BenchPort port;
    port.camera.InitRotationX(60.0f);
    port.camera.TranslateWorld(0.0f, 10.0f, -5.0f);
    WeatherManager snow(kWeatherSnow, port, 7u);
    WeatherManager rain(kWeatherRain, port, 7u);
    snow.Draw();
    rain.Draw();
    // A heavy shower, so that nearly every drop is listed (this seed reaches one within a few wraps).
    for (int i = 0; i < 256 * 200 && rain.GetRain()->GetIntensity() < 900; ++i) rain.Draw();
    state.counters["drops"] = rain.GetRain()->GetIntensity();
    for (auto _ : state) {
        snow.Draw();
        rain.Draw();
    }
}
BENCHMARK(BM_WeatherFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
