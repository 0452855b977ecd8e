#pragma once
// Builds ZIP archives in memory: the one ZIP writer of the project, linked by the test fixtures and by the
// data build's `zippack`. Fixtures use stored and deflated entries (raw deflate through zlib, level 9),
// entries written with a data descriptor, an unusual method number, an extra field in the local header only,
// and an archive comment. Every entry carries the DOS time 1980-01-01 00:00, so equal input gives equal bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct ZipEntryRecipe {
    std::string name;
    std::string data;
    // 8 deflates; any other number stores the bytes as they are and records that number.
    std::uint16_t method = 8;
    // Sets flag bit 3: zero CRC and sizes in the local header, the real ones in a descriptor after the data.
    bool dataDescriptor = false;
    // An extra field written in the local header only.
    std::string localExtra;
    // With method 8: stores the bytes instead (method 0) when deflating does not make them smaller.
    bool storeWhenSmaller = false;
};

struct ZipImage {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> localHeaderOffsets;
    std::size_t directoryOffset = 0;
    std::size_t endRecordOffset = 0;
};

class ZipWriter {
public:
    ZipWriter& Add(ZipEntryRecipe entry);
    ZipWriter& Add(std::string name, std::string data, std::uint16_t method = 8);
    ZipWriter& SetComment(std::string comment);

    ZipImage Build() const;

private:
    std::vector<ZipEntryRecipe> entries_;
    std::string comment_;
};

// The data set's archive: entries sorted by upper-cased name with "/" separators, each deflated unless
// storing is smaller, no descriptors, extra fields or comment. False with a reason, and `out` untouched,
// when two names are equal without regard to case, a name is empty or over 65535 bytes, there are more
// than 65535 entries, or the archive would pass 4 GiB (no zip64).
bool BuildDataArchive(std::vector<std::pair<std::string, std::string>> files, ZipImage& out, std::string& error);

// Little-endian patching of a built image.
void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
std::uint16_t GetU16(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset);

}  // namespace testsupport
