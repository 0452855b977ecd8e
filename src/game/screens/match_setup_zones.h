#pragma once
// The two setups of a battle on a chosen map, pass-and-play (zone type 24) and skirmish (25), and the match
// options (28 from the pass-and-play setup, 29 from the skirmish one) that edit the cash settings. The setups
// differ only by a table: their ids, the zone types they lead to, the second side's name and the state
// that loads their level.
#include <array>

#include "game/screens/menu_zone.h"

namespace game {

inline constexpr int kZoneMatchOptionsPassAndPlay = 28;
inline constexpr int kZoneMatchOptionsSkirmish = 29;

// Game states that load the level of a pass-and-play or a skirmish battle.
inline constexpr int kStateLoadPassAndPlay = 9;
inline constexpr int kStateLoadSkirmish = 10;

inline constexpr int kCashPositions = 9;
inline constexpr std::array<int, kCashPositions> kStartCashTable = {0, 50, 100, 150, 200, 250, 300, 500, 1000};
inline constexpr std::array<int, kCashPositions> kBonusCashTable = {0, 10, 25, 50, 75, 100, 125, 150, 200};

// Match options control ids: the four sliders (in the order of the profile's match options) and done.
inline constexpr int kOptionSliders[4] = {92, 93, 94, 95};
inline constexpr int kOptionsDone = 91;

struct SetupStyle {
    ZoneId self;
    int pickMapId;
    int optionsId;
    int backId;
    int playId;
    int pickMapType;
    int optionsType;
    int playState;
    // The four cash row keys, in the order of the profile's match options.
    std::array<const char*, 4> rowKeys;
    // Pass-and-play puts the icon on the label and groups the value; skirmish puts it on the ungrouped value.
    bool iconOnLabel;
};

extern const SetupStyle kPassAndPlaySetupStyle;
extern const SetupStyle kSkirmishSetupStyle;

class MatchSetupZone final : public MenuZone {
public:
    MatchSetupZone(ScreenServices& services, const SetupStyle& style);

    // Play: the shown map becomes the profile's default and the level loads; with no map chosen the fail
    // sound plays and nothing changes.
    void Play();
    const SetupStyle& GetStyle() const { return style_; }

protected:
    // With a thumbnail for the current map: the thumbnail, the title bar and the cash panel.
    void DrawMenuContents(ZoneWindow& window) override;

private:
    const SetupStyle& style_;
};

class MatchOptionsZone final : public MenuZone {
public:
    explicit MatchOptionsZone(ScreenServices& services);

    // Shown: the sliders and labels refreshed. Hidden: the profile is saved.
    int OnShow(bool shown) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;
    // A slider moved: its table value is written into the profile, which is marked dirty.
    int OnListSelect(int controlId, int position) override;

    // Closes and opens the setup of this zone's type, zooming from the pointer or from (0, 0).
    void ReturnToSetup(bool fromPointer);
    // Positions and texts from the profile's values; a value not in its table shows position 0.
    void Refresh();

private:
    bool IsSkirmish() const { return GetType() == kZoneMatchOptionsSkirmish; }
};

// Registers both setups and the match options.
void RegisterMatchSetupZones(ZoneRegistry& registry);

}  // namespace game
