// The profile over the real save store in a temporary user folder: a write blocked by a folder standing
// where the temporary file goes, and a user folder that cannot exist.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../../engine/platform/scoped_env.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/save_store.h"
#include "game/core/player_profile.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using game::PlayerProfile;

// Polls as the game's loading state does; the number of polls until idle, -1 when it never is.
int Settle(PlayerProfile& profile) {
    profile.StartLoad();
    for (int poll = 1; poll <= 16; ++poll) {
        const int state = profile.Poll();
        if (state == game::kProfileNoFile) profile.Save();
        if (state == game::kProfileIdle) return poll;
    }
    return -1;
}

TEST(ProfileFileTest, AFailedWriteLeavesTheOldFileLoadable) {
    testsupport::TempFolder temp;
    platformtest::ScopedEnv home("XDG_DATA_HOME", (temp.Path() / "data").c_str());
    engine::SetActiveArchiveSet(nullptr);
    engine::SaveStore store;
    ASSERT_TRUE(store.InitUserFolder());
    {
        engine::NamedSaveBlob blob{store};
        PlayerProfile profile{blob, store};
        EXPECT_LE(Settle(profile), 4);
        profile.SetStartCount(5);
        profile.Save();
        ASSERT_FALSE(profile.IsDirty());
        // A folder where the temporary file goes makes every write fail, even for root.
        fs::create_directory(fs::path(store.Folder()) / "savedata.sav.tmp");
        profile.SetStartCount(6);
        profile.Save();
        EXPECT_EQ(profile.Poll(), game::kProfileIdle);
        EXPECT_TRUE(profile.IsDirty());
    }
    fs::remove(fs::path(store.Folder()) / "savedata.sav.tmp");
    engine::NamedSaveBlob blob{store};
    PlayerProfile again{blob, store};
    EXPECT_EQ(Settle(again), 1);
    EXPECT_EQ(again.GetStartCount(), 5);
}

TEST(ProfileFileTest, WithoutAUserFolderTheProfileRunsOnDefaults) {
    testsupport::TempFolder temp;
    const std::string file = temp.File("plain");
    ASSERT_TRUE(temp.Write("plain", "x", 1));
    platformtest::ScopedEnv xdg("XDG_DATA_HOME", file.c_str());
    platformtest::ScopedEnv home("HOME", file.c_str());
    engine::SaveStore store;
    EXPECT_FALSE(store.InitUserFolder());
    engine::NamedSaveBlob blob{store};
    PlayerProfile profile{blob, store};
    EXPECT_LE(Settle(profile), 4);
    EXPECT_EQ(profile.GetMusicVolume(), 40);
    EXPECT_TRUE(profile.IsDirty());
    EXPECT_FALSE(fs::exists(file + "/Tinmarch"));
}

}  // namespace
