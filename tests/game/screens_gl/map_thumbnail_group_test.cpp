// The map picker's thumbnail through the real texture table: selected while a level's or a comic's resource
// group is current, it is still made in the group that is never purged, so purging that group leaves the
// picture the setups draw alive and the current group as it was.
#include <gtest/gtest.h>

#include <vector>

#include "../screens/screen_fixture.h"
#include "engine/image/image_writers.h"
#include "engine/image/pixel_format.h"
#include "engine/platform/scoped_env.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render/texture_table_hooks.h"
#include "game/screens/map_picker_zone.h"
#include "render_gl/engine_service_fixture.h"
#include "support/temp_folder.h"

namespace {

using game::ZoneId;

class MapThumbnailGroupTest : public rendertest::EngineServiceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EngineServiceTest::SetUp());
        engine::InstallTextureTableHooks();
        made = engine::CreateEngine(WindowedRecord("Tinmarch map thumbnail", 96, 64));
        ASSERT_NE(made, nullptr);
        data = std::make_unique<units_test::DataFolder>();
    }
    void TearDown() override {
        kit.reset();
        data.reset();
        EngineServiceTest::TearDown();
        DrainEvents();
    }

    testsupport::TempFolder folder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path().c_str()};
    engine::Engine* made = nullptr;
    std::unique_ptr<units_test::DataFolder> data;
    std::unique_ptr<screens_test::ScreenKit> kit;
};

TEST_F(MapThumbnailGroupTest, AThumbnailSelectedDuringAComicSurvivesTheComicsPurge) {
    ASSERT_TRUE(data->Write("Campaigns/Skirmish/standardpassandplaymaps.TXT", "Hills\n"));
    const std::vector<std::uint8_t> texels(8 * 8 * 4, 0x80);
    const auto tga = engine::EncodeTga({engine::SurfaceFormat::kA8R8G8B8, 8, 8, 32, texels.data()});
    ASSERT_TRUE(data->Write("Campaigns/Skirmish/Hills/thumbnail.TGA", std::string(tga.begin(), tga.end())));
    kit = std::make_unique<screens_test::ScreenKit>();
    game::TableTextureLoader textures;
    kit->ui.textures = &textures;
    game::RegisterMapPicker(kit->registry);
    ASSERT_TRUE(kit->registry.CreateZones());
    auto* picker = dynamic_cast<game::MapPickerZone*>(kit->registry.Get(ZoneId::kMapPicker));
    ASSERT_NE(picker, nullptr);

    made->SetResourceGroup(2);
    picker->SelectMap("Campaigns\\Skirmish\\Hills");
    const std::uint32_t thumbnail = picker->GetCurrentMap().thumbnail;
    ASSERT_NE(thumbnail, 0u);
    EXPECT_EQ(made->GetResourceGroup(), 2);
    engine::PurgeResourceGroup(2);
    const engine::Texture* kept = engine::TextureTable::Get(static_cast<int>(thumbnail));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->group, 0);
    int width = 0;
    int height = 0;
    EXPECT_TRUE(textures.GetSize(thumbnail, width, height));
    EXPECT_EQ(width, 8);
    kit->registry.DestroyZones();
    EXPECT_EQ(engine::TextureTable::Get(static_cast<int>(thumbnail)), nullptr);
}

}  // namespace
