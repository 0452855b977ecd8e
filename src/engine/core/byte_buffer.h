#pragma once
// A growable block of bytes with a write cursor at the end of the data.
#include <cstddef>
#include <cstdint>

namespace engine {

class ByteBuffer {
public:
    ByteBuffer() = default;
    ~ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;

    // Allocates max(n, 16 KiB) bytes and empties the buffer. False (capacity 0) when allocation fails.
    bool Init(std::uint32_t n);
    // Makes room for n more bytes at the cursor, growing by the shortfall but at least 4 KiB.
    bool Reserve(std::uint32_t n);
    // Copies n bytes to the cursor (reserving first) and advances past them.
    bool Append(const void* bytes, std::uint32_t n);
    // Moves the cursor over n bytes already written in place at Cursor(); they must have been reserved.
    bool Advance(std::uint32_t n);

    std::uint8_t* Data() { return data_; }
    const std::uint8_t* Data() const { return data_; }
    std::uint8_t* Cursor() { return data_ + size_; }
    std::uint32_t Size() const { return size_; }
    std::uint32_t Capacity() const { return capacity_; }

private:
    void Release();

    std::uint8_t* data_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};

}  // namespace engine
