#include "game/screens/comic_overlay_zone.h"

#include "engine/gui/dialog_control.h"
#include "game/core/game_ports.h"
#include "game/core/screen_rects.h"
#include "game/screens/button_drawers.h"

namespace game {

ComicOverlayZone::ComicOverlayZone(ScreenServices& services) : Zone(services) {
    if (!CreateWindow({0, 0, services.ScreenWidth(), services.ScreenHeight()})) return;
    engine::IntRect button{};
    ComicOverlayButtonRect(button, services.ScreenWidth(), services.ScreenHeight());
    AddButton(kSkipId, button, engine::WideString(), 0);
}

void ComicOverlayZone::Relayout(int width, int height) {
    ZoneWindow* window = GetWindow();
    if (window == nullptr) return;
    window->SetRect({0, 0, width, height});
    if (engine::DialogControl* skip = Control(kSkipId)) {
        engine::IntRect button{};
        ComicOverlayButtonRect(button, width, height);
        skip->SetRect(button);
    }
}

int ComicOverlayZone::OnShow(bool shown) {
    ScreenGame* game = Services().game;
    if (shown) {
        if (game != nullptr && !groupTaken_) {
            previousGroup_ = game->SetResourceGroup(kComicGroup);
            groupTaken_ = true;
        }
        player_ = std::make_unique<ComicPlayer>(Services());
        const CampaignInfo* campaign = game != nullptr ? game->GetCampaign() : nullptr;
        player_->Start(campaign != nullptr ? campaign->GetSelectedMissionFolder() : std::string());
        if (game != nullptr && player_->HasEvents()) game->ResetAnnouncer();
        return 0;
    }
    const bool wasPlaying = player_ != nullptr;
    player_.reset();
    if (game != nullptr && wasPlaying) game->HideAnnouncer();
    if (game != nullptr && groupTaken_) {
        // The comic's pictures go with the group; the group that was current before the show is current again.
        game->PurgeResourceGroup(kComicGroup);
        game->SetResourceGroup(previousGroup_);
        groupTaken_ = false;
    }
    return 0;
}

int ComicOverlayZone::Draw(bool afterControls) {
    if (afterControls) return 0;
    if (player_ == nullptr || player_->Tick() == 0) Finish();
    return 1;
}

int ComicOverlayZone::OnControl(bool pressed, int controlId) {
    if (pressed || controlId != kSkipId) return 0;
    Services().PlayUiSound(kUiClick);
    Finish();
    return 1;
}

void ComicOverlayZone::Finish() {
    CloseZone(*this);
    if (Services().game != nullptr) Services().game->SetState(kLoadLevelState);
}

int ComicOverlayZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    DrawComicButton(Services(), *control, rect);
    return 1;
}

}  // namespace game
