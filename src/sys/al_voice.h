#pragma once
// Voices on the current OpenAL output. A voice is a pair of mono sources placed hard left and hard right
// next to the listener, without distance attenuation, so that each side's gain is exactly the gain set for
// it (a single centred source would be spatialised to about 0.6 per side). Mono sound feeds both
// sources; stereo sound is split, the first channel to the left source. Both sources always play, pause
// and stop together.
//
// A whole sound is uploaded once into AlSoundBuffers; a stream is fed piece by piece through three
// buffers per source.
#include <cstddef>
#include <cstdint>

namespace sys {

struct PcmFormat {
    int channels = 1;
    int bitsPerSample = 16;
    int sampleRate = 44100;
};

// PCM that voices play: 8 (unsigned) or 16 bits (signed, little-endian), 1 or 2 channels, a rate above 0.
bool IsPlayablePcm(const PcmFormat& format);

// The buffers of one whole sound: one for mono, which both sources play, or a left and a right one.
class AlSoundBuffers {
public:
    AlSoundBuffers() = default;
    ~AlSoundBuffers() { Release(); }
    AlSoundBuffers(const AlSoundBuffers&) = delete;
    AlSoundBuffers& operator=(const AlSoundBuffers&) = delete;

    // Uploads interleaved PCM, whole frames only (a trailing part frame is dropped), replacing what was
    // loaded. False when the format does not play, there is not one whole frame, no output is open or
    // OpenAL refuses the data; nothing is loaded then.
    bool Load(const void* pcm, std::size_t bytes, const PcmFormat& format);
    // Deletes the buffers if the output they were made on is still the open one (a closed output has
    // freed them already).
    void Release();
    // True when loaded on the output that is open now.
    bool IsLoaded() const;

private:
    friend class AlVoice;
    std::uint32_t left_ = 0;
    std::uint32_t right_ = 0;  // the same as left_ for mono
    std::uint32_t generation_ = 0;
};

class AlVoice {
public:
    static constexpr int kStreamBuffers = 3;

    AlVoice() = default;
    ~AlVoice() { Destroy(); }
    AlVoice(const AlVoice&) = delete;
    AlVoice& operator=(const AlVoice&) = delete;

    // Makes the two sources and three stream buffers for each. False when OpenAL refuses; nothing is kept
    // then.
    bool Create();
    void Destroy();
    bool IsCreated() const { return created_; }

    // Gains are linear amplitudes of 0 or more.
    void SetGains(float left, float right);
    // Capped at 2; a pitch that is not above 0 plays at 1.
    void SetPitch(float pitch);

    // Stops both sources and takes every buffer off them; the stream bookkeeping starts afresh.
    void Stop();
    // Sets both sources to the whole sound from its start, looping or not (not yet playing). False when the
    // sound is not loaded on the open output.
    bool AttachWhole(const AlSoundBuffers& sound, bool loop);

    // Streams. Takes the pieces that both sources have finished off their queues.
    void ReclaimPlayed();
    // Queues the next piece of interleaved PCM on both sources (split when stereo). endOfStream marks the
    // last piece of a pass through the sound. False when every stream buffer is in use, the piece holds no
    // whole frame or OpenAL refuses it.
    bool QueueStream(const void* pcm, std::size_t bytes, const PcmFormat& format, bool endOfStream);
    // Marks the last queued piece as the end of a pass (when the pass ended without a further piece).
    void MarkEndOfStream();
    // Pieces queued and not yet played.
    int QueuedBuffers() const;

    // Starts both sources together from where their buffers stand.
    void Play();
    void Pause();
    // Restarts a paused pair; a pair in any other state is left as it is.
    void Resume();
    // True while the sources play or are paused, or a stream still has pieces to play.
    bool IsPlaying() const;
    // True only while the sources are actually playing (not paused, stopped or not yet started).
    bool IsRunning() const;

    // Frames played since the start of the current pass through the sound: the frames of the pieces
    // already taken off plus the offset into those still queued; back to 0 once a piece marked as the end
    // of a pass has played. For a whole sound, the offset into it.
    std::int64_t SamplesPlayed() const;

private:
    enum class Mode { kNone, kWhole, kStream };
    struct Piece {
        int slot = 0;
        std::int64_t frames = 0;
        bool endOfStream = false;
        // Queued while the sources stood stopped: OpenAL counts it as processed, yet it plays only from
        // the next Play.
        bool pending = false;
    };

    int State() const;
    // Pieces at the front of the queue that have been played.
    int PlayedPieces() const;

    bool created_ = false;
    Mode mode_ = Mode::kNone;
    std::uint32_t sources_[2] = {};
    std::uint32_t streamBuffers_[2][kStreamBuffers] = {};
    Piece queue_[kStreamBuffers];
    int queueCount_ = 0;
    std::int64_t framesTakenOff_ = 0;
};

}  // namespace sys
