#pragma once
// Listing the files of a data folder, one listing at a time. Names match a pattern ("*.zip") without regard
// to case and come in the order of their upper-cased bytes, so the order is the same on every file system
// (it decides which archive is mounted first). The names are read when the listing starts.
#include <string>
#include <vector>

#include "engine/core/wide_string.h"

namespace engine {

// Results of the listing functions.
constexpr int kListingOk = 0;
constexpr int kListingNothingFound = 3;
constexpr int kListingBusy = 9;  // a listing is open already, or the sub-folder is not the open one

struct ListedName {
    enum class Kind { kFile, kFolder, kOther };
    std::string name;
    Kind kind = Kind::kOther;
    bool hidden = false;  // the name starts with "."
};

// The names in `folder` (found without regard to case) that match the pattern, "." and ".." left out,
// sorted by upper-cased bytes (ties by their bytes). `opened` tells whether the folder could be read.
std::vector<ListedName> ListFolderNarrow(const std::string& folder, const std::string& pattern, bool& opened);

// Starts the listing of data folder + sub-folder for the pattern ("\" or "/" separators). kListingOk, or
// kListingNothingFound when the folder does not open or no name matches, or kListingBusy.
int FindFirstDataFile(const WideString& subFolder, const WideString& pattern);
// The next name that is not hidden, is a regular file or (when asked for) a folder; empty after the last.
WideString FindNextDataFile(bool includeFolders);
// Ends the listing when the sub-folder is the open listing's (without regard to case): kListingOk, else
// kListingBusy.
int EndDataFileSearch(const WideString& subFolder);

}  // namespace engine
