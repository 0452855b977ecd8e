#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <thread>

#include "engine/core/byte_buffer.h"
#include "engine/core/critical_section.h"
#include "engine/core/memory.h"

namespace {

using namespace engine;

TEST(EngineAlloc, SmallRequestsGetFourBytesAndZeroedBlocksAreZero) {
    auto* tiny = static_cast<unsigned char*>(EngineAlloc(0));
    ASSERT_NE(tiny, nullptr);
    std::memset(tiny, 0xAB, 4);  // ASan fails this if fewer than 4 bytes came back
    EngineFree(tiny);

    auto* zeroed = static_cast<unsigned char*>(EngineAllocZeroed(64));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(zeroed[i], 0);
    EngineMemSet(zeroed, 0x1FF, 8);
    EXPECT_EQ(zeroed[7], 0xFF);
    EXPECT_EQ(zeroed[8], 0);
    EngineMemCopy(zeroed + 16, zeroed, 8);
    EXPECT_EQ(zeroed[23], 0xFF);
    EngineFree(zeroed);
}

TEST(ByteBuffer, InitAndReserveGrowth) {
    ByteBuffer buffer;
    ASSERT_TRUE(buffer.Init(100));
    EXPECT_EQ(buffer.Capacity(), 16384u);
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_EQ(buffer.Cursor(), buffer.Data());

    // A full buffer grows by at least 4 KiB.
    ASSERT_TRUE(buffer.Advance(16384));
    ASSERT_TRUE(buffer.Reserve(10));
    EXPECT_EQ(buffer.Capacity(), 20480u);
    // A larger shortfall grows by exactly the shortfall.
    ASSERT_TRUE(buffer.Reserve(10000));
    EXPECT_EQ(buffer.Capacity(), 16384u + 10000u);
    // Reserving what fits changes nothing; advancing past the capacity is refused.
    ASSERT_TRUE(buffer.Reserve(5));
    EXPECT_EQ(buffer.Capacity(), 26384u);
    EXPECT_FALSE(buffer.Advance(10001));

    const char text[] = "hello";
    ASSERT_TRUE(buffer.Append(text, 5));
    EXPECT_EQ(buffer.Size(), 16389u);
    EXPECT_EQ(std::memcmp(buffer.Data() + 16384, "hello", 5), 0);

    ByteBuffer moved(std::move(buffer));
    EXPECT_EQ(moved.Size(), 16389u);
    EXPECT_EQ(buffer.Data(), nullptr);
}

TEST(ByteBuffer, ReserveWithoutInitAllocates) {
    ByteBuffer buffer;
    ASSERT_TRUE(buffer.Append("abc", 3));
    EXPECT_EQ(buffer.Size(), 3u);
    EXPECT_GE(buffer.Capacity(), 4096u);
}

TEST(CriticalSection, OwnerMayEnterAgainAndOthersWait) {
    CriticalSection section;
    section.Init();
    int counter = 0;
    section.Enter();
    section.Enter();  // re-entry by the owner must not deadlock
    std::thread other([&] {
        std::lock_guard<CriticalSection> guard(section);
        ++counter;
    });
    section.Leave();
    EXPECT_EQ(counter, 0);
    section.Leave();
    other.join();
    EXPECT_EQ(counter, 1);
    section.Delete();
}

}  // namespace
