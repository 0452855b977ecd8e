#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/string_pool.h"
#include "engine/core/wide_string.h"

namespace {

using namespace engine;

bool IsPoolBlock(const WideString& s) { return s.Capacity() == 64 && !(s.Flags() & WideString::kHeapBuffer); }
bool IsHeapBlock(const WideString& s) { return s.Capacity() == 64 && (s.Flags() & WideString::kHeapBuffer); }

// Every test here uses the process pool with its default capacity; only the first call of AllowStringPool
// counts, so they all ask for the same.
StringPool& ProcessPool() {
    AllowStringPool(0);
    WideString make("x");  // the first resize after AllowStringPool makes the pool
    StringPool* pool = StringPool::Global();
    EXPECT_NE(pool, nullptr);
    return *pool;
}

WideString Repeated(char c, std::size_t n) { return WideString(std::string(n, c).c_str()); }

TEST(StringPool, ShortTextsTakeBlocksAndLongTextsHeapBuffers) {
    StringPool& pool = ProcessPool();
    const std::size_t before = pool.InUse();

    WideString s64 = Repeated('a', 64);
    EXPECT_TRUE(IsPoolBlock(s64));
    EXPECT_EQ(pool.InUse(), before + 1);
    WideString s65 = Repeated('a', 65);
    EXPECT_TRUE(s65.Flags() & WideString::kHeapBuffer);
    EXPECT_EQ(s65.Capacity(), 128u);

    // Growing a short string past 64 gives its block back for a heap buffer; shrinking keeps the buffer.
    EXPECT_TRUE(s64.Resize(129));
    EXPECT_EQ(s64.Capacity(), 192u);
    EXPECT_EQ(pool.InUse(), before);
    EXPECT_TRUE(s64.Resize(3));
    EXPECT_EQ(s64.Capacity(), 192u);
    EXPECT_EQ(s64.Data()[3], 0);

    // A block is kept down to length 0; Clear gives it back.
    WideString shortOne("abc");
    EXPECT_TRUE(shortOne.Resize(0));
    EXPECT_TRUE(IsPoolBlock(shortOne));
    shortOne.Clear();
    EXPECT_EQ(shortOne.Capacity(), 0u);
    EXPECT_EQ(pool.InUse(), before);

    const std::pair<std::size_t, std::size_t> heapCapacities[] = {{65, 128}, {128, 128}, {1000, 1024}, {0, 0}};
    for (const auto& [n, capacity] : heapCapacities) {
        WideString s;
        ASSERT_TRUE(s.AllocHeapBuffer(n));
        EXPECT_EQ(s.Capacity(), capacity) << n;
        EXPECT_EQ(s.Data()[0], 0);
    }
}

TEST(StringPool, TheLastBlockIsNeverHandedOut) {
    StringPool& pool = ProcessPool();
    ASSERT_EQ(pool.Capacity(), 2048u);
    ASSERT_EQ(pool.InUse(), 0u) << "another test left pooled strings alive";
    std::vector<WideString> live(2048);
    for (std::size_t i = 0; i < 2047; ++i) {
        live[i].AssignNarrow("Unit");
        ASSERT_TRUE(IsPoolBlock(live[i])) << i;
    }
    live[2047].AssignNarrow("Unit");
    EXPECT_TRUE(IsHeapBlock(live[2047]));
    EXPECT_EQ(pool.InUse(), 2047u);
    live.clear();
    EXPECT_EQ(pool.InUse(), 0u);
}

TEST(StringPool, ShortStringsMakeNoHeapAllocationOnceThePoolExists) {
    ProcessPool();
    auto live = std::make_unique<std::array<WideString, 1000>>();
    const std::uint64_t before = EngineAllocCount();
    for (int round = 0; round < 2; ++round) {
        for (WideString& s : *live) {
            s.AssignNarrow("Infantry_");
            s.AppendInt(round, false);
            WideString copy(s);
            s.Append(copy);
        }
        for (WideString& s : *live) s.Clear();
    }
    EXPECT_EQ(EngineAllocCount(), before);
    // The counter does see the allocations that are made.
    WideString narrowed("Tank");
    narrowed.GetNarrow();
    EXPECT_EQ(EngineAllocCount(), before + 1);
}

TEST(StringPool, BypassOnOneThreadLeavesOtherThreadsOnThePool) {
    StringPool& pool = ProcessPool();
    bool bypassedIsHeap = false;
    bool previous = true;
    std::thread loader([&] {
        previous = SetPoolBypassForThread(true);
        WideString cell("12");
        bypassedIsHeap = IsHeapBlock(cell);
        SetPoolBypassForThread(false);
    });
    loader.join();
    EXPECT_FALSE(previous);
    EXPECT_TRUE(bypassedIsHeap);
    EXPECT_FALSE(IsPoolBypassedForThread());
    WideString mine("12");
    EXPECT_TRUE(IsPoolBlock(mine));
    EXPECT_GE(pool.InUse(), 1u);
}

TEST(StringPool, TwoThreadsMakeCopyAndDestroyStrings) {
    StringPool& pool = ProcessPool();
    ASSERT_EQ(pool.InUse(), 0u) << "another test left pooled strings alive";
    constexpr int kIterations = 100000;
    constexpr int kKept = 64;
    // Each thread keeps a ring of strings alive, so that blocks are taken and returned interleaved with the
    // other thread's; a block handed to two strings at once shows as a changed text.
    auto work = [](char tag, std::vector<WideString>& handOver, int& mismatches) {
        std::vector<WideString> ring(kKept);
        std::vector<int> written(kKept, -1);
        for (int i = 0; i < kIterations; ++i) {
            const int slot = i % kKept;
            if (written[slot] >= 0) {
                WideString expected(std::string(1, tag).c_str());
                expected.AppendInt(written[slot], false);
                if (!ring[slot].Equals(expected)) ++mismatches;
            }
            WideString name(std::string(1, tag).c_str());
            name.AppendInt(i, false);
            WideString copy(name);
            ring[slot] = copy;
            written[slot] = i;
            WideString longText(std::string(100 + i % 50, tag).c_str());
            WideString longCopy(longText, copy);
            if (longCopy.Length() != longText.Length() + copy.Length()) ++mismatches;
            longCopy.Assign(name);
            if (!longCopy.Equals(copy)) ++mismatches;
        }
        for (WideString& s : ring) handOver.push_back(std::move(s));
    };
    std::vector<WideString> fromA;
    std::vector<WideString> fromB;
    int mismatchesA = 0;
    int mismatchesB = 0;
    std::thread a(work, 'a', std::ref(fromA), std::ref(mismatchesA));
    std::thread b(work, 'b', std::ref(fromB), std::ref(mismatchesB));
    a.join();
    b.join();
    EXPECT_EQ(mismatchesA, 0);
    EXPECT_EQ(mismatchesB, 0);
    EXPECT_EQ(pool.InUse(), static_cast<std::size_t>(2 * kKept));
    // Strings made on the workers are destroyed here, on another thread.
    fromA.clear();
    fromB.clear();
    EXPECT_EQ(pool.InUse(), 0u);
}

TEST(StringPool, ShutdownKeepsTheMemoryUntilTheLastBlockComesBack) {
    StringPool pool;
    ASSERT_TRUE(pool.Init(4));
    EXPECT_FALSE(pool.Init(8));  // already holding memory
    void* blocks[3];
    for (void*& block : blocks) {
        block = pool.Take();
        ASSERT_NE(block, nullptr);
    }
    EXPECT_EQ(pool.Take(), nullptr);  // capacity - 1 blocks at most
    EXPECT_NE(blocks[0], blocks[1]);

    pool.Shutdown();
    EXPECT_TRUE(pool.HasMemory());
    EXPECT_EQ(pool.Take(), nullptr);
    pool.Release(blocks[0]);
    pool.Release(blocks[1]);
    std::memset(blocks[2], 0x5A, StringPool::kBlockSize);  // still ours: ASan reports a write to freed memory
    EXPECT_TRUE(pool.HasMemory());
    pool.Release(blocks[2]);
    EXPECT_FALSE(pool.HasMemory());
    EXPECT_EQ(pool.InUse(), 0u);

    StringPool idle;
    ASSERT_TRUE(idle.Init(0));
    EXPECT_EQ(idle.Capacity(), StringPool::kDefaultCapacity);
    idle.Shutdown();
    EXPECT_FALSE(idle.HasMemory());
}

// Until AllowStringPool, no pool is made and short strings take heap blocks; strings made then stay on the
// heap afterwards. Run in a fresh process, since other tests here allow the pool.
int CheckNoPoolBeforeAllow() {
    if (IsStringPoolAllowed() || StringPool::Global() != nullptr) return 1;
    WideString early("Early");
    if (!IsHeapBlock(early) || StringPool::Global() != nullptr) return 2;
    AllowStringPool(16);
    AllowStringPool(64);  // only the first call counts
    WideString late("Late");
    StringPool* pool = StringPool::Global();
    if (pool == nullptr || pool->Capacity() != 16 || !IsPoolBlock(late)) return 3;
    early.AssignNarrow("Still");  // a heap block stays a heap block
    if (!IsHeapBlock(early) || pool->InUse() != 1) return 4;
    early.Clear();
    late.Clear();
    return pool->InUse() == 0 ? 0 : 5;
}

TEST(StringPoolDeathTest, NoPoolBeforeAllowStringPool) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(CheckNoPoolBeforeAllow()), testing::ExitedWithCode(0), "");
}

}  // namespace
