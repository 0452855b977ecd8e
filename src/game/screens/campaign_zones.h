#pragma once
// The way into a campaign mission: the campaign map (the campaign's own map screen with Back, Change and
// Play), the campaign picker (the campaigns present in the data, with a description and the difficulty)
// and the difficulty screen (the harder levels open up as the campaign is completed at the level below).
#include <string>
#include <vector>

#include "game/screens/menu_zone.h"
#include "game/screens/zone.h"

namespace engine {
class ListBox;
}

namespace game {

class CampaignInfo;

// The difficulty a campaign allows for the one asked: silly needs the campaign completed on hard, hard on
// medium, medium on easy; each step down is checked in turn.
int LoweredDifficulty(int difficulty, const CampaignInfo& campaign);

// Hosts the campaign's map screen. Not titled: no zoom, and it acts on releases at any time.
class CampaignMapZone final : public Zone {
public:
    static constexpr int kBackId = 30;
    static constexpr int kChangeId = 31;
    static constexpr int kPlayId = 32;

    explicit CampaignMapZone(ScreenServices& services);

    // The window centred on a screen of the size (after a display switch).
    void Relayout(int width, int height);

    int OnShow(bool shown) override;
    int Draw(bool afterControls) override;
    int OnControl(bool pressed, int controlId) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;

private:
    void GoBack(int originX, int originY);
    // The base-sized window centred on a screen of the size.
    static engine::IntRect WindowRect(int width, int height);
};

class PackPickerZone final : public MenuZone {
public:
    static constexpr int kDifficultyId = 75;
    static constexpr int kDoneId = 72;
    static constexpr int kListId = 73;
    static constexpr int kCampaignCount = 4;

    explicit PackPickerZone(ScreenServices& services);

    int OnShow(bool shown) override;
    int OnControl(bool pressed, int controlId) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;

    // The folder name of campaign index 0..3; empty for any other.
    static const char* CampaignFolder(int index);
    // The campaign index picked; the first listed one when the profile names none of them.
    int GetSelected() const { return selected_; }

protected:
    void DrawMenuContents(ZoneWindow& window) override;

private:
    engine::ListBox* List() const;
    void ApplyChange();

    std::vector<int> listed_;
    int selected_ = 0;
    int atShow_ = 0;
};

class DifficultyZone final : public MenuZone {
public:
    static constexpr int kEasyId = 106;
    static constexpr int kDoneId = 110;

    explicit DifficultyZone(ScreenServices& services);

    int OnShow(bool shown) override;
    // Stores the difficulty unless its button is disabled.
    void Choose(int difficulty);

protected:
    void DrawMenuContents(ZoneWindow& window) override;
    bool IsHighlighted(int controlId) const override;

private:
    // Enables medium, hard and silly by the selected campaign's completion.
    void Describe();
};

}  // namespace game
