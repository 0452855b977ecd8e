#include "game/ai/plan_runner.h"

#include <system_error>
#include <utility>

#include "engine/platform/crash_report.h"

namespace game {

ThreadPlanRunner::ThreadPlanRunner()
    : ThreadPlanRunner([](std::function<void()> body) { return std::thread(std::move(body)); }) {}

ThreadPlanRunner::ThreadPlanRunner(ThreadMaker maker) : maker_(std::move(maker)) {}

ThreadPlanRunner::~ThreadPlanRunner() { Stop(); }

bool ThreadPlanRunner::Start(WorkerJob& job) {
    Stop();
    job_ = &job;
    finished_.store(false, std::memory_order_relaxed);
    try {
        thread_ = maker_([this] {
            // A stack overflow in the plan is reported like one on the main thread: the crash handler needs
            // a stack of its own on every thread.
            engine::UseCrashStackOnThisThread();
            job_->Run();
            finished_.store(true, std::memory_order_release);
        });
        return true;
    } catch (const std::system_error&) {
        // Without a thread the turn would never end: plan here instead.
        job.Run();
        finished_.store(true, std::memory_order_release);
        return false;
    }
}

bool ThreadPlanRunner::IsFinished() const {
    return !thread_.joinable() || finished_.load(std::memory_order_acquire);
}

void ThreadPlanRunner::Stop() {
    if (!thread_.joinable()) return;
    job_->Cancel();
    thread_.join();
}

void ThreadPlanRunner::Close() {
    if (!thread_.joinable()) return;
    if (!finished_.load(std::memory_order_acquire)) job_->Cancel();
    thread_.join();
}

}  // namespace game
