#include "game/screens/speech_picker_zone.h"

#include "engine/gui/dialog.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/list_box.h"
#include "game/screens/data_presence.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kVisibleRows = 3;
constexpr int kListDrop = 130;
constexpr std::uint32_t kSpeechOffBit = 0x04;
constexpr int kPauseSettingsType = 1;

constexpr const char* kFolders[SpeechPickerZone::kPackCount] = {"Standard", "Pack1", "Pack2",
                                                                "Pack3",    "Pack4", "Pack5"};
constexpr const char* kTitleKeys[SpeechPickerZone::kPackCount] = {
    "DLC_SPEECH_PACK0_TITLE", "DLC_SPEECH_PACK1_TITLE", "DLC_SPEECH_PACK2_TITLE",
    "DLC_SPEECH_PACK3_TITLE", "DLC_SPEECH_PACK4_TITLE", "DLC_SPEECH_PACK5_TITLE",
};

const StripListStyle kListStyle{{0, 708, 406, 74}, 74, {0, 400, 0, 0}};

engine::IntRect DroppedPanel(bool left) {
    engine::IntRect rect = SidePanelRect(2, left);
    rect.y += BaseRect({0, kListDrop, 0, 0}).y;
    return rect;
}

bool SameNoCase(const std::string& a, const std::string& b) {
    engine::WideString wa(a.c_str());
    return !a.empty() && wa.EqualsNarrow(b.c_str());
}

}  // namespace

SpeechPickerZone::SpeechPickerZone(ScreenServices& services)
    : MenuZone(services,
               {{kDoneId, "GEN_DONE", 7, {}, 6,
                 [](MenuZone& zone) {
                     int x = 0;
                     int y = 0;
                     engine::GetGuiPointer(x, y);
                     static_cast<SpeechPickerZone&>(zone).ReturnToSettings(x, y);
                 }}},
               std::nullopt) {
    ZoneWindow* window = GetWindow();
    if (window == nullptr) return;
    for (const bool left : {true, false}) {
        if (engine::ListBox* list = window->AddListBox(left ? kAlliedListId : kEnemyListId, DroppedPanel(left))) {
            list->SetVisibleRows(kVisibleRows);
        }
    }
}

const char* SpeechPickerZone::PackFolder(int index) {
    return index >= 0 && index < kPackCount ? kFolders[index] : "";
}

engine::ListBox* SpeechPickerZone::List(int controlId) const {
    return dynamic_cast<engine::ListBox*>(Control(controlId));
}

int SpeechPickerZone::FindPack(const std::string& name) const {
    for (const Pack& pack : packs_) {
        if (SameNoCase(pack.folder, name)) return pack.index;
    }
    return packs_.empty() ? 0 : packs_.front().index;
}

int SpeechPickerZone::OnShow(bool shown) {
    ScreenProfile* profile = Services().profile;
    if (!shown) {
        bool changed = false;
        for (const int side : {kAlliedSide, kEnemySide}) {
            const int slot = side == kAlliedSide ? 0 : 1;
            if (selected_[slot] == atShow_[slot]) continue;
            changed = true;
            const std::string folder = PackFolder(selected_[slot]);
            if (Services().sound != nullptr) Services().sound->SetSpeechPack(side, folder);
            if (profile != nullptr) profile->SetSpeechPackName(side, folder);
            atShow_[slot] = selected_[slot];
        }
        if (changed && profile != nullptr) profile->SetOptionFlags(profile->GetOptionFlags() & ~kSpeechOffBit);
        return 0;
    }

    packs_.clear();
    std::vector<std::string> folders(std::begin(kFolders), std::end(kFolders));
    const std::vector<std::string> present = PresentDataFolders("Sound/DLC", folders);
    for (int i = 0; i < kPackCount; ++i) {
        for (const std::string& name : present) {
            if (name == kFolders[i]) packs_.push_back({i, name});
        }
    }
    for (const int id : {kAlliedListId, kEnemyListId}) {
        engine::ListBox* list = List(id);
        if (list == nullptr) continue;
        list->Clear();
        for (const Pack& pack : packs_) list->AddRow(Services().Text(kTitleKeys[pack.index]).Data(), pack.index);
    }
    selected_[0] = FindPack(profile != nullptr ? profile->GetSpeechPackName(kAlliedSide) : "");
    selected_[1] = FindPack(profile != nullptr ? profile->GetSpeechPackName(kEnemySide) : "");
    atShow_[0] = selected_[0];
    atShow_[1] = selected_[1];
    return 0;
}

int SpeechPickerZone::OnControl(bool pressed, int controlId) {
    if (controlId != kAlliedListId && controlId != kEnemyListId) return MenuZone::OnControl(pressed, controlId);
    if (pressed) return 0;
    if (!IsFullyOpen()) return 1;
    engine::WideString text;
    int value = 0;
    if (const engine::ListBox* list = List(controlId); list != nullptr && list->GetSelectedRow(text, value)) {
        Services().PlayUiSound(kUiClick);
        selected_[controlId == kAlliedListId ? 0 : 1] = value;
    }
    return 1;
}

int SpeechPickerZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    ReturnToSettings(0, 0);
    return 1;
}

void SpeechPickerZone::ReturnToSettings(int originX, int originY) {
    CloseZone(*this);
    ZoneRegistry* zones = Services().zones;
    if (zones == nullptr) return;
    const TitledZone* settings = zones->Has(ZoneId::kSettings) ? zones->GetTitled(ZoneId::kSettings) : nullptr;
    const int type = settings != nullptr && settings->GetType() == kPauseSettingsType ? kPauseSettingsType : 0;
    zones->Open(ZoneId::kSettings, type, originX, originY);
}

int SpeechPickerZone::DrawControl(int controlId, const engine::IntRect& rect) {
    if (controlId != kAlliedListId && controlId != kEnemyListId) return MenuZone::DrawControl(controlId, rect);
    DrawPackList(controlId, rect);
    return 1;
}

void SpeechPickerZone::DrawPackList(int controlId, const engine::IntRect& rect) {
    const engine::ListBox* list = List(controlId);
    if (list == nullptr) return;
    const ScreenServices& services = Services();
    const int picked = selected_[controlId == kAlliedListId ? 0 : 1];
    DrawStripList(services, *list, rect, kListStyle, [&](int row, const engine::IntRect& strip, bool /*selected*/) {
        engine::WideString title;
        int value = 0;
        if (!list->GetRow(row, title, value)) return;
        DrawScreenText(services, FontId::kMed, title, rect.x + 80, strip.y + strip.height / 2,
                       kAlignLeft | kAlignMiddle);
        if (value == picked) DrawArt(services, kArtButtonBits, ButtonIconRect(6), {rect.x + 23, strip.y + 10, 50, 50});
    });
    const int centreX = rect.x + rect.width / 2;
    const char* heading = controlId == kAlliedListId ? "DLC_SPEECH_ALLIED" : "DLC_SPEECH_ENEMY";
    DrawScreenText(services, FontId::kMain, services.Text(heading), centreX, rect.y - 100, kAlignCentre);
    DrawScreenText(services, FontId::kMed, Prefixed("@C[4]", services.Text(kTitleKeys[picked])), centreX,
                   rect.y - 70, kAlignCentre);
}

}  // namespace game
