#include "game/screens/menu_zone.h"

#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/list_box.h"
#include "engine/render/render_target.h"
#include "game/core/screen_rects.h"
#include "game/screens/button_drawers.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {

MenuZone::MenuZone(ScreenServices& services, std::vector<MenuEntry> entries, std::optional<MenuParent> parent)
    : TitledZone(services), entries_(std::move(entries)), parent_(parent) {
    engine::IntRect whole{0, 0, kBaseWidth, kBaseHeight};
    ScaleRect(whole);
    if (!CreateWindow(whole)) return;
    for (const MenuEntry& entry : entries_) {
        engine::IntRect rect = entry.slot >= 0 ? MenuButtonRect(entry.slot) : entry.rect;
        if (entry.slot < 0) ScaleRect(rect);
        // A button without a key (the save slots) is labelled by its zone, never with the lookup's
        // "No String".
        const bool labelled = entry.textKey != nullptr && entry.textKey[0] != '\0';
        AddButton(entry.id, rect, labelled ? services.Text(entry.textKey) : engine::WideString(), entry.icon);
    }
}

int MenuZone::OnControl(bool pressed, int controlId) {
    if (pressed) return 0;
    if (!IsFullyOpen()) return 1;
    for (const MenuEntry& entry : entries_) {
        if (entry.id != controlId) continue;
        Services().PlayUiSound(kUiClick);
        if (entry.action) entry.action(*this);
        break;
    }
    return 1;
}

int MenuZone::OnKey(int code) {
    if (code != engine::kNoticeBack || !parent_) return 0;
    CloseZone(*this);
    if (Services().zones != nullptr) Services().zones->Open(parent_->id, parent_->type, 0, 0);
    return 1;
}

int MenuZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    DrawMenuButton(Services(), *control, rect, OpeningGrow(), IsHighlighted(controlId));
    return 1;
}

int MenuZone::DrawContents(ZoneWindow& window) {
    DrawArt(Services(), kArtZoomer, {0, 0, kBaseWidth, kBaseHeight}, window.GetRect());
    DrawMenuContents(window);
    return 1;
}

void MenuZone::PreDraw() {
    const ScreenServices& services = Services();
    if (services.game == nullptr) return;
    DrawImageCentred(services, services.game->GetMenuPicture(), services.ScreenWidth() / 2,
                     services.ScreenHeight() / 2, 1.0f);
}

void MenuZone::GoTo(ZoneId next, int type) {
    int x = 0;
    int y = 0;
    engine::GetGuiPointer(x, y);
    CloseZone(*this);
    if (Services().zones != nullptr) Services().zones->Open(next, type, x, y);
}

MenuAction MenuZone::OpenAction(ZoneId next, int type) {
    return [next, type](MenuZone& menu) { menu.GoTo(next, type); };
}

void DrawStripList(const ScreenServices& services, const engine::ListBox& list, const engine::IntRect& listRect,
                   const StripListStyle& style, const StripRowDrawer& drawRow) {
    engine::RenderTargetBase* target = services.target;
    const engine::IntRect clip{listRect.x + 10, listRect.y + 7, listRect.width - 18, listRect.height - 16};
    if (target != nullptr) target->SetClipRect(&clip);
    const int rowHeight = list.GetRowHeight();
    const int bottom = listRect.y + listRect.height;
    if (rowHeight > 0) {
        for (int row = list.GetScrollOffset() / rowHeight; row < list.GetRowCount(); ++row) {
            const int top = listRect.y + row * rowHeight - list.GetScrollOffset();
            if (top >= bottom) break;
            engine::IntRect size{0, 0, style.strip.width, style.stripHeight};
            ScaleRectSize(size);
            const engine::IntRect strip{listRect.x + 11, top, size.width, size.height};
            const bool selected = row == list.GetSelection();
            DrawArtLit(services, kArtButtonBits, style.strip, strip, kOpaqueWhite, selected);
            if (drawRow) drawRow(row, strip, selected);
        }
    }
    if (target != nullptr) target->SetClipRect(nullptr);
    const engine::IntRect frame{style.frame.x, style.frame.y, listRect.width, listRect.height};
    DrawArt(services, kArtUiBits, frame, listRect);
}

}  // namespace game
