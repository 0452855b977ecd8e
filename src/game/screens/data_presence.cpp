#include "game/screens/data_presence.h"

#include <algorithm>
#include <cctype>

#include "engine/platform/data_folders.h"
#include "engine/platform/data_listing.h"

namespace game {
namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
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
        if (found) present.push_back(candidate);
    }
    return present;
}

}  // namespace game
