// The game states' entry actions: SetState stores the state and runs them inside the call; some chain into
// another state, some write the state word only.
#include <cstdio>

#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace game {
namespace {

// Music tracks of the sound bank.
constexpr int kMenuMusic = 1;
constexpr int kWinMusic = 2;
constexpr int kLoseMusic = 3;

}  // namespace

void Game::SetState(int state) {
    const int previous = state_;
    state_ = state;
    switch (state) {
        case kGameWon:
            PresentBattleEnd();
            PlayMusic(kWinMusic);
            if (teams_) teams_->PlayEndReactions(true);
            if (level_) level_->GetStructureManager().StartFireworks(true);
            CountSkirmishWin();
            AwardCampaignAchievements(false);
            break;
        case kGameLost:
            PresentBattleEnd();
            PlayMusic(kLoseMusic);
            if (teams_) teams_->PlayEndReactions(false);
            if (level_) level_->GetStructureManager().StartFireworks(false);
            break;
        case kGameStartup:
            parts_.view->DrawSplash(parts_.platform->GetScreenWidth() >= 1920 ? "Common/vav" : "Common/smbfg");
            if (!LoadResources()) {
                startupFailed_ = true;
                quit_ = true;
                break;
            }
            // Without its screens the game cannot be played: start-up stops here.
            if (!parts_.screens->CreateZones()) {
                std::fprintf(stderr, "tinmarch: the screens cannot be made\n");
                startupFailed_ = true;
                quit_ = true;
                break;
            }
            SetState(kGameProfileLoading);
            break;
        case kGameProfileLoading:
            EnterProfileLoading();
            break;
        case kGameMainMenu:
            if (previous != kGameMainMenu) PlayMusic(kMenuMusic);
            parts_.platform->ResetClock();
            parts_.platform->ShowSystemPointer();
            parts_.screens->OpenZone(kZoneMainMenu, 0, 0);
            fadeLeft_ = 0.0f;
            fadeTotal_ = 0.0f;
            fadeColour_ = kNoFade;
            break;
        case kGameBetweenTurns:
            EnterBetweenTurns();
            break;
        case kGameSideTurn:
            EnterSideTurn();
            break;
        case kGameShop:
            EnterShop();
            break;
        case kGameBackToTurn:
            if (shopStructure_ != nullptr) shopStructure_->SetSelected(0);
            if (pickedStructure_ != nullptr) pickedStructure_->SetSelected(0);
            state_ = kGameSideTurn;
            break;
        case kGameLeaveLevel:
            SetModalOpen(false);
            parts_.screens->HideAllDialogs();
            EndLevel();
            parts_.screens->HideBanner();
            SetState(kGameMainMenu);
            break;
        case kGameMissionCompleted:
            EnterMissionCompleted();
            break;
        case kGameAfterLoss:
            BackToMenuReset(true);
            if (gameMode_ == kGameModeCampaign) {
                parts_.screens->ShowCampaignMap();
            } else {
                parts_.screens->OpenZone(kZoneGameType, 0, 0);
            }
            break;
        case kGameRestartLevel:
            BackToMenuReset(false);
            SetState(gameMode_ == kGameModeCampaign      ? kGameLoadCampaign
                     : gameMode_ == kGameModePassAndPlay ? kGameLoadPassAndPlay
                                                         : kGameLoadSkirmish);
            break;
        case kGameBackToPassAndPlay:
            BackToMenuReset(true);
            parts_.screens->OpenZone(kZonePassAndPlaySetup, 0, 0);
            break;
        case kGameBackToSkirmish:
            BackToMenuReset(true);
            parts_.screens->OpenZone(kZoneSkirmishSetup, 0, 0);
            break;
        default:
            // The loading states and the start-of-turn queue work in the main loop; other numbers are stored.
            break;
    }
}

void Game::BackToMenuReset(bool menuMusic) {
    EndLevel();
    if (menuMusic) PlayMusic(kMenuMusic);
    parts_.platform->ResetClock();
    parts_.platform->ShowSystemPointer();
    fadeLeft_ = 0.0f;
    fadeTotal_ = 0.0f;
    fadeColour_ = kNoFade;
    state_ = kGameMainMenu;
}

void Game::PresentBattleEnd() {
    parts_.screens->SlideOutTurnPanels();
    parts_.camera->EndBattleZoom();
    parts_.screens->HideBanner();
    resultTimer_ = 1.0f;
    resultPhase_ = 1;
}

void Game::EnterProfileLoading() {
    Profile& profile = *parts_.profile;
    profile.StartLoad();
    parts_.achievements->LoadTexts();
    // A profile that never settles must not hold start-up: after the bound, go on with the record as it is.
    bool idle = false;
    for (int poll = 0; poll < kMaxProfilePolls && !idle; ++poll) {
        const int result = profile.Poll();
        if (result == kProfileNoFile) profile.Save();
        idle = result == kProfileIdle;
    }
    if (!idle) {
        std::fprintf(stderr, "tinmarch: the profile did not settle after %d polls; going on with it as it stands\n",
                     kMaxProfilePolls);
    } else if (!profile.GetStartCountStop()) {
        profile.SetStartCount(profile.GetStartCount() + 1);
    }
    parts_.screens->SelectMap(profile.GetDefaultMapFolder());
    parts_.sound->LoadSpeechPack(1, profile.GetSpeechPack(1));
    parts_.sound->LoadSpeechPack(0, profile.GetSpeechPack(0));
    SetGraphicsLevel(profile.GetGraphicsLevel());
    ApplyLightingQuality();
    if (profile.IsSlotInUse(kAutosaveSlot)) {
        parts_.platform->ResetClock();
        parts_.platform->ShowSystemPointer();
        if (!profile.LoadGameFromSlot(kAutosaveSlot)) SetState(kGameMainMenu);
    } else {
        SetState(kGameMainMenu);
    }
}

void Game::EnterBetweenTurns() {
    fastForward_ = false;
    ClearSelection();
    ClearSelectionPointers();
    pickedStructure_ = nullptr;
    if (!teams_) return;
    teams_->RemoveGoneUnits();
    parts_.camera->EndBattleZoom();
    if (teams_->AdvanceTurn()) {
        SetState(kGameLost);
        return;
    }
    Team* team = teams_->GetCurrentTeam();
    if (team != nullptr && teams_->GetDay() == 1 && level_ && gameMode_ != kGameModeCampaign) {
        const StructureManager& structures = level_->GetStructureManager();
        for (int slot = 0; slot < kMaxStructures; ++slot) {
            const Structure* s = structures.GetStructure(slot);
            if (s != nullptr && s->GetType() == kStructureHQ && s->GetTeam() == team->GetKind()) {
                team->SetFocusHex(s->GetHex());
                break;
            }
        }
    }
    int day = 0;
    if (teams_->IsNewDay(day)) FireScriptDayStart(day);
}

void Game::EnterSideTurn() {
    Team* team = teams_ ? teams_->GetCurrentTeam() : nullptr;
    if (team == nullptr) return;
    if (team->GetControl() == kControlComputer) {
        parts_.announcer->Show(GetText("ANN_CPUTURN"), 1);
        return;
    }
    if (gameMode_ == kGameModeCampaign && !IsValidHex(team->GetFocusHex()) && campaign_) {
        team->SetFocusHex(campaign_->GetSelectedStartTile());
    }
    if (IsValidHex(team->GetFocusHex())) parts_.camera->LookAtHex(team->GetFocusHex());
    team->ClearScriptedFlags();
    parts_.profile->SaveGameToSlot(kAutosaveSlot);
    parts_.profile->Save();
    const char* caption = "ANN_YOURTURN";
    if (teams_->CountPlayerTeams() != 1) {
        static constexpr const char* kAllyCaptions[] = {"ANN_ALLY1TURN", "ANN_ALLY2TURN", "ANN_ALLY3TURN"};
        const int kind = team->GetKind();
        if (kind >= 1 && kind <= 3) caption = kAllyCaptions[kind - 1];
    }
    parts_.announcer->Show(GetText(caption), 0);
}

void Game::EnterShop() {
    Structure* structure = pickedStructure_;
    if (structure == nullptr || !level_) {
        // Nothing to open: the side's turn goes on.
        state_ = kGameSideTurn;
        return;
    }
    const HexCoord hex = structure->GetHex();
    engine::Vec3 point;
    level_->GetHexMap().GetSurfacePoint(point, hex);
    int x = 0;
    int y = 0;
    parts_.view->ProjectToScreen(point, x, y);
    parts_.camera->LookAtHex(hex);
    parts_.screens->OpenZone(structure->GetShopZoneType(), x, y);
}

void Game::EnterMissionCompleted() {
    int medal = 0;
    int margin = 0;
    if (level_ && level_->GetMissionMode() == 1) {
        medal = 1;
        margin = level_->GetSurvivorTurns();
    } else if (campaign_) {
        medal = campaign_->GetFinishedMedal();
        margin = campaign_->GetFinishedMargin();
    }
    BackToMenuReset(true);
    const bool another = campaign_ && campaign_->RecordResult(medal, margin);
    if (another) {
        parts_.screens->ShowCampaignMap();
    } else {
        parts_.screens->OpenZone(kZoneCredits, 0, 0);
    }
    AwardCampaignAchievements(true);
}

}  // namespace game
