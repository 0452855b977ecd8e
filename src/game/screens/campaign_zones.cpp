#include "game/screens/campaign_zones.h"

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/list_box.h"
#include "engine/gui/text_wrap.h"
#include "game/core/game_ports.h"
#include "game/core/screen_rects.h"
#include "game/screens/button_drawers.h"
#include "game/screens/data_presence.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kGameTypeType = 23;
constexpr int kPickerType = 22;
constexpr int kDifficultyType = 35;
constexpr int kDifficultyCount = 4;
constexpr int kTextWidth = 386;
constexpr int kListDrop = 130;

struct CampaignEntry {
    const char* titleKey;
    const char* folder;
    const char* descriptionKey;
};

constexpr CampaignEntry kCampaigns[PackPickerZone::kCampaignCount] = {
    {"DLC_CAMPAIGN_PACK0_TITLE", "standard", "DESC_PACKPICK_STANDARD"},
    {"DLC_CAMPAIGN_PACK3_TITLE", "mappack3", "DESC_PACKPICK_PACK3"},
    {"DLC_CAMPAIGN_PACK1_TITLE", "mappack1", "DESC_PACKPICK_PACK1"},
    {"DLC_CAMPAIGN_PACK2_TITLE", "mappack2", "DESC_PACKPICK_PACK2"},
};

constexpr const char* kDifficultyLabels[kDifficultyCount] = {"DIFFHUD_EASY", "DIFFHUD_MEDIUM", "DIFFHUD_HARD",
                                                             "DIFFHUD_SILLY"};
constexpr const char* kDifficultyTexts[kDifficultyCount] = {"DESC_DIFF_EASY", "DESC_DIFF_MEDIUM", "DESC_DIFF_HARD",
                                                            "DESC_DIFF_SILLY"};

const StripListStyle kListStyle{{0, 708, 406, 74}, 74, {0, 400, 0, 0}};

int ClampDifficulty(int difficulty) {
    return difficulty < 0 ? 0 : (difficulty >= kDifficultyCount ? kDifficultyCount - 1 : difficulty);
}

int ProfileDifficulty(const ScreenServices& services) {
    return services.profile != nullptr ? ClampDifficulty(services.profile->GetDifficulty()) : 0;
}

void ShowCampaignMap(const ScreenServices& services) {
    if (services.zones == nullptr) return;
    if (Zone* map = services.zones->Get(ZoneId::kCampaignMap)) map->SetShown(true, false);
}

// The description panel the picker and the difficulty screen share: kind 3 on the right.
void DrawDescription(const ScreenServices& services, const ZoneWindow& window, const char* key) {
    engine::IntRect panel = SidePanelRect(3, false);
    panel.x += window.GetRect().x;
    panel.y += window.GetRect().y;
    engine::WideString text = services.Text(key);
    text.UnescapeNewlines();
    if (engine::BitmapFont* font = services.Font(FontId::kMain)) {
        engine::TextWrap wrap;
        wrap.Wrap(*font, Prefixed("@C[4]", text), kTextWidth);
        DrawTextLines(services, FontId::kMain, wrap, panel.x + 20, panel.y + 30, kAlignLeft);
    }
    DrawArt(services, kArtUiBits, {0, 0, panel.width, panel.height}, panel);
}

bool SameNoCase(const std::string& a, const char* b) { return engine::WideString(a.c_str()).EqualsNarrow(b); }

}  // namespace

int LoweredDifficulty(int difficulty, const CampaignInfo& campaign) {
    int d = ClampDifficulty(difficulty);
    for (int level = kDifficultyCount - 1; level > 0; --level) {
        if (d == level && !campaign.IsCompletedAtDifficulty(level - 1)) d = level - 1;
    }
    return d;
}

// --- Campaign map -------------------------------------------------------------------------------------------

engine::IntRect CampaignMapZone::WindowRect(int width, int height) {
    engine::IntRect rect{0, 0, kBaseWidth, kBaseHeight};
    ScaleRect(rect);
    rect.x = width / 2 - rect.width / 2;
    rect.y = height / 2 - rect.height / 2;
    return rect;
}

CampaignMapZone::CampaignMapZone(ScreenServices& services) : Zone(services) {
    if (!CreateWindow(WindowRect(services.ScreenWidth(), services.ScreenHeight()))) return;
    AddButton(kBackId, CampaignMapButtonRect(0), services.Text("GEN_BACK"), 9);
    AddButton(kChangeId, CampaignMapButtonRect(1), services.Text("GEN_CHANGE"), 8);
    AddButton(kPlayId, CampaignMapButtonRect(2), services.Text("GEN_PLAY"), 0);
}

void CampaignMapZone::Relayout(int width, int height) {
    if (ZoneWindow* window = GetWindow()) window->SetRect(WindowRect(width, height));
}

int CampaignMapZone::OnShow(bool shown) {
    if (!shown || Services().game == nullptr) return 0;
    if (CampaignInfo* campaign = Services().game->GetCampaign()) campaign->ResetMapScreen();
    return 0;
}

int CampaignMapZone::Draw(bool afterControls) {
    if (!afterControls && Services().game != nullptr) {
        if (CampaignInfo* campaign = Services().game->GetCampaign()) campaign->DrawMapScreen();
    }
    return 1;
}

int CampaignMapZone::OnControl(bool pressed, int controlId) {
    if (pressed) return 0;
    if (controlId != kBackId && controlId != kChangeId && controlId != kPlayId) return 1;
    Services().PlayUiSound(kUiClick);
    int x = 0;
    int y = 0;
    engine::GetGuiPointer(x, y);
    if (controlId == kBackId) {
        GoBack(x, y);
        return 1;
    }
    CloseZone(*this);
    ZoneRegistry* zones = Services().zones;
    if (zones == nullptr) return 1;
    if (controlId == kChangeId) {
        zones->Open(ZoneId::kCampaignPicker, kPickerType, x, y);
    } else if (Zone* comic = zones->Get(ZoneId::kComicOverlay)) {
        comic->SetShown(true, false);
    }
    return 1;
}

int CampaignMapZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    GoBack(0, 0);
    return 1;
}

void CampaignMapZone::GoBack(int originX, int originY) {
    CloseZone(*this);
    if (Services().zones != nullptr) Services().zones->Open(ZoneId::kGameType, kGameTypeType, originX, originY);
}

int CampaignMapZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    DrawCampaignMapButton(Services(), *control, rect);
    return 1;
}

// --- Campaign picker ----------------------------------------------------------------------------------------

PackPickerZone::PackPickerZone(ScreenServices& services)
    : MenuZone(services,
               {{kDifficultyId, "SET_DIFFICULTY", 6, {}, 30, OpenAction(ZoneId::kDifficulty, kDifficultyType)},
                {kDoneId, "GEN_DONE", 7, {}, 6,
                 [](MenuZone& zone) {
                     CloseZone(zone);
                     ShowCampaignMap(zone.Services());
                 }}},
               std::nullopt) {
    ZoneWindow* window = GetWindow();
    if (window == nullptr) return;
    engine::IntRect rect = SidePanelRect(2, true);
    rect.y += BaseRect({0, kListDrop, 0, 0}).y;
    if (engine::ListBox* list = window->AddListBox(kListId, rect)) list->SetVisibleRows(3);
}

const char* PackPickerZone::CampaignFolder(int index) {
    return index >= 0 && index < kCampaignCount ? kCampaigns[index].folder : "";
}

engine::ListBox* PackPickerZone::List() const { return dynamic_cast<engine::ListBox*>(Control(kListId)); }

int PackPickerZone::OnShow(bool shown) {
    if (!shown) {
        ApplyChange();
        if (Services().profile != nullptr) Services().profile->Save();
        return 0;
    }
    // Only the campaigns whose folder is in the data are offered, so that none that cannot load is picked.
    std::vector<std::string> folders;
    for (const CampaignEntry& entry : kCampaigns) folders.emplace_back(entry.folder);
    const std::vector<std::string> present = PresentDataFolders("Campaigns", folders);
    listed_.clear();
    for (int i = 0; i < kCampaignCount; ++i) {
        for (const std::string& name : present) {
            if (name == kCampaigns[i].folder) listed_.push_back(i);
        }
    }
    if (engine::ListBox* list = List()) {
        list->Clear();
        for (const int index : listed_) list->AddRow(Services().Text(kCampaigns[index].titleKey).Data(), index);
    }
    selected_ = listed_.empty() ? 0 : listed_.front();
    const std::string current =
        Services().profile != nullptr ? Services().profile->GetCurrentCampaignName() : std::string();
    for (const int index : listed_) {
        if (SameNoCase(current, kCampaigns[index].folder)) {
            selected_ = index;
            break;
        }
    }
    atShow_ = selected_;
    return 0;
}

void PackPickerZone::ApplyChange() {
    if (selected_ == atShow_) return;
    ScreenGame* game = Services().game;
    ScreenProfile* profile = Services().profile;
    const std::string folder = CampaignFolder(selected_);
    // A campaign that does not load is neither stored nor used to lower the difficulty.
    if (game == nullptr || profile == nullptr || !game->SelectCampaign(folder)) return;
    atShow_ = selected_;
    profile->SetCurrentCampaignName(folder);
    if (const CampaignInfo* campaign = game->GetCampaign()) {
        profile->SetDifficulty(LoweredDifficulty(profile->GetDifficulty(), *campaign));
    }
}

int PackPickerZone::OnControl(bool pressed, int controlId) {
    if (controlId != kListId) return MenuZone::OnControl(pressed, controlId);
    if (pressed) return 0;
    if (!IsFullyOpen()) return 1;
    engine::WideString text;
    int value = 0;
    if (const engine::ListBox* list = List(); list != nullptr && list->GetSelectedRow(text, value)) {
        Services().PlayUiSound(kUiClick);
        selected_ = value;
    }
    return 1;
}

int PackPickerZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    CloseZone(*this);
    ShowCampaignMap(Services());
    return 1;
}

int PackPickerZone::DrawControl(int controlId, const engine::IntRect& rect) {
    if (controlId != kListId) return MenuZone::DrawControl(controlId, rect);
    const engine::ListBox* list = List();
    if (list == nullptr) return 1;
    const ScreenServices& services = Services();
    DrawStripList(services, *list, rect, kListStyle, [&](int row, const engine::IntRect& strip, bool /*selected*/) {
        engine::WideString title;
        int value = 0;
        if (!list->GetRow(row, title, value)) return;
        DrawScreenText(services, FontId::kMed, title, rect.x + 80, strip.y + strip.height / 2,
                       kAlignLeft | kAlignMiddle);
        if (value == selected_) {
            DrawArt(services, kArtButtonBits, ButtonIconRect(6), {rect.x + 23, strip.y + 10, 50, 50});
        }
    });
    const int centreX = rect.x + rect.width / 2;
    DrawScreenText(services, FontId::kMain, services.Text("DLC_CAMPAIGNTITLE"), centreX, rect.y - 100, kAlignCentre);
    DrawScreenText(services, FontId::kMed, Prefixed("@C[4]", services.Text(kCampaigns[selected_].titleKey)),
                   centreX, rect.y - 70, kAlignCentre);
    DrawScreenText(services, FontId::kMain, services.Text(kDifficultyLabels[ProfileDifficulty(services)]), centreX,
                   rect.y - 30, kAlignCentre);
    return 1;
}

void PackPickerZone::DrawMenuContents(ZoneWindow& window) {
    DrawDescription(Services(), window, kCampaigns[selected_].descriptionKey);
}

// --- Difficulty ---------------------------------------------------------------------------------------------

namespace {

MenuAction ChooseAction(int difficulty) {
    return [difficulty](MenuZone& zone) { static_cast<DifficultyZone&>(zone).Choose(difficulty); };
}

std::vector<MenuEntry> DifficultyEntries() {
    return {{DifficultyZone::kEasyId, "GEN_EASY", 0, {}, 31, ChooseAction(0)},
            {DifficultyZone::kEasyId + 1, "GEN_MEDIUM", 2, {}, 32, ChooseAction(1)},
            {DifficultyZone::kEasyId + 2, "GEN_HARD", 4, {}, 33, ChooseAction(2)},
            {DifficultyZone::kEasyId + 3, "GEN_SILLY", 6, {}, 34, ChooseAction(3)},
            {DifficultyZone::kDoneId, "GEN_DONE", 7, {}, 6,
             MenuZone::OpenAction(ZoneId::kCampaignPicker, kPickerType)}};
}

}  // namespace

DifficultyZone::DifficultyZone(ScreenServices& services)
    : MenuZone(services, DifficultyEntries(), MenuParent{ZoneId::kCampaignPicker, kPickerType}) {}

int DifficultyZone::OnShow(bool shown) {
    if (shown) Describe();
    return 0;
}

void DifficultyZone::Choose(int difficulty) {
    // The engine sends no release for a disabled button; a stray one changes nothing either.
    const engine::DialogControl* button = Control(kEasyId + difficulty);
    if (button == nullptr || !button->IsEnabled() || Services().profile == nullptr) return;
    Services().profile->SetDifficulty(difficulty);
    Describe();
}

void DifficultyZone::Describe() {
    const CampaignInfo* campaign = Services().game != nullptr ? Services().game->GetCampaign() : nullptr;
    if (campaign == nullptr) return;
    for (int i = 0; i < kDifficultyCount - 1; ++i) {
        if (engine::DialogControl* button = Control(kEasyId + 1 + i)) {
            button->SetDisabled(campaign->IsCompletedAtDifficulty(i) ? 0 : 1);
        }
    }
}

bool DifficultyZone::IsHighlighted(int controlId) const {
    return controlId == kEasyId + ProfileDifficulty(Services());
}

void DifficultyZone::DrawMenuContents(ZoneWindow& window) {
    DrawDescription(Services(), window, kDifficultyTexts[ProfileDifficulty(Services())]);
}

}  // namespace game
