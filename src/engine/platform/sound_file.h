#pragma once
// A sound data file, named without its extension: name + ".wav" when that file opens, else name +
// ".ogg", both through the data-file streams (archives first, then disk). Delivers PCM: whatever a WAV
// holds, 16-bit signed little-endian from Ogg Vorbis.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/platform/file_stream.h"
#include "engine/platform/riff_wave.h"
#include "sys/vorbis_decoder.h"

namespace engine {

class SoundFile final : private sys::VorbisSource {
public:
    static constexpr int kKindWav = 1;
    static constexpr int kKindOgg = 2;

    SoundFile() = default;
    ~SoundFile() override { Destroy(); }
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    // Non-zero when the ".wav" (or, when that does not open, the ".ogg") file opened and its header was
    // understood. A ".wav" that opens but is not understood fails without trying the ".ogg". An Ogg stream
    // whose length cannot be known (it cannot seek) fails too. An open file is closed first.
    int Open(const WideString& name);
    // Copies up to n bytes of PCM; returns the bytes delivered, 0 at the end. A decoder error in the
    // middle of an Ogg stream ends its data there, except a gap in the data, which is skipped.
    std::size_t ReadPcm(void* buffer, std::size_t n);
    // The read position in seconds.
    double GetPositionSeconds();
    // Back to the first PCM byte; 1 on success.
    int Rewind();
    // Frees the decoder or the WAV image and closes the stream.
    void Destroy();

    bool IsOpen() const { return kind_ != 0; }
    int Kind() const { return kind_; }
    const WaveFormat& Format() const { return format_; }
    const std::vector<std::uint8_t>& ExtraBytes() const { return extra_; }
    // The PCM length in bytes that the header announces (WAV: cut to the bytes present).
    std::uint64_t PcmLength() const { return pcmLength_; }

private:
    int OpenWav(const WideString& path);
    int OpenOgg();

    // vorbisfile's view of the embedded stream.
    std::size_t OggRead(void* buffer, std::size_t size, std::size_t count) override;
    int OggSeek(std::int64_t offset, int origin) override;
    int OggClose() override;
    long OggTell() override;

    int kind_ = 0;
    WaveFormat format_;
    std::vector<std::uint8_t> extra_;
    sys::VorbisDecoder decoder_;
    FileStream stream_;
    bool oggEnded_ = false;
    // The decoder hands out whole frames only: a read shorter than a frame takes one from here, and the
    // rest of it waits for the next read.
    std::vector<std::uint8_t> carry_;
    std::size_t carryPosition_ = 0;

    std::unique_ptr<std::uint8_t[]> image_;  // the whole WAV file
    std::size_t pcmOffset_ = 0;
    std::uint64_t pcmLength_ = 0;
    std::size_t position_ = 0;
};

}  // namespace engine
