#pragma once
// The mounted archives, asked in mount order for a data path before the disk is. Up to 32 archives; the
// set owns them and deletes them with itself.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/platform/zip_archive.h"

namespace engine {

class ArchiveSet {
public:
    static constexpr int kMaxArchives = 32;

    ArchiveSet() = default;
    ~ArchiveSet() = default;
    ArchiveSet(const ArchiveSet&) = delete;
    ArchiveSet& operator=(const ArchiveSet&) = delete;

    // Mounts an opened archive after those already mounted, under a short name. False, and the archive
    // deleted, when it is null or all 32 slots are in use.
    bool Mount(std::unique_ptr<ZipArchive> archive, std::string_view shortName);

    int Count() const { return count_; }
    bool InUse(int slot) const;
    // Null for a slot out of range or not in use.
    const ZipArchive* Archive(int slot) const;
    // Empty for a slot out of range or not in use.
    std::string_view ShortName(int slot) const;

private:
    struct Slot {
        bool inUse = false;
        std::unique_ptr<ZipArchive> archive;
        std::string shortName;
    };
    std::array<Slot, kMaxArchives> slots_;
    int count_ = 0;
};

// Asks every mounted archive in mount order; 1 with the first hit's bytes and size, else 0 with the outputs
// cleared. An entry that a mounted archive holds but cannot extract counts as missing there.
int FindInArchives(const ArchiveSet& set, std::string_view path, std::unique_ptr<std::uint8_t[]>& outBuffer,
                   std::uint32_t& outSize);

}  // namespace engine
