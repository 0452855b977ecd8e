#pragma once
// Streams over data files. A reading stream takes the file from the active archive set when an archive
// holds it (the whole entry, held in memory) and otherwise from disk; a writing stream always writes to
// disk. Disk offsets are 64-bit.
//
// A writing stream never touches the target until it is committed: the bytes go to "<target>.tmp" in the
// same folder, and Close flushes, syncs and renames that file over the target. A stream whose write failed,
// or that is destroyed or reopened without Close, removes its temporary file and leaves the target as it was.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/core/wide_string.h"

namespace engine {

class FileStreamBase {
public:
    static constexpr int kModeRead = 1;
    static constexpr int kModeWrite = 2;
    static constexpr int kSeekStart = 0;
    static constexpr int kSeekCurrent = 1;
    static constexpr int kSeekEnd = 2;

    FileStreamBase() = default;
    virtual ~FileStreamBase() = default;
    FileStreamBase(const FileStreamBase&) = delete;
    FileStreamBase& operator=(const FileStreamBase&) = delete;

    virtual int Close() = 0;
    virtual int IsOpen() const = 0;
    virtual std::int64_t Tell() = 0;
    virtual int Seek(std::int64_t offset, int origin) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::int64_t GetLength() = 0;
    [[gnu::format(printf, 2, 3)]] virtual int Printf(const char* format, ...) = 0;
    virtual int Open(const WideString& fullPath, const WideString& relativePath, int mode) = 0;

    // Four bytes, little-endian, through Read; 0 when fewer than four could be read.
    std::int32_t ReadInt32();
    // Four bytes, little-endian, through Write; returns the bytes written.
    std::size_t WriteInt32(std::int32_t value);
};

class FileStream final : public FileStreamBase {
public:
    FileStream() = default;
    // An open writing stream is discarded: its temporary file is removed and the target stays as it was.
    ~FileStream() override;

    // Reading streams: 1 when one was open. Writing streams: 1 only when every write, the flush, the sync,
    // closing and the rename over the target succeeded; otherwise the temporary file is removed and the
    // target is left as it was. The stream is closed afterwards either way.
    int Close() override;
    int IsOpen() const override;
    // The position; 0 when closed.
    std::int64_t Tell() override;
    // Origins kSeekStart, kSeekCurrent, kSeekEnd. 0 on success. A target below 0 (or beyond 64 bits) is
    // refused with -1 and the position unchanged; a target past the end is allowed, and reads there give 0.
    int Seek(std::int64_t offset, int origin) override;
    // Writing streams only; returns the bytes written. After a short write the stream is failed: later
    // writes give 0 and Close does not commit.
    std::size_t Write(const void* buffer, std::size_t count) override;
    // Returns the bytes read: up to `count` from the position; 0 at or past the end and when closed.
    std::size_t Read(void* buffer, std::size_t count) override;
    // The length in bytes; 0 when closed.
    std::int64_t GetLength() override;
    // Formatted write on a writing stream; 1 when all of it was written, else 0.
    [[gnu::format(printf, 2, 3)]] int Printf(const char* format, ...) override;
    // Mode kModeRead: the relative path from the active archive set, else the full path from disk (found
    // without regard to case). Any other mode: write the full path. 1 on success; 0 leaves the stream closed.
    // A stream that is open is closed first (a writing one discarded).
    int Open(const WideString& fullPath, const WideString& relativePath, int mode) override;

    // True while the stream reads an archive entry held in memory.
    bool IsMemoryImage() const { return image_ != nullptr; }

private:
    void Discard();
    std::int64_t DiskLength();

    int mode_ = 0;
    std::unique_ptr<std::uint8_t[]> image_;
    std::int64_t imageSize_ = 0;
    std::int64_t imagePosition_ = 0;
    std::int64_t cachedLength_ = 0;  // 0: not known
    std::FILE* file_ = nullptr;
    std::string targetPath_;  // writing streams: the file that Close replaces
    std::string tempPath_;    // writing streams: the file written until then
    bool failed_ = false;
};

}  // namespace engine
