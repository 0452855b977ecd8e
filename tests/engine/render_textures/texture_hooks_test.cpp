// The texture table installed as the engine root's "textures" service.
#include "engine/platform/engine_hooks.h"
#include "engine/platform/scoped_env.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render/texture_table_hooks.h"
#include "engine/render_gl/engine_service_fixture.h"
#include "engine/render_gl/render_test_fixture.h"
#include "support/temp_folder.h"

namespace {

using engine::TextureTable;

class TextureHooksTest : public rendertest::EngineServiceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EngineServiceTest::SetUp());
        engine::InstallTextureTableHooks();
    }

    testsupport::TempFolder folder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path().c_str()};
};

TEST_F(TextureHooksTest, TheTableIsMadeOnTheDevicePurgedByGroupAndFreed) {
    engine::StartupParams record = WindowedRecord("Tinmarch texture test", 96, 64);
    record.textureTableSize = 8;
    auto* made = static_cast<engine::WindowsEngine*>(engine::CreateEngine(record));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(TextureTable::Size(), 8);
    EXPECT_EQ(TextureTable::Device(), engine::GetGraphicsDevice()->Device());
    made->SetResourceGroup(2);
    const int level = TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 8);
    made->SetResourceGroup(0);
    const int kept = TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 8);
    ASSERT_NE(level, 0);
    EXPECT_EQ(TextureTable::Get(level)->group, 2);
    engine::PurgeResourceGroup(2);
    EXPECT_EQ(TextureTable::Get(level), nullptr);
    EXPECT_NE(TextureTable::Get(kept), nullptr);
    delete engine::GetEngine();
    EXPECT_EQ(TextureTable::Size(), 0);
    EXPECT_EQ(TextureTable::Device(), nullptr);
}

}  // namespace
