#include "engine/platform/data_folders.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "engine/platform/archive_set.h"
#include "engine/platform/loose_file_resolver.h"

namespace engine {

namespace {

constexpr const char* kDataPrefix = "Data/PC/";

std::atomic<ArchiveSet*> activeSet{nullptr};
// Empty until set: paths are then relative to the current folder.
std::string baseFolder;

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

void SetActiveArchiveSet(ArchiveSet* set) { activeSet.store(set); }

ArchiveSet* GetActiveArchiveSet() { return activeSet.load(); }

void SetBaseFolderNarrow(const char* path) {
    std::string folder = path != nullptr ? path : "";
    for (char& c : folder) {
        if (c == '\\') c = '/';
    }
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    folder.push_back('/');
    baseFolder = std::move(folder);
    // Names cached for the old folders may not hold for the new one's contents.
    ForgetLooseFileNames();
}

void SetBaseFolder(const WideString& path) { SetBaseFolderNarrow(path.GetNarrow()); }

bool SetBaseFolderToExe() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return false;
        if (static_cast<std::size_t>(n) < buffer.size()) {
            std::string exe(buffer.data(), static_cast<std::size_t>(n));
            const std::size_t slash = exe.rfind('/');
            exe.resize(slash == std::string::npos ? 0 : slash);
            SetBaseFolderNarrow(exe.c_str());
            return true;
        }
        buffer.resize(buffer.size() * 2);  // the link may have been cut short
    }
}

WideString GetBaseFolder() { return WideString(baseFolder.c_str()); }

const std::string& GetBaseFolderNarrow() { return baseFolder; }

std::string GetDataFolderNarrow() {
    const ArchiveSet* set = activeSet.load();
    if (set != nullptr && set->Count() > 0) return baseFolder;
    return baseFolder + kDataPrefix;
}

WideString GetDataFolder() { return WideString(GetDataFolderNarrow().c_str()); }

std::string GetShaderCacheFolderNarrow() {
    std::string cache;
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        cache = xdg;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) return {};
        cache = home + "/.cache";
    }
    if (cache.back() != '/') cache.push_back('/');
    return cache + "Tinmarch/ShaderCache/";
}

int CreateShaderCacheFolder() {
    const std::string folder = GetShaderCacheFolderNarrow();
    if (folder.empty()) return 0;
    // Make each missing folder from the top down, so that every parent is created too.
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return 0;
    }
    ForgetLooseFileNames();
    return IsFolder(folder) ? 1 : 0;
}

}  // namespace engine
