#include "engine/platform/packed_block.h"

#include <zlib.h>

#include <cstring>
#include <new>

#include "engine/core/little_endian.h"
#include "engine/platform/zip_alloc.h"

namespace engine {

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr int kLevel = 6;
constexpr int kWindowBits = 15;
constexpr int kMemoryLevel = 8;
// deflateBound covers a finished stream; a sync flush may add an empty stored block (up to 5 bytes with
// the bits that close the previous block). The rest is headroom, so that a full output means a fault.
constexpr std::size_t kFlushRoom = 16;
// Deflate cannot expand data by more than this factor (plus a small constant).
constexpr std::uint64_t kMaxInflateRatio = 1032;

}  // namespace

std::unique_ptr<std::uint8_t[]> PackBlock(const void* data, std::uint32_t& size) {
    // The raw size is read back as a signed word, so a block must stay below 2^31 bytes.
    if (data == nullptr || size == 0 || size > 0x7FFFFFFFu) return nullptr;

    z_stream zs{};
    zs.zalloc = ZipAlloc;
    zs.zfree = ZipFree;
    if (deflateInit2(&zs, kLevel, Z_DEFLATED, kWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK) return nullptr;
    const std::size_t capacity = deflateBound(&zs, size) + kFlushRoom;
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[kHeaderSize + capacity]);
    bool ok = false;
    if (block && capacity <= 0xFFFFFFFFu) {
        zs.next_in = static_cast<Bytef*>(const_cast<void*>(data));
        zs.avail_in = size;
        zs.next_out = block.get() + kHeaderSize;
        zs.avail_out = static_cast<uInt>(capacity);
        // A full output would mean the flush may not have been written whole.
        ok = deflate(&zs, Z_SYNC_FLUSH) == Z_OK && zs.avail_in == 0 && zs.avail_out != 0 &&
             zs.total_out <= 0x7FFFFFFFu;
    }
    const std::uint32_t packed = static_cast<std::uint32_t>(zs.total_out);
    deflateEnd(&zs);
    if (!ok) return nullptr;

    StoreU32(block.get(), size);
    StoreU32(block.get() + 4, packed);
    size = packed + static_cast<std::uint32_t>(kHeaderSize);
    return block;
}

std::unique_ptr<std::uint8_t[]> UnpackBlock(const void* block, std::size_t count, std::uint32_t& outSize) {
    outSize = 0;
    if (block == nullptr || count < kHeaderSize) return nullptr;
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    const auto rawSize = static_cast<std::int32_t>(LoadU32(bytes));
    const std::uint32_t packedSize = LoadU32(bytes + 4);
    if (packedSize > count - kHeaderSize) return nullptr;
    if (rawSize <= 0 || static_cast<std::uint64_t>(rawSize) > kMaxInflateRatio * packedSize + 64) return nullptr;

    std::unique_ptr<std::uint8_t[]> out(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(rawSize)]);
    if (!out) return nullptr;
    z_stream zs{};
    zs.zalloc = ZipAlloc;
    zs.zfree = ZipFree;
    if (inflateInit2(&zs, kWindowBits) != Z_OK) return nullptr;
    zs.next_in = const_cast<Bytef*>(bytes + kHeaderSize);
    zs.avail_in = packedSize;
    zs.next_out = out.get();
    zs.avail_out = static_cast<uInt>(rawSize);
    // The stream has no end: inflate stops at the flush point with Z_OK. Z_STREAM_END means a finished
    // stream, which packed blocks never are.
    const int result = inflate(&zs, Z_NO_FLUSH);
    const bool ok = result == Z_OK && zs.total_out == static_cast<uLong>(rawSize);
    inflateEnd(&zs);
    if (!ok) return nullptr;
    outSize = static_cast<std::uint32_t>(rawSize);
    return out;
}

}  // namespace engine
