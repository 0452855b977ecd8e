// Finalise of a 20,000-triangle grid whose triangles are listed in shuffled order: face normals, smoothing
// and tangents, bounds, batches with first-use numbering and the vertex-cache face order. The budget is
// 150 ms per model in a RelWithDebInfo build.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_def.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"

namespace {

constexpr int kCells = 100;  // 100 x 100 cells, two triangles each

void BM_FinaliseShuffledGrid(benchmark::State& state) {
    engine::GetMaterialLib().Init(64, nullptr);
    engine::ModelTable::Init(16);
    const int handle = engine::CreateGridModel(engine::WideString("grid"), 100, 100, 1, kCells);
    engine::MeshModel* grid = engine::GetMeshModelByHandle(handle);
    std::mt19937 random(3);
    std::shuffle(grid->mesh->triangles.begin(), grid->mesh->triangles.end(), random);
    for (engine::MeshTriangle& t : grid->mesh->triangles) t.smoothingGroups = 1;
    for (auto _ : state) {
        const bool built = grid->Finalise();
        benchmark::DoNotOptimize(built);
    }
    engine::ModelTable::Free();
    engine::GetMaterialLib().Free();
}
BENCHMARK(BM_FinaliseShuffledGrid)->Unit(benchmark::kMillisecond);

}  // namespace
