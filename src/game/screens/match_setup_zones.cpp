#include "game/screens/match_setup_zones.h"

#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/slider.h"
#include "engine/render/render_target.h"
#include "game/core/game_ports.h"
#include "game/screens/button_drawers.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/screen_draw.h"
#include "game/screens/screen_flow.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kSliderThumb = 32;
constexpr int kSliderIcon = 4;
// The rows of the cash panel, from its top.
constexpr std::array<int, 4> kRowOffsets = {50, 90, 150, 190};

const std::array<int, kCashPositions>& TableOf(int option) { return option < 2 ? kStartCashTable : kBonusCashTable; }

// The amount as shown: grouped in thousands or plain.
engine::WideString Amount(int value, bool grouped) {
    engine::WideString text;
    text.AppendInt(value, grouped);
    return text;
}

std::vector<MenuEntry> SetupEntries(const SetupStyle& style) {
    return {
        {style.pickMapId, "SKM_PICKMAP", 4, {}, 8, MenuZone::OpenAction(ZoneId::kMapPicker, style.pickMapType)},
        {style.optionsId, "SKM_OPTIONS", 5, {}, 2, MenuZone::OpenAction(ZoneId::kMatchOptions, style.optionsType)},
        {style.backId, "GEN_BACK", 6, {}, 9, MenuZone::OpenAction(ZoneId::kGameType, kZoneGameType)},
        {style.playId, "GEN_PLAY", 7, {}, 0, [](MenuZone& menu) { static_cast<MatchSetupZone&>(menu).Play(); }},
    };
}

std::vector<MenuEntry> OptionsEntries() {
    return {{kOptionsDone, "GEN_DONE", 7, {}, 6,
             [](MenuZone& menu) { static_cast<MatchOptionsZone&>(menu).ReturnToSetup(true); }}};
}

}  // namespace

const SetupStyle kPassAndPlaySetupStyle{
    ZoneId::kPassAndPlaySetup, 83, 82, 84, 81, 26, kZoneMatchOptionsPassAndPlay, kStateLoadPassAndPlay,
    {"SKM_STARTCASH_BLUE", "SKM_STARTCASH_GREEN", "SKM_BONUSCASH_BLUE", "SKM_BONUSCASH_GREEN"}, true};
const SetupStyle kSkirmishSetupStyle{
    ZoneId::kSkirmishSetup, 87, 86, 88, 85, 27, kZoneMatchOptionsSkirmish, kStateLoadSkirmish,
    {"SKM_STARTCASH_BLUE", "SKM_STARTCASH_ENEMY", "SKM_BONUSCASH_BLUE", "SKM_BONUSCASH_ENEMY"}, false};

MatchSetupZone::MatchSetupZone(ScreenServices& services, const SetupStyle& style)
    : MenuZone(services, SetupEntries(style), MenuParent{ZoneId::kGameType, kZoneGameType}), style_(style) {}

void MatchSetupZone::Play() {
    ScreenServices& services = Services();
    const MapPickerZone* picker = FindMapPicker(services);
    // A battle needs a map: until one has been selected there is no level to load.
    if (picker == nullptr || picker->GetCurrentMap().folder.IsEmpty()) {
        services.PlayUiSound(kUiFail);
        return;
    }
    CloseZone(*this);
    if (services.profile != nullptr) services.profile->SetDefaultMap(picker->GetCurrentMap().folder.GetNarrow());
    if (services.game != nullptr) services.game->SetState(style_.playState);
}

void MatchSetupZone::DrawMenuContents(ZoneWindow& window) {
    const ScreenServices& services = Services();
    const MapPickerZone* picker = FindMapPicker(services);
    const engine::IntRect& w = window.GetRect();
    if (picker == nullptr || !DrawMapThumbnail(services, picker->GetCurrentMap(), w)) return;
    const MapInfo& map = picker->GetCurrentMap();
    if (services.target != nullptr) services.target->FillRect({w.x + 135, w.y + 307, 240, 24}, 0xFF808080u, 2);
    DrawScreenText(services, FontId::kMain, Prefixed("@C[4]", map.title), w.x + 255, w.y + 321,
                   kAlignCentre | kAlignMiddle);

    engine::IntRect panel = SidePanelRect(2, false);
    panel.x += w.x;
    panel.y += w.y;
    const std::array<int, 4> options =
        services.profile != nullptr ? services.profile->GetMatchOptions() : std::array<int, 4>{};
    for (std::size_t row = 0; row < options.size(); ++row) {
        const int y = panel.y + kRowOffsets[row];
        const engine::WideString key = services.Text(style_.rowKeys[row]);
        const engine::WideString label = Prefixed(style_.iconOnLabel ? "@C[4]@X[000] " : "@C[4]", key);
        const engine::WideString value =
            style_.iconOnLabel ? Amount(options[row], true) : Prefixed("@C[4]@X[000] ", Amount(options[row], false));
        DrawScreenText(services, FontId::kMain, label, panel.x + 15, y, kAlignLeft);
        DrawScreenText(services, FontId::kMain, value, panel.x + panel.width - 15, y, kAlignRight);
    }
    DrawArt(services, kArtUiBits, {0, 400, panel.width, panel.height}, panel);
}

MatchOptionsZone::MatchOptionsZone(ScreenServices& services) : MenuZone(services, OptionsEntries(), std::nullopt) {
    for (int i = 0; i < 4; ++i) {
        if (GetWindow() == nullptr) break;
        engine::Slider* slider = GetWindow()->AddSlider(kOptionSliders[i], NarrowButtonRect(i * 2), u"");
        if (slider == nullptr) continue;
        slider->SetHorizontal(true);
        slider->SetThumbLength(kSliderThumb);
        slider->SetPositionCount(kCashPositions);
        slider->SetUserData(reinterpret_cast<void*>(static_cast<std::intptr_t>(kSliderIcon)));
    }
}

int MatchOptionsZone::OnShow(bool shown) {
    if (shown) {
        Refresh();
    } else if (Services().profile != nullptr) {
        Services().profile->Save();
    }
    return 1;
}

void MatchOptionsZone::Refresh() {
    const ScreenServices& services = Services();
    const std::array<int, 4> options =
        services.profile != nullptr ? services.profile->GetMatchOptions() : std::array<int, 4>{};
    const std::array<const char*, 4> labels = IsSkirmish() ? kSkirmishSetupStyle.rowKeys
                                                           : kPassAndPlaySetupStyle.rowKeys;
    for (std::size_t i = 0; i < 4; ++i) {
        auto* slider = dynamic_cast<engine::Slider*>(Control(kOptionSliders[i]));
        if (slider == nullptr) continue;
        const auto& table = TableOf(static_cast<int>(i));
        int position = 0;
        for (int p = 0; p < kCashPositions; ++p) {
            if (table[static_cast<std::size_t>(p)] == options[i]) {
                position = p;
                break;
            }
        }
        slider->SetPosition(position);
        slider->SetTooltip(Prefixed("@X[000]", Amount(table[static_cast<std::size_t>(position)], true)));
        slider->SetText(services.Text(labels[i]));
    }
}

int MatchOptionsZone::OnListSelect(int controlId, int position) {
    ScreenServices& services = Services();
    for (std::size_t i = 0; i < 4; ++i) {
        if (kOptionSliders[i] != controlId) continue;
        if (position < 0 || position >= kCashPositions || services.profile == nullptr) return 1;
        std::array<int, 4> options = services.profile->GetMatchOptions();
        options[i] = TableOf(static_cast<int>(i))[static_cast<std::size_t>(position)];
        services.profile->SetMatchOptions(options);
        services.profile->MarkDirty();
        Refresh();
        return 1;
    }
    return 0;
}

int MatchOptionsZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    ReturnToSetup(false);
    return 1;
}

void MatchOptionsZone::ReturnToSetup(bool fromPointer) {
    CloseAndOpen(*this, IsSkirmish() ? ZoneId::kSkirmishSetup : ZoneId::kPassAndPlaySetup,
                 IsSkirmish() ? kZoneSkirmishSetup : kZonePassAndPlaySetup, fromPointer);
}

int MatchOptionsZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const auto* slider = dynamic_cast<const engine::Slider*>(Control(controlId));
    if (slider == nullptr) return MenuZone::DrawControl(controlId, rect);
    DrawSliderControl(Services(), *slider, rect, OpeningGrow());
    return 1;
}

void RegisterMatchSetupZones(ZoneRegistry& registry) {
    for (const SetupStyle* style : {&kPassAndPlaySetupStyle, &kSkirmishSetupStyle}) {
        registry.Register(style->self, [style](ScreenServices& services) -> std::unique_ptr<Zone> {
            return std::make_unique<MatchSetupZone>(services, *style);
        });
    }
    registry.Register(ZoneId::kMatchOptions, [](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<MatchOptionsZone>(services);
    });
}

}  // namespace game
