#pragma once
// Sorting of raw arrays with a three-way comparator.
#include <cstddef>

namespace engine {

using CompareFn = int (*)(const void* a, const void* b);

// Stable merge sort of count elements of elementSize bytes. Safe with comparators that are not strict weak
// orderings (such as tolerance-based ones): it only ever compares elements inside the array and always
// ends. Nothing happens for a count below 2 or an element size of 0 or less.
void SortArray(void* items, int count, int elementSize, CompareFn compare);

}  // namespace engine
