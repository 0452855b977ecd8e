#pragma once
// The allocation callbacks handed to zlib for every stream the engine opens. The signatures match zlib's
// alloc_func and free_func (voidpf is void*, uInt is unsigned int), so this header needs no zlib include.

namespace engine {

// items x size bytes, zeroed; null when the product overflows or memory runs out.
void* ZipAlloc(void* opaque, unsigned int items, unsigned int size);
void ZipFree(void* opaque, void* address);

}  // namespace engine
