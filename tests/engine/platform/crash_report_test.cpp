#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform/crash_report.h"
#include "support/temp_folder.h"
#include "sys/crash_handler.h"

#if defined(__SANITIZE_ADDRESS__)
#define CRASH_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CRASH_TEST_SANITIZED 1
#endif
#endif

namespace {

namespace fs = std::filesystem;
using engine::CrashDumper;

#ifdef CRASH_TEST_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Runs in the death-test child: points the user folder at `dataHome` and installs the handler.
void Install(const fs::path& dataHome) {
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    if (!CrashDumper::Instance().Init(1)) std::_Exit(3);
}

void Crash(int signal) {
    if (signal == SIGSEGV && !kSanitized) {
        // A real fault; the sanitizers would stop a null store before it reaches the handler.
        volatile int* volatile target = nullptr;
        *target = 1;
    }
    if (signal == SIGABRT) std::terminate();
    ::raise(signal);
}

volatile int g_stopRecursion = 0;

[[gnu::noinline]] int Recurse(int depth) {
    volatile char frame[2048];
    frame[0] = static_cast<char>(depth);
    if (g_stopRecursion != 0) return frame[0];
    return Recurse(depth + 1) + frame[depth % 2048];
}

std::string ProgramName() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    return n > 0 ? fs::path(std::string(path, static_cast<std::size_t>(n))).filename().string() : "";
}

std::vector<fs::path> Reports(const fs::path& root) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".dmp") found.push_back(it->path());
    }
    return found;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

unsigned Mode(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

// The one report under `dataHome`, checked for what every report holds.
std::string CheckReport(const fs::path& dataHome, const char* signalLine) {
    const std::vector<fs::path> reports = Reports(dataHome);
    if (reports.size() != 1) {
        ADD_FAILURE() << reports.size() << " reports";
        return {};
    }
    const fs::path& report = reports[0];
    EXPECT_EQ(report.parent_path(), dataHome / "Tinmarch");
    EXPECT_EQ(Mode(dataHome / "Tinmarch"), 0700u);
    EXPECT_EQ(Mode(report), 0600u);
    EXPECT_TRUE(std::regex_match(report.filename().string(),
                                 std::regex(std::regex_replace(ProgramName(), std::regex("[.+]"), "\\$&") +
                                            "\\.[0-9]+\\.dmp")))
        << report;

    const std::string text = ReadText(report);
    EXPECT_NE(text.find(signalLine), std::string::npos) << text.substr(0, 400);
    EXPECT_TRUE(std::regex_search(text, std::regex("\nThread: [1-9][0-9]*\n")));
#if defined(__x86_64__)
    EXPECT_TRUE(std::regex_search(text, std::regex("RIP 0x[0-9a-f]{16}")));
#endif
    // Backtrace lines come before the memory map, which copies /proc/self/maps whole.
    const std::size_t backtrace = text.find("\nBacktrace:\n");
    const std::size_t maps = text.find("\nMemory map:\n");
    EXPECT_NE(backtrace, std::string::npos);
    EXPECT_NE(maps, std::string::npos);
    if (backtrace != std::string::npos && maps != std::string::npos && backtrace < maps) {
        const std::string frames = text.substr(backtrace, maps - backtrace);
        EXPECT_TRUE(std::regex_search(frames, std::regex("\\[0x[0-9a-f]+\\]\n"))) << frames;
        const std::string map = text.substr(maps);
        EXPECT_NE(map.find(ProgramName()), std::string::npos);
        EXPECT_NE(map.find("[vdso]"), std::string::npos);
    }
    return text;
}

struct SignalCase {
    int signal;
    const char* line;
};

const SignalCase kSignalCases[] = {
    {SIGSEGV, "Signal: SIGSEGV (11)\n"}, {SIGABRT, "Signal: SIGABRT (6)\n"}, {SIGBUS, "Signal: SIGBUS (7)\n"},
    {SIGILL, "Signal: SIGILL (4)\n"},    {SIGFPE, "Signal: SIGFPE (8)\n"},
};

TEST(CrashReportDeathTest, WritesAReportAndDiesByTheSignal) {
    for (const SignalCase& c : kSignalCases) {
        SCOPED_TRACE(c.line);
        testsupport::TempFolder temp;
        const fs::path dataHome = temp.Path() / "data" / "home";
        EXPECT_EXIT((Install(dataHome), Crash(c.signal)), ::testing::KilledBySignal(c.signal), "");
        const std::string text = CheckReport(dataHome, c.line);
        if (c.signal == SIGSEGV && !kSanitized) {
            EXPECT_NE(text.find("\nCode: 1\nFault address: 0x0000000000000000\n"), std::string::npos) << text;
        }
    }
}

TEST(CrashReportDeathTest, UnwritableFolderGivesNoReportButStillDies) {
    for (int signal : {SIGSEGV, SIGABRT}) {
        testsupport::TempFolder temp;
        // A file where the data folder should be: creating the report folder fails even for root.
        ASSERT_TRUE(temp.Write("blocked", "x", 1));
        const fs::path dataHome = temp.Path() / "blocked";
        EXPECT_EXIT((Install(dataHome), Crash(signal)), ::testing::KilledBySignal(signal),
                    "Failed to create the mini-dump file '.*/blocked/Tinmarch/.*\\.[0-9]+\\.dmp' \\(error 20\\)");
        EXPECT_TRUE(Reports(temp.Path()).empty());
    }
}

TEST(CrashReportDeathTest, SecondCrashingThreadWaitsForTheFirstReport) {
    testsupport::TempFolder temp;
    const fs::path dataHome = temp.Path();
    auto crashTwice = [&] {
        Install(dataHome);
        // Crashes with the same signal as soon as the first report exists, while it is being written.
        std::thread second([&] {
            while (Reports(dataHome).empty()) {
            }
            ::raise(SIGSEGV);
        });
        ::raise(SIGSEGV);
        second.join();
    };
    EXPECT_EXIT(crashTwice(), ::testing::KilledBySignal(SIGSEGV), "");
    CheckReport(dataHome, "Signal: SIGSEGV (11)\n");
}

TEST(CrashReportDeathTest, StackOverflowLeavesAReport) {
    if (kSanitized) GTEST_SKIP() << "the sanitizers take over stack overflows";
    {
        testsupport::TempFolder temp;
        EXPECT_EXIT((Install(temp.Path()), Recurse(0)), ::testing::KilledBySignal(SIGSEGV), "");
        CheckReport(temp.Path(), "Signal: SIGSEGV (11)\n");
    }
    {
        // A later thread with a crash stack of its own.
        testsupport::TempFolder temp;
        auto overflowOnThread = [&] {
            Install(temp.Path());
            std::thread planner([] {
                if (!engine::UseCrashStackOnThisThread()) std::_Exit(4);
                Recurse(0);
            });
            planner.join();
        };
        EXPECT_EXIT(overflowOnThread(), ::testing::KilledBySignal(SIGSEGV), "");
        CheckReport(temp.Path(), "Signal: SIGSEGV (11)\n");
    }
}

TEST(CrashReport, ThreadsGetAnAlternateStackOfTheirOwn) {
    std::thread worker([] {
        ASSERT_TRUE(engine::UseCrashStackOnThisThread());
        stack_t first{};
        ASSERT_EQ(::sigaltstack(nullptr, &first), 0);
        EXPECT_EQ(first.ss_flags & SS_DISABLE, 0);
        EXPECT_GE(first.ss_size, 64u * 1024u);
        // A second call keeps the stack it has.
        ASSERT_TRUE(engine::UseCrashStackOnThisThread());
        stack_t second{};
        ASSERT_EQ(::sigaltstack(nullptr, &second), 0);
        EXPECT_EQ(second.ss_sp, first.ss_sp);
    });
    worker.join();
}

TEST(CrashReport, InstallRefusesARelativeFolder) {
    EXPECT_FALSE(sys::InstallCrashHandler("relative/folder", "program"));
    EXPECT_FALSE(sys::InstallCrashHandler("", "program"));
    EXPECT_FALSE(sys::InstallCrashHandler("/tmp", ""));
}

}  // namespace
