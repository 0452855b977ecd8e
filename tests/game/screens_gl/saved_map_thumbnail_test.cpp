// A pass-and-play game resumed from a profile slot while the comic's resource group is current selects its
// map in the picker: the thumbnail is made in the group that is never purged, so leaving the battle and
// purging the comic's group leave the picture the setups draw alive.
#include <gtest/gtest.h>

#include <vector>

#include "../core/game_fixture.h"
#include "../screens/screen_fixture.h"
#include "engine/image/image_writers.h"
#include "engine/image/pixel_format.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/engine_event_drain.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/scoped_env.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render/texture_table_hooks.h"
#include "game/battle/hex_map_source.h"
#include "game/core/player_profile.h"
#include "game/screens/game_screens.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/profile_view.h"
#include "render_gl/engine_service_fixture.h"
#include "support/gl_test_environment.h"
#include "support/temp_folder.h"
#include "sys/gpu_test_hooks.h"

namespace {

using game::ZoneId;

// The recording platform whose resource groups are the engine's own.
class GroupPlatform final : public core_test::FakePlatform {
public:
    using FakePlatform::FakePlatform;
    void SelectResourceGroup(int group) override {
        FakePlatform::SelectResourceGroup(group);
        if (engine::Engine* root = engine::GetEngine()) root->SetResourceGroup(group);
    }
    void PurgeResourceGroup(int group) override {
        FakePlatform::PurgeResourceGroup(group);
        engine::PurgeResourceGroup(group);
    }
};

// The game over the core's recording fakes with the game's profile, the engine's groups and texture table,
// and the screens with the real map picker.
class SavedMapThumbnailTest : public core_test::GameTest {
protected:
    SavedMapThumbnailTest() {
        parts.profile = &realProfile;
        parts.platform = &groupPlatform;
        parts.screens = &screens;
        kit.ui.textures = &textures;
        kit.ui.profile = &view;
    }
    void SetUp() override {
        ASSERT_TRUE(testsupport::GlEnvironment().Ready());
        engine::ClearEngineHooks();
        sys::ResetGpuHooks();
        engine::InstallGraphicsDeviceHooks();
        engine::InstallTextureTableHooks();
        // The engine points the data folder at the program; the test's folder is put back.
        const std::string dataFolder = engine::GetBaseFolderNarrow();
        engine::StartupParams record;
        record.title = "Tinmarch saved map thumbnail";
        record.windowed = 1;
        record.width = 96;
        record.height = 64;
        record.captioned = 1;
        made = engine::CreateEngine(record);
        ASSERT_NE(made, nullptr);
        engine::SetBaseFolderNarrow(dataFolder.c_str());
        ASSERT_NO_FATAL_FAILURE(GameTest::SetUp());
        realProfile.ResetDefaults();
        realProfile.AttachGame(game.get());
        realProfile.SetMatchOptions({1000, 1000, 0, 0});
        game::RegisterMapPicker(kit.registry);
        // The turn panels a resumed battle shows.
        kit.RegisterRecording(ZoneId::kTopBar);
        kit.RegisterRecording(ZoneId::kTurnButton);
    }
    void TearDown() override {
        kit.registry.DestroyZones();
        GameTest::TearDown();
        delete engine::GetEngine();
        engine::ClearEngineHooks();
        sys::ResetGpuHooks();
        testsupport::GlEnvironment().MakeCurrent();
        platformtest::DrainEngineEvents();
    }

    testsupport::TempFolder userFolder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", userFolder_.Path().c_str()};
    engine::Engine* made = nullptr;
    GroupPlatform groupPlatform{log};
    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    game::PlayerProfile realProfile{blob, store};
    game::ProfileView view{realProfile};
    game::TableTextureLoader textures;
    screens_test::ScreenKit kit;
    game::GameScreens screens{kit.registry};
};

TEST_F(SavedMapThumbnailTest, AThumbnailSelectedByASlotLoadDuringAComicOutlivesTheBattleAndTheComic) {
    ASSERT_TRUE(data.Write("Campaigns/Skirmish/standardpassandplaymaps.TXT", "Hills\n"));
    const std::vector<std::uint8_t> texels(8 * 8 * 4, 0x80);
    const auto tga = engine::EncodeTga({engine::SurfaceFormat::kA8R8G8B8, 8, 8, 32, texels.data()});
    ASSERT_TRUE(data.Write("Campaigns/Skirmish/Hills/thumbnail.TGA", std::string(tga.begin(), tga.end())));
    std::vector<std::uint8_t> map;
    std::string error;
    ASSERT_TRUE(game::BuildHexMapFromSource(
        level_test::LandSource(10, "structure C2 6 owner 1\nstructure C6 6 owner 2\nunit A1 17 owner 1\n"
                                   "unit A9 17 owner 2\n"),
        map, error))
        << error;
    ASSERT_TRUE(data.Write("Campaigns/Skirmish/Hills/GameMap.Hex", std::string(map.begin(), map.end())));
    // The picker reads its list when the zones are made.
    ASSERT_TRUE(kit.registry.CreateZones());
    auto* picker = dynamic_cast<game::MapPickerZone*>(kit.registry.Get(ZoneId::kMapPicker));
    ASSERT_NE(picker, nullptr);

    // A pass-and-play battle on the map, saved to slot 1 and left.
    realProfile.SetDefaultMapName("Campaigns/Skirmish/Hills");
    groupPlatform.onFrame = [this](int) { game->RequestQuit(); };
    game->SetState(game::kGameLoadPassAndPlay);
    groupPlatform.delta = 0.0f;
    game->RunMainLoop();
    ASSERT_NE(game->GetTeamManager(), nullptr);
    realProfile.SaveGameToSlot(1);
    game->EndLevel();
    ASSERT_EQ(picker->GetCurrentMap().thumbnail, 0u) << "nothing selected the map in the picker yet";

    // The comic's group is current when the slot loads.
    made->SetResourceGroup(2);
    ASSERT_TRUE(realProfile.LoadGameFromSlot(1));
    const std::uint32_t thumbnail = picker->GetCurrentMap().thumbnail;
    ASSERT_NE(thumbnail, 0u);
    game->EndLevel();
    engine::PurgeResourceGroup(2);

    const engine::Texture* kept = engine::TextureTable::Get(static_cast<int>(thumbnail));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->group, 0);
    int width = 0;
    int height = 0;
    EXPECT_TRUE(textures.GetSize(picker->GetCurrentMap().thumbnail, width, height));
    EXPECT_EQ(width, 8);
}

}  // namespace
