#include "game/screens/map_picker_zone.h"

#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/list_box.h"
#include "engine/platform/script_reader.h"
#include "game/core/game_ports.h"
#include "game/screens/button_drawers.h"
#include "game/screens/screen_draw.h"
#include "game/screens/screen_flow.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kTextBlockWidth = 422;

std::vector<MenuEntry> PickerEntries() {
    return {{kMapPickerSelect, "GEN_SELECT", 6, {}, 6,
             [](MenuZone& menu) { static_cast<MapPickerZone&>(menu).ReturnToSetup(true); }}};
}

engine::WideString SlashedName(const std::string& folder) {
    engine::WideString name(folder.c_str());
    name.BackslashesToSlashes();
    return name;
}

}  // namespace

MapPickerZone::MapPickerZone(ScreenServices& services) : MenuZone(services, PickerEntries(), std::nullopt) {
    if (GetWindow() != nullptr) GetWindow()->AddListBox(kMapPickerList, SidePanelRect(4, false));
    ReadList();
}

MapPickerZone::~MapPickerZone() {
    if (current_.thumbnail != 0 && Services().textures != nullptr) Services().textures->Release(current_.thumbnail);
}

void MapPickerZone::ReadList() {
    engine::ScriptReader list;
    if (list.Load(kMapListFile) == 0) return;
    maps_ = ReadMapList(list, [](MapInfo& info) { LoadMapDetails(info); });
}

void MapPickerZone::FillRows() {
    auto* list = dynamic_cast<engine::ListBox*>(Control(kMapPickerList));
    if (list == nullptr) return;
    list->Clear();
    for (std::size_t i = 0; i < maps_.size(); ++i) {
        const MapInfo& map = maps_[i];
        list->AddRow((map.title.IsEmpty() ? map.folder : map.title).Data(), static_cast<int>(i));
    }
    list->SetVisibleRows(kMapPickerRows);
    const std::string stored = Services().profile != nullptr ? Services().profile->GetDefaultMap() : "";
    list->SetSelection(FindMap(engine::WideString(stored.c_str())));
}

int MapPickerZone::OnShow(bool shown) {
    if (shown) {
        ReadList();
        FillRows();
    } else if (Services().profile != nullptr) {
        Services().profile->Save();
    }
    return 1;
}

int MapPickerZone::OnControl(bool pressed, int controlId) {
    if (controlId != kMapPickerList) return MenuZone::OnControl(pressed, controlId);
    if (pressed) return 0;
    if (!IsFullyOpen()) return 1;
    Services().PlayUiSound(kUiClick);
    const auto* list = dynamic_cast<const engine::ListBox*>(Control(kMapPickerList));
    const int row = list != nullptr ? list->GetSelection() : -1;
    if (row >= 0 && row < static_cast<int>(maps_.size())) {
        SelectMap(maps_[static_cast<std::size_t>(row)].folder.GetNarrow());
    }
    return 1;
}

int MapPickerZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    ReturnToSetup(false);
    return 1;
}

void MapPickerZone::ReturnToSetup(bool fromPointer) {
    const bool passAndPlay = GetType() == kZonePickMapPassAndPlay;
    CloseAndOpen(*this, passAndPlay ? ZoneId::kPassAndPlaySetup : ZoneId::kSkirmishSetup,
                 passAndPlay ? kZonePassAndPlaySetup : kZoneSkirmishSetup, fromPointer);
}

int MapPickerZone::DrawControl(int controlId, const engine::IntRect& rect) {
    if (controlId != kMapPickerList) return MenuZone::DrawControl(controlId, rect);
    const auto* list = dynamic_cast<const engine::ListBox*>(Control(kMapPickerList));
    if (list == nullptr) return 0;
    const ScreenServices& services = Services();
    DrawStripList(services, *list, rect, {}, [&](int row, const engine::IntRect& strip, bool /*selected*/) {
        engine::WideString text;
        int value = 0;
        if (!list->GetRow(row, text, value)) return;
        DrawScreenText(services, FontId::kMed, text, rect.x + rect.width / 2, strip.y + strip.height / 2,
                       kAlignCentre | kAlignMiddle);
    });
    return 1;
}

int MapPickerZone::FindMap(const engine::WideString& folder) const {
    for (std::size_t i = 0; i < maps_.size(); ++i) {
        if (maps_[i].folder.Equals(folder)) return static_cast<int>(i);
    }
    return -1;
}

void MapPickerZone::SelectMap(const std::string& folder) {
    const engine::WideString name = SlashedName(folder);
    const int index = FindMap(name);
    if (index < 0 || name.Equals(selection_)) return;
    ScreenServices& services = Services();
    selection_ = name;
    if (services.profile != nullptr) services.profile->SetDefaultMap(name.GetNarrow());
    if (current_.thumbnail != 0 && services.textures != nullptr) services.textures->Release(current_.thumbnail);
    current_.thumbnail = 0;
    const std::string thumbnail = std::string(name.GetNarrow()) + "/thumbnail";
    // The thumbnail outlives levels and comics, whatever group is current when a saved game selects it.
    if (services.textures != nullptr) current_.thumbnail = services.textures->LoadKept(thumbnail.c_str());
    current_.folder = name;
    LoadMapDetails(current_);
}

engine::WideString MapPickerZone::GetMapTitle(const std::string& folder) const {
    if (maps_.empty()) return {};
    const int index = FindMap(SlashedName(folder));
    return maps_[static_cast<std::size_t>(index >= 0 ? index : 0)].title;
}

void MapPickerZone::DrawMenuContents(ZoneWindow& window) {
    const ScreenServices& services = Services();
    const engine::IntRect& w = window.GetRect();
    if (!DrawMapThumbnail(services, current_, w)) return;
    DrawScreenText(services, FontId::kMain, current_.title, w.x + 40, w.y + 354, kAlignLeft);
    DrawScreenText(services, FontId::kMain, Prefixed("@C[3]", engine::WideString(MapSizeLabel(current_.size))),
                   w.x + 40 + kTextBlockWidth, w.y + 354, kAlignRight);
    engine::TextWrap lines;
    if (engine::BitmapFont* font = services.Font(FontId::kMain)) {
        lines.Wrap(*font, Prefixed("@C[4]", current_.subtitle), kTextBlockWidth);
    }
    DrawTextLines(services, FontId::kMain, lines, w.x + 40, w.y + 390, kAlignLeft);
}

bool DrawMapThumbnail(const ScreenServices& services, const MapInfo& map, const engine::IntRect& window) {
    int width = 0;
    int height = 0;
    if (map.thumbnail == 0 || services.textures == nullptr ||
        !services.textures->GetSize(map.thumbnail, width, height)) {
        return false;
    }
    DrawImage(services, map.thumbnail, {0, 0, width - 5, height - 5},
              {window.x + 40, window.y + 100, width - 5, height - 5});
    return true;
}

MapPickerZone* FindMapPicker(const ScreenServices& services) {
    return FindZone<MapPickerZone>(services.zones, ZoneId::kMapPicker);
}

void RegisterMapPicker(ZoneRegistry& registry) {
    registry.Register(ZoneId::kMapPicker, [](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<MapPickerZone>(services);
    });
}

}  // namespace game
