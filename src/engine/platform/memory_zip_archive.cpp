#include "engine/platform/memory_zip_archive.h"

#include <cstring>

namespace engine {

MemoryZipArchive::MemoryZipArchive(const void* data, std::size_t size)
    : bytes_(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size) {}

MemoryZipArchive::~MemoryZipArchive() { CloseFile(); }

bool MemoryZipArchive::OpenFile(const char* /*path*/) {
    open_ = true;
    return true;
}

void MemoryZipArchive::CloseFile() { open_ = false; }

std::size_t MemoryZipArchive::ReadFile(std::uint64_t offset, void* buffer, std::size_t count) const {
    if (!open_ || offset >= bytes_.size()) return 0;
    const std::size_t available = bytes_.size() - static_cast<std::size_t>(offset);
    const std::size_t n = count < available ? count : available;
    if (n != 0) std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
}

std::int64_t MemoryZipArchive::GetFileSize() const {
    return open_ ? static_cast<std::int64_t>(bytes_.size()) : -1;
}

}  // namespace engine
