#pragma once
// Ogg Vorbis files from 16-bit PCM, shared by the data tools and the tests. The stream serial number is
// fixed and the last page's granule position is the exact frame count, so that the same samples always give
// the same bytes and a decoder delivers exactly the frames that went in.
#include <cstdint>
#include <string>
#include <vector>

namespace ogg {

inline constexpr int kFixedSerial = 0x546D4D75;
inline constexpr float kDefaultQuality = 0.4f;  // Vorbis quality 4

// An Ogg Vorbis file of the interleaved samples; empty when the encoder refuses the format or the sample count
// is not a whole number of frames.
std::string EncodeOgg(const std::vector<std::int16_t>& interleaved, int channels, int rate,
                      float quality = kDefaultQuality);

}  // namespace ogg
