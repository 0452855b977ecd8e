#include "engine/render/dynamic_vertex_buffer.h"

#include <array>

#include "engine/render/graphics_device.h"
#include "engine/render/vertex_formats.h"
#include "sys/gpu_device.h"

namespace engine {
namespace {

std::array<DynamicVertexBuffer*, DynamicVertexBuffer::kRegistrySize> g_registry{};
DynamicVertexBuffer* g_global = nullptr;

}  // namespace

DynamicVertexBuffer::DynamicVertexBuffer(GraphicsDevice* device, bool wrap, std::uint32_t size)
    : device_(device), size_(size), wrap_(wrap) {
    if (!Create()) size_ = 0;
    for (DynamicVertexBuffer*& slot : g_registry) {
        if (slot == nullptr) {
            slot = this;
            break;
        }
    }
}

DynamicVertexBuffer::~DynamicVertexBuffer() {
    for (DynamicVertexBuffer*& slot : g_registry) {
        if (slot == this) slot = nullptr;
    }
    Release();
}

bool DynamicVertexBuffer::IsRegistered() const {
    for (const DynamicVertexBuffer* slot : g_registry) {
        if (slot == this) return true;
    }
    return false;
}

bool DynamicVertexBuffer::Create() {
    if (device_ == nullptr || device_->Device() == nullptr || size_ == 0) return false;
    buffer_ = device_->Device()->CreateVertexBuffer(size_, sys::kUsageDynamic | sys::kUsageWriteOnly,
                                                    sys::kPoolDefault);
    return buffer_ != nullptr;
}

void DynamicVertexBuffer::Release() {
    Unlock();
    if (buffer_ != nullptr) buffer_->Release();
    buffer_ = nullptr;
}

void* DynamicVertexBuffer::Lock(int format, int count, int& firstVertex) {
    firstVertex = 0;
    if (device_ == nullptr || device_->IsLost() || locked_) return nullptr;
    if (buffer_ == nullptr && !Create()) return nullptr;
    const std::uint32_t stride = static_cast<std::uint32_t>(VertexFormatStride(format));
    if (stride == 0 || count <= 0) return nullptr;
    const std::uint64_t bytes = static_cast<std::uint64_t>(count) * stride;
    const std::uint64_t start = (position_ + stride - 1) / stride * stride;
    std::uint32_t offset = 0;
    std::uint32_t flags = 0;
    if (start + bytes <= size_) {
        offset = static_cast<std::uint32_t>(start);
        flags = discardNext_ ? sys::kLockDiscard : sys::kLockNoOverwrite;
    } else if (wrap_ && bytes <= size_) {
        flags = sys::kLockDiscard;
    } else {
        // More than the buffer holds, even from its start: nothing to lock.
        return nullptr;
    }
    void* data = nullptr;
    if (buffer_->Lock(offset, static_cast<std::uint32_t>(bytes), &data, flags) != sys::kGpuOk) return nullptr;
    discardNext_ = false;
    position_ = offset + static_cast<std::uint32_t>(bytes);
    firstVertex = static_cast<int>(offset / stride);
    locked_ = true;
    return data;
}

void DynamicVertexBuffer::Unlock() {
    if (!locked_) return;
    locked_ = false;
    if (buffer_ != nullptr) buffer_->Unlock();
}

void DynamicVertexBuffer::Restart() {
    discardNext_ = true;
    position_ = 0;
}

void InitDynamicVertexBuffers(GraphicsDevice* device) {
    ShutdownDynamicVertexBuffers();
    g_registry.fill(nullptr);
    g_global = new DynamicVertexBuffer(device, true, DynamicVertexBuffer::kGlobalSize);
}

void ShutdownDynamicVertexBuffers() {
    delete g_global;
    g_global = nullptr;
}

DynamicVertexBuffer* GlobalDynamicVertexBuffer() { return g_global; }

void ReleaseDynamicVertexBuffers() {
    for (DynamicVertexBuffer* buffer : g_registry) {
        if (buffer != nullptr) buffer->Release();
    }
}

}  // namespace engine
