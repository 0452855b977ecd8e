#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gui/dialog.h"
#include "engine/gui/list_box.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/memory_zip_archive.h"
#include "game/screens/game_screens.h"
#include "game/screens/settings_zone.h"
#include "game/screens/speech_picker_zone.h"
#include "screen_fixture.h"
#include "support/zip_writer.h"

namespace screens_test {
namespace {

using game::SettingsZone;
using game::SpeechPickerZone;
using game::ZoneId;
using testsupport::ZoneDriver;

class SettingsZonesTest : public ScreenTest {
protected:
    void SetUp() override {
        game::RegisterMenuInfoZones(registry);
        RegisterRecording(ZoneId::kMainMenu);
        RegisterRecording(ZoneId::kPause);
    }
    void Create() { ASSERT_TRUE(registry.CreateZones()); }
    SettingsZone& Settings() { return ZoneOf<SettingsZone>(ZoneId::kSettings); }
    SpeechPickerZone& Picker() { return ZoneOf<SpeechPickerZone>(ZoneId::kSpeechPicker); }

    static engine::ListBox& ListOf(game::Zone& zone, int id) {
        return *dynamic_cast<engine::ListBox*>(zone.GetWindow()->FindControl(id));
    }
    // The text of the settings row with the value.
    std::string RowText(int value) {
        engine::ListBox& list = ListOf(Settings(), SettingsZone::kListId);
        for (int row = 0; row < list.GetRowCount(); ++row) {
            engine::WideString text;
            int v = 0;
            list.GetRow(row, text, v);
            if (v == value) return text.GetNarrow();
        }
        return "";
    }
    // Picks the row of the list whose value is given, as a tap does.
    static void Pick(game::Zone& zone, int listId, int value) {
        engine::ListBox& list = ListOf(zone, listId);
        for (int row = 0; row < list.GetRowCount(); ++row) {
            engine::WideString text;
            int v = 0;
            list.GetRow(row, text, v);
            if (v != value) continue;
            list.SetSelection(row);
            ZoneDriver::Send(zone, engine::kEventReleased, listId, row);
            return;
        }
        ADD_FAILURE() << "no row of value " << value;
    }
    // Pack folders in the data.
    void AddPacks(const std::vector<std::string>& packs) {
        for (const std::string& pack : packs) ASSERT_TRUE(data.Write("Sound/DLC/" + pack + "/Jump1.wav", "RIFF"));
    }

    units_test::DataFolder data;
};

// --- Settings -----------------------------------------------------------------------------------------------

TEST_F(SettingsZonesTest, EachRowFlipsItsBitOnceAndShowsItsState) {
    Create();
    auto& settings = Settings();
    OpenFully(settings, 0);
    struct Case {
        int value;
        std::uint32_t bit;
        const char* clearText;
        const char* setText;
    };
    const std::vector<Case> cases = {
        {57, 0x10, "[SET_QUALITY_OFF]", "[SET_QUALITY_ON]"},
        {58, 0x20, "[SET_MISSIONINTROS_OFF]", "[SET_MISSIONINTROS_ON]"},
        {56, 0x02, "[SET_UPKEEPS_OFF]", "[SET_UPKEEPS_ON]"},
        {55, 0x01, "[SET_ZOOMBATTLES_OFF]", "[SET_ZOOMBATTLES_ON]"},
        {59, 0x40, "[SET_INSTAMOVE_OFF]", "[SET_INSTAMOVE_ON]"},
        {60, 0x04, "[SET_SPEECH_ON]", "[SET_SPEECH_OFF]"},
        {61, 0x80, "[SET_WEATHER_ON]", "[SET_WEATHER_OFF]"},
        {62, 0, "[SET_FULLSCREEN_OFF]", "[SET_FULLSCREEN_ON]"},
    };
    // The rows in their order on screen.
    std::vector<int> values;
    engine::ListBox& list = ListOf(settings, SettingsZone::kListId);
    for (int row = 0; row < list.GetRowCount(); ++row) {
        engine::WideString text;
        int v = 0;
        list.GetRow(row, text, v);
        values.push_back(v);
    }
    EXPECT_EQ(values, (std::vector<int>{57, 62, 58, 56, 55, 59, 60, 61}));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        profile.options = 0;
        game.fullScreen = false;
        OpenFully(settings, 0);
        EXPECT_EQ(RowText(c.value), c.clearText);
        sound.uiSounds.clear();
        Pick(settings, SettingsZone::kListId, c.value);
        EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});
        EXPECT_EQ(profile.options, c.bit);
        EXPECT_EQ(RowText(c.value), c.setText);
        if (c.bit == 0) {
            EXPECT_TRUE(settings.GetFullScreenChoice());
        }
        Pick(settings, SettingsZone::kListId, c.value);
        EXPECT_EQ(profile.options, 0u);
        EXPECT_EQ(RowText(c.value), c.clearText);
        settings.SetShown(false, false);
    }
    // Only the quality row applies the lighting at once (twice: on and off).
    EXPECT_EQ(game.qualityApplied, 2);
}

TEST_F(SettingsZonesTest, SpeechOffReadsOffAndPickingItTurnsSpeechOn) {
    profile.options = 0x04 | 0x01;
    Create();
    auto& settings = Settings();
    OpenFully(settings, 0);
    EXPECT_EQ(RowText(60), "[SET_SPEECH_OFF]");
    Pick(settings, SettingsZone::kListId, 60);
    EXPECT_EQ(profile.options, 0x01u);
    EXPECT_EQ(RowText(60), "[SET_SPEECH_ON]");
}

TEST_F(SettingsZonesTest, RebuiltListKeepsItsScrollAndSelectedRow) {
    Create();
    auto& settings = Settings();
    OpenFully(settings, 0);
    engine::ListBox& list = ListOf(settings, SettingsZone::kListId);
    list.SetScrollOffset(2 * list.GetRowHeight());
    Pick(settings, SettingsZone::kListId, 61);
    EXPECT_EQ(list.GetScrollOffset(), 2 * list.GetRowHeight());
    EXPECT_EQ(list.GetSelection(), 7);
}

TEST_F(SettingsZonesTest, FullScreenSwitchesOnHideOnlyAfterAnOddNumberOfFlips) {
    Create();
    auto& settings = Settings();
    for (const int flips : {0, 1, 2, 3}) {
        SCOPED_TRACE(flips);
        game.displaySwitches = 0;
        profile.saves = 0;
        OpenFully(settings, 0);
        for (int i = 0; i < flips; ++i) Pick(settings, SettingsZone::kListId, SettingsZone::kFullScreenRow);
        EXPECT_EQ(game.displaySwitches, 0);
        settings.SetShown(false, false);
        EXPECT_EQ(game.displaySwitches, flips % 2);
        EXPECT_EQ(profile.saves, 1);
    }
}

TEST_F(SettingsZonesTest, VolumeSlidersTakeTheEndPositions) {
    sound.music = 30;
    sound.effects = 60;
    Create();
    auto& settings = Settings();
    OpenFully(settings, 0);
    for (const int position : {0, 100, 55}) {
        ZoneDriver::Send(settings, engine::kEventSliderMoved, SettingsZone::kMusicId, position);
        EXPECT_EQ(sound.music, position);
        ZoneDriver::Send(settings, engine::kEventSliderMoved, SettingsZone::kEffectsId, position);
        EXPECT_EQ(sound.effects, position);
    }
}

TEST_F(SettingsZonesTest, TypeDecidesWhereDoneAndBackLeadAndWhetherTheMenuPictureShows) {
    game.menuPicture = loader.Add("MenuPicture", 800, 600);
    Create();
    auto& settings = Settings();
    struct Case {
        int type;
        bool byKey;
        ZoneId next;
        int nextType;
        bool picture;
    };
    for (const Case& c : std::vector<Case>{{0, false, ZoneId::kMainMenu, 8, true},
                                           {0, true, ZoneId::kMainMenu, 8, true},
                                           {1, false, ZoneId::kPause, 9, false},
                                           {1, true, ZoneId::kPause, 9, false}}) {
        SCOPED_TRACE(c.type * 2 + c.byKey);
        recorder.Clear();
        OpenFully(settings, c.type);
        EXPECT_EQ(recorder.Of("image:MenuPicture").empty(), !c.picture);
        if (c.byKey) {
            driver.TapBack();
        } else {
            driver.Click(settings, SettingsZone::kDoneId);
        }
        EXPECT_FALSE(settings.IsShown());
        auto& next = ZoneOf<RecordingZone>(c.next);
        EXPECT_TRUE(next.IsShown());
        EXPECT_EQ(next.GetType(), c.nextType);
        next.SetShown(false, false);
    }
}

// --- Speech packs -------------------------------------------------------------------------------------------

TEST_F(SettingsZonesTest, PickerListsThePacksInTheDataAndTicksTheProfilesPacks) {
    AddPacks({"Pack2", "standard", "Pack1"});
    profile.alliedPack = "STANDARD";
    profile.enemyPack = "Pack9";  // not listed: the first pack is ticked
    Create();
    auto& picker = Picker();
    OpenFully(picker, 21);
    for (const int id : {SpeechPickerZone::kAlliedListId, SpeechPickerZone::kEnemyListId}) {
        engine::ListBox& list = ListOf(picker, id);
        std::vector<int> values;
        for (int row = 0; row < list.GetRowCount(); ++row) {
            engine::WideString text;
            int v = 0;
            list.GetRow(row, text, v);
            values.push_back(v);
        }
        EXPECT_EQ(values, (std::vector<int>{0, 1, 2}));
    }
    EXPECT_EQ(picker.GetSelection(1), 0);
    EXPECT_EQ(picker.GetSelection(0), 0);
    EXPECT_NE(recorder.FindText("[DLC_SPEECH_ALLIED]"), nullptr);

    // Leaving without a pick changes nothing, even for the profile's unknown name.
    picker.SetShown(false, false);
    EXPECT_TRUE(sound.speechPacks.empty());
    EXPECT_EQ(profile.enemyPack, "Pack9");
}

TEST_F(SettingsZonesTest, PickerListsPacksThatOnlyAMountedArchiveHolds) {
    // The shipped data is one archive: a pack counts when an entry lies in its folder, names compared
    // without regard to case or separator.
    const testsupport::ZipImage zip = testsupport::ZipWriter()
                                          .Add("Sound/DLC/Standard/Jump1.wav", "RIFF")
                                          .Add("sound\\dlc\\PACK2\\Yes1.wav", "RIFF")
                                          .Add("Sound/DLC/Pack3", "not a folder")
                                          .Add("Sound/DLC/Pack5x/Jump1.wav", "RIFF")
                                          .Build();
    auto archive = std::make_unique<engine::MemoryZipArchive>(zip.bytes.data(), zip.bytes.size());
    ASSERT_EQ(archive->Open("DataPC.zip"), 1);
    engine::ArchiveSet archives;
    ASSERT_TRUE(archives.Mount(std::move(archive), "MainWad"));
    engine::SetActiveArchiveSet(&archives);
    Create();
    auto& picker = Picker();
    OpenFully(picker, 21);
    engine::SetActiveArchiveSet(nullptr);
    engine::ListBox& list = ListOf(picker, SpeechPickerZone::kAlliedListId);
    std::vector<int> values;
    for (int row = 0; row < list.GetRowCount(); ++row) {
        engine::WideString text;
        int v = 0;
        list.GetRow(row, text, v);
        values.push_back(v);
    }
    EXPECT_EQ(values, (std::vector<int>{0, 2}));
}

TEST_F(SettingsZonesTest, PicksApplyOnHideForChangedSidesAlliedFirstAndTurnSpeechOn) {
    AddPacks({"Standard", "Pack1", "Pack2", "Pack3", "Pack4", "Pack5"});
    Create();
    auto& picker = Picker();
    struct Case {
        int allied;  // -1: no pick
        int enemy;
        std::vector<std::pair<int, std::string>> loads;
        std::uint32_t optionsAfter;
    };
    const std::vector<Case> cases = {
        // Re-picking what was shown at open loads nothing and leaves speech off.
        {0, 1, {}, 0x04 | 0x80},
        {-1, 3, {{0, "Pack3"}}, 0x80},
        {5, 2, {{1, "Pack5"}, {0, "Pack2"}}, 0x80},
        // Changed and changed back within the visit: nothing.
        {-1, -1, {}, 0x04 | 0x80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.allied * 10 + c.enemy);
        profile.alliedPack = "Standard";
        profile.enemyPack = "Pack1";
        profile.options = 0x04 | 0x80;
        sound.speechPacks.clear();
        OpenFully(picker, 21);
        if (c.allied >= 0) Pick(picker, SpeechPickerZone::kAlliedListId, c.allied);
        if (c.enemy >= 0) Pick(picker, SpeechPickerZone::kEnemyListId, c.enemy);
        if (c.allied < 0 && c.enemy < 0) {
            Pick(picker, SpeechPickerZone::kAlliedListId, 4);
            Pick(picker, SpeechPickerZone::kAlliedListId, 0);
        }
        EXPECT_TRUE(sound.speechPacks.empty());  // nothing before the hide
        picker.SetShown(false, false);
        EXPECT_EQ(sound.speechPacks, c.loads);
        EXPECT_EQ(profile.options, c.optionsAfter);
        for (const auto& [side, pack] : c.loads) {
            EXPECT_EQ(side == 1 ? profile.alliedPack : profile.enemyPack, pack);
        }
    }
}

TEST_F(SettingsZonesTest, SettingsLeadToThePickerWhichReturnsWithTheLastType) {
    AddPacks({"Standard"});
    Create();
    auto& settings = Settings();
    auto& picker = Picker();
    for (const int type : {1, 0}) {
        SCOPED_TRACE(type);
        OpenFully(settings, type);
        driver.Click(settings, SettingsZone::kSpeechId);
        EXPECT_FALSE(settings.IsShown());
        ASSERT_TRUE(picker.IsShown());
        EXPECT_EQ(picker.GetType(), 21);
        driver.Run(0.25f);
        if (type == 1) {
            driver.TapBack();
        } else {
            driver.Click(picker, SpeechPickerZone::kDoneId);
        }
        EXPECT_FALSE(picker.IsShown());
        EXPECT_TRUE(settings.IsShown());
        EXPECT_EQ(settings.GetType(), type);
        settings.SetShown(false, false);
    }
}

}  // namespace
}  // namespace screens_test
