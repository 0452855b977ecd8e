#include "game/screens/screen_flow.h"

#include "engine/gui/dialog_system.h"
#include "game/screens/hud_zones.h"
#include "game/screens/zone.h"

namespace game {

void SlideOutHudPanels(const ScreenServices& services) {
    if (services.zones == nullptr) return;
    for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
        if (auto* panel = FindZone<SlidingZone>(services.zones, id)) panel->SlideOut();
    }
}

void ShowHudPanels(const ScreenServices& services) {
    if (services.zones == nullptr) return;
    for (const ZoneId id : {ZoneId::kTopBar, ZoneId::kTurnButton}) {
        if (Zone* panel = FindZone<Zone>(services.zones, id)) panel->SetShown(true, false);
    }
}

void CloseAndOpen(Zone& zone, ZoneId next, int type, bool fromPointer) {
    int x = 0;
    int y = 0;
    if (fromPointer) engine::GetGuiPointer(x, y);
    CloseZone(zone);
    if (zone.Services().zones != nullptr) zone.Services().zones->Open(next, type, x, y);
}

void SharedPicture::Take(ScreenServices& services) {
    if (holders_++ == 0 && services.textures != nullptr) handle_ = services.textures->Load(name_.c_str());
}

void SharedPicture::Let(ScreenServices& services) {
    if (holders_ == 0 || --holders_ != 0) return;
    if (handle_ != 0 && services.textures != nullptr) services.textures->Release(handle_);
    handle_ = 0;
}

void PictureHold::Set(ScreenServices& services, bool shown) {
    if (picture_ == nullptr || shown == held_) return;
    held_ = shown;
    if (shown) {
        picture_->Take(services);
    } else {
        picture_->Let(services);
    }
}

}  // namespace game
