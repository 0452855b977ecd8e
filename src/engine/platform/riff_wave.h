#pragma once
// The header of a ".wav" file held in memory: a "RIFF" chunk of form "WAVE" holding a "fmt " chunk and a
// "data" chunk, in any order among other chunks. Chunks are a four-byte id and a little-endian u32 size
// followed by the contents, padded to an even length. Every size is checked against the chunk that holds
// it and the bytes present.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

// The 18-byte wave format block (all fields little-endian in the file).
struct WaveFormat {
    static constexpr std::uint16_t kTagPcm = 1;

    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

struct WaveHeader {
    WaveFormat format;
    // The extraSize bytes that follow the format of a non-PCM tag.
    std::vector<std::uint8_t> extra;
    // The sample data: its offset in the image and its size, cut to the bytes present.
    std::size_t dataOffset = 0;
    std::size_t dataSize = 0;
};

// True when the image holds a "RIFF"/"WAVE" chunk (its size cut to the bytes present) with a "fmt " chunk
// of at least 16 bytes inside it and a "data" chunk after the form id. A PCM format (tag 1) keeps extra
// size 0; any other tag must carry its two-byte extra size and that many bytes inside its "fmt " chunk.
// A chunk that does not fit the chunk holding it fails, except "data", which is cut to what is there.
// Formats with 0 channels, 0 samples per second or 0 bits per sample fail.
bool ParseWaveHeader(const std::uint8_t* image, std::size_t size, WaveHeader& header);

}  // namespace engine
