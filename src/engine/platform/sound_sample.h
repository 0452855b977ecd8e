#pragma once
// What the sample bank holds and the voices play: a sound decoded whole into memory (kind 1), or an open
// sound file read in 64 KB pieces while it plays (kind 2).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/platform/riff_wave.h"
#include "engine/platform/sound_file.h"
#include "sys/al_voice.h"

namespace engine {

class SoundSampleBase {
public:
    SoundSampleBase() = default;
    // Tells the voice scheduler to forget the sample: its requests go and its voices stop.
    virtual ~SoundSampleBase();
    SoundSampleBase(const SoundSampleBase&) = delete;
    SoundSampleBase& operator=(const SoundSampleBase&) = delete;

    virtual int GetSampleRate() const { return 44100; }
    virtual int GetBitsPerSample() const { return 16; }
    virtual int GetChannels() const { return 1; }
    virtual double GetLengthSeconds() { return 0.0; }
    virtual int LoadWhole(const WideString& name);
    virtual int OpenStream(const WideString& name);
};

class SoundSample final : public SoundSampleBase {
public:
    static constexpr int kKindWhole = 1;
    static constexpr int kKindStream = 2;
    static constexpr std::size_t kStreamBufferBytes = 65536;
    static constexpr int kStreamBufferCount = 3;
    // A whole load refuses PCM longer than this rather than allocate what a header claims.
    static constexpr std::uint64_t kMaxWholeBytes = std::uint64_t{64} << 20;

    SoundSample(bool replaceOwnVoice, int voiceLimit, float priority);
    ~SoundSample() override;

    int GetSampleRate() const override { return static_cast<int>(format_.samplesPerSecond); }
    int GetBitsPerSample() const override { return format_.bitsPerSample; }
    int GetChannels() const override { return format_.channels; }
    // While a stream's file is open: its read position in seconds (not its length); otherwise 0.
    double GetLengthSeconds() override;
    // Decodes the whole sound; 1 on success. The bytes the file delivers are kept, even when fewer than its
    // header announced.
    int LoadWhole(const WideString& name) override;
    // Opens the sound for streaming (voice limit 1); 1 on success.
    int OpenStream(const WideString& name) override;

    // Streams: back to the start (read position and buffer index 0, file rewound). When the file cannot
    // go back, the stream has nothing more to give.
    void Rewind();
    // Streams: reads up to 64 KB of PCM into the current stream buffer and advances the read position;
    // returns the bytes read and where they are. A read that delivers nothing before the announced total
    // ends the stream there: the total becomes the read position.
    std::size_t ReadStreamPiece(const std::uint8_t*& data);
    // Streams: on to the next of the three stream buffers.
    void NextStreamBuffer() { bufferIndex_ = (bufferIndex_ + 1) % kStreamBufferCount; }

    int Kind() const { return kind_; }
    int VoiceLimit() const { return voiceLimit_; }
    float Priority() const { return priority_; }
    bool ReplacesOwnVoice() const { return replaceOwnVoice_; }
    const WideString& Name() const { return name_; }
    const WaveFormat& Format() const { return format_; }
    const std::vector<std::uint8_t>& FormatExtra() const { return formatExtra_; }
    // Whole sounds.
    const std::uint8_t* Pcm() const { return pcm_.get(); }
    std::size_t PcmSize() const { return pcmSize_; }
    // Streams.
    std::uint64_t StreamPosition() const { return position_; }
    std::uint64_t StreamTotal() const { return total_; }
    int StreamBufferIndex() const { return bufferIndex_; }

    // The whole sound's buffers on the sound output; loaded by the audio device.
    sys::AlSoundBuffers& DeviceBuffers() { return deviceBuffers_; }

private:
    void Reset();
    bool OpenFile(const WideString& name, SoundFile& file);

    int kind_ = 0;
    int voiceLimit_;
    float priority_;
    bool replaceOwnVoice_;
    WaveFormat format_;
    std::vector<std::uint8_t> formatExtra_;
    WideString name_;

    std::unique_ptr<std::uint8_t[]> pcm_;
    std::size_t pcmSize_ = 0;

    std::unique_ptr<SoundFile> file_;
    std::unique_ptr<std::uint8_t[]> streamBuffers_;  // three buffers of kStreamBufferBytes
    std::uint64_t position_ = 0;
    std::uint64_t total_ = 0;
    int bufferIndex_ = 0;

    sys::AlSoundBuffers deviceBuffers_;
};

}  // namespace engine
