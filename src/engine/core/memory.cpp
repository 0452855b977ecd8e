#include "engine/core/memory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace engine {

namespace {

std::atomic<std::uint64_t> g_allocCount{0};

}  // namespace

void* EngineAlloc(std::size_t n) {
    g_allocCount.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(n < 4 ? 4 : n);
}

void* EngineAllocZeroed(std::size_t n) {
    g_allocCount.fetch_add(1, std::memory_order_relaxed);
    return std::calloc(n < 4 ? 4 : n, 1);
}

void EngineFree(void* p) { std::free(p); }

void EngineMemCopy(void* dst, const void* src, std::size_t n) {
    if (n != 0) std::memmove(dst, src, n);
}

void EngineMemSet(void* p, int value, std::size_t n) {
    if (n != 0) std::memset(p, value & 0xFF, n);
}

std::uint64_t EngineAllocCount() { return g_allocCount.load(std::memory_order_relaxed); }

}  // namespace engine
