#pragma once
// Mounting the archives of the base folder at start-up.
namespace engine {

class ArchiveSet;

// Mounts "DataPC.zip" of the base folder (found without regard to case) as "MainWad", then every other
// "*.zip" file there in listing order, up to 32 archives in all; a further archive is named by the text after
// "DataPC_CP_" in its file name without the extension (empty without that text). Without a main archive
// that opens nothing is mounted; a further archive that does not open is skipped. Returns the number of
// archives the set holds afterwards.
int MountArchives(ArchiveSet& set);

}  // namespace engine
