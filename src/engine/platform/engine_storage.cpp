// CreateEngine's steps that reach the data folder and the player's save storage.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "engine/platform/windows_engine.h"

namespace engine {
namespace {

// "Tinmarch" under $XDG_DATA_HOME, else under $HOME/.local/share; empty when neither is an absolute path.
std::string FindUserFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/Tinmarch";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/share/Tinmarch";
    return {};
}

}  // namespace

void WindowsEngine::SetUpDataFolder() {}

void WindowsEngine::SetUpSaveStorage() {
    userFolder_ = FindUserFolder();
    if (userFolder_.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(userFolder_, error);
    if (error) {
        userFolder_.clear();
        return;
    }
    std::filesystem::permissions(userFolder_, std::filesystem::perms::owner_all, error);
}

void WindowsEngine::SetUpSaveBlob() {}

void WindowsEngine::MountDataArchives() {}

}  // namespace engine
