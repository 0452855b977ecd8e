#pragma once
// The folders the program reads its data from. The base folder is the executable's folder and holds the
// archives and the loose data files; while an archive is mounted the data paths are relative to it, and
// without archives to its "Data/PC/" sub-folder. Folder texts always end in "/".
//
// The mounted archives belong to the engine; streams reach them through the active archive set, which the
// engine (or a test) sets and clears. These globals are meant for the main thread.
#include <string>

#include "engine/core/wide_string.h"

namespace engine {

class ArchiveSet;

// The archive set that reading streams ask before the disk; null when none.
void SetActiveArchiveSet(ArchiveSet* set);
ArchiveSet* GetActiveArchiveSet();

// Stores the path with one trailing "/" or "\" removed and one "/" appended. Every "\" becomes "/".
void SetBaseFolder(const WideString& path);
void SetBaseFolderNarrow(const char* path);
// The folder of the running executable (from /proc/self/exe). False, and the base folder left as it was,
// when the link cannot be read.
bool SetBaseFolderToExe();
WideString GetBaseFolder();
const std::string& GetBaseFolderNarrow();

// The base folder while the active archive set has an archive mounted, else base folder + "Data/PC/".
WideString GetDataFolder();
std::string GetDataFolderNarrow();

// $XDG_CACHE_HOME/Tinmarch/ShaderCache/ (an unset, empty or relative XDG_CACHE_HOME means ~/.cache); empty
// when no home folder is known.
std::string GetShaderCacheFolderNarrow();
// Creates the shader-cache folder with its missing parents (mode 0700). 1 when the folder exists afterwards.
int CreateShaderCacheFolder();

}  // namespace engine
