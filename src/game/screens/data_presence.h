#pragma once
// Whether the data holds a folder, so that pickers offer only what can be loaded.
#include <string>
#include <vector>

namespace game {

// The names of the candidates that are folders in the data folder's sub-folder (found without regard to
// case), in the candidates' order.
std::vector<std::string> PresentDataFolders(const std::string& parent, const std::vector<std::string>& candidates);

}  // namespace game
