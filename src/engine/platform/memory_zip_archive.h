#pragma once
// A ZIP archive held in memory, for tests and fuzzing. The bytes are copied at construction; Open's path
// only names the archive.
#include <vector>

#include "engine/platform/zip_archive.h"

namespace engine {

class MemoryZipArchive final : public ZipArchive {
public:
    MemoryZipArchive(const void* data, std::size_t size);
    ~MemoryZipArchive() override;

protected:
    bool OpenFile(const char* path) override;
    void CloseFile() override;
    std::size_t ReadFile(std::uint64_t offset, void* buffer, std::size_t count) const override;
    std::int64_t GetFileSize() const override;

private:
    std::vector<std::uint8_t> bytes_;
    bool open_ = false;
};

}  // namespace engine
