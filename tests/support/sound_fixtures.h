#pragma once
// Sound fixtures for tests and benchmarks: RIFF chunks and WAV files built byte by byte (so that broken
// ones can be made as easily as good ones), and PCM signals. Ogg Vorbis files come from the
// data tools' writer (ogg/ogg_writer.h), which this library passes on.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A chunk: the four-byte id, the size (the contents' size unless given), the contents and, for an odd
// size, a pad byte.
std::string RiffChunk(std::string_view id, std::string_view contents, std::optional<std::uint32_t> size = {});
// "RIFF", the size (4 + the contents unless given), "WAVE", the contents.
std::string RiffWave(std::string_view contents, std::optional<std::uint32_t> size = {});
// The contents of a "fmt " chunk: the 16 bytes of the format, then (when given) the extra size field and
// the extra bytes.
std::string FormatBytes(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                        std::optional<std::string> extra = {});
// A plain PCM WAV file: "fmt " then "data".
std::string MakeWav(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::string_view pcm);

// Little-endian bytes of 16-bit samples.
std::string Pcm16(const std::vector<std::int16_t>& samples);
// A sine of the amplitude (a fraction of full scale) with the period in samples.
std::vector<std::int16_t> Sine(std::size_t count, double amplitude, double period);

// Reproducible white noise of the amplitude (a fraction of full scale); it compresses badly, so that an Ogg
// file of it spans many pages.
std::vector<std::int16_t> Noise(std::size_t count, double amplitude, std::uint32_t seed);

}  // namespace testsupport
