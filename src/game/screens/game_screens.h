#pragma once
// The screens as the game object drives them (game::Screens of game_ports.h): zones opened by zone type,
// the HUD panels, the message banner and the unit panel. Also the game object as the screens see it, and the
// registration of the zones built so far.
#include <string>

#include "game/core/game_ports.h"
#include "game/screens/message_banner.h"
#include "game/screens/screen_services.h"
#include "game/screens/unit_panel.h"
#include "game/screens/zone_registry.h"

namespace game {

class Game;
class GamePlatform;
class MoveChoiceZone;

// What the later screens offer the game. The map picker, the result screens and the campaign map implement
// these next to their zone class; the game's calls find them through the registry.
class MapPickerSeam {
public:
    virtual ~MapPickerSeam() = default;
    virtual void SelectMap(const std::string& folder) = 0;
};
class WinScreenSeam {
public:
    virtual ~WinScreenSeam() = default;
    virtual void OpenWin(int medal, int margin, const std::string& missionRecord) = 0;
};
class ResultScreenSeam {
public:
    virtual ~ResultScreenSeam() = default;
    // Opens the lose screen or the pass-and-play result from (0, 0).
    virtual void OpenResult() = 0;
};

// The zone that shows a zone type; kCount for a type no zone shows.
ZoneId ZoneForType(int type);

// Registers the zones this library builds: top bar, turn buttons, shop and move-choice menu.
void RegisterHudAndShopZones(ZoneRegistry& registry);
// Registers the settings, save and load, campaign and information screens built so far.
void RegisterMenuInfoZones(ZoneRegistry& registry);

class GameScreens final : public Screens {
public:
    explicit GameScreens(ZoneRegistry& zones);

    void OpenZone(int type, int originX, int originY) override;
    void ShowCampaignMap() override;
    void ShowTurnPanels() override;
    void SlideOutTurnPanels() override;
    void ToggleTurnPanels() override;
    void HideAllDialogs() override;
    void SelectMap(const std::string& folder) override;
    void OpenWin(int medal, int margin, const std::string& missionRecord) override;
    void OpenLose() override;
    void OpenPassAndPlayResult() override;
    void ShowBanner(const engine::WideString& text, float seconds) override;
    bool IsBannerShowing() const override { return banner_.IsShowing(); }
    void HideBanner() override { banner_.Hide(); }
    void DrawBanner() override { banner_.Draw(); }
    void SetPanelUnit(Unit* unit) override { panel_.SetUnit(unit); }
    Unit* GetPanelUnit() const override { return panel_.GetUnit(); }
    void DrawUnitPanel() override { panel_.Draw(); }
    void RefreshCash() override;
    void OnTurnStart() override;

    MessageBanner& GetMessageBanner() { return banner_; }
    UnitPanel& GetUnitPanel() { return panel_; }
    // The move-choice menu for the game's order handling; null when it does not exist.
    MoveChoiceZone* GetMoveChoice() const;

private:
    ZoneRegistry& zones_;
    MessageBanner banner_;
    UnitPanel panel_;
};

// The game object as the screens see it.
class GameScreenHost final : public ScreenGame {
public:
    GameScreenHost(Game& game, GamePlatform& platform) : game_(game), platform_(platform) {}

    int GetState() const override;
    void SetState(int state) override;
    bool IsModalOpen() const override;
    void SetModalOpen(bool open) override;
    int GetGameMode() const override;
    bool IsFastForward() const override;
    void StartFastForward() override;
    void RequestQuit() override;
    std::uint32_t GetMenuPicture() const override { return menuPicture_; }
    CampaignInfo* GetCampaign() const override;
    int GetEndCondition() const override;
    Structure* GetPickedStructure() const override;
    Structure* GetShopStructure() const override;
    TeamManager* GetTeamManager() const override;
    BattleContext* GetBattle() override;
    bool GetSurvival(int& survivorTurns) const override;
    // The campaign does not report the medal in reach yet: none, with no turns.
    int GetMedalProgress(int& turnsLeft) const override;
    int GetScreenWidth() const override;
    int GetScreenHeight() const override;
    void ApplyLightingQuality() override;
    bool IsFullScreen() const override;
    void SwitchDisplayModeAndSave() override;
    bool SelectCampaign(const std::string& name) override;
    int SetResourceGroup(int group) override;
    void PurgeResourceGroup(int group) override;
    engine::WideString GetMissionDescription() const override;
    bool GetStoredResult(int& medal, int& margin) const override;
    void ResetAnnouncer() override;
    void HideAnnouncer() override;
    void DrawAnnouncer() override;
    void ResetClock() override;

    void SetMenuPicture(std::uint32_t handle) { menuPicture_ = handle; }

private:
    Game& game_;
    GamePlatform& platform_;
    std::uint32_t menuPicture_ = 0;
};

}  // namespace game
