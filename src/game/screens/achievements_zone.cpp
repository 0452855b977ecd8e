#include "game/screens/achievements_zone.h"

#include <cstdio>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/list_box.h"
#include "engine/gui/text_wrap.h"
#include "game/core/screen_rects.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kMargin = 20;
constexpr int kTextTop = 140;
constexpr std::uint32_t kNotEarnedTint = 0xff404040u;
constexpr int kVisibleRows = 6;

std::vector<MenuEntry> AchievementEntries() {
    return {{AchievementsZone::kBackId, "GEN_BACK", 6, {}, 9, MenuZone::OpenAction(ZoneId::kMainMenu, 8)}};
}

// The text wrapped to the width in the body font, line under line from (x, y), in colour entry 4.
void DrawWrapped(const ScreenServices& services, const engine::WideString& text, int width, int x, int y) {
    engine::BitmapFont* font = services.Font(FontId::kMain);
    if (font == nullptr) return;
    engine::TextWrap wrap;
    wrap.Wrap(*font, Prefixed("@C[4]", text), width);
    DrawTextLines(services, FontId::kMain, wrap, x, y, kAlignLeft);
}

}  // namespace

AchievementsZone::AchievementsZone(ScreenServices& services)
    : MenuZone(services, AchievementEntries(), MenuParent{ZoneId::kMainMenu, 8}) {
    if (GetWindow() == nullptr) return;
    if (engine::ListBox* list = GetWindow()->AddListBox(kListId, SidePanelRect(4, false))) {
        list->SetVisibleRows(kVisibleRows);
    }
}

engine::ListBox* AchievementsZone::List() const { return dynamic_cast<engine::ListBox*>(Control(kListId)); }

int AchievementsZone::OnShow(bool shown) {
    engine::ListBox* list = List();
    if (!shown || list == nullptr) return 0;
    list->Clear();
    const ScreenAchievements* achievements = Services().achievements;
    for (int id = 0; id < kAchievementCount; ++id) {
        if (id == kAchievementReserved) continue;
        const engine::WideString title =
            achievements != nullptr ? achievements->GetEntry(id).title : engine::WideString();
        list->AddRow(title.Data(), id);
        if (id == selected_) list->SetSelection(list->GetRowCount() - 1);
    }
    // A selection past the last row lights none.
    if (selected_ < 0) list->SetSelection(list->GetRowCount());
    return 0;
}

int AchievementsZone::OnControl(bool pressed, int controlId) {
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

int AchievementsZone::DrawControl(int controlId, const engine::IntRect& rect) {
    if (controlId != kListId) return MenuZone::DrawControl(controlId, rect);
    if (const engine::ListBox* list = List()) DrawList(*list, rect);
    return 1;
}

void AchievementsZone::DrawMenuContents(ZoneWindow& window) {
    engine::IntRect panel = SidePanelRect(3, true);
    panel.x += window.GetRect().x;
    panel.y += window.GetRect().y;
    DrawDetails(panel);
}

void AchievementsZone::DrawDetails(const engine::IntRect& panel) {
    const ScreenServices& services = Services();
    const ScreenAchievements* achievements = services.achievements;
    const int textWidth = panel.width - 2 * kMargin;
    if (selected_ < 0 || achievements == nullptr) {
        DrawWrapped(services, services.Text("ACH_PLEASETAP"), textWidth, panel.x + kMargin, panel.y + kTextTop);
    } else {
        const AchievementEntry& entry = achievements->GetEntry(selected_);
        const engine::IntRect icon = AchievementList::GetIconRect(selected_);
        DrawImage(services, achievements->GetIconTexture(), icon,
                  {panel.x + 14, panel.y + 11, icon.width, icon.height});
        DrawScreenText(services, FontId::kMed, entry.title, panel.x + 84, panel.y + 30, kAlignLeft);
        engine::WideString points = Prefixed("@C[3]", NumberText(entry.points));
        points.Append(engine::WideString(" "));
        points.Append(services.Text("ACH_POINTS"));
        DrawScreenText(services, FontId::kMain, points, panel.x + 84, panel.y + 60, kAlignLeft);
        const bool earned = achievements->IsEarned(selected_);
        DrawWrapped(services, earned ? entry.earnedText : entry.notEarnedText, textWidth, panel.x + kMargin,
                    panel.y + kTextTop);
    }

    // Earned ids are counted over the listed ones only: the reserved id is never shown, so a profile
    // that has its bit set must not count past the rows.
    int earned = 0;
    int points = 0;
    if (achievements != nullptr) {
        for (int id = 0; id < kAchievementCount; ++id) {
            if (id == kAchievementReserved || !achievements->IsEarned(id)) continue;
            ++earned;
            points += achievements->GetEntry(id).points;
        }
    }
    char count[64];
    std::snprintf(count, sizeof count, "%i of %i Awards", earned, kListedCount);
    const int bottom = panel.y + panel.height - 24;
    DrawScreenText(services, FontId::kMain, engine::WideString(count), panel.x + kMargin, bottom, kAlignLeft);
    engine::WideString total = NumberText(points);
    total.Append(engine::WideString(" "));
    total.Append(services.Text("ACH_POINTS"));
    DrawScreenText(services, FontId::kMain, total, panel.x + panel.width - kMargin, bottom, kAlignRight);
    DrawArt(services, kArtUiBits, {0, 0, panel.width, panel.height}, panel);
}

void AchievementsZone::DrawList(const engine::ListBox& list, const engine::IntRect& rect) {
    const ScreenServices& services = Services();
    const ScreenAchievements* achievements = services.achievements;
    DrawStripList(services, list, rect, StripListStyle{},
                  [&](int row, const engine::IntRect& strip, bool /*selected*/) {
                      engine::WideString title;
                      int id = 0;
                      if (!list.GetRow(row, title, id) || achievements == nullptr) return;
                      const bool earned = achievements->IsEarned(id);
                      const engine::IntRect icon = AchievementList::GetIconRect(id);
                      DrawImage(services, achievements->GetIconTexture(), icon,
                                {strip.x + 7, strip.y + 7, icon.width, icon.height},
                                earned ? kOpaqueWhite : kNotEarnedTint);
                      DrawScreenText(services, FontId::kMed, earned ? title : Prefixed("@C[3]", title),
                                     strip.x + 76, strip.y + strip.height / 2, kAlignLeft | kAlignMiddle);
                  });
}

}  // namespace game
