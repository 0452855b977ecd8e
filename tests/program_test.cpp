// Starts the built program headless and checks that it ends cleanly when asked to stop.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// tools/run starts build/tinmarch; the program tested here must be that very file.
TEST(Program, IsTheFileThatToolsRunStarts) {
    std::error_code error;
    EXPECT_TRUE(std::filesystem::equivalent(TINMARCH_EXE, TINMARCH_RUN_PATH, error)) << TINMARCH_EXE;
}

TEST(Program, SigtermEndsWithStatusZero) {
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(TINMARCH_EXE), nullptr};
    ASSERT_EQ(posix_spawn(&pid, TINMARCH_EXE, nullptr, nullptr, argv, environ), 0);

    std::this_thread::sleep_for(std::chrono::seconds(1));
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the program ended before it was asked to";
    ASSERT_EQ(kill(pid, SIGTERM), 0);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    pid_t done = 0;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the program did not end within 5 s of SIGTERM";
    }
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
