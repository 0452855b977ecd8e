#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/platform/engine_fixture.h"
#include "engine/platform/scoped_env.h"
#include "engine/platform/windows_engine.h"
#include "game/core/display_mode.h"
#include "game/core/settings_file.h"
#include "support/temp_folder.h"

namespace {

std::string Bytes(std::initializer_list<std::int32_t> values) {
    std::string bytes;
    for (std::int32_t value : values) {
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
    }
    return bytes;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ReadSettings, FlagOfTheFileInTheUserFolder) {
    testsupport::TempFolder folder;
    platformtest::ScopedEnv dataHome("XDG_DATA_HOME", folder.Path().c_str());
    const std::string path = folder.File("Tinmarch/settings.dat");
    EXPECT_EQ(game::SettingsPath(), path);
    EXPECT_EQ(game::ReadSettings(), 1) << "no file";

    struct Case {
        const char* what;
        std::string bytes;
        int flag;
    };
    const Case cases[] = {
        {"windowed", Bytes({1, 0}), 0},
        {"version not checked", Bytes({7, 0}), 0},
        {"full screen", Bytes({1, 1}), 1},
        {"empty", "", 1},
        {"version only", Bytes({1}), 1},
        {"seven bytes", Bytes({1, 0}).substr(0, 7), 1},
        {"bytes after the flag", Bytes({1, 0, 99}), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(folder.Write("Tinmarch/settings.dat", c.bytes.data(), c.bytes.size()));
        EXPECT_EQ(game::ReadSettings(), c.flag);
    }

    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(game::ReadSettings(), 1) << "a folder at the path";
}

// A settings file cut short is kept as "settings.dat.bad" with one line on stderr before the next write
// replaces it; one that cannot be moved aside is never written over in that run. A missing or empty file is
// an ordinary first start.
TEST(ReadSettings, ADamagedFileIsSetAsideOrLeftAlone) {
    testsupport::TempFolder folder;
    platformtest::ScopedEnv dataHome("XDG_DATA_HOME", folder.Path().c_str());
    const std::string path = folder.File("Tinmarch/settings.dat");
    const std::string aside = path + ".bad";
    const std::string cut = Bytes({1, 0}).substr(0, 5);

    for (const std::string& firstStart : {std::string("absent"), std::string()}) {
        SCOPED_TRACE(firstStart.empty() ? "empty" : "absent");
        std::filesystem::remove(path);
        if (firstStart.empty()) {
            ASSERT_TRUE(folder.Write("Tinmarch/settings.dat", "", 0));
        }
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(game::ReadSettings(), 1);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_FALSE(std::filesystem::exists(aside));
    }

    ASSERT_TRUE(folder.Write("Tinmarch/settings.dat", cut.data(), cut.size()));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(game::ReadSettings(), 1);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("settings.dat.bad"), std::string::npos) << said;
    EXPECT_EQ(ReadAll(aside), cut);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(game::WriteSettings(0));
    EXPECT_EQ(ReadAll(path), Bytes({1, 0}));
    EXPECT_EQ(ReadAll(aside), cut);

    // A folder with something in it where the copy goes: the rename fails, even for root.
    std::filesystem::remove(aside);
    std::filesystem::create_directories(aside + "/keep");
    ASSERT_TRUE(folder.Write("Tinmarch/settings.dat", cut.data(), cut.size()));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(game::ReadSettings(), 1);
    said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("could not be moved aside"), std::string::npos) << said;
    EXPECT_FALSE(game::WriteSettings(0));
    EXPECT_EQ(ReadAll(path), cut);

    // The next run finds the way clear.
    std::filesystem::remove_all(aside);
    EXPECT_EQ(game::ReadSettings(), 1);
    EXPECT_EQ(ReadAll(aside), cut);
    EXPECT_TRUE(game::WriteSettings(0));
}

class DisplayModeSwitch : public testsupport::EngineTest {
protected:
    void TearDown() override {
        for (int slot = 0; slot < static_cast<int>(game::RelayoutSlot::kCount); ++slot) {
            game::SetRelayoutCallback(static_cast<game::RelayoutSlot>(slot), nullptr);
        }
        EngineTest::TearDown();
    }

    std::string SettingsFile() const { return folder.File("Tinmarch/settings.dat"); }

    // Records every callback with its slot and size.
    void RecordRelayouts() {
        for (int slot = 0; slot < static_cast<int>(game::RelayoutSlot::kCount); ++slot) {
            game::SetRelayoutCallback(static_cast<game::RelayoutSlot>(slot), [this, slot](int width, int height) {
                calls.push_back(std::to_string(slot) + " " + std::to_string(width) + "x" + std::to_string(height));
            });
        }
    }

    std::vector<std::string> calls;
};

TEST_F(DisplayModeSwitch, TwoSwitchesSaveEachModeAndReLayInSlotOrder) {
    engine::Engine* made = engine::CreateEngine(WindowedRecord());
    ASSERT_NE(made, nullptr);
    RecordRelayouts();

    ASSERT_TRUE(game::SwitchDisplayModeAndSave());
    EXPECT_TRUE(made->IsFullScreen());
    EXPECT_EQ(ReadAll(SettingsFile()), Bytes({1, 1}));
    EXPECT_EQ(game::ReadSettings(), 1);
    const game::ScreenSize& screen = game::GetScreenSize();
    EXPECT_EQ(std::vector<int>({screen.width, screen.height, screen.halfWidth, screen.halfHeight}),
              std::vector<int>({1024, 768, 512, 384}));
    EXPECT_EQ(calls, (std::vector<std::string>{"0 1024x768", "1 1024x768", "2 1024x768", "3 1024x768", "4 1024x768"}));

    calls.clear();
    ASSERT_TRUE(game::SwitchDisplayModeAndSave());
    EXPECT_FALSE(made->IsFullScreen());
    EXPECT_EQ(ReadAll(SettingsFile()), Bytes({1, 0}));
    EXPECT_EQ(game::ReadSettings(), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"0 960x640", "1 960x640", "2 960x640", "3 960x640", "4 960x640"}));
    EXPECT_EQ(game::GetScreenSize().halfWidth, 480);
}

TEST_F(DisplayModeSwitch, AFailedWriteKeepsTheOldFileAndTheNewMode) {
    engine::Engine* made = engine::CreateEngine(WindowedRecord());
    ASSERT_NE(made, nullptr);
    const std::string old = Bytes({1, 0});
    ASSERT_TRUE(folder.Write("Tinmarch/settings.dat", old.data(), old.size()));
    // A folder where the temporary file must go: refused even for a user who may write anywhere.
    std::filesystem::create_directory(SettingsFile() + ".tmp");
    std::filesystem::create_directory(SettingsFile() + ".tmp/inside");

    EXPECT_FALSE(game::SwitchDisplayModeAndSave());
    EXPECT_TRUE(made->IsFullScreen());
    EXPECT_EQ(ReadAll(SettingsFile()), old);
}

TEST_F(DisplayModeSwitch, TheUserFolderIsMadeWhenMissing) {
    engine::Engine* made = engine::CreateEngine(WindowedRecord());
    ASSERT_NE(made, nullptr);
    std::filesystem::remove_all(folder.Path() / "Tinmarch");
    ASSERT_TRUE(game::SwitchDisplayModeAndSave());
    EXPECT_EQ(ReadAll(SettingsFile()), Bytes({1, 1}));
}

TEST(DisplayModeSwitchWithoutEngine, FailsWithoutWriting) {
    testsupport::TempFolder folder;
    platformtest::ScopedEnv dataHome("XDG_DATA_HOME", folder.Path().c_str());
    ASSERT_EQ(engine::GetEngine(), nullptr);
    EXPECT_FALSE(game::SwitchDisplayModeAndSave());
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Tinmarch" / "settings.dat"));
}

}  // namespace
