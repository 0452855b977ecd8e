#pragma once
// Allocation wrappers for the blocks the engine hands to its callers. They use the standard allocator, the
// same one as new and delete, and may be called from any thread.
#include <cstddef>

namespace engine {

// At least 4 bytes, so that a zero-length request still gets a block of its own.
void* EngineAlloc(std::size_t n);
void* EngineAllocZeroed(std::size_t n);
void EngineFree(void* p);
void EngineMemCopy(void* dst, const void* src, std::size_t n);
// Fills with the value's low byte.
void EngineMemSet(void* p, int value, std::size_t n);

}  // namespace engine
