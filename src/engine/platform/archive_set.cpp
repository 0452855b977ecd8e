#include "engine/platform/archive_set.h"

namespace engine {

bool ArchiveSet::Mount(std::unique_ptr<ZipArchive> archive, std::string_view shortName) {
    if (!archive || count_ >= kMaxArchives) return false;
    Slot& slot = slots_[count_];
    slot.inUse = true;
    slot.archive = std::move(archive);
    slot.shortName.assign(shortName);
    ++count_;
    return true;
}

bool ArchiveSet::InUse(int slot) const { return slot >= 0 && slot < kMaxArchives && slots_[slot].inUse; }

const ZipArchive* ArchiveSet::Archive(int slot) const { return InUse(slot) ? slots_[slot].archive.get() : nullptr; }

std::string_view ArchiveSet::ShortName(int slot) const {
    return InUse(slot) ? std::string_view(slots_[slot].shortName) : std::string_view();
}

int FindInArchives(const ArchiveSet& set, std::string_view path, std::unique_ptr<std::uint8_t[]>& outBuffer,
                   std::uint32_t& outSize) {
    outBuffer.reset();
    outSize = 0;
    for (int slot = 0; slot < ArchiveSet::kMaxArchives; ++slot) {
        const ZipArchive* archive = set.Archive(slot);
        if (archive != nullptr && archive->FindEntry(path, outBuffer, outSize)) return 1;
    }
    return 0;
}

}  // namespace engine
