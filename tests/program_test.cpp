// Starts the built program headless, with a user folder and cache of its own, and checks how it starts and
// how it ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "engine/platform/packed_block.h"
#include "support/temp_folder.h"

extern char** environ;

namespace {

class Program : public ::testing::Test {
protected:
    // Starts the program with the caller's environment, XDG_DATA_HOME and XDG_CACHE_HOME in the test's folder
    // and the extra NAME=value settings on top (a bare NAME removes that variable); stderr goes to a file. The
    // program is the built one unless another path is given.
    void Start(const std::vector<std::string>& extra = {}, const std::string& program = TINMARCH_EXE) {
        std::vector<std::string> settings = {"XDG_DATA_HOME=" + folder.File("data"),
                                             "XDG_CACHE_HOME=" + folder.File("cache")};
        settings.insert(settings.end(), extra.begin(), extra.end());
        // "NAME=" of a setting.
        const auto prefix = [](const std::string& text) {
            const std::size_t equals = text.find('=');
            return equals == std::string::npos ? text + "=" : text.substr(0, equals + 1);
        };
        std::vector<std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            bool replaced = false;
            for (const std::string& setting : settings) replaced = replaced || prefix(text) == prefix(setting);
            if (!replaced) environment.push_back(text);
        }
        for (const std::string& setting : settings) {
            if (setting.find('=') != std::string::npos) environment.push_back(setting);
        }
        std::vector<char*> envp;
        for (std::string& text : environment) envp.push_back(text.data());
        envp.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, StderrPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        const int result = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(result, 0);
    }

    // A test that fails while the program runs leaves no program behind holding the lock and the machine.
    void TearDown() override {
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }

    // Waits up to the time for the program to end. True with its status when it ended; otherwise it is
    // killed and false returned.
    bool WaitForExit(std::chrono::seconds limit, int& status) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        pid_t done = 0;
        while ((done = waitpid(pid_, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (done == pid_) return true;
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        return false;
    }

    // Waits until the started program holds its lock and has had two more seconds to open its window, whose
    // start-up turns SIGTERM into a quit request. A slow start (a sanitizer build on a busy machine) can take
    // many seconds to get there; a program that ends meanwhile fails.
    ::testing::AssertionResult WaitUntilRunning() {
        const std::string lock = UserFolder() + "/instance.lock";
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int status = 0;
        while (!std::filesystem::exists(lock)) {
            if (waitpid(pid_, &status, WNOHANG) != 0) {
                return ::testing::AssertionFailure() << "the program ended before it was asked to:\n" << Stderr();
            }
            if (std::chrono::steady_clock::now() > giveUp) {
                return ::testing::AssertionFailure() << "no instance lock after 60 s";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));
        if (waitpid(pid_, &status, WNOHANG) != 0) {
            return ::testing::AssertionFailure() << "the program ended before it was asked to:\n" << Stderr();
        }
        return ::testing::AssertionSuccess();
    }
    std::string StderrPath() const { return folder.File("stderr.txt"); }
    std::string Stderr() const { return ReadAll(StderrPath()); }
    std::string UserFolder() const { return folder.File("data/Tinmarch"); }

    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Every file under the folder with its bytes.
    static std::map<std::string, std::string> Snapshot(const std::string& path) {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
            files[entry.path().string()] = entry.is_regular_file() ? ReadAll(entry.path().string()) : "(folder)";
        }
        return files;
    }

    testsupport::TempFolder folder;
    pid_t pid_ = 0;
};

// tools/run starts build/tinmarch; the program tested here must be that very file.
TEST(ProgramFile, IsTheFileThatToolsRunStarts) {
    std::error_code error;
    EXPECT_TRUE(std::filesystem::equivalent(TINMARCH_EXE, TINMARCH_RUN_PATH, error)) << TINMARCH_EXE;
}

TEST_F(Program, TakesTheInstanceLockAndEndsWithStatusZeroOnSigterm) {
    Start();
    ASSERT_TRUE(WaitUntilRunning());
    int status = 0;
    ASSERT_EQ(kill(pid_, SIGTERM), 0);

    ASSERT_TRUE(WaitForExit(std::chrono::seconds(30), status)) << "the program did not end within 30 s of SIGTERM";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << Stderr();
}

TEST_F(Program, ASecondCopyLeavesQuietlyAndTouchesNothing) {
    std::filesystem::create_directories(UserFolder());
    const int lock = ::open((UserFolder() + "/instance.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    const auto before = Snapshot(UserFolder());

    Start();
    int status = 0;
    const bool ended = WaitForExit(std::chrono::seconds(5), status);
    ::close(lock);
    ASSERT_TRUE(ended) << "the second copy did not leave within 5 s";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(Stderr().find("already running"), std::string::npos) << Stderr();
    EXPECT_EQ(Snapshot(UserFolder()), before);
}

TEST_F(Program, NoDisplayEndsWithStatusOne) {
    Start({"SDL_VIDEODRIVER=no-such-driver"});
    int status = 0;
    ASSERT_TRUE(WaitForExit(std::chrono::seconds(10), status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(Stderr().find("cannot make the window"), std::string::npos) << Stderr();
}

// With no display at all SDL would fall back to a screenless driver and the game would run unseen, holding the
// instance lock; it must say so and end instead, so that the next start is not refused.
TEST_F(Program, NoDisplayWithoutANamedDriverEndsWithStatusOne) {
    Start({"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"});
    int status = 0;
    ASSERT_TRUE(WaitForExit(std::chrono::seconds(10), status)) << "the program ran on without a display";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    // One line of ours (the display libraries SDL probes may add their own).
    const std::string said = Stderr();
    std::size_t ours = 0;
    for (std::size_t at = said.find("tinmarch:"); at != std::string::npos; at = said.find("tinmarch:", at + 1)) ++ours;
    EXPECT_EQ(ours, 1u) << said;
    EXPECT_NE(said.find("no display could be opened"), std::string::npos) << said;
}

// The program reads its data beside itself. A copy of it beside a copy of the shipped archive whose two unit
// tables are renamed away cannot load them: it says why and ends with status 1 instead of waiting on an
// empty screen.
TEST_F(Program, ADataSetWithoutItsUnitTablesEndsWithStatusOne) {
    const std::filesystem::path built(TINMARCH_EXE);
    std::string archive = ReadAll((built.parent_path() / "DataPC.zip").string());
    ASSERT_FALSE(archive.empty()) << "no DataPC.zip beside the program";
    // The same length keeps every offset of the archive; the names stand in each local header and again in
    // the central directory.
    int renamed = 0;
    for (const std::string name : {"Units/BasicParams.TXT", "Units/Damage.TXT"}) {
        std::string other = name;
        other[other.size() - 5] = '_';
        for (std::size_t at = archive.find(name); at != std::string::npos; at = archive.find(name, at + 1)) {
            archive.replace(at, name.size(), other);
            ++renamed;
        }
    }
    ASSERT_EQ(renamed, 4);
    const std::filesystem::path program = folder.Path() / "game" / "tinmarch";
    ASSERT_TRUE(folder.Write("game/DataPC.zip", archive.data(), archive.size()));
    std::error_code error;
    std::filesystem::create_hard_link(built, program, error);
    if (error) {
        ASSERT_TRUE(std::filesystem::copy_file(built, program, error)) << error.message();
    }

    Start({}, program.string());
    int status = 0;
    ASSERT_TRUE(WaitForExit(std::chrono::seconds(10), status)) << "the program ran on:\n" << Stderr();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << Stderr();
    EXPECT_NE(Stderr().find("the unit models and tables did not load; the game cannot start without it"),
              std::string::npos)
        << Stderr();
}

// The running program has its crash-report writer: a crash leaves a report in the user folder and the program
// dies by that signal. SIGILL, which the sanitizer builds leave to the program.
TEST_F(Program, ACrashLeavesAReportInTheUserFolder) {
    Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(UserFolder() + "/instance.lock") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_EQ(kill(pid_, SIGILL), 0);
    int status = 0;
    ASSERT_TRUE(WaitForExit(std::chrono::seconds(30), status));
    ASSERT_TRUE(WIFSIGNALED(status)) << Stderr();
    EXPECT_EQ(WTERMSIG(status), SIGILL);
    int reports = 0;
    for (const auto& entry : std::filesystem::directory_iterator(UserFolder())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("tinmarch.") && name.ends_with(".dmp") && entry.file_size() > 0) ++reports;
    }
    EXPECT_EQ(reports, 1) << Stderr();
}

// A profile cut short is set aside with its bytes, said once on stderr, and the game runs on the defaults: the
// new profile counts this one start.
TEST_F(Program, ACutProfileIsSetAsideAndTheGameStartsOnDefaults) {
    std::filesystem::create_directories(UserFolder());
    std::string record(8 + 73356, '\0');
    record[8 + 552] = static_cast<char>(777 & 0xFF);
    record[8 + 553] = static_cast<char>(777 >> 8);
    std::uint32_t size = static_cast<std::uint32_t>(record.size());
    const auto block = engine::PackBlock(record.data(), size);
    ASSERT_NE(block, nullptr);
    const std::string cut(reinterpret_cast<const char*>(block.get()), std::min<std::uint32_t>(size, 120));
    {
        std::ofstream out(UserFolder() + "/savedata.sav", std::ios::binary);
        out << cut;
    }
    Start();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_EQ(kill(pid_, SIGTERM), 0);
    int status = 0;
    ASSERT_TRUE(WaitForExit(std::chrono::seconds(30), status));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << Stderr();
    EXPECT_EQ(ReadAll(UserFolder() + "/savedata.sav.bad"), cut);
    EXPECT_NE(Stderr().find("savedata.sav.bad"), std::string::npos) << Stderr();
    const std::string file = ReadAll(UserFolder() + "/savedata.sav");
    std::uint32_t unpacked = 0;
    const auto loaded = engine::UnpackBlock(file.data(), file.size(), unpacked);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(unpacked, 8u + 73356u);
    EXPECT_EQ(loaded[8 + 552], 1) << "one start counted on the defaults";
    EXPECT_EQ(loaded[8 + 553], 0);
}

// Each run counts one start in the profile and writes it by the time it ends.
TEST_F(Program, TwoRunsCountTwoStartsInTheProfile) {
    for (int run = 1; run <= 2; ++run) {
        Start();
        ASSERT_TRUE(WaitUntilRunning()) << "run " << run;
        ASSERT_EQ(kill(pid_, SIGTERM), 0);
        int status = 0;
        ASSERT_TRUE(WaitForExit(std::chrono::seconds(30), status)) << "run " << run;
        ASSERT_TRUE(WIFEXITED(status)) << "run " << run;
        EXPECT_EQ(WEXITSTATUS(status), 0) << Stderr();

        const std::string file = ReadAll(UserFolder() + "/savedata.sav");
        std::uint32_t size = 0;
        const auto record = engine::UnpackBlock(file.data(), file.size(), size);
        ASSERT_NE(record, nullptr) << "run " << run;
        ASSERT_EQ(size, 8u + 73356u);
        // The start counter at 552 of the record, after the 8-byte header.
        const std::uint8_t* counter = record.get() + 8 + 552;
        const std::uint32_t starts = counter[0] | (counter[1] << 8) | (counter[2] << 16) | (counter[3] << 24);
        EXPECT_EQ(starts, static_cast<std::uint32_t>(run));
    }
}

}  // namespace
