// The program entry in-process on the offscreen window: a temporary user folder, a recording profile, a
// window close pushed after a few frames; the start-up states run, frames are drawn and the shutdown goes
// in its order with the profile saved first.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../core/game_fakes.h"
#include "game/core/program_entry.h"
#include "support/temp_folder.h"

namespace core_test {
namespace {

TEST(ProgramEntry, RunsTheStartupStatesDrawsFramesAndShutsDownInOrder) {
    testsupport::TempFolder folder;
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldData != nullptr ? oldData : "";
    setenv("XDG_DATA_HOME", folder.File("data").c_str(), 1);
    setenv("XDG_CACHE_HOME", folder.File("cache").c_str(), 1);

    Log log;
    FakeProfile profile(log);
    profile.pollResults = {0, kProfileNoFile, kProfileIdle};
    ProgramHooks hooks;
    hooks.profile = &profile;
    int frames = 0;
    hooks.afterFrame = [&frames](int frame) {
        frames = frame;
        if (frame == 3) {
            SDL_Event close{};
            close.type = SDL_QUIT;
            SDL_PushEvent(&close);
        }
    };
    hooks.onShutdownStep = [&log](const char* step) { log.push_back(std::string("shutdown ") + step); };
    const int code = RunProgram(hooks);

    if (oldData != nullptr) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(code, 0);
    EXPECT_GE(frames, 3);
    EXPECT_EQ(profile.startCount, 1) << "state 4 polled the profile to idle";
    const auto at = [&log](const std::string& line) {
        for (std::size_t i = 0; i < log.size(); ++i) {
            if (log[i] == line) return static_cast<int>(i);
        }
        return -1;
    };
    ASSERT_GE(at("profile load"), 0);
    ASSERT_GE(at("shutdown exit"), 0);
    // The last profile save is the exit's, before the strings, the game and the engine go.
    int lastSave = -1;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i] == "profile save") lastSave = static_cast<int>(i);
    }
    EXPECT_GT(lastSave, at("shutdown exit"));
    EXPECT_LT(lastSave, at("shutdown strings"));
    EXPECT_LT(at("shutdown strings"), at("shutdown game"));
    EXPECT_LT(at("shutdown game"), at("shutdown engine"));
}

}  // namespace
}  // namespace core_test
