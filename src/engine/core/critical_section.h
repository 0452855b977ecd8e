#pragma once
// A lock that its owner may take again while holding it, as the engine's shared pools need.
#include <mutex>

namespace engine {

class CriticalSection {
public:
    void Init() {}
    void Delete() {}
    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }

    // BasicLockable, for std::lock_guard and std::scoped_lock.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

}  // namespace engine
