#pragma once
// Parts of a path, split at the last "/" or "\" and at the last "." of the final element.
#include "engine/core/wide_string.h"

namespace engine {

// Splits a path into its drive ("C:" when the second character is ":"), folder (up to and including the last
// separator), name and extension (from the last "." of the final element, the "." included). Any output may
// be null.
void SplitPath(const WideString& path, WideString* drive, WideString* folder, WideString* name,
               WideString* extension);
// The final element: name and extension.
WideString GetFileNamePart(const WideString& path);
// The name without folder and extension.
WideString GetFileTitle(const WideString& path);
// The folder without drive and name, ending in its separator ("Campaigns/Skirmish/"); empty for a bare name.
WideString GetFolderPartNarrow(const char* path);

}  // namespace engine
