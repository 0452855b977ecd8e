#include "ogg/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace ogg {

namespace {

void AppendPage(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
}

// The encoder's state, released in one place whatever path the encode takes.
struct Encoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool started = false;

    Encoder() { vorbis_info_init(&info); }
    ~Encoder() {
        if (started) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
            vorbis_comment_clear(&comment);
        }
        vorbis_info_clear(&info);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
};

}  // namespace

std::string EncodeOgg(const std::vector<std::int16_t>& interleaved, int channels, int rate, float quality) {
    if (channels <= 0 || rate <= 0 || interleaved.size() % static_cast<std::size_t>(channels) != 0) return {};
    Encoder enc;
    if (vorbis_encode_init_vbr(&enc.info, channels, rate, quality) != 0) return {};
    vorbis_comment_init(&enc.comment);
    vorbis_analysis_init(&enc.dsp, &enc.info);
    vorbis_block_init(&enc.dsp, &enc.block);
    ogg_stream_init(&enc.stream, kFixedSerial);
    enc.started = true;

    std::string out;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&enc.dsp, &enc.comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&enc.stream, &header);
    ogg_stream_packetin(&enc.stream, &headerComment);
    ogg_stream_packetin(&enc.stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&enc.stream, &page) != 0) AppendPage(out, page);

    const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels);
    const auto total = static_cast<ogg_int64_t>(frames);
    auto drain = [&] {
        while (vorbis_analysis_blockout(&enc.dsp, &enc.block) == 1) {
            vorbis_analysis(&enc.block, nullptr);
            vorbis_bitrate_addblock(&enc.block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&enc.dsp, &packet) != 0) {
                // The last packet's granule position is the exact frame count, never the end of its block.
                packet.granulepos = std::min(packet.granulepos, total);
                ogg_stream_packetin(&enc.stream, &packet);
                while (ogg_stream_pageout(&enc.stream, &page) != 0) AppendPage(out, page);
            }
        }
    };

    constexpr std::size_t kChunk = 1024;
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(kChunk, frames - done);
        float** buffer = vorbis_analysis_buffer(&enc.dsp, static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i) {
            for (int c = 0; c < channels; ++c) {
                buffer[c][i] = static_cast<float>(interleaved[(done + i) * static_cast<std::size_t>(channels) +
                                                              static_cast<std::size_t>(c)]) / 32768.0f;
            }
        }
        vorbis_analysis_wrote(&enc.dsp, static_cast<int>(n));
        done += n;
        drain();
    }
    vorbis_analysis_wrote(&enc.dsp, 0);
    drain();
    while (ogg_stream_flush(&enc.stream, &page) != 0) AppendPage(out, page);
    return out;
}

}  // namespace ogg
