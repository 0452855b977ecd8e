#include "engine/platform/audio_device.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/platform/sound_sample.h"

namespace engine {

namespace {

sys::PcmFormat PcmFormatOf(const SoundSample& sample) {
    return sys::PcmFormat{sample.GetChannels(), sample.GetBitsPerSample(), sample.GetSampleRate()};
}

}  // namespace

AudioDevice::AudioDevice(GameClock clock, sys::AlDeviceHandle device) : VoiceScheduler(std::move(clock)) {
    if (output_.Open(device)) {
        bool voices = true;
        for (sys::AlVoice& voice : alVoices_) voices = voices && voice.Create();
        if (voices) {
            SetRunning(true);
        } else {
            for (sys::AlVoice& voice : alVoices_) voice.Destroy();
            output_.Close();
        }
    }
    SetVoiceScheduler(this);
}

AudioDevice::~AudioDevice() {
    for (int v = 0; v < kVoiceCount; ++v) {
        if (GetVoice(v).sample != nullptr) FreeVoice(v);
    }
    for (auto& detector : detectors_) detector.reset();
    for (sys::AlVoice& voice : alVoices_) voice.Destroy();
    SetRunning(false);
    output_.Close();
    if (GetVoiceScheduler() == this) SetVoiceScheduler(nullptr);
}

float AudioDevice::GetBeatLevel(std::uint32_t handle) {
    const int v = FindVoice(handle);
    if (v < 0 || !detectors_[static_cast<std::size_t>(v)]) return 0.0f;
    const int rate = GetVoice(v).sample->GetSampleRate();
    if (rate <= 0) return 0.0f;
    const std::int64_t played = alVoices_[static_cast<std::size_t>(v)].SamplesPlayed();
    return detectors_[static_cast<std::size_t>(v)]->Query(static_cast<double>(played) / rate);
}

void AudioDevice::PrepareSample(SoundSample& sample) {
    if (!IsRunning() || sample.Kind() != SoundSample::kKindWhole || sample.DeviceBuffers().IsLoaded()) return;
    sample.DeviceBuffers().Load(sample.Pcm(), sample.PcmSize(), PcmFormatOf(sample));
}

int AudioDevice::GetQueuedStreamBuffers(int v) const {
    if (v < 0 || v >= kVoiceCount) return 0;
    return alVoices_[static_cast<std::size_t>(v)].QueuedBuffers();
}

const BeatDetector* AudioDevice::GetBeatDetector(int v) const {
    if (v < 0 || v >= kVoiceCount) return nullptr;
    return detectors_[static_cast<std::size_t>(v)].get();
}

void AudioDevice::ApplyGains(int v) {
    const Voice& voice = GetVoice(v);
    const float pan = std::isnan(voice.pan) ? 0.0f : std::clamp(voice.pan, -1.0f, 1.0f);
    const float left = pan > 0.0f ? 1.0f - pan : 1.0f;
    const float right = pan < 0.0f ? 1.0f + pan : 1.0f;
    const float gain = voice.volume * voice.volume;
    alVoices_[static_cast<std::size_t>(v)].SetGains(gain * left, gain * right);
}

void AudioDevice::ApplyVoiceVolume(int v) { ApplyGains(v); }

void AudioDevice::ApplyVoicePan(int v) { ApplyGains(v); }

void AudioDevice::ApplyVoicePitch(int v) { alVoices_[static_cast<std::size_t>(v)].SetPitch(GetVoice(v).pitch); }

void AudioDevice::StopVoice(int v) {
    alVoices_[static_cast<std::size_t>(v)].Stop();
    detectors_[static_cast<std::size_t>(v)].reset();
}

int AudioDevice::StartVoice(int v) {
    Voice& voice = MutableVoice(v);
    sys::AlVoice& al = alVoices_[static_cast<std::size_t>(v)];
    SoundSample* sample = voice.sample;
    if (!IsRunning() || sample == nullptr || !al.IsCreated()) return 0;
    if (!sys::IsPlayablePcm(PcmFormatOf(*sample))) return 0;
    al.Stop();
    detectors_[static_cast<std::size_t>(v)].reset();

    if (sample->Kind() == SoundSample::kKindWhole) {
        PrepareSample(*sample);
        if (!al.AttachWhole(sample->DeviceBuffers(), voice.loop)) return 0;
    } else if (sample->Kind() == SoundSample::kKindStream) {
        // A stream read to its end starts again; one read beyond its first piece does too.
        if (sample->StreamPosition() > SoundSample::kStreamBufferBytes ||
            sample->StreamPosition() >= sample->StreamTotal()) {
            sample->Rewind();
        }
        PumpVoice(v, false);
        if (al.QueuedBuffers() == 0) return 0;
    } else {
        return 0;
    }
    ApplyVoicePitch(v);
    ApplyGains(v);
    if (!voice.paused) al.Play();
    return 1;
}

int AudioDevice::IsVoicePlaying(int v) { return alVoices_[static_cast<std::size_t>(v)].IsPlaying() ? 1 : 0; }

void AudioDevice::ApplyVoicePause(int v) {
    sys::AlVoice& al = alVoices_[static_cast<std::size_t>(v)];
    if (GetVoice(v).paused) {
        al.Pause();
    } else {
        al.Resume();
    }
}

void AudioDevice::PumpStreams() {
    for (int v = 0; v < kVoiceCount; ++v) {
        const SoundSample* sample = GetVoice(v).sample;
        if (sample != nullptr && sample->Kind() == SoundSample::kKindStream) PumpVoice(v, true);
    }
}

void AudioDevice::PumpVoice(int v, bool mayRestart) {
    Voice& voice = MutableVoice(v);
    SoundSample& sample = *voice.sample;
    sys::AlVoice& al = alVoices_[static_cast<std::size_t>(v)];
    const sys::PcmFormat format = PcmFormatOf(sample);
    al.ReclaimPlayed();
    voice.samplesPlayed = al.SamplesPlayed();
    // At most two pieces are queued, so at most three reads happen here even for a stream that ends and
    // starts again within one pump.
    for (int reads = 0; reads < SoundSample::kStreamBufferCount && sample.StreamPosition() < sample.StreamTotal() &&
                        al.QueuedBuffers() <= 1;
         ++reads) {
        const double time = sample.GetLengthSeconds();
        const std::uint8_t* data = nullptr;
        const std::size_t bytes = sample.ReadStreamPiece(data);
        if (bytes > 0) AnalyseStreamBlock(v, data, bytes, time);
        bool end = false;
        if (sample.StreamPosition() >= sample.StreamTotal()) {
            if (voice.loop) {
                const double length = sample.GetLengthSeconds();
                sample.Rewind();
                voice.startTime += length;
            }
            end = true;
        }
        const bool queued = bytes > 0 && al.QueueStream(data, bytes, format, end);
        if (!queued && end) al.MarkEndOfStream();
        sample.NextStreamBuffer();
        voice.samplesPlayed = al.SamplesPlayed();
        if (bytes > 0 && !queued) break;
    }
    // A starved source stays stopped until it is played again.
    if (mayRestart && !voice.paused && !al.IsRunning() && al.QueuedBuffers() > 0) al.Play();
}

void AudioDevice::AnalyseStreamBlock(int v, const std::uint8_t* pcm, std::size_t bytes, double time) {
    const SoundSample& sample = *GetVoice(v).sample;
    engine::AnalyseStreamBlock(detectors_[static_cast<std::size_t>(v)], pcm, bytes, sample.GetChannels(),
                               sample.GetSampleRate(), sample.GetBitsPerSample(), time);
}

}  // namespace engine
