#pragma once
// Keeps one copy of the program running: an exclusive advisory lock (flock) on a file in the user folder,
// held until Release or destruction. The kernel drops the lock when the process ends, so a crash leaves no
// stale lock behind.
#include <string>

namespace sys {

class InstanceLock {
public:
    enum class Result {
        kAcquired,       // this process holds the lock now
        kHeldElsewhere,  // another descriptor (another copy of the program) holds it
        kUnavailable,    // the file cannot be opened or locked at all; nothing is held
    };

    InstanceLock() = default;
    ~InstanceLock() { Release(); }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Opens (creating with mode 0600) the file and takes the lock without waiting. An earlier lock of this
    // object is released first. The descriptor is not inherited by child processes.
    Result Acquire(const std::string& path);
    void Release();
    bool IsHeld() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace sys
