#pragma once
// Fakes of what the screens call: a string table that answers "[KEY]", a sound bank that records its UI
// sounds, volumes and speech packs, a profile, a game, and a texture loader that counts loads and releases
// per name (and knows the sizes the test gives).
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/screens/screen_services.h"

namespace testsupport {

class FakeStrings final : public game::ScreenTexts {
public:
    engine::WideString Lookup(const char* key) const override {
        if (auto it = texts.find(key); it != texts.end()) return engine::WideString(it->second.c_str());
        return engine::WideString((std::string("[") + key + "]").c_str());
    }
    std::map<std::string, std::string> texts;
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
    int GetGameType() const override { return gameType; }
    void SetGameType(int type) override { gameType = type; }
    std::string GetCampaignName() const override { return campaignName; }
    void SetCampaignName(const std::string& name) override { campaignName = name; }
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
    void Save() override {
        ++saves;
        dirty = false;
    }

    std::uint32_t options = 0;
    std::array<Slot, 4> slots;
    int gameType = 0;
    std::string campaignName = "Standard";
    std::string defaultMap = "Campaigns\\Skirmish\\CloseQuarters";
    std::array<int, 4> matchOptions{100, 100, 25, 25};
    bool dirty = false;
    int saves = 0;
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
    engine::WideString GetMissionDescription() const override {
        return engine::WideString(missionDescription.c_str());
    }
    bool GetStoredResult(int& medal, int& margin) const override {
        medal = storedMedal;
        margin = storedMargin;
        return storedMedal != 0;
    }
    // Succeeds for the names in campaigns, each try recorded.
    bool SelectCampaign(const std::string& name) override {
        campaignTries.push_back(name);
        for (const std::string& known : campaigns) {
            if (known == name) return true;
        }
        return false;
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
    std::vector<std::string> campaigns{"Standard"};
    std::vector<std::string> campaignTries;
    std::string missionDescription;
    int storedMedal = 0;
    int storedMargin = 0;
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
