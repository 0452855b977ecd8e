#include "engine/platform/mount_archives.h"

#include <memory>
#include <string>

#include "engine/core/wide_string.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/data_listing.h"
#include "engine/platform/loose_file_resolver.h"
#include "engine/platform/posix_zip_archive.h"

namespace engine {

namespace {

constexpr const char* kMainArchive = "DataPC.zip";

std::unique_ptr<ZipArchive> OpenArchive(const std::string& path) {
    auto archive = std::make_unique<PosixZipArchive>();
    if (archive->Open(path) != 1) return nullptr;
    return archive;
}

// "DataPC_CP_French.zip" -> "French".
std::string ShortNameOf(const std::string& fileName) {
    WideString name(fileName.c_str());
    WideString shortName = name.TextAfterNarrow("DataPC_CP_");
    shortName.DropExtension();
    return shortName.GetNarrow();
}

}  // namespace

int MountArchives(ArchiveSet& set) {
    const std::string& base = GetBaseFolderNarrow();
    auto main = OpenArchive(ResolveLooseFilePath(base + kMainArchive));
    if (!main || !set.Mount(std::move(main), "MainWad")) return set.Count();

    bool opened = false;
    for (const ListedName& listed : ListFolderNarrow(base, "*.zip", opened)) {
        if (set.Count() >= ArchiveSet::kMaxArchives) break;
        if (listed.kind != ListedName::Kind::kFile || listed.hidden) continue;
        if (WideString(listed.name.c_str()).EqualsNarrow(kMainArchive)) continue;
        if (auto archive = OpenArchive(base + listed.name)) set.Mount(std::move(archive), ShortNameOf(listed.name));
    }
    return set.Count();
}

}  // namespace engine
