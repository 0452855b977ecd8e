#include "engine/platform/riff_wave.h"

#include <algorithm>
#include <utility>

namespace engine {

namespace {

constexpr std::uint32_t FourCc(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24;
}

constexpr std::uint32_t kRiff = FourCc('R', 'I', 'F', 'F');
constexpr std::uint32_t kWave = FourCc('W', 'A', 'V', 'E');
constexpr std::uint32_t kFmt = FourCc('f', 'm', 't', ' ');
constexpr std::uint32_t kData = FourCc('d', 'a', 't', 'a');

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Chunk {
    std::size_t offset = 0;  // of the contents
    std::size_t size = 0;
};

// Walks the chunks from `begin` up to `end` for the first one with the id. A chunk passed on the way, or
// the one found, that runs past `end` fails the search; with `cutToEnd` the one found is cut to `end`
// instead.
bool FindChunk(const std::uint8_t* image, std::size_t begin, std::size_t end, std::uint32_t id, bool cutToEnd,
               Chunk& out) {
    std::size_t pos = begin;
    while (pos <= end && end - pos >= 8) {
        const std::uint32_t chunkId = U32(image + pos);
        std::size_t size = U32(image + pos + 4);
        const std::size_t contents = pos + 8;
        const bool fits = size <= end - contents;
        if (chunkId == id) {
            if (!fits && !cutToEnd) return false;
            out.offset = contents;
            out.size = std::min(size, end - contents);
            return true;
        }
        if (!fits) return false;
        pos = contents + size + (size & 1);
    }
    return false;
}

}  // namespace

bool ParseWaveHeader(const std::uint8_t* image, std::size_t size, WaveHeader& header) {
    header = WaveHeader{};
    if (image == nullptr || size < 12 || U32(image) != kRiff) return false;
    const std::size_t riffEnd = 8 + std::min<std::size_t>(U32(image + 4), size - 8);
    if (riffEnd < 12 || U32(image + 8) != kWave) return false;

    Chunk fmt;
    if (!FindChunk(image, 12, riffEnd, kFmt, false, fmt) || fmt.size < 16) return false;
    const std::uint8_t* f = image + fmt.offset;
    WaveFormat format;
    std::vector<std::uint8_t> extra;
    format.formatTag = U16(f);
    format.channels = U16(f + 2);
    format.samplesPerSecond = U32(f + 4);
    format.averageBytesPerSecond = U32(f + 8);
    format.blockAlign = U16(f + 12);
    format.bitsPerSample = U16(f + 14);
    if (format.formatTag != WaveFormat::kTagPcm) {
        if (fmt.size < 18) return false;
        format.extraSize = U16(f + 16);
        if (format.extraSize > fmt.size - 18) return false;
        extra.assign(f + 18, f + 18 + format.extraSize);
    }
    if (format.channels == 0 || format.samplesPerSecond == 0 || format.bitsPerSample == 0) return false;

    Chunk data;
    if (!FindChunk(image, 12, riffEnd, kData, true, data)) return false;
    header.format = format;
    header.extra = std::move(extra);
    header.dataOffset = data.offset;
    header.dataSize = data.size;
    return true;
}

}  // namespace engine
