// The tour of every screen the player can reach (see screen_tour.h).
#include "e2e/screen_tour.h"

#include <gtest/gtest.h>

#include <string>

#include "e2e/battle_walks.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/screens/achievements_zone.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/comic_overlay_zone.h"
#include "game/screens/credits_zone.h"
#include "game/screens/hud_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/match_setup_zones.h"
#include "game/screens/save_load_zone.h"
#include "game/screens/settings_zone.h"
#include "game/screens/shop_zone.h"
#include "game/screens/speech_picker_zone.h"

namespace e2e {
namespace {

using game::ZoneId;

// A click on the control, then the screen that must open, with its picture once it is fully open (when
// pictures are wanted).
bool Visit(ProgramDriver& d, bool pictures, ZoneId from, int control, ZoneId to, const char* picture) {
    if (!d.Click(from, control)) {
        ADD_FAILURE() << "control " << control << " of zone " << static_cast<int>(from) << " not there";
        return false;
    }
    if (!d.WaitFor([&] { return d.IsShown(to); }, 5 * kSeconds)) {
        ADD_FAILURE() << "zone " << static_cast<int>(to) << " did not open for " << picture;
        return false;
    }
    d.Frames(20);
    if (pictures && picture != nullptr) {
        EXPECT_TRUE(d.DumpPng(Png(std::string("screen_") + picture))) << picture;
    }
    return true;
}

// A structure of the side to move that makes units, on screen.
const game::Structure* OwnProducerOnScreen(ProgramDriver& d) {
    const game::StructureManager& structures = d.GetGame().GetLevel()->GetStructureManager();
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        const game::Structure* s = structures.GetStructure(slot);
        int x = 0;
        int y = 0;
        if (s != nullptr && s->GetTeam() == d.CurrentSide() && s->IsProducer() && d.HexOnScreen(s->GetHex(), x, y)) {
            return s;
        }
    }
    return nullptr;
}

}  // namespace

void TourEveryScreen(ProgramDriver& d, bool pictures) {
    ASSERT_TRUE(d.WaitForState(game::kGameMainMenu, 60 * kSeconds));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 10 * kSeconds));
    if (pictures) d.DumpPng(Png("screen_main_menu"));
    const ZoneId menu = ZoneId::kMainMenu;

    ASSERT_TRUE(Visit(d, pictures, menu, game::kMainSettings, ZoneId::kSettings, "settings"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSettings, game::SettingsZone::kSpeechId, ZoneId::kSpeechPicker, "speech_picker"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSpeechPicker, game::SpeechPickerZone::kDoneId, ZoneId::kSettings, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSettings, game::SettingsZone::kDoneId, menu, nullptr));
    ASSERT_TRUE(Visit(d, pictures, menu, game::kMainAchievements, ZoneId::kAchievements, "achievements"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kAchievements, game::AchievementsZone::kBackId, menu, nullptr));
    ASSERT_TRUE(Visit(d, pictures, menu, game::kMainCredits, ZoneId::kCredits, "credits"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kCredits, game::CreditsZone::kDoneId, menu, nullptr));
    ASSERT_TRUE(Visit(d, pictures, menu, game::kMainLoad, ZoneId::kSaveLoad, "load"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSaveLoad, game::SaveLoadZone::kBackId, menu, nullptr));

    // The skirmish and pass-and-play setups with the map picker and the match options.
    ASSERT_TRUE(Visit(d, pictures, menu, game::kMainPlay, ZoneId::kGameType, "game_type"));
    ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeSkirmish));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kGameType, game::kTypeStart, ZoneId::kSkirmishSetup, "skirmish_setup"));
    const game::SetupStyle& skirmish = game::kSkirmishSetupStyle;
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSkirmishSetup, skirmish.pickMapId, ZoneId::kMapPicker, "map_picker"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kMapPicker, game::kMapPickerSelect, ZoneId::kSkirmishSetup, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSkirmishSetup, skirmish.optionsId, ZoneId::kMatchOptions, "match_options"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kMatchOptions, game::kOptionsDone, ZoneId::kSkirmishSetup, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSkirmishSetup, skirmish.backId, ZoneId::kGameType, nullptr));
    ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypePassAndPlay));
    ASSERT_TRUE(
        Visit(d, pictures, ZoneId::kGameType, game::kTypeStart, ZoneId::kPassAndPlaySetup, "pass_and_play_setup"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kPassAndPlaySetup, game::kPassAndPlaySetupStyle.backId, ZoneId::kGameType,
                      nullptr));

    // The campaign map, its picker and the difficulty, then the first mission's comic.
    ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeCampaign));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kGameType, game::kTypeStart, ZoneId::kCampaignMap, "campaign_map"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kCampaignMap, game::CampaignMapZone::kChangeId, ZoneId::kCampaignPicker,
                      "campaign_picker"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kCampaignPicker, game::PackPickerZone::kDifficultyId, ZoneId::kDifficulty,
                      "difficulty"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kDifficulty, game::DifficultyZone::kDoneId, ZoneId::kCampaignPicker, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kCampaignPicker, game::PackPickerZone::kDoneId, ZoneId::kCampaignMap, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kCampaignMap, game::CampaignMapZone::kPlayId, ZoneId::kComicOverlay, "comic"));
    ASSERT_TRUE(d.Click(ZoneId::kComicOverlay, game::ComicOverlayZone::kSkipId));

    // In the mission: the pause menu and the screens it opens.
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 60 * kSeconds)) << "state " << d.State();
    if (pictures) d.DumpPng(Png("screen_battle"));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kTopBar); }, 5 * kSeconds));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kTopBar, game::kHudPause, ZoneId::kPause, "pause"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kPause, game::kPauseObjective, ZoneId::kObjective, "objective"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kObjective, game::kObjectiveDone, ZoneId::kPause, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kPause, game::kPauseSettings, ZoneId::kSettings, "settings_in_battle"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSettings, game::SettingsZone::kDoneId, ZoneId::kPause, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kPause, game::kPauseSave, ZoneId::kSaveLoad, "save"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kSaveLoad, game::SaveLoadZone::kBackId, ZoneId::kPause, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kPause, game::kPauseResume, ZoneId::kTurnButton, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kTurnButton, game::kHudEndTurn, ZoneId::kEndTurnConfirm, "end_turn_confirm"));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kEndTurnConfirm, game::kEndTurnNo, ZoneId::kTurnButton, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kTopBar, game::kHudPause, ZoneId::kPause, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kPause, game::kPauseSurrender, ZoneId::kSurrenderConfirm, "surrender_confirm"));
    ASSERT_TRUE(d.Click(ZoneId::kSurrenderConfirm, game::kSurrenderYes));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(menu); }, 20 * kSeconds)) << "state " << d.State();

    // A skirmish for the shop of a producer.
    ASSERT_TRUE(Visit(d, pictures, menu, game::kMainPlay, ZoneId::kGameType, nullptr));
    ASSERT_TRUE(d.Click(ZoneId::kGameType, game::kTypeSkirmish));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kGameType, game::kTypeStart, ZoneId::kSkirmishSetup, nullptr));
    ASSERT_TRUE(d.Click(ZoneId::kSkirmishSetup, skirmish.playId));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 60 * kSeconds)) << "state " << d.State();
    if (pictures) d.DumpPng(Png("screen_skirmish"));
    const game::Structure* producer = OwnProducerOnScreen(d);
    ASSERT_NE(producer, nullptr) << "no producer of the player's side on screen";
    ASSERT_TRUE(d.ClickHex(producer->GetHex()));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kShop); }, 5 * kSeconds)) << "state " << d.State();
    d.Frames(20);
    if (pictures) {
        EXPECT_TRUE(d.DumpPng(Png("screen_shop")));
    }
    ASSERT_TRUE(d.Click(ZoneId::kShop, game::kShopCancel));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn() && !d.IsShown(ZoneId::kShop); }, 10 * kSeconds));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kTopBar, game::kHudPause, ZoneId::kPause, nullptr));
    ASSERT_TRUE(Visit(d, pictures, ZoneId::kPause, game::kPauseSurrender, ZoneId::kSurrenderConfirm, nullptr));
    ASSERT_TRUE(d.Click(ZoneId::kSurrenderConfirm, game::kSurrenderYes));
    EXPECT_TRUE(d.WaitFor([&d] { return d.IsShown(menu); }, 20 * kSeconds)) << "state " << d.State();
}

}  // namespace e2e
