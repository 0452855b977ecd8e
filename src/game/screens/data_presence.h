#pragma once
// Whether the data holds a folder, so that pickers offer only what can be loaded.
#include <string>
#include <vector>

namespace game {

// The names of the candidates that are folders in the data folder's sub-folder, or hold entries of a
// mounted archive under that sub-folder (found without regard to case), in the candidates' order. The
// shipped data is an archive, so a folder present only there counts.
std::vector<std::string> PresentDataFolders(const std::string& parent, const std::vector<std::string>& candidates);

}  // namespace game
