#pragma once
// Shared by the sound tests: sound files written into the data folder of a temporary base folder, and
// small helpers over PCM and Ogg bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data_file_fixture.h"
#include "support/sound_fixtures.h"

namespace soundtest {

class SoundFileTest : public datatest::DataFileTest {
protected:
    // Writes a sound file under the data folder ("Data/PC/" while no archive is mounted).
    void PutSound(const std::string& name, const std::string& bytes) { Put("Data/PC/" + name, bytes); }
};

inline std::vector<std::int16_t> Samples16(const std::uint8_t* bytes, std::size_t size) {
    std::vector<std::int16_t> out(size / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    return out;
}

// The offsets of the Ogg pages in a file.
inline std::vector<std::size_t> OggPageOffsets(const std::string& file) {
    std::vector<std::size_t> pages;
    std::size_t pos = 0;
    while (pos + 27 <= file.size() && file.compare(pos, 4, "OggS") == 0) {
        pages.push_back(pos);
        const auto segments = static_cast<std::uint8_t>(file[pos + 26]);
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i) body += static_cast<std::uint8_t>(file[pos + 27 + i]);
        pos += 27 + segments + body;
    }
    return pages;
}

// Recomputes the checksum of the page at the offset (after its bytes were changed on purpose).
inline void FixOggPageCrc(std::string& file, std::size_t page) {
    const auto segments = static_cast<std::uint8_t>(file[page + 26]);
    std::size_t length = 27 + segments;
    for (std::size_t i = 0; i < segments; ++i) length += static_cast<std::uint8_t>(file[page + 27 + i]);
    for (int i = 0; i < 4; ++i) file[page + 22 + i] = 0;
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[page + i])) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i) file[page + 22 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
}

}  // namespace soundtest
