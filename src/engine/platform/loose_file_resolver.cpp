#include "engine/platform/loose_file_resolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace engine {

namespace {

struct FolderNames {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    // Folded name -> the name on disk.
    std::unordered_map<std::string, std::string> byFolded;
};

std::mutex cacheLock;
std::unordered_map<std::string, FolderNames> cache;

std::string Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

// The cache key of a folder: its path without a final "/", "/" for the root and "." for the current folder.
std::string FolderKey(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    return folder.empty() ? std::string(".") : std::string(folder);
}

bool ReadFolder(const std::string& folder, const struct stat& st, FolderNames& out) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return false;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());  // byte order: of names that fold alike, the first stays
    out = FolderNames{};
    out.device = st.st_dev;
    out.inode = st.st_ino;
    out.modified = st.st_mtim;
    for (std::string& name : names) {
        if (name == "." || name == "..") continue;
        out.byFolded.emplace(Fold(name), std::move(name));
    }
    return true;
}

// The name on disk in `folder` that folds like `name`.
std::optional<std::string> FindFolded(const std::string& folder, std::string_view name) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    std::lock_guard<std::mutex> guard(cacheLock);
    auto it = cache.find(folder);
    if (it == cache.end() || it->second.device != st.st_dev || it->second.inode != st.st_ino ||
        it->second.modified.tv_sec != st.st_mtim.tv_sec || it->second.modified.tv_nsec != st.st_mtim.tv_nsec) {
        FolderNames names;
        if (!ReadFolder(folder, st, names)) return std::nullopt;
        it = cache.insert_or_assign(folder, std::move(names)).first;
    }
    const auto found = it->second.byFolded.find(Fold(name));
    if (found == it->second.byFolded.end()) return std::nullopt;
    return found->second;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string ResolveLooseFilePath(std::string_view path) {
    std::string out(path);
    if (path.empty() || Exists(out)) return out;

    out.clear();
    bool resolving = true;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t end = path.find('/', at);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(at, end - at);
        if (resolving && !part.empty() && part != "." && part != "..") {
            std::string candidate = out;
            candidate.append(part);
            if (!Exists(candidate)) {
                if (const auto found = FindFolded(FolderKey(out), part)) {
                    candidate = out + *found;
                } else {
                    resolving = false;  // nothing below a missing component can exist
                }
            }
            out = std::move(candidate);
        } else {
            out.append(part);
        }
        if (end < path.size()) out.push_back('/');
        at = end + 1;
    }
    return out;
}

void ForgetLooseFolder(std::string_view folder) {
    std::lock_guard<std::mutex> guard(cacheLock);
    cache.erase(FolderKey(folder));
}

void ForgetLooseFileNames() {
    std::lock_guard<std::mutex> guard(cacheLock);
    cache.clear();
}

}  // namespace engine
