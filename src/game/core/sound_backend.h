#pragma once
// The engine's sample banks and voice scheduler as the game's sound bank uses them: six banks addressed by
// number, sounds loaded into their slots whole or as streams, plays that return a handle (0: nothing
// played), and stops and fades by handle. EngineSoundBackend is the real one over engine::SampleBank and
// the engine's voice scheduler; tests record the calls.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace engine {
class SampleBank;
}

namespace game {

enum class SoundBankId { kGui, kPreview, kLevel, kMusic, kEnemySpeech, kPlayerSpeech };
inline constexpr int kSoundBankCount = 6;

class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    // Empties the bank (its samples released) and names it.
    virtual void ResetBank(SoundBankId bank, const char* name) = 0;
    // Loads the sound (".wav", else ".ogg") whole or as a stream; false when it does not load.
    virtual bool LoadSample(SoundBankId bank, int slot, const std::string& name, int voices, float priority,
                            bool replace) = 0;
    virtual bool LoadStream(SoundBankId bank, int slot, const std::string& name, float priority, bool replace) = 0;
    // The play's handle; 0 for an empty slot or a refused play.
    virtual std::uint32_t Play(SoundBankId bank, int slot, float volume, bool loop) = 0;
    virtual void Stop(std::uint32_t handle) = 0;
    // Fades to the volume over the seconds; stopAtEnd stops the sound once silent.
    virtual void Fade(std::uint32_t handle, float volume, float seconds, bool stopAtEnd) = 0;
    // Stops every playing stream.
    virtual void StopStreams() = 0;
};

class EngineSoundBackend final : public SoundBackend {
public:
    EngineSoundBackend();
    ~EngineSoundBackend() override;

    void ResetBank(SoundBankId bank, const char* name) override;
    bool LoadSample(SoundBankId bank, int slot, const std::string& name, int voices, float priority,
                    bool replace) override;
    bool LoadStream(SoundBankId bank, int slot, const std::string& name, float priority, bool replace) override;
    std::uint32_t Play(SoundBankId bank, int slot, float volume, bool loop) override;
    void Stop(std::uint32_t handle) override;
    void Fade(std::uint32_t handle, float volume, float seconds, bool stopAtEnd) override;
    void StopStreams() override;

private:
    engine::SampleBank& Bank(SoundBankId bank);

    std::array<std::unique_ptr<engine::SampleBank>, kSoundBankCount> banks_;
};

}  // namespace game
