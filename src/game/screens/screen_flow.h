#pragma once
// What the menus and dialogs share beyond the menu table: the HUD panels sliding out and coming back, the
// next zone opened from the pointer, and a picture several zones show that is loaded while any of them is shown.
#include <cstdint>
#include <string>

#include "game/screens/screen_services.h"
#include "game/screens/zone_registry.h"

namespace game {

class Zone;

// Starts the slide-out of the top bar and the turn buttons (those that exist).
void SlideOutHudPanels(const ScreenServices& services);
// Shows the top bar and the turn buttons again; they slide in.
void ShowHudPanels(const ScreenServices& services);
// Closes the zone and opens the one of the id with the type, zooming from the pointer or from (0, 0).
void CloseAndOpen(Zone& zone, ZoneId next, int type, bool fromPointer);

// A texture loaded when the first of its holders takes it and released when the last lets go. A texture that
// fails to load (handle 0) is neither drawn nor released.
class SharedPicture {
public:
    explicit SharedPicture(std::string name) : name_(std::move(name)) {}
    void Take(ScreenServices& services);
    void Let(ScreenServices& services);
    std::uint32_t Get() const { return handle_; }

private:
    std::string name_;
    std::uint32_t handle_ = 0;
    int holders_ = 0;
};

// One zone's hold on a shared picture: taken on show, let go on hide, each once whatever the calls.
class PictureHold {
public:
    explicit PictureHold(SharedPicture* picture) : picture_(picture) {}
    void Set(ScreenServices& services, bool shown);
    std::uint32_t Get() const { return picture_ != nullptr && held_ ? picture_->Get() : 0; }

private:
    SharedPicture* picture_;
    bool held_ = false;
};

}  // namespace game
