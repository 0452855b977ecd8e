// The plan runners: the inline one, the threaded one's finished flag, stop and close, and the inline
// fallback when no thread can be made.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>

#include "game/ai/plan_runner.h"

namespace ai_test {
namespace {

using namespace game;

class CountingJob : public WorkerJob {
public:
    void Run() override {
        ++runs;
        if (finishDone) SetDone(true);
    }
    std::atomic<int> runs{0};
    bool finishDone = false;
};

// Blocks until it is cancelled, then remembers that it saw the flag.
class BlockingJob : public WorkerJob {
public:
    void Run() override {
        started.store(true);
        while (!IsCancelled()) std::this_thread::yield();
        sawCancel.store(true);
    }
    std::atomic<bool> started{false};
    std::atomic<bool> sawCancel{false};
};

// Polls the runner until it reports the job finished; false after ten seconds.
bool WaitFinished(const PlanRunner& runner) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!runner.IsFinished()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(PlanRunnerTest, InlineRunnerHasRunTheJobWhenStartReturns) {
    InlinePlanRunner runner;
    CountingJob job;
    EXPECT_TRUE(runner.Start(job));
    EXPECT_EQ(job.runs.load(), 1);
    EXPECT_TRUE(runner.IsFinished());
    runner.Stop();
    runner.Close();
    EXPECT_FALSE(job.IsCancelled());
}

TEST(PlanRunnerTest, ThreadedRunnerIsFinishedOnceTheJobReturnsWhateverItsDoneFlag) {
    for (bool done : {false, true}) {
        ThreadPlanRunner runner;
        CountingJob job;
        job.finishDone = done;
        EXPECT_TRUE(runner.Start(job));
        ASSERT_TRUE(WaitFinished(runner)) << done;
        runner.Close();
        EXPECT_EQ(job.runs.load(), 1);
        EXPECT_EQ(job.IsDone(), done);
        EXPECT_FALSE(runner.HasThread());
    }
}

TEST(PlanRunnerTest, CloseAndStopWithoutAThreadDoNothing) {
    ThreadPlanRunner runner;
    EXPECT_TRUE(runner.IsFinished());
    runner.Close();
    runner.Stop();
    EXPECT_FALSE(runner.HasThread());
}

TEST(PlanRunnerTest, StopCancelsAndWaitsForAJobThatBlocksUntilCancelled) {
    ThreadPlanRunner runner;
    BlockingJob job;
    ASSERT_TRUE(runner.Start(job));
    while (!job.started.load()) std::this_thread::yield();
    EXPECT_FALSE(runner.IsFinished());
    runner.Stop();
    EXPECT_TRUE(job.sawCancel.load());
    EXPECT_TRUE(runner.IsFinished());
    runner.Close();
}

TEST(PlanRunnerTest, CloseOnAnUnfinishedJobCancelsItFirst) {
    ThreadPlanRunner runner;
    BlockingJob job;
    ASSERT_TRUE(runner.Start(job));
    runner.Close();
    EXPECT_TRUE(job.sawCancel.load());
}

TEST(PlanRunnerTest, AThreadThatCannotBeMadePlansInline) {
    ThreadPlanRunner runner([](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    CountingJob job;
    EXPECT_FALSE(runner.Start(job));
    EXPECT_EQ(job.runs.load(), 1);
    EXPECT_TRUE(runner.IsFinished());
    runner.Stop();
    runner.Close();
}

}  // namespace
}  // namespace ai_test
