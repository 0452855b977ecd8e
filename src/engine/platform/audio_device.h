#pragma once
// The engine's sound output: the voice scheduler's device operations over OpenAL. Each of the 16 voices
// is a pair of hard-panned sources (see sys/al_voice.h). Whole samples play from buffers made once per
// sample; streams are refilled from their files in 64 KB pieces, at most two queued, and every streamed
// piece feeds the voice's beat detector.
//
// Where there is no sound device the device stays silent: not running, every play refused, Update does
// nothing. Main thread only; one audio device at a time.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/platform/beat_detector.h"
#include "engine/platform/voice_scheduler.h"
#include "sys/al_output.h"
#include "sys/al_voice.h"

namespace engine {

class AudioDevice final : public VoiceScheduler {
public:
    // Opens the default sound device, or uses the given device (the loopback device of tests), and makes
    // the 16 voices. Running only when all of it succeeded. Becomes the scheduler that samples and the
    // sample bank reach (SetVoiceScheduler) until it is destroyed.
    explicit AudioDevice(GameClock clock, sys::AlDeviceHandle device = nullptr);
    // Stops every voice, frees the beat detectors and closes the output.
    ~AudioDevice() override;

    float GetBeatLevel(std::uint32_t handle) override;
    // Uploads a whole sample's sound ahead of its first play (it is uploaded at the first play otherwise).
    void PrepareSample(SoundSample& sample) override;

    // Stream pieces queued and not yet played on voice v.
    int GetQueuedStreamBuffers(int v) const;
    // Voice v's beat detector; null until the voice has streamed a piece.
    const BeatDetector* GetBeatDetector(int v) const;

protected:
    void ApplyVoiceVolume(int v) override;
    void ApplyVoicePan(int v) override;
    void ApplyVoicePitch(int v) override;
    void StopVoice(int v) override;
    int StartVoice(int v) override;
    int IsVoicePlaying(int v) override;
    void ApplyVoicePause(int v) override;
    void PumpStreams() override;

    // Appends a decoded piece of voice v's stream, starting at `time` seconds, to the voice's detector.
    void AnalyseStreamBlock(int v, const std::uint8_t* pcm, std::size_t bytes, double time);

private:
    // Refills voice v's stream; with `mayRestart`, starts a voice that is not paused but not playing
    // (starved) once it has pieces queued.
    void PumpVoice(int v, bool mayRestart);
    void ApplyGains(int v);

    sys::AlOutput output_;
    std::array<sys::AlVoice, kVoiceCount> alVoices_;
    std::array<std::unique_ptr<BeatDetector>, kVoiceCount> detectors_;
};

}  // namespace engine
