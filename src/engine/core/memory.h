#pragma once
// Allocation wrappers for the blocks the engine hands to its callers. They use the standard allocator, the
// same one as new and delete, and may be called from any thread.
#include <cstddef>
#include <cstdint>

namespace engine {

// At least 4 bytes, so that a zero-length request still gets a block of its own.
void* EngineAlloc(std::size_t n);
void* EngineAllocZeroed(std::size_t n);
void EngineFree(void* p);
void EngineMemCopy(void* dst, const void* src, std::size_t n);
// Fills with the value's low byte.
void EngineMemSet(void* p, int value, std::size_t n);

// How many blocks EngineAlloc and EngineAllocZeroed have handed out in this process, so that a test can show
// that a path makes no allocation. One relaxed atomic increment per call.
std::uint64_t EngineAllocCount();

}  // namespace engine
