#pragma once
// The settings screen (types 0 from the main menu, 1 from the pause menu): a list of eight switches, the
// music and effects volumes, the speech-pack picker and full screen. Switches and volumes go into the
// profile at once; the profile is saved and the display mode switched when the screen is hidden.
#include <cstdint>

#include "game/screens/menu_zone.h"

namespace engine {
class ListBox;
}

namespace game {

class SettingsZone final : public MenuZone {
public:
    static constexpr int kDoneId = 49;
    static constexpr int kEffectsId = 50;
    static constexpr int kMusicId = 51;
    static constexpr int kListId = 52;
    static constexpr int kSpeechId = 53;
    // The row value of the full-screen switch; the others name an option bit.
    static constexpr int kFullScreenRow = 62;

    explicit SettingsZone(ScreenServices& services);

    int OnShow(bool shown) override;
    int OnControl(bool pressed, int controlId) override;
    int OnKey(int code) override;
    int OnListSelect(int controlId, int value) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;
    // The menu picture only from the main menu: in a battle the battle stays visible behind.
    void PreDraw() override;

    bool GetFullScreenChoice() const { return fullScreenChoice_; }
    // The option bit of a row value 55..61; 0 for any other.
    static std::uint32_t OptionBit(int rowValue);

private:
    engine::ListBox* List() const;
    // The eight rows with their current texts, keeping the scroll position and the selected row.
    void RebuildList();
    void Toggle(int rowValue);
    // Closes and opens the pause menu (type 1) or the main menu.
    void Leave(int originX, int originY);

    bool fullScreenAtShow_ = false;
    bool fullScreenChoice_ = false;
};

}  // namespace game
