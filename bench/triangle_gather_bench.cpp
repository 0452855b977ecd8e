// 1000 thin oriented-box queries (a unit's line of sight: 0.2 x 0.2 x 12, turned about Y) against a
// 50,000-triangle terrain with a box tree. The budget is 25 ms for all 1000 in a RelWithDebInfo build.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"
#include "engine/scene/scene_node.h"
#include "mdl_builder.h"

namespace {

constexpr int kSide = 158;  // 2 x 158 x 158 = 49,928 triangles

void BM_ThinBoxGathers(benchmark::State& state) {
    engine::GetMaterialLib().Init(64, nullptr);
    engine::ModelTable::Init(16);
    mdlbuild::AuthorMesh mesh;
    for (int i = 0; i <= kSide; ++i) {
        for (int j = 0; j <= kSide; ++j) {
            mdlbuild::AuthorVertex v;
            v.position = {static_cast<float>(j), std::sin(i * 0.2f) + std::cos(j * 0.3f), static_cast<float>(i)};
            mesh.vertices.push_back(v);
        }
    }
    for (int i = 0; i < kSide; ++i) {
        for (int j = 0; j < kSide; ++j) {
            const int s = i * (kSide + 1) + j;
            mdlbuild::AuthorTriangle a, b;
            a.corners[0] = s, a.corners[1] = s + kSide + 1, a.corners[2] = s + 1;
            b.corners[0] = s + 1, b.corners[1] = s + kSide + 1, b.corners[2] = s + kSide + 2;
            mesh.triangles.push_back(a);
            mesh.triangles.push_back(b);
        }
    }
    mesh.boxTree = true;
    std::string error;
    engine::MeshModel* model = mdlbuild::BuildModel(mesh, nullptr, error);
    engine::SceneNode* node = engine::SceneNode::Init(engine::kNodeMesh, "terrain");
    node->SetPayload(model->handle);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> where(10, kSide - 10), turn(0, 360);
    std::vector<engine::Matrix44> queries(1000);
    for (engine::Matrix44& m : queries) {
        m.InitRotationY(turn(random));
        m.m[3][0] = where(random), m.m[3][1] = 0.5f, m.m[3][2] = where(random);
    }
    const engine::Aabb box{{-0.1f, -0.1f, 0.0f}, {0.1f, 0.1f, 12.0f}};
    engine::TriangleList list(1250);
    for (auto _ : state) {
        int total = 0;
        for (const engine::Matrix44& m : queries) {
            total += engine::SceneNode::GatherTrianglesInBox(box, &list, node, m)->GetCount();
        }
        benchmark::DoNotOptimize(total);
    }
    node->Destroy();
    engine::ModelTable::Free();
    engine::GetMaterialLib().Free();
}
BENCHMARK(BM_ThinBoxGathers)->Unit(benchmark::kMillisecond);

}  // namespace
