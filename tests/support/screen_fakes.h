#pragma once
// Fakes of what the screens call: a string table that answers "[KEY]", a sound bank that records its UI
// sounds, volumes and speech packs, a profile, a game, and a texture loader that counts loads and releases
// per name (and knows the sizes the test gives).
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/core/game_ports.h"
#include "game/screens/screen_services.h"

namespace testsupport {

class FakeStrings final : public game::ScreenTexts {
public:
    engine::WideString Lookup(const char* key) const override {
        if (auto it = texts.find(key); it != texts.end()) return engine::WideString(it->second.c_str());
        return engine::WideString((std::string("[") + key + "]").c_str());
    }
    // The campaign's table: its own texts, "No String" for the rest.
    engine::WideString LookupCampaign(const char* key) const override {
        auto it = campaignTexts.find(key);
        return engine::WideString(it != campaignTexts.end() ? it->second.c_str() : "No String");
    }
    std::map<std::string, std::string> texts;
    std::map<std::string, std::string> campaignTexts;
};

class FakeSound final : public game::ScreenSound {
public:
    void PlayUiSound(int id) override { uiSounds.push_back(id); }
    int GetMusicVolumePercent() const override { return music; }
    int GetEffectsVolumePercent() const override { return effects; }
    void SetMusicVolume(int percent) override { music = percent < 0 ? 0 : (percent > 100 ? 100 : percent); }
    void SetEffectsVolume(int percent) override { effects = percent < 0 ? 0 : (percent > 100 ? 100 : percent); }
    void SetSpeechPack(int side, const std::string& pack) override { speechPacks.emplace_back(side, pack); }

    std::vector<int> uiSounds;
    int music = 80;
    int effects = 80;
    std::vector<std::pair<int, std::string>> speechPacks;
};

class FakeProfile final : public game::ScreenProfile {
public:
    struct Slot {
        bool inUse = false;
        std::vector<char> description;
        std::vector<char> title;
        std::vector<char> date;
    };
    std::uint32_t GetOptionFlags() const override { return options; }
    void SetOptionFlags(std::uint32_t flags) override { options = flags; }
    game::SaveSlotTexts GetSlotTexts(int slot) const override {
        if (slot < 0 || slot >= 4) return {};
        const Slot& s = slots[static_cast<std::size_t>(slot)];
        return {s.inUse, s.description, s.title, s.date};
    }
    void Save() override {
        ++saves;
        dirty = false;
    }
    std::string GetSpeechPackName(int side) const override { return side == 1 ? alliedPack : enemyPack; }
    void SetSpeechPackName(int side, const std::string& name) override {
        (side == 1 ? alliedPack : enemyPack) = name;
    }
    void SaveGameToSlot(int slot) override { savedSlots.push_back(slot); }
    bool LoadGameFromSlot(int slot) override {
        loadedSlots.push_back(slot);
        return slot >= 0 && slot < 4 && slots[static_cast<std::size_t>(slot)].inUse && loadSucceeds;
    }
    int GetDifficulty() const override { return difficulty; }
    void SetDifficulty(int d) override { difficulty = d; }
    std::string GetCurrentCampaignName() const override { return campaignName; }
    void SetCurrentCampaignName(const std::string& name) override { campaignName = name; }
    int GetGameType() const override { return gameType; }
    void SetGameType(int type) override { gameType = type; }
    std::string GetDefaultMap() const override { return defaultMap; }
    void SetDefaultMap(const std::string& folder) override {
        defaultMap = folder;
        dirty = true;
    }
    std::array<int, 4> GetMatchOptions() const override { return matchOptions; }
    void SetMatchOptions(const std::array<int, 4>& options) override {
        matchOptions = options;
        dirty = true;
    }
    void MarkDirty() override { dirty = true; }

    std::uint32_t options = 0;
    std::array<Slot, 4> slots;
    int saves = 0;
    std::string alliedPack = "Standard";
    std::string enemyPack = "Pack1";
    std::vector<int> savedSlots;
    std::vector<int> loadedSlots;
    bool loadSucceeds = true;
    int difficulty = 0;
    std::string campaignName = "Standard";
    int gameType = 0;
    std::string defaultMap = "Campaigns\\Skirmish\\CloseQuarters";
    std::array<int, 4> matchOptions{100, 100, 25, 25};
    bool dirty = false;
};

class FakeGame final : public game::ScreenGame {
public:
    int GetState() const override { return state; }
    void SetState(int s) override {
        state = s;
        states.push_back(s);
        if (onState) onState(s);
    }
    bool IsModalOpen() const override { return modal; }
    void SetModalOpen(bool open) override { modal = open; }
    int GetGameMode() const override { return mode; }
    bool IsFastForward() const override { return fastForward; }
    void StartFastForward() override { fastForward = true; }
    void RequestQuit() override { quit = true; }
    std::uint32_t GetMenuPicture() const override { return menuPicture; }
    game::CampaignInfo* GetCampaign() const override { return campaign; }
    int GetEndCondition() const override { return endCondition; }
    game::Structure* GetPickedStructure() const override { return picked; }
    game::Structure* GetShopStructure() const override { return shop; }
    game::TeamManager* GetTeamManager() const override { return teams; }
    game::BattleContext* GetBattle() override { return battle; }
    bool GetSurvival(int& turns) const override {
        turns = survivorTurns;
        return survival;
    }
    int GetMedalProgress(int& turns) const override {
        turns = medalTurnsLeft;
        return medal;
    }
    int GetScreenWidth() const override { return width; }
    int GetScreenHeight() const override { return height; }
    void ApplyLightingQuality() override { ++qualityApplied; }
    bool IsFullScreen() const override { return fullScreen; }
    void SwitchDisplayModeAndSave() override {
        fullScreen = !fullScreen;
        ++displaySwitches;
    }
    // Succeeds for the names in loadable and records every call.
    bool SelectCampaign(const std::string& name) override {
        selectedCampaigns.push_back(name);
        return loadableCampaigns.count(name) != 0;
    }
    int SetResourceGroup(int group) override {
        const int previous = resourceGroup;
        resourceGroup = group;
        return previous;
    }
    void PurgeResourceGroup(int group) override { purgedGroups.push_back(group); }
    engine::WideString GetMissionDescription() const override {
        return engine::WideString(missionDescription.c_str());
    }
    bool GetStoredResult(int& medal, int& margin) const override {
        medal = storedMedal;
        margin = storedMargin;
        return storedMedal != 0;
    }
    void ResetAnnouncer() override { announcer.emplace_back("reset"); }
    void HideAnnouncer() override { announcer.emplace_back("hide"); }
    void DrawAnnouncer() override { announcer.emplace_back("draw"); }
    void ResetClock() override {
        ++clockResets;
        if (onResetClock) onResetClock();
    }

    int state = 7;
    std::vector<int> states;
    // Called on each state change (a test looks at the screens at that moment).
    std::function<void(int)> onState;
    bool modal = false;
    int mode = 0;
    bool fastForward = false;
    bool quit = false;
    std::uint32_t menuPicture = 0;
    game::CampaignInfo* campaign = nullptr;
    int endCondition = 0;
    game::Structure* picked = nullptr;
    game::Structure* shop = nullptr;
    game::TeamManager* teams = nullptr;
    game::BattleContext* battle = nullptr;
    bool survival = false;
    int survivorTurns = 0;
    int medal = 4;
    int medalTurnsLeft = 0;
    int width = 960;
    int height = 640;
    int qualityApplied = 0;
    bool fullScreen = false;
    int displaySwitches = 0;
    std::vector<std::string> selectedCampaigns;
    // The campaigns SelectCampaign loads.
    std::set<std::string> loadableCampaigns{"Standard"};
    int resourceGroup = 0;
    std::vector<int> purgedGroups;
    std::string missionDescription;
    int storedMedal = 0;
    int storedMargin = 0;
    // The announcer calls in order ("reset", "hide", "draw").
    std::vector<std::string> announcer;
    int clockResets = 0;
    std::function<void()> onResetClock;
};

// A campaign completed at the difficulties the test sets, with a selected mission folder, counting its map
// screen's resets and frames.
class FakeCampaign final : public game::CampaignInfo {
public:
    bool Load(const std::string&) override { return true; }
    std::string GetListedName() const override { return "Fake"; }
    std::string GetSelectedMissionFolder() const override { return missionFolder; }
    game::HexCoord GetSelectedStartTile() const override { return {}; }
    bool IsLastMissionSelected() const override { return false; }
    bool AllMissionsGold(int) const override { return false; }
    int GetFinishedMedal() const override { return 4; }
    int GetFinishedMargin() const override { return 0; }
    bool RecordResult(int, int) override { return false; }
    std::string GetSelectedMissionRecord() const override { return {}; }
    std::pair<int, int> GetStartCash() const override { return {0, 0}; }
    bool IsCompletedAtDifficulty(int d) const override { return completed.count(d) != 0; }
    void ResetMapScreen() override { ++resets; }
    void DrawMapScreen() override { ++draws; }

    std::string missionFolder;
    std::set<int> completed;
    int resets = 0;
    int draws = 0;
};

class CountingTextureLoader final : public game::TextureLoader {
public:
    std::uint32_t LoadKept(const char* name) override {
        ++kept[name];
        return Load(name);
    }
    std::uint32_t Load(const char* name) override {
        ++loads[name];
        auto it = handles.find(name);
        if (it == handles.end()) it = handles.emplace(name, static_cast<std::uint32_t>(handles.size() + 1)).first;
        return it->second;
    }
    void Release(std::uint32_t handle) override { ++releases[Name(handle)]; }
    bool GetSize(std::uint32_t handle, int& w, int& h) const override {
        auto it = sizes.find(Name(handle));
        if (it == sizes.end()) return false;
        w = it->second.first;
        h = it->second.second;
        return true;
    }
    // The name of a handle this loader gave; the number as text for any other.
    std::string Name(std::uint32_t handle) const {
        for (const auto& [name, h] : handles) {
            if (h == handle) return name;
        }
        return std::to_string(handle);
    }
    // A texture the test made under a name, with a size (the menu picture, a panel picture).
    std::uint32_t Add(const std::string& name, int w, int h) {
        auto it = handles.emplace(name, static_cast<std::uint32_t>(handles.size() + 1)).first;
        sizes[name] = {w, h};
        return it->second;
    }

    std::map<std::string, std::uint32_t> handles;
    std::map<std::string, int> loads;
    std::map<std::string, int> releases;
    // Loads into the group that is never purged.
    std::map<std::string, int> kept;
    std::map<std::string, std::pair<int, int>> sizes;
};

}  // namespace testsupport
