#include "game/core/game_sound_bank.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "game/battle/battle_context.h"
#include "game/core/player_profile.h"

namespace game {
namespace {

struct SoundLine {
    int slot;
    const char* name;
    int voices;
    float priority;
    bool replace;
};

constexpr SoundLine kGuiSounds[] = {
    {0, "Sound\\buttonclick", 2, 99, true}, {2, "Sound\\ZoomOpen", 2, 99, true},
    {3, "Sound\\yourturn", 1, 99, true},    {4, "Sound\\Textpopup", 2, 99, true},
    {5, "Sound\\Bleep", 2, 99, true},       {6, "Sound\\fail", 4, 99, true},
    {7, "Sound\\swish", 2, 99, true},       {8, "Sound\\ach", 1, 200, true},
};

constexpr SoundLine kPreviewSounds[] = {
    {0, "Sound\\DLC\\Pack1\\Select4", 1, 99, true},   {1, "Sound\\DLC\\Pack2\\Select6", 1, 99, true},
    {2, "Sound\\DLC\\Pack3\\Congrats2", 1, 99, true}, {3, "Sound\\DLC\\Pack4\\Select2", 1, 99, true},
    {4, "Sound\\DLC\\Pack5\\Congrats1", 1, 99, true},
};

constexpr SoundLine kLevelSounds[] = {
    {1, "Sound\\AAFire4", 2, 99, true},
    {2, "Sound\\RifleSniper", 1, 99, true},
    {3, "Sound\\RifleStandard", 1, 99, true},
    {4, "Sound\\RPGFire2", 1, 99, true},
    {5, "Sound\\GrenadeToss", 1, 99, true},
    {6, "Sound\\MLRSFire", 6, 99, true},
    {7, "Sound\\AAFire3", 2, 99, true},
    {8, "Sound\\ChaingunFire2", 8, 99, true},
    {9, "Sound\\ChaingunFire1", 1, 99, true},
    {10, "Sound\\AAFire3", 1, 99, true},
    {11, "Sound\\GunRicochet", 2, 99, true},
    {12, "Sound\\HeadShot", 2, 99, true},
    {13, "Sound\\RPGFire1", 2, 99, true},
    {14, "Sound\\ChaingunTail1", 2, 99, true},
    {15, "Sound\\ChaingunTail2", 6, 99, true},
    {16, "Sound\\ChaingunTail2", 6, 99, true},
    {17, "Sound\\ChaingunTail2", 2, 99, true},
    {18, "Sound\\AAFire1", 1, 99, true},
    {19, "Sound\\FlakExplode", 6, 99, true},
    {20, "Sound\\shellexplosion1", 1, 99, true},
    {21, "Sound\\shellexplosion2", 1, 99, true},
    {22, "Sound\\shellexplosion3", 1, 99, true},
    {23, "Sound\\shellexplosion4", 1, 99, true},
    {24, "Sound\\UnderwaterExplosion", 1, 99, true},
    {25, "Sound\\helidie", 1, 99, true},
    {26, "Sound\\Footfall_Ground", 1, 50, true},
    {27, "Sound\\TrackedMove", 1, 50, true},
    {28, "Sound\\TrackedStop", 1, 50, false},
    {29, "Sound\\WheeledMove", 1, 50, true},
    {30, "Sound\\WheeledStop", 1, 50, false},
    {31, "Sound\\SeaborneMove", 1, 50, true},
    {32, "Sound\\SeaborneStop", 1, 50, false},
    {33, "Sound\\ChopperMove", 1, 50, false},
    {34, "Sound\\HelpIcon", 1, 50, true},
    {35, "Sound\\UnitReady", 1, 40, true},
    {36, "Sound\\KaChing", 4, 40, true},
    {37, "Sound\\ReStocked", 4, 40, true},
    {38, "Sound\\JumpWater", 2, 30, true},
    {39, "Sound\\suck", 1, 60, true},
    {40, "Sound\\Captured", 1, 60, true},
};

constexpr const char* kMusic[] = {"Music/Theme", "Music/MenuMusic", "Music/WinMusic", "Music/LoseMusic"};
constexpr float kMusicPriority = 9000.0f;
constexpr int kWinMusic = 2;
constexpr int kLoseMusic = 3;

// A speech pack's groups: the first slot, the suffix, how many, the voice limit and the replace flag.
struct SpeechGroup {
    int firstSlot;
    const char* suffix;
    int count;
    int voices;
    bool replace;
};

constexpr SpeechGroup kSpeechGroups[] = {
    {0, "\\Jump", 4, 2, true},  {4, "\\Select", 8, 2, true},  {12, "\\Yes", 8, 2, true},
    {20, "\\Hit", 8, 1, false}, {28, "\\Death", 8, 1, false}, {36, "\\Congrats", 4, 1, true},
};
constexpr float kSpeechPriority = 99.0f;
constexpr const char* kDefaultPacks[2] = {kDefaultEnemyPack, kDefaultPlayerPack};
constexpr std::size_t kMaxPackName = 31;

// A sound that does not load leaves its slot silent; it is named on stderr, as missing models are.
void ReportUnless(bool loaded, const std::string& name) {
    if (!loaded) std::fprintf(stderr, "tinmarch: the sound \"%s\" is missing or damaged\n", name.c_str());
}

template <std::size_t N>
void LoadLines(SoundBackend& backend, SoundBankId bank, const SoundLine (&lines)[N]) {
    for (const SoundLine& line : lines) {
        ReportUnless(backend.LoadSample(bank, line.slot, line.name, line.voices, line.priority, line.replace),
                     line.name);
    }
}

SoundBankId SpeechBank(int side) { return side == 0 ? SoundBankId::kEnemySpeech : SoundBankId::kPlayerSpeech; }

}  // namespace

GameSoundBank::GameSoundBank(SoundBackend& backend) : backend_(backend) {}

GameSoundBank::~GameSoundBank() = default;

void GameSoundBank::Load() {
    backend_.ResetBank(SoundBankId::kGui, "GUI");
    LoadLines(backend_, SoundBankId::kGui, kGuiSounds);
    backend_.ResetBank(SoundBankId::kPreview, "VP");
    LoadLines(backend_, SoundBankId::kPreview, kPreviewSounds);
    backend_.ResetBank(SoundBankId::kLevel, "LEVEL");
    LoadLines(backend_, SoundBankId::kLevel, kLevelSounds);
    backend_.ResetBank(SoundBankId::kMusic, "MUSIC");
    for (int slot = 0; slot < 4; ++slot) {
        ReportUnless(backend_.LoadStream(SoundBankId::kMusic, slot, kMusic[slot], kMusicPriority, true), kMusic[slot]);
    }
}

bool GameSoundBank::IsSafePackName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxPackName && name.find_first_of("/\\") == std::string::npos &&
           name.find("..") == std::string::npos;
}

void GameSoundBank::LoadSpeechPack(int side, const std::string& name) {
    const int index = side == 0 ? 0 : 1;
    const std::string pack = IsSafePackName(name) ? name : std::string(kDefaultPacks[index]);
    if (packs_[index] == pack) return;
    packs_[index] = pack;
    const SoundBankId bank = SpeechBank(index);
    backend_.ResetBank(bank, "SPEECH");
    for (const SpeechGroup& group : kSpeechGroups) {
        for (int i = 0; i < group.count; ++i) {
            const std::string file = "Sound\\DLC\\" + pack + group.suffix + std::to_string(i + 1);
            ReportUnless(backend_.LoadSample(bank, group.firstSlot + i, file, group.voices, kSpeechPriority,
                                             group.replace),
                         file);
        }
    }
}

std::uint32_t GameSoundBank::PlayUiSound(int index) {
    return backend_.Play(SoundBankId::kGui, index, GetEffectsVolume(), false);
}

std::uint32_t GameSoundBank::PlayPreview(int index) {
    return backend_.Play(SoundBankId::kPreview, index, GetEffectsVolume(), false);
}

std::uint32_t GameSoundBank::PlayLevelSound(int index, bool loop) {
    return backend_.Play(SoundBankId::kLevel, index, GetEffectsVolume(), loop);
}

std::uint32_t GameSoundBank::PlaySpeechSound(int index, int teamKind) {
    if (profile_ != nullptr && (profile_->GetOptionFlags() & kOptionSpeechOff) != 0) return 0;
    const bool campaign = !gameMode_ || gameMode_() == kGameModeCampaign;
    const int side = teamKind == 4 || (teamKind == 2 && !campaign) ? 0 : 1;
    return backend_.Play(SpeechBank(side), index, GetEffectsVolume(), false);
}

std::uint32_t GameSoundBank::PlayMusicTrack(int type) {
    StopMusic();
    if (type < 0 || type > 3) return 0;
    music_ = backend_.Play(SoundBankId::kMusic, type, GetMusicVolume(), type != kWinMusic && type != kLoseMusic);
    return music_;
}

void GameSoundBank::StopMusic() {
    if (music_ != 0) backend_.Fade(music_, 0.0f, kMusicFadeSeconds, true);
    music_ = 0;
}

void GameSoundBank::FadeOut(std::uint32_t handle, float seconds) {
    if (handle != 0) backend_.Fade(handle, 0.0f, seconds, true);
}

void GameSoundBank::StopSound(std::uint32_t handle) {
    if (handle != 0) backend_.Stop(handle);
}

void GameSoundBank::StopLoop(int handle, float fadeSeconds) {
    const auto h = static_cast<std::uint32_t>(handle);
    if (fadeSeconds > 0.0f) {
        FadeOut(h, fadeSeconds);
    } else {
        StopSound(h);
    }
}

void GameSoundBank::StopStreams(bool stop) {
    if (stop) backend_.StopStreams();
}

void GameSoundBank::SetMusicVolume(int volume) {
    volume = std::clamp(volume, 0, 100);
    // Applying the stored value after a load changes nothing to write.
    if (profile_ != nullptr && profile_->GetMusicVolume() != volume) profile_->SetMusicVolume(volume);
    if (music_ != 0) backend_.Fade(music_, static_cast<float>(volume) / 100.0f, kMusicFadeSeconds, false);
}

void GameSoundBank::SetEffectsVolume(int volume) {
    volume = std::clamp(volume, 0, 100);
    if (profile_ != nullptr && profile_->GetEffectsVolume() != volume) profile_->SetEffectsVolume(volume);
}

int GameSoundBank::GetMusicVolumeInt() const {
    return profile_ != nullptr ? std::clamp(profile_->GetMusicVolume(), 0, 100) : kStandInMusicVolume;
}

int GameSoundBank::GetEffectsVolumeInt() const {
    return profile_ != nullptr ? std::clamp(profile_->GetEffectsVolume(), 0, 100) : kStandInEffectsVolume;
}

}  // namespace game
