#pragma once
// What the screens reach outside themselves, each as a narrow interface: the game object, the string table,
// the sound bank, the profile and the texture loader, with the fonts, the "Main RT" target, the frame timer
// and the six GUI sheets. The program wires the game's own objects in (game_screens.h); tests put fakes here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "engine/core/wide_string.h"
#include "game/screens/picture_shelf.h"

namespace engine {
class BitmapFont;
class FrameTimer;
class RenderTargetBase;
}  // namespace engine

namespace game {

struct AchievementEntry;
class BattleContext;
class CampaignInfo;
class Structure;
class TeamManager;
class ZoneRegistry;

// The game object as the screens see it.
class ScreenGame {
public:
    virtual ~ScreenGame() = default;
    virtual int GetState() const = 0;
    virtual void SetState(int state) = 0;
    virtual bool IsModalOpen() const = 0;
    virtual void SetModalOpen(bool open) = 0;
    virtual int GetGameMode() const = 0;
    virtual bool IsFastForward() const = 0;
    virtual void StartFastForward() = 0;
    virtual void RequestQuit() = 0;
    // The texture handle of the menu picture; 0 when there is none.
    virtual std::uint32_t GetMenuPicture() const = 0;
    virtual CampaignInfo* GetCampaign() const = 0;
    virtual int GetEndCondition() const = 0;
    virtual Structure* GetPickedStructure() const = 0;
    virtual Structure* GetShopStructure() const = 0;
    // Null outside a battle.
    virtual TeamManager* GetTeamManager() const = 0;
    // The battle that display units are made for; null outside a battle.
    virtual BattleContext* GetBattle() = 0;
    // True in a survival mission of the campaign, with the mission's survivor turns.
    virtual bool GetSurvival(int& survivorTurns) const = 0;
    // The medal still reachable (1 gold, 2 silver, 3 bronze, 4 none) and the turns left for it.
    virtual int GetMedalProgress(int& turnsLeft) const = 0;
    virtual int GetScreenWidth() const = 0;
    virtual int GetScreenHeight() const = 0;
    // The settings screen: the lighting quality of the option bits taken at once, and the display mode.
    virtual void ApplyLightingQuality() = 0;
    virtual bool IsFullScreen() const = 0;
    // Switches between window and full screen and writes the settings file.
    virtual void SwitchDisplayModeAndSave() = 0;
    // Loads the campaign of the folder name under "Campaigns" unless it is current; false when it fails.
    virtual bool SelectCampaign(const std::string& name) = 0;
    // The group stamped on resources made from now on; returns the previous one.
    virtual int SetResourceGroup(int group) = 0;
    // Frees every resource of the group.
    virtual void PurgeResourceGroup(int group) = 0;
    // The selected campaign mission's description text; empty without a campaign.
    virtual engine::WideString GetMissionDescription() const = 0;
    // The stored result (medal 1..4, second value) of the selected campaign mission; false when there is none.
    virtual bool GetStoredResult(int& medal, int& margin) const = 0;
    // The turn announcer as the comic uses it: reset (showing for its full time with no walker and no
    // caption), hidden, and drawn over the comic's backdrop.
    virtual void ResetAnnouncer() = 0;
    virtual void HideAnnouncer() = 0;
    virtual void DrawAnnouncer() = 0;
    // Restarts the frame timer's clocks: the frame after it starts from now.
    virtual void ResetClock() = 0;
};

// Texts by key.
class ScreenTexts {
public:
    virtual ~ScreenTexts() = default;
    virtual engine::WideString Lookup(const char* key) const = 0;
    // The text of a key in the current campaign's own table only.
    virtual engine::WideString LookupCampaign(const char* key) const { return Lookup(key); }
};

// UI sounds.
inline constexpr int kUiClick = 0;
inline constexpr int kUiZoomOpen = 2;
inline constexpr int kUiTextPopup = 4;
inline constexpr int kUiFail = 6;
inline constexpr int kUiSwish = 7;

// The sound bank's UI side: its sounds, the two volumes (0..100) and the speech packs of the sides.
class ScreenSound {
public:
    virtual ~ScreenSound() = default;
    virtual void PlayUiSound(int id) = 0;
    virtual int GetMusicVolumePercent() const = 0;
    virtual int GetEffectsVolumePercent() const = 0;
    virtual void SetMusicVolume(int percent) = 0;
    virtual void SetEffectsVolume(int percent) = 0;
    virtual void SetSpeechPack(int side, const std::string& pack) = 0;
};

// The three 8-bit texts of a save slot as they stand in the profile, each a field of fixed size that may or
// may not hold a terminating zero.
struct SaveSlotTexts {
    bool inUse = false;
    std::span<const char> description;
    std::span<const char> title;
    std::span<const char> date;
};

// Option bit of the profile that lets the banner show between turns (the upkeep bit is the level's,
// kOptionUpkeeps of turn_start_queue.h).
inline constexpr std::uint32_t kOptionMissionIntros = 0x20;

class ScreenProfile {
public:
    virtual ~ScreenProfile() = default;
    virtual std::uint32_t GetOptionFlags() const = 0;
    virtual void SetOptionFlags(std::uint32_t flags) = 0;
    // Slot 0..3; a slot outside that range is not in use.
    virtual SaveSlotTexts GetSlotTexts(int slot) const = 0;
    // Starts writing the profile.
    virtual void Save() = 0;
    // The speech pack folder of a side (1 allied, 0 enemy).
    virtual std::string GetSpeechPackName(int side) const = 0;
    virtual void SetSpeechPackName(int side, const std::string& name) = 0;
    virtual void SaveGameToSlot(int slot) = 0;
    // False when the slot is not in use or its game does not load.
    virtual bool LoadGameFromSlot(int slot) = 0;
    // 0 easy, 1 medium, 2 hard, 3 silly.
    virtual int GetDifficulty() const = 0;
    virtual void SetDifficulty(int difficulty) = 0;
    virtual std::string GetCurrentCampaignName() const = 0;
    virtual void SetCurrentCampaignName(const std::string& name) = 0;
    // The game type picked last: 0 campaign, 1 pass-and-play, 2 skirmish (the stored value, unchecked).
    virtual int GetGameType() const = 0;
    virtual void SetGameType(int type) = 0;
    // The map folder skirmish and pass-and-play start on.
    virtual std::string GetDefaultMap() const = 0;
    virtual void SetDefaultMap(const std::string& folder) = 0;
    // Starting cash of the blue side and of the second side, then their bonus cash per turn.
    virtual std::array<int, 4> GetMatchOptions() const = 0;
    virtual void SetMatchOptions(const std::array<int, 4>& options) = 0;
    virtual void MarkDirty() = 0;
};

// The achievements as the screens list them (ids 0..15).
class ScreenAchievements {
public:
    virtual ~ScreenAchievements() = default;
    virtual bool IsEarned(int id) const = 0;
    // The number earned among all ids and the sum of their points.
    virtual int CountEarned(int& points) const = 0;
    virtual const AchievementEntry& GetEntry(int id) const = 0;
    // The icon sheet; 0 when there is none.
    virtual std::uint32_t GetIconTexture() const = 0;
    virtual void Unlock(int id) = 0;
};

// Loads and releases the screens' textures by name. The game's one goes to the texture table; tests count.
class TextureLoader {
public:
    virtual ~TextureLoader() = default;
    // The handle, 0 when the texture does not load.
    virtual std::uint32_t Load(const char* name) = 0;
    // As Load, for a texture kept across levels and comics: it is made in the resource group that is never
    // purged (group 0), whatever group is current.
    virtual std::uint32_t LoadKept(const char* name) { return Load(name); }
    virtual void Release(std::uint32_t handle) = 0;
    // The texture's size in texels; false for no texture.
    virtual bool GetSize(std::uint32_t handle, int& width, int& height) const = 0;
};

// The loader over the engine's texture table.
class TableTextureLoader final : public TextureLoader {
public:
    std::uint32_t Load(const char* name) override;
    std::uint32_t LoadKept(const char* name) override;
    void Release(std::uint32_t handle) override;
    bool GetSize(std::uint32_t handle, int& width, int& height) const override;
};

// Fonts by what they are used for, named by their files in the comments.
enum class FontId : int {
    kTiny = 0,   // "Common/TinyFont"
    kMain,       // "Common/MainFont"
    kLarge,      // "Common/LargeFont"
    kMed,        // "Common/MedFont"
    kTitle,      // "Common/TitleFont"
    kEpic,       // "Common/EpicFont"
    kComic,      // "Common/Comic"
    kCount,
};

// The six shared GUI sheets, in the order CreateZones loads them.
enum ArtId : int {
    kArtIngameUi = 0,  // "GUI/ingameUi"
    kArtUiBits,        // "GUI/uibits2"
    kArtButtonBits,    // "GUI/ButtonBits"
    kArtZoomer,        // "GUI/Zoomer"
    kArtChoiceBack,    // "GUI/ChoiceBack"
    kArtCampaignBack,  // "GUI/CampaignBack"
    kArtCount,
};
const char* ArtFileName(int art);

// Notified of every text a screen draws, before the font draws it (a draw log or a capture may listen).
class TextObserver {
public:
    virtual ~TextObserver() = default;
    virtual void OnText(FontId font, const engine::WideString& text, int x, int y, int alignment) = 0;
};

// Everything a zone draws with and calls. The pointers are borrowed; the art handles are filled by
// ZoneRegistry::CreateZones.
struct ScreenServices {
    ScreenGame* game = nullptr;
    ScreenTexts* strings = nullptr;
    ScreenSound* sound = nullptr;
    ScreenProfile* profile = nullptr;
    TextureLoader* textures = nullptr;
    engine::RenderTargetBase* target = nullptr;
    const engine::FrameTimer* timer = nullptr;
    std::array<engine::BitmapFont*, static_cast<std::size_t>(FontId::kCount)> fonts{};
    TextObserver* textObserver = nullptr;
    ScreenAchievements* achievements = nullptr;
    std::array<std::uint32_t, kArtCount> art{};
    // The pictures several screens may show together.
    PictureShelf pictures;
    ZoneRegistry* zones = nullptr;

    engine::BitmapFont* Font(FontId id) const { return fonts[static_cast<std::size_t>(id)]; }
    // The text of a key; empty without a string table.
    engine::WideString Text(const char* key) const;
    // The text of a key in the campaign's own table; empty without a string table.
    engine::WideString CampaignText(const char* key) const;
    void PlayUiSound(int id) const;
    // The real clock and the last frame's real time, in seconds; 0 without a timer.
    float ClockSeconds() const;
    float FrameSeconds() const;
    int FrameMilliseconds() const;
    int ScreenWidth() const;
    int ScreenHeight() const;
};

}  // namespace game
