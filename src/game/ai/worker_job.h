#pragma once
// A job that a plan runner carries out: it polls a cancel flag between its steps and raises a done flag at
// the end of a complete run. Both flags are atomic, since the main thread writes the first and the worker
// the second while the other may read them.
#include <atomic>
#include <functional>

namespace game {

class WorkerJob {
public:
    WorkerJob() = default;
    virtual ~WorkerJob() = default;
    WorkerJob(const WorkerJob&) = delete;
    WorkerJob& operator=(const WorkerJob&) = delete;

    virtual void Run() = 0;
    void Cancel() { cancel_.store(true, std::memory_order_release); }
    bool IsCancelled() const { return cancel_.load(std::memory_order_acquire); }
    bool IsDone() const { return done_.load(std::memory_order_acquire); }

protected:
    void SetDone(bool done) { done_.store(done, std::memory_order_release); }
    // A new run starts uncancelled.
    void ClearCancel() { cancel_.store(false, std::memory_order_release); }

private:
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
};

// What a planning step polls: the job's cancel flag, and a numbered checkpoint that a test hook may use to
// cancel the job or hold it at a given step.
class CancelToken {
public:
    using Hook = std::function<void(int checkpoint)>;

    CancelToken(const WorkerJob& job, const Hook* hook) : job_(job), hook_(hook) {}

    // Counts one checkpoint (1 for the first); true when the plan is to stop now.
    bool Checkpoint() {
        ++count_;
        if (hook_ != nullptr && *hook_) (*hook_)(count_);
        return job_.IsCancelled();
    }
    bool IsCancelled() const { return job_.IsCancelled(); }
    int GetCount() const { return count_; }

private:
    const WorkerJob& job_;
    const Hook* hook_;
    int count_ = 0;
};

}  // namespace game
