#include <gtest/gtest.h>

#include <string>

#include "engine/gui/list_box.h"
#include "engine/platform/script_reader.h"
#include "game/screens/map_list.h"
#include "game/screens/map_picker_zone.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;
using testsupport::ZoneDriver;

std::string Narrow(const engine::WideString& text) { return text.GetNarrow(); }

// A "Campaigns/Skirmish" folder with three maps: Hills with full details, Bay without a [NAMES] section and
// Fort without details; the list names Hills with a backslash path.
class MapPickerTest : public ScreenTest {
protected:
    void SetUp() override {
        WriteList("Hills\n// a comment\nBay\n\nFort\n");
        ASSERT_TRUE(data.Write("Campaigns/Skirmish/Hills/details.TXT",
                               "[NAMES]\nRolling Hills\nTwo sides, one river\n1\n"));
        ASSERT_TRUE(data.Write("Campaigns/Skirmish/Bay/details.TXT", "[OTHER]\nNothing here\n"));
        loader.Add("Campaigns/Skirmish/Hills/thumbnail", 233, 197);
        loader.Add("Campaigns/Skirmish/Bay/thumbnail", 128, 128);
        game::RegisterMapPicker(registry);
        RegisterRecording(ZoneId::kPassAndPlaySetup);
        RegisterRecording(ZoneId::kSkirmishSetup);
        ASSERT_TRUE(registry.CreateZones());
        picker = &ZoneOf<game::MapPickerZone>(ZoneId::kMapPicker);
    }
    void WriteList(const std::string& text) {
        ASSERT_TRUE(data.Write("Campaigns/Skirmish/standardpassandplaymaps.TXT", text));
    }
    engine::ListBox& List() { return *dynamic_cast<engine::ListBox*>(picker->GetWindow()->FindControl(90)); }

    units_test::DataFolder data;
    game::MapPickerZone* picker = nullptr;
};

TEST_F(MapPickerTest, TheListNamesEachFolderWithItsDetailsOrTheirDefaults) {
    const auto& maps = picker->GetMaps();
    ASSERT_EQ(maps.size(), 3u);
    struct Expected {
        const char* folder;
        const char* title;
        const char* subtitle;
        int size;
    };
    const Expected expected[] = {
        {"Campaigns/Skirmish/Hills", "Rolling Hills", "Two sides, one river", 1},
        {"Campaigns/Skirmish/Bay", "Campaigns/Skirmish/Bay", "no subtitle", 0},
        {"Campaigns/Skirmish/Fort", "Campaigns/Skirmish/Fort", "no subtitle", 0},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Narrow(maps[i].folder), expected[i].folder);
        EXPECT_EQ(Narrow(maps[i].title), expected[i].title);
        EXPECT_EQ(Narrow(maps[i].subtitle), expected[i].subtitle);
        EXPECT_EQ(maps[i].size, expected[i].size);
    }
    EXPECT_EQ(Narrow(picker->GetMapTitle("campaigns\\skirmish\\HILLS")), "Rolling Hills");
    EXPECT_EQ(Narrow(picker->GetMapTitle("Campaigns/Skirmish/Gone")), "Rolling Hills");
}

TEST(MapListTest, AtMostThirtyNineMapsAndAnOverlongLineEndsTheList) {
    std::string text;
    for (int i = 0; i < 41; ++i) text += "Maps\\Map" + std::to_string(i) + "\n";
    engine::ScriptReader list;
    ASSERT_EQ(list.LoadFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "list"), 1);
    const auto maps = game::ReadMapList(list, nullptr);
    ASSERT_EQ(maps.size(), 39u);
    EXPECT_EQ(Narrow(maps[38].folder), "Campaigns/Skirmish/Maps/Map38");

    const std::string longText = "First\n" + std::string(1023, 'x') + "\nAfter\n";
    engine::ScriptReader longList;
    ASSERT_EQ(longList.LoadFromImage(reinterpret_cast<const std::uint8_t*>(longText.data()), longText.size(), "l"), 1);
    EXPECT_EQ(game::ReadMapList(longList, nullptr).size(), 1u);
}

TEST(MapListTest, TheSizeIsClampedAndAMissingSectionKeepsTheDefaults) {
    struct Case {
        const char* details;
        bool read;
        int size;
        const char* title;
    };
    const Case cases[] = {
        {"[NAMES]\nT\nS\n7\n", true, 2, "T"},
        {"[NAMES]\nT\nS\n-1\n", true, 0, "T"},
        {"[NAMES]\nT\nS\nbig\n", true, 0, "T"},
        {"[NAMES]\nT\n", true, 0, "T"},
        {"NAMES\nT\nS\n2\n", false, 0, "Maps/X"},
        {"", false, 0, "Maps/X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.details);
        game::MapInfo info;
        info.folder = engine::WideString("Maps/X");
        game::SetMapDefaults(info);
        const std::string text = c.details;
        engine::ScriptReader reader;
        reader.LoadFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "details");
        EXPECT_EQ(game::ReadMapDetails(reader, info), c.read);
        EXPECT_EQ(info.size, c.size);
        EXPECT_EQ(Narrow(info.title), c.title);
        EXPECT_STREQ(game::MapSizeLabel(info.size), c.size == 2 ? "(large)" : "(compact)");
    }
}

TEST_F(MapPickerTest, SelectingAMapLoadsItsThumbnailOnceAndStoresItWithSlashes) {
    const char* kHills = "Campaigns/Skirmish/Hills/thumbnail";
    const char* kBay = "Campaigns/Skirmish/Bay/thumbnail";
    // The profile's default, as written with backslashes, selects its map.
    picker->SelectMap(profile.defaultMap);
    EXPECT_EQ(Narrow(picker->GetCurrentMap().folder), "");
    profile.defaultMap = "Campaigns\\Skirmish\\Hills";
    picker->SelectMap(profile.defaultMap);
    EXPECT_EQ(profile.defaultMap, "Campaigns/Skirmish/Hills");
    EXPECT_EQ(Narrow(picker->GetCurrentMap().title), "Rolling Hills");
    EXPECT_EQ(picker->GetCurrentMap().size, 1);
    EXPECT_EQ(loader.kept[kHills], 1);
    // Nothing was released when there was no thumbnail before.
    EXPECT_TRUE(loader.releases.empty());

    // The same map in another case, and an unknown one, change nothing.
    picker->SelectMap("CAMPAIGNS/skirmish/hills");
    picker->SelectMap("Campaigns/Skirmish/Gone");
    EXPECT_EQ(loader.loads[kHills], 1);
    EXPECT_EQ(profile.defaultMap, "Campaigns/Skirmish/Hills");

    picker->SelectMap("Campaigns/Skirmish/Bay");
    EXPECT_EQ(loader.releases[kHills], 1);
    EXPECT_EQ(loader.kept[kBay], 1);
    EXPECT_EQ(Narrow(picker->GetCurrentMap().subtitle), "no subtitle");
    EXPECT_EQ(picker->GetCurrentMap().thumbnail, loader.handles[kBay]);
}

TEST_F(MapPickerTest, ShowingSelectsTheDefaultsRowPickingARowSelectsItsMapAndHidingSaves) {
    profile.defaultMap = "campaigns/SKIRMISH/bay";
    OpenFully(*picker, game::kZonePickMapSkirmish);
    ASSERT_EQ(List().GetRowCount(), 3);
    EXPECT_EQ(List().GetSelection(), 1);
    EXPECT_EQ(List().GetVisibleRows(), 6);
    engine::WideString text;
    int value = 0;
    ASSERT_TRUE(List().GetRow(2, text, value));
    EXPECT_EQ(Narrow(text), "Campaigns/Skirmish/Fort");

    // Picking the first row makes Hills the current map; picking it again loads nothing more.
    List().SetSelection(0);
    ZoneDriver::Send(*picker, engine::kEventReleased, 90, 0);
    EXPECT_EQ(profile.defaultMap, "Campaigns/Skirmish/Hills");
    ZoneDriver::Send(*picker, engine::kEventReleased, 90, 0);
    EXPECT_EQ(loader.loads["Campaigns/Skirmish/Hills/thumbnail"], 1);
    EXPECT_EQ(sound.uiSounds.back(), game::kUiClick);

    recorder.Clear();
    driver.Frame();
    EXPECT_EQ(recorder.ImagesOf("Campaigns/Skirmish/Hills/thumbnail", {0, 0, 228, 192}).size(), 1u);
    const DrawEntry* size = recorder.FindText("(medium)");
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->x, 462);
    EXPECT_NE(recorder.FindText("Two sides, one river"), nullptr);

    EXPECT_EQ(profile.saves, 0);
    driver.TapBack();
    EXPECT_EQ(profile.saves, 1);
    EXPECT_FALSE(picker->IsShown());
    auto* setup = registry.GetTitled(ZoneId::kSkirmishSetup);
    EXPECT_TRUE(setup->IsShown());
    EXPECT_EQ(setup->GetType(), 25);
    EXPECT_EQ(setup->GetOrigin().x, 0.0f);
}

TEST_F(MapPickerTest, SelectReturnsToTheSetupItWasOpenedFrom) {
    for (const auto& [type, zone, setupType] : {std::tuple{26, ZoneId::kPassAndPlaySetup, 24},
                                                std::tuple{27, ZoneId::kSkirmishSetup, 25}}) {
        OpenFully(*picker, type);
        const engine::IntPoint pointer = ZoneDriver::CentreOf(*picker, game::kMapPickerSelect);
        driver.Click(*picker, game::kMapPickerSelect);
        auto* setup = registry.GetTitled(zone);
        EXPECT_TRUE(setup->IsShown());
        EXPECT_EQ(setup->GetType(), setupType);
        EXPECT_EQ(setup->GetOrigin().x, static_cast<float>(pointer.x));
        game::CloseZone(*setup);
    }
}

TEST_F(MapPickerTest, AListFileThatGivesNothingKeepsTheMapsAsTheyWere) {
    WriteList("");
    OpenFully(*picker, 27);
    EXPECT_EQ(picker->GetMaps().size(), 3u);
    EXPECT_EQ(List().GetRowCount(), 3);
}

}  // namespace
}  // namespace screens_test
