#pragma once
// A file-size limit for write-failure tests.
#include <signal.h>
#include <sys/resource.h>

namespace datatest {

// Makes writes beyond `bytes` fail with EFBIG for the life of the object. The kernel enforces the file-size
// limit for every user, root included, so the failure is real wherever the tests run.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, oldHandler_);
    }
    bool Active() const { return active_; }

private:
    rlimit saved_{};
    sighandler_t oldHandler_ = SIG_DFL;
    bool active_ = false;
};

}  // namespace datatest
