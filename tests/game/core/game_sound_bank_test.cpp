// The game's sound bank over a recording backend: the bank tables, speech packs and their routing, the
// music's loops and fades, and the volumes kept in the profile.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../units/unit_fakes.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/battle/battle_context.h"
#include "game/core/game_sound_bank.h"
#include "game/core/player_profile.h"

namespace {

using namespace game;

class RecordingBackend final : public SoundBackend {
public:
    struct Loaded {
        std::string name;
        int voices = 0;
        float priority = 0.0f;
        bool replace = false;
        bool stream = false;
    };
    struct Call {
        std::string what;
        int bank = -1;
        int slot = -1;
        float volume = 0.0f;
        bool loop = false;
        std::uint32_t handle = 0;
        float seconds = 0.0f;
        bool stop = false;
    };
    void ResetBank(SoundBankId bank, const char* name) override {
        slots[static_cast<int>(bank)].clear();
        names[static_cast<int>(bank)] = name;
        ++resets[static_cast<int>(bank)];
    }
    bool LoadSample(SoundBankId bank, int slot, const std::string& name, int voices, float priority,
                    bool replace) override {
        if (missing.count(name) != 0) return false;
        slots[static_cast<int>(bank)][slot] = {name, voices, priority, replace, false};
        return true;
    }
    bool LoadStream(SoundBankId bank, int slot, const std::string& name, float priority, bool replace) override {
        if (missing.count(name) != 0) return false;
        slots[static_cast<int>(bank)][slot] = {name, 1, priority, replace, true};
        return true;
    }
    std::uint32_t Play(SoundBankId bank, int slot, float volume, bool loop) override {
        const auto& held = slots[static_cast<int>(bank)];
        if (held.count(slot) == 0) return 0;
        calls.push_back({"play", static_cast<int>(bank), slot, volume, loop, ++lastHandle});
        return lastHandle;
    }
    void Stop(std::uint32_t handle) override { calls.push_back({"stop", -1, -1, 0, false, handle}); }
    void Fade(std::uint32_t handle, float volume, float seconds, bool stopAtEnd) override {
        calls.push_back({"fade", -1, -1, volume, false, handle, seconds, stopAtEnd});
    }
    void StopStreams() override { calls.push_back({"streams"}); }

    std::map<int, std::map<int, Loaded>> slots;
    std::map<int, std::string> names;
    std::map<int, int> resets;
    std::map<std::string, int> missing;
    std::vector<Call> calls;
    std::uint32_t lastHandle = 0;
};

constexpr int kGui = static_cast<int>(SoundBankId::kGui);
constexpr int kLevel = static_cast<int>(SoundBankId::kLevel);
constexpr int kMusic = static_cast<int>(SoundBankId::kMusic);
constexpr int kEnemy = static_cast<int>(SoundBankId::kEnemySpeech);
constexpr int kPlayer = static_cast<int>(SoundBankId::kPlayerSpeech);

class SoundBankTest : public ::testing::Test {
protected:
    SoundBankTest() {
        profile.ResetDefaults();
        bank.SetProfile(&profile);
        bank.SetGameModeSource([this] { return mode; });
        bank.Load();
    }
    RecordingBackend backend;
    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    PlayerProfile profile{blob, store};
    GameSoundBank bank{backend};
    int mode = kGameModeCampaign;
};

TEST_F(SoundBankTest, TheBanksHoldTheirTables) {
    EXPECT_EQ(backend.names[kGui], "GUI");
    EXPECT_EQ(backend.names[static_cast<int>(SoundBankId::kPreview)], "VP");
    EXPECT_EQ(backend.names[kLevel], "LEVEL");
    EXPECT_EQ(backend.names[kMusic], "MUSIC");
    EXPECT_EQ(backend.slots[kGui].size(), 8u);
    EXPECT_EQ(backend.slots[kGui][8].name, "Sound\\ach");
    EXPECT_EQ(backend.slots[kGui][8].priority, 200.0f);
    EXPECT_EQ(backend.slots[kLevel].size(), 40u);
    const RecordingBackend::Loaded& stop = backend.slots[kLevel][28];
    EXPECT_EQ(stop.name, "Sound\\TrackedStop");
    EXPECT_FALSE(stop.replace);
    EXPECT_EQ(backend.slots[kLevel][23].name, "Sound\\shellexplosion4");
    EXPECT_TRUE(backend.slots[kMusic][0].stream);
    EXPECT_EQ(backend.slots[kMusic][3].name, "Music/LoseMusic");
    EXPECT_EQ(backend.slots[kMusic][3].priority, 9000.0f);
    EXPECT_EQ(bank.GetSpeechPackName(0), kUninitialisedPack);
}

TEST_F(SoundBankTest, SpeechPacksLoadOnceAndUnsafeNamesTakeTheDefault) {
    bank.LoadSpeechPack(1, "Pack3");
    ASSERT_EQ(backend.slots[kPlayer].size(), 40u);
    EXPECT_EQ(backend.names[kPlayer], "SPEECH");
    EXPECT_EQ(backend.slots[kPlayer][0].name, "Sound\\DLC\\Pack3\\Jump1");
    EXPECT_EQ(backend.slots[kPlayer][11].name, "Sound\\DLC\\Pack3\\Select8");
    EXPECT_EQ(backend.slots[kPlayer][20].name, "Sound\\DLC\\Pack3\\Hit1");
    EXPECT_FALSE(backend.slots[kPlayer][20].replace);
    EXPECT_EQ(backend.slots[kPlayer][20].voices, 1);
    EXPECT_EQ(backend.slots[kPlayer][39].name, "Sound\\DLC\\Pack3\\Congrats4");
    bank.LoadSpeechPack(1, "Pack3");
    EXPECT_EQ(backend.resets[kPlayer], 1) << "the same pack is not reloaded";

    const std::string tooLong(32, 'x');
    const struct {
        int side;
        const char* name;
        const char* loaded;
    } cases[] = {{0, "", "Pack1"},          {0, "../../etc", "Pack1"}, {1, "A/B", "Standard"},
                 {1, "A\\B", "Standard"},   {1, tooLong.c_str(), "Standard"}};
    for (const auto& c : cases) {
        bank.LoadSpeechPack(c.side, "Pack5");
        bank.LoadSpeechPack(c.side, c.name);
        EXPECT_EQ(bank.GetSpeechPackName(c.side), c.loaded) << c.name;
        const int speech = c.side == 0 ? kEnemy : kPlayer;
        EXPECT_EQ(backend.slots[speech][4].name, std::string("Sound\\DLC\\") + c.loaded + "\\Select1") << c.name;
    }
    bank.LoadSpeechPack(1, std::string(31, 'y'));
    EXPECT_EQ(bank.GetSpeechPackName(1), std::string(31, 'y'));
}

TEST_F(SoundBankTest, SpeechRoutesBySideAndMode) {
    bank.LoadSpeechPack(0, "Pack1");
    bank.LoadSpeechPack(1, "Standard");
    struct Case {
        int mode;
        int kind;
        int bank;
    };
    const Case cases[] = {{kGameModeCampaign, 4, kEnemy},   {kGameModeSkirmish, 4, kEnemy},
                          {kGameModeSkirmish, 2, kEnemy},   {kGameModePassAndPlay, 2, kEnemy},
                          {kGameModeCampaign, 2, kPlayer},  {kGameModeSkirmish, 1, kPlayer},
                          {kGameModeCampaign, 3, kPlayer},  {kGameModeSkirmish, 0, kPlayer}};
    for (const Case& c : cases) {
        mode = c.mode;
        backend.calls.clear();
        EXPECT_NE(bank.PlaySpeechSound(5, c.kind), 0u);
        ASSERT_EQ(backend.calls.size(), 1u);
        EXPECT_EQ(backend.calls[0].bank, c.bank) << "mode " << c.mode << " kind " << c.kind;
        EXPECT_FLOAT_EQ(backend.calls[0].volume, 0.8f);
        EXPECT_FALSE(backend.calls[0].loop);
    }
    profile.SetOptionFlags(profile.GetOptionFlags() | kOptionSpeechOff);
    backend.calls.clear();
    EXPECT_EQ(bank.PlaySpeechSound(5, 4), 0u);
    EXPECT_TRUE(backend.calls.empty());
}

TEST_F(SoundBankTest, MusicLoopsExceptTheEndingsAndFadesWhenReplaced) {
    const std::uint32_t win = bank.PlayMusicTrack(2);
    ASSERT_NE(win, 0u);
    EXPECT_FALSE(backend.calls.back().loop) << "the win music plays once";
    EXPECT_FLOAT_EQ(backend.calls.back().volume, 0.4f);
    const std::uint32_t theme = bank.PlayMusicTrack(0);
    ASSERT_GE(backend.calls.size(), 3u);
    const RecordingBackend::Call& fade = backend.calls[backend.calls.size() - 2];
    EXPECT_EQ(fade.what, "fade");
    EXPECT_EQ(fade.handle, win);
    EXPECT_EQ(fade.volume, 0.0f);
    EXPECT_EQ(fade.seconds, 0.5f);
    EXPECT_TRUE(fade.stop);
    EXPECT_EQ(backend.calls.back().slot, 0);
    EXPECT_TRUE(backend.calls.back().loop);
    EXPECT_EQ(bank.GetMusicHandle(), theme);

    bank.SetMusicVolume(150);
    EXPECT_EQ(profile.GetMusicVolume(), 100);
    EXPECT_EQ(backend.calls.back().what, "fade");
    EXPECT_EQ(backend.calls.back().handle, theme);
    EXPECT_FLOAT_EQ(backend.calls.back().volume, 1.0f);
    EXPECT_FALSE(backend.calls.back().stop);
    bank.SetEffectsVolume(-4);
    EXPECT_EQ(profile.GetEffectsVolume(), 0);
    EXPECT_EQ(bank.GetEffectsVolume(), 0.0f);

    bank.StopStreams(false);
    EXPECT_NE(backend.calls.back().what, "streams");
    bank.StopStreams(true);
    EXPECT_EQ(backend.calls.back().what, "streams");
}

// A sound that does not load is named on stderr, once for each load that misses it; the sounds that load
// are not.
TEST_F(SoundBankTest, ASoundThatDoesNotLoadIsNamedOnStderr) {
    backend.missing["Sound\\DLC\\Pack2\\Hit3"] = 1;
    backend.missing["Sound\\KaChing"] = 1;
    backend.missing["Music/WinMusic"] = 1;
    testing::internal::CaptureStderr();
    bank.Load();
    bank.LoadSpeechPack(0, "Pack2");
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors,
              "tinmarch: the sound \"Sound\\KaChing\" is missing or damaged\n"
              "tinmarch: the sound \"Music/WinMusic\" is missing or damaged\n"
              "tinmarch: the sound \"Sound\\DLC\\Pack2\\Hit3\" is missing or damaged\n");
}

TEST_F(SoundBankTest, EmptySlotsGiveNullAndTheVolumesWaitForTheProfile) {
    EXPECT_EQ(bank.PlayUiSound(1), 0u) << "slot 1 holds nothing";
    EXPECT_EQ(bank.PlayLevelSound(0, false), 0u);
    backend.missing["Sound\\DLC\\Pack2\\Jump1"] = 1;
    bank.LoadSpeechPack(0, "Pack2");
    EXPECT_EQ(bank.PlaySpeechSound(0, 4), 0u);

    GameSoundBank early{backend};
    early.SetMusicVolume(10);
    EXPECT_EQ(early.GetMusicVolumeInt(), 40);
    EXPECT_EQ(early.GetEffectsVolumeInt(), 80);
    EXPECT_NE(early.PlayLevelSound(3, true), 0u);
    EXPECT_FLOAT_EQ(backend.calls.back().volume, 0.8f);
    EXPECT_TRUE(backend.calls.back().loop);

    // Applying the stored volumes after a load leaves the record unchanged.
    profile.Save();
    bank.SetEffectsVolume(profile.GetEffectsVolume());
    bank.SetMusicVolume(profile.GetMusicVolume());
    EXPECT_FALSE(profile.IsDirty());
}

}  // namespace

namespace {

TEST(EngineSoundBackendTest, AMissingFileLeavesTheSlotEmpty) {
    units_test::DataFolder data;
    game::EngineSoundBackend backend;
    game::GameSoundBank bank{backend};
    bank.Load();
    EXPECT_FALSE(backend.LoadSample(game::SoundBankId::kGui, 1, "Sound\\NoSuchSound", 1, 99.0f, true));
    EXPECT_EQ(bank.PlayUiSound(0), 0u);
    EXPECT_EQ(bank.PlayMusicTrack(0), 0u);
}

}  // namespace
