// The menus walked over the built texts: the settings rows toggled both ways, the speech packs, the save
// and load slots, the credits to their end, every achievement with its popup, the campaign's missions with
// their comics and objectives, the match setup and each map with its objective.
#include "text_walk.h"

#include "engine/gui/list_box.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/achievement_list.h"
#include "game/core/campaign.h"
#include "game/core/player_profile.h"
#include "game/screens/achievements_zone.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/comic_overlay_zone.h"
#include "game/screens/credits_zone.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/settings_zone.h"
#include "game/screens/speech_picker_zone.h"
#include "support/temp_folder.h"

namespace text_walk {
namespace {

using game::ZoneId;
using testsupport::ZoneDriver;

class MenuWalk : public TextWalk {
protected:
    void SetUp() override {
        TextWalk::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        ui.achievements = &achievementView;
        ui.art[game::kArtZoomer] = loader.handles["GUI/Zoomer"];
        // The pickers offer the speech packs and campaigns whose folders stand beside the mounted archive.
        for (int pack = 0; pack < game::SpeechPickerZone::kPackCount; ++pack) {
            const std::string folder = game::SpeechPickerZone::PackFolder(pack);
            ASSERT_TRUE(beside.Write("Sound/DLC/" + folder + "/Jump1.wav", "RIFF", 4));
        }
        for (int index = 0; index < game::PackPickerZone::kCampaignCount; ++index) {
            const std::string folder = game::PackPickerZone::CampaignFolder(index);
            ASSERT_TRUE(beside.Write("Campaigns/" + folder + "/Campaign.TXT", "x", 1));
        }
        engine::SetBaseFolderNarrow((beside.Path().string() + "/").c_str());
        ASSERT_TRUE(registry.CreateZones());
    }

    // Taps every row of a list once, as the pointer does, with a frame drawn after each.
    void TapEveryRow(game::Zone& zone, int listId) {
        auto& list = *dynamic_cast<engine::ListBox*>(zone.GetWindow()->FindControl(listId));
        for (int row = 0; row < list.GetRowCount(); ++row) {
            list.SetSelection(row);
            ZoneDriver::Send(zone, engine::kEventReleased, listId, row);
            driver.Frame();
        }
    }
    game::AchievementServices AchievementParts() {
        game::AchievementServices services;
        services.strings = &texts.table;
        services.loadTexture = [this](const char* name) { return loader.Load(name); };
        services.target = [this] { return &recorder; };
        services.frameDelta = [] { return 0.5f; };
        services.mainFont = ui.Font(game::FontId::kMain);
        services.smallFont = ui.Font(game::FontId::kTiny);
        return services;
    }

    testsupport::TempFolder beside;
    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    game::PlayerProfile playerProfile{blob, store};
    game::AchievementList achievements{AchievementParts()};
    game::AchievementListView achievementView{achievements};
};

TEST_F(MenuWalk, SettingsRowsBothWaysSpeechPacksAndSaveSlots) {
    for (const int type : {0, 1}) {
        auto& settings = ZoneOf<game::SettingsZone>(ZoneId::kSettings);
        OpenFully(settings, type);
        // Each row twice: on and off again, drawn after each tap.
        for (int pass = 0; pass < 2; ++pass) {
            TapEveryRow(settings, game::SettingsZone::kListId);
            driver.Run(0.1f);
        }
        settings.SetShown(false, false);
        driver.Frame();
    }
    auto& picker = ZoneOf<game::SpeechPickerZone>(ZoneId::kSpeechPicker);
    OpenFully(picker, 21);
    TapEveryRow(picker, game::SpeechPickerZone::kAlliedListId);
    TapEveryRow(picker, game::SpeechPickerZone::kEnemyListId);
    driver.Run(0.1f);
    picker.SetShown(false, false);

    // Save and load with an empty slot and slots in use.
    profile.slots[0] = {true, {'M', '1', 0}, {'T', 0}, {'D', 0}};
    profile.slots[2] = {true, {'M', '2', 0}, {'T', 0}, {'D', 0}};
    for (const int type : {30, 31}) {
        auto& slots = *registry.GetTitled(ZoneId::kSaveLoad);
        OpenFully(slots, type);
        driver.Run(0.3f);
        slots.SetShown(false, false);
    }
    ExpectAsked({"SET_FULLSCREEN_ON", "SET_FULLSCREEN_OFF", "SET_WEATHER_ON", "SET_WEATHER_OFF", "SET_PICKSPEECH",
                 "SET_DIFFICULTY", "DLC_SPEECH_PACK0_TITLE", "DLC_SPEECH_PACK5_TITLE", "DLC_SPEECH_ALLIED",
                 "DLC_SPEECH_ENEMY", "LS_SAVEHELP"});
}

TEST_F(MenuWalk, TheCreditsToTheEndAndEveryAchievementWithItsPopup) {
    playerProfile.ResetDefaults();
    achievements.SetProfile(&playerProfile);
    achievements.LoadTexts();

    // The credits from the archive, scrolled through to their last line: the full pass earns achievement 0.
    auto& credits = ZoneOf<game::CreditsZone>(ZoneId::kCredits);
    OpenFully(credits, 14);
    ASSERT_NE(credits.GetLines(), nullptr);
    const int lines = credits.GetLines()->GetLineCount();
    EXPECT_GT(lines, game::CreditsZone::kVisibleLines);
    driver.Run(static_cast<float>(lines + game::CreditsZone::kVisibleLines + 1) *
                   game::CreditsZone::kMillisecondsPerLine / 1000.0f,
               100);
    EXPECT_TRUE(achievements.IsEarned(0)) << "the credits never reached their end";
    credits.SetShown(false, false);

    // Every achievement earned in turn, its popup drawn and the list looked through.
    auto& list = ZoneOf<game::AchievementsZone>(ZoneId::kAchievements);
    OpenFully(list, 32);
    for (int id = 0; id < game::kAchievementCount; ++id) {
        SCOPED_TRACE("achievement " + std::to_string(id));
        const game::AchievementEntry& entry = achievements.GetEntry(id);
        for (const engine::WideString* text : {&entry.title, &entry.earnedText, &entry.notEarnedText}) {
            EXPECT_FALSE(text->EqualsNarrow(game::StringTable::kNoString));
        }
        achievements.TryUnlock(id);
        EXPECT_TRUE(achievements.IsEarned(id));
        achievements.DrawPopup();
        TapEveryRow(list, game::AchievementsZone::kListId);
    }
    list.SetShown(false, false);
    ExpectAsked({"ACH_POINTS", "ACH_PLEASETAP", "ZT_ACHIEVEMENTS", "ZT_CREDITS"});
}

TEST_F(MenuWalk, TheCampaignWithEachMissionsComicAndObjective) {
    game::CampaignServices parts;
    parts.strings = &texts.table;
    parts.loadTexture = [this](const std::string& name) { return loader.Load(name.c_str()); };
    parts.menuFont = ui.Font(game::FontId::kMed);
    parts.mainFont = ui.Font(game::FontId::kMain);
    game::Campaign campaign("Standard", parts);
    ASSERT_TRUE(campaign.Load("Campaigns\\standard"));
    ASSERT_GT(campaign.GetMissionCount(), 0);
    game.campaign = &campaign;
    game.mode = game::kGameModeCampaign;

    // The campaign picker with each campaign, and each difficulty.
    auto& packs = ZoneOf<game::PackPickerZone>(ZoneId::kCampaignPicker);
    OpenFully(packs, 22);
    TapEveryRow(packs, game::PackPickerZone::kListId);
    packs.SetShown(false, false);
    // Every difficulty is open once the campaign was completed.
    testsupport::FakeCampaign completed;
    completed.completed = {0, 1, 2, 3};
    game.campaign = &completed;
    auto& difficulty = ZoneOf<game::DifficultyZone>(ZoneId::kDifficulty);
    OpenFully(difficulty, 35);
    for (int level = 0; level < 4; ++level) {
        difficulty.Choose(level);
        driver.Frame();
    }
    difficulty.SetShown(false, false);
    game.campaign = &campaign;
    for (int index = 0; index < campaign.GetMissionCount(); ++index) {
        SCOPED_TRACE("mission " + std::to_string(index + 1));
        campaign.SelectMission(index);
        const game::CampaignMission& mission = campaign.GetMission(index);
        for (const engine::WideString* text : {&mission.nameText, &mission.mapText, &mission.thirdText}) {
            EXPECT_FALSE(text->EqualsNarrow(game::StringTable::kNoString));
        }
        screens.ShowCampaignMap();
        driver.Run(0.2f);
        registry.Get(ZoneId::kCampaignMap)->SetShown(false, false);

        // The mission's comic played to its end, then its objective.
        auto& comic = ZoneOf<game::ComicOverlayZone>(ZoneId::kComicOverlay);
        comic.SetShown(true, false);
        for (int frame = 0; frame < 2000 && comic.IsShown(); ++frame) driver.Frame(50);
        EXPECT_FALSE(comic.IsShown()) << "the comic never finished";
        game.missionDescription = mission.thirdText.GetNarrow();
        game::TitledZone& objective = *registry.GetTitled(ZoneId::kObjective);
        OpenFully(objective, game::kZoneObjective);
        driver.Run(0.2f);
        objective.SetShown(false, false);
    }
    game.campaign = nullptr;
    // The comics' speech came from the campaign's table.
    int campaignTexts = 0;
    for (const std::string& key : texts.asked) {
        if (ProjectInventory().keys.count(key) == 0) ++campaignTexts;
    }
    EXPECT_GT(campaignTexts, 0);
    ExpectAsked({"DLC_CAMPAIGNTITLE", "DLC_CAMPAIGN_PACK3_TITLE", "DESC_PACKPICK_PACK3", "DESC_DIFF_SILLY"});
}

TEST_F(MenuWalk, MainMenuGameTypesMatchSetupAndEachMapWithItsObjective) {
    for (const int gameType : {0, 1, 2}) {
        profile.gameType = gameType;
        for (const int type : {8, 23, 24, 25, 26, 27, 28, 29}) {
            SCOPED_TRACE("zone type " + std::to_string(type));
            game::TitledZone& zone = *registry.GetTitled(game::ZoneForType(type));
            OpenFully(zone, type);
            driver.Run(0.3f);
            zone.SetShown(false, false);
            driver.Frame();
        }
    }
    // Each map of the list picked in both pickers, then the objective of that game mode.
    auto& picker = ZoneOf<game::MapPickerZone>(ZoneId::kMapPicker);
    const std::pair<int, int> pickers[] = {{game::kZonePickMapPassAndPlay, game::kGameModePassAndPlay},
                                           {game::kZonePickMapSkirmish, game::kGameModeSkirmish}};
    for (const auto& [type, mode] : pickers) {
        game.mode = mode;
        OpenFully(picker, type);
        ASSERT_GE(picker.GetMaps().size(), 6u);
        std::vector<std::string> folders;
        for (const game::MapInfo& map : picker.GetMaps()) folders.emplace_back(map.folder.GetNarrow());
        for (const std::string& folder : folders) {
            SCOPED_TRACE(folder);
            screens.SelectMap(folder);
            driver.Frame();
            EXPECT_EQ(profile.defaultMap, folder);
            game::TitledZone& objective = *registry.GetTitled(ZoneId::kObjective);
            OpenFully(objective, game::kZoneObjective);
            objective.SetShown(false, false);
            driver.Frame();
        }
        picker.SetShown(false, false);
    }
    ExpectAsked({"MM_PLAYGAME", "MM_QUITGAME", "MM_SINGLEGAMETYPE_SKIRMISH", "DESC_SKIRMISH", "DESC_PASSANDPLAY",
                 "DESC_CAMPAIGN", "SKM_PICKMAP", "SKM_OPTIONS", "SKM_STARTCASH_BLUE", "SKM_BONUSCASH_ENEMY", "SKM_OBJECTIVE", "PP_OBJECTIVE"});
}

}  // namespace
}  // namespace text_walk
