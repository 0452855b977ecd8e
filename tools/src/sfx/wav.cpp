#include "sfx/wav.h"

#include <algorithm>

#include "sfx/text.h"

namespace sfx {

namespace {

void PutU16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

std::uint32_t GetU16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8;
}

std::uint32_t GetU32(const std::string& bytes, std::size_t at) { return GetU16(bytes, at) | GetU16(bytes, at + 2) << 16; }

}  // namespace

std::string EncodeWav(const std::vector<std::int16_t>& samples, int rate) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutU32(out, 4 + 8 + 16 + 8 + dataSize);
    out += "WAVEfmt ";
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, 1);  // mono
    PutU32(out, static_cast<std::uint32_t>(rate));
    PutU32(out, static_cast<std::uint32_t>(rate) * 2);
    PutU16(out, 2);
    PutU16(out, 16);
    out += "data";
    PutU32(out, dataSize);
    for (const std::int16_t s : samples) PutU16(out, static_cast<std::uint16_t>(s));
    return out;
}

MonoSound DecodeWav(const std::string& bytes, const std::string& source) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        throw Error(source + ": not a WAV file");
    }
    MonoSound sound;
    bool haveFormat = false;
    bool haveData = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size() && !haveData) {
        const std::string id = bytes.substr(at, 4);
        const std::size_t size = GetU32(bytes, at + 4);
        const std::size_t body = at + 8;
        const std::size_t present = std::min(size, bytes.size() - body);
        if (id == "fmt ") {
            if (present < 16) throw Error(source + ": a short format chunk");
            if (GetU16(bytes, body) != 1 || GetU16(bytes, body + 2) != 1 || GetU16(bytes, body + 14) != 16) {
                throw Error(source + ": not 16-bit PCM mono");
            }
            sound.rate = static_cast<int>(GetU32(bytes, body + 4));
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) throw Error(source + ": the data comes before the format");
            sound.samples.resize(present / 2);
            for (std::size_t i = 0; i < sound.samples.size(); ++i) {
                sound.samples[i] = static_cast<std::int16_t>(GetU16(bytes, body + 2 * i));
            }
            haveData = true;
        }
        if (size > bytes.size() - body) break;
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData) throw Error(source + ": no format or no data");
    if (sound.rate <= 0) throw Error(source + ": no sample rate");
    return sound;
}

}  // namespace sfx
