#pragma once
// The speech-pack picker (type 21): one list of the packs for the allied side and one for the enemy side.
// Picks are kept in the zone; on hide each side whose pack changed has it loaded into the sound bank and
// stored in the profile (allied first), and speech is switched on. Only the packs present in the data are
// listed.
#include <string>
#include <vector>

#include "game/screens/menu_zone.h"

namespace engine {
class ListBox;
}

namespace game {

class SpeechPickerZone final : public MenuZone {
public:
    static constexpr int kDoneId = 69;
    static constexpr int kAlliedListId = 70;
    static constexpr int kEnemyListId = 71;
    static constexpr int kPackCount = 6;
    static constexpr int kAlliedSide = 1;
    static constexpr int kEnemySide = 0;

    explicit SpeechPickerZone(ScreenServices& services);

    int OnShow(bool shown) override;
    int OnControl(bool pressed, int controlId) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;

    // The folder of pack index 0..5; empty for any other.
    static const char* PackFolder(int index);
    // The pack index picked for the side (1 allied, 0 enemy).
    int GetSelection(int side) const { return selected_[side == kAlliedSide ? 0 : 1]; }

private:
    struct Pack {
        int index;
        std::string folder;
    };
    engine::ListBox* List(int controlId) const;
    // The listed pack whose folder matches the name without regard to case; the first listed pack else.
    int FindPack(const std::string& name) const;
    void ReturnToSettings(int originX, int originY);
    void DrawPackList(int controlId, const engine::IntRect& rect);

    std::vector<Pack> packs_;
    int selected_[2] = {0, 0};
    int atShow_[2] = {0, 0};
};

}  // namespace game
