// The route search's open list against the plain linked list it stands for: the same sequence of nodes
// taken from the front, under inserts, changed totals (up and down) and pops in any mix.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "game/battle/open_list.h"

namespace {

using game::OpenList;

// The literal list: a new node goes before the first node whose current total is not lower than its own;
// a changed node stays where it is.
struct LinkedList {
    std::vector<int> order;
    std::vector<float> totals;

    void Insert(int node, float total) {
        totals[static_cast<std::size_t>(node)] = total;
        std::size_t at = 0;
        while (at < order.size() && totals[static_cast<std::size_t>(order[at])] < total) ++at;
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), node);
    }
    int PopFront() {
        if (order.empty()) return -1;
        const int node = order.front();
        order.erase(order.begin());
        return node;
    }
};

TEST(OpenList, TakesNodesInTheOrderOfTheLinkedList) {
    int changes = 0;
    int outOfOrderPops = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
        const int capacity = pick(1, 600);
        // Few distinct totals in some runs, so that ties are common.
        const int spread = pick(0, 1) == 0 ? 8 : 100000;
        auto total = [&] { return static_cast<float>(pick(0, spread)) * 0.25f; };
        OpenList list;
        // Every fourth list starts with no room: it grows, and moves into the room its taken nodes leave.
        if (seed % 4 != 0) list.Reserve(capacity);
        LinkedList model;
        model.totals.assign(static_cast<std::size_t>(capacity), 0.0f);
        int next = 0;
        float lastPopped = -1.0f;
        for (int op = 0; op < 3000; ++op) {
            const int roll = pick(0, 9);
            if (roll < 4 && next < capacity) {
                const float t = total();
                list.Insert(next, t);
                model.Insert(next, t);
                ++next;
            } else if (roll < 7 && !model.order.empty()) {
                const int node = model.order[static_cast<std::size_t>(pick(0, static_cast<int>(model.order.size()) - 1))];
                const float t = total();
                list.Change(node, t);
                model.totals[static_cast<std::size_t>(node)] = t;
                ++changes;
            } else {
                const int expected = model.PopFront();
                ASSERT_EQ(list.PopFront(), expected) << "seed " << seed << " op " << op;
                if (expected >= 0) {
                    const float t = model.totals[static_cast<std::size_t>(expected)];
                    outOfOrderPops += t < lastPopped ? 1 : 0;
                    lastPopped = t;
                }
            }
            ASSERT_EQ(list.Empty(), model.order.empty());
        }
        while (!model.order.empty()) ASSERT_EQ(list.PopFront(), model.PopFront()) << "seed " << seed;
        EXPECT_EQ(list.PopFront(), -1);
        // Cleared, the list starts over.
        list.Clear();
        EXPECT_TRUE(list.Empty());
    }
    EXPECT_GT(changes, 50000);
    // Changed totals do leave the sequence out of order, which a heap on totals would not reproduce.
    EXPECT_GT(outOfOrderPops, 1000);
}

TEST(OpenList, EqualTotalsNewestFirst) {
    OpenList list;
    list.Reserve(8);
    list.Insert(0, 2.0f);
    list.Insert(1, 1.0f);
    list.Insert(2, 2.0f);
    list.Insert(3, 1.0f);
    // The changed node keeps its place even though it is now the cheapest.
    list.Change(0, 0.5f);
    const int expected[] = {3, 1, 2, 0};
    for (const int node : expected) EXPECT_EQ(list.PopFront(), node);
    EXPECT_TRUE(list.Empty());
}

}  // namespace
