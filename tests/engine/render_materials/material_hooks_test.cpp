// The material manager as the engine root's service, over the engine's device, shader managers, texture
// table and timer; and the engine's stage textures keeping their placeholders.
#include "engine/core/event_queue.h"
#include "engine/core/frame_timer.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/scoped_env.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_manager_hooks.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table_hooks.h"
#include "engine/render_gl/engine_service_fixture.h"
#include "material_draw_fixture.h"
#include "support/temp_folder.h"

namespace {

using namespace engine;

class MaterialHooksTest : public rendertest::EngineServiceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EngineServiceTest::SetUp());
        InstallShaderManagerHooks();
        InstallTextureTableHooks();
        InstallMaterialLibraryHooks();
        InstallMaterialManagerHooks();
        DrainEvents();
    }
    void TearDown() override {
        EngineServiceTest::TearDown();
        SetMaterialTextureSource(nullptr);
    }

    static StartupParams Record() { return WindowedRecord("Tinmarch material hooks test", 64, 48); }

    testsupport::TempFolder folder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path().c_str()};
    platformtest::ScopedEnv cacheHome_{"XDG_CACHE_HOME", folder_.Path().c_str()};
};

TEST_F(MaterialHooksTest, TheEngineMakesTheManagerOverItsServicesAndDeletesIt) {
    EXPECT_EQ(GetMaterialManager(), nullptr);
    Engine* made = CreateEngine(Record());
    ASSERT_NE(made, nullptr);
    MaterialManager* manager = GetMaterialManager();
    ASSERT_NE(manager, nullptr);
    for (int i = 0; i < kShaderSetCount; ++i) EXPECT_EQ(manager->Set(i)->Index(), i);
    // The device's batches bind their materials through it.
    EXPECT_EQ(GetGraphicsDevice()->AttachedMaterialBinder(), manager);

    // Materials load their textures from the texture table: the debug material has its checkerboard.
    const MaterialDef* debug = GetMaterialLib().DebugMaterial();
    ASSERT_NE(debug, nullptr);
    EXPECT_EQ(TextureTable::GetWidth(debug->GetTexture(0)), 1024u);

    // A material binds on the engine's device; its missing texture takes the placeholder from the table.
    MaterialDef material;
    material.shaderSetIndex = kSetTexture;
    EXPECT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1);
    EXPECT_NE(GetShaderConstantCache()->Current(), nullptr);
    int placeholders = 0;
    for (int handle = 1; handle <= TextureTable::Size(); ++handle) {
        placeholders += TextureTable::GetWidth(handle) == 32u ? 1 : 0;
    }
    EXPECT_EQ(placeholders, 1);

    // Deleting the manager leaves the device without a binder rather than with a dangling one.
    GetEngineHooks().materials.deleteManager();
    EXPECT_EQ(GetGraphicsDevice()->AttachedMaterialBinder(), nullptr);
    delete made;
    EXPECT_EQ(GetMaterialManager(), nullptr);
}

TEST_F(MaterialHooksTest, WithoutTheShaderManagersNoManagerIsMade) {
    EXPECT_FALSE(GetEngineHooks().materials.createManager());
    EXPECT_EQ(GetMaterialManager(), nullptr);
}

using mtltest::MaterialDrawTest;

TEST_F(MaterialDrawTest, PlaceholdersAreMadeOnceAndAgainAfterTheirGroupIsPurged) {
    const int check = stageTextures->CheckTexture();
    ASSERT_NE(check, 0);
    EXPECT_EQ(stageTextures->CheckTexture(), check);
    EXPECT_EQ(TextureTable::GetWidth(check), 32u);
    const int cube = stageTextures->CheckCubeMap();
    ASSERT_NE(cube, 0);
    EXPECT_EQ(stageTextures->CheckCubeMap(), cube);
    EXPECT_NE(TextureTable::Get(cube)->flags & kTextureCube, 0u);

    TextureTable::PurgeGroup(-1);
    const int remade = stageTextures->CheckTexture();
    ASSERT_NE(remade, 0);
    EXPECT_NE(TextureTable::Get(remade), nullptr);
    EXPECT_NE(stageTextures->CheckCubeMap(), 0);

    // The adapter materials load through.
    TextureTableMaterialSource source;
    EXPECT_EQ(source.MakeCheckTexture(16, 8, kCheckBlue, kCheckRed), 0);
    const int square = source.MakeCheckTexture(16, 16, kCheckBlue, kCheckRed);
    EXPECT_EQ(source.Width(square), 16);
    EXPECT_EQ(source.Load(WideString("Missing/None"), 1), 0);
}

}  // namespace
