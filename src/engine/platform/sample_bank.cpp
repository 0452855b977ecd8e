#include "engine/platform/sample_bank.h"

#include <utility>

#include "engine/platform/voice_scheduler.h"

namespace engine {

void SampleBank::Init(const WideString& name) {
    Destroy();
    name_ = name;
}

void SampleBank::Destroy() {
    for (auto& slot : slots_) slot.reset();
    name_.Clear();
}

bool SampleBank::IsFreeSlot(int slot) const {
    return slot >= 0 && slot < kSlotCount && !slots_[static_cast<std::size_t>(slot)];
}

int SampleBank::LoadSample(int slot, const WideString& name, int voiceLimit, float priority,
                           bool replaceOwnVoice) {
    if (!IsFreeSlot(slot)) return 0;
    auto sample = std::make_unique<SoundSample>(replaceOwnVoice, voiceLimit, priority);
    if (sample->LoadWhole(name) != 1) return 0;
    slots_[static_cast<std::size_t>(slot)] = std::move(sample);
    return 1;
}

int SampleBank::LoadStream(int slot, const WideString& name, float priority, bool replaceOwnVoice) {
    if (!IsFreeSlot(slot)) return 0;
    auto sample = std::make_unique<SoundSample>(replaceOwnVoice, 1, priority);
    if (sample->OpenStream(name) != 1) return 0;
    slots_[static_cast<std::size_t>(slot)] = std::move(sample);
    return 1;
}

std::uint32_t SampleBank::Play(int slot, float volume, bool loop, float pan) {
    SoundSample* sample = Sample(slot);
    VoiceScheduler* scheduler = GetVoiceScheduler();
    if (sample == nullptr || scheduler == nullptr) return 0;
    return scheduler->QueuePlay(sample, volume, loop, pan);
}

SoundSample* SampleBank::Sample(int slot) const {
    if (slot < 0 || slot >= kSlotCount) return nullptr;
    return slots_[static_cast<std::size_t>(slot)].get();
}

}  // namespace engine
