#pragma once
// A named bank of 64 sound slots. The game loads sounds into slots, whole or as streams, and plays a slot
// through the voice scheduler (GetVoiceScheduler), which returns a handle for stopping or fading it.
#include <array>
#include <cstdint>
#include <memory>

#include "engine/core/wide_string.h"
#include "engine/platform/sound_sample.h"

namespace engine {

class SampleBank {
public:
    static constexpr int kSlotCount = 64;

    SampleBank() = default;
    ~SampleBank() { Destroy(); }
    SampleBank(const SampleBank&) = delete;
    SampleBank& operator=(const SampleBank&) = delete;

    // All slots empty, the name kept.
    void Init(const WideString& name);
    // Deletes every sample and frees the name.
    void Destroy();
    void Clear() { Destroy(); }

    // Loads the sound whole into a free slot. 1 on success; 0 for a slot outside 0..63, a slot in use or a
    // sound that does not load, and the slot stays empty.
    int LoadSample(int slot, const WideString& name, int voiceLimit, float priority, bool replaceOwnVoice);
    // Opens the sound as a stream (voice limit 1) in a free slot; otherwise as LoadSample.
    int LoadStream(int slot, const WideString& name, float priority, bool replaceOwnVoice);
    // Queues a play of the slot's sound; its handle, or 0 for a slot outside 0..63, an empty slot or a
    // refused request.
    std::uint32_t Play(int slot, float volume, bool loop, float pan);

    // The slot's sample; null when empty or outside 0..63.
    SoundSample* Sample(int slot) const;
    const WideString& Name() const { return name_; }

private:
    bool IsFreeSlot(int slot) const;

    WideString name_;
    std::array<std::unique_ptr<SoundSample>, kSlotCount> slots_;
};

}  // namespace engine
