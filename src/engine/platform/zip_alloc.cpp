#include "engine/platform/zip_alloc.h"

#include <cstdlib>

namespace engine {

void* ZipAlloc(void* /*opaque*/, unsigned int items, unsigned int size) {
    // calloc refuses a product that overflows.
    return std::calloc(items, size);
}

void ZipFree(void* /*opaque*/, void* address) { std::free(address); }

}  // namespace engine
