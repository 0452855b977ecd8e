// The disk shader cache through the real program: a start through the main menu into a skirmish fills it, and
// the same walk on a second start with the same cache compiles no shader. With the cache emptied the walk
// compiles again, so the second start's shaders came from the disk and not from anything the process kept.
// A second start through every screen, the first campaign mission won to its win screen and a snowy skirmish
// with its computer's turn neither compiles nor translates a shader. Each start gets a fresh user folder: a
// kept one holds the battle's autosave, which the next start resumes, and the walk would not be the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "e2e/battle_walks.h"
#include "e2e/campaign_walks.h"
#include "e2e/screen_tour.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/level/weather.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/match_setup_zones.h"
#include "game/screens/result_screens.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace e2e {
namespace {

using game::ZoneId;

// The skirmish map with snow, the weather that is on all the time (a rainy map is dry three spells in four).
constexpr const char* kSnowyMap = "Highlands";

// The first campaign mission from the main menu, won; its win screen with the turning trophy, then back
// through the campaign map and the game type to the main menu.
void WinTheFirstMission(ProgramDriver& d) {
    ASSERT_TRUE(OpenCampaignMap(d)) << "state " << d.State();
    PlaySelectedMission(d, false);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_GT(MarchToTheGoal(d, 0), 0) << "the mission was not won; day " << d.Day() << " state " << d.State();
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMissionWon); }, 20 * kSeconds)) << "state " << d.State();
    d.Frames(30);
    ASSERT_TRUE(ContinueToTheMap(d));
    ASSERT_TRUE(d.Click(ZoneId::kCampaignMap, game::CampaignMapZone::kBackId));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kGameType); }, 5 * kSeconds)) << "state " << d.State();
    ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeBack));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 5 * kSeconds)) << "state " << d.State();
}

// The skirmish setup from the main menu, the snowy map picked from the map picker's list, play: the battle's
// snow falls, frame by frame.
void StartASnowySkirmish(ProgramDriver& d) {
    ASSERT_TRUE(OpenSkirmishSetup(d)) << "state " << d.State();
    const game::SetupStyle& skirmish = game::kSkirmishSetupStyle;
    ASSERT_TRUE(d.Click(ZoneId::kSkirmishSetup, skirmish.pickMapId));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMapPicker); }, 5 * kSeconds));
    const auto* picker = dynamic_cast<const game::MapPickerZone*>(d.Zones().Get(ZoneId::kMapPicker));
    ASSERT_NE(picker, nullptr);
    const auto isSnowy = [](const game::MapInfo& map) {
        const std::string folder = map.folder.GetNarrow();
        const std::string name = kSnowyMap;
        return folder.size() >= name.size() && folder.compare(folder.size() - name.size(), name.size(), name) == 0;
    };
    int row = -1;
    for (std::size_t i = 0; i < picker->GetMaps().size(); ++i) {
        if (isSnowy(picker->GetMaps()[i])) row = static_cast<int>(i);
    }
    ASSERT_GE(row, 0) << kSnowyMap << " is not in the map picker's list";
    d.Frames(20);
    ASSERT_TRUE(d.ClickListRow(ZoneId::kMapPicker, game::kMapPickerList, row));
    ASSERT_TRUE(d.WaitFor([&] { return isSnowy(picker->GetCurrentMap()); }, 2 * kSeconds))
        << "the map picker did not take " << kSnowyMap;
    ASSERT_TRUE(d.Click(ZoneId::kMapPicker, game::kMapPickerSelect));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSkirmishSetup); }, 5 * kSeconds));
    d.Frames(20);
    ASSERT_TRUE(PlaySkirmish(d)) << "state " << d.State();

    const game::Level* level = d.GetGame().GetLevel();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->GetWeatherType(), game::kWeatherSnow);
    const auto snowSteps = [level] {
        const game::WeatherManager* weather = level->GetWeather();
        const game::Snowfall* snow = weather != nullptr ? weather->GetSnow() : nullptr;
        return snow != nullptr ? snow->GetSteps() : -1;
    };
    const int before = snowSteps();
    d.Frames(30);
    EXPECT_GE(before, 0) << "the battle has no snow";
    EXPECT_GT(snowSteps(), before) << "the snow does not fall: the weather is off";
}

TEST(ShaderCacheWalk, ASecondStartCompilesNoShader) {
    ProgramDriver driver;
    const auto compilesOfAStart = [&driver] {
        std::filesystem::remove_all(driver.Folder().File("data"));
        const std::uint64_t before = sys::HlslCompileCount();
        EXPECT_EQ(driver.Run([](ProgramDriver& d) {
            ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
            d.Frames(10);
        }),
                  0);
        return sys::HlslCompileCount() - before;
    };

    const std::uint64_t first = compilesOfAStart();
    EXPECT_GT(first, 0u);
    std::error_code error;
    EXPECT_FALSE(std::filesystem::is_empty(driver.Folder().File("cache/Tinmarch/ShaderCache"), error));
    EXPECT_FALSE(error) << error.message();
    const std::uint64_t second = compilesOfAStart();
    EXPECT_EQ(second, 0u);

    std::filesystem::remove_all(driver.Folder().File("cache"));
    const std::uint64_t emptied = compilesOfAStart();
    EXPECT_EQ(emptied, first);
    std::printf("shader compiles: first start %llu, second %llu, on an emptied cache %llu\n",
                static_cast<unsigned long long>(first), static_cast<unsigned long long>(second),
                static_cast<unsigned long long>(emptied));
}

// Every screen, the first mission's win screen, then a snowy skirmish's first turn and the computer's turn
// after it.
TEST(ShaderCacheWalk, EveryShaderOfTheGameComesFromTheCacheOnASecondStart) {
    ProgramDriver driver;
    struct Start {
        std::uint64_t compiles = 0;
        std::uint64_t translations = 0;
    };
    const auto start = [&driver] {
        std::filesystem::remove_all(driver.Folder().File("data"));
        const Start before{sys::HlslCompileCount(), sys::SpirvToGlslCount()};
        EXPECT_EQ(driver.Run([](ProgramDriver& d) {
            TourEveryScreen(d, false);
            if (::testing::Test::HasFatalFailure()) return;
            WinTheFirstMission(d);
            if (::testing::Test::HasFatalFailure()) return;
            StartASnowySkirmish(d);
            if (::testing::Test::HasFatalFailure()) return;
            ASSERT_TRUE(EndTurnAndWaitForComputer(d)) << "state " << d.State();
            d.Frames(10);
        }),
                  0);
        return Start{sys::HlslCompileCount() - before.compiles, sys::SpirvToGlslCount() - before.translations};
    };

    const Start first = start();
    EXPECT_GT(first.compiles, 0u);
    EXPECT_GT(first.translations, 0u);
    const Start second = start();
    EXPECT_EQ(second.compiles, 0u);
    EXPECT_EQ(second.translations, 0u);
    std::printf("every screen, a win and a snowy battle: first start %llu compiles, %llu translations; second %llu, %llu\n",
                static_cast<unsigned long long>(first.compiles), static_cast<unsigned long long>(first.translations),
                static_cast<unsigned long long>(second.compiles),
                static_cast<unsigned long long>(second.translations));
}

}  // namespace
}  // namespace e2e
