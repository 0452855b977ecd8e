#pragma once
// Builds TGA files for the reader's tests: the 18-byte header, an optional ID field and colour map, then
// the pixel data as given (raw or already run-length coded).
#include <cstdint>
#include <vector>

namespace tgatest {

using Bytes = std::vector<std::uint8_t>;

struct Header {
    std::uint8_t idLength = 0;
    std::uint8_t mapType = 0;
    std::uint8_t type = 2;
    std::uint16_t mapOrigin = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapEntryBits = 0;
    std::uint16_t xOrigin = 0;
    std::uint16_t yOrigin = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t bits = 32;
    std::uint8_t descriptor = 0x20;  // rows top first
};

inline void Put16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline Bytes File(const Header& h, const Bytes& palette, const Bytes& data) {
    Bytes out = {h.idLength, h.mapType, h.type};
    Put16(out, h.mapOrigin);
    Put16(out, h.mapLength);
    out.push_back(h.mapEntryBits);
    Put16(out, h.xOrigin);
    Put16(out, h.yOrigin);
    Put16(out, h.width);
    Put16(out, h.height);
    out.push_back(h.bits);
    out.push_back(h.descriptor);
    for (int i = 0; i < h.idLength; ++i) out.push_back(static_cast<std::uint8_t>('A' + i));
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// True colour, uncompressed.
inline Bytes TrueColour(std::uint16_t width, std::uint16_t height, std::uint8_t bits, const Bytes& data,
                        bool topFirst = true) {
    Header h;
    h.width = width;
    h.height = height;
    h.bits = bits;
    h.descriptor = topFirst ? 0x20 : 0x00;
    return File(h, {}, data);
}

// A colour-mapped header with the 256-entry, 24-bit map the reader requires.
inline Header Mapped(std::uint8_t type, std::uint16_t width, std::uint16_t height) {
    Header h;
    h.mapType = 1;
    h.type = type;
    h.mapLength = 256;
    h.mapEntryBits = 24;
    h.width = width;
    h.height = height;
    h.bits = 8;
    return h;
}

// 256 entries of B, G, R: entry i is (i, 255 - i, i / 2).
inline Bytes Palette() {
    Bytes p;
    for (int i = 0; i < 256; ++i) {
        p.insert(p.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                           static_cast<std::uint8_t>(i / 2)});
    }
    return p;
}

}  // namespace tgatest
