#include "engine/platform/posix_zip_archive.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

PosixZipArchive::~PosixZipArchive() { CloseFile(); }

bool PosixZipArchive::OpenFile(const char* path) {
    CloseFile();
    do {
        fd_ = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    return fd_ >= 0;
}

void PosixZipArchive::CloseFile() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::size_t PosixZipArchive::ReadFile(std::uint64_t offset, void* buffer, std::size_t count) const {
    if (fd_ < 0) return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t at = offset + done;
        if (at > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) break;
        const ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // end of file or an error
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::int64_t PosixZipArchive::GetFileSize() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

}  // namespace engine
