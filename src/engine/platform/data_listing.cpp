#include "engine/platform/data_listing.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>

#include "engine/platform/data_folders.h"
#include "engine/platform/loose_file_resolver.h"

namespace engine {

namespace {

struct Listing {
    bool open = false;
    WideString subFolder;
    std::vector<ListedName> names;
    std::size_t next = 0;
};

Listing& TheListing() {
    static Listing listing;
    return listing;
}

std::string UpperBytes(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string Slashed(const WideString& text) {
    std::string out = text.GetNarrow();
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

}  // namespace

std::vector<ListedName> ListFolderNarrow(const std::string& folder, const std::string& pattern, bool& opened) {
    std::vector<ListedName> names;
    std::string path = ResolveLooseFilePath(folder);
    if (!path.empty() && path.back() != '/') path.push_back('/');
    DIR* dir = ::opendir(path.empty() ? "." : path.c_str());
    opened = dir != nullptr;
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
        ListedName listed;
        listed.name = name;
        listed.hidden = name[0] == '.';
        struct stat st {};
        if (::stat((path + name).c_str(), &st) == 0) {
            if (S_ISREG(st.st_mode)) listed.kind = ListedName::Kind::kFile;
            if (S_ISDIR(st.st_mode)) listed.kind = ListedName::Kind::kFolder;
        }
        names.push_back(std::move(listed));
    }
    ::closedir(dir);
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) keys.emplace_back(UpperBytes(names[i].name), i);
    std::sort(keys.begin(), keys.end(), [&names](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return names[a.second].name < names[b.second].name;
    });
    std::vector<ListedName> sorted;
    sorted.reserve(names.size());
    for (const auto& key : keys) sorted.push_back(std::move(names[key.second]));
    return sorted;
}

int FindFirstDataFile(const WideString& subFolder, const WideString& pattern) {
    Listing& listing = TheListing();
    if (listing.open) return kListingBusy;
    listing.subFolder = subFolder;
    std::string folder = GetDataFolderNarrow() + Slashed(subFolder);
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    // A pattern may name a sub-folder of its own before the name pattern.
    std::string namePattern = Slashed(pattern);
    const std::size_t slash = namePattern.rfind('/');
    if (slash != std::string::npos) {
        folder += namePattern.substr(0, slash + 1);
        namePattern.erase(0, slash + 1);
    }
    bool opened = false;
    std::vector<ListedName> names = ListFolderNarrow(folder, namePattern, opened);
    if (!opened || names.empty()) return kListingNothingFound;
    listing.open = true;
    listing.names = std::move(names);
    listing.next = 0;
    return kListingOk;
}

WideString FindNextDataFile(bool includeFolders) {
    Listing& listing = TheListing();
    if (!listing.open) return WideString();
    while (listing.next < listing.names.size()) {
        const ListedName& name = listing.names[listing.next++];
        const bool wanted = name.kind == ListedName::Kind::kFile ||
                            (name.kind == ListedName::Kind::kFolder && includeFolders);
        if (wanted && !name.hidden) return WideString(name.name.c_str());
    }
    return WideString();
}

int EndDataFileSearch(const WideString& subFolder) {
    Listing& listing = TheListing();
    if (!listing.open || !subFolder.Equals(listing.subFolder)) return kListingBusy;
    listing = Listing();
    return kListingOk;
}

}  // namespace engine
