// Unpacks arbitrary bytes as a packed block, then packs the same bytes and unpacks them again. Unpacking
// must never read past the block or fail without clearing its size; a packed block must give back exactly
// what was packed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/platform/packed_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    std::uint32_t unpackedSize = 0;
    std::unique_ptr<std::uint8_t[]> unpacked = engine::UnpackBlock(input, size, unpackedSize);
    if (!unpacked && unpackedSize != 0) __builtin_trap();

    if (size == 0) return 0;
    std::uint32_t blockSize = static_cast<std::uint32_t>(size);
    std::unique_ptr<std::uint8_t[]> block = engine::PackBlock(input, blockSize);
    if (!block) __builtin_trap();
    std::uint32_t roundSize = 0;
    std::unique_ptr<std::uint8_t[]> round = engine::UnpackBlock(block.get(), blockSize, roundSize);
    if (!round || roundSize != size || std::memcmp(round.get(), input, size) != 0) __builtin_trap();
    return 0;
}
