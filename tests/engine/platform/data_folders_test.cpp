#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "data_file_fixture.h"
#include "engine/platform/data_folders.h"
#include "scoped_env.h"
#include "zip_test_helpers.h"

namespace {

using namespace engine;

using platformtest::ScopedEnv;

TEST(DataFolders, BaseFolderEndsInOneSlash) {
    struct Case {
        const char* path;
        const char* expected;
    };
    for (const Case& c : {Case{"/games/tinmarch", "/games/tinmarch/"}, Case{"/games/tinmarch/", "/games/tinmarch/"},
                          Case{"C:\\Games\\Tinmarch\\", "C:/Games/Tinmarch/"}, Case{"", "/"}}) {
        SetBaseFolderNarrow(c.path);
        EXPECT_EQ(GetBaseFolderNarrow(), c.expected) << c.path;
        SetBaseFolder(WideString(c.path));
        EXPECT_STREQ(GetBaseFolder().GetNarrow(), c.expected) << c.path;
    }
    ASSERT_TRUE(SetBaseFolderToExe());
    EXPECT_EQ(GetBaseFolderNarrow(), std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/");
    SetBaseFolderNarrow("");
}

TEST(DataFolders, DataFolderIsTheBaseWhileAnArchiveIsMounted) {
    SetBaseFolderNarrow("/games/tinmarch");
    EXPECT_STREQ(GetDataFolder().GetNarrow(), "/games/tinmarch/Data/PC/");
    ArchiveSet set;
    SetActiveArchiveSet(&set);
    EXPECT_EQ(GetActiveArchiveSet(), &set);
    EXPECT_EQ(GetDataFolderNarrow(), "/games/tinmarch/Data/PC/");  // a set with nothing mounted
    ASSERT_TRUE(set.Mount(ziptest::OpenInMemory(testsupport::ZipWriter().Add("a", "b").Build()), "MainWad"));
    EXPECT_STREQ(GetDataFolder().GetNarrow(), "/games/tinmarch/");
    SetActiveArchiveSet(nullptr);
    SetBaseFolderNarrow("");
}

TEST(DataFolders, ShaderCacheFolderIsMadeWithItsParents) {
    testsupport::TempFolder folder;
    const std::string root = folder.Path().string();
    {
        ScopedEnv cache("XDG_CACHE_HOME", (root + "/cache/").c_str());
        EXPECT_EQ(GetShaderCacheFolderNarrow(), root + "/cache/Tinmarch/ShaderCache/");
        EXPECT_EQ(CreateShaderCacheFolder(), 1);
        EXPECT_EQ(CreateShaderCacheFolder(), 1);  // already there
        EXPECT_TRUE(std::filesystem::is_directory(root + "/cache/Tinmarch/ShaderCache"));
    }
    ScopedEnv home("HOME", (root + "/home").c_str());
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/cache"}) {
        ScopedEnv cache("XDG_CACHE_HOME", xdg);
        EXPECT_EQ(GetShaderCacheFolderNarrow(), root + "/home/.cache/Tinmarch/ShaderCache/");
    }
    ScopedEnv cache("XDG_CACHE_HOME", nullptr);
    EXPECT_EQ(CreateShaderCacheFolder(), 1);
    EXPECT_TRUE(std::filesystem::is_directory(root + "/home/.cache/Tinmarch/ShaderCache"));

    ASSERT_TRUE(folder.Write("blocked/Tinmarch", "file", 4));  // a file where a folder must go
    ScopedEnv blocked("XDG_CACHE_HOME", (root + "/blocked").c_str());
    EXPECT_EQ(CreateShaderCacheFolder(), 0);
}

}  // namespace
