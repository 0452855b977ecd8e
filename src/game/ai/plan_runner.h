#pragma once
// Runs one WorkerJob and lets the main thread ask, without blocking, whether it has ended. The threaded
// runner uses one std::thread and plans inline when the thread cannot be made; the inline runner carries the
// job out inside Start, for tests and for a game without threads.
#include <atomic>
#include <functional>
#include <thread>

#include "game/ai/worker_job.h"

namespace game {

class PlanRunner {
public:
    virtual ~PlanRunner() = default;
    // Starts the job; false when it ran inline because no thread could be made.
    virtual bool Start(WorkerJob& job) = 0;
    // True once the job has returned (or when nothing was started).
    virtual bool IsFinished() const = 0;
    // Cancels the job, then waits until it has returned. No time-out: the job polls the flag between steps.
    virtual void Stop() = 0;
    // Waits for a finished job's thread (cancelling an unfinished one first); then the job's results are
    // visible to the caller. Nothing happens without a thread.
    virtual void Close() = 0;
};

class InlinePlanRunner final : public PlanRunner {
public:
    bool Start(WorkerJob& job) override {
        job.Run();
        return true;
    }
    bool IsFinished() const override { return true; }
    void Stop() override {}
    void Close() override {}
};

class ThreadPlanRunner final : public PlanRunner {
public:
    // Makes the thread from its body; it may throw std::system_error like the std::thread constructor.
    using ThreadMaker = std::function<std::thread(std::function<void()>)>;

    ThreadPlanRunner();
    explicit ThreadPlanRunner(ThreadMaker maker);
    ~ThreadPlanRunner() override;
    ThreadPlanRunner(const ThreadPlanRunner&) = delete;
    ThreadPlanRunner& operator=(const ThreadPlanRunner&) = delete;

    bool Start(WorkerJob& job) override;
    bool IsFinished() const override;
    void Stop() override;
    void Close() override;
    bool HasThread() const { return thread_.joinable(); }

private:
    ThreadMaker maker_;
    WorkerJob* job_ = nullptr;
    std::thread thread_;
    std::atomic<bool> finished_{true};
};

}  // namespace game
