#pragma once
// A ZIP archive read from a file through a descriptor: open(O_RDONLY | O_CLOEXEC), pread and fstat.
#include "engine/platform/zip_archive.h"

namespace engine {

class PosixZipArchive final : public ZipArchive {
public:
    PosixZipArchive() = default;
    ~PosixZipArchive() override;

protected:
    bool OpenFile(const char* path) override;
    void CloseFile() override;
    std::size_t ReadFile(std::uint64_t offset, void* buffer, std::size_t count) const override;
    std::int64_t GetFileSize() const override;

private:
    int fd_ = -1;
};

}  // namespace engine
