// The profile over the real save store in a temporary user folder: a write blocked by a folder standing
// where the temporary file goes, a user folder that cannot exist, and a damaged profile file that is set aside
// or, when it cannot be moved, left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
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

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class DamagedProfileTest : public ::testing::Test {
protected:
    DamagedProfileTest() : home_("XDG_DATA_HOME", (temp_.Path() / "data").c_str()) {
        engine::SetActiveArchiveSet(nullptr);
        EXPECT_TRUE(store_.InitUserFolder());
        // A profile that has been played: 777 starts.
        engine::NamedSaveBlob blob{store_};
        PlayerProfile profile{blob, store_};
        Settle(profile);
        profile.SetStartCount(777);
        profile.Save();
        EXPECT_FALSE(profile.IsDirty());
        const std::string whole = ReadAll(File());
        cut_ = whole.substr(0, 120);
        WriteAll(File(), cut_);
    }
    // Settles the profile and gives what it said on stderr, which must be one line.
    static std::string SettleSayingOneLine(PlayerProfile& profile) {
        ::testing::internal::CaptureStderr();
        EXPECT_GT(Settle(profile), 0);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        return said;
    }
    fs::path File(const char* name = "savedata.sav") const { return fs::path(store_.Folder()) / name; }

    testsupport::TempFolder temp_;
    platformtest::ScopedEnv home_;
    engine::SaveStore store_;
    std::string cut_;
};

TEST_F(DamagedProfileTest, ACutFileIsSetAsideWithOneLineAndTheGameStartsOnDefaults) {
    engine::NamedSaveBlob blob{store_};
    PlayerProfile profile{blob, store_};
    const std::string said = SettleSayingOneLine(profile);
    EXPECT_NE(said.find("savedata.sav.bad"), std::string::npos) << said;
    EXPECT_EQ(profile.GetStartCount(), 0);
    EXPECT_EQ(profile.GetMusicVolume(), 40);
    EXPECT_EQ(ReadAll(File("savedata.sav.bad")), cut_);

    // The defaults are the new profile; the set-aside copy stays.
    engine::NamedSaveBlob again{store_};
    PlayerProfile next{again, store_};
    EXPECT_EQ(Settle(next), 1);
    EXPECT_EQ(ReadAll(File("savedata.sav.bad")), cut_);
}

TEST_F(DamagedProfileTest, AFileThatCannotBeMovedAsideIsLeftAsItIs) {
    // A folder with something in it where the copy goes makes the rename fail, even for root.
    fs::create_directory(File("savedata.sav.bad"));
    WriteAll(File("savedata.sav.bad") / "keep", "x");
    engine::NamedSaveBlob blob{store_};
    PlayerProfile profile{blob, store_};
    const std::string said = SettleSayingOneLine(profile);
    EXPECT_NE(said.find("could not be moved aside"), std::string::npos) << said;
    EXPECT_EQ(profile.GetMusicVolume(), 40);
    profile.SetStartCount(1);
    profile.Save();
    EXPECT_EQ(ReadAll(File()), cut_);
    EXPECT_FALSE(fs::exists(File("savedata.sav.tmp")));
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
