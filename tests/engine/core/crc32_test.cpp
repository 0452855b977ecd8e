#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/core/wide_string.h"

namespace {

using namespace engine;

TEST(Crc32, StartsFromTheLengthWithoutInversion) {
    EXPECT_EQ(Crc32OfLength("abc", 3), 0xC8232689u);  // zlib's crc32 gives 0x352441C2
    EXPECT_EQ(Crc32OfText("abc"), 0xC8232689u);
    EXPECT_EQ(Crc32OfText(""), 0u);
    EXPECT_EQ(Crc32OfLength(nullptr, 0), 0u);
    EXPECT_NE(Crc32OfText("ABC"), Crc32OfText("abc"));
}

TEST(Crc32, WideStringHashesItsNarrowCopy) {
    EXPECT_EQ(Crc32OfWideString(WideString("abc")), 0xC8232689u);
    WideString wide;
    wide.AssignWide(u"\u263A\u00E9");
    EXPECT_EQ(Crc32OfWideString(wide), Crc32OfText("\x3A\xE9"));
    EXPECT_EQ(Crc32OfWideString(WideString()), 0u);
}

TEST(Crc32, TableIsBuiltOnceAcrossThreads) {
    std::vector<std::thread> threads;
    std::vector<std::uint32_t> results(8);
    for (int i = 0; i < 8; ++i) threads.emplace_back([&results, i] { results[i] = Crc32OfText("SHADER"); });
    for (auto& t : threads) t.join();
    for (std::uint32_t r : results) EXPECT_EQ(r, results[0]);
}

}  // namespace
