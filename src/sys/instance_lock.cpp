#include "sys/instance_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace sys {

InstanceLock::Result InstanceLock::Acquire(const std::string& path) {
    Release();
    if (path.empty()) return Result::kUnavailable;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return Result::kUnavailable;
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Result::kHeldElsewhere : Result::kUnavailable;
    }
    fd_ = fd;
    return Result::kAcquired;
}

void InstanceLock::Release() {
    if (fd_ < 0) return;
    // Closing the only descriptor of the open file drops the lock.
    ::close(fd_);
    fd_ = -1;
}

}  // namespace sys
