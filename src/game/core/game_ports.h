#pragma once
// What the game object calls of the services that come later (profile and save slots, achievements, the
// sound bank, the turn announcer, campaigns) and of the screens and the HUD. Each is a narrow interface; the
// program fills them with its services, headless_ports.h has ones that do nothing, and the tests drive the
// game through recording fakes. The battle camera's and the mission script's seams live with the level.
#include <array>
#include <cstdint>
#include <string>

#include "engine/core/vector.h"
#include "engine/core/wide_string.h"
#include "game/battle/hex_coord.h"
#include "game/level/camera_controller.h"
#include "game/level/script_port.h"

namespace game {

class Unit;

// Results of Profile::Poll.
inline constexpr int kProfileIdle = 1;
inline constexpr int kProfileNoFile = 4;
// The autosave slot, written at the start of every human turn.
inline constexpr int kAutosaveSlot = 3;

class Profile {
public:
    virtual ~Profile() = default;
    virtual void StartLoad() = 0;
    // kProfileIdle once settled; kProfileNoFile when the defaults were set for a missing file.
    virtual int Poll() = 0;
    // Writes the profile when it has unsaved changes.
    virtual void Save() = 0;
    virtual bool GetStartCountStop() const = 0;
    virtual int GetStartCount() const = 0;
    virtual void SetStartCount(int count) = 0;
    virtual std::string GetDefaultMapFolder() const = 0;
    virtual std::string GetSpeechPack(int side) const = 0;
    virtual int GetGraphicsLevel() const = 0;
    virtual std::uint32_t GetOptionBits() const = 0;
    virtual void SetCurrentCampaign(const std::string& name) = 0;
    virtual bool IsSlotInUse(int slot) const = 0;
    virtual void ClearSlot(int slot) = 0;
    virtual void SaveGameToSlot(int slot) = 0;
    // Resumes the saved game (entering state 7 itself); false when it cannot.
    virtual bool LoadGameFromSlot(int slot) = 0;
    // The skirmish-win counter after one more win.
    virtual int AddSkirmishWin() = 0;
    // Start cash of the two sides, then their per-turn bonuses.
    virtual std::array<int, 4> GetMatchOptions() const = 0;
    virtual int GetDifficulty() const = 0;
    virtual std::uint32_t GetTotalIncome() const = 0;
    virtual void AddTotalIncome(int amount) = 0;
    virtual int AddKill() = 0;
    virtual int AddSniperKill() = 0;
};

class Achievements {
public:
    virtual ~Achievements() = default;
    virtual void LoadTexts() = 0;
    virtual void Unlock(int achievement) = 0;
    virtual void DrawPopup() = 0;
};

class SoundBank {
public:
    virtual ~SoundBank() = default;
    virtual void PlayMusic(int track) = 0;
    virtual void StopMusic() = 0;
    // A set flag stops every playing stream.
    virtual void StopStreams(bool stop) = 0;
    virtual void LoadSpeechPack(int side, const std::string& pack) = 0;
    virtual void PlaySound(int sound) = 0;
    // A sound of the interface bank ("Sound\\fail" is 6).
    // The voice playing it; 0 when nothing plays.
    virtual std::uint32_t PlayUiSound(int index) = 0;
    virtual int StartLoop(int sound) = 0;
    virtual void StopLoop(int handle, float fadeSeconds) = 0;
    virtual void PlaySpeech(int teamKind, int cue) = 0;
};

class Announcer {
public:
    virtual ~Announcer() = default;
    virtual void Show(const engine::WideString& text, int computerFlag) = 0;
    virtual bool IsShowing() const = 0;
    virtual void Hide() = 0;
    // Shows again for the full time with no walker and no caption (a comic starting).
    virtual void Reset() = 0;
    virtual void Draw() = 0;
};

class CampaignInfo {
public:
    virtual ~CampaignInfo() = default;
    // Loads "Campaigns\<name>"; false when it does not load.
    virtual bool Load(const std::string& path) = 0;
    virtual std::string GetListedName() const = 0;
    // The selected mission's level folder; empty when no mission is selected.
    virtual std::string GetSelectedMissionFolder() const = 0;
    virtual HexCoord GetSelectedStartTile() const = 0;
    virtual bool IsLastMissionSelected() const = 0;
    virtual bool AllMissionsGold(int difficulty) const = 0;
    // The medal (1 gold .. 3 bronze) and margin of the finished mission.
    virtual int GetFinishedMedal() const = 0;
    virtual int GetFinishedMargin() const = 0;
    // Stores the result; true when another mission follows.
    virtual bool RecordResult(int medal, int margin) = 0;
    virtual std::string GetSelectedMissionRecord() const = 0;
    virtual std::pair<int, int> GetStartCash() const = 0;
    // What a saved game keeps of the campaign and selects again when it is resumed.
    // "Campaigns\<name>".
    virtual std::string GetFolder() const { return {}; }
    virtual int GetMissionCount() const { return 0; }
    virtual int GetSelectedMissionIndex() const { return -1; }
    // The selected mission's name text (a saved game's title).
    virtual std::string GetSelectedMissionName() const { return {}; }
    virtual void SelectMission(int) {}
    // True when every mission has a result at the difficulty.
    virtual bool IsCompletedAtDifficulty(int) const { return false; }
    // The campaign map screen: restart its clock and select the first unfinished mission, and one frame of
    // its input and drawing.
    virtual void ResetMapScreen() {}
    virtual void DrawMapScreen() {}
};

// Zone types the game opens.
inline constexpr int kZoneAirportShop = 4;
inline constexpr int kZoneBarracksShop = 5;
inline constexpr int kZoneFactoryShop = 6;
inline constexpr int kZoneDockyardShop = 7;
inline constexpr int kZoneMainMenu = 8;
inline constexpr int kZoneCredits = 14;
inline constexpr int kZoneGameType = 23;
inline constexpr int kZonePassAndPlaySetup = 24;
inline constexpr int kZoneSkirmishSetup = 25;

// The screens and the HUD panels as the game object drives them.
class Screens {
public:
    virtual ~Screens() = default;
    // Makes every zone and loads the GUI sheets, once at start-up; false when a zone cannot be made.
    virtual bool CreateZones() { return true; }
    virtual void OpenZone(int type, int originX, int originY) = 0;
    virtual void ShowCampaignMap() = 0;
    virtual void ShowTurnPanels() = 0;
    virtual void SlideOutTurnPanels() = 0;
    virtual void ToggleTurnPanels() = 0;
    virtual void HideAllDialogs() = 0;
    virtual void SelectMap(const std::string& folder) = 0;
    virtual void OpenWin(int medal, int margin, const std::string& missionRecord) = 0;
    virtual void OpenLose() = 0;
    virtual void OpenPassAndPlayResult() = 0;
    // The message banner.
    virtual void ShowBanner(const engine::WideString& text, float seconds) = 0;
    virtual bool IsBannerShowing() const = 0;
    virtual void HideBanner() = 0;
    virtual void DrawBanner() = 0;
    // The unit panel.
    virtual void SetPanelUnit(Unit* unit) = 0;
    virtual Unit* GetPanelUnit() const = 0;
    virtual void DrawUnitPanel() = 0;
    virtual void RefreshCash() = 0;
    virtual void OnTurnStart() = 0;
};

}  // namespace game
