#include "game/screens/battle_dialogs.h"

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog_control.h"
#include "engine/render/render_target.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/screens/button_drawers.h"
#include "game/screens/hud_zones.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace game {
namespace {

constexpr int kEnabled = 0;
constexpr int kHidden = 2;
constexpr int kConfirmWrapWidth = 500;
constexpr int kObjectiveWrapWidth = 400;
constexpr int kZoneSettingsInBattle = 1;
constexpr int kZoneSave = 31;

void ResumeAction(MenuZone& menu) { static_cast<BattleDialog&>(menu).Resume(); }

void OpenPauseFromPointer(MenuZone& menu) { menu.GoTo(ZoneId::kPause, kZonePause); }

// "@C[4]" and the key's text wrapped in the medium font.
void WrapConfirmText(const ScreenServices& services, const char* key, engine::TextWrap& wrap) {
    wrap.Clear();
    if (engine::BitmapFont* font = services.Font(FontId::kMed)) {
        wrap.Wrap(*font, Prefixed("@C[4]", services.Text(key)), kConfirmWrapWidth);
    }
}

std::vector<MenuEntry> EndTurnEntries() {
    return {
        {kEndTurnNo, "GEN_NO", 6, {}, 5, ResumeAction},
        {kEndTurnYes, "GEN_YES", 7, {}, 6,
         [](MenuZone& menu) {
             if (menu.Services().game != nullptr) menu.Services().game->SetState(kStateEndTurn);
             ResumeAction(menu);
         }},
    };
}

std::vector<MenuEntry> PauseEntries() {
    return {
        {kPauseSettings, "MM_SETTINGS", 0, {}, 2, MenuZone::OpenAction(ZoneId::kSettings, kZoneSettingsInBattle)},
        {kPauseObjective, "STATEOBJ", 2, {}, 10, MenuZone::OpenAction(ZoneId::kObjective, kZoneObjective)},
        {kPauseSave, "SAVE", 1, {}, 12, MenuZone::OpenAction(ZoneId::kSaveLoad, kZoneSave)},
        {kPauseSurrender, "QUITLEVEL", 6, {}, 5, MenuZone::OpenAction(ZoneId::kSurrenderConfirm, kZoneSurrender)},
        {kPauseResume, "GEN_RESUME", 7, {}, 6, ResumeAction},
    };
}

std::vector<MenuEntry> SurrenderEntries() {
    return {
        {kSurrenderNo, "GEN_NO", 6, {}, 5, OpenPauseFromPointer},
        {kSurrenderYes, "GEN_YES", 7, {}, 6,
         [](MenuZone& menu) {
             CloseZone(menu);
             if (menu.Services().game != nullptr) menu.Services().game->SetState(kStateLeaveLevel);
         }},
    };
}

std::vector<MenuEntry> ObjectiveEntries() {
    return {{kObjectiveDone, "GEN_DONE", 7, {}, 6, OpenPauseFromPointer}};
}

}  // namespace

BattleDialog::BattleDialog(ScreenServices& services, std::vector<MenuEntry> entries,
                           std::optional<MenuParent> parent, SharedPicture* picture)
    : MenuZone(services, std::move(entries), parent), picture_(picture) {}

int BattleDialog::OnShow(bool shown) {
    picture_.Set(Services(), shown);
    if (shown) {
        OnShown();
    } else {
        OnHidden();
    }
    return 1;
}

int BattleDialog::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    DrawMenuButton(Services(), *control, rect, shrinkButtons_ ? OpeningGrow() : 0, false);
    return 1;
}

void BattleDialog::Resume() {
    CloseZone(*this);
    ShowHudPanels(Services());
    if (Services().game != nullptr) Services().game->SetModalOpen(false);
}

void BattleDialog::DrawPanelAndPicture(ZoneWindow& window) {
    const ScreenServices& services = Services();
    if (services.target != nullptr) services.target->Resolve();
    DrawArt(services, kArtZoomer, {0, 0, kBaseWidth, kBaseHeight}, window.GetRect());
    if (GetPicture() != 0) DrawPanelPicture(services, GetPicture(), window.GetRect());
}

void BattleDialog::DrawCentredLines(const engine::TextWrap& lines, FontId font, int x, int y) {
    DrawTextLines(Services(), font, lines, x, y, kAlignCentre);
}

void BattleDialog::DrawWrappedCentred(const engine::WideString& text, FontId font, int width, int x, int y) {
    engine::TextWrap lines;
    if (engine::BitmapFont* f = Services().Font(font)) lines.Wrap(*f, text, width);
    DrawCentredLines(lines, font, x, y);
}

EndTurnZone::EndTurnZone(ScreenServices& services, SharedPicture* picture)
    : BattleDialog(services, EndTurnEntries(), std::nullopt, picture) {}

// The text is wrapped on each show, so that it follows fonts and texts loaded after the zones were made.
void EndTurnZone::OnShown() {
    WrapConfirmText(Services(), "TURN_END", text_);
    if (Services().game != nullptr) Services().game->SetModalOpen(true);
}

int EndTurnZone::DrawContents(ZoneWindow& window) {
    DrawPanelAndPicture(window);
    const engine::IntRect& w = window.GetRect();
    DrawCentredLines(text_, FontId::kMed, w.x + 370, w.y + 210);
    return 1;
}

PauseZone::PauseZone(ScreenServices& services) : BattleDialog(services, PauseEntries(), std::nullopt, nullptr) {}

int PauseZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    Resume();
    return 1;
}

void PauseZone::OnShown() {
    ScreenServices& services = Services();
    if (services.game != nullptr) services.game->SetModalOpen(true);
    const TeamManager* teams = services.game != nullptr ? services.game->GetTeamManager() : nullptr;
    const Team* current = teams != nullptr ? teams->GetCurrentTeam() : nullptr;
    const bool human = current != nullptr && current->GetControl() == kControlHuman;
    if (engine::DialogControl* save = Control(kPauseSave)) save->SetDisabled(human ? kEnabled : kHidden);
    if (engine::DialogControl* objective = Control(kPauseObjective)) objective->SetDisabled(kEnabled);
}

SurrenderZone::SurrenderZone(ScreenServices& services, SharedPicture* picture)
    : BattleDialog(services, SurrenderEntries(), std::nullopt, picture) {}

void SurrenderZone::OnShown() { WrapConfirmText(Services(), "CONFIRM_SURRENDER", text_); }

int SurrenderZone::DrawContents(ZoneWindow& window) {
    DrawPanelAndPicture(window);
    const engine::IntRect& w = window.GetRect();
    DrawCentredLines(text_, FontId::kMed, w.x + 370, w.y + 210);
    return 1;
}

ObjectiveZone::ObjectiveZone(ScreenServices& services, SharedPicture* picture)
    : BattleDialog(services, ObjectiveEntries(), MenuParent{ZoneId::kPause, kZonePause}, picture) {
    KeepButtonsStill();
}

engine::WideString ObjectiveZone::GetObjective() const {
    const ScreenServices& services = Services();
    const int mode = services.game != nullptr ? services.game->GetGameMode() : kGameModeCampaign;
    engine::WideString text;
    if (mode == kGameModePassAndPlay || mode == kGameModeSkirmish) {
        text = services.Text(mode == kGameModePassAndPlay ? "PP_OBJECTIVE" : "SKM_OBJECTIVE");
        text.UnescapeNewlines();
    } else if (services.game != nullptr) {
        text = services.game->GetMissionDescription();
    }
    return text;
}

int ObjectiveZone::DrawContents(ZoneWindow& window) {
    DrawPanelAndPicture(window);
    const engine::IntRect& w = window.GetRect();
    DrawWrappedCentred(Prefixed("@C[4]", GetObjective()), FontId::kMain, kObjectiveWrapWidth, w.x + 270, w.y + 154);
    return 1;
}

void RegisterBattleDialogs(ZoneRegistry& registry, std::shared_ptr<SharedPicture> general) {
    registry.Register(ZoneId::kEndTurnConfirm, [general](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<EndTurnZone>(services, general.get());
    });
    registry.Register(ZoneId::kPause, [](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<PauseZone>(services);
    });
    registry.Register(ZoneId::kSurrenderConfirm, [general](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<SurrenderZone>(services, general.get());
    });
    registry.Register(ZoneId::kObjective, [general](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<ObjectiveZone>(services, general.get());
    });
}

}  // namespace game
