#pragma once
// Builds small ZIP archives in memory for fixtures: stored and deflated entries (raw deflate through
// zlib), entries written with a data descriptor, an unusual method number, an extra field in the local
// header only, and an archive comment.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct ZipEntrySpec {
    std::string name;
    std::string data;
    // 8 deflates; any other number stores the bytes as they are and records that number.
    std::uint16_t method = 8;
    // Sets flag bit 3: zero CRC and sizes in the local header, the real ones in a descriptor after the data.
    bool dataDescriptor = false;
    // An extra field written in the local header only.
    std::string localExtra;
};

struct ZipImage {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> localHeaderOffsets;
    std::size_t directoryOffset = 0;
    std::size_t endRecordOffset = 0;
};

class ZipWriter {
public:
    ZipWriter& Add(ZipEntrySpec entry);
    ZipWriter& Add(std::string name, std::string data, std::uint16_t method = 8);
    ZipWriter& SetComment(std::string comment);

    ZipImage Build() const;

private:
    std::vector<ZipEntrySpec> entries_;
    std::string comment_;
};

// Little-endian patching of a built image.
void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
std::uint16_t GetU16(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset);

}  // namespace testsupport
