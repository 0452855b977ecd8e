#pragma once
// The program's screens: the services over the engine's "Main RT", timer and texture table and the game's
// string table, the zone registry with the zones built so far, and the game's screens service. The game
// object is attached once it exists; its zones are made in its start-up state.
//
// Still stand-ins here: the fonts (none until the game loads its fonts, so no text is drawn), the UI sounds
// and the profile's option bits and save slots (no sound bank or profile with them yet).
#include <memory>

#include "game/core/program_entry.h"
#include "game/screens/game_screens.h"

namespace game {

class StringTable;

// Texts from the game's string table, looked up when asked.
class StringTableTexts final : public ScreenTexts {
public:
    engine::WideString Lookup(const char* key) const override;
};

class RunningScreens final : public ProgramScreens {
public:
    // The services over the platform's screen and the engine; null target and timer without an engine.
    explicit RunningScreens(GamePlatform& platform);
    ~RunningScreens() override;

    void AttachGame(Game& game) override;
    bool CreateZones() override;

    void OpenZone(int type, int originX, int originY) override { screens_->OpenZone(type, originX, originY); }
    void ShowCampaignMap() override { screens_->ShowCampaignMap(); }
    void ShowTurnPanels() override { screens_->ShowTurnPanels(); }
    void SlideOutTurnPanels() override { screens_->SlideOutTurnPanels(); }
    void ToggleTurnPanels() override { screens_->ToggleTurnPanels(); }
    void HideAllDialogs() override { screens_->HideAllDialogs(); }
    void SelectMap(const std::string& folder) override { screens_->SelectMap(folder); }
    void OpenWin(int medal, int margin, const std::string& record) override {
        screens_->OpenWin(medal, margin, record);
    }
    void OpenLose() override { screens_->OpenLose(); }
    void OpenPassAndPlayResult() override { screens_->OpenPassAndPlayResult(); }
    void ShowBanner(const engine::WideString& text, float seconds) override { screens_->ShowBanner(text, seconds); }
    bool IsBannerShowing() const override { return screens_->IsBannerShowing(); }
    void HideBanner() override { screens_->HideBanner(); }
    void DrawBanner() override { screens_->DrawBanner(); }
    void SetPanelUnit(Unit* unit) override { screens_->SetPanelUnit(unit); }
    Unit* GetPanelUnit() const override { return screens_->GetPanelUnit(); }
    void DrawUnitPanel() override { screens_->DrawUnitPanel(); }
    void RefreshCash() override { screens_->RefreshCash(); }
    void OnTurnStart() override { screens_->OnTurnStart(); }

    ScreenServices& Services() { return services_; }
    ZoneRegistry& Zones() { return *zones_; }

private:
    GamePlatform& platform_;
    TableTextureLoader textures_;
    StringTableTexts texts_;
    ScreenServices services_;
    std::unique_ptr<GameScreenHost> host_;
    std::unique_ptr<ZoneRegistry> zones_;
    std::unique_ptr<GameScreens> screens_;
};

// The program's screens over the platform (ProgramHooks::makeScreens).
std::unique_ptr<ProgramScreens> MakeProgramScreens(GamePlatform& platform);

}  // namespace game
