#include "engine/core/sort_array.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace engine {

void SortArray(void* items, int count, int elementSize, CompareFn compare) {
    if (items == nullptr || count < 2 || elementSize <= 0 || compare == nullptr) return;
    const std::size_t n = static_cast<std::size_t>(count);
    const std::size_t size = static_cast<std::size_t>(elementSize);

    // Bottom-up merge sort between the array and a scratch copy. Taking from the left run on ties keeps
    // equal elements in their original order.
    std::vector<std::uint8_t> scratch(n * size);
    std::uint8_t* from = static_cast<std::uint8_t*>(items);
    std::uint8_t* to = scratch.data();
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t left = 0; left < n; left += 2 * width) {
            const std::size_t mid = left + width < n ? left + width : n;
            const std::size_t right = left + 2 * width < n ? left + 2 * width : n;
            std::size_t i = left;
            std::size_t j = mid;
            std::size_t k = left;
            while (i < mid && j < right) {
                if (compare(from + j * size, from + i * size) < 0) {
                    std::memcpy(to + k++ * size, from + j++ * size, size);
                } else {
                    std::memcpy(to + k++ * size, from + i++ * size, size);
                }
            }
            // One run is used up; the rest of the other follows as it is.
            std::memcpy(to + k * size, from + i * size, (mid - i) * size);
            k += mid - i;
            std::memcpy(to + k * size, from + j * size, (right - j) * size);
        }
        std::uint8_t* swap = from;
        from = to;
        to = swap;
    }
    if (from != items) std::memcpy(items, from, n * size);
}

}  // namespace engine
