#include "engine/core/string_pool.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <new>

#include "engine/core/memory.h"

namespace engine {

namespace {

std::atomic<bool> g_poolAllowed{false};
std::atomic<std::size_t> g_poolCapacity{StringPool::kDefaultCapacity};
std::atomic<StringPool*> g_pool{nullptr};
std::once_flag g_poolOnce;
thread_local bool t_poolBypass = false;

// The process pool lives in static storage and is never destroyed, so that strings released by static
// destructors at exit still find it.
alignas(StringPool) unsigned char g_poolStorage[sizeof(StringPool)];

}  // namespace

StringPool::~StringPool() { FreeMemory(); }

bool StringPool::Init(std::size_t capacity) {
    if (capacity == 0) capacity = kDefaultCapacity;
    if (capacity > std::numeric_limits<std::size_t>::max() / kBlockSize) return false;
    std::lock_guard<std::mutex> guard(lock_);
    if (memory_ != nullptr) return false;
    auto* memory = static_cast<unsigned char*>(EngineAlloc(capacity * kBlockSize));
    auto** stack = static_cast<void**>(EngineAlloc(capacity * sizeof(void*)));
    if (memory == nullptr || stack == nullptr) {
        EngineFree(memory);
        EngineFree(stack);
        return false;
    }
    // The top of the stack is the last entry; fill it so that block 0 is handed out first.
    for (std::size_t i = 0; i < capacity; ++i) stack[i] = memory + (capacity - 1 - i) * kBlockSize;
    memory_ = memory;
    freeStack_ = stack;
    freeCount_ = capacity;
    capacity_ = capacity;
    inUse_ = 0;
    closed_ = false;
    return true;
}

void* StringPool::Take() {
    std::lock_guard<std::mutex> guard(lock_);
    if (memory_ == nullptr || closed_ || inUse_ + 1 >= capacity_) return nullptr;
    ++inUse_;
    return freeStack_[--freeCount_];
}

void StringPool::Release(void* block) {
    std::lock_guard<std::mutex> guard(lock_);
    if (memory_ == nullptr || block == nullptr || inUse_ == 0) return;
    freeStack_[freeCount_++] = block;
    --inUse_;
    if (closed_ && inUse_ == 0) FreeMemory();
}

void StringPool::Shutdown() {
    std::lock_guard<std::mutex> guard(lock_);
    closed_ = true;
    if (inUse_ == 0) FreeMemory();
}

void StringPool::FreeMemory() {
    EngineFree(memory_);
    EngineFree(freeStack_);
    memory_ = nullptr;
    freeStack_ = nullptr;
    freeCount_ = 0;
}

std::size_t StringPool::InUse() const {
    std::lock_guard<std::mutex> guard(lock_);
    return inUse_;
}

std::size_t StringPool::Capacity() const {
    std::lock_guard<std::mutex> guard(lock_);
    return capacity_;
}

bool StringPool::HasMemory() const {
    std::lock_guard<std::mutex> guard(lock_);
    return memory_ != nullptr;
}

StringPool* StringPool::Global() { return g_pool.load(std::memory_order_acquire); }

StringPool* StringPool::EnsureGlobal() {
    StringPool* pool = g_pool.load(std::memory_order_acquire);
    if (pool != nullptr || t_poolBypass || !g_poolAllowed.load(std::memory_order_acquire)) return pool;
    std::call_once(g_poolOnce, [] {
        auto* made = new (g_poolStorage) StringPool();
        // Without memory the pool hands out nothing and every short string takes a heap block.
        made->Init(g_poolCapacity.load(std::memory_order_relaxed));
        g_pool.store(made, std::memory_order_release);
    });
    return g_pool.load(std::memory_order_acquire);
}

void AllowStringPool(std::size_t capacity) {
    static std::once_flag once;
    std::call_once(once, [capacity] {
        g_poolCapacity.store(capacity == 0 ? StringPool::kDefaultCapacity : capacity, std::memory_order_relaxed);
        g_poolAllowed.store(true, std::memory_order_release);
    });
}

bool IsStringPoolAllowed() { return g_poolAllowed.load(std::memory_order_acquire); }

bool SetPoolBypassForThread(bool bypass) {
    const bool previous = t_poolBypass;
    t_poolBypass = bypass;
    return previous;
}

bool IsPoolBypassedForThread() { return t_poolBypass; }

}  // namespace engine
