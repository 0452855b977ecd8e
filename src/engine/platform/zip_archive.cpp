#include "engine/platform/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/byte_cursor.h"
#include "engine/core/little_endian.h"
#include "engine/platform/zip_alloc.h"
#include "engine/platform/zip_name.h"

namespace engine {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50u;
constexpr std::uint32_t kDirectorySignature = 0x02014b50u;
constexpr std::uint32_t kLocalSignature = 0x04034b50u;
constexpr std::size_t kDirectoryRecordSize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
// The end record may be followed by a comment of up to 65535 bytes; the search reaches a little further.
constexpr std::int64_t kEndSearchReach = 65587;
constexpr std::int64_t kEndSearchStep = 4096;
// Deflate cannot expand data by more than this factor (plus a small constant).
constexpr std::uint64_t kMaxInflateRatio = 1032;

std::unique_ptr<std::uint8_t[]> AllocateBytes(std::size_t n) {
    // One byte at least, so that an empty entry still has a buffer (and zlib a non-null output pointer).
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[n == 0 ? 1 : n]);
}

// Raw deflate data that must decode to exactly `outSize` bytes and end the stream.
bool InflateRaw(const std::uint8_t* in, std::uint32_t inSize, std::uint8_t* out, std::uint32_t outSize) {
    z_stream zs{};
    zs.zalloc = ZipAlloc;
    zs.zfree = ZipFree;
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return false;
    zs.next_in = const_cast<Bytef*>(in);
    zs.avail_in = inSize;
    zs.next_out = out;
    zs.avail_out = outSize;
    const int result = inflate(&zs, Z_FINISH);
    const bool ok = result == Z_STREAM_END && zs.total_out == outSize;
    inflateEnd(&zs);
    return ok;
}

}  // namespace

int ZipArchive::Open(std::string_view path) {
    Reset();
    CloseFile();
    path_.assign(path);
    if (!OpenFile(path_.c_str())) return 0;
    bool ok = false;
    try {
        ok = FindEndOfDirectory() >= 0 && ReadDirectory();
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok) {
        Reset();
        CloseFile();
        return 0;
    }
    return 1;
}

void ZipArchive::Reset() {
    entries_.clear();
    byHash_.clear();
    names_.clear();
    endRecord_.fill(0);
    endRecordPosition_ = -1;
    fileSize_ = 0;
}

bool ZipArchive::ReadExactly(std::uint64_t offset, void* buffer, std::size_t count) const {
    return ReadFile(offset, buffer, count) == count;
}

std::int64_t ZipArchive::FindEndOfDirectory() {
    const std::int64_t size = GetFileSize();
    if (size < static_cast<std::int64_t>(kEndRecordSize)) return -1;
    const std::int64_t lowest = size > kEndSearchReach ? size - kEndSearchReach : 0;

    // The search walks back in 4 KiB steps from the record's last possible place and takes one more step while
    // a step's end is still at or above the lower bound, so the last step reaches up to 4 KiB below that bound.
    std::int64_t floor = 0;
    for (std::int64_t end = size - static_cast<std::int64_t>(kEndRecordSize); end >= lowest; end -= kEndSearchStep) {
        floor = std::max<std::int64_t>(end - kEndSearchStep, 0);
        if (floor == 0) break;
    }

    // The tail down to that reach is read once and scanned backwards, the record's own position first. A place
    // whose 22 bytes would run past the end of the file holds no record.
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(size - floor));
    if (!ReadExactly(static_cast<std::uint64_t>(floor), tail.data(), tail.size())) return -1;
    for (std::size_t i = tail.size() - kEndRecordSize + 1; i-- > 0;) {
        if (LoadU32(&tail[i]) == kEndSignature) {
            std::memcpy(endRecord_.data(), &tail[i], kEndRecordSize);
            fileSize_ = size;
            endRecordPosition_ = floor + static_cast<std::int64_t>(i);
            return endRecordPosition_;
        }
    }
    return -1;
}

bool ZipArchive::ReadDirectory() {
    const std::uint16_t count = LoadU16(&endRecord_[10]);
    const std::uint32_t directorySize = LoadU32(&endRecord_[12]);
    // The directory is taken to end where the end record starts; it cannot begin before the file does.
    if (directorySize > endRecordPosition_) return false;
    std::vector<std::uint8_t> directory(directorySize);
    if (!ReadExactly(static_cast<std::uint64_t>(endRecordPosition_ - directorySize), directory.data(), directorySize)) {
        return false;
    }

    ByteCursor cursor(directory.data(), directory.size());
    entries_.reserve(count);
    names_.reserve(directorySize);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t record[kDirectoryRecordSize];
        if (!cursor.ReadBytes(record, sizeof(record))) return false;
        if (LoadU32(record) != kDirectorySignature) return false;
        const std::uint16_t nameLength = LoadU16(&record[28]);
        const std::uint16_t extraLength = LoadU16(&record[30]);
        const std::uint16_t commentLength = LoadU16(&record[32]);
        if (cursor.Remaining() < std::size_t{nameLength} + extraLength + commentLength) return false;

        const std::string name =
            NormaliseZipName(std::string_view(reinterpret_cast<const char*>(cursor.Current()), nameLength));
        cursor.Skip(std::size_t{nameLength} + extraLength + commentLength);

        Entry entry{};
        entry.method = LoadU16(&record[10]);
        entry.compressedSize = LoadU32(&record[20]);
        entry.uncompressedSize = LoadU32(&record[24]);
        entry.localHeaderOffset = LoadU32(&record[42]);
        entry.hash = ZipNameHashOfNormalised(name);
        entry.nameOffset = static_cast<std::uint32_t>(names_.size());
        entry.nameLength = nameLength;
        names_ += name;
        entries_.push_back(entry);
    }
    // Exactly `count` records: nothing may be left over in the directory.
    if (cursor.Failed() || cursor.Remaining() != 0) return false;

    byHash_.reserve(entries_.size());
    for (std::uint32_t i = 0; i < entries_.size(); ++i) byHash_.push_back({entries_[i].hash, i});
    std::sort(byHash_.begin(), byHash_.end(), [](const HashIndex& a, const HashIndex& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.index < b.index;
    });
    return true;
}

std::string_view ZipArchive::EntryName(std::uint32_t index) const {
    if (index >= entries_.size()) return {};
    const Entry& e = entries_[index];
    return std::string_view(names_).substr(e.nameOffset, e.nameLength);
}

int ZipArchive::FindEntry(std::string_view path, std::unique_ptr<std::uint8_t[]>& outBuffer,
                          std::uint32_t& outSize) const {
    outBuffer.reset();
    outSize = 0;
    if (entries_.empty()) return 0;
    const std::string name = NormaliseZipName(path);
    const std::uint32_t hash = ZipNameHashOfNormalised(name);
    auto it = std::lower_bound(byHash_.begin(), byHash_.end(), hash,
                               [](const HashIndex& h, std::uint32_t key) { return h.hash < key; });
    for (; it != byHash_.end() && it->hash == hash; ++it) {
        // Another name with the same key: go on to the next entry of that key.
        if (EntryName(it->index) != name) continue;
        std::uint32_t size = 0;
        outBuffer = ExtractEntry(it->index, size);
        if (!outBuffer) return 0;
        outSize = size;
        return 1;
    }
    return 0;
}

std::unique_ptr<std::uint8_t[]> ZipArchive::ExtractEntry(std::uint32_t index, std::uint32_t& outSize) const {
    outSize = 0;
    if (index >= entries_.size()) return nullptr;
    const Entry& entry = entries_[index];

    // The local header gives only the lengths that lead to the data; the method and sizes come from the
    // directory, because an entry written with a data descriptor has zero sizes here.
    std::uint8_t header[kLocalHeaderSize];
    if (!ReadExactly(entry.localHeaderOffset, header, sizeof(header))) return nullptr;
    if (LoadU32(header) != kLocalSignature) return nullptr;
    const std::uint64_t dataOffset =
        std::uint64_t{entry.localHeaderOffset} + kLocalHeaderSize + LoadU16(&header[26]) + LoadU16(&header[28]);
    if (dataOffset + entry.compressedSize > static_cast<std::uint64_t>(fileSize_)) return nullptr;

    std::unique_ptr<std::uint8_t[]> out;
    if (entry.method == 0) {
        if (entry.compressedSize != entry.uncompressedSize) return nullptr;
        out = AllocateBytes(entry.uncompressedSize);
        if (!out || !ReadExactly(dataOffset, out.get(), entry.uncompressedSize)) return nullptr;
    } else if (entry.method == 8) {
        if (entry.uncompressedSize > kMaxInflateRatio * entry.compressedSize + 64) return nullptr;
        std::unique_ptr<std::uint8_t[]> packed = AllocateBytes(entry.compressedSize);
        if (!packed || !ReadExactly(dataOffset, packed.get(), entry.compressedSize)) return nullptr;
        out = AllocateBytes(entry.uncompressedSize);
        if (!out || !InflateRaw(packed.get(), entry.compressedSize, out.get(), entry.uncompressedSize)) return nullptr;
    } else {
        return nullptr;
    }
    outSize = entry.uncompressedSize;
    return out;
}

}  // namespace engine
