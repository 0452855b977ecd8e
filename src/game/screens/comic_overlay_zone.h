#pragma once
// The full-screen overlay that plays the selected mission's comic with one skip button. When the comic
// finishes or is skipped the overlay hides and the game goes on to load the campaign level. The comic's
// pictures are made in resource group 2, which is purged when the overlay hides.
#include <memory>

#include "game/screens/comic_player.h"
#include "game/screens/zone.h"

namespace game {

class ComicOverlayZone final : public Zone {
public:
    static constexpr int kSkipId = 33;
    static constexpr int kComicGroup = 2;
    // The game state that loads the campaign level.
    static constexpr int kLoadLevelState = 8;

    explicit ComicOverlayZone(ScreenServices& services);
    // The window over the whole of a screen of the size and the skip button where that screen has it (after a
    // display switch).
    void Relayout(int width, int height);

    int OnShow(bool shown) override;
    int Draw(bool afterControls) override;
    int OnControl(bool pressed, int controlId) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;

    // The running comic; null while hidden.
    const ComicPlayer* GetPlayer() const { return player_.get(); }

private:
    void Finish();

    std::unique_ptr<ComicPlayer> player_;
    int previousGroup_ = 0;
    bool groupTaken_ = false;
};

}  // namespace game
