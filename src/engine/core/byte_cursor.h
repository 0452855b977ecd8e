#pragma once
// Little-endian reads from a block of bytes in memory, bounded by its end. A read that does not fit reads
// nothing, returns false and leaves the cursor failed, so that a parser can read a whole record and check
// Failed() once.
#include <cstddef>
#include <cstdint>

namespace engine {

struct Matrix44;
class WideString;

class ByteCursor {
public:
    ByteCursor() = default;
    ByteCursor(const void* data, std::size_t size) : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}

    std::size_t Offset() const { return offset_; }
    std::size_t Size() const { return size_; }
    std::size_t Remaining() const { return size_ - offset_; }
    bool Failed() const { return failed_; }
    const std::uint8_t* Current() const { return data_ + offset_; }

    // Copies n bytes out and advances, or fails.
    bool ReadBytes(void* out, std::size_t n);
    // Advances over n bytes, or fails.
    bool Skip(std::size_t n);

private:
    // True when n more bytes can be read; otherwise marks the cursor failed.
    bool Take(std::size_t n);

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

bool ReadU8(ByteCursor& cursor, std::uint8_t& out);
bool ReadU16(ByteCursor& cursor, std::uint16_t& out);
bool ReadFloat(ByteCursor& cursor, float& out);
// Four rows of three floats (X, Y, Z axes, translation) into the first three columns of each row; the
// fourth column is not part of the data and is left as it was.
bool ReadMatrix4x3(ByteCursor& cursor, Matrix44& out);
// A length byte n, then n bytes of 8-bit text without terminator, each byte one character; a zero byte ends
// the text early but the cursor still advances n + 1. A length beyond the data fails, reading nothing.
bool ReadShortString(ByteCursor& cursor, WideString& out);

}  // namespace engine
