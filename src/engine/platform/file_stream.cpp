#include "engine/platform/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <vector>

#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/loose_file_resolver.h"

namespace engine {

static_assert(sizeof(off_t) == 8, "disk offsets must be 64-bit");

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::int32_t FileStreamBase::ReadInt32() {
    std::uint8_t b[4] = {};
    if (Read(b, sizeof b) != sizeof b) return 0;
    const std::uint32_t value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return static_cast<std::int32_t>(value);
}

std::size_t FileStreamBase::WriteInt32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                               static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
    return Write(b, sizeof b);
}

FileStream::~FileStream() { Discard(); }

void FileStream::Discard() {
    if (file_ != nullptr) std::fclose(file_);
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    file_ = nullptr;
    image_.reset();
    imageSize_ = 0;
    imagePosition_ = 0;
    cachedLength_ = 0;
    mode_ = 0;
    targetPath_.clear();
    tempPath_.clear();
    failed_ = false;
}

int FileStream::Close() {
    if (!IsOpen()) return 0;
    if (mode_ != kModeWrite) {
        Discard();
        return 1;
    }
    bool ok = !failed_ && std::fflush(file_) == 0 && std::ferror(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    const int closed = std::fclose(file_);
    file_ = nullptr;
    ok = ok && closed == 0 && std::rename(tempPath_.c_str(), targetPath_.c_str()) == 0;
    if (ok) {
        tempPath_.clear();  // it is the target now
        ForgetLooseFolder(FolderOf(targetPath_));
    }
    Discard();
    return ok ? 1 : 0;
}

int FileStream::IsOpen() const { return file_ != nullptr || image_ != nullptr ? 1 : 0; }

std::int64_t FileStream::Tell() {
    if (image_ != nullptr) return imagePosition_;
    if (file_ != nullptr) return ::ftello(file_);
    return 0;
}

int FileStream::Seek(std::int64_t offset, int origin) {
    if (origin != kSeekStart && origin != kSeekCurrent && origin != kSeekEnd) return -1;
    if (image_ != nullptr) {
        const std::int64_t base = origin == kSeekStart ? 0 : origin == kSeekCurrent ? imagePosition_ : imageSize_;
        std::int64_t target = 0;
        if (__builtin_add_overflow(base, offset, &target) || target < 0) return -1;
        imagePosition_ = target;
        return 0;
    }
    if (file_ == nullptr) return -1;
    const int whence = origin == kSeekStart ? SEEK_SET : origin == kSeekCurrent ? SEEK_CUR : SEEK_END;
    return ::fseeko(file_, offset, whence) == 0 ? 0 : -1;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
    if (mode_ != kModeWrite || file_ == nullptr || failed_ || buffer == nullptr || count == 0) return 0;
    cachedLength_ = 0;
    const std::size_t written = std::fwrite(buffer, 1, count, file_);
    if (written != count) failed_ = true;
    return written;
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
    if (buffer == nullptr || count == 0) return 0;
    if (image_ != nullptr) {
        if (imagePosition_ >= imageSize_) return 0;
        const std::size_t n = std::min(count, static_cast<std::size_t>(imageSize_ - imagePosition_));
        std::memcpy(buffer, image_.get() + imagePosition_, n);
        imagePosition_ += static_cast<std::int64_t>(n);
        return n;
    }
    if (file_ == nullptr) return 0;
    return std::fread(buffer, 1, count, file_);
}

std::int64_t FileStream::DiskLength() {
    const off_t here = ::ftello(file_);
    if (here < 0 || ::fseeko(file_, 0, SEEK_END) != 0) return 0;
    const off_t end = ::ftello(file_);
    ::fseeko(file_, here, SEEK_SET);
    return end > 0 ? end : 0;
}

std::int64_t FileStream::GetLength() {
    if (image_ != nullptr) return imageSize_;
    if (file_ == nullptr) return 0;
    if (cachedLength_ == 0) cachedLength_ = DiskLength();
    return cachedLength_;
}

int FileStream::Printf(const char* format, ...) {
    if (mode_ != kModeWrite || file_ == nullptr || format == nullptr) return 0;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(length >= 0 ? static_cast<std::size_t>(length) + 1 : 0);
    if (length >= 0) std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    if (length < 0) return 0;
    return Write(text.data(), static_cast<std::size_t>(length)) == static_cast<std::size_t>(length) ? 1 : 0;
}

int FileStream::Open(const WideString& fullPath, const WideString& relativePath, int mode) {
    Discard();
    if (mode == kModeRead) {
        if (ArchiveSet* set = GetActiveArchiveSet()) {
            std::uint32_t size = 0;
            if (FindInArchives(*set, relativePath.GetNarrow(), image_, size) == 1) {
                imageSize_ = size;
                mode_ = kModeRead;
                return 1;
            }
        }
        const std::string path = ResolveLooseFilePath(fullPath.GetNarrow());
        std::FILE* file = std::fopen(path.c_str(), "rbe");
        if (file == nullptr) return 0;
        struct stat st {};
        if (::fstat(::fileno(file), &st) != 0 || S_ISDIR(st.st_mode)) {
            std::fclose(file);
            return 0;
        }
        file_ = file;
        mode_ = kModeRead;
        return 1;
    }

    std::string target = ResolveLooseFilePath(fullPath.GetNarrow());
    if (target.empty() || target.back() == '/') return 0;
    std::string temp = target + ".tmp";
    // A leftover of an earlier run is removed; whatever still stands in the way (a folder) makes the open
    // fail. O_EXCL also refuses to follow a link planted under the temporary name.
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return 0;
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        ::unlink(temp.c_str());
        return 0;
    }
    file_ = file;
    mode_ = kModeWrite;
    targetPath_ = std::move(target);
    tempPath_ = std::move(temp);
    return 1;
}

}  // namespace engine
