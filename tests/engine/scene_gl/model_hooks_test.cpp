// The model table as the engine root's service: made at the record's size with the collision volume, purged
// by group, freed at shutdown.
#include <gtest/gtest.h>

#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/scoped_env.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/camera.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"
#include "render_gl/engine_service_fixture.h"
#include "support/temp_folder.h"

namespace {

using namespace engine;

class RecordingCamera final : public Camera {
public:
    void Render(RenderQueue*, RenderTarget&) override {}
    void DrawSkybox() override {}
    void SetWorldMatrix(const Matrix44& m) override { worlds.push_back(m); }
    std::vector<Matrix44> worlds;
};

class ModelHooksTest : public rendertest::EngineServiceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EngineServiceTest::SetUp());
        InstallMaterialLibraryHooks();
        InstallModelTableHooks();
        DrainEvents();
    }
    testsupport::TempFolder folder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path().c_str()};
    platformtest::ScopedEnv cacheHome_{"XDG_CACHE_HOME", folder_.Path().c_str()};
    // The engine's window takes a screenless driver only when the environment names it.
    platformtest::ScopedEnv videoDriver_{"SDL_VIDEODRIVER", "offscreen"};
};

TEST_F(ModelHooksTest, TheEngineMakesPurgesAndFreesTheTable) {
    StartupParams record = WindowedRecord("Tinmarch model hooks test", 64, 48);
    record.modelTableSize = 12;
    record.animatedMeshPicking = 1;
    Engine* made = CreateEngine(record);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(ModelTable::Size(), 12);
    EXPECT_EQ(GetModelQueryOptions().animatedMeshPicking, 1);
    // The collision volume exists, with its buffers on the engine's device.
    const MeshModel* volume = GetMeshModelByHandle(GetCollisionVolumeModel());
    ASSERT_NE(volume, nullptr);
    EXPECT_NE(volume->GetBatch(0)->vertexBuffer, nullptr);
    EXPECT_NE(GetCollisionVolumeMaterial(), 0);
    // A box is drawn as the volume cube scaled to its size and moved to its centre, then by the world.
    RecordingCamera camera;
    Matrix44 world;
    world.m[3][0] = 10;
    MaterialDef material;
    DrawCollisionVolume({{0, 0, 0}, {2, 4, 6}}, camera, world, material);
    ASSERT_EQ(camera.worlds.size(), 1u);
    const Matrix44& m = camera.worlds[0];
    EXPECT_FLOAT_EQ(m.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(m.m[1][1], 4.0f);
    EXPECT_FLOAT_EQ(m.m[2][2], 6.0f);
    EXPECT_FLOAT_EQ(m.m[3][0], 11.0f);
    EXPECT_FLOAT_EQ(m.m[3][1], 2.0f);
    EXPECT_FLOAT_EQ(m.m[3][2], 3.0f);
    made->SetResourceGroup(3);
    const int level = CreateBoxModel({{0, 0, 0}, {1, 1, 1}}, WideString("level"), 0);
    ASSERT_NE(level, 0);
    EXPECT_EQ(GetModelByHandle(level)->GetGroup(), 3);
    PurgeResourceGroup(3);
    EXPECT_EQ(GetModelByHandle(level), nullptr);
    EXPECT_NE(GetModelByHandle(GetCollisionVolumeModel()), nullptr);
    delete made;
    EXPECT_EQ(ModelTable::Size(), 0);
}

}  // namespace
