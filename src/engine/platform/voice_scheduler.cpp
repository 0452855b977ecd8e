#include "engine/platform/voice_scheduler.h"

#include <algorithm>
#include <utility>

#include "engine/platform/sound_sample.h"

namespace engine {

namespace {

VoiceScheduler* g_scheduler = nullptr;

bool IsSample(const SoundSample* playing, const SoundSampleBase* sample) {
    return playing != nullptr && static_cast<const SoundSampleBase*>(playing) == sample;
}

float Clamp01(float value) { return value >= 0.0f ? std::min(value, 1.0f) : 0.0f; }  // NaN gives 0

}  // namespace

void SetVoiceScheduler(VoiceScheduler* scheduler) { g_scheduler = scheduler; }

VoiceScheduler* GetVoiceScheduler() { return g_scheduler; }

VoiceScheduler::VoiceScheduler(GameClock clock) : clock_(std::move(clock)) { requests_.reserve(kMaxRequests); }

VoiceScheduler::~VoiceScheduler() {
    if (g_scheduler == this) g_scheduler = nullptr;
}

float VoiceScheduler::GetBeatLevel(std::uint32_t) { return 0.0f; }
void VoiceScheduler::PrepareSample(SoundSample&) {}
void VoiceScheduler::ApplyVoiceVolume(int) {}
void VoiceScheduler::ApplyVoicePan(int) {}
void VoiceScheduler::ApplyVoicePitch(int) {}
void VoiceScheduler::StopVoice(int) {}
int VoiceScheduler::StartVoice(int) { return 0; }
int VoiceScheduler::IsVoicePlaying(int) { return 0; }
void VoiceScheduler::ApplyVoicePause(int) {}
void VoiceScheduler::PumpStreams() {}

std::uint32_t VoiceScheduler::QueuePlay(SoundSample* sample, float volume, bool loop, float pan) {
    if (!running_ || sample == nullptr || requests_.size() >= static_cast<std::size_t>(kMaxRequests)) return 0;
    volume = Clamp01(volume);
    std::uint32_t handle = nextHandle_ + 1;
    if (handle == 0) handle = 1;
    nextHandle_ = handle;
    requests_.push_back(Request{sample, loop, volume, pan, volume * sample->Priority() + 0.001f, handle, 1.0f});
    return handle;
}

void VoiceScheduler::Update() {
    if (!running_) return;
    // The pump comes first: a starved stream that still has data gets it before the reap looks at it.
    PumpStreams();
    ReapFinishedVoices();
    // Stable, so that equal priorities keep the order in which they were asked for.
    std::stable_sort(requests_.begin(), requests_.end(),
                     [](const Request& a, const Request& b) { return a.priority > b.priority; });
    for (const Request& request : requests_) {
        const int v = FindVoiceFor(request);
        if (v >= 0) StartRequest(request, v);
    }
    requests_.clear();
    RunFades();
}

int VoiceScheduler::CountSampleVoices(const SoundSample* sample) const {
    return static_cast<int>(
        std::count_if(voices_.begin(), voices_.end(), [sample](const Voice& v) { return v.sample == sample; }));
}

void VoiceScheduler::ReapFinishedVoices() {
    for (int v = 0; v < kVoiceCount; ++v) {
        const Voice& voice = voices_[static_cast<std::size_t>(v)];
        if (voice.sample != nullptr && !voice.loop && IsVoicePlaying(v) == 0) FreeVoice(v);
    }
}

int VoiceScheduler::FindVoiceFor(const Request& request) const {
    // The lower priority loses; on equal priorities the voice that has played longer, and on equal age
    // the later voice.
    const auto loses = [this](int candidate, int best) {
        const Voice& c = voices_[static_cast<std::size_t>(candidate)];
        const Voice& b = voices_[static_cast<std::size_t>(best)];
        return c.priority < b.priority || (c.priority == b.priority && c.startTime <= b.startTime);
    };
    const SoundSample* sample = request.sample;
    if (CountSampleVoices(sample) < sample->VoiceLimit()) {
        int best = -1;
        float bestPriority = 0.0f;
        for (int v = 0; v < kVoiceCount; ++v) {
            if (voices_[static_cast<std::size_t>(v)].sample == nullptr) {
                best = v;  // a free voice counts as priority 0 and ends the search
                bestPriority = 0.0f;
                break;
            }
            if (best < 0 || loses(v, best)) {
                best = v;
                bestPriority = voices_[static_cast<std::size_t>(v)].priority;
            }
        }
        return request.priority > bestPriority ? best : -1;
    }
    if (sample->ReplacesOwnVoice()) {
        int best = -1;
        for (int v = 0; v < kVoiceCount; ++v) {
            if (voices_[static_cast<std::size_t>(v)].sample != sample) continue;
            if (best < 0 || loses(v, best)) best = v;
        }
        return best;
    }
    return -1;
}

int VoiceScheduler::StartRequest(const Request& request, int v) {
    if (voices_[static_cast<std::size_t>(v)].sample != nullptr) StopVoice(v);
    Voice& voice = voices_[static_cast<std::size_t>(v)];
    voice = Voice{};
    voice.sample = request.sample;
    voice.loop = request.loop;
    voice.priority = request.priority;
    voice.handle = request.handle;
    voice.volume = request.volume;
    voice.fadeFromVolume = request.volume;
    voice.pan = request.pan;
    voice.pitch = request.pitch;
    voice.startTime = GameSeconds();
    if (StartVoice(v) != 0) return 1;
    // Freed at once: the reap never frees a looping voice, so a failed looping start would otherwise
    // hold the voice until its handle is stopped.
    FreeVoice(v);
    return 0;
}

int VoiceScheduler::FindVoice(std::uint32_t handle) const {
    if (handle == 0) return -1;
    for (int v = 0; v < kVoiceCount; ++v) {
        const Voice& voice = voices_[static_cast<std::size_t>(v)];
        if (voice.sample != nullptr && voice.handle == handle) return v;
    }
    return -1;
}

void VoiceScheduler::StopHandle(std::uint32_t handle) {
    const int v = FindVoice(handle);
    if (v >= 0) {
        FreeVoice(v);
    } else {
        DropRequest(handle);
    }
}

void VoiceScheduler::FadeHandle(int mode, std::uint32_t handle, float targetVolume, float duration) {
    const int v = FindVoice(handle);
    if (v < 0) {
        if (mode == 1) DropRequest(handle);
        return;
    }
    Voice& voice = voices_[static_cast<std::size_t>(v)];
    voice.fadeFromVolume = voice.volume;
    voice.fadeTarget = Clamp01(targetVolume);
    voice.fadeDuration = duration > 0.0f ? duration : 0.0f;
    voice.fadeStart = GameSeconds();
    voice.fadeMode = mode;
    // A flag of its own: a fade that starts at game time 0 is still a fade.
    voice.fading = true;
}

void VoiceScheduler::PauseHandle(std::uint32_t handle, bool paused) {
    const int v = FindVoice(handle);
    if (v < 0) return;
    voices_[static_cast<std::size_t>(v)].paused = paused;
    ApplyVoicePause(v);
}

void VoiceScheduler::DropRequest(std::uint32_t handle) {
    std::erase_if(requests_, [handle](const Request& r) { return r.handle == handle; });
}

void VoiceScheduler::ForgetSample(const SoundSampleBase* sample) {
    if (sample == nullptr) return;
    std::erase_if(requests_, [sample](const Request& r) { return IsSample(r.sample, sample); });
    for (int v = 0; v < kVoiceCount; ++v) {
        if (IsSample(voices_[static_cast<std::size_t>(v)].sample, sample)) FreeVoice(v);
    }
}

void VoiceScheduler::StopAllOfKind(int kind) {
    for (int v = 0; v < kVoiceCount; ++v) {
        const SoundSample* sample = voices_[static_cast<std::size_t>(v)].sample;
        if (sample == nullptr) continue;
        const bool stream = sample->Kind() == SoundSample::kKindStream;
        const bool whole = sample->Kind() == SoundSample::kKindWhole;
        if ((kind == 1 && stream) || (kind == 2 && whole) || (kind != 1 && kind != 2)) FreeVoice(v);
    }
}

void VoiceScheduler::FreeVoice(int v) {
    StopVoice(v);
    voices_[static_cast<std::size_t>(v)] = Voice{};
}

void VoiceScheduler::RunFades() {
    const double now = GameSeconds();
    for (int v = 0; v < kVoiceCount; ++v) {
        Voice& voice = voices_[static_cast<std::size_t>(v)];
        if (voice.sample == nullptr || !voice.fading) continue;
        const double t = now - voice.fadeStart;
        if (t <= 0.0 || t >= voice.fadeDuration) {
            voice.volume = voice.fadeTarget;
            voice.fading = false;
            ApplyVoiceVolume(v);
            if (voice.fadeMode == 1) StopHandle(voice.handle);
        } else {
            const auto f = static_cast<float>(t / voice.fadeDuration);
            voice.volume = (1.0f - f) * voice.fadeFromVolume + f * voice.fadeTarget;
            ApplyVoiceVolume(v);
        }
    }
}

}  // namespace engine
