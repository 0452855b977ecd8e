#include "engine/platform/user_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace engine {

namespace {

constexpr const char* kFolderName = "Tinmarch";
constexpr const char* kDefaultUserName = "Player";

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string Join(std::string base, const char* tail) {
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    if (base.back() != '/') base += '/';
    return base + tail;
}

}  // namespace

UserAccount LookUpUserAccount() {
    UserAccount account;
    long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 1024);
    for (;;) {
        passwd entry{};
        passwd* result = nullptr;
        const int error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || result == nullptr) return account;
        account.found = true;
        if (entry.pw_name != nullptr) account.name = entry.pw_name;
        if (entry.pw_dir != nullptr) account.home = entry.pw_dir;
        return account;
    }
}

std::string UserFolderFor(const char* xdgDataHome, const char* home, const UserAccountLookup& lookup) {
    if (IsAbsolute(xdgDataHome)) return Join(xdgDataHome, kFolderName);
    if (IsAbsolute(home)) return Join(Join(home, ".local/share"), kFolderName);
    if (!lookup) return {};
    const UserAccount account = lookup();
    if (!account.found || !IsAbsolute(account.home.c_str())) return {};
    return Join(Join(account.home, ".local/share"), kFolderName);
}

std::string UserFolder(const UserAccountLookup& lookup) {
    return UserFolderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), lookup);
}

std::string UserName(const UserAccountLookup& lookup) {
    if (lookup) {
        UserAccount account = lookup();
        if (account.found && !account.name.empty()) return account.name;
    }
    return kDefaultUserName;
}

bool CreateUserFolder(const std::string& path) {
    if (!IsAbsolute(path.c_str())) return false;
    std::string part;
    part.reserve(path.size());
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == '/' && i > 0)) {
            // Parents that exist are left alone; any failure shows in the final check.
            if (!part.empty() && part.back() != '/') ::mkdir(part.c_str(), 0700);
        }
        if (i < path.size()) part += path[i];
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace engine
