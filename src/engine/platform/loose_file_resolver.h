#pragma once
// Finds loose files without regard to the case of a-z. When a path does not exist as written, it is
// resolved one component at a time: a component that exists as written is kept, else the folder's names are
// searched with ASCII case folding, and when several names fold alike the first in byte order wins. A
// component that matches nothing ends the resolution, and the rest of the path stays as written (so a file
// about to be written keeps its new name in the resolved folder).
//
// The names of each folder searched are cached. A folder's cache is read again when the folder's change
// time or identity differs from what was cached, and dropped when this process writes into the folder.
// Safe to call from any thread.
#include <string>
#include <string_view>

namespace engine {

// The path to use on disk for `path` ("/"-separated).
std::string ResolveLooseFilePath(std::string_view path);

// Drops the cached names of one folder (as the path of the folder, with or without a final "/"), or all.
void ForgetLooseFolder(std::string_view folder);
void ForgetLooseFileNames();

}  // namespace engine
