#pragma once
// Fixed 130-byte blocks for short wide strings (64 UTF-16 characters and a terminator), so that the many
// short names of the program do not each reach the heap. A mutex guards taking and giving back blocks, so
// strings may be made and destroyed on any thread.
//
// The process has one pool, made on first use once AllowStringPool has been called; before that, and on a
// thread that has asked for the bypass, short strings take heap blocks of the same size.
#include <cstddef>
#include <mutex>

namespace engine {

class StringPool {
public:
    static constexpr std::size_t kBlockSize = 130;
    static constexpr std::size_t kDefaultCapacity = 2048;

    StringPool() = default;
    // Frees the block memory whatever is still in use; the process pool is never destroyed.
    ~StringPool();
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;

    // Allocates capacity blocks (kDefaultCapacity for 0) and opens the pool. False when the pool already
    // holds memory or the allocation fails.
    bool Init(std::size_t capacity);
    // A free block, or null when the pool is closed, has no memory, or capacity - 1 blocks are in use.
    void* Take();
    // Gives a block from Take back. Once the pool is shut down, the last block back frees the memory.
    void Release(void* block);
    // Closes the pool to Take. The memory is freed now when no block is in use, otherwise when the last
    // block comes back, so that strings that outlive the engine never point into freed memory.
    void Shutdown();

    std::size_t InUse() const;
    std::size_t Capacity() const;
    bool HasMemory() const;

    // The process pool, or null while it has not been made.
    static StringPool* Global();
    // The process pool, made now (exactly once) when none exists, AllowStringPool has been called and this
    // thread is not bypassing the pool; null otherwise.
    static StringPool* EnsureGlobal();

private:
    void FreeMemory();

    mutable std::mutex lock_;
    unsigned char* memory_ = nullptr;
    void** freeStack_ = nullptr;
    std::size_t freeCount_ = 0;
    std::size_t capacity_ = 0;
    std::size_t inUse_ = 0;
    bool closed_ = false;
};

// Ends the start-up state in which no pool is made. The first call sets the process pool's capacity
// (0: kDefaultCapacity); later calls change nothing. Safe from any thread.
void AllowStringPool(std::size_t capacity);
bool IsStringPoolAllowed();

// While set, strings made or grown on the calling thread take heap blocks instead of pool blocks; other
// threads are not affected. Used around bulk loads whose strings live long. Returns the previous setting.
bool SetPoolBypassForThread(bool bypass);
bool IsPoolBypassedForThread();

}  // namespace engine
