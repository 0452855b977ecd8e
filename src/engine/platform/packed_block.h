#pragma once
// The packed block of the save data: the raw size (u32), the packed size (u32), then a zlib stream (level
// 6, window 15, memory level 8) ended by a sync flush, so it has no final block and no Adler-32 trailer.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace engine {

// Packs `size` bytes and sets `size` to the block's byte count (packed size + 8). Null, with `size` left
// as it was, for null data, a size of 0 or above 2^31 - 1, or when compression fails.
std::unique_ptr<std::uint8_t[]> PackBlock(const void* data, std::uint32_t& size);

// Unpacks a block of `count` bytes into a new buffer of its raw size and sets `outSize`. Null (and
// outSize 0) when the block is shorter than its header, its packed size runs past `count`, its raw size
// is not positive or more than deflate can reach, or the stream does not give exactly the raw size without
// ending. A block closed with a finishing flush ends its stream and is refused.
std::unique_ptr<std::uint8_t[]> UnpackBlock(const void* block, std::size_t count, std::uint32_t& outSize);

}  // namespace engine
