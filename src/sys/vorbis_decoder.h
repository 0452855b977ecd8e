#pragma once
// Ogg Vorbis decoding through vorbisfile, reading its bytes from a source the caller provides.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace sys {

// Where the decoder reads the Ogg bytes from. The decoder calls these while it is open.
class VorbisSource {
public:
    virtual ~VorbisSource() = default;
    // Reads size x count bytes; returns the whole items read (bytes when size is 1), 0 at the end.
    virtual std::size_t OggRead(void* buffer, std::size_t size, std::size_t count) = 0;
    // Origins 0 (start), 1 (current), 2 (end). 0 on success; -1, and only -1, when it cannot seek there.
    virtual int OggSeek(std::int64_t offset, int origin) = 0;
    // Called once by Clear (never when Open failed); returns 0.
    virtual int OggClose() = 0;
    virtual long OggTell() = 0;
};

class VorbisDecoder {
public:
    // Results of Read and Open, with the values vorbisfile gives them.
    static constexpr int kHole = -3;         // a gap in the data; reading can go on
    static constexpr int kNotVorbis = -132;  // Open: the data is not an Ogg Vorbis stream

    VorbisDecoder();
    ~VorbisDecoder();
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;

    // Opens the stream over the source. 0 on success, else vorbisfile's negative error; a failed open
    // does not call the source's OggClose. An open decoder is cleared first.
    int Open(VorbisSource& source);
    // Frees the decoder state; calls the source's OggClose once. Nothing when not open.
    void Clear();
    bool IsOpen() const { return open_; }

    // Stream information of the first logical stream; 0 when not open.
    int Channels() const;
    long Rate() const;
    // The total of PCM frames; negative when unknown (an unseekable stream) or not open.
    std::int64_t PcmTotal();
    // Decodes up to `bytes` bytes of interleaved 16-bit signed little-endian PCM. Returns the bytes
    // delivered, 0 at the end, or a negative error (kHole: go on reading).
    long Read(void* buffer, int bytes);
    // The decode position in seconds; 0 when not open.
    double TimeTell();
    // Back to the first PCM frame. 0 on success.
    int SeekToStart();

private:
    struct State;
    std::unique_ptr<State> state_;
    bool open_ = false;
};

}  // namespace sys
