#pragma once
// The game's profile as the screens see it: option bits, the three texts of each save slot straight from
// the stored record, the speech packs, saving and loading games, and the last game type, map and match
// options.
#include "game/screens/screen_services.h"

namespace game {

class PlayerProfile;

class ProfileView final : public ScreenProfile {
public:
    explicit ProfileView(PlayerProfile& profile) : profile_(profile) {}

    std::uint32_t GetOptionFlags() const override;
    void SetOptionFlags(std::uint32_t flags) override;
    // The fields as stored: a text that fills its field has no terminator.
    SaveSlotTexts GetSlotTexts(int slot) const override;
    void Save() override;
    std::string GetSpeechPackName(int side) const override;
    void SetSpeechPackName(int side, const std::string& name) override;
    void SaveGameToSlot(int slot) override;
    bool LoadGameFromSlot(int slot) override;
    int GetDifficulty() const override;
    void SetDifficulty(int difficulty) override;
    std::string GetCurrentCampaignName() const override;
    void SetCurrentCampaignName(const std::string& name) override;
    int GetGameType() const override;
    void SetGameType(int type) override;
    std::string GetDefaultMap() const override;
    void SetDefaultMap(const std::string& folder) override;
    std::array<int, 4> GetMatchOptions() const override;
    void SetMatchOptions(const std::array<int, 4>& options) override;
    void MarkDirty() override;

private:
    PlayerProfile& profile_;
};

}  // namespace game
