#include "game/screens/settings_zone.h"

#include "engine/gui/dialog.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/list_box.h"
#include "engine/gui/slider.h"
#include "game/screens/button_drawers.h"
#include "game/screens/hud_zones.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kPauseType = 1;
constexpr int kVisibleRows = 5;
constexpr std::uint32_t kQualityBit = 0x10;

struct SettingRow {
    int value;
    std::uint32_t bit;  // 0: the full-screen choice
    const char* setKey;
    const char* clearKey;
};

constexpr SettingRow kRows[] = {
    {57, 0x10, "SET_QUALITY_ON", "SET_QUALITY_OFF"},
    {62, 0, "SET_FULLSCREEN_ON", "SET_FULLSCREEN_OFF"},
    {58, 0x20, "SET_MISSIONINTROS_ON", "SET_MISSIONINTROS_OFF"},
    {56, 0x02, "SET_UPKEEPS_ON", "SET_UPKEEPS_OFF"},
    {55, 0x01, "SET_ZOOMBATTLES_ON", "SET_ZOOMBATTLES_OFF"},
    {59, 0x40, "SET_INSTAMOVE_ON", "SET_INSTAMOVE_OFF"},
    // Speech and weather are "off" switches: the set bit turns them off.
    {60, 0x04, "SET_SPEECH_OFF", "SET_SPEECH_ON"},
    {61, 0x80, "SET_WEATHER_OFF", "SET_WEATHER_ON"},
};

const StripListStyle kListStyle{{0, 708, 406, 74}, 74, {0, 0, 0, 0}};

void OpenSpeechPicker(MenuZone& zone) { zone.GoTo(ZoneId::kSpeechPicker, 21); }

void SlideOutHud(const ScreenServices& services) {
    for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
        if (auto* panel = FindZone<SlidingZone>(services.zones, id)) panel->SlideOut();
    }
}

}  // namespace

SettingsZone::SettingsZone(ScreenServices& services)
    : MenuZone(services,
               {{kSpeechId, "SET_PICKSPEECH", 6, {}, 7, OpenSpeechPicker},
                {kDoneId, "GEN_DONE", 7, {}, 6,
                 [](MenuZone& zone) {
                     int x = 0;
                     int y = 0;
                     engine::GetGuiPointer(x, y);
                     static_cast<SettingsZone&>(zone).Leave(x, y);
                 }}},
               std::nullopt) {
    ZoneWindow* window = GetWindow();
    if (window == nullptr) return;
    const struct {
        int id;
        int slot;
        int icon;
    } sliders[] = {{kMusicId, 1, 17}, {kEffectsId, 3, 18}};
    for (const auto& s : sliders) {
        engine::Slider* slider = window->AddSlider(s.id, NarrowButtonRect(s.slot), u"");
        if (slider == nullptr) continue;
        slider->SetHorizontal(true);
        slider->SetPositionCount(101);
        slider->SetThumbLength(32);
        slider->SetUserData(reinterpret_cast<void*>(static_cast<std::intptr_t>(s.icon)));
    }
    if (engine::ListBox* list = window->AddListBox(kListId, SidePanelRect(3, true))) {
        list->SetVisibleRows(kVisibleRows);
    }
}

std::uint32_t SettingsZone::OptionBit(int rowValue) {
    for (const SettingRow& row : kRows) {
        if (row.value == rowValue) return row.bit;
    }
    return 0;
}

engine::ListBox* SettingsZone::List() const { return dynamic_cast<engine::ListBox*>(Control(kListId)); }

int SettingsZone::OnShow(bool shown) {
    SlideOutHud(Services());
    ScreenGame* game = Services().game;
    if (shown) {
        fullScreenAtShow_ = game != nullptr && game->IsFullScreen();
        fullScreenChoice_ = fullScreenAtShow_;
        RebuildList();
        if (ScreenSound* sound = Services().sound) {
            if (auto* music = dynamic_cast<engine::Slider*>(Control(kMusicId))) {
                music->SetPosition(sound->GetMusicVolumePercent());
            }
            if (auto* effects = dynamic_cast<engine::Slider*>(Control(kEffectsId))) {
                effects->SetPosition(sound->GetEffectsVolumePercent());
            }
        }
        return 0;
    }
    if (Services().profile != nullptr) Services().profile->Save();
    if (fullScreenChoice_ != fullScreenAtShow_ && game != nullptr) {
        game->SwitchDisplayModeAndSave();
        fullScreenAtShow_ = fullScreenChoice_;
    }
    return 0;
}

void SettingsZone::RebuildList() {
    engine::ListBox* list = List();
    if (list == nullptr) return;
    const int scroll = list->GetScrollOffset();
    const int selection = list->GetSelection();
    const std::uint32_t options = Services().profile != nullptr ? Services().profile->GetOptionFlags() : 0;
    list->Clear();
    for (const SettingRow& row : kRows) {
        const bool set = row.bit == 0 ? fullScreenChoice_ : (options & row.bit) != 0;
        list->AddRow(Services().Text(set ? row.setKey : row.clearKey).Data(), row.value);
    }
    list->SetScrollOffset(scroll);
    list->SetSelection(selection);
}

void SettingsZone::Toggle(int rowValue) {
    if (rowValue == kFullScreenRow) {
        fullScreenChoice_ = !fullScreenChoice_;
    } else if (const std::uint32_t bit = OptionBit(rowValue); bit != 0 && Services().profile != nullptr) {
        ScreenProfile& profile = *Services().profile;
        profile.SetOptionFlags(profile.GetOptionFlags() ^ bit);
        if (bit == kQualityBit && Services().game != nullptr) Services().game->ApplyLightingQuality();
    }
    RebuildList();
}

int SettingsZone::OnControl(bool pressed, int controlId) {
    if (controlId != kListId) return MenuZone::OnControl(pressed, controlId);
    if (pressed) return 0;
    if (!IsFullyOpen()) return 1;
    engine::WideString text;
    int value = 0;
    if (const engine::ListBox* list = List(); list != nullptr && list->GetSelectedRow(text, value)) {
        Services().PlayUiSound(kUiClick);
        Toggle(value);
    }
    return 1;
}

int SettingsZone::OnListSelect(int controlId, int value) {
    ScreenSound* sound = Services().sound;
    if (sound == nullptr) return 0;
    if (controlId == kMusicId) sound->SetMusicVolume(value);
    if (controlId == kEffectsId) sound->SetEffectsVolume(value);
    return 0;
}

int SettingsZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    Leave(0, 0);
    return 1;
}

void SettingsZone::Leave(int originX, int originY) {
    const bool fromBattle = GetType() == kPauseType;
    CloseZone(*this);
    if (Services().zones == nullptr) return;
    if (fromBattle) {
        Services().zones->Open(ZoneId::kPause, kZonePause, originX, originY);
    } else {
        Services().zones->Open(ZoneId::kMainMenu, 8, originX, originY);
    }
}

int SettingsZone::DrawControl(int controlId, const engine::IntRect& rect) {
    if (controlId == kListId) {
        if (const engine::ListBox* list = List()) {
            const ScreenServices& services = Services();
            DrawStripList(services, *list, rect, kListStyle,
                          [&](int row, const engine::IntRect& strip, bool /*selected*/) {
                              engine::WideString text;
                              int value = 0;
                              if (!list->GetRow(row, text, value)) return;
                              DrawArt(services, kArtButtonBits, ButtonIconRect(24),
                                      {rect.x + 10, strip.y - 1, 70, 70});
                              DrawScreenText(services, FontId::kMed, text, rect.x + 80,
                                             strip.y + strip.height / 2 + 1, kAlignLeft | kAlignMiddle);
                          });
        }
        return 1;
    }
    if (controlId == kMusicId || controlId == kEffectsId) {
        if (const auto* slider = dynamic_cast<const engine::Slider*>(Control(controlId))) {
            DrawSliderControl(Services(), *slider, rect, OpeningGrow());
        }
        return 1;
    }
    return MenuZone::DrawControl(controlId, rect);
}

void SettingsZone::PreDraw() {
    if (GetType() != kPauseType) MenuZone::PreDraw();
}

}  // namespace game
