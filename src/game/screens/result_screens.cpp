#include "game/screens/result_screens.h"

#include "engine/core/frame_timer.h"
#include "engine/render/render_target.h"
#include "engine/scene/light_desc.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
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

constexpr int kWinTextWidth = 340;
constexpr float kBlinkPeriod = 2.0f;
constexpr float kBlinkThreshold = 0.1f;
// The trophy's camera: a 266 pixel square at first, near and far planes, field of view, its tilt and its
// place in its own frame; the trophy's viewport within the window.
constexpr int kTrophyViewSize = 266;
constexpr float kTrophyNear = 0.1f;
constexpr float kTrophyFar = 10.0f;
constexpr float kTrophyFov = 30.0f;
constexpr float kTrophyEyeTilt = 20.0f;
constexpr engine::Vec3 kTrophyEye{0.0f, 0.37f, -2.0f};
const engine::IntRect kTrophyViewport{40, 150, 300, 300};

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
    view_ = std::make_unique<engine::SceneView>();
    view_->Init({0, 0, kTrophyViewSize, kTrophyViewSize}, 1.0f, kTrophyNear, kTrophyFar);
    queue_ = std::make_unique<engine::RenderQueue>();
    spinny_ = engine::SceneNode::Init(0, "WinSpinny");
    queue_->SetScene(spinny_);
    // Tilted 45 degrees down, 5 back along its own axis.
    engine::Matrix44 placement;
    placement.InitRotationX(45.0f);
    placement.TranslateLocal(0.0f, 0.0f, -5.0f);
    engine::LightDesc& light = queue_->GetLight(0);
    light.SetMatrix(placement);
    light.SetEnabled(1);
    light.SetRange(100.0f);
    light.SetConeAngle(20.0f);
}

WinZone::~WinZone() {
    // The trophy goes with the root it hangs under.
    if (queue_) queue_->SetScene(nullptr);
    if (spinny_ != nullptr) spinny_->Destroy();
    spinny_ = nullptr;
    trophyNode_ = nullptr;
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
    if (trophyNode_ != nullptr) trophyNode_->Destroy();
    // The trophy outlives the battle it ends: its models go in the group that is never purged.
    const int group = services.game != nullptr ? services.game->SetResourceGroup(0) : 0;
    trophyNode_ = engine::LoadSceneContainer(trophy_.c_str());
    if (services.game != nullptr) services.game->SetResourceGroup(group);
    if (trophyNode_ != nullptr && (spinny_ == nullptr || !spinny_->AddChild(trophyNode_))) {
        trophyNode_->Destroy();
        trophyNode_ = nullptr;
    }
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
    DrawTrophy({w.x + kTrophyViewport.x, w.y + kTrophyViewport.y, kTrophyViewport.width, kTrophyViewport.height});
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

void WinZone::DrawTrophy(const engine::IntRect& viewport) {
    engine::RenderTargetBase* target = Services().target;
    if (target == nullptr || !view_ || !queue_ || spinny_ == nullptr) return;
    view_->SetViewport(viewport);
    engine::Matrix44 eye;
    eye.InitRotationX(kTrophyEyeTilt);
    eye.TranslateLocal(kTrophyEye.x, kTrophyEye.y, kTrophyEye.z);
    view_->GetViewTransform().SetFov(kTrophyFov);
    view_->GetViewTransform().SetMatrix(eye);
    if (trophyNode_ != nullptr) {
        engine::Matrix44 turn;
        turn.InitRotationY(GetTrophyAngle());
        trophyNode_->SetLocalMatrix(turn);
    }
    spinny_->UpdateWorldMatrix();
    view_->UpdateFrustum();
    queue_->Build(&view_->GetViewTransform().GetMatrix());
    target->ClearDepth();
    target->RenderScene(queue_.get(), view_.get());
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
