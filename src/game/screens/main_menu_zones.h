#pragma once
// The main menu (zone type 8) and the game type screen (23), and the registration of the menu zones.
#include "engine/gui/text_wrap.h"
#include "game/core/game_ports.h"
#include "game/screens/menu_zone.h"

namespace game {

// Game types as the profile keeps them.
inline constexpr int kGameTypeCampaign = 0;
inline constexpr int kGameTypePassAndPlay = 1;
inline constexpr int kGameTypeSkirmish = 2;

// Main menu control ids.
inline constexpr int kMainLoad = 28;
inline constexpr int kMainPlay = 23;
inline constexpr int kMainSettings = 24;
inline constexpr int kMainAchievements = 29;
inline constexpr int kMainCredits = 25;
inline constexpr int kMainQuit = 27;

// Game type control ids.
inline constexpr int kTypeCampaign = 76;
inline constexpr int kTypePassAndPlay = 77;
inline constexpr int kTypeSkirmish = 78;
inline constexpr int kTypeBack = 80;
inline constexpr int kTypeStart = 79;

// The campaign tried when the profile's one cannot be loaded.
inline constexpr const char* kFallbackCampaign = "standard";

class MainMenuZone final : public MenuZone {
public:
    explicit MainMenuZone(ScreenServices& services);
    // The HUD slides out on every show and hide.
    int OnShow(bool shown) override;

protected:
    // The version in the tiny font at the bottom-right corner.
    void DrawMenuContents(ZoneWindow& window) override;
};

class GameTypeZone final : public MenuZone {
public:
    explicit GameTypeZone(ScreenServices& services);
    // On show, takes the profile's choice (anything outside 0..2 reads as the campaign).
    int OnShow(bool shown) override;

    int GetSelection() const { return selection_; }
    const engine::TextWrap& GetDescription() const { return description_; }
    // Selects the type, describes it and stores it in the profile.
    void Select(int type);
    // Start: the campaign map with the profile's campaign (or the fallback), or the setup of the type.
    void Start();

protected:
    bool IsHighlighted(int controlId) const override;
    // The description panel: its lines, then its frame.
    void DrawMenuContents(ZoneWindow& window) override;

private:
    int selection_ = kGameTypeCampaign;
    engine::TextWrap description_;
};

// Registers the main menu and the game type screen.
void RegisterMainMenuZones(ZoneRegistry& registry);

}  // namespace game
