#include "game/screens/result_screens.h"

#include "engine/core/frame_timer.h"
#include "engine/render/render_target.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/core/campaign.h"
#include "game/level/mission.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace game {
namespace {

constexpr int kLoseWrapWidth = 420;
constexpr int kWinTextWidth = 340;
constexpr float kBlinkPeriod = 2.0f;
constexpr float kBlinkThreshold = 0.1f;

void CloseAndSetState(MenuZone& menu, int state) {
    CloseZone(menu);
    if (menu.Services().game != nullptr) menu.Services().game->SetState(state);
}

MenuAction StateAction(int state) {
    return [state](MenuZone& menu) { CloseAndSetState(menu, state); };
}

}  // namespace

const char* TrophyOf(int medal) {
    switch (medal) {
        case 1: return "Trophies/Gold/Trophy";
        case 2: return "Trophies/Silver/Trophy";
        case 3: return "Trophies/Bronze/Trophy";
        default: return "Trophies/Fail/Trophy";
    }
}

WinZone::WinZone(ScreenServices& services, SharedPicture* picture)
    : BattleDialog(services, {{kWinContinue, "GEN_CONTINUE", 7, {}, 6, StateAction(kStateMissionCompleted)}},
                   std::nullopt, picture) {
    KeepButtonsStill();
}

void WinZone::Open(int medal, int days) {
    ScreenServices& services = Services();
    int survivorTurns = 0;
    survival_ = services.game != nullptr && services.game->GetSurvival(survivorTurns);
    medal_ = medal;
    days_ = days;
    int storedMedal = 0;
    int storedDays = 0;
    newRecord_ = services.game != nullptr && services.game->GetStoredResult(storedMedal, storedDays) &&
                 IsBetterResult(medal, days, storedMedal, storedDays);
    trophy_ = TrophyOf(medal);
    spin_ = 0.0f;
    OpenZone(*this, kZoneMissionWon, 0, 0);
}

void WinZone::OpenWin(int medal, int margin, const std::string& /*missionRecord*/) { Open(medal, margin); }

void WinZone::BuildSentence() {
    const ScreenServices& services = Services();
    const engine::WideString dayWord = services.Text(days_ == 1 ? "GEN_DAY1" : "GEN_DAYS");
    engine::WideString sentence = services.Text("WIN_OWNAGE_YOU");
    sentence.AppendNarrow(" ");
    if (survival_) {
        headline_ = services.Text("WIN_CONGRATS_G");
        sentence.Append(services.Text("WIN_SURVIVOR1"));
        sentence.AppendNarrow(" ");
        sentence.AppendInt(days_, false);
        sentence.AppendNarrow(" ");
        sentence.Append(dayWord);
        sentence.AppendNarrow(", ");
        sentence.Append(services.Text("WIN_SURVIVOR2"));
    } else {
        static constexpr const char* kMedalKeys[4][2] = {{"WIN_GOLD", "WIN_CONGRATS_G"},
                                                         {"WIN_SILVER", "WIN_CONGRATS_S"},
                                                         {"WIN_BRONZE", "WIN_CONGRATS_B"},
                                                         {"WIN_WOOD", "WIN_CONGRATS_W"}};
        const int row = medal_ >= 1 && medal_ <= 3 ? medal_ - 1 : 3;
        sentence.Append(services.Text(kMedalKeys[row][0]));
        headline_ = services.Text(kMedalKeys[row][1]);
        if (medal_ != 4) {
            sentence.AppendNarrow(" ");
            sentence.AppendInt(days_, false);
            sentence.AppendNarrow(" ");
            sentence.Append(dayWord);
            sentence.AppendNarrow(" ");
            sentence.Append(services.Text("WIN_REMAINING"));
        }
    }
    resultText_ = Prefixed("@C[4]", sentence);
}

void WinZone::OnShown() {
    SlideOutHudPanels(Services());
    BuildSentence();
}

void WinZone::OnHidden() { ShowHudPanels(Services()); }

int WinZone::Draw(bool afterControls) {
    // The trophy turns from the moment the screen opens, the zoom included.
    if (!afterControls) spin_ += Services().FrameSeconds();
    return BattleDialog::Draw(afterControls);
}

int WinZone::DrawContents(ZoneWindow& window) {
    const ScreenServices& services = Services();
    const engine::IntRect& w = window.GetRect();
    DrawArt(services, kArtZoomer, {0, 0, kBaseWidth, kBaseHeight}, w);
    if (GetPicture() != 0) DrawPanelPicture(services, GetPicture(), w);
    // The trophy's model is drawn in the viewport (W.x + 40, W.y + 150, 300, 300) once the screens have a
    // scene view of their own.
    if (services.target != nullptr) services.target->Resolve();
    const engine::IntRect area{w.x + w.width / 2 - kWinTextWidth / 2, w.y + 160, kWinTextWidth, 266};
    const int middle = area.x + area.width / 2;
    DrawWrappedCentred(resultText_, FontId::kMain, area.width - 10, middle, area.y + 90);
    DrawScreenText(services, FontId::kLarge, headline_, middle, area.y + 35, kAlignCentre);
    if (newRecord_ && services.timer != nullptr && services.timer->SmoothPingPong(kBlinkPeriod) > kBlinkThreshold) {
        DrawScreenText(services, FontId::kMed, services.Text("WIN_NEWHIGHSCORE"), middle, area.y + 200,
                       kAlignCentre);
    }
    return 1;
}

LoseZone::LoseZone(ScreenServices& services, SharedPicture* picture)
    : BattleDialog(services,
                   {{kLoseBack, "GEN_BACK", 6, {}, 9, StateAction(kStateAfterLoss)},
                    {kLoseRetry, "GEN_RETRY", 7, {}, 0, StateAction(kStateRestartLevel)}},
                   std::nullopt, picture) {
    KeepButtonsStill();
}

void LoseZone::Open() {
    endCondition_ = Services().game != nullptr ? Services().game->GetEndCondition() : 0;
    OpenZone(*this, kZoneMissionLost, 0, 0);
}

const char* LoseZone::GetHeadingKey() const {
    const ScreenGame* game = Services().game;
    int turns = 0;
    const bool survival = game != nullptr && game->GetSurvival(turns);
    return survival && game->GetGameMode() == kGameModeCampaign ? "NOSURVIVE_TITLE" : "LOSE_TITLE";
}

std::string LoseZone::GetBodyKey() const { return std::string("LOSE_") + WinLoseConditionName(endCondition_); }

void LoseZone::OnShown() { SlideOutHudPanels(Services()); }

void LoseZone::OnHidden() { ShowHudPanels(Services()); }

int LoseZone::DrawContents(ZoneWindow& window) {
    const ScreenServices& services = Services();
    DrawPanelAndPicture(window);
    const engine::IntRect& w = window.GetRect();
    const engine::IntRect area{w.x + 20, w.y + 114, 500, 266};
    const int middle = area.x + area.width / 2;
    DrawScreenText(services, FontId::kLarge, Prefixed("@C[4]", services.Text(GetHeadingKey())), middle,
                   area.y + 35, kAlignCentre);
    engine::WideString body = services.Text(GetBodyKey().c_str());
    body.UnescapeNewlines();
    DrawWrappedCentred(body, FontId::kMain, area.width - 80, middle, area.y + 140);
    return 1;
}

PassAndPlayResultZone::PassAndPlayResultZone(ScreenServices& services, SharedPicture* picture)
    : BattleDialog(services,
                   {{kResultContinue, "GEN_CONTINUE", 7, {}, 6,
                     [](MenuZone& menu) {
                         const ScreenGame* game = menu.Services().game;
                         const bool skirmish = game != nullptr && game->GetGameMode() == kGameModeSkirmish;
                         CloseAndSetState(menu, skirmish ? kStateBackToSkirmish : kStateBackToPassAndPlay);
                     }}},
                   std::nullopt, picture) {
    KeepButtonsStill();
}

void PassAndPlayResultZone::OpenResult() { OpenZone(*this, kZoneMissionWon, 0, 0); }

std::string PassAndPlayResultZone::Heading(const Team& team, bool won) const {
    const ScreenGame* game = Services().game;
    const bool skirmish = game != nullptr && game->GetGameMode() == kGameModeSkirmish;
    const char* side = "ENEMY";
    if (team.GetKind() == kTeamBlue) {
        side = "BLUE";
    } else if (!skirmish && team.GetKind() == kTeamGreen) {
        side = "GREEN";
    } else if (!skirmish && team.GetKind() == kTeamYellow) {
        side = "YELLOW";
    }
    return std::string(side) + (won ? " Wins" : " Loses");
}

void PassAndPlayResultZone::OnShown() { SlideOutHudPanels(Services()); }

void PassAndPlayResultZone::OnHidden() { ShowHudPanels(Services()); }

void PassAndPlayResultZone::DrawSidePanel(const Team& team, bool won, engine::IntRect panel) {
    const ScreenServices& services = Services();
    DrawScreenText(services, FontId::kLarge, engine::WideString(Heading(team, won).c_str()),
                   panel.x + panel.width / 2, panel.y + 35, kAlignCentre);
    engine::WideString kills("@C[4]Total Kills:  ");
    kills.AppendInt(team.GetKillCount(), true);
    DrawScreenText(services, FontId::kMain, kills, panel.x + 40, panel.y + 100, kAlignLeft);
    DrawArt(services, kArtUiBits, {0, 400, panel.width, panel.height}, panel);
}

int PassAndPlayResultZone::DrawContents(ZoneWindow& window) {
    const ScreenServices& services = Services();
    const engine::IntRect& w = window.GetRect();
    DrawArt(services, kArtZoomer, {0, 0, kBaseWidth, kBaseHeight}, w);
    if (GetPicture() != 0) DrawPanelPicture(services, GetPicture(), w);
    const TeamManager* teams = services.game != nullptr ? services.game->GetTeamManager() : nullptr;
    const Team* winner = teams != nullptr ? teams->GetCurrentTeam() : nullptr;
    if (winner == nullptr) return 1;
    engine::IntRect panel = SidePanelRect(2, true);
    panel.x += w.x;
    panel.y += w.y;
    DrawSidePanel(*winner, true, panel);
    // With one side left there is no loser to show.
    if (const Team* loser = teams->FindOtherTeam(winner)) {
        panel.y += 260;
        DrawSidePanel(*loser, false, panel);
    }
    return 1;
}

void RegisterResultScreens(ZoneRegistry& registry, std::shared_ptr<SharedPicture> general) {
    registry.Register(ZoneId::kPassAndPlayResult, [general](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<PassAndPlayResultZone>(services, general.get());
    });
    registry.Register(ZoneId::kMissionWon, [general](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<WinZone>(services, general.get());
    });
    auto losePicture = std::make_shared<SharedPicture>(kLosePicture);
    registry.Register(ZoneId::kMissionLost, [losePicture](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<LoseZone>(services, losePicture.get());
    });
}

}  // namespace game
