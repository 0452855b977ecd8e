// The screens over the shipped data set: at first start the map picker lists every shipped map with a
// thumbnail that decodes and selects the profile's default map, a skirmish on it goes through the loading,
// between-turns and side-turn states, the speech-pack picker lists the six packs and each pick loads its 40
// lines, and every campaign mission's comic is its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "datacheck/data_check.h"
#include "datacheck/headless_game.h"
#include "engine/gui/list_box.h"
#include "engine/image/image.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/script_reader.h"
#include "engine/platform/sound_file.h"
#include "game/core/game_sound_bank.h"
#include "game/core/player_profile.h"
#include "game/core/sound_backend.h"
#include "game/screens/comic_player.h"
#include "game/screens/game_screens.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/profile_view.h"
#include "game/screens/program_screens.h"
#include "game/screens/speech_picker_zone.h"
#include "game/screens/screen_fixture.h"

namespace {

using game::ZoneId;

// Map thumbnails decoded from the mounted data as the game's texture table finds them; every other texture
// (the interface art of the screens) comes from the kit's loader.
class DecodingTextureLoader final : public game::TextureLoader {
public:
    explicit DecodingTextureLoader(game::TextureLoader& others) : others_(others) {}

    std::uint32_t Load(const char* name) override {
        const std::string text = name;
        if (text.size() < 10 || text.compare(text.size() - 10, 10, "/thumbnail") != 0) {
            return kOthers + others_.Load(name);
        }
        engine::Image image;
        if (image.Load(name) != 1) return 0;
        sizes.push_back({name, {static_cast<int>(image.Width()), static_cast<int>(image.Height())}});
        return static_cast<std::uint32_t>(sizes.size());
    }
    void Release(std::uint32_t handle) override {
        if (handle > kOthers) others_.Release(handle - kOthers);
    }
    bool GetSize(std::uint32_t handle, int& width, int& height) const override {
        if (handle > kOthers) return others_.GetSize(handle - kOthers, width, height);
        if (handle == 0 || handle > sizes.size()) return false;
        width = sizes[handle - 1].second.first;
        height = sizes[handle - 1].second.second;
        return true;
    }
    // The size each thumbnail loaded at, in load order.
    std::vector<std::pair<std::string, std::pair<int, int>>> sizes;

private:
    static constexpr std::uint32_t kOthers = 1u << 20;
    game::TextureLoader& others_;
};

// A sound backend that opens each sample the bank loads through the game's sound reader.
class OpeningBackend final : public game::SoundBackend {
public:
    std::vector<std::string> opened;
    std::vector<std::string> failed;

    void ResetBank(game::SoundBankId, const char*) override {}
    bool LoadSample(game::SoundBankId, int, const std::string& name, int, float, bool) override {
        engine::SoundFile file;
        const bool ok = file.Open(engine::WideString(name.c_str())) != 0 && file.PcmLength() > 0;
        (ok ? opened : failed).push_back(name);
        return ok;
    }
    bool LoadStream(game::SoundBankId, int, const std::string&, float, bool) override { return true; }
    std::uint32_t Play(game::SoundBankId, int, float, bool) override { return 0; }
    void Stop(std::uint32_t) override {}
    void Fade(std::uint32_t, float, float, bool) override {}
    void StopStreams() override {}
};

// The screen kit over the shipped archive (no loose files), with a profile at its first start.
class ShippedScreensTest : public ::testing::Test, public screens_test::ScreenKit {
protected:
    ShippedScreensTest() {
        auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
        opened_ = archive != nullptr && archives_.Mount(std::move(archive), "MainWad");
        engine::SetActiveArchiveSet(&archives_);
        engine::SetBaseFolderNarrow("/nonexistent/shipped-screens-test");
        playerProfile_.ResetDefaults();
        ui.profile = &profileView_;
        ui.textures = &textures_;
    }
    ~ShippedScreensTest() override {
        registry.DestroyZones();
        engine::SetActiveArchiveSet(nullptr);
    }
    void SetUp() override { ASSERT_TRUE(opened_) << TINMARCH_DATASET_ARCHIVE; }

    static engine::ListBox& ListOf(game::Zone& zone, int id) {
        return *dynamic_cast<engine::ListBox*>(zone.GetWindow()->FindControl(id));
    }

    engine::ArchiveSet archives_;
    bool opened_ = false;
    engine::MemorySaveStore store_;
    engine::NamedSaveBlob blob_{store_};
    game::PlayerProfile playerProfile_{blob_, store_};
    game::ProfileView profileView_{playerProfile_};
    DecodingTextureLoader textures_{loader};
};

TEST_F(ShippedScreensTest, AtFirstStartThePickerShowsEveryMapAndSelectsCloseQuarters) {
    game::RegisterMapPicker(registry);
    RegisterRecording(ZoneId::kPassAndPlaySetup);
    RegisterRecording(ZoneId::kSkirmishSetup);
    ASSERT_TRUE(registry.CreateZones());
    auto& picker = ZoneOf<game::MapPickerZone>(ZoneId::kMapPicker);
    // The profile-loading state hands the profile's map to the picker once the profile is read.
    picker.SelectMap(playerProfile_.GetDefaultMapFolder());
    OpenFully(picker, game::kZonePickMapSkirmish);

    const std::vector<game::MapInfo>& maps = picker.GetMaps();
    ASSERT_GE(maps.size(), 6u);
    EXPECT_EQ(ListOf(picker, game::kMapPickerList).GetRowCount(), static_cast<int>(maps.size()));
    EXPECT_EQ(std::string(picker.GetCurrentMap().folder.GetNarrow()), "Campaigns/Skirmish/CloseQuarters");
    EXPECT_EQ(std::string(picker.GetCurrentMap().title.GetNarrow()), "Close Quarters");
    // Each map, once chosen, shows its own thumbnail at the thumbnail column's size.
    for (const game::MapInfo& map : maps) {
        const std::string folder = map.folder.GetNarrow();
        SCOPED_TRACE(folder);
        EXPECT_NE(std::string(map.title.GetNarrow()), folder) << "the details file was not read";
        picker.SelectMap(folder);
        ASSERT_NE(picker.GetCurrentMap().thumbnail, 0u);
        ASSERT_FALSE(textures_.sizes.empty());
        EXPECT_EQ(textures_.sizes.back().first, folder + "/thumbnail");
        EXPECT_EQ(textures_.sizes.back().second, (std::pair<int, int>{416, 240}));
    }
}

TEST_F(ShippedScreensTest, ASkirmishOnTheFirstStartMapGoesThroughLoadingBetweenTurnsAndTheSideTurn) {
    datacheck::HeadlessGame headless;
    ASSERT_TRUE(headless.UnitAssetsLoaded());
    std::string folder = playerProfile_.GetDefaultMapFolder();
    std::replace(folder.begin(), folder.end(), '\\', '/');
    ASSERT_TRUE(headless.LoadMap(game::kGameLoadSkirmish, folder));
    std::vector<int> states = {game::kGameLoadSkirmish};
    for (int frame = 0; frame < 500 && states.back() != game::kGameSideTurn; ++frame) {
        const int state = headless.Game().GetState();
        if (state != states.back()) states.push_back(state);
        headless.RunFrames(1, 0.02f);
    }
    if (headless.Game().GetState() != states.back()) states.push_back(headless.Game().GetState());
    std::string trace;
    for (int state : states) trace += std::to_string(state) + " ";
    ASSERT_GE(states.size(), 3u) << trace;
    EXPECT_EQ(states.back(), game::kGameSideTurn) << trace;
    EXPECT_NE(std::find(states.begin(), states.end(), game::kGameBetweenTurns), states.end()) << trace;
    EXPECT_EQ(headless.Game().GetTeamManager()->GetCurrentTeam()->GetKind(), game::kTeamBlue) << trace;
}

TEST_F(ShippedScreensTest, TheSpeechPickerListsSixPacksAndEachPickLoadsItsFortyLines) {
    OpeningBackend backend;
    game::GameSoundBank bank(backend);
    game::BankScreenSound bankSound(bank);
    ui.sound = &bankSound;
    game::RegisterMenuInfoZones(registry);
    RegisterRecording(ZoneId::kMainMenu);
    RegisterRecording(ZoneId::kPause);
    ASSERT_TRUE(registry.CreateZones());
    auto& picker = ZoneOf<game::SpeechPickerZone>(ZoneId::kSpeechPicker);
    // The allied side starts on "Standard": pick every other pack, then "Standard" again.
    for (const int pack : {1, 2, 3, 4, 5, 0}) {
        SCOPED_TRACE(pack);
        OpenFully(picker, 21);
        engine::ListBox& list = ListOf(picker, game::SpeechPickerZone::kAlliedListId);
        ASSERT_EQ(list.GetRowCount(), game::SpeechPickerZone::kPackCount);
        engine::WideString text;
        int value = -1;
        list.GetRow(pack, text, value);
        ASSERT_EQ(value, pack);
        list.SetSelection(pack);
        testsupport::ZoneDriver::Send(picker, engine::kEventReleased, game::SpeechPickerZone::kAlliedListId, pack);
        backend.opened.clear();
        picker.SetShown(false, false);
        EXPECT_TRUE(backend.failed.empty()) << backend.failed.front();
        EXPECT_EQ(backend.opened.size(), static_cast<std::size_t>(game::kSpeechSlots));
        const std::string folder = std::string("Sound\\DLC\\") + game::SpeechPickerZone::PackFolder(pack) + "\\";
        for (const std::string& name : backend.opened) EXPECT_EQ(name.rfind(folder, 0), 0u) << name;
        EXPECT_EQ(playerProfile_.GetSpeechPackName(1), game::SpeechPickerZone::PackFolder(pack));
    }
}

TEST_F(ShippedScreensTest, EveryCampaignMissionPlaysItsOwnComic) {
    engine::ScriptReader campaign;
    ASSERT_EQ(campaign.Load("Campaigns/standard/Campaign"), 1);
    ASSERT_EQ(campaign.FindKeyword("MISSIONORDER", true), 1);
    int missions = 0;
    const std::vector<game::ComicEvent> wait = game::WaitComic();
    std::set<std::string> speech;  // the text keys spoken, each mission's own
    for (engine::WideString line = campaign.ReadLine(); line.Length() != 0 && line.Data()[0] != '[';
         line = campaign.ReadLine()) {
        const std::string folder = "Campaigns/standard/" + std::string(line.GetNarrow());
        SCOPED_TRACE(folder);
        ++missions;
        game::ComicPlayer comic(ui);
        comic.Start(folder);
        const std::vector<game::ComicEvent>& events = comic.GetEvents();
        ASSERT_GT(events.size(), wait.size());
        EXPECT_EQ(events.back().action, game::ComicAction::kFinished);
        for (const game::ComicEvent& event : events) {
            if (event.action == game::ComicAction::kLeftSpeak || event.action == game::ComicAction::kRightSpeak) {
                EXPECT_TRUE(speech.insert(event.argument).second) << event.argument << " is spoken in another comic too";
            }
        }
        // Played to its end at 30 frames a second, it finishes.
        int frames = 0;
        for (clock.Step(1.0 / 30.0); comic.Tick() != 0 && frames < 30 * 120; clock.Step(1.0 / 30.0)) ++frames;
        EXPECT_TRUE(comic.IsFinished()) << frames;
    }
    EXPECT_GE(missions, 8);
}

}  // namespace
