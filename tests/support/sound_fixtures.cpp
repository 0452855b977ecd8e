#include "support/sound_fixtures.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace testsupport {

namespace {

void AppendU16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void AppendU32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string RiffChunk(std::string_view id, std::string_view contents, std::optional<std::uint32_t> size) {
    std::string out(id.substr(0, 4));
    AppendU32(out, size.value_or(static_cast<std::uint32_t>(contents.size())));
    out += contents;
    if (contents.size() % 2 == 1) out += '\0';
    return out;
}

std::string RiffWave(std::string_view contents, std::optional<std::uint32_t> size) {
    std::string out = "RIFF";
    AppendU32(out, size.value_or(static_cast<std::uint32_t>(4 + contents.size())));
    out += "WAVE";
    out += contents;
    return out;
}

std::string FormatBytes(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                        std::optional<std::string> extra) {
    std::string out;
    const std::uint16_t align = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
    AppendU16(out, tag);
    AppendU16(out, channels);
    AppendU32(out, rate);
    AppendU32(out, rate * align);
    AppendU16(out, align);
    AppendU16(out, bits);
    if (extra) {
        AppendU16(out, static_cast<std::uint16_t>(extra->size()));
        out += *extra;
    }
    return out;
}

std::string MakeWav(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::string_view pcm) {
    return RiffWave(RiffChunk("fmt ", FormatBytes(1, channels, rate, bits)) + RiffChunk("data", pcm));
}

std::string Pcm16(const std::vector<std::int16_t>& samples) {
    std::string out;
    out.reserve(samples.size() * 2);
    for (const std::int16_t s : samples) AppendU16(out, static_cast<std::uint16_t>(s));
    return out;
}

std::vector<std::int16_t> Sine(std::size_t count, double amplitude, double period) {
    std::vector<std::int16_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double value = amplitude * 32767.0 * std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / period);
        out[i] = static_cast<std::int16_t>(std::lround(value));
    }
    return out;
}

std::vector<std::int16_t> Noise(std::size_t count, double amplitude, std::uint32_t seed) {
    std::vector<std::int16_t> out(count);
    std::uint32_t x = seed;
    for (std::int16_t& sample : out) {
        x = x * 1103515245u + 12345u;
        const double unit = static_cast<double>(x >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
        sample = static_cast<std::int16_t>(std::lround(unit * amplitude * 32767.0));
    }
    return out;
}

}  // namespace testsupport
