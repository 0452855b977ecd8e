#pragma once
// Helpers of the model tests: a fixture with the engine's material table and a model table of its own, and
// meshes built from plain position and triangle lists.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"

namespace scenetest {

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine::GetMaterialLib().Init(64, nullptr));
        ASSERT_TRUE(engine::ModelTable::Init(tableSize_));
        engine::SetModelGroupSource([this] { return group_; });
        engine::GetModelQueryOptions() = engine::ModelQueryOptions();
    }
    void TearDown() override {
        engine::ModelTable::Free();
        engine::SetModelGroupSource(nullptr);
        engine::GetMaterialLib().Free();
        engine::GetModelQueryOptions() = engine::ModelQueryOptions();
    }

    int tableSize_ = 64;
    int group_ = 0;
};

struct Tri {
    int a, b, c;
    int material = 0;
    std::uint16_t mask = 0;
};

// A model of the positions and triangles with texture coordinates from x and z, white corners, finalised.
inline engine::MeshModel* BuildMesh(const char* name, const std::vector<engine::Vec3>& positions,
                                    const std::vector<Tri>& triangles) {
    engine::MeshModel* model = engine::NewMeshModel(engine::WideString(name), static_cast<int>(positions.size()),
                                                    static_cast<int>(triangles.size()));
    if (model == nullptr) return nullptr;
    for (std::size_t i = 0; i < positions.size(); ++i) model->mesh->vertices[i].position = positions[i];
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        engine::MeshTriangle& t = model->mesh->triangles[i];
        const int corners[3] = {triangles[i].a, triangles[i].b, triangles[i].c};
        for (int c = 0; c < 3; ++c) {
            t.corners[c] = corners[c];
            const engine::Vec3& p = positions[static_cast<std::size_t>(corners[c])];
            t.uv[c][0] = t.uv[c][2] = p.x * 0.1f;
            t.uv[c][1] = t.uv[c][3] = p.z * 0.1f + p.y * 0.1f;
        }
        t.material = triangles[i].material;
        t.smoothingGroups = triangles[i].mask;
    }
    model->SetWhiteCornerColours();
    if (!model->Finalise()) return nullptr;
    return model;
}

inline bool Finite(const engine::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

inline void ExpectVecNear(const engine::Vec3& a, const engine::Vec3& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace scenetest
