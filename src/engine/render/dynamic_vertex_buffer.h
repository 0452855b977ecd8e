#pragma once
// Vertex buffers refilled every frame: 2D quads, sprites, billboards and instance rows. Data is appended without
// overwriting what earlier draws of the frame may still read; only Restart or a wrap-around discards. Every
// buffer is listed in a registry of 128 so that a device loss can release them all; the next Lock recreates
// the device buffer.
#include <cstdint>

namespace sys {
class GpuVertexBuffer;
}

namespace engine {

class GraphicsDevice;

class DynamicVertexBuffer {
public:
    static constexpr int kRegistrySize = 128;
    // The engine-wide buffer's size.
    static constexpr std::uint32_t kGlobalSize = 4u * 1024u * 1024u;

    // Creates the device buffer (dynamic, write-only); on failure the buffer is null and the size 0. Takes the
    // first free registry slot (a buffer beyond 128 is not listed).
    DynamicVertexBuffer(GraphicsDevice* device, bool wrap, std::uint32_t size);
    virtual ~DynamicVertexBuffer();
    DynamicVertexBuffer(const DynamicVertexBuffer&) = delete;
    DynamicVertexBuffer& operator=(const DynamicVertexBuffer&) = delete;

    // Device loss: unlocks when locked and releases the device buffer.
    virtual void Release();
    // Room for count vertices of the format, or null: while the device is lost, without a device buffer, or
    // when the vertices do not fit (a wrapping buffer restarts at 0 instead, unless they exceed its size).
    // firstVertex receives the index of the first vertex in the buffer.
    virtual void* Lock(int format, int count, int& firstVertex);
    virtual void Unlock();
    // The next lock discards the contents and starts at 0.
    virtual void Restart();

    sys::GpuVertexBuffer* Buffer() const { return buffer_; }
    std::uint32_t Size() const { return size_; }
    std::uint32_t WritePosition() const { return position_; }
    bool IsLocked() const { return locked_; }
    bool IsRegistered() const;

private:
    bool Create();

    GraphicsDevice* device_;
    sys::GpuVertexBuffer* buffer_ = nullptr;
    bool discardNext_ = false;
    std::uint32_t size_;
    bool locked_ = false;
    std::uint32_t position_ = 0;
    bool wrap_;
};

// Empties the registry and creates the engine-wide buffer (4 MB, wrapping); any earlier one is deleted.
void InitDynamicVertexBuffers(GraphicsDevice* device);
// Deletes the engine-wide buffer.
void ShutdownDynamicVertexBuffers();
DynamicVertexBuffer* GlobalDynamicVertexBuffer();
// Release on every registered buffer.
void ReleaseDynamicVertexBuffers();

}  // namespace engine
