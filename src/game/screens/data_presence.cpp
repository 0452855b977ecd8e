#include "game/screens/data_presence.h"

#include <algorithm>
#include <cctype>

#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/data_listing.h"
#include "engine/platform/zip_archive.h"

namespace game {
namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Upper case with "/" separators.
std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// True when an entry of a mounted archive lies under "<parent>/<folder>/".
bool InMountedArchives(const std::string& parent, const std::string& folder) {
    const engine::ArchiveSet* archives = engine::GetActiveArchiveSet();
    if (archives == nullptr) return false;
    std::string prefix = Folded(parent);
    if (!prefix.empty() && prefix.back() != '/') prefix.push_back('/');
    prefix += Folded(folder) + "/";
    for (int slot = 0; slot < archives->Count(); ++slot) {
        const engine::ZipArchive* archive = archives->Archive(slot);
        if (archive == nullptr) continue;
        for (std::uint32_t i = 0; i < archive->EntryCount(); ++i) {
            if (Folded(archive->EntryName(i)).rfind(prefix, 0) == 0) return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> PresentDataFolders(const std::string& parent, const std::vector<std::string>& candidates) {
    std::string folder = engine::GetDataFolderNarrow() + parent;
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    bool opened = false;
    const std::vector<engine::ListedName> names = engine::ListFolderNarrow(folder, "*", opened);
    std::vector<std::string> present;
    for (const std::string& candidate : candidates) {
        const bool found = std::any_of(names.begin(), names.end(), [&](const engine::ListedName& n) {
            return n.kind == engine::ListedName::Kind::kFolder && SameNoCase(n.name, candidate);
        });
        if (found || InMountedArchives(parent, candidate)) present.push_back(candidate);
    }
    return present;
}

}  // namespace game
