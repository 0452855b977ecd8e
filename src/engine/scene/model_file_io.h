#pragma once
// Little-endian fields of the model file: bounded reads through a ByteCursor and appends to a ByteBuffer.
#include <cstdint>
#include <cstring>

#include "engine/core/byte_buffer.h"
#include "engine/core/byte_cursor.h"
#include "engine/core/little_endian.h"
#include "engine/core/vector.h"

namespace engine::mdl {

inline bool ReadU32(ByteCursor& cursor, std::uint32_t& out) {
    std::uint8_t bytes[4];
    if (!cursor.ReadBytes(bytes, 4)) return false;
    out = LoadU32(bytes);
    return true;
}

inline bool ReadI16(ByteCursor& cursor, std::int16_t& out) {
    std::uint16_t value = 0;
    if (!ReadU16(cursor, value)) return false;
    out = static_cast<std::int16_t>(value);
    return true;
}

inline bool ReadVec3(ByteCursor& cursor, Vec3& out) {
    return ReadFloat(cursor, out.x) && ReadFloat(cursor, out.y) && ReadFloat(cursor, out.z);
}

inline bool AppendU8(ByteBuffer& buffer, std::uint32_t value) {
    const std::uint8_t byte = static_cast<std::uint8_t>(value);
    return buffer.Append(&byte, 1);
}

inline bool AppendU16(ByteBuffer& buffer, std::uint32_t value) {
    std::uint8_t bytes[2];
    StoreU16(bytes, value);
    return buffer.Append(bytes, 2);
}

inline bool AppendU32(ByteBuffer& buffer, std::uint32_t value) {
    std::uint8_t bytes[4];
    StoreU32(bytes, value);
    return buffer.Append(bytes, 4);
}

inline bool AppendF32(ByteBuffer& buffer, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    return AppendU32(buffer, bits);
}

inline bool AppendVec3(ByteBuffer& buffer, const Vec3& v) {
    return AppendF32(buffer, v.x) && AppendF32(buffer, v.y) && AppendF32(buffer, v.z);
}

}  // namespace engine::mdl
