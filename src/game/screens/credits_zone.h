#pragma once
// The credits: the credits file scrolls up through a band of 13 lines, one line every 0.7 s, next to the
// general's picture. Lines fade out at the top of the band and in at its bottom; "#" lines are orange
// headings. The first full pass earns the view-credits achievement, then the text starts again.
#include <optional>

#include "engine/gui/text_wrap.h"
#include "game/screens/menu_zone.h"
#include "game/screens/picture_shelf.h"

namespace game {

class CreditsZone final : public MenuZone {
public:
    static constexpr int kDoneId = 66;
    static constexpr int kVisibleLines = 13;
    static constexpr int kMillisecondsPerLine = 700;
    static constexpr int kWrapWidth = 450;
    static constexpr std::uint32_t kHeadingColour = 0xFFFF8000u;
    static constexpr std::uint32_t kTextColour = 0xFFFFFFFFu;

    explicit CreditsZone(ScreenServices& services);

    int OnShow(bool shown) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;

    // The wrapped credits; null while the file has not been read.
    const engine::TextWrap* GetLines() const { return lines_ ? &*lines_ : nullptr; }
    std::uint32_t GetPicture() const { return picture_.Handle(); }

protected:
    void DrawMenuContents(ZoneWindow& window) override;

private:
    void ReadCredits();
    void DrawScroll(const engine::IntRect& area);

    std::optional<engine::TextWrap> lines_;
    float passStart_ = 0.0f;
    PictureHolder picture_{"Comic/general"};
};

}  // namespace game
