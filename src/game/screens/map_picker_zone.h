#pragma once
// The map picker (zone types 26 from the pass-and-play setup, 27 from the skirmish setup): the list of maps
// and the chosen one's thumbnail, title, subtitle and size. It also holds the current map that both setups
// show and start their battle on; the choice is the profile's default map.
#include <string>
#include <vector>

#include "game/screens/game_screens.h"
#include "game/screens/map_list.h"
#include "game/screens/menu_zone.h"

namespace game {

inline constexpr int kZonePickMapPassAndPlay = 26;
inline constexpr int kZonePickMapSkirmish = 27;
inline constexpr int kMapPickerSelect = 89;
inline constexpr int kMapPickerList = 90;
inline constexpr int kMapPickerRows = 6;

class MapPickerZone final : public MenuZone, public MapPickerSeam {
public:
    // Reads the map list once.
    explicit MapPickerZone(ScreenServices& services);
    // Releases the current thumbnail.
    ~MapPickerZone() override;

    // Shown: the list read again, its rows refilled and the default map's row selected. Hidden: the
    // profile is saved.
    int OnShow(bool shown) override;
    int OnControl(bool pressed, int controlId) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;

    // Makes the listed map of that folder (backslashes read as slashes, case ignored) the current one and the
    // profile's default, with its thumbnail and details; nothing for an unlisted map or the current one.
    void SelectMap(const std::string& folder) override;
    // The title of the listed map of that folder, else the first map's; empty with no maps.
    engine::WideString GetMapTitle(const std::string& folder) const;
    const MapInfo& GetCurrentMap() const { return current_; }
    // Closes and opens the setup this picker was opened from, zooming from the pointer or from (0, 0).
    void ReturnToSetup(bool fromPointer);
    const std::vector<MapInfo>& GetMaps() const { return maps_; }

protected:
    // The thumbnail and text block of the current map.
    void DrawMenuContents(ZoneWindow& window) override;

private:
    void ReadList();
    void FillRows();
    // The index of the listed map of that folder; -1 when none.
    int FindMap(const engine::WideString& folder) const;

    std::vector<MapInfo> maps_;
    MapInfo current_;
    engine::WideString selection_{"?"};
};

// The map's thumbnail at (40, 100) in the window, at its own size less 5 pixels each way; false, with nothing
// drawn, when the map has no thumbnail.
bool DrawMapThumbnail(const ScreenServices& services, const MapInfo& map, const engine::IntRect& window);

// The map picker of the registry; null when there is none.
MapPickerZone* FindMapPicker(const ScreenServices& services);

// Registers the map picker.
void RegisterMapPicker(ZoneRegistry& registry);

}  // namespace game
