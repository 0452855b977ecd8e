#pragma once
// The user folder, where the program keeps the player's own files (settings, the save data, screen dumps,
// crash reports), and the user's name.
#include <functional>
#include <string>

namespace engine {

// The password-database entry of the user running the program.
struct UserAccount {
    bool found = false;
    std::string name;
    std::string home;
};

// Finds the account; tests pass a lookup of their own.
using UserAccountLookup = std::function<UserAccount()>;

// getpwuid_r(getuid()).
UserAccount LookUpUserAccount();

// "Tinmarch" under the user's data folder: $XDG_DATA_HOME when it holds an absolute path, else
// $HOME/.local/share when HOME is absolute, else the account's home + "/.local/share". Null stands for an
// unset variable. Empty when none of them gives an absolute path.
std::string UserFolderFor(const char* xdgDataHome, const char* home, const UserAccountLookup& lookup);
// The same from the process's environment.
std::string UserFolder(const UserAccountLookup& lookup = LookUpUserAccount);

// The account's name, or "Player" when there is none.
std::string UserName(const UserAccountLookup& lookup = LookUpUserAccount);

// Creates the folder and its missing parents with mode 0700; an existing folder is fine. False when the
// path is not absolute or some part of it cannot be created or is not a folder.
bool CreateUserFolder(const std::string& path);

}  // namespace engine
