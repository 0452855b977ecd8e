// The main loop: one engine event per pass, the keys, the state's work, the fixed ticks and one frame.
#include <cstdio>

#include "engine/platform/key_codes.h"
#include "engine/render/frame_pass_probe.h"
#include "game/core/game.h"
#include "game/level/battle_steps.h"
#include "game/level/level.h"
#include "game/level/level_unit_services.h"
#include "game/level/mission.h"
#include "game/level/turn_start_queue.h"
#include "game/teams/ai_player.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/projectile_manager.h"

namespace game {
namespace {

constexpr float kTickSeconds = 0.02f;
constexpr int kEventQuit = 3;
constexpr std::uint32_t kWonFade = 0xFF1096DCu;
constexpr std::uint32_t kLostFade = 0xFFC04040u;
constexpr std::uint32_t kBattleClear = 0xFF003F7Fu;
constexpr std::uint32_t kMenuClear = 0xFF000000u;
// Looked up in this order: barracks, airport, factory, dockyard, HQ.
constexpr int kSkirmishProducers[] = {kStructureBarracks, kStructureAirport, kStructureFactory, kStructureDockyard,
                                      kStructureHQ};
constexpr int kBlueCashToPlayOn = 50;

bool IsMenuState(int state) {
    return state == kGameProfileLoading || state == kGameMainMenu || state == kGameLoadCampaign ||
           state == kGameLoadPassAndPlay || state == kGameLoadSkirmish;
}

}  // namespace

void Game::RunMainLoop() {
    parts_.platform->ResetClock();
    skip_ = false;
    // A failed start-up has asked to quit already; the loop must not run on with nothing loaded.
    quit_ = startupFailed_;
    for (;;) {
        int code = 0;
        if (parts_.platform->PopEvent(code) && code == kEventQuit) return;
        bool worked = false;
        if (!skip_) {
            if (quit_) return;
            // Each key of the table is read once per pass: its edges show to the first read only.
            const bool altDown = parts_.platform->ReadKey(engine::kKeyLeftAlt).down != 0;
            const bool f4Pressed = parts_.platform->ReadKey(engine::kKeyF4).pressed != 0;
            if (altDown && f4Pressed) {
                RequestQuit();
                continue;
            }
            DoStateWork();
            if (!IsMenuState(state_)) UpdateFixed();
            worked = true;
        }
        skip_ = Render(worked && IsMenuState(state_), false) == 0;
    }
}

void Game::DoStateWork() {
    switch (state_) {
        case kGameWon:
        case kGameLost:
            WorkResult();
            break;
        case kGameBetweenTurns:
            WorkBetweenTurns();
            break;
        case kGameSideTurn:
            WorkSideTurn();
            break;
        case kGameLoadCampaign:
        case kGameLoadPassAndPlay:
        case kGameLoadSkirmish:
            LoadLevelState(state_);
            break;
        default:
            break;
    }
}

void Game::WorkResult() {
    if (resultPhase_ == 1) {
        StartFade(2.0f, state_ == kGameWon ? kWonFade : kLostFade);
        resultTimer_ = 2.0f;
        resultPhase_ = 2;
        return;
    }
    if (resultPhase_ != 2 || resultTimer_ == 0.0f) return;
    resultTimer_ = 0.0f;
    if (state_ == kGameLost) {
        parts_.screens->OpenLose();
    } else if (gameMode_ != kGameModeCampaign) {
        parts_.screens->OpenPassAndPlayResult();
    } else {
        int medal = 1;
        int margin = 0;
        if (level_ && level_->GetMissionMode() == 1) {
            margin = level_->GetSurvivorTurns();
        } else if (campaign_) {
            medal = campaign_->GetFinishedMedal();
            margin = campaign_->GetFinishedMargin();
        }
        parts_.screens->OpenWin(medal, margin, campaign_ ? campaign_->GetSelectedMissionRecord() : std::string());
    }
}

void Game::WorkBetweenTurns() {
    if (parts_.announcer->IsShowing()) return;
    if (!RunScriptBlocks()) return;
    if (!teams_ || teams_->IsBusy()) return;
    if (parts_.screens->IsBannerShowing()) return;
    const BattleStepResult check = CheckBetweenTurns(level_.get(), *teams_, gameMode_);
    if (check.outcome == BattleStepResult::kLost) {
        endCondition_ = check.endCondition;
        SetState(kGameLost);
        return;
    }
    if (check.outcome == BattleStepResult::kWon) {
        SetState(kGameWon);
        return;
    }
    parts_.screens->ShowTurnPanels();
    // The structures' turn-start hooks are empty in every structure class: nothing to notify.
    SetState(queue_->Build(level_.get(), teams_.get()) ? kGameTurnStartQueue : kGameSideTurn);
}

void Game::WorkSideTurn() {
    if (parts_.announcer->IsShowing()) return;
    if (!RunScriptBlocks()) return;
    ApplyTurnKeys();
    Team* team = teams_ ? teams_->GetCurrentTeam() : nullptr;
    if (team == nullptr) return;
    const AIPlayer* ai = team->GetAIPlayer();
    if (ai != nullptr && ai->IsTurnOver()) {
        SetState(kGameBetweenTurns);
        return;
    }
    if (team->GetControl() == kControlHuman) {
        HandlePointerInput();
        ExecuteOrders();
    }
}

void Game::ApplyTurnKeys() {
    GamePlatform& platform = *parts_.platform;
    CameraController& camera = *parts_.camera;
    if (platform.ReadKey(engine::kKeyF1).pressed != 0) parts_.screens->ToggleTurnPanels();
    if (platform.ReadKey(engine::kKeyDelete).pressed != 0) camera.RotateStep(0);
    if (platform.ReadKey(engine::kKeyPageDown).pressed != 0) camera.RotateStep(1);
    if (platform.ReadKey(engine::kKeyLeft).down != 0) camera.PanAcrossView(0);
    if (platform.ReadKey(engine::kKeyRight).down != 0) camera.PanAcrossView(1);
    if (platform.ReadKey(engine::kKeyUp).down != 0) camera.PanAlongView(1);
    if (platform.ReadKey(engine::kKeyDown).down != 0) camera.PanAlongView(0);
}

void Game::LoadLevelState(int state) {
    gameMode_ = state == kGameLoadCampaign ? kGameModeCampaign
                : state == kGameLoadPassAndPlay ? kGameModePassAndPlay
                                                : kGameModeSkirmish;
    StopMusic();
    parts_.platform->SelectResourceGroup(1);
    std::string folder;
    if (state == kGameLoadCampaign) {
        if (campaign_) folder = campaign_->GetSelectedMissionFolder();
    } else {
        folder = parts_.profile->GetDefaultMapFolder();
    }
    level_ = std::make_unique<Level>(*this, *this, parts_.levelPresenter,
                                     parts_.view->GetStructurePresenter());
    if (folder.empty() || !level_->Load(folder)) {
        // No map: no battle. Back to the screen the player came from.
        std::fprintf(stderr, "tinmarch: the level \"%s\" did not load\n", folder.c_str());
        BackToMenuReset(true);
        if (state == kGameLoadCampaign) {
            parts_.screens->ShowCampaignMap();
        } else {
            parts_.screens->OpenZone(state == kGameLoadPassAndPlay ? kZonePassAndPlaySetup : kZoneSkirmishSetup, 0,
                                     0);
        }
        return;
    }
    teams_ = std::make_unique<TeamManager>(*this, *this);
    unitServices_ = std::make_unique<LevelUnitServices>(*level_, *teams_, *projectiles_);
    teams_->Init();
    teams_->SetStructureManager(&level_->GetStructureManager());
    level_->GetStructureManager().SetUnitProducer(teams_.get());
    level_->SetupTeams(*teams_);
    level_->PlayMusic();
    parts_.camera->ResetToStart();
    parts_.platform->SelectResourceGroup(0);
    SetState(kGameBetweenTurns);
}

void Game::UpdateFixed() {
    accumulator_ += parts_.platform->GetFrameDelta();
    while (accumulator_ >= kTickSeconds) {
        if (Tick()) return;
        accumulator_ -= kTickSeconds;
    }
}

bool Game::Tick() {
    if (modal_) return false;
    parts_.camera->Update();
    const BattleStepResult result =
        RunBattleTick(level_.get(), teams_.get(), *queue_, state_, [this] {
            projectiles_->Update();
            if (parts_.view->IsMoveMarkerFinished()) parts_.view->DetachMoveMarker();
        });
    switch (result.outcome) {
        case BattleStepResult::kQueueDone:
            SetState(kGameSideTurn);
            return false;
        case BattleStepResult::kWon:
            endCondition_ = result.endCondition;
            SetState(kGameWon);
            return true;
        case BattleStepResult::kLost:
            endCondition_ = result.endCondition;
            SetState(kGameLost);
            return true;
        case BattleStepResult::kSkirmish:
            if (CheckSkirmishWin()) {
                SetState(kGameWon);
                return true;
            }
            if (CheckSkirmishLoss()) {
                SetState(kGameLost);
                return true;
            }
            return false;
        case BattleStepResult::kNothing:
            break;
    }
    return false;
}

bool Game::CheckSkirmishWin() {
    if (!teams_ || !level_) return false;
    for (int slot = 0; slot < kTeamKindCount; ++slot) {
        const Team* team = teams_->GetTeam(slot);
        if (team != nullptr && team->GetControl() == kControlComputer && team->CountLiveUnits() > 0) return false;
    }
    const StructureManager& structures = level_->GetStructureManager();
    for (int type : kSkirmishProducers) {
        if (structures.CountOwned(4, type) > 0) return false;
    }
    endCondition_ = WLC_NO_ENEMY_UNITS;
    return true;
}

bool Game::CheckSkirmishLoss() {
    if (!teams_ || !level_) return false;
    const StructureManager& structures = level_->GetStructureManager();
    if (structures.CountOwned(1, kStructureHQ) == 0) {
        endCondition_ = WLC_NO_ALLIED_HQ;
        return true;
    }
    if (structures.CountOwned(4, kStructureHQ) == 0) return false;
    endCondition_ = WLC_NO_ALLIED_SKIRMISH;
    const Team* blue = teams_->FindTeam(1);
    if (blue == nullptr) return true;
    if (blue->CountEngineers() > 0) return false;
    if (structures.CountOwned(1, kStructureBarracks) == 0) return true;
    return !(blue->GetCash() >= kBlueCashToPlayOn || GetMatchOptions()[2] >= kBlueCashToPlayOn ||
             structures.CountOwned(1, kStructureRefinery) > 0);
}

int Game::Render(bool menuOnly, bool forcePicture) {
    GameView& view = *parts_.view;
    const bool quality = (GetOptionBits() & kOptionQuality) != 0;
    if (menuOnly) {
        view.BeginFrame(kMenuClear);
        if (forcePicture || state_ == kGameLoadCampaign || state_ == kGameLoadPassAndPlay ||
            state_ == kGameLoadSkirmish) {
            view.DrawMenuPicture();
        }
        view.DrawGui();
        if (parts_.achievements != nullptr) parts_.achievements->DrawPopup();
        view.DrawOverlays();
        view.EndFrame();
        return parts_.platform->FrameStep();
    }
    parts_.camera->ApplyView();
    view.DrawProjectiles(*projectiles_);
    if (level_) view.RefreshStructureModels(*level_);
    if (teams_) teams_->UpdateAnimations();
    view.BuildRenderQueue();
    if (level_) {
        view.DrawTileMarkers(*level_);
        view.DrawLevelEffects(*level_);
        view.DrawCaptureMarkers(*level_);
    }
    view.BeginFrame(kBattleClear);
    view.RenderQueue();
    engine::MarkFramePass(engine::FramePass::kGui);
    if (level_) view.DrawStructureHooks(*level_);
    if (teams_) view.DrawUnitOverlays(*teams_);
    if (level_) {
        parts_.screens->DrawUnitPanel();
        view.DrawFloatingTexts(*level_);
    }
    parts_.announcer->Draw();
    parts_.screens->DrawBanner();
    if (quality) DrawFade();
    view.DrawGui();
    if (quality) {
        engine::MarkFramePass(engine::FramePass::kGlow);
        view.ApplyBlurBloom();
        engine::MarkFramePass(engine::FramePass::kGui);
    }
    if (parts_.achievements != nullptr) parts_.achievements->DrawPopup();
    view.DrawOverlays();
    view.EndFrame();
    engine::MarkFramePass(engine::FramePass::kPresent);
    const int step = parts_.platform->FrameStep();
    engine::MarkFramePass(engine::FramePass::kOther);
    return step;
}

void Game::StartFade(float duration, std::uint32_t colour) {
    if (colour == fadeColour_) {
        fadeLeft_ = 0.0f;
        return;
    }
    fadeReverse_ = false;
    if (colour == kNoFade) {
        fadeReverse_ = true;
        colour = fadeColour_;
    }
    fadeLeft_ = duration;
    fadeTotal_ = duration;
    fadeColour_ = colour;
}

void Game::DrawFade() {
    if (fadeTotal_ == 0.0f || (fadeLeft_ == 0.0f && fadeReverse_)) return;
    const float left = fadeLeft_ > 0.0f ? fadeLeft_ : 0.0f;
    float amount = 1.0f - left / fadeTotal_;
    if (fadeReverse_) amount = 1.0f - amount;
    parts_.view->ApplyMonochrome(amount, fadeColour_);
    fadeLeft_ -= parts_.platform->GetFrameDelta();
    if (fadeLeft_ <= 0.0f && fadeReverse_) {
        fadeLeft_ = 0.0f;
        fadeColour_ = kNoFade;
    }
}

}  // namespace game
