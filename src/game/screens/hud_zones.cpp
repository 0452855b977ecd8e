#include "game/screens/hud_zones.h"

#include <algorithm>

#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "game/battle/battle_context.h"
#include "game/level/turn_start_queue.h"
#include "game/screens/button_drawers.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"
#include "game/screens/zone_registry.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace game {
namespace {

constexpr int kEnabled = 0;
constexpr int kHidden = 2;
constexpr std::uint32_t kBusyAlpha = 0x40000000u;
const engine::IntRect kBarBackground{0, 0, 256, 112};

std::uint32_t WithAlpha(std::uint32_t colour, std::uint32_t alpha) { return (colour & 0x00FFFFFFu) | alpha; }

// Opens the zone zooming from the pointer.
void OpenFromPointer(const ScreenServices& services, ZoneId id, int type) {
    int x = 0;
    int y = 0;
    engine::GetGuiPointer(x, y);
    if (services.zones != nullptr) services.zones->Open(id, type, x, y);
}

}  // namespace

int SlidingZone::OnShow(bool) {
    slidingOut_ = false;
    return 1;
}

void SlidingZone::ToggleShown() {
    if (IsShown()) {
        SlideOut();
    } else {
        SetShown(true, false);
    }
}

void SlidingZone::Slide() {
    const float step = Services().FrameSeconds() * kHudSlideSpeed;
    if (slidingOut_) {
        offset_ -= step;
        if (offset_ < -static_cast<float>(kHudSize)) {
            offset_ = -static_cast<float>(kHudSize);
            SetShown(false, false);
            slidingOut_ = false;
        }
    } else {
        offset_ = std::min(offset_ + step, 0.0f);
    }
}

engine::IntRect SlidingZone::Slid(engine::IntRect rect) const {
    rect.y += static_cast<int>(offset_);
    return rect;
}

TeamManager* SlidingZone::Teams() const {
    return Services().game != nullptr ? Services().game->GetTeamManager() : nullptr;
}

Team* SlidingZone::CurrentTeam() const {
    TeamManager* teams = Teams();
    return teams != nullptr ? teams->GetCurrentTeam() : nullptr;
}

std::uint32_t SlidingZone::TeamColour() const {
    const Team* team = CurrentTeam();
    return team != nullptr ? team->GetColour() : kOpaqueWhite;
}

void SlidingZone::SlideOutBoth() const {
    const ZoneRegistry* zones = Services().zones;
    if (zones == nullptr) return;
    for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
        if (auto* panel = dynamic_cast<SlidingZone*>(zones->Get(id))) panel->SlideOut();
    }
}

namespace {

engine::IntRect TurnButtonWindowRect(int screenWidth) {
    return BaseRect({screenWidth - 2 * kHudSize, 0, 2 * kHudSize, kHudSize});
}

}  // namespace

TurnButtonZone::TurnButtonZone(ScreenServices& services) : SlidingZone(services) {
    if (!CreateWindow(TurnButtonWindowRect(services.ScreenWidth()), false)) return;
    AddButton(kHudUndo, BaseRect({0, 0, kHudSize, kHudSize}), engine::WideString(), 15);
    AddButton(kHudEndTurn, BaseRect({kHudSize, 0, kHudSize, kHudSize}), engine::WideString(), 0);
    AddButton(kHudFastForward, BaseRect({kHudSize, 0, kHudSize, kHudSize}), engine::WideString(), 5);
}

void TurnButtonZone::Relayout(int width, int /*height*/) {
    if (ZoneWindow* window = GetWindow()) window->SetRect(TurnButtonWindowRect(width));
}

void TurnButtonZone::UpdateControlStates() {
    const Team* team = CurrentTeam();
    if (Teams() == nullptr) return;
    const int control = team != nullptr ? team->GetControl() : 0;
    const bool human = control == kControlHuman;
    const bool fastForward = Services().game->IsFastForward();
    for (const int id : {kHudEndTurn, kHudUndo}) {
        if (engine::DialogControl* c = Control(id)) c->SetDisabled(human ? kEnabled : kHidden);
    }
    if (engine::DialogControl* c = Control(kHudFastForward)) {
        c->SetDisabled(!human && control == kControlComputer && !fastForward ? kEnabled : kHidden);
    }
}

int TurnButtonZone::Draw(bool afterControls) {
    if (afterControls) return 1;
    Slide();
    UpdateControlStates();
    return 1;
}

int TurnButtonZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    const ScreenGame* game = Services().game;
    if (controlId == kHudFastForward && game != nullptr && game->IsFastForward()) return 1;
    std::uint32_t colour = TeamColour();
    const TeamManager* teams = Teams();
    const bool busy = teams != nullptr && teams->IsBusy();
    if ((busy && (controlId == kHudEndTurn || controlId == kHudUndo)) ||
        (controlId == kHudUndo && (teams == nullptr || !teams->CanUndo()))) {
        colour = WithAlpha(colour, kBusyAlpha);
    }
    DrawHudButton(Services(), *control, Slid(rect), colour);
    return 1;
}

int TurnButtonZone::OnControl(bool pressed, int controlId) {
    if (pressed) return 0;
    ScreenServices& services = Services();
    TeamManager* teams = Teams();
    const bool busy = teams != nullptr && teams->IsBusy();
    switch (controlId) {
        case kHudEndTurn:
            if (busy) {
                services.PlayUiSound(kUiFail);
                break;
            }
            services.PlayUiSound(kUiClick);
            OpenFromPointer(services, ZoneId::kEndTurnConfirm, kZoneTurnMenu);
            SlideOutBoth();
            break;
        case kHudUndo:
            if (busy) {
                services.PlayUiSound(kUiFail);
                break;
            }
            if (teams != nullptr && teams->CanUndo()) {
                services.PlayUiSound(kUiClick);
                teams->Undo();
            }
            break;
        case kHudFastForward:
            if (services.game == nullptr || services.game->IsFastForward()) break;
            services.PlayUiSound(kUiClick);
            SlideOut();
            if (engine::DialogControl* c = Control(kHudFastForward)) c->SetDisabled(kHidden);
            services.game->StartFastForward();
            break;
        default: break;
    }
    return 1;
}

TopBarZone::TopBarZone(ScreenServices& services) : SlidingZone(services) {
    dayLabel_ = Prefixed("@C[4]", services.Text("GEN_DAY"));
    survivalLabel_ = Prefixed("@C[4]", services.Text("GEN_DAYP"));
    survivalLabel_.UnescapeNewlines();
    if (!CreateWindow(BaseRect({0, 0, 364, kHudSize}), false)) return;
    AddButton(kHudPause, BaseRect({0, 0, kHudSize, kHudSize}), engine::WideString(), 16);
}

void TopBarZone::RefreshCash() {
    if (const Team* team = CurrentTeam()) shownCash_ = team->GetCash();
}

int TopBarZone::Draw(bool afterControls) {
    if (afterControls) return 1;
    Slide();
    const Team* team = CurrentTeam();
    if (team == nullptr || GetWindow() == nullptr) return 1;
    const engine::IntRect window = GetWindow()->GetRect();
    const int top = window.y + static_cast<int>(GetOffset());
    DrawArt(Services(), kArtIngameUi, kBarBackground,
            BaseRect({window.x + 112, top, kBarBackground.width, kBarBackground.height}), team->GetColour());
    DrawCounts(*team, top);
    return 1;
}

void TopBarZone::DrawCounts(const Team& team, int top) {
    ScreenServices& services = Services();
    const ScreenGame& game = *services.game;
    const TeamManager* teams = Teams();
    const int x = GetWindow()->GetRect().x;
    int survivorTurns = 0;
    const bool campaign = game.GetGameMode() == kGameModeCampaign;
    const bool survival = campaign && game.GetSurvival(survivorTurns);
    const engine::WideString& label = survival ? survivalLabel_ : dayLabel_;
    const int count = survival ? survivorTurns - teams->GetDay() + 1 : teams->GetDay();
    DrawScreenText(services, FontId::kMain, label, x + 132, top + 28, kAlignLeft);
    DrawScreenText(services, FontId::kLarge, NumberText(count), x + MeasureText(services, FontId::kMain, label) + 142,
                   top + 35, kAlignLeft);

    const int cash = team.GetCash();
    if (services.profile == nullptr || (services.profile->GetOptionFlags() & kOptionUpkeeps) == 0) {
        shownCash_ = cash;
    } else if (shownCash_ < cash) {
        // Counts up by a tenth of the frame's milliseconds, and never past the cash.
        shownCash_ = std::min(shownCash_ + std::max(services.FrameMilliseconds() / 10, 1), cash);
    } else if (shownCash_ > cash) {
        shownCash_ = cash;
    }
    DrawScreenText(services, FontId::kMain, Prefixed("@X[000]", NumberText(shownCash_)), x + 132, top + 82,
                   kAlignLeft);

    if (!campaign || survival) return;
    int turnsLeft = 0;
    const int medal = game.GetMedalProgress(turnsLeft);
    DrawArt(services, kArtIngameUi, {medal * 50 - 50, 416, 50, 50}, BaseRect({x + 272, top + 41, 50, 50}));
    DrawScreenText(services, FontId::kMain, NumberText(turnsLeft), x + 336, top + 82, kAlignRight);
}

int TopBarZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    DrawHudButton(Services(), *control, Slid(rect), TeamColour());
    return 1;
}

int TopBarZone::OnControl(bool pressed, int controlId) {
    if (pressed) return 0;
    if (controlId != kHudPause) return 1;
    ScreenServices& services = Services();
    const TeamManager* teams = Teams();
    const Team* team = CurrentTeam();
    if (teams != nullptr && teams->IsBusy() && (team == nullptr || team->GetControl() != kControlComputer)) {
        services.PlayUiSound(kUiFail);
        return 1;
    }
    services.PlayUiSound(kUiClick);
    SlideOutBoth();
    OpenFromPointer(services, ZoneId::kPause, kZonePause);
    return 1;
}

}  // namespace game
