// The plan runners: the inline one, the threaded one's finished flag, stop and close, and the inline
// fallback when no thread can be made.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/platform/crash_report.h"
#include "game/ai/plan_runner.h"
#include "support/temp_folder.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PLAN_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define PLAN_TEST_SANITIZED 1
#endif
#endif

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

volatile int g_stopRecursion = 0;

[[gnu::noinline]] int Recurse(int depth) {
    volatile char frame[2048];
    frame[0] = static_cast<char>(depth);
    if (g_stopRecursion != 0) return frame[0];
    return Recurse(depth + 1) + frame[depth % 2048];
}

// A plan that never ends its recursion.
class OverflowingJob : public WorkerJob {
public:
    void Run() override { Recurse(0); }
};

// The crash reports under the user folder the child process wrote to.
std::vector<std::string> Reports(const std::filesystem::path& root) {
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() != ".dmp") continue;
        std::ifstream in(it->path(), std::ios::binary);
        found.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return found;
}

TEST(PlanRunnerDeathTest, AStackOverflowOnThePlannersThreadWritesACrashReport) {
#ifdef PLAN_TEST_SANITIZED
    GTEST_SKIP() << "the sanitizers take over stack overflows";
#endif
    testsupport::TempFolder temp;
    auto overflow = [&] {
        ::setenv("XDG_DATA_HOME", temp.Path().c_str(), 1);
        if (!engine::CrashDumper::Instance().Init(1)) std::_Exit(3);
        OverflowingJob job;
        ThreadPlanRunner runner;
        runner.Start(job);
        runner.Close();
        std::_Exit(0);
    };
    EXPECT_EXIT(overflow(), ::testing::KilledBySignal(SIGSEGV), "");
    const std::vector<std::string> reports = Reports(temp.Path());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("Signal: SIGSEGV (11)\n"), std::string::npos);
}

}  // namespace
}  // namespace ai_test
