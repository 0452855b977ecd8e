// One frame's update of 20 sprite emitters of 500 particles each into their sorted quad lists, in the steady
// state where every particle is alive and some are reborn each frame. The budget is 2 ms per frame in a
// RelWithDebInfo build.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/core/random_streams.h"
#include "engine/scene/particle_emitter.h"

namespace {

engine::ParticleClock g_clock{0, 16};

void BM_TwentyEmittersOfFiveHundred(benchmark::State& state) {
    engine::SetParticleClockSource([] { return g_clock; });
    engine::RandomStreams::Create([] { return 99u; });
    engine::ParticleParams p;
    p.emissionDuration = 1000.0f;
    p.emissionRate = 250.0f;
    p.particleLife = 2.0f;  // 500 particles, births spread over the life
    p.startSize = 0.2f, p.endSize = 1.0f, p.sizeMode = 1;
    p.gravity = 1.0f, p.drag = 0.5f, p.speedMode = 1, p.speedMin = 1.0f, p.speedMax = 2.0f;
    p.positionMode = 2, p.positionRadiusMax = 0.5f, p.coneAngleMax = 30.0f;
    p.colourKeyCount = 3, p.colourKeys[0] = 0xFFFFFF00u, p.colourKeys[1] = 0x80FF4000u, p.colourKeys[2] = 0x00202020u;
    p.spriteFrameCount = 16, p.spriteColumns = 4, p.spriteRows = 4, p.spriteDuration = 2.0f;
    p.spinMode = 3, p.spinMin = 20.0f, p.spinMax = 90.0f, p.sortFlag = 1;
    std::vector<std::unique_ptr<engine::ParticleEmitter>> emitters;
    for (int i = 0; i < 20; ++i) {
        emitters.push_back(std::make_unique<engine::ParticleEmitter>(nullptr));
        emitters.back()->Setup(p);
        emitters.back()->SetRestart();
    }
    engine::Matrix44 placement;
    // Two seconds of frames first, so that every particle is alive.
    for (int f = 0; f < 130; ++f) {
        ++g_clock.frame;
        for (auto& e : emitters) e->UpdateOncePerFrame(placement, nullptr);
    }
    for (auto _ : state) {
        ++g_clock.frame;
        for (auto& e : emitters) e->UpdateOncePerFrame(placement, nullptr);
        benchmark::DoNotOptimize(emitters.front()->GetQuadCount());
    }
    engine::RandomStreams::Destroy();
    engine::SetParticleClockSource(nullptr);
}
BENCHMARK(BM_TwentyEmittersOfFiveHundred)->Unit(benchmark::kMicrosecond);

}  // namespace
