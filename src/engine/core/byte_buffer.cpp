#include "engine/core/byte_buffer.h"

#include <cstdlib>
#include <utility>

#include "engine/core/memory.h"

namespace engine {

ByteBuffer::~ByteBuffer() { Release(); }

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void ByteBuffer::Release() {
    EngineFree(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
}

bool ByteBuffer::Init(std::uint32_t n) {
    Release();
    const std::uint32_t capacity = n < 0x4000u ? 0x4000u : n;
    data_ = static_cast<std::uint8_t*>(EngineAlloc(capacity));
    if (data_ == nullptr) return false;
    capacity_ = capacity;
    return true;
}

bool ByteBuffer::Reserve(std::uint32_t n) {
    const std::uint64_t needed = std::uint64_t{size_} + n;
    if (needed <= capacity_) return true;
    std::uint64_t grown = std::uint64_t{capacity_} + (needed - capacity_ < 4096 ? 4096 : needed - capacity_);
    if (grown > UINT32_MAX) {
        if (needed > UINT32_MAX) return false;
        grown = UINT32_MAX;
    }
    void* block = data_ != nullptr ? std::realloc(data_, static_cast<std::size_t>(grown))
                                   : EngineAlloc(static_cast<std::size_t>(grown));
    if (block == nullptr) return false;
    data_ = static_cast<std::uint8_t*>(block);
    capacity_ = static_cast<std::uint32_t>(grown);
    return true;
}

bool ByteBuffer::Append(const void* bytes, std::uint32_t n) {
    if (!Reserve(n)) return false;
    EngineMemCopy(Cursor(), bytes, n);
    size_ += n;
    return true;
}

bool ByteBuffer::Advance(std::uint32_t n) {
    if (std::uint64_t{size_} + n > capacity_) return false;
    size_ += n;
    return true;
}

}  // namespace engine
