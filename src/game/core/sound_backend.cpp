#include "game/core/sound_backend.h"

#include "engine/core/wide_string.h"
#include "engine/platform/sample_bank.h"
#include "engine/platform/voice_scheduler.h"

namespace game {

EngineSoundBackend::EngineSoundBackend() {
    for (auto& bank : banks_) bank = std::make_unique<engine::SampleBank>();
}

EngineSoundBackend::~EngineSoundBackend() = default;

engine::SampleBank& EngineSoundBackend::Bank(SoundBankId bank) { return *banks_[static_cast<std::size_t>(bank)]; }

void EngineSoundBackend::ResetBank(SoundBankId bank, const char* name) {
    Bank(bank).Destroy();
    Bank(bank).Init(engine::WideString(name));
}

bool EngineSoundBackend::LoadSample(SoundBankId bank, int slot, const std::string& name, int voices, float priority,
                                    bool replace) {
    return Bank(bank).LoadSample(slot, engine::WideString(name.c_str()), voices, priority, replace) == 1;
}

bool EngineSoundBackend::LoadStream(SoundBankId bank, int slot, const std::string& name, float priority,
                                    bool replace) {
    return Bank(bank).LoadStream(slot, engine::WideString(name.c_str()), priority, replace) == 1;
}

std::uint32_t EngineSoundBackend::Play(SoundBankId bank, int slot, float volume, bool loop) {
    return Bank(bank).Play(slot, volume, loop, 0.0f);
}

void EngineSoundBackend::Stop(std::uint32_t handle) {
    if (engine::VoiceScheduler* scheduler = engine::GetVoiceScheduler()) scheduler->StopHandle(handle);
}

void EngineSoundBackend::Fade(std::uint32_t handle, float volume, float seconds, bool stopAtEnd) {
    if (engine::VoiceScheduler* scheduler = engine::GetVoiceScheduler()) {
        scheduler->FadeHandle(stopAtEnd ? 1 : 0, handle, volume, seconds);
    }
}

void EngineSoundBackend::StopStreams() {
    if (engine::VoiceScheduler* scheduler = engine::GetVoiceScheduler()) scheduler->StopAllOfKind(1);
}

}  // namespace game
