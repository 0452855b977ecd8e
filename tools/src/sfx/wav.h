#pragma once
// The WAV files of the data set: 16-bit PCM mono, a 16-byte "fmt " chunk, then "data", nothing else. The
// reader takes what espeak-ng writes (any chunk order, other chunks skipped) and refuses anything else.
#include <cstdint>
#include <string>
#include <vector>

namespace sfx {

std::string EncodeWav(const std::vector<std::int16_t>& samples, int rate);

struct MonoSound {
    int rate = 0;
    std::vector<std::int16_t> samples;
};

// A 16-bit PCM mono WAV file; refused (Error naming the source) when it is anything else or damaged. A "data"
// size past the end of the file is cut to the bytes present.
MonoSound DecodeWav(const std::string& bytes, const std::string& source);

}  // namespace sfx
