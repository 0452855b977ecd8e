#include "support/sound_fixtures.h"

#include <vorbis/vorbisenc.h>

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

void AppendPage(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
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

std::string EncodeOgg(const std::vector<std::int16_t>& interleaved, int channels, int rate) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.4f) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    std::string out;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

    const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels);
    constexpr std::size_t kChunk = 1024;
    std::size_t done = 0;
    bool ended = false;
    while (!ended) {
        const std::size_t n = std::min(kChunk, frames - done);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i) {
                for (int c = 0; c < channels; ++c) {
                    buffer[c][i] = interleaved[(done + i) * static_cast<std::size_t>(channels) + c] / 32768.0f;
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(out, page);
                    if (ogg_page_eos(&page) != 0) ended = true;
                }
            }
        }
        if (n == 0 && !ended) {
            while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);
            ended = true;
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

}  // namespace testsupport
