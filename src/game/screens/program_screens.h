#pragma once
// The program's screens: the services over the engine's "Main RT", timer and texture table and the game's
// string table, the zone registry with the zones built so far, and the game's screens service. The game
// object is attached once it exists, and the screens service (with the banner sized to the screen) is made
// then; the zones are made in the game's start-up state, with the fonts start-up has just loaded. The
// profile, the sound bank and the achievements are the game core's, told before the game exists.
#include <memory>

#include "game/core/player_ports.h"
#include "game/core/program_entry.h"
#include "game/core/headless_ports.h"
#include "game/screens/achievements_zone.h"
#include "game/screens/game_screens.h"
#include "game/screens/move_choice_zone.h"
#include "game/screens/profile_view.h"

namespace game {

class StringTable;

// Texts from the game's string table, looked up when asked.
class StringTableTexts final : public ScreenTexts {
public:
    engine::WideString Lookup(const char* key) const override;
    engine::WideString LookupCampaign(const char* key) const override;
};

// The move-choice zone as the order handling sees it. The zone is looked up on each call, so the port
// works before the zones exist (nothing shown, nothing chosen) and after they are made.
class ZoneMoveChoice final : public MoveChoicePort {
public:
    explicit ZoneMoveChoice(const ZoneRegistry& zones) : zones_(zones) {}
    bool IsShown() const override;
    void SetShown(bool shown, bool exclusive) override;
    void OpenAt(int x, int y) override;
    void AddChoice(int value) override;
    int GetChoice() const override;

private:
    MoveChoiceZone* Find() const;
    const ZoneRegistry& zones_;
};

class GameResources;
class GameSoundBank;

// The game's sound bank as the screens use it: interface sounds, the two volumes and the speech packs.
class BankScreenSound final : public ScreenSound {
public:
    explicit BankScreenSound(GameSoundBank& bank) : bank_(bank) {}
    void PlayUiSound(int id) override;
    int GetMusicVolumePercent() const override;
    int GetEffectsVolumePercent() const override;
    void SetMusicVolume(int percent) override;
    void SetEffectsVolume(int percent) override;
    void SetSpeechPack(int side, const std::string& pack) override;

private:
    GameSoundBank& bank_;
};

class RunningScreens final : public ProgramScreens {
public:
    // The services over the platform's screen and the engine; null target and timer without an engine.
    explicit RunningScreens(GamePlatform& platform);
    ~RunningScreens() override;

    void AttachGame(Game& game) override;
    void AttachCoreServices(CoreServices& core) override;
    // Takes the fonts start-up loaded, then makes the zones.
    bool CreateZones() override;
    MoveChoicePort* GetMoveChoice() override { return moveChoice_.get(); }

    void OpenZone(int type, int originX, int originY) override { Active().OpenZone(type, originX, originY); }
    void ShowCampaignMap() override { Active().ShowCampaignMap(); }
    void ShowTurnPanels() override { Active().ShowTurnPanels(); }
    void SlideOutTurnPanels() override { Active().SlideOutTurnPanels(); }
    void ToggleTurnPanels() override { Active().ToggleTurnPanels(); }
    void HideAllDialogs() override { Active().HideAllDialogs(); }
    void SelectMap(const std::string& folder) override { Active().SelectMap(folder); }
    void OpenWin(int medal, int margin, const std::string& record) override {
        Active().OpenWin(medal, margin, record);
    }
    void OpenLose() override { Active().OpenLose(); }
    void OpenPassAndPlayResult() override { Active().OpenPassAndPlayResult(); }
    void ShowBanner(const engine::WideString& text, float seconds) override { Active().ShowBanner(text, seconds); }
    bool IsBannerShowing() const override { return Active().IsBannerShowing(); }
    void HideBanner() override { Active().HideBanner(); }
    void DrawBanner() override { Active().DrawBanner(); }
    void SetPanelUnit(Unit* unit) override { Active().SetPanelUnit(unit); }
    Unit* GetPanelUnit() const override { return Active().GetPanelUnit(); }
    void DrawUnitPanel() override { Active().DrawUnitPanel(); }
    void RefreshCash() override { Active().RefreshCash(); }
    void OnTurnStart() override { Active().OnTurnStart(); }

    ScreenServices& Services() { return services_; }
    ZoneRegistry& Zones() { return *zones_; }

private:
    // The game's screens once the game is attached; until then calls go nowhere.
    Screens& Active() { return screens_ != nullptr ? static_cast<Screens&>(*screens_) : idle_; }
    const Screens& Active() const { return screens_ != nullptr ? static_cast<const Screens&>(*screens_) : idle_; }

    GamePlatform& platform_;
    TableTextureLoader textures_;
    StringTableTexts texts_;
    ScreenServices services_;
    std::unique_ptr<GameScreenHost> host_;
    std::unique_ptr<ZoneRegistry> zones_;
    std::unique_ptr<GameScreens> screens_;
    std::unique_ptr<ZoneMoveChoice> moveChoice_;
    std::unique_ptr<ProfileView> profile_;
    std::unique_ptr<AchievementListView> achievements_;
    std::unique_ptr<BankScreenSound> sound_;
    const GameResources* resources_ = nullptr;
    NoScreens idle_;
};

// The program's screens over the platform (ProgramHooks::makeScreens).
std::unique_ptr<ProgramScreens> MakeProgramScreens(GamePlatform& platform);

}  // namespace game
