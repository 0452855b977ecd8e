#include "engine/core/memory.h"

#include <cstdlib>
#include <cstring>

namespace engine {

void* EngineAlloc(std::size_t n) { return std::malloc(n < 4 ? 4 : n); }

void* EngineAllocZeroed(std::size_t n) { return std::calloc(n < 4 ? 4 : n, 1); }

void EngineFree(void* p) { std::free(p); }

void EngineMemCopy(void* dst, const void* src, std::size_t n) {
    if (n != 0) std::memmove(dst, src, n);
}

void EngineMemSet(void* p, int value, std::size_t n) {
    if (n != 0) std::memset(p, value & 0xFF, n);
}

}  // namespace engine
