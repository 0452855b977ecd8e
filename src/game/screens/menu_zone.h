#pragma once
// A full-screen titled menu declared as a table of buttons, and the list drawing the menus share.
//
// Menus work one way: the buttons sit on the 960 by 640 base, act only once the zone is fully open and only on
// the release (a press is passed on), and every handled release first plays the click. Going on closes this
// zone and opens the next one zooming from the pointer; the back key opens the parent zooming from (0, 0).
// The menu picture stands behind the zoom and the panel; the buttons shrink into place while the menu opens.
#include <functional>
#include <optional>
#include <vector>

#include "engine/core/int_rect.h"
#include "game/screens/zone.h"
#include "game/screens/zone_registry.h"

namespace engine {
class ListBox;
}

namespace game {

class MenuZone;

using MenuAction = std::function<void(MenuZone& menu)>;

struct MenuEntry {
    int id = 0;
    const char* textKey = "";
    // The slot of MenuButtonRect; -1 takes rect instead.
    int slot = -1;
    engine::IntRect rect{};
    int icon = 0;
    // Run on a handled release after the click; empty: the release only clicks.
    MenuAction action;
};

// Where the back key leads.
struct MenuParent {
    ZoneId id = ZoneId::kMainMenu;
    int type = 0;
};

class MenuZone : public TitledZone {
public:
    // Makes the full-screen window and one button per entry. parent: none means the back key is not handled.
    MenuZone(ScreenServices& services, std::vector<MenuEntry> entries, std::optional<MenuParent> parent);

    int OnControl(bool pressed, int controlId) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;
    int DrawContents(ZoneWindow& window) override;
    // The game's menu picture centred on the screen at its own size.
    void PreDraw() override;

    // Closes this menu and opens the zone of the id with the type, zooming from the pointer.
    void GoTo(ZoneId next, int type);
    // An action that does GoTo.
    static MenuAction OpenAction(ZoneId next, int type);

protected:
    // What a menu draws on the backdrop.
    virtual void DrawMenuContents(ZoneWindow& /*window*/) {}
    virtual bool IsHighlighted(int /*controlId*/) const { return false; }
    const std::vector<MenuEntry>& Entries() const { return entries_; }

private:
    std::vector<MenuEntry> entries_;
    std::optional<MenuParent> parent_;
};

// How a list of strips looks: the strip cell of "GUI/ButtonBits" and its drawn height, the frame cell of
// "GUI/uibits2" (its size is the list's), and the row indent.
struct StripListStyle {
    engine::IntRect strip{0, 620, 406, 80};
    int stripHeight = 80;
    engine::IntRect frame{432, 0, 0, 0};
};

// Called for each visible row with its strip rectangle on screen and whether it is the selected row.
using StripRowDrawer = std::function<void(int row, const engine::IntRect& strip, bool selected)>;

// Clipped to the list rectangle inset 10 left and 7 top and shrunk by 18 and 16: each row from the scroll
// position whose top lies in the list draws its strip (lit again when selected), then the callback; then the
// clip is cleared and the frame is drawn over the list.
void DrawStripList(const ScreenServices& services, const engine::ListBox& list, const engine::IntRect& listRect,
                   const StripListStyle& style, const StripRowDrawer& drawRow);

}  // namespace game
