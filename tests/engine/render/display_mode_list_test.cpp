#include "engine/render/display_mode_list.h"

#include <gtest/gtest.h>

namespace {

using engine::DisplayModeEntry;
using engine::DisplayModeList;

DisplayModeEntry Mode(int width, int height, int refresh) {
    return {22, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
            static_cast<std::uint16_t>(refresh)};
}

TEST(DisplayModeList, ListAKeepsTheFirstRateUnlessALowerOneAboveFiftyComesListBTheHighest) {
    DisplayModeList list;
    for (int refresh : {75, 85, 60, 50, 56, 100}) list.Add(Mode(800, 600, refresh));
    list.Add(Mode(640, 480, 50));
    list.Add(Mode(640, 480, 72));
    ASSERT_EQ(list.listA.count, 2);
    ASSERT_EQ(list.listB.count, 2);
    EXPECT_EQ(list.listA.entries[0].refreshRate, 56);
    EXPECT_EQ(list.listB.entries[0].refreshRate, 100);
    EXPECT_EQ(list.listA.entries[1].refreshRate, 50) << "a first rate stays even when not above 50";
    EXPECT_EQ(list.listB.entries[1].refreshRate, 72);
}

TEST(DisplayModeList, HoldsAtMost128SizesPerList) {
    DisplayModeList list;
    for (int i = 0; i < 140; ++i) list.Add(Mode(100 + i, 100, 60));
    EXPECT_EQ(list.listA.count, 128);
    EXPECT_EQ(list.listB.count, 128);
    EXPECT_EQ(list.listA.entries[127].width, 227);
    list.Clear();
    EXPECT_EQ(list.listA.count, 0);
}

TEST(DisplayModeList, FindNearestPrefersTheExactSizeThenTheFirstSmallestDistance) {
    DisplayModeList list;
    EXPECT_EQ(list.FindNearest(800, 600), -1);
    for (const auto& [w, h] : {std::pair{1024, 768}, {800, 610}, {810, 600}, {800, 600}, {1280, 1024}}) {
        list.Add(Mode(w, h, 60));
    }
    EXPECT_EQ(list.FindNearest(800, 600), 3);
    EXPECT_EQ(list.FindNearest(805, 605), 1) << "two at the same distance: the first";
    EXPECT_EQ(list.FindNearest(2000, 2000), 4);
    EXPECT_EQ(list.FindNearest(0, 0), 3);
}

}  // namespace
