#include "sys/al_voice.h"

#include <AL/al.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "sys/al_output.h"

namespace sys {

namespace {

std::size_t FrameBytes(const PcmFormat& format) {
    return static_cast<std::size_t>(format.channels) * static_cast<std::size_t>(format.bitsPerSample / 8);
}

// Fills one buffer per side with the whole frames of the PCM; mono data goes into both (once when they are
// the same buffer). The frame count is returned in `frames`. False when there is no whole frame, the data
// is too large for OpenAL or OpenAL refuses it.
bool Upload(ALuint left, ALuint right, const void* pcm, std::size_t bytes, const PcmFormat& format,
            std::int64_t& frames) {
    if (!IsPlayablePcm(format) || pcm == nullptr) return false;
    const std::size_t frameBytes = FrameBytes(format);
    const std::size_t count = bytes / frameBytes;
    const std::size_t sampleBytes = static_cast<std::size_t>(format.bitsPerSample / 8);
    if (count == 0 || count > static_cast<std::size_t>(INT_MAX) / sampleBytes) return false;
    const ALenum alFormat = format.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    const auto sideBytes = static_cast<ALsizei>(count * sampleBytes);

    alGetError();
    if (format.channels == 1) {
        alBufferData(left, alFormat, pcm, sideBytes, format.sampleRate);
        if (right != left) alBufferData(right, alFormat, pcm, sideBytes, format.sampleRate);
    } else {
        std::vector<std::uint8_t> sides[2];
        const auto* in = static_cast<const std::uint8_t*>(pcm);
        for (int side = 0; side < 2; ++side) {
            sides[side].resize(count * sampleBytes);
            for (std::size_t i = 0; i < count; ++i) {
                std::memcpy(&sides[side][i * sampleBytes], in + i * frameBytes + side * sampleBytes, sampleBytes);
            }
        }
        alBufferData(left, alFormat, sides[0].data(), sideBytes, format.sampleRate);
        alBufferData(right, alFormat, sides[1].data(), sideBytes, format.sampleRate);
    }
    frames = static_cast<std::int64_t>(count);
    return alGetError() == AL_NO_ERROR;
}

ALint SourceInt(ALuint source, ALenum what) {
    ALint value = 0;
    alGetSourcei(source, what, &value);
    return value;
}

}  // namespace

bool IsPlayablePcm(const PcmFormat& format) {
    return (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
           (format.channels == 1 || format.channels == 2) && format.sampleRate > 0;
}

bool AlSoundBuffers::Load(const void* pcm, std::size_t bytes, const PcmFormat& format) {
    Release();
    if (!IsPlayablePcm(format) || bytes < FrameBytes(format) || AlOutput::CurrentGeneration() == 0) return false;
    const ALsizei count = format.channels == 1 ? 1 : 2;
    ALuint names[2] = {};
    alGetError();
    alGenBuffers(count, names);
    if (alGetError() != AL_NO_ERROR) return false;
    const ALuint right = count == 1 ? names[0] : names[1];
    std::int64_t frames = 0;
    if (!Upload(names[0], right, pcm, bytes, format, frames)) {
        alDeleteBuffers(count, names);
        return false;
    }
    left_ = names[0];
    right_ = right;
    generation_ = AlOutput::CurrentGeneration();
    return true;
}

void AlSoundBuffers::Release() {
    if (IsLoaded()) {
        alDeleteBuffers(1, &left_);
        if (right_ != left_) alDeleteBuffers(1, &right_);
    }
    left_ = 0;
    right_ = 0;
    generation_ = 0;
}

bool AlSoundBuffers::IsLoaded() const {
    return left_ != 0 && generation_ != 0 && generation_ == AlOutput::CurrentGeneration();
}

bool AlVoice::Create() {
    Destroy();
    alGetError();
    alGenSources(2, sources_);
    if (alGetError() != AL_NO_ERROR) {
        sources_[0] = sources_[1] = 0;
        return false;
    }
    for (int side = 0; side < 2; ++side) {
        alGenBuffers(kStreamBuffers, streamBuffers_[side]);
        if (alGetError() != AL_NO_ERROR) {
            for (int done = 0; done < side; ++done) alDeleteBuffers(kStreamBuffers, streamBuffers_[done]);
            alDeleteSources(2, sources_);
            std::memset(streamBuffers_, 0, sizeof streamBuffers_);
            sources_[0] = sources_[1] = 0;
            return false;
        }
        const ALuint source = sources_[side];
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, side == 0 ? -1.0f : 1.0f, 0.0f, 0.0f);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
        alSourcei(source, AL_LOOPING, AL_FALSE);
    }
    created_ = alGetError() == AL_NO_ERROR;
    if (!created_) {
        alDeleteSources(2, sources_);
        for (auto& side : streamBuffers_) alDeleteBuffers(kStreamBuffers, side);
        std::memset(streamBuffers_, 0, sizeof streamBuffers_);
        sources_[0] = sources_[1] = 0;
    }
    return created_;
}

void AlVoice::Destroy() {
    if (!created_) return;
    Stop();
    // Sources go first: a buffer still attached to a source cannot be deleted.
    alDeleteSources(2, sources_);
    for (auto& side : streamBuffers_) alDeleteBuffers(kStreamBuffers, side);
    std::memset(streamBuffers_, 0, sizeof streamBuffers_);
    sources_[0] = sources_[1] = 0;
    created_ = false;
}

void AlVoice::SetGains(float left, float right) {
    if (!created_) return;
    alSourcef(sources_[0], AL_GAIN, std::max(left, 0.0f));
    alSourcef(sources_[1], AL_GAIN, std::max(right, 0.0f));
}

void AlVoice::SetPitch(float pitch) {
    if (!created_) return;
    const float value = pitch > 0.0f ? std::min(pitch, 2.0f) : 1.0f;
    alSourcef(sources_[0], AL_PITCH, value);
    alSourcef(sources_[1], AL_PITCH, value);
}

void AlVoice::Stop() {
    if (!created_) return;
    alSourceStopv(2, sources_);
    for (const ALuint source : sources_) {
        alSourcei(source, AL_BUFFER, 0);
        alSourcei(source, AL_LOOPING, AL_FALSE);
    }
    mode_ = Mode::kNone;
    queueCount_ = 0;
    framesTakenOff_ = 0;
}

bool AlVoice::AttachWhole(const AlSoundBuffers& sound, bool loop) {
    Stop();
    if (!created_ || !sound.IsLoaded()) return false;
    alGetError();
    alSourcei(sources_[0], AL_BUFFER, static_cast<ALint>(sound.left_));
    alSourcei(sources_[1], AL_BUFFER, static_cast<ALint>(sound.right_));
    for (const ALuint source : sources_) alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    if (alGetError() != AL_NO_ERROR) {
        Stop();
        return false;
    }
    mode_ = Mode::kWhole;
    return true;
}

void AlVoice::ReclaimPlayed() {
    if (!created_ || mode_ != Mode::kStream) return;
    const int played = PlayedPieces();
    for (int i = 0; i < played; ++i) {
        ALuint name = 0;
        alSourceUnqueueBuffers(sources_[0], 1, &name);
        alSourceUnqueueBuffers(sources_[1], 1, &name);
        const Piece piece = queue_[0];
        std::copy(queue_ + 1, queue_ + queueCount_, queue_);
        --queueCount_;
        framesTakenOff_ = piece.endOfStream ? 0 : framesTakenOff_ + piece.frames;
    }
}

int AlVoice::PlayedPieces() const {
    if (!created_ || mode_ != Mode::kStream) return 0;
    if (State() == AL_STOPPED) {
        int played = 0;
        while (played < queueCount_ && !queue_[played].pending) ++played;
        return played;
    }
    const int processed = std::min(SourceInt(sources_[0], AL_BUFFERS_PROCESSED),
                                   SourceInt(sources_[1], AL_BUFFERS_PROCESSED));
    return std::clamp(processed, 0, queueCount_);
}

bool AlVoice::QueueStream(const void* pcm, std::size_t bytes, const PcmFormat& format, bool endOfStream) {
    if (!created_ || queueCount_ >= kStreamBuffers) return false;
    if (mode_ != Mode::kStream) {
        Stop();
        mode_ = Mode::kStream;
    }
    int slot = 0;
    for (; slot < kStreamBuffers; ++slot) {
        bool used = false;
        for (int i = 0; i < queueCount_; ++i) used = used || queue_[i].slot == slot;
        if (!used) break;
    }
    std::int64_t frames = 0;
    if (!Upload(streamBuffers_[0][slot], streamBuffers_[1][slot], pcm, bytes, format, frames)) return false;
    alGetError();
    alSourceQueueBuffers(sources_[0], 1, &streamBuffers_[0][slot]);
    alSourceQueueBuffers(sources_[1], 1, &streamBuffers_[1][slot]);
    if (alGetError() != AL_NO_ERROR) {
        // Keep both queues alike: whatever went onto one goes off again with a stop.
        Stop();
        mode_ = Mode::kStream;
        return false;
    }
    // Checked after queueing: a source that stands stopped now did not play the piece.
    const int state = State();
    queue_[queueCount_++] = Piece{slot, frames, endOfStream, state == AL_STOPPED || state == AL_INITIAL};
    return true;
}

void AlVoice::MarkEndOfStream() {
    if (queueCount_ > 0) queue_[queueCount_ - 1].endOfStream = true;
}

int AlVoice::QueuedBuffers() const { return queueCount_ - PlayedPieces(); }

void AlVoice::Play() {
    if (!created_ || mode_ == Mode::kNone) return;
    // A stopped source plays its whole queue again from the front: what it played must come off first.
    ReclaimPlayed();
    if (mode_ == Mode::kStream && queueCount_ == 0) return;
    alSourcePlayv(2, sources_);
    for (int i = 0; i < queueCount_; ++i) queue_[i].pending = false;
}

void AlVoice::Pause() {
    if (created_ && State() == AL_PLAYING) alSourcePausev(2, sources_);
}

void AlVoice::Resume() {
    if (created_ && State() == AL_PAUSED) alSourcePlayv(2, sources_);
}

bool AlVoice::IsPlaying() const {
    if (!created_ || mode_ == Mode::kNone) return false;
    const int state = State();
    if (state == AL_PLAYING || state == AL_PAUSED) return true;
    return mode_ == Mode::kStream && QueuedBuffers() > 0;
}

bool AlVoice::IsRunning() const { return created_ && State() == AL_PLAYING; }

std::int64_t AlVoice::SamplesPlayed() const {
    if (!created_ || mode_ == Mode::kNone) return 0;
    const int state = State();
    std::int64_t offset = 0;
    if (state == AL_PLAYING || state == AL_PAUSED) {
        offset = SourceInt(sources_[0], AL_SAMPLE_OFFSET);
    } else if (state == AL_STOPPED && mode_ == Mode::kStream) {
        const int played = PlayedPieces();  // starved: every piece queued before the stop has played
        for (int i = 0; i < played; ++i) offset += queue_[i].frames;
    }
    if (mode_ == Mode::kWhole) return offset;

    std::int64_t played = framesTakenOff_ + offset;
    std::int64_t end = 0;
    for (int i = 0; i < queueCount_; ++i) {
        end += queue_[i].frames;
        if (queue_[i].endOfStream && end <= offset) played = offset - end;
    }
    return played;
}

int AlVoice::State() const { return created_ ? SourceInt(sources_[0], AL_SOURCE_STATE) : 0; }

}  // namespace sys
