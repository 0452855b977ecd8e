#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/platform/user_folder.h"
#include "scoped_env.h"
#include "support/temp_folder.h"

namespace {

using engine::UserAccount;
using platformtest::ScopedEnv;

engine::UserAccountLookup Account(bool found, std::string name, std::string home) {
    return [=] { return UserAccount{found, name, home}; };
}

unsigned Mode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

TEST(UserFolder, ChoosesTheFirstAbsoluteBase) {
    struct Case {
        const char* xdg;
        const char* home;
        bool found;
        const char* accountHome;
        const char* expected;
    };
    const Case cases[] = {
        {"/data", "/home/a", true, "/pw", "/data/Tinmarch"},
        {"/data/", "/home/a", true, "/pw", "/data/Tinmarch"},
        {"relative/data", "/home/a", true, "/pw", "/home/a/.local/share/Tinmarch"},
        {"", "/home/a/", true, "/pw", "/home/a/.local/share/Tinmarch"},
        {nullptr, "/home/a", true, "/pw", "/home/a/.local/share/Tinmarch"},
        {nullptr, nullptr, true, "/pw", "/pw/.local/share/Tinmarch"},
        {nullptr, "", true, "/pw", "/pw/.local/share/Tinmarch"},
        {nullptr, "home", true, "/pw", "/pw/.local/share/Tinmarch"},
        {nullptr, nullptr, false, "/pw", ""},
        {nullptr, nullptr, true, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engine::UserFolderFor(c.xdg, c.home, Account(c.found, "user", c.accountHome)), c.expected)
            << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
}

TEST(UserFolder, ReadsTheEnvironmentAndThePasswordDatabase) {
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/somewhere/data");
        EXPECT_EQ(engine::UserFolder(), "/somewhere/data/Tinmarch");
    }
    ScopedEnv xdg("XDG_DATA_HOME", "not/absolute");
    ScopedEnv home("HOME", nullptr);
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(engine::UserFolder(), std::string(entry->pw_dir) + "/.local/share/Tinmarch");
}

TEST(UserFolder, UserNameComesFromTheAccountOrIsPlayer) {
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(engine::UserName(), entry->pw_name);
    EXPECT_EQ(engine::LookUpUserAccount().home, entry->pw_dir);

    EXPECT_EQ(engine::UserName(Account(true, "ada", "/h")), "ada");
    EXPECT_EQ(engine::UserName(Account(false, "", "")), "Player");
    EXPECT_EQ(engine::UserName(Account(true, "", "/h")), "Player");
}

TEST(UserFolder, CreatesTheFolderAndItsParentsPrivately) {
    testsupport::TempFolder temp;
    const std::string folder = temp.File("a/b/Tinmarch");
    ASSERT_TRUE(engine::CreateUserFolder(folder));
    EXPECT_EQ(Mode(folder), 0700u);
    EXPECT_EQ(Mode(temp.File("a")), 0700u);
    // An existing folder is fine.
    EXPECT_TRUE(engine::CreateUserFolder(folder));
    EXPECT_TRUE(engine::CreateUserFolder(folder + "/"));

    ASSERT_TRUE(temp.Write("file", "x", 1));
    EXPECT_FALSE(engine::CreateUserFolder(temp.File("file")));
    EXPECT_FALSE(engine::CreateUserFolder(temp.File("file/Tinmarch")));
    EXPECT_FALSE(engine::CreateUserFolder("relative/Tinmarch"));
    EXPECT_FALSE(engine::CreateUserFolder(""));
}

}  // namespace
