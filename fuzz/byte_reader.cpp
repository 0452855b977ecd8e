// Drives a sequence of bounded cursor reads over arbitrary bytes. The first byte of the input chooses how
// the rest is split into operations and data; every read must stay inside the data whatever it holds.
#include <cstddef>
#include <cstdint>

#include "engine/core/byte_cursor.h"
#include "engine/core/matrix.h"
#include "engine/core/wide_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size < 1) return 0;
    // Operations come from the front, data from the back, so the two vary independently.
    const std::size_t opCount = input[0] % 64;
    const std::size_t ops = opCount < size - 1 ? opCount : size - 1;
    engine::ByteCursor cursor(input + 1 + ops, size - 1 - ops);
    engine::Matrix44 matrix;
    engine::WideString text;
    for (std::size_t i = 0; i < ops; ++i) {
        const std::uint8_t op = input[1 + i];
        std::uint8_t u8 = 0;
        std::uint16_t u16 = 0;
        float f = 0.0f;
        std::uint8_t bytes[16];
        bool ok = false;
        switch (op % 7) {
            case 0: ok = engine::ReadU8(cursor, u8); break;
            case 1: ok = engine::ReadU16(cursor, u16); break;
            case 2: ok = engine::ReadFloat(cursor, f); break;
            case 3: ok = engine::ReadMatrix4x3(cursor, matrix); break;
            case 4: ok = cursor.ReadBytes(bytes, (op >> 3) % sizeof(bytes)); break;
            case 5: ok = engine::ReadShortString(cursor, text); break;
            default: ok = cursor.Skip(op >> 3); break;
        }
        if (cursor.Offset() > cursor.Size()) __builtin_trap();
        if (!ok && !cursor.Failed()) __builtin_trap();  // a failed read must leave the cursor failed
        if (text.Length() > 255 || text.Data()[text.Length()] != 0) __builtin_trap();
    }
    return 0;
}
