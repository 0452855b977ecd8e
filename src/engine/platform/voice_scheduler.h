#pragma once
// The voice scheduler: callers queue play requests during a frame, and once per frame the scheduler gives
// the 16 voices to the most important requests, respecting each sample's voice limit. Every request gets a
// handle (never 0) with which its sound can be stopped, faded or paused later.
//
// The device operations (start, stop, volume, pan, pitch, pause, playing test, stream pump, beat level) are
// virtual; the audio device implements them over the sound output. In this base class starting a voice
// fails, no voice is playing, the beat level is 0 and the rest do nothing.
//
// Main thread only.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace engine {

class SoundSample;
class SoundSampleBase;

class VoiceScheduler {
public:
    static constexpr int kVoiceCount = 16;
    static constexpr int kMaxRequests = 256;

    // Game seconds: the clock that start times and fades run on.
    using GameClock = std::function<double()>;

    struct Voice {
        SoundSample* sample = nullptr;  // null while the voice is free
        bool loop = false;
        float priority = 0.0f;
        std::uint32_t handle = 0;
        double startTime = 0.0;
        std::int64_t samplesPlayed = 0;
        float volume = 0.0f;
        float fadeFromVolume = 0.0f;  // the volume when the fade started
        float pan = 0.0f;
        bool paused = false;
        float pitch = 1.0f;
        bool fading = false;
        double fadeStart = 0.0;
        float fadeDuration = 0.0f;
        float fadeTarget = 0.0f;
        int fadeMode = 0;
    };

    struct Request {
        SoundSample* sample = nullptr;
        bool loop = false;
        float volume = 0.0f;
        float pan = 0.0f;
        float priority = 0.0f;
        std::uint32_t handle = 0;
        float pitch = 1.0f;
    };

    // A null clock reads 0.
    explicit VoiceScheduler(GameClock clock = nullptr);
    virtual ~VoiceScheduler();
    VoiceScheduler(const VoiceScheduler&) = delete;
    VoiceScheduler& operator=(const VoiceScheduler&) = delete;

    // The beat strength of the stream that plays the handle, at its playing position; 0 when none.
    virtual float GetBeatLevel(std::uint32_t handle);
    // Called when a whole sample has been loaded, so that the device can take its sound in ahead of the
    // first play. Nothing in the base.
    virtual void PrepareSample(SoundSample& sample);

    // Queues a play. The volume is clamped to 0..1; priority = volume x the sample's priority + 0.001.
    // Returns the request's handle; 0 when the device is not running, the sample is null or 256 requests
    // are already queued this frame.
    std::uint32_t QueuePlay(SoundSample* sample, float volume, bool loop, float pan);
    // Once per frame: pump the streams, reap finished voices, give voices to the requests by priority,
    // drop the requests, run the fades. Does nothing while the device is not running.
    void Update();

    // Stops the voice that plays the handle; when none does, drops the handle's pending request.
    void StopHandle(std::uint32_t handle);
    // Fades the handle's voice from its volume to the target over `duration` game seconds; with mode 1 the
    // voice stops at the end. A handle still pending is dropped at once by mode 1, left alone otherwise.
    void FadeHandle(int mode, std::uint32_t handle, float targetVolume, float duration);
    // Pauses or resumes the voice that plays the handle; nothing for a pending or unknown handle.
    void PauseHandle(std::uint32_t handle, bool paused);
    // Removes every pending request with the handle.
    void DropRequest(std::uint32_t handle);
    // Removes the sample's pending requests and stops every voice that plays it.
    void ForgetSample(const SoundSampleBase* sample);
    // 1: stops every voice playing a stream; 2: every voice playing a whole sample; other: all voices.
    void StopAllOfKind(int kind);

    bool IsRunning() const { return running_; }
    int RequestCount() const { return static_cast<int>(requests_.size()); }
    const Voice& GetVoice(int v) const { return voices_[static_cast<std::size_t>(v)]; }
    // The voice that plays the handle, or -1.
    int FindVoice(std::uint32_t handle) const;

    // Steps of Update.
    int CountSampleVoices(const SoundSample* sample) const;
    void ReapFinishedVoices();
    // The voice a request should start on, or -1 when it is dropped.
    int FindVoiceFor(const Request& request) const;
    // Starts the request on the voice, replacing whatever played there; 1 when the device started it. A
    // voice whose start failed is freed at once.
    int StartRequest(const Request& request, int v);

protected:
    // Device operations on voice v.
    virtual void ApplyVoiceVolume(int v);
    virtual void ApplyVoicePan(int v);
    virtual void ApplyVoicePitch(int v);
    virtual void StopVoice(int v);
    virtual int StartVoice(int v);
    virtual int IsVoicePlaying(int v);
    virtual void ApplyVoicePause(int v);
    virtual void PumpStreams();

    void SetRunning(bool running) { running_ = running; }
    // The handle given out last; the next request gets the one after it (never 0).
    void SetLastHandle(std::uint32_t handle) { nextHandle_ = handle; }
    double GameSeconds() const { return clock_ ? clock_() : 0.0; }
    Voice& MutableVoice(int v) { return voices_[static_cast<std::size_t>(v)]; }
    // Stops the voice on the device and frees it.
    void FreeVoice(int v);

private:
    void RunFades();

    GameClock clock_;
    bool running_ = false;
    std::uint32_t nextHandle_ = 0;
    std::vector<Request> requests_;
    std::array<Voice, kVoiceCount> voices_{};
};

// The scheduler that samples tell when they are loaded and when they go away, and that the sample bank
// queues plays on; set by the audio device while it exists (tests set their own). Null when there is none.
// A scheduler clears it when it is destroyed while set.
void SetVoiceScheduler(VoiceScheduler* scheduler);
VoiceScheduler* GetVoiceScheduler();

}  // namespace engine
