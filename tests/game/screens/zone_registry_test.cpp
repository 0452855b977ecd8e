#include <gtest/gtest.h>

#include "engine/gui/dialog_system.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;

TEST_F(ScreenTest, CreateZonesMakesTheRegisteredZonesInOrderAndLoadsTheSheets) {
    std::vector<std::string> created;
    // Registered out of order; made in id order, so their windows take slots in that order too.
    for (const ZoneId id : {ZoneId::kShop, ZoneId::kAchievements, ZoneId::kCampaignMap, ZoneId::kTopBar}) {
        registry.Register(id, [&created, id](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<RecordingZone>(s, &created, std::to_string(static_cast<int>(id)).c_str());
        });
    }
    ASSERT_TRUE(registry.CreateZones());
    EXPECT_EQ(created, (std::vector<std::string>{"0", "1", "6", "25"}));
    EXPECT_LT(registry.Get(ZoneId::kCampaignMap)->GetWindow()->GetId(),
              registry.Get(ZoneId::kTopBar)->GetWindow()->GetId());
    EXPECT_LT(registry.Get(ZoneId::kShop)->GetWindow()->GetId(),
              registry.Get(ZoneId::kAchievements)->GetWindow()->GetId());
    for (const char* sheet : {"GUI/ingameUi", "GUI/uibits2", "GUI/ButtonBits", "GUI/Zoomer", "GUI/ChoiceBack",
                              "GUI/CampaignBack"}) {
        EXPECT_EQ(loader.loads[sheet], 1) << sheet;
    }
    EXPECT_EQ(loader.Name(ui.art[game::kArtChoiceBack]), "GUI/ChoiceBack");

    registry.DestroyZones();
    EXPECT_FALSE(registry.Has(ZoneId::kShop));
    for (const auto& [sheet, count] : loader.loads) EXPECT_EQ(loader.releases[sheet], count) << sheet;
    for (int id = 1; id <= 64; ++id) EXPECT_EQ(engine::GetDialog(id), nullptr) << id;
}

TEST_F(ScreenTest, AZoneThatCannotBeMadeFailsCreationAndLeavesNothingBehind) {
    expectErrors = true;
    RegisterRecording(ZoneId::kCampaignMap);
    registry.Register(ZoneId::kTopBar, [](game::ScreenServices&) -> std::unique_ptr<game::Zone> { return nullptr; });
    RegisterRecording(ZoneId::kShop);
    EXPECT_FALSE(registry.CreateZones());
    EXPECT_EQ(errors, std::vector<std::string>{"zone 1 cannot be made"});
    EXPECT_FALSE(registry.Has(ZoneId::kCampaignMap));
    EXPECT_FALSE(registry.Has(ZoneId::kShop));
    EXPECT_TRUE(loader.loads.empty());
}

TEST_F(ScreenTest, AZoneWithoutAWindowFailsCreationToo) {
    expectErrors = true;
    // Every engine dialog slot is taken, so the zone's window cannot be made.
    std::vector<std::unique_ptr<engine::Dialog>> filler;
    for (int i = 0; i < 64; ++i) {
        filler.push_back(std::make_unique<engine::Dialog>());
        filler.back()->Init(u"", 0, 0, 1, 1, nullptr, false, false);
    }
    RegisterRecording(ZoneId::kPause);
    EXPECT_FALSE(registry.CreateZones());
    EXPECT_EQ(errors, std::vector<std::string>{"zone 3 cannot be made"});
}

TEST_F(ScreenTest, ZonesOpenAndAreFoundOnlyWhenTheyExist) {
    RegisterRecording(ZoneId::kMainMenu);
    ASSERT_TRUE(registry.CreateZones());
    EXPECT_TRUE(registry.Open(ZoneId::kMainMenu, 8, 5, 6));
    auto& menu = ZoneOf<RecordingZone>(ZoneId::kMainMenu);
    EXPECT_TRUE(menu.IsShown());
    EXPECT_EQ(menu.GetType(), 8);
    EXPECT_EQ(menu.GetOrigin().x, 5.0f);
    registry.Close(ZoneId::kMainMenu);
    EXPECT_FALSE(menu.IsShown());

    expectErrors = true;
    EXPECT_FALSE(registry.Open(ZoneId::kCredits, 14, 0, 0));
    EXPECT_EQ(registry.Get(ZoneId::kSettings), nullptr);
    EXPECT_EQ(errors, (std::vector<std::string>{"zone 18 does not exist", "zone 16 does not exist"}));
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiZoomOpen});
}

}  // namespace
}  // namespace screens_test
