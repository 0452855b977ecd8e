#pragma once
// The player's profile: everything the game remembers between runs, kept in one fixed record of 73356
// bytes (version 4) that is the payload of the engine's "savedata" blob. The record is edited in place by
// field offsets (little-endian, no struct overlay); every setter marks it dirty and Save writes it only
// then. Four saved games live in the record; slot 3 is the autosave of every human turn.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/core/game_ports.h"
#include "game/level/game_slot.h"

namespace engine {
class SaveBlob;
class SaveStoreBase;
}  // namespace engine

namespace game {

class Game;

// Profile states (what Poll returns).
inline constexpr int kProfileCreated = 0;
inline constexpr int kProfileSaving = 2;
inline constexpr int kProfileLoading = 3;
inline constexpr int kProfileDamaged = 5;

inline constexpr int kProfileRecordSize = 73356;
inline constexpr std::uint32_t kProfileVersion = 4;
inline constexpr int kProfileSlots = 4;
inline constexpr int kCampaignEntries = 4;
inline constexpr int kCampaignMissions = 20;

// The option bit that silences speech (the others are named where they are read).
inline constexpr std::uint32_t kOptionSpeechOff = 0x04;

inline constexpr const char* kDefaultMapFolder = "Campaigns\\Skirmish\\CloseQuarters";
inline constexpr const char* kDefaultCampaignName = "Standard";
inline constexpr const char* kDefaultEnemyPack = "Pack1";
inline constexpr const char* kDefaultPlayerPack = "Standard";

// One mission's stored result: the medal (0 none) and the margin.
struct MissionResult {
    int value = 0;
    int second = 0;
};

class PlayerProfile final : public Profile {
public:
    PlayerProfile(engine::SaveBlob& blob, engine::SaveStoreBase& store);
    ~PlayerProfile() override;
    PlayerProfile(const PlayerProfile&) = delete;
    PlayerProfile& operator=(const PlayerProfile&) = delete;

    // The game whose battle the slot operations save and resume; null: none.
    void AttachGame(Game* game) { game_ = game; }
    // Called with the stored effects and music volumes once a load has settled (the sound bank applies them).
    void SetVolumeListener(std::function<void(int effects, int music)> listener) { volumes_ = std::move(listener); }
    // The map picker's title of a map folder, for the title of a saved skirmish or pass-and-play game; by
    // default the folder's last component.
    void SetMapTitleLookup(std::function<std::string(const std::string&)> lookup) { mapTitle_ = std::move(lookup); }

    // --- Lifecycle -----------------------------------------------------------------------------------------
    // Sets up the blob, loads the file and upgrades a record of an older version.
    void StartLoad() override;
    int Poll() override;
    void Save() override;
    void ResetDefaults();
    void MarkDirty() { dirty_ = true; }
    bool IsDirty() const { return dirty_; }
    int GetState() const { return state_; }
    // The whole record (kProfileRecordSize bytes).
    std::uint8_t* GetData();
    const std::uint8_t* GetData() const;

    // --- Fields --------------------------------------------------------------------------------------------
    int GetMusicVolume() const;
    int GetEffectsVolume() const;
    void SetMusicVolume(int volume);
    void SetEffectsVolume(int volume);
    std::uint32_t GetOptionFlags() const;
    void SetOptionFlags(std::uint32_t flags);
    std::array<int, 4> GetMatchOptions() const override;
    void SetMatchOptions(const std::array<int, 4>& options);
    int GetGraphicsLevel() const override;
    int GetDifficulty() const override;
    void SetDifficulty(int difficulty);
    int GetGameType() const;
    void SetGameType(int type);
    std::uint32_t GetTotalIncome() const override;
    void AddTotalIncome(int amount) override;
    int GetSkirmishWins() const;
    int IncSkirmishWins();
    int GetSniperKills() const;
    int IncSniperKills();
    int GetKills() const;
    int IncKills();
    std::uint32_t GetEarnedMaskLow() const;
    std::uint32_t GetEarnedMaskHigh() const;
    void SetEarnedMaskLow(std::uint32_t mask);
    void SetEarnedMaskHigh(std::uint32_t mask);
    bool GetStartCountStop() const override;
    int GetStartCount() const override;
    void SetStartCount(int count) override;
    // The stored folder, or the default when the stored one is absolute or climbs out with "..".
    std::string GetDefaultMapName() const;
    void SetDefaultMapName(const std::string& folder);
    // The stored name, or "Standard" when it is absolute or holds "..".
    std::string GetCurrentCampaignName() const;
    void SetCurrentCampaignName(const std::string& name);
    // Side 0 the enemy's pack, side 1 the player's sides'.
    std::string GetSpeechPackName(int side) const;
    void SetSpeechPackName(int side, const std::string& name);

    // --- Campaign progress -----------------------------------------------------------------------------------
    // Index of the current campaign's entry; with claim, the first free entry is taken (name copied in,
    // results zeroed) when no entry holds the name. -1 when none is found or all four hold other names.
    int FindCampaignEntry(bool claim);
    // The stored result of a mission at a difficulty in the current campaign's entry; zeros when none.
    MissionResult GetMissionResult(int difficulty, int mission) const;
    // Writes the pair at the current difficulty; nothing when no entry can be had.
    void SetMissionResult(int mission, int value, int second);

    // --- Saved games -------------------------------------------------------------------------------------------
    bool IsSlotInUse(int slot) const override;
    void ClearSlot(int slot) override;
    // The slot's fields, checked one by one; false when the slot is out of range or any field fails.
    bool ReadGameSlot(int slot, GameSlot& out) const;
    // The slot's raw record (kSlotRecordSize bytes) as stored; null for a slot outside 0..3.
    const std::uint8_t* GetSlotBytes(int slot) const;
    void WriteGameSlot(int slot, const GameSlot& in);
    void SaveGameToSlot(int slot) override;
    bool LoadGameFromSlot(int slot) override;

    // --- The rest of the game's interface ----------------------------------------------------------------------
    std::string GetDefaultMapFolder() const override { return GetDefaultMapName(); }
    std::string GetSpeechPack(int side) const override { return GetSpeechPackName(side); }
    std::uint32_t GetOptionBits() const override { return GetOptionFlags(); }
    void SetCurrentCampaign(const std::string& name) override { SetCurrentCampaignName(name); }
    int AddSkirmishWin() override { return IncSkirmishWins(); }
    int AddKill() override { return IncKills(); }
    int AddSniperKill() override { return IncSniperKills(); }

private:
    std::int32_t GetInt(std::size_t offset) const;
    void SetInt(std::size_t offset, std::int32_t value);
    std::string GetText(std::size_t offset, std::size_t size) const;
    void SetText(std::size_t offset, std::size_t size, const std::string& text);
    // Carries what an older record may keep into a fresh one of the defaults.
    void Upgrade();
    void ApplyVolumes();
    std::string MapTitle(const std::string& folder) const;
    // Clears the slot and writes the profile; false, for the callers' return.
    bool RefuseSlot(int slot);

    engine::SaveBlob& blob_;
    engine::SaveStoreBase& store_;
    Game* game_ = nullptr;
    std::function<void(int, int)> volumes_;
    std::function<std::string(const std::string&)> mapTitle_;
    // The record while the blob has no buffer (memory ran out).
    std::vector<std::uint8_t> fallback_;
    int state_ = kProfileCreated;
    // Damaged loads in a row; the second gives the defaults.
    int damagedLoads_ = 0;
    bool dirty_ = false;
};

}  // namespace game
