#include "game/screens/game_screens.h"

#include <memory>

#include "engine/gui/dialog_system.h"
#include "engine/platform/engine_root.h"
#include "game/core/display_mode.h"
#include "game/core/campaign.h"
#include "game/core/game.h"
#include "game/core/game_view.h"
#include "game/level/level.h"
#include "game/screens/achievements_zone.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/comic_overlay_zone.h"
#include "game/screens/credits_zone.h"
#include "game/screens/hud_zones.h"
#include "game/screens/move_choice_zone.h"
#include "game/screens/save_load_zone.h"
#include "game/screens/settings_zone.h"
#include "game/screens/shop_zone.h"
#include "game/screens/speech_picker_zone.h"
#include "game/screens/zone.h"

namespace game {
namespace {

template <typename ZoneClass>
ZoneMaker MakerOf() {
    return [](ScreenServices& services) -> std::unique_ptr<Zone> { return std::make_unique<ZoneClass>(services); };
}

}  // namespace

ZoneId ZoneForType(int type) {
    switch (type) {
        case 0:
        case 1: return ZoneId::kSettings;
        case 4:
        case 5:
        case 6:
        case 7: return ZoneId::kShop;
        case 8: return ZoneId::kMainMenu;
        case 9: return ZoneId::kPause;
        case 10: return ZoneId::kMissionWon;
        case 11: return ZoneId::kMissionLost;
        case 14: return ZoneId::kCredits;
        case 15: return ZoneId::kObjective;
        case 16: return ZoneId::kEndTurnConfirm;
        case 21: return ZoneId::kSpeechPicker;
        case 22: return ZoneId::kCampaignPicker;
        case 23: return ZoneId::kGameType;
        case 24: return ZoneId::kPassAndPlaySetup;
        case 25: return ZoneId::kSkirmishSetup;
        case 26:
        case 27: return ZoneId::kMapPicker;
        case 28:
        case 29: return ZoneId::kMatchOptions;
        case 30:
        case 31: return ZoneId::kSaveLoad;
        case 32: return ZoneId::kAchievements;
        case 35: return ZoneId::kDifficulty;
        default: return ZoneId::kCount;
    }
}

void RegisterHudAndShopZones(ZoneRegistry& registry) {
    registry.Register(ZoneId::kTopBar, MakerOf<TopBarZone>());
    registry.Register(ZoneId::kTurnButton, MakerOf<TurnButtonZone>());
    registry.Register(ZoneId::kShop, MakerOf<ShopZone>());
    registry.Register(ZoneId::kMoveChoice, MakerOf<MoveChoiceZone>());
}

void RegisterMenuInfoZones(ZoneRegistry& registry) {
    registry.Register(ZoneId::kCredits, MakerOf<CreditsZone>());
    registry.Register(ZoneId::kAchievements, MakerOf<AchievementsZone>());
    registry.Register(ZoneId::kSettings, MakerOf<SettingsZone>());
    registry.Register(ZoneId::kSpeechPicker, MakerOf<SpeechPickerZone>());
    registry.Register(ZoneId::kSaveLoad, MakerOf<SaveLoadZone>());
    registry.Register(ZoneId::kCampaignMap, MakerOf<CampaignMapZone>());
    registry.Register(ZoneId::kCampaignPicker, MakerOf<PackPickerZone>());
    registry.Register(ZoneId::kDifficulty, MakerOf<DifficultyZone>());
    registry.Register(ZoneId::kComicOverlay, MakerOf<ComicOverlayZone>());
}

GameScreens::GameScreens(ZoneRegistry& zones)
    : zones_(zones), banner_(zones.Services()), panel_(zones.Services()) {}

void GameScreens::OpenZone(int type, int originX, int originY) {
    zones_.Open(ZoneForType(type), type, originX, originY);
}

void GameScreens::ShowCampaignMap() {
    if (Zone* map = zones_.Get(ZoneId::kCampaignMap)) map->SetShown(true, false);
}

void GameScreens::ShowTurnPanels() {
    for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
        if (Zone* panel = zones_.Get(id)) panel->SetShown(true, false);
    }
}

void GameScreens::SlideOutTurnPanels() {
    for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
        if (auto* panel = dynamic_cast<SlidingZone*>(zones_.Get(id))) panel->SlideOut();
    }
}

void GameScreens::ToggleTurnPanels() {
    for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
        if (auto* panel = dynamic_cast<SlidingZone*>(zones_.Get(id))) panel->ToggleShown();
    }
}

void GameScreens::HideAllDialogs() { engine::HideAllDialogs(); }

void GameScreens::SelectMap(const std::string& folder) {
    if (auto* picker = dynamic_cast<MapPickerSeam*>(zones_.Get(ZoneId::kMapPicker))) picker->SelectMap(folder);
}

void GameScreens::OpenWin(int medal, int margin, const std::string& missionRecord) {
    if (auto* win = dynamic_cast<WinScreenSeam*>(zones_.Get(ZoneId::kMissionWon))) {
        win->OpenWin(medal, margin, missionRecord);
    }
}

void GameScreens::OpenLose() {
    if (auto* lose = dynamic_cast<ResultScreenSeam*>(zones_.Get(ZoneId::kMissionLost))) lose->OpenResult();
}

void GameScreens::OpenPassAndPlayResult() {
    if (auto* result = dynamic_cast<ResultScreenSeam*>(zones_.Get(ZoneId::kPassAndPlayResult))) result->OpenResult();
}

void GameScreens::ShowBanner(const engine::WideString& text, float seconds) { banner_.Show(text, seconds); }

void GameScreens::RefreshCash() {
    if (auto* bar = dynamic_cast<TopBarZone*>(zones_.Get(ZoneId::kTopBar))) bar->RefreshCash();
}

void GameScreens::OnTurnStart() {
    if (auto* buttons = dynamic_cast<TurnButtonZone*>(zones_.Get(ZoneId::kTurnButton))) buttons->OnTurnStart();
}

MoveChoiceZone* GameScreens::GetMoveChoice() const { return FindZone<MoveChoiceZone>(&zones_, ZoneId::kMoveChoice); }

int GameScreenHost::GetState() const { return game_.GetState(); }
void GameScreenHost::SetState(int state) { game_.SetState(state); }
bool GameScreenHost::IsModalOpen() const { return game_.IsModalOpen(); }
void GameScreenHost::SetModalOpen(bool open) { game_.SetModalOpen(open); }
int GameScreenHost::GetGameMode() const { return game_.GetGameMode(); }
bool GameScreenHost::IsFastForward() const { return game_.IsFastForward(); }
void GameScreenHost::StartFastForward() { game_.StartFastForward(); }
void GameScreenHost::RequestQuit() { game_.RequestQuit(); }
CampaignInfo* GameScreenHost::GetCampaign() const { return game_.GetCampaign(); }
int GameScreenHost::GetEndCondition() const { return game_.GetEndCondition(); }
Structure* GameScreenHost::GetPickedStructure() const { return game_.GetPickedStructure(); }
Structure* GameScreenHost::GetShopStructure() const { return game_.GetShopStructure(); }
TeamManager* GameScreenHost::GetTeamManager() const { return game_.GetTeamManager(); }
BattleContext* GameScreenHost::GetBattle() { return game_.GetLevel() != nullptr ? &game_ : nullptr; }

bool GameScreenHost::GetSurvival(int& survivorTurns) const {
    const Level* level = game_.GetLevel();
    if (level == nullptr || level->GetMissionMode() != 1) return false;
    survivorTurns = level->GetSurvivorTurns();
    return true;
}

int GameScreenHost::GetMedalProgress(int& turnsLeft) const {
    turnsLeft = 0;
    return 4;
}

int GameScreenHost::GetScreenWidth() const { return platform_.GetScreenWidth(); }
int GameScreenHost::GetScreenHeight() const { return platform_.GetScreenHeight(); }

engine::WideString GameScreenHost::GetMissionDescription() const {
    const auto* campaign = dynamic_cast<const Campaign*>(game_.GetCampaign());
    if (campaign == nullptr || campaign->GetSelectedMissionIndex() < 0) return {};
    return campaign->GetMission(campaign->GetSelectedMissionIndex()).thirdText;
}

bool GameScreenHost::GetStoredResult(int& medal, int& margin) const {
    medal = 0;
    margin = 0;
    const auto* campaign = dynamic_cast<const Campaign*>(game_.GetCampaign());
    return campaign != nullptr && campaign->GetStoredResult(medal, margin);
}

void GameScreenHost::ResetAnnouncer() {
    if (Announcer* announcer = game_.GetAnnouncer()) announcer->Reset();
}

void GameScreenHost::HideAnnouncer() {
    if (Announcer* announcer = game_.GetAnnouncer()) announcer->Hide();
}

void GameScreenHost::DrawAnnouncer() {
    if (Announcer* announcer = game_.GetAnnouncer()) announcer->Draw();
}

void GameScreenHost::ResetClock() { platform_.ResetClock(); }

void GameScreenHost::ApplyLightingQuality() { game_.ApplyLightingQuality(); }

bool GameScreenHost::IsFullScreen() const {
    const engine::Engine* root = engine::GetEngine();
    return root != nullptr && root->IsFullScreen();
}

void GameScreenHost::SwitchDisplayModeAndSave() { game::SwitchDisplayModeAndSave(); }

bool GameScreenHost::SelectCampaign(const std::string& name) { return game_.SelectCampaign(name) != 0; }

int GameScreenHost::SetResourceGroup(int group) {
    engine::Engine* root = engine::GetEngine();
    return root != nullptr ? root->SetResourceGroup(group) : 0;
}

void GameScreenHost::PurgeResourceGroup(int group) { engine::PurgeResourceGroup(group); }

}  // namespace game
