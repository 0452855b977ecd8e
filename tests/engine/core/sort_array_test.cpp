#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/core/sort_array.h"
#include "engine/core/vector.h"

namespace {

using namespace engine;

struct Tagged {
    Vec3 position;
    int order;
};

int ComparePositions(const void* a, const void* b) {
    return CompareVec3EpsAsc(static_cast<const Tagged*>(a)->position, static_cast<const Tagged*>(b)->position);
}

int CompareInts(const void* a, const void* b) {
    const int x = *static_cast<const int*>(a);
    const int y = *static_cast<const int*>(b);
    return (x > y) - (x < y);
}

TEST(SortArray, ToleranceComparatorOnNearEqualPointsIsSafe) {
    // Points on a grid of 0.00007 steps: neighbours compare equal, points two steps apart do not, so the
    // comparator is not transitive (a quick sort may run off the array with it). The sort must end, stay
    // inside the array and return a permutation of its input.
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> step(0, 40);
    std::vector<Tagged> items(10000);
    for (int i = 0; i < 10000; ++i) {
        items[i] = {{step(rng) * 0.00007f, step(rng) * 0.00007f, 0.0f}, i};
    }
    SortArray(items.data(), static_cast<int>(items.size()), sizeof(Tagged), ComparePositions);

    std::vector<bool> seen(items.size(), false);
    for (const Tagged& t : items) {
        ASSERT_GE(t.order, 0);
        ASSERT_LT(t.order, 10000);
        EXPECT_FALSE(seen[t.order]) << "element duplicated";
        seen[t.order] = true;
    }
}

TEST(SortArray, NearEqualPointsKeepTheirOrder) {
    // Clusters 0.01 apart, points inside a cluster within 0.00004 of each other: the tolerance makes each
    // cluster one key, and its points must come out in input order.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> cluster(0, 99);
    std::uniform_real_distribution<float> jitter(0.0f, 0.00004f);
    std::vector<Tagged> items(10000);
    std::vector<int> clusterOf(items.size());
    for (int i = 0; i < 10000; ++i) {
        clusterOf[i] = cluster(rng);
        items[i] = {{clusterOf[i] * 0.01f + jitter(rng), 1.0f + jitter(rng), jitter(rng)}, i};
    }
    SortArray(items.data(), static_cast<int>(items.size()), sizeof(Tagged), ComparePositions);
    for (std::size_t i = 1; i < items.size(); ++i) {
        const int a = clusterOf[items[i - 1].order];
        const int b = clusterOf[items[i].order];
        ASSERT_LE(a, b) << "clusters out of order at " << i;
        if (a == b) {
            ASSERT_LT(items[i - 1].order, items[i].order) << "equal keys reordered at " << i;
        }
    }
}

TEST(SortArray, SortsAndKeepsEqualKeysInOrder) {
    struct KeyValue {
        int key;
        int value;
    };
    std::vector<KeyValue> items = {{3, 0}, {1, 1}, {3, 2}, {2, 3}, {1, 4}, {3, 5}, {0, 6}};
    SortArray(items.data(), static_cast<int>(items.size()), sizeof(KeyValue), CompareInts);
    const std::vector<int> keys = {0, 1, 1, 2, 3, 3, 3};
    const std::vector<int> values = {6, 1, 4, 3, 0, 2, 5};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].key, keys[i]);
        EXPECT_EQ(items[i].value, values[i]);
    }
}

TEST(SortArray, DegenerateCountsAndSizesDoNothing) {
    int values[3] = {3, 2, 1};
    SortArray(values, 1, sizeof(int), CompareInts);
    SortArray(values, -5, sizeof(int), CompareInts);
    SortArray(values, 3, 0, CompareInts);
    SortArray(values, 3, -4, CompareInts);
    EXPECT_EQ(values[0], 3);
    EXPECT_EQ(values[2], 1);
    SortArray(values, 3, sizeof(int), CompareInts);
    EXPECT_EQ(values[0], 1);
    EXPECT_EQ(values[2], 3);
}

}  // namespace
