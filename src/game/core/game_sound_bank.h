#pragma once
// The game's one place for sound: the interface, preview, level and music banks loaded at start-up, one
// speech pack per side (side 0 voices the enemy, side 1 the player's sides), plays at the volumes kept in
// the profile, and the music with its loops and fades.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "game/core/game_ports.h"
#include "game/core/sound_backend.h"

namespace game {

class PlayerProfile;

inline constexpr const char* kUninitialisedPack = "UnInitialised";
inline constexpr int kSpeechSlots = 40;
inline constexpr float kMusicFadeSeconds = 0.5f;
// The volumes used while there is no profile.
inline constexpr int kStandInMusicVolume = 40;
inline constexpr int kStandInEffectsVolume = 80;

class GameSoundBank final : public SoundBank {
public:
    explicit GameSoundBank(SoundBackend& backend);
    ~GameSoundBank() override;
    GameSoundBank(const GameSoundBank&) = delete;
    GameSoundBank& operator=(const GameSoundBank&) = delete;

    // The profile that keeps the volumes and the option bits; null until it is loaded.
    void SetProfile(PlayerProfile* profile) { profile_ = profile; }
    // The game mode (campaign 0) that routes the green side's speech.
    void SetGameModeSource(std::function<int()> mode) { gameMode_ = std::move(mode); }

    // Builds the "GUI", "VP", "LEVEL" and "MUSIC" banks. Here and in the speech packs, a sound that does
    // not load is named on stderr and its slot stays silent.
    void Load();
    // Loads the side's pack unless it is the one loaded; an unsafe name loads the side's default pack.
    void LoadSpeechPack(int side, const std::string& name) override;
    const std::string& GetSpeechPackName(int side) const { return packs_[side == 0 ? 0 : 1]; }
    // A name that can be joined into "Sound\DLC\<name>\": 1 to 31 characters, no "/", "\" or "..".
    static bool IsSafePackName(const std::string& name);

    std::uint32_t PlayUiSound(int index) override;
    std::uint32_t PlayPreview(int index);
    std::uint32_t PlayLevelSound(int index, bool loop);
    // Null with speech off; the enemy (kind 4) and, outside the campaign, the green side (kind 2) speak
    // through side 0, every other side through side 1.
    std::uint32_t PlaySpeechSound(int index, int teamKind);
    std::uint32_t PlayMusicTrack(int type);
    void StopMusic() override;
    void FadeOut(std::uint32_t handle, float seconds);
    void StopSound(std::uint32_t handle);
    void StopStreams(bool stop) override;
    std::uint32_t GetMusicHandle() const { return music_; }

    // Clamped to 0..100 and kept in the profile; the music fades to the new volume.
    void SetMusicVolume(int volume);
    void SetEffectsVolume(int volume);
    int GetMusicVolumeInt() const;
    int GetEffectsVolumeInt() const;
    float GetMusicVolume() const { return static_cast<float>(GetMusicVolumeInt()) / 100.0f; }
    float GetEffectsVolume() const { return static_cast<float>(GetEffectsVolumeInt()) / 100.0f; }

    // The game's interface.
    void PlayMusic(int track) override { PlayMusicTrack(track); }
    void PlaySound(int sound) override { PlayLevelSound(sound, false); }
    int StartLoop(int sound) override { return static_cast<int>(PlayLevelSound(sound, true)); }
    void StopLoop(int handle, float fadeSeconds) override;
    void PlaySpeech(int teamKind, int cue) override { PlaySpeechSound(cue, teamKind); }

private:
    SoundBackend& backend_;
    PlayerProfile* profile_ = nullptr;
    std::function<int()> gameMode_;
    std::string packs_[2] = {kUninitialisedPack, kUninitialisedPack};
    std::uint32_t music_ = 0;
};

}  // namespace game
