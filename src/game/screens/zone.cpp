#include "game/screens/zone.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "engine/gui/dialog_control.h"
#include "engine/render/render_target.h"
#include "game/screens/screen_draw.h"

namespace game {
namespace {

// The zone whose window is being made: the window's creation event binds it as the owner.
Zone* g_creating = nullptr;

const engine::IntRect kZoomerPanel{0, 0, kBaseWidth, kBaseHeight};

}  // namespace

Zone::~Zone() {
    if (window_ != nullptr) {
        window_->Destroy();
        delete window_;
        window_ = nullptr;
    }
}

int Zone::SetShown(bool shown, bool exclusive) { return window_ != nullptr ? window_->Show(shown, exclusive) : 0; }

bool Zone::IsShown() const { return window_ != nullptr && window_->IsShown(); }

bool Zone::CreateWindow(const engine::IntRect& rect, bool takesKeys) {
    auto* window = new ZoneWindow();
    g_creating = this;
    const bool made = window->Init(
        u"", rect.x, rect.y, rect.width, rect.height,
        [](engine::Dialog& dialog, int event, int a, int b, const engine::IntRect* r) {
            return ZoneWindowProc(static_cast<ZoneWindow&>(dialog), event, a, b, r);
        },
        takesKeys, takesKeys);
    g_creating = nullptr;
    if (!made) {
        delete window;
        return false;
    }
    window_ = window;
    return true;
}

engine::DialogControl* Zone::Control(int id) const { return window_ != nullptr ? window_->FindControl(id) : nullptr; }

engine::Button* Zone::AddButton(int id, const engine::IntRect& rect, const engine::WideString& label, int icon) {
    if (window_ == nullptr) return nullptr;
    engine::Button* button = window_->AddButton(id, rect, label.Data());
    if (button != nullptr) button->SetUserData(reinterpret_cast<void*>(static_cast<std::intptr_t>(icon)));
    return button;
}

int TitledZone::OpeningGrow() const {
    if (timeOpen_ >= kZoomSeconds) return 0;
    return static_cast<int>((1.0f - timeOpen_ / kZoomSeconds) * 16.0f);
}

void TitledZone::DrawZoomPanel(const engine::IntRect& rect) {
    DrawArt(Services(), kArtZoomer, kZoomerPanel, rect);
}

int TitledZone::Draw(bool afterControls) {
    ZoneWindow* window = GetWindow();
    if (window == nullptr) return 1;
    ScreenServices& services = Services();
    const int width = services.ScreenWidth();
    const int height = services.ScreenHeight();
    if (state_ == kZoneOpening) {
        PreDraw();
        const float t = services.ClockSeconds() - openStart_;
        if (t >= kZoomSeconds) {
            state_ = kZoneOpen;
            window->SetRect({width / 2 - kBaseWidth / 2, height / 2 - kBaseHeight / 2, kBaseWidth, kBaseHeight});
        } else {
            const float angle = std::max(t, 0.0f) / kZoomSeconds * std::numbers::pi_v<float> * 0.5f;
            const float scale = std::max(1.0f - std::cos(angle), 0.05f);
            const int w = static_cast<int>(static_cast<float>(kBaseWidth) * scale);
            const int h = static_cast<int>(static_cast<float>(kBaseHeight) * scale);
            const float s = std::sin(angle);
            const float cx = origin_.x * (1.0f - s) + static_cast<float>(width) * 0.5f * s;
            const float cy = origin_.y * (1.0f - s) + static_cast<float>(height) * 0.5f * s;
            window->SetRect({static_cast<int>(cx) - (w >> 1), static_cast<int>(cy) - (h >> 1), w, h});
        }
        // Drawn on the after-controls pass too, so the growing panel covers the controls.
        DrawZoomPanel(window->GetRect());
        return 1;
    }
    if (afterControls) return 1;
    // Counted once a frame, on the pass before the controls.
    timeOpen_ += services.FrameSeconds();
    PreDraw();
    if (DrawContents(*window) == 0) {
        if (services.target != nullptr) services.target->Resolve();
        DrawZoomPanel(window->GetRect());
    }
    const char* key = ZoneTitleKey(type_);
    if (*key != '\0') {
        DrawScreenText(services, FontId::kTitle, services.Text(key), width / 2, height / 2 - 276, kAlignCentre);
    }
    return 1;
}

void OpenZone(TitledZone& zone, int type, int originX, int originY) {
    zone.type_ = type;
    zone.origin_ = {static_cast<float>(originX), static_cast<float>(originY)};
    zone.state_ = kZoneOpening;
    zone.openStart_ = zone.Services().ClockSeconds();
    zone.timeOpen_ = 0.0f;
    zone.Services().PlayUiSound(kUiZoomOpen);
    zone.SetShown(true, false);
}

void CloseZone(Zone& zone) { zone.SetShown(false, false); }

const char* ZoneTitleKey(int type) {
    switch (type) {
        case 0:
        case 1: return "ZT_SETTINGS";
        case 4: return "ZT_AIRPORT";
        case 5: return "ZT_BARRACKS";
        case 6: return "ZT_FACTORY";
        case 7: return "ZT_SHIPYARD";
        case 8: return "ZT_MAINMENU";
        case 9: return "ZT_PAUSED";
        case 10: return "ZT_MISSIONWIN";
        case 11: return "ZT_MISSIONLOSE";
        case 13: return "ZT_CHEATS";
        case 14: return "ZT_CREDITS";
        case 15: return "ZT_OBJECTIVE";
        case 16: return "ZT_TURNMENU";
        case 21: return "ZT_SPEECHPICKER";
        case 22: return "ZT_CAMPAIGNPICKER";
        case 23: return "ZT_GAMETYPE";
        case 24: return "ZT_PASSANDPLAY";
        case 25: return "ZT_SKIRMISH";
        case 26:
        case 27: return "ZT_PICKMAP";
        case 28:
        case 29: return "ZT_PPOPTIONS";
        case 30: return "ZT_LOAD";
        case 31: return "ZT_SAVE";
        case 32: return "ZT_ACHIEVEMENTS";
        case 33: return "ZT_CONFIRM";
        case 35: return "ZT_DIFFICULTY";
        default: return "";
    }
}

int ZoneWindowProc(ZoneWindow& window, int event, int a, int b, const engine::IntRect* rect) {
    if (event == engine::kEventCreated) {
        // Only while a zone is making its window; a stray creation event leaves the owner alone.
        if (g_creating != nullptr) window.SetOwner(g_creating);
        return 0;
    }
    Zone* zone = window.GetOwner();
    if (zone == nullptr) return 0;
    switch (event) {
        case engine::kEventShown: return zone->OnShow(a != 0);
        case engine::kEventDrawDialog: return zone->Draw(false);
        case engine::kEventDrawControl: return zone->DrawControl(a, rect != nullptr ? *rect : engine::IntRect{});
        case engine::kEventTooltip: return 1;
        case engine::kEventFocus: return zone->OnFocusChanged(a);
        case engine::kEventAfterDraw: return zone->Draw(true);
        case engine::kEventNavigate: return zone->OnKey(a);
        case engine::kEventPressed: return zone->OnControl(true, a);
        case engine::kEventReleased: return zone->OnControl(false, a);
        case engine::kEventSliderMoved: return zone->OnListSelect(a, b);
        default: return 0;
    }
}

}  // namespace game
