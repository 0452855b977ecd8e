#include <gtest/gtest.h>

#include <string>

#include "engine/platform/engine_hooks.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "fake_material_textures.h"

namespace {

using namespace engine;

TEST(MaterialLibHooks, InitPurgeAndFreeDriveTheEnginesTable) {
    const MaterialHooks saved = GetEngineHooks().materials;
    mtltest::FakeMaterialTextures textures;
    SetMaterialTextureSource(&textures);
    InstallMaterialLibraryHooks();
    const MaterialHooks& hooks = GetEngineHooks().materials;
    ASSERT_TRUE(hooks.initLibrary);
    ASSERT_TRUE(hooks.initLibrary(32));
    MaterialLib& lib = GetMaterialLib();
    EXPECT_EQ(lib.Count(), 32);
    EXPECT_EQ(std::string(lib.Get(1)->GetName().GetNarrow()), "Default");
    EXPECT_EQ(lib.DebugMaterial()->GetTexture(0), 901);  // the checkerboard from the texture source
    const int extra = lib.Create("level", 0, 0, 0, 0);
    hooks.purge(0);  // without an engine everything is made in group 0
    EXPECT_EQ(lib.Get(extra), nullptr);
    EXPECT_EQ(lib.Get(1), nullptr);
    hooks.freeTable();
    EXPECT_EQ(lib.Count(), 0);
    EXPECT_EQ(lib.Get(1), nullptr);
    SetMaterialTextureSource(nullptr);
    InstallMaterialHooks(saved);
}

}  // namespace
