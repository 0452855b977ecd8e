#include "game/screens/save_load_zone.h"

#include <cstdint>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/text_wrap.h"
#include "game/screens/button_drawers.h"
#include "game/screens/hud_zones.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

// Control states: enabled, disabled (drawn grey), hidden.
constexpr int kEnabled = 0;
constexpr int kGreyed = 1;
constexpr int kHidden = 2;

constexpr int kIconUsed = 11;
constexpr int kIconEmpty = 5;
constexpr int kIconPicked = 12;
constexpr int kIconPlain = 6;
constexpr int kMainMenuType = 8;

void SetIcon(engine::DialogControl& control, int icon) {
    control.SetUserData(reinterpret_cast<void*>(static_cast<std::intptr_t>(icon)));
}


}  // namespace

SaveLoadZone::SaveLoadZone(ScreenServices& services)
    : MenuZone(services,
               {{kFirstSlotId, "", 0, {}, kIconUsed, {}},
                {kFirstSlotId + 1, "", 2, {}, kIconUsed, {}},
                {kFirstSlotId + 2, "", 4, {}, kIconUsed, {}},
                {kBackId, "GEN_BACK", 6, {}, 9, {}},
                {kOverwriteId, "GEN_OVERWRITE", 7, {}, kIconPlain, {}}},
               std::nullopt),
      help_(services.Text("LS_SAVEHELP")) {
    help_.UnescapeNewlines();
}

bool SaveLoadZone::SlotInUse(int slot) const {
    const ScreenProfile* profile = Services().profile;
    return profile != nullptr && profile->GetSlotTexts(slot).inUse;
}

int SaveLoadZone::OnShow(bool shown) {
    if (!shown) return 0;
    loadMode_ = GetType() == kLoadType;
    selected_ = -1;
    refused_.fill(false);
    Refresh();
    return 0;
}

void SaveLoadZone::Refresh() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        engine::DialogControl* button = Control(kFirstSlotId + slot);
        if (button == nullptr) continue;
        if (loadMode_) {
            const bool usable = SlotInUse(slot) && !refused_[static_cast<std::size_t>(slot)];
            SetIcon(*button, usable ? kIconUsed : kIconEmpty);
            button->SetDisabled(usable ? kEnabled : kGreyed);
        } else {
            SetIcon(*button, slot == selected_ ? kIconPicked : kIconPlain);
            button->SetDisabled(kEnabled);
        }
    }
    if (engine::DialogControl* overwrite = Control(kOverwriteId)) {
        overwrite->SetDisabled(loadMode_ || selected_ < 0 ? kHidden : kEnabled);
    }
}

int SaveLoadZone::OnControl(bool pressed, int controlId) {
    if (pressed) {
        // A press elsewhere than Overwrite drops the picked slot first; the press goes on to the control.
        if (IsFullyOpen() && !loadMode_ && controlId != kOverwriteId) {
            selected_ = -1;
            Refresh();
        }
        return 0;
    }
    if (!IsFullyOpen()) return 1;
    const bool slotButton = controlId >= kFirstSlotId && controlId < kFirstSlotId + kSlotCount;
    if (!slotButton && controlId != kBackId && controlId != kOverwriteId) return 1;
    Services().PlayUiSound(kUiClick);
    if (slotButton) {
        OnSlot(controlId - kFirstSlotId);
    } else if (controlId == kBackId) {
        int x = 0;
        int y = 0;
        engine::GetGuiPointer(x, y);
        Leave(x, y);
    } else {
        OnOverwrite();
    }
    return 1;
}

void SaveLoadZone::OnSlot(int slot) {
    if (!loadMode_) {
        selected_ = slot;
        Refresh();
        return;
    }
    ScreenProfile* profile = Services().profile;
    if (profile == nullptr || !SlotInUse(slot) || refused_[static_cast<std::size_t>(slot)]) return;
    if (profile->LoadGameFromSlot(slot)) {
        CloseZone(*this);
        return;
    }
    refused_[static_cast<std::size_t>(slot)] = true;
    Refresh();
}

void SaveLoadZone::OnOverwrite() {
    ScreenProfile* profile = Services().profile;
    if (loadMode_ || selected_ < 0 || profile == nullptr) return;
    profile->SaveGameToSlot(selected_);
    profile->Save();
    CloseZone(*this);
    if (Services().zones != nullptr) {
        int x = 0;
        int y = 0;
        engine::GetGuiPointer(x, y);
        Services().zones->Open(ZoneId::kPause, kZonePause, x, y);
    }
}

int SaveLoadZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    Leave(0, 0);
    return 1;
}

void SaveLoadZone::Leave(int originX, int originY) {
    CloseZone(*this);
    if (Services().zones == nullptr) return;
    if (loadMode_) {
        Services().zones->Open(ZoneId::kMainMenu, kMainMenuType, originX, originY);
    } else {
        Services().zones->Open(ZoneId::kPause, kZonePause, originX, originY);
    }
}

int SaveLoadZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    if (controlId >= kFirstSlotId && controlId < kFirstSlotId + kSlotCount) {
        DrawSaveSlotButton(Services(), *control, rect, controlId - kFirstSlotId, selected_);
        return 1;
    }
    return MenuZone::DrawControl(controlId, rect);
}

void SaveLoadZone::DrawMenuContents(ZoneWindow& window) {
    if (loadMode_) return;
    const ScreenServices& services = Services();
    engine::IntRect panel = SidePanelRect(2, false);
    panel.x += window.GetRect().x;
    panel.y += window.GetRect().y + 70;
    if (engine::BitmapFont* font = services.Font(FontId::kMain)) {
        engine::TextWrap wrap;
        wrap.Wrap(*font, Prefixed("@C[4]", help_), panel.width - 40);
        DrawTextLines(services, FontId::kMain, wrap, panel.x + 20, panel.y + 40, kAlignLeft);
    }
    DrawArt(services, kArtUiBits, {0, 400, panel.width, panel.height}, panel);
}

}  // namespace game
