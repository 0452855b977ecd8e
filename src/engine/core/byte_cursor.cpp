#include "engine/core/byte_cursor.h"

#include <cstring>

#include "engine/core/matrix.h"
#include "engine/core/wide_string.h"

namespace engine {

bool ByteCursor::Take(std::size_t n) {
    if (failed_ || n > size_ - offset_) {
        failed_ = true;
        return false;
    }
    return true;
}

bool ByteCursor::ReadBytes(void* out, std::size_t n) {
    if (!Take(n)) return false;
    if (n != 0) std::memcpy(out, data_ + offset_, n);
    offset_ += n;
    return true;
}

bool ByteCursor::Skip(std::size_t n) {
    if (!Take(n)) return false;
    offset_ += n;
    return true;
}

bool ReadU8(ByteCursor& cursor, std::uint8_t& out) { return cursor.ReadBytes(&out, 1); }

bool ReadU16(ByteCursor& cursor, std::uint16_t& out) {
    std::uint8_t b[2];
    if (!cursor.ReadBytes(b, 2)) return false;
    out = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool ReadFloat(ByteCursor& cursor, float& out) {
    std::uint8_t b[4];
    if (!cursor.ReadBytes(b, 4)) return false;
    const std::uint32_t bits = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
                               (std::uint32_t{b[3]} << 24);
    std::memcpy(&out, &bits, 4);
    return true;
}

bool ReadMatrix4x3(ByteCursor& cursor, Matrix44& out) {
    // Check the whole record first so that a short read leaves the matrix untouched.
    if (cursor.Failed() || cursor.Remaining() < 48) {
        cursor.Skip(48);
        return false;
    }
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) ReadFloat(cursor, out.m[row][col]);
    }
    return true;
}

bool ReadShortString(ByteCursor& cursor, WideString& out) {
    // Check the length byte and the whole text first so that a short read leaves the string untouched.
    if (cursor.Failed() || cursor.Remaining() < 1) return cursor.Skip(1);
    const std::size_t n = cursor.Current()[0];
    if (cursor.Remaining() - 1 < n) return cursor.Skip(n + 1);
    const std::uint8_t* text = cursor.Current() + 1;
    std::size_t length = 0;
    while (length < n && text[length] != 0) ++length;
    if (!out.Resize(length)) {
        cursor.Skip(cursor.Remaining() + 1);  // out of memory: fail the cursor like any other failed read
        return false;
    }
    char16_t* chars = out.MutableData();
    for (std::size_t i = 0; i < length; ++i) chars[i] = text[i];
    return cursor.Skip(n + 1);
}

}  // namespace engine
