#pragma once
// Read-only access to a ZIP archive: the central directory is read once at Open, and each entry is then
// extracted whole into a new buffer. Entries are looked up by the key of their normalised name (see
// zip_name.h) and confirmed by comparing the normalised name in full.
//
// Everything read from the file is checked before it is used: a damaged or hostile archive fails to open
// or its entries fail to extract, and nothing is read outside the file or written outside a buffer.
//
// The file itself is reached through four operations that a subclass provides (a descriptor, a block of
// memory). Reads are positional, so lookups on an opened archive keep no file position and may run on
// several threads at once.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class ZipArchive {
public:
    static constexpr std::size_t kEndRecordSize = 22;

    ZipArchive() = default;
    virtual ~ZipArchive() = default;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Opens the file and reads its central directory. 1 on success; 0 when the file does not open or its
    // end record or directory does not hold together, and the file is closed again. Opening again first
    // drops what the archive held.
    int Open(std::string_view path);

    // Looks the path up (any case of a-z, either separator) and extracts the first entry whose normalised
    // name equals it. 1 with the entry's bytes and size; 0 with the outputs cleared when there is no such
    // entry or it does not extract.
    int FindEntry(std::string_view path, std::unique_ptr<std::uint8_t[]>& outBuffer, std::uint32_t& outSize) const;

    // The uncompressed bytes of entry `index` (a buffer of at least one byte even for an empty entry), or
    // null when the index is out of range, the method is neither stored (0) nor deflated (8), or the data
    // does not lie in the file or does not decode to exactly the recorded size.
    std::unique_ptr<std::uint8_t[]> ExtractEntry(std::uint32_t index, std::uint32_t& outSize) const;

    // Finds the end-of-central-directory record: the highest position at most size - 22, and at most
    // 65587 bytes before the end, where its signature stands. Copies the record and returns its position,
    // or -1. The file must be open.
    std::int64_t FindEndOfDirectory();

    const std::string& Path() const { return path_; }
    std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(entries_.size()); }
    // The normalised name of entry `index`; empty when out of range.
    std::string_view EntryName(std::uint32_t index) const;
    const std::array<std::uint8_t, kEndRecordSize>& EndRecord() const { return endRecord_; }
    std::int64_t EndRecordPosition() const { return endRecordPosition_; }

protected:
    // The file operations. OpenFile gives true when the file is open; CloseFile may be called when it is
    // not. ReadFile reads up to `count` bytes at `offset` and returns how many it read (short at the end of
    // the file or on an error). GetFileSize gives the size, or -1 on an error.
    virtual bool OpenFile(const char* path) = 0;
    virtual void CloseFile() = 0;
    virtual std::size_t ReadFile(std::uint64_t offset, void* buffer, std::size_t count) const = 0;
    virtual std::int64_t GetFileSize() const = 0;

private:
    struct Entry {
        std::uint32_t localHeaderOffset;
        std::uint32_t hash;
        std::uint32_t compressedSize;
        std::uint32_t uncompressedSize;
        std::uint32_t nameOffset;  // into names_
        std::uint32_t nameLength;
        std::uint16_t method;
    };
    // Entry indexes ordered by (hash, index), so that the entries of one key come in directory order.
    struct HashIndex {
        std::uint32_t hash;
        std::uint32_t index;
    };

    bool ReadDirectory();
    void Reset();
    bool ReadExactly(std::uint64_t offset, void* buffer, std::size_t count) const;

    std::string path_;
    std::vector<Entry> entries_;
    std::vector<HashIndex> byHash_;
    std::string names_;
    std::array<std::uint8_t, kEndRecordSize> endRecord_{};
    std::int64_t endRecordPosition_ = -1;
    std::int64_t fileSize_ = 0;
};

}  // namespace engine
