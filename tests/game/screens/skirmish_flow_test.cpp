#include <gtest/gtest.h>

#include "engine/gui/list_box.h"
#include "game/screens/flow_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/match_setup_zones.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;

// The way from the main menu into a skirmish, every step a pointer press and release through the engine's
// input: play, skirmish, start, pick map, a row, select, options, a slider, done, play.
TEST(SkirmishFlowTest, FromTheMainMenuToTheSkirmishLevelOnTheChosenMap) {
    ScreenKit kit;
    units_test::DataFolder data;
    ASSERT_TRUE(data.Write("Campaigns/Skirmish/standardpassandplaymaps.TXT", "Hills\nBay\n"));
    ASSERT_TRUE(data.Write("Campaigns/Skirmish/Bay/details.TXT", "[NAMES]\nThe Bay\nWater\n2\n"));
    kit.loader.Add("Campaigns/Skirmish/Bay/thumbnail", 233, 197);
    game::RegisterFlowZones(kit.registry);
    ASSERT_TRUE(kit.registry.CreateZones());
    kit.profile.defaultMap = "Campaigns/Skirmish/Hills";
    kit.profile.matchOptions = {100, 100, 25, 25};
    kit.game.state = 5;
    auto& driver = kit.driver;
    auto* menu = kit.registry.GetTitled(ZoneId::kMainMenu);

    // Each step clicks a control of the zone shown after the previous one, once its zoom has ended.
    auto click = [&](ZoneId id, int control) {
        game::TitledZone* zone = kit.registry.GetTitled(id);
        ASSERT_TRUE(zone->IsShown()) << static_cast<int>(id);
        driver.Run(0.25f);
        driver.Click(*zone, control);
    };
    game::OpenZone(*menu, 8, 0, 0);
    click(ZoneId::kMainMenu, game::kMainPlay);
    click(ZoneId::kGameType, game::kTypeSkirmish);
    click(ZoneId::kGameType, game::kTypeStart);
    click(ZoneId::kSkirmishSetup, game::kSkirmishSetupStyle.pickMapId);
    // The second row: the pointer presses and releases on it.
    auto& picker = *dynamic_cast<game::MapPickerZone*>(kit.registry.Get(ZoneId::kMapPicker));
    ASSERT_TRUE(picker.IsShown());
    driver.Run(0.25f);
    const engine::IntPoint list = testsupport::ZoneDriver::CentreOf(picker, game::kMapPickerList);
    const auto& box = *dynamic_cast<engine::ListBox*>(picker.GetWindow()->FindControl(game::kMapPickerList));
    const engine::IntRect listRect = box.ScreenRect(0, 0);
    driver.input.pointerX = list.x;
    driver.input.pointerY = listRect.y + box.GetRowHeight() + box.GetRowHeight() / 2;
    driver.input.down.insert(engine::kKeyMouseLeft);
    driver.Frame();
    driver.Release();
    EXPECT_EQ(std::string(picker.GetCurrentMap().title.GetNarrow()), "The Bay");
    click(ZoneId::kMapPicker, game::kMapPickerSelect);
    click(ZoneId::kSkirmishSetup, game::kSkirmishSetupStyle.optionsId);
    // The first slider, pressed at its right end.
    auto* options = kit.registry.GetTitled(ZoneId::kMatchOptions);
    ASSERT_TRUE(options->IsShown());
    driver.Run(0.25f);
    const std::array<int, 4> before = kit.profile.matchOptions;
    const engine::IntRect slider =
        options->GetWindow()->FindControl(game::kOptionSliders[0])->ScreenRect(0, 0);
    driver.input.pointerX = slider.x + slider.width - 2;
    driver.input.pointerY = slider.y + slider.height / 2;
    driver.input.down.insert(engine::kKeyMouseLeft);
    driver.Frame();
    driver.Release();
    EXPECT_NE(kit.profile.matchOptions, before);
    click(ZoneId::kMatchOptions, game::kOptionsDone);
    click(ZoneId::kSkirmishSetup, game::kSkirmishSetupStyle.playId);

    EXPECT_EQ(kit.game.state, game::kStateLoadSkirmish);
    EXPECT_EQ(kit.profile.defaultMap, "Campaigns/Skirmish/Bay");
    EXPECT_EQ(kit.profile.gameType, game::kGameTypeSkirmish);
    EXPECT_GE(kit.profile.saves, 2);
}

}  // namespace
}  // namespace screens_test
